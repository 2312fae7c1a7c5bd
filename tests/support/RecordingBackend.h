// A headless back-end that records the host alerts it is asked to show.
#pragma once
#include <mutex>
#include <string>
#include <utility>
#include <vector>
#include "platform/Platform.h"

class RecordingBackend : public Platform::Backend {
 public:
  const char* name() const override { return "recording"; }
  void showAlert(const std::string& title, const std::string& text) override {
    std::lock_guard<std::mutex> guard(lock_);
    alerts_.emplace_back(title, text);
  }
  bool pumpEvents() override { return true; }

  std::vector<std::pair<std::string, std::string>> alerts() {
    std::lock_guard<std::mutex> guard(lock_);
    return alerts_;
  }

 private:
  std::mutex lock_;
  std::vector<std::pair<std::string, std::string>> alerts_;
};

// Installs a RecordingBackend for one test and puts the headless one back.
class RecordedAlerts {
 public:
  RecordedAlerts() {
    auto backend = std::make_unique<RecordingBackend>();
    recorder_ = backend.get();
    Platform::useBackend(std::move(backend));
  }
  ~RecordedAlerts() { Platform::useBackend(Platform::makeHeadlessBackend()); }
  std::vector<std::pair<std::string, std::string>> alerts() { return recorder_->alerts(); }

 private:
  RecordingBackend* recorder_;
};
