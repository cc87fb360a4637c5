#include "platform/declared_functions.h"

#include <cstdlib>

namespace ledbanner::platform {

DeclaredFunctions::DeclaredFunctions(WindowManager& windowManager, MissingHandler onMissing)
    : windowManager_(windowManager), onMissing_(std::move(onMissing)) {}

DeclaredFunctions::~DeclaredFunctions() { Release(); }

void DeclaredFunctions::Release() {
  for (std::size_t i = 0; i < modules_.size(); ++i) {
    if (modules_[i] != 0) {
      windowManager_.FreeLibrary(modules_[i]);
    }
    modules_[i] = 0;
    bound_[i] = nullptr;
  }
}

FarProc DeclaredFunctions::Bind(std::size_t index) {
  const DeclaredFunction& function = kDeclaredFunctions.at(index);
  const Hmodule module = windowManager_.LoadLibraryA(function.library);
  const FarProc address =
      module != 0 ? windowManager_.GetProcAddress(module, function.name) : nullptr;
  if (address == nullptr) {
    if (module != 0) {
      windowManager_.FreeLibrary(module);
    }
    if (onMissing_) {
      onMissing_(function.library, function.name);
    }
    std::abort();  // the handler must end the process; never call through a null address
  }
  modules_[index] = module;
  bound_[index] = address;
  return address;
}

template <std::size_t Index, typename Fn, typename... Args>
auto DeclaredFunctions::Call(Args... args) {
  FarProc address = bound_[Index];
  if (address == nullptr) {
    address = Bind(Index);
  }
  return reinterpret_cast<Fn>(address)(args...);
}

Hwnd DeclaredFunctions::SetParent(Hwnd child, Hwnd newParent) {
  return Call<0, SetParentFn>(child, newParent);
}

Hwnd DeclaredFunctions::FindWindowA(const char* className, const char* windowName) {
  return Call<1, FindWindowAFn>(className, windowName);
}

LResult DeclaredFunctions::SendMessageTimeoutW(Hwnd hwnd, UInt message, WParam wParam,
                                               LParam lParam, UInt flags, UInt timeoutMs,
                                               std::uintptr_t* result) {
  return Call<2, SendMessageTimeoutWFn>(hwnd, message, wParam, lParam, flags, timeoutMs, result);
}

int DeclaredFunctions::EnumWindows(EnumWindowsProc callback, LParam lParam) {
  return Call<3, EnumWindowsFn>(callback, lParam);
}

Hwnd DeclaredFunctions::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                                      const char* windowName) {
  return Call<4, FindWindowExAFn>(parent, childAfter, className, windowName);
}

LResult DeclaredFunctions::SendMessageA(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  return Call<5, SendMessageAFn>(hwnd, message, wParam, lParam);
}

int DeclaredFunctions::GetWindowTextLengthA(Hwnd hwnd) {
  return Call<6, GetWindowTextLengthAFn>(hwnd);
}

int DeclaredFunctions::GetWindowTextA(Hwnd hwnd, char* buffer, int maxCount) {
  return Call<7, GetWindowTextAFn>(hwnd, buffer, maxCount);
}

int DeclaredFunctions::GetClassNameA(Hwnd hwnd, char* buffer, int maxCount) {
  return Call<8, GetClassNameAFn>(hwnd, buffer, maxCount);
}

}  // namespace ledbanner::platform
