// The program's entry above the platform layer.
#pragma once

#include <cstddef>

#include "platform/window_manager.h"

namespace ledbanner::app {

// Runs LED Banner on the given window manager from start to end and returns the process's exit
// code: 0 after a normal end. A fatal error ends the process through
// WindowManager::ExitProcess(-1) instead of returning.
int RunProgram(platform::WindowManager& windowManager);

// A block of `bytes` bytes could not be had: fatal while the program runs. Builds its message
// without allocating.
[[noreturn]] void ReportOutOfMemory(std::size_t bytes);

}  // namespace ledbanner::app
