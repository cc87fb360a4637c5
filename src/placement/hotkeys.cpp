#include "placement/hotkeys.h"

#include "placement/desktop_embedding.h"
#include "placement/topmost.h"
#include "platform/win_constants.h"
#include "toolkit/runtime.h"

namespace ledbanner::placement {

namespace pf = platform;

thread_local std::int32_t lockHotkeyId = 0;
thread_local std::int32_t unlockHotkeyId = 0;
thread_local std::int32_t topmostHotkeyId = 0;

namespace {

// The facility's state for the whole program.
struct HotkeyFacility {
  std::int32_t serial = 0;
  std::int32_t lastId = 0;
  pf::Hwnd receiver = 0;
  pf::Hwnd owner = 0;
  pf::WndProc previousProc = nullptr;
};
thread_local HotkeyFacility facility;

pf::UInt SystemModifiers(std::int32_t modifiers) {
  switch (modifiers) {
    case 1:
      return pf::MOD_CONTROL;
    case 2:
      return pf::MOD_SHIFT;
    case 3:
      return pf::MOD_CONTROL | pf::MOD_SHIFT;
    case 4:
      return pf::MOD_ALT;
    case 5:
      return pf::MOD_CONTROL | pf::MOD_ALT;
    case 6:
      return pf::MOD_SHIFT | pf::MOD_ALT;
    default:
      return static_cast<pf::UInt>(modifiers);
  }
}

pf::LResult LEDBANNER_CALLBACK ForwardingProc(pf::Hwnd hwnd, pf::UInt message, pf::WParam wParam,
                                              pf::LParam lParam) {
  pf::WindowManager& wm = toolkit::Runtime::Current().Wm();
  if (message == pf::WM_HOTKEY && wParam >= static_cast<pf::WParam>(kFirstHotkeyId) &&
      wParam <= static_cast<pf::WParam>(facility.lastId)) {
    // Sent, not posted: the whole action has run when the hotkey message is done.
    wm.SendMessageW(facility.receiver, kHotkeyNoticeMessage, wParam, 0);
  }
  return wm.CallWindowProcW(facility.previousProc, hwnd, message, wParam, lParam);
}

}  // namespace

std::int32_t RegisterGlobalHotkey(pf::WindowManager& windowManager, pf::Hwnd owner,
                                  pf::Hwnd receiver, std::int32_t modifiers,
                                  std::int32_t virtualKey) {
  facility.receiver = receiver;
  const pf::UInt systemModifiers = SystemModifiers(modifiers);
  if (facility.previousProc == nullptr) {
    facility.owner = owner;
    facility.previousProc = reinterpret_cast<pf::WndProc>(windowManager.SetWindowLongPtrW(
        owner, pf::GWLP_WNDPROC, reinterpret_cast<pf::LongPtr>(&ForwardingProc)));
  }
  ++facility.serial;
  facility.lastId = kFirstHotkeyId - 1 + facility.serial;
  if (windowManager.RegisterHotKey(owner, facility.lastId, systemModifiers,
                                   static_cast<pf::UInt>(virtualKey))) {
    return facility.lastId;
  }
  return 0;
}

void ResetHotkeyFacility() {
  facility = HotkeyFacility{};
  lockHotkeyId = 0;
  unlockHotkeyId = 0;
  topmostHotkeyId = 0;
}

std::int32_t WindowReady(const app::BannerWindow& banner) {
  banner.编辑框1.SetText(kDefaultBannerText);
  pf::WindowManager& wm = banner.form.Wm();
  const auto registerKey = [&](int virtualKey) {
    const pf::Hwnd owner = banner.form.Handle();
    const pf::Hwnd receiver = banner.标签1.Handle();
    return RegisterGlobalHotkey(wm, owner, receiver, 0, virtualKey);
  };
  lockHotkeyId = registerKey(pf::VK_F1);
  unlockHotkeyId = registerKey(pf::VK_F2);
  topmostHotkeyId = registerKey(pf::VK_F3);
  return 0;
}

void HotkeyFeedback(const app::BannerWindow& banner, pf::DeclaredFunctions& user32,
                    std::int32_t first, std::int32_t /*second*/) {
  if (first == 0) {
    return;  // the identifier of a key that was never registered
  }
  if (first == lockHotkeyId) {
    banner.form.SetHeight(kCompactHeight);
    EmbedInDesktop(user32, banner.form.Handle());
  } else if (first == unlockHotkeyId) {
    banner.form.SetHeight(kFullHeight);
    user32.SetParent(banner.form.Handle(), 0);
    banner.form.SetFocus();
  } else if (first == topmostHotkeyId) {
    TopmostToggle(banner);
  }
}

}  // namespace ledbanner::placement
