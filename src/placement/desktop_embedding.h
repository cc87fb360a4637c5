// Locking the banner onto the desktop: the shell's desktop window becomes its parent.
#pragma once

#include "platform/declared_functions.h"

namespace ledbanner::placement {

inline constexpr const char* kDesktopClass = "Progman";
inline constexpr const char* kDesktopTitle = "Program Manager";
inline constexpr const char* kWorkerClass = "WorkerW";
inline constexpr const char* kViewClass = "SHELLDLL_DefView";
inline constexpr platform::UInt kSpawnWorkerMessage = 0x052C;
inline constexpr platform::UInt kSpawnWorkerTimeoutMs = 1000;

// Asks the shell for its worker window, closes the empty "WorkerW" that follows each one hosting
// the desktop's view, and makes "Progman" the parent of hwnd. True when the re-parenting worked.
bool EmbedInDesktop(platform::DeclaredFunctions& user32, platform::Hwnd hwnd);

}  // namespace ledbanner::placement
