#include "app/program.h"

#include <array>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "app/banner_window.h"
#include "app/startup.h"
#include "marquee/marquee.h"
#include "placement/hotkeys.h"
#include "placement/topmost.h"
#include "placement/window_snapshot.h"
#include "platform/declared_functions.h"
#include "toolkit/form.h"
#include "toolkit/runtime.h"

namespace ledbanner::app {

namespace {

std::u16string Widen(const char* ascii) {
  std::u16string text;
  for (; *ascii != '\0'; ++ascii) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*ascii)));
  }
  return text;
}

// The runtime that the out-of-memory handler reports through.
thread_local toolkit::Runtime* fatalRuntime = nullptr;
// Set while a failed allocation is being reported, which may itself fail to allocate.
thread_local bool reportingOutOfMemory = false;

// The standard allocator does not tell the handler the size it failed on.
void OutOfMemory() { ReportOutOfMemory(0); }

// Reports a failed allocation through the runtime's fatal path while the program runs.
class OutOfMemoryScope {
 public:
  explicit OutOfMemoryScope(toolkit::Runtime& runtime)
      : previousRuntime_(std::exchange(fatalRuntime, &runtime)),
        previousHandler_(std::set_new_handler(&OutOfMemory)) {
    reportingOutOfMemory = false;
  }
  OutOfMemoryScope(const OutOfMemoryScope&) = delete;
  OutOfMemoryScope& operator=(const OutOfMemoryScope&) = delete;
  OutOfMemoryScope(OutOfMemoryScope&&) = delete;
  OutOfMemoryScope& operator=(OutOfMemoryScope&&) = delete;
  ~OutOfMemoryScope() {
    std::set_new_handler(previousHandler_);
    fatalRuntime = previousRuntime_;
  }

 private:
  toolkit::Runtime* previousRuntime_;
  std::new_handler previousHandler_;
};

void SetWorkingDirectoryToExecutable(platform::WindowManager& wm) {
  const std::u16string path = wm.GetModuleFileNameW();
  const std::size_t slash = path.find_last_of(u"\\/");
  if (slash != std::u16string::npos) {
    wm.SetCurrentDirectoryW(std::u16string_view(path).substr(0, slash == 0 ? 1 : slash));
  }
}

}  // namespace

void ReportOutOfMemory(std::size_t bytes) {
  if (fatalRuntime == nullptr || reportingOutOfMemory) {
    std::abort();  // no way left to tell the user
  }
  reportingOutOfMemory = true;
  constexpr std::u16string_view kBefore = u"Out of memory: ";
  constexpr std::u16string_view kUnknown = u"a block of memory could not be had.";
  constexpr std::u16string_view kAfter = u" bytes could not be had.";
  std::array<char16_t, 96> message{};
  std::size_t length = 0;
  const auto append = [&](std::u16string_view part) {
    for (const char16_t unit : part) {
      message[length++] = unit;
    }
  };
  append(kBefore);
  if (bytes == 0) {
    append(kUnknown);
  } else {
    std::array<char16_t, 24> digits{};
    std::size_t count = 0;
    for (std::size_t rest = bytes; rest > 0; rest /= 10) {
      digits[count++] = static_cast<char16_t>(u'0' + rest % 10);
    }
    while (count > 0) {
      message[length++] = digits[--count];
    }
    append(kAfter);
  }
  fatalRuntime->Fatal(std::u16string_view(message.data(), length));
}

int StartRoutine() { return 0; }

void ProgramCleanup() { placement::windowList.Clear(); }

void LoadBannerWindow(toolkit::Runtime& runtime, toolkit::Form& form,
                      platform::DeclaredFunctions& user32) {
  runtime.HoldEvents();
  form.Build();
  runtime.ReleaseEvents();

  const BannerWindow banner(form);
  // The handlers keep a copy of the control references: they live as long as the form.
  form.onCreated = [banner] { placement::WindowReady(banner); };
  banner.编辑框1.onTextChanged = [banner] { marquee::InputEdited(banner); };
  banner.时钟1.onTick = [banner] { marquee::ScrollStep(banner); };
  banner.选择框1.onClicked = [banner] { placement::TopmostToggle(banner); };
  banner.标签1.onFeedback = [banner, &user32](std::int32_t first, std::int32_t second) {
    placement::HotkeyFeedback(banner, user32, first, second);
    return platform::LResult{0};
  };

  form.RaiseCreated();
  form.ShowAndActivate();
}

std::int32_t ProgramStart(toolkit::Runtime& runtime, toolkit::Form& form,
                          platform::DeclaredFunctions& user32) {
  SetWorkingDirectoryToExecutable(runtime.Wm());
  placement::windowList.Clear();
  placement::ResetHotkeyFacility();
  runtime.RegisterExitRoutine(&ProgramCleanup);
  StartRoutine();
  LoadBannerWindow(runtime, form, user32);
  runtime.RunMessageLoop(form);
  return 0;
}

int RunProgram(platform::WindowManager& windowManager) {
  toolkit::Runtime runtime(windowManager);
  const OutOfMemoryScope outOfMemory(runtime);

  platform::DeclaredFunctions user32(windowManager, [&runtime](const char* library,
                                                               const char* name) {
    runtime.Fatal(u"The function " + Widen(name) + u" cannot be found in " + Widen(library) + u".");
  });
  runtime.AddPlatformRelease([&user32] { user32.Release(); });

  {
    toolkit::Form form(runtime, BannerWindowDescription());
    ProgramStart(runtime, form, user32);

    // Shutdown: no handler runs from here on.
    runtime.HoldEvents();
    runtime.RunExitRoutines();
    runtime.ReleasePlatform();
  }
  return 0;
}

}  // namespace ledbanner::app
