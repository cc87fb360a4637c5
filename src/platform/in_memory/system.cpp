// Resources, the process, libraries, and the nine functions bound by name.
#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "platform/declared_functions.h"
#include "platform/in_memory/extra_constants.h"
#include "platform/in_memory/geometry.h"
#include "platform/in_memory/in_memory_window_manager.h"
#include "platform/win_constants.h"

namespace ledbanner::platform {

namespace {

constexpr Hmodule kUser32 = 0x7FFB0000;

// Thunks with the exact exported signatures; they forward to the thread's current instance.
Hwnd LEDBANNER_CALLBACK ThunkSetParent(Hwnd child, Hwnd newParent) {
  return InMemoryWindowManager::Current().SetParent(child, newParent);
}
Hwnd LEDBANNER_CALLBACK ThunkFindWindowA(const char* className, const char* windowName) {
  return InMemoryWindowManager::Current().FindWindowA(className, windowName);
}
LResult LEDBANNER_CALLBACK ThunkSendMessageTimeoutW(Hwnd hwnd, UInt message, WParam wParam,
                                                    LParam lParam, UInt flags, UInt timeoutMs,
                                                    std::uintptr_t* result) {
  return InMemoryWindowManager::Current().SendMessageTimeoutW(hwnd, message, wParam, lParam, flags,
                                                              timeoutMs, result);
}
int LEDBANNER_CALLBACK ThunkEnumWindows(EnumWindowsProc callback, LParam lParam) {
  return InMemoryWindowManager::Current().EnumWindows(callback, lParam);
}
Hwnd LEDBANNER_CALLBACK ThunkFindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                                           const char* windowName) {
  return InMemoryWindowManager::Current().FindWindowExA(parent, childAfter, className, windowName);
}
LResult LEDBANNER_CALLBACK ThunkSendMessageA(Hwnd hwnd, UInt message, WParam wParam,
                                             LParam lParam) {
  return InMemoryWindowManager::Current().SendMessageA(hwnd, message, wParam, lParam);
}
int LEDBANNER_CALLBACK ThunkGetWindowTextLengthA(Hwnd hwnd) {
  return InMemoryWindowManager::Current().GetWindowTextLengthA(hwnd);
}
int LEDBANNER_CALLBACK ThunkGetWindowTextA(Hwnd hwnd, char* buffer, int maxCount) {
  return InMemoryWindowManager::Current().GetWindowTextA(hwnd, buffer, maxCount);
}
int LEDBANNER_CALLBACK ThunkGetClassNameA(Hwnd hwnd, char* buffer, int maxCount) {
  return InMemoryWindowManager::Current().GetClassNameA(hwnd, buffer, maxCount);
}

static_assert(std::is_same_v<decltype(&ThunkSetParent), SetParentFn>);
static_assert(std::is_same_v<decltype(&ThunkFindWindowA), FindWindowAFn>);
static_assert(std::is_same_v<decltype(&ThunkSendMessageTimeoutW), SendMessageTimeoutWFn>);
static_assert(std::is_same_v<decltype(&ThunkEnumWindows), EnumWindowsFn>);
static_assert(std::is_same_v<decltype(&ThunkFindWindowExA), FindWindowExAFn>);
static_assert(std::is_same_v<decltype(&ThunkSendMessageA), SendMessageAFn>);
static_assert(std::is_same_v<decltype(&ThunkGetWindowTextLengthA), GetWindowTextLengthAFn>);
static_assert(std::is_same_v<decltype(&ThunkGetWindowTextA), GetWindowTextAFn>);
static_assert(std::is_same_v<decltype(&ThunkGetClassNameA), GetClassNameAFn>);

// In the order of kDeclaredFunctions.
const std::array<FarProc, kDeclaredFunctions.size()> kThunks{
    reinterpret_cast<FarProc>(&ThunkSetParent),
    reinterpret_cast<FarProc>(&ThunkFindWindowA),
    reinterpret_cast<FarProc>(&ThunkSendMessageTimeoutW),
    reinterpret_cast<FarProc>(&ThunkEnumWindows),
    reinterpret_cast<FarProc>(&ThunkFindWindowExA),
    reinterpret_cast<FarProc>(&ThunkSendMessageA),
    reinterpret_cast<FarProc>(&ThunkGetWindowTextLengthA),
    reinterpret_cast<FarProc>(&ThunkGetWindowTextA),
    reinterpret_cast<FarProc>(&ThunkGetClassNameA),
};

// "user32", "USER32.DLL" and "user32.dll" name the same library.
std::string LibraryKey(std::string_view name) {
  std::string key(name);
  std::transform(key.begin(), key.end(), key.begin(), [](char c) { return geometry::FoldCase(c); });
  if (key.size() > 4 && key.ends_with(".dll")) {
    key.resize(key.size() - 4);
  }
  return key;
}

int CopyAnsi(const std::string& bytes, char* buffer, int maxCount) {
  if (buffer == nullptr || maxCount <= 0) {
    return 0;
  }
  const std::size_t count = std::min(bytes.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(buffer, bytes.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

}  // namespace

// ---- Resources and the process ----

Hicon InMemoryWindowManager::LoadImageW(std::u16string_view resourceName, int /*width*/,
                                        int /*height*/) {
  if (IsFailing("LoadImageW") || resourceMissing_ || resourceName != u"DEFAULT_ICON") {
    return 0;
  }
  return NewHandle();
}

Hcursor InMemoryWindowManager::LoadCursorW(UInt systemCursorId) {
  return 0x70000 + static_cast<Hcursor>(systemCursorId);  // shared, as system cursors are
}

Hcursor InMemoryWindowManager::SetCursor(Hcursor cursor) {
  return std::exchange(currentCursor_, cursor);
}

int InMemoryWindowManager::MessageBoxW(Hwnd owner, std::u16string_view text,
                                       std::u16string_view caption, UInt type) {
  messageBoxes_.push_back({owner, std::u16string(text), std::u16string(caption), type});
  return messageBoxResult_;
}

std::u16string InMemoryWindowManager::GetModuleFileNameW() { return moduleFileName_; }

bool InMemoryWindowManager::SetCurrentDirectoryW(std::u16string_view path) {
  if (IsFailing("SetCurrentDirectoryW")) {
    return false;
  }
  currentDirectory_ = path;
  return true;
}

void InMemoryWindowManager::ExitProcess(UInt exitCode) { throw ProcessExit(exitCode); }

// ---- Libraries ----

Hmodule InMemoryWindowManager::LoadLibraryA(const char* name) {
  ++loadLibraryCalls_;
  if (name == nullptr) {
    return 0;
  }
  const std::string key = LibraryKey(name);
  if (key != "user32" || removedLibraries_.count(key) != 0) {
    return 0;
  }
  ++libraryReferences_;
  return kUser32;
}

FarProc InMemoryWindowManager::GetProcAddress(Hmodule module, const char* name) {
  ++getProcAddressCalls_;
  if (module != kUser32 || libraryReferences_ == 0 || name == nullptr) {
    return nullptr;
  }
  if (removedExports_.count(name) != 0) {
    return nullptr;
  }
  for (std::size_t i = 0; i < kDeclaredFunctions.size(); ++i) {
    if (std::strcmp(kDeclaredFunctions[i].name, name) == 0) {
      current_ = this;  // the thunks of this thread now talk to this instance
      return kThunks[i];
    }
  }
  return nullptr;
}

bool InMemoryWindowManager::FreeLibrary(Hmodule module) {
  ++freeLibraryCalls_;
  if (module != kUser32 || libraryReferences_ == 0) {
    return false;
  }
  --libraryReferences_;
  return true;
}

void InMemoryWindowManager::RemoveLibrary(std::string_view name) {
  removedLibraries_.insert(LibraryKey(name));
}

void InMemoryWindowManager::RemoveExport(std::string_view name) { removedExports_.emplace(name); }

// ---- "ANSI" texts ----

std::string InMemoryWindowManager::ToAnsi(std::u16string_view text) {
  // ASCII stays one byte; any other UTF-16 unit u becomes the two bytes 0x80 | (u >> 9) and
  // 0x80 | (u & 0x7F): both non-ASCII and nonzero, like a double-byte code page (lossy).
  std::string bytes;
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      bytes.push_back(static_cast<char>(unit));
    } else {
      bytes.push_back(static_cast<char>(0x80 | (unit >> 9)));
      bytes.push_back(static_cast<char>(0x80 | (unit & 0x7F)));
    }
  }
  return bytes;
}

std::string InMemoryWindowManager::AnsiText(const Window& window) const {
  return window.ansiTitle ? *window.ansiTitle : ToAnsi(window.text);
}

bool InMemoryWindowManager::AnsiMatches(const Window& window, const char* className,
                                        const char* windowName) const {
  if (className != nullptr &&
      !geometry::EqualsIgnoringCase(std::string_view(ToAnsi(window.className)),
                                    std::string_view(className))) {
    return false;
  }
  return windowName == nullptr || geometry::EqualsIgnoringCase(std::string_view(AnsiText(window)),
                                                               std::string_view(windowName));
}

// ---- The declared functions ----

Hwnd InMemoryWindowManager::FindWindowA(const char* className, const char* windowName) {
  for (const Hwnd hwnd : Find(desktop_)->children) {
    if (AnsiMatches(*Find(hwnd), className, windowName)) {
      return hwnd;
    }
  }
  return 0;
}

Hwnd InMemoryWindowManager::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                                          const char* windowName) {
  const Window* parentWindow = Find(parent == 0 ? desktop_ : parent);
  if (parentWindow == nullptr) {
    return 0;
  }
  const std::vector<Hwnd>& children = parentWindow->children;
  auto start = children.begin();
  if (childAfter != 0) {
    start = std::find(children.begin(), children.end(), childAfter);
    if (start == children.end()) {
      return 0;
    }
    ++start;
  }
  for (auto it = start; it != children.end(); ++it) {
    if (AnsiMatches(*Find(*it), className, windowName)) {
      return *it;
    }
  }
  return 0;
}

