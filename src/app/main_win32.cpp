// The Windows entry point: LED Banner on the real window manager.
#include "app/program.h"
#include "platform/win32/win32_window_manager.h"

// After the headers above, so that no <windows.h> macro can touch their declarations.
#include "platform/win32/windows_api.h"

#include <cstdlib>
#include <new>

// The program's allocations go through here, so that a failed one reports how much was asked for.
// The native tests keep the standard allocator, which the sanitizers replace.
void* operator new(std::size_t bytes) {
  if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) {
    return block;
  }
  ledbanner::app::ReportOutOfMemory(bytes);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*bytes*/) noexcept { std::free(block); }

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previousInstance*/, PWSTR /*commandLine*/,
                    int /*showCommand*/) {
  ledbanner::platform::Win32WindowManager windowManager;
  return ledbanner::app::RunProgram(windowManager);
}
