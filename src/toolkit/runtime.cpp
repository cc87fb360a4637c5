#include "toolkit/runtime.h"

#include <algorithm>
#include <cstdlib>

#include "platform/win_constants.h"
#include "toolkit/form.h"

namespace ledbanner::toolkit {

namespace pf = platform;

namespace {
// The one bridge from window procedures, which get nothing but a handle, to the toolkit.
thread_local Runtime* currentRuntime = nullptr;
}  // namespace

Runtime::Runtime(pf::WindowManager& windowManager)
    : windowManager_(windowManager), previous_(currentRuntime) {
  currentRuntime = this;
}

Runtime::~Runtime() { currentRuntime = previous_; }

Runtime& Runtime::Current() {
  if (currentRuntime == nullptr) {
    std::abort();  // a window procedure ran on a thread without a runtime
  }
  return *currentRuntime;
}

void Runtime::RegisterExitRoutine(ExitRoutine routine) {
  if (std::find(exitRoutines_.begin(), exitRoutines_.end(), routine) == exitRoutines_.end()) {
    exitRoutines_.push_back(routine);
  }
}

void Runtime::RunExitRoutines() {
  // Taken out first, so that a second run of the shutdown finds nothing left to run.
  const std::vector<ExitRoutine> routines = std::move(exitRoutines_);
  exitRoutines_.clear();
  for (ExitRoutine routine : routines) {
    routine();
  }
}

void Runtime::AddPlatformRelease(std::function<void()> release) {
  platformReleases_.push_back(std::move(release));
}

void Runtime::ReleasePlatform() {
  const auto releases = std::move(platformReleases_);
  platformReleases_.clear();
  for (auto it = releases.rbegin(); it != releases.rend(); ++it) {
    (*it)();
  }
}

int Runtime::RunMessageLoop(Form& mainWindow) {
  loopStarted_ = true;
  if (!mainWindow.Exists()) {
    return 0;
  }
  pf::Msg msg;
  while (windowManager_.GetMessageW(&msg, 0, 0, 0) > 0) {
    ProcessMessage(mainWindow, msg);
  }
  return msg.message == pf::WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void Runtime::ProcessMessage(Form& mainWindow, const pf::Msg& msg) {
  if (mainWindow.PreTranslate(msg)) {
    return;
  }
  windowManager_.TranslateMessage(msg);
  windowManager_.DispatchMessageW(msg);
}

void Runtime::Fatal(std::u16string_view message) {
  HoldEvents();
  windowManager_.MessageBoxW(0, message, u"LED Banner",
                             pf::MB_OK | pf::MB_ICONERROR | pf::MB_SETFOREGROUND);
  DiscardExitRoutines();
  ReleasePlatform();
  windowManager_.ExitProcess(static_cast<pf::UInt>(-1));
  std::abort();  // a call through the interface is not known to end the process
}

}  // namespace ledbanner::toolkit
