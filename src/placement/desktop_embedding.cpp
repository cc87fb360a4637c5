#include "placement/desktop_embedding.h"

#include <vector>

#include "placement/window_snapshot.h"
#include "platform/win_constants.h"

namespace ledbanner::placement {

namespace {
// A window manager that keeps answering with children cannot hold the lock forever.
constexpr std::size_t kMaxViewsPerWorker = 4096;

bool HasClass(const WindowEntry& entry, const char* className) {
  return entry.className.has_value() && *entry.className == className;
}
}  // namespace

bool EmbedInDesktop(platform::DeclaredFunctions& user32, platform::Hwnd hwnd) {
  std::vector<platform::Hwnd> views;
  const platform::Hwnd progman = user32.FindWindowA(kDesktopClass, kDesktopTitle);
  if (progman == 0) {
    return false;
  }
  // The shell answers by making its worker windows; whether it answered in time changes nothing.
  user32.SendMessageTimeoutW(progman, kSpawnWorkerMessage, 0, 0, platform::SMTO_NORMAL,
                             kSpawnWorkerTimeoutMs, nullptr);
  RebuildWindowList(user32);

  const std::size_t count = windowList.Count();
  for (std::size_t i = 1; i <= count; ++i) {
    const WindowEntry& entry = *windowList.Entry(i);
    if (!HasClass(entry, kWorkerClass)) {
      continue;
    }
    views.clear();
    for (platform::Hwnd view = user32.FindWindowExA(entry.hwnd, 0, kViewClass, nullptr);
         view != 0 && views.size() < kMaxViewsPerWorker;
         view = user32.FindWindowExA(entry.hwnd, view, kViewClass, nullptr)) {
      views.push_back(view);
    }
    if (views.empty()) {
      continue;
    }
    // The follower is closed only when it is the shell's empty worker window: a host that is the
    // last entry has none, and a window of any other class may be a user's work.
    const WindowEntry* follower = windowList.Entry(i + 1);
    if (follower == nullptr || follower->hwnd == progman || !HasClass(*follower, kWorkerClass)) {
      continue;
    }
    user32.SendMessageA(follower->hwnd, platform::WM_CLOSE, 0, 0);
  }
  return user32.SetParent(hwnd, progman) != 0;
}

}  // namespace ledbanner::placement
