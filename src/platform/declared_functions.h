// The nine window-manager functions that the placement code calls by library and exported name.
//
// Each is bound on its first call (LoadLibraryA, then GetProcAddress) and the address is kept for
// later calls. The pointer types below carry the exact signatures of the exported functions,
// including the system's calling convention, so a call with the wrong arguments does not compile
// and no call can leave the stack unbalanced: there is nothing to check at run time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window_manager.h"

namespace ledbanner::platform {

using SetParentFn = Hwnd(LEDBANNER_CALLBACK*)(Hwnd child, Hwnd newParent);
using FindWindowAFn = Hwnd(LEDBANNER_CALLBACK*)(const char* className, const char* windowName);
using SendMessageTimeoutWFn = LResult(LEDBANNER_CALLBACK*)(Hwnd hwnd, UInt message, WParam wParam,
                                                           LParam lParam, UInt flags,
                                                           UInt timeoutMs, std::uintptr_t* result);
using EnumWindowsFn = int(LEDBANNER_CALLBACK*)(EnumWindowsProc callback, LParam lParam);
using FindWindowExAFn = Hwnd(LEDBANNER_CALLBACK*)(Hwnd parent, Hwnd childAfter,
                                                  const char* className, const char* windowName);
using SendMessageAFn = LResult(LEDBANNER_CALLBACK*)(Hwnd hwnd, UInt message, WParam wParam,
                                                    LParam lParam);
using GetWindowTextLengthAFn = int(LEDBANNER_CALLBACK*)(Hwnd hwnd);
using GetWindowTextAFn = int(LEDBANNER_CALLBACK*)(Hwnd hwnd, char* buffer, int maxCount);
using GetClassNameAFn = int(LEDBANNER_CALLBACK*)(Hwnd hwnd, char* buffer, int maxCount);

// The table in index order: library and exported name of each function.
struct DeclaredFunction {
  const char* library;
  const char* name;
};
inline constexpr std::array<DeclaredFunction, 9> kDeclaredFunctions{{
    {"user32", "SetParent"},
    {"user32", "FindWindowA"},
    {"user32", "SendMessageTimeoutW"},
    {"user32.dll", "EnumWindows"},
    {"user32", "FindWindowExA"},
    {"user32", "SendMessageA"},
    {"user32", "GetWindowTextLengthA"},
    {"user32", "GetWindowTextA"},
    {"user32", "GetClassNameA"},
}};

class DeclaredFunctions {
 public:
  // Called when a library or an exported name cannot be found; it must not return.
  using MissingHandler = std::function<void(const char* library, const char* name)>;

  DeclaredFunctions(WindowManager& windowManager, MissingHandler onMissing);
  DeclaredFunctions(const DeclaredFunctions&) = delete;
  DeclaredFunctions& operator=(const DeclaredFunctions&) = delete;
  DeclaredFunctions(DeclaredFunctions&&) = delete;
  DeclaredFunctions& operator=(DeclaredFunctions&&) = delete;
  ~DeclaredFunctions();  // frees the libraries it loaded

  Hwnd SetParent(Hwnd child, Hwnd newParent);
  Hwnd FindWindowA(const char* className, const char* windowName);
  LResult SendMessageTimeoutW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam, UInt flags,
                              UInt timeoutMs, std::uintptr_t* result);
  int EnumWindows(EnumWindowsProc callback, LParam lParam);
  Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className, const char* windowName);
  LResult SendMessageA(Hwnd hwnd, UInt message, WParam wParam, LParam lParam);
  int GetWindowTextLengthA(Hwnd hwnd);
  int GetWindowTextA(Hwnd hwnd, char* buffer, int maxCount);
  int GetClassNameA(Hwnd hwnd, char* buffer, int maxCount);

  // Releases the loaded libraries now; later calls bind again. Used by the shutdown sequence.
  void Release();

 private:
  template <std::size_t Index, typename Fn, typename... Args>
  auto Call(Args... args);
  FarProc Bind(std::size_t index);

  WindowManager& windowManager_;
  MissingHandler onMissing_;
  std::array<FarProc, kDeclaredFunctions.size()> bound_{};
  std::array<Hmodule, kDeclaredFunctions.size()> modules_{};
};

}  // namespace ledbanner::platform
