// A started banner on the in-memory window manager, and the means to drive it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/banner_window.h"
#include "app/startup.h"
#include "placement/hotkeys.h"
#include "placement/window_snapshot.h"
#include "platform/declared_functions.h"
#include "platform/in_memory/in_memory_window_manager.h"
#include "platform/win_constants.h"
#include "toolkit/form.h"
#include "toolkit/runtime.h"

namespace ledbanner::testing {

namespace pf = platform;

inline std::u16string Widen(const char* ascii) {
  std::u16string text;
  for (; *ascii != '\0'; ++ascii) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*ascii)));
  }
  return text;
}

// One copy of the program, loaded as start-up loads it, with the message loop driven by the test.
class Banner {
 public:
  explicit Banner(pf::InMemoryWindowManager& wm)
      : wm_(wm),
        runtime_(wm),
        user32_(wm,
                [this](const char* library, const char* name) {
                  runtime_.Fatal(u"The function " + Widen(name) + u" cannot be found in " +
                                 Widen(library) + u".");
                }),
        form_(runtime_, app::BannerWindowDescription()) {}

  void Start() {
    placement::windowList.Clear();
    placement::ResetHotkeyFacility();
    runtime_.RegisterExitRoutine(&app::ProgramCleanup);
    app::LoadBannerWindow(runtime_, form_, user32_);
    banner_.emplace(form_);
  }

  // Dispatches what is due now, with the keyboard rules, as the message loop would.
  void Pump() {
    pf::Msg msg;
    while (wm_.PeekMessageW(&msg, 0, 0, 0, pf::PM_REMOVE)) {
      if (msg.message == pf::WM_QUIT) {
        quit_ = true;
        return;
      }
      runtime_.ProcessMessage(form_, msg);
    }
  }

  // Lets n timer periods pass, handling each tick and the painting it causes.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      wm_.AdvanceClock(pf::USER_TIMER_MINIMUM);
      Pump();
    }
  }

  [[nodiscard]] const app::BannerWindow& Window() const { return *banner_; }
  [[nodiscard]] toolkit::Form& Form() { return form_; }
  [[nodiscard]] const toolkit::Form& Form() const { return form_; }
  [[nodiscard]] toolkit::Runtime& Runtime() { return runtime_; }
  [[nodiscard]] pf::DeclaredFunctions& User32() { return user32_; }
  [[nodiscard]] bool QuitPosted() const { return quit_; }

 private:
  pf::InMemoryWindowManager& wm_;
  toolkit::Runtime runtime_;
  pf::DeclaredFunctions user32_;
  toolkit::Form form_;
  std::optional<app::BannerWindow> banner_;
  bool quit_ = false;
};

class BannerTest : public ::testing::Test {
 protected:
  void SetUp() override { banner.Start(); }

  [[nodiscard]] const app::BannerWindow& W() const { return banner.Window(); }
  [[nodiscard]] pf::Hwnd Handle(const toolkit::Control& control) const { return control.Handle(); }

  pf::InMemoryWindowManager wm;
  Banner banner{wm};
};

}  // namespace ledbanner::testing
