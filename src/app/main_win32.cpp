// The Windows entry point: LED Banner on the real window manager.
#include "app/program.h"
#include "platform/win32/win32_window_manager.h"

// After the headers above, so that no <windows.h> macro can touch their declarations.
#include "platform/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previousInstance*/, PWSTR /*commandLine*/,
                    int /*showCommand*/) {
  ledbanner::platform::Win32WindowManager windowManager;
  return ledbanner::app::RunProgram(windowManager);
}
