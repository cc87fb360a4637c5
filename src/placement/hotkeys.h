// The three global hotkeys: F1 locks the banner onto the desktop, F2 unlocks it, F3 toggles
// always-on-top. Also the hotkey facility that turns a system hotkey into a label's feedback event.
#pragma once

#include <cstdint>

#include "app/banner_window.h"
#include "platform/declared_functions.h"

namespace ledbanner::placement {

inline constexpr std::int32_t kFirstHotkeyId = 33001;
inline constexpr platform::UInt kHotkeyNoticeMessage = toolkit::Label::kFeedbackMessage;
inline constexpr std::u16string_view kDefaultBannerText = u"Quorlin原创";

// The identifiers the registrations returned; 0 for a key that could not be registered. One set
// per thread, like every piece of program state, so tests can run two copies side by side.
extern thread_local std::int32_t lockHotkeyId;
extern thread_local std::int32_t unlockHotkeyId;
extern thread_local std::int32_t topmostHotkeyId;

// Registers a system-wide hotkey on owner whose presses become feedback events of receiver.
// modifiers: 1 Ctrl, 2 Shift, 4 Alt and their sums. Returns the new identifier, or 0.
std::int32_t RegisterGlobalHotkey(platform::WindowManager& windowManager, platform::Hwnd owner,
                                  platform::Hwnd receiver, std::int32_t modifiers,
                                  std::int32_t virtualKey);

// Forgets the facility's state (serial, receiver, replaced procedure) of this thread.
void ResetHotkeyFacility();

// The banner window's created handler: the default text, then F1, F2 and F3.
std::int32_t WindowReady(const app::BannerWindow& banner);

// The feedback handler of the hotkey receiver.
void HotkeyFeedback(const app::BannerWindow& banner, platform::DeclaredFunctions& user32,
                    std::int32_t first, std::int32_t second);

}  // namespace ledbanner::placement
