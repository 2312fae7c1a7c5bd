// The headless back-end: no window. Alerts go to standard error.
#include <cstdio>
#include <mutex>
#include "platform/Platform.h"

namespace Platform {
namespace {
class HeadlessBackend : public Backend {
 public:
  const char* name() const override { return "headless"; }

  void showAlert(const std::string& title, const std::string& text) override {
    std::lock_guard<std::mutex> guard(lock_);
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
  }

  bool pumpEvents() override { return true; }

 private:
  std::mutex lock_;
};
}  // namespace

std::unique_ptr<Backend> makeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }
}  // namespace Platform