LResult InMemoryWindowManager::SendMessageTimeoutW(Hwnd hwnd, UInt message, WParam wParam,
                                                   LParam lParam, UInt flags, UInt timeoutMs,
                                                   std::uintptr_t* result) {
  Log(hwnd, message, wParam, lParam, "SendMessageTimeoutW");
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return 0;
  }
  if (window->hung && (flags & extra::SMTO_ABORTIFHUNG) != 0) {
    return 0;  // gives up at once on a hung window
  }
  const bool failing = IsFailing("SendMessageTimeoutW");
  const std::uint64_t delay =
      (window->hung || failing) ? std::uint64_t{timeoutMs} + 1 : window->responseDelay;
  now_ += std::min<std::uint64_t>(delay, timeoutMs);
  if (delay > timeoutMs) {
    return 0;
  }
  const LResult answer = Send(hwnd, message, wParam, lParam);
  if (result != nullptr) {
    *result = static_cast<std::uintptr_t>(answer);
  }
  return 1;
}

int InMemoryWindowManager::EnumWindows(EnumWindowsProc callback, LParam lParam) {
  if (callback == nullptr) {
    return 0;
  }
  // The list is taken first; windows destroyed during the scan are still reported.
  const std::vector<Hwnd> snapshot = Find(desktop_)->children;
  for (const Hwnd hwnd : snapshot) {
    int goOn = 0;
    {
      const CurrentScope scope(this);
      goOn = callback(hwnd, lParam);
    }
    if (enumHook_) {
      enumHook_(hwnd);
    }
    if (goOn == 0) {
      return 0;
    }
  }
  return 1;
}

LResult InMemoryWindowManager::SendMessageA(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  Log(hwnd, message, wParam, lParam, "SendMessageA");
  return Send(hwnd, message, wParam, lParam);
}

int InMemoryWindowManager::GetWindowTextLengthA(Hwnd hwnd) {
  const Window* window = Find(hwnd);
  return window == nullptr ? 0 : static_cast<int>(AnsiText(*window).size());
}

int InMemoryWindowManager::GetWindowTextA(Hwnd hwnd, char* buffer, int maxCount) {
  if (bufferNotWritten_.count("GetWindowTextA") != 0) {
    return 0;
  }
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return CopyAnsi({}, buffer, maxCount);
  }
  return CopyAnsi(AnsiText(*window), buffer, maxCount);
}

int InMemoryWindowManager::GetClassNameA(Hwnd hwnd, char* buffer, int maxCount) {
  if (bufferNotWritten_.count("GetClassNameA") != 0) {
    return 0;
  }
  const Window* window = Find(hwnd);
  if (window == nullptr) {
    return CopyAnsi({}, buffer, maxCount);
  }
  return CopyAnsi(ToAnsi(window->className), buffer, maxCount);
}

}  // namespace ledbanner::platform
