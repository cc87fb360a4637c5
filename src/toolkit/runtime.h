// The toolkit's run-time: event holding, exit routines, the message loop and fatal errors.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/window_manager.h"

namespace ledbanner::toolkit {

class Form;

class Runtime {
 public:
  using ExitRoutine = void (*)();

  // Becomes the thread's current runtime until destroyed: window procedures, which receive
  // nothing but a handle, reach the toolkit through it.
  explicit Runtime(platform::WindowManager& windowManager);
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;
  Runtime(Runtime&&) = delete;
  Runtime& operator=(Runtime&&) = delete;
  ~Runtime();

  static Runtime& Current();

  [[nodiscard]] platform::WindowManager& Wm() const { return windowManager_; }

  // While the hold count is above 0 no event reaches a handler; notifications are dropped.
  void HoldEvents() { ++eventHold_; }
  void ReleaseEvents() {
    if (eventHold_ > 0) {
      --eventHold_;
    }
  }
  [[nodiscard]] bool EventsHeld() const { return eventHold_ > 0; }
  template <typename Handler, typename... Args>
  void Raise(const Handler& handler, Args... args) const {
    if (!EventsHeld() && handler) {
      handler(args...);
    }
  }

  void RegisterExitRoutine(ExitRoutine routine);
  // Runs every registered routine once, in order of registration, then forgets them.
  void RunExitRoutines();
  void DiscardExitRoutines() { exitRoutines_.clear(); }

  // What the platform layer holds beyond the windows, released at the end of the run.
  void AddPlatformRelease(std::function<void()> release);
  void ReleasePlatform();

  [[nodiscard]] bool LoopStarted() const { return loopStarted_; }
  // Takes and dispatches messages until the quit request; returns its exit code.
  int RunMessageLoop(Form& mainWindow);
  // Applies the window's keyboard rules to one message, then dispatches it.
  void ProcessMessage(Form& mainWindow, const platform::Msg& msg);

  // Holds all events, shows the message, drops the exit routines unrun, releases the platform
  // layer and ends the process with exit code -1.
  [[noreturn]] void Fatal(std::u16string_view message);

 private:
  platform::WindowManager& windowManager_;
  Runtime* previous_;
  int eventHold_ = 0;
  bool loopStarted_ = false;
  std::vector<ExitRoutine> exitRoutines_;
  std::vector<std::function<void()>> platformReleases_;
};

}  // namespace ledbanner::toolkit
