// Quorvane's stand-in for the phone's frameworks: the one interface through
// which the system reaches the host's user interface. Two back-ends implement
// it: `sdl` (a real window) and `headless` (scripted input, files out; tests
// and CI use it). Nothing outside src/platform/ knows which one runs.
//
// Threading: the main thread runs the back-end's loop (runMainLoop). Other
// threads never call the back-end's UI directly; they ask the main thread
// with performOnMainThreadAndWait.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace Platform {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* name() const = 0;
  // A host alert with one "OK" button. Does not wait for the user.
  virtual void showAlert(const std::string& title, const std::string& text) = 0;
  // Called on the main thread once per loop turn; returns false when the user
  // closed the host window.
  virtual bool pumpEvents() = 0;
};

// Installs the back-end; until one is installed, backend() is headless.
void useBackend(std::unique_ptr<Backend> chosen);
Backend& backend();

// Host alerts: the back-end shows them; before a back-end is chosen they go to
// standard error.
void showAlert(const std::string& title, const std::string& text);

// Marks the calling thread as the main thread (the one running runMainLoop).
void setMainThread();
bool isMainThread();

// Runs task on the main thread and waits for it. On the main thread itself the
// task runs at once.
void performOnMainThreadAndWait(std::function<void()> task);

// The main thread's loop: runs queued tasks and the back-end's events until
// keepRunning returns false (checked after each turn) or the host window closes.
void runMainLoop(const std::function<bool()>& keepRunning);
// Wakes the main loop so that keepRunning is checked again.
void wakeMainLoop();

std::unique_ptr<Backend> makeHeadlessBackend();

}  // namespace Platform
