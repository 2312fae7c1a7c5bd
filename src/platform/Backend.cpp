#include <cstdio>
#include <memory>
#include <mutex>
#include "platform/Platform.h"

namespace Platform {
namespace {
std::unique_ptr<Backend> current;
std::mutex alertLock;
}  // namespace

void useBackend(std::unique_ptr<Backend> chosen) { current = std::move(chosen); }

Backend& backend() {
  if (!current) current = makeHeadlessBackend();
  return *current;
}

void showAlert(const std::string& title, const std::string& text) {
  if (current) {
    current->showAlert(title, text);
    return;
  }
  std::lock_guard<std::mutex> guard(alertLock);
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}
}  // namespace Platform
