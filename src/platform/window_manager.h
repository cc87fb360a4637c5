// The window-manager and graphics calls that LED Banner makes, as one interface.
//
// Two implementations exist: the Win32 backend (a thin pass-through to user32, gdi32 and
// kernel32) and the in-memory window manager used by the native tests. Every method is named
// after the Windows call it stands for and keeps its meaning; where Windows has A and W forms the
// W form is used, so that texts travel as UTF-16 without loss. Native Windows types never appear
// here: handles are plain integers, so this header compiles on any platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledbanner::platform {

// Handles are opaque integers of pointer size; 0 means none. Windows' own handles fit in 32 bits.
using Hwnd = std::uintptr_t;
using Hdc = std::uintptr_t;
using Hgdiobj = std::uintptr_t;  // fonts, bitmaps, brushes
using Hicon = std::uintptr_t;
using Hcursor = std::uintptr_t;
using Hmodule = std::uintptr_t;

using UInt = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using LongPtr = std::intptr_t;
using ColorRef = std::uint32_t;  // 0x00BBGGRR, as Windows stores it

constexpr ColorRef Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<ColorRef>(red) | (static_cast<ColorRef>(green) << 8) |
         (static_cast<ColorRef>(blue) << 16);
}

// Callbacks handed to the window manager must use the system's calling convention, which on
// 32-bit Windows is stdcall. With it these types are ABI-identical to WNDPROC, WNDENUMPROC and the
// declared functions' own signatures, so the compiler checks every call's argument list and no
// call can leave the stack unbalanced.
#if defined(_WIN32) && !defined(_WIN64)
#define LEDBANNER_CALLBACK __stdcall
#else
#define LEDBANNER_CALLBACK
#endif

using WndProc = LResult(LEDBANNER_CALLBACK*)(Hwnd, UInt, WParam, LParam);
using EnumWindowsProc = int(LEDBANNER_CALLBACK*)(Hwnd, LParam);
using FarProc = void (*)();  // an exported function before it is cast to its real type

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct Size {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  [[nodiscard]] constexpr std::int32_t Width() const { return right - left; }
  [[nodiscard]] constexpr std::int32_t Height() const { return bottom - top; }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Msg {
  Hwnd hwnd = 0;
  UInt message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  UInt time = 0;
  Point pt;
};

struct PaintStruct {
  Hdc hdc = 0;
  bool erase = false;
  Rect rcPaint;
};

struct WindowClass {
  UInt style = 0;
  WndProc wndProc = nullptr;
  Hicon icon = 0;
  Hicon iconSmall = 0;
  Hcursor cursor = 0;
  Hgdiobj background = 0;  // a brush, or 0 when the window erases its own background
  std::u16string className;
};

struct LogFont {
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::u16string faceName;  // at most 31 characters
};

class WindowManager {
 public:
  WindowManager() = default;
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;
  WindowManager(WindowManager&&) = delete;
  WindowManager& operator=(WindowManager&&) = delete;
  virtual ~WindowManager() = default;

  // Classes and windows.
  virtual bool RegisterClassExW(const WindowClass& windowClass) = 0;
  virtual Hwnd CreateWindowExW(UInt exStyle, std::u16string_view className,
                               std::u16string_view windowName, UInt style, int x, int y, int width,
                               int height, Hwnd parent, std::uintptr_t menuOrId,
                               void* createParam) = 0;
  virtual bool DestroyWindow(Hwnd hwnd) = 0;
  virtual bool IsWindow(Hwnd hwnd) = 0;
  virtual LResult DefWindowProcW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) = 0;
  virtual LResult CallWindowProcW(WndProc proc, Hwnd hwnd, UInt message, WParam wParam,
                                  LParam lParam) = 0;
  virtual LongPtr GetWindowLongPtrW(Hwnd hwnd, int index) = 0;
  virtual LongPtr SetWindowLongPtrW(Hwnd hwnd, int index, LongPtr value) = 0;
  virtual bool ShowWindow(Hwnd hwnd, int command) = 0;  // true when it was visible before
  virtual bool IsWindowVisible(Hwnd hwnd) = 0;
  virtual bool EnableWindow(Hwnd hwnd, bool enable) = 0;  // true when it was disabled before
  virtual bool IsWindowEnabled(Hwnd hwnd) = 0;
  virtual bool SetWindowTextW(Hwnd hwnd, std::u16string_view text) = 0;
  virtual std::u16string GetWindowTextW(Hwnd hwnd) = 0;  // the whole text, a copy

  // Geometry and the window tree.
  virtual bool GetWindowRect(Hwnd hwnd, Rect* rect) = 0;  // screen coordinates
  virtual bool GetClientRect(Hwnd hwnd, Rect* rect) = 0;
  virtual bool ScreenToClient(Hwnd hwnd, Point* point) = 0;
  virtual bool ClientToScreen(Hwnd hwnd, Point* point) = 0;
  virtual bool MoveWindow(Hwnd hwnd, int x, int y, int width, int height, bool repaint) = 0;
  virtual bool SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                            UInt flags) = 0;
  virtual Hwnd SetParent(Hwnd child, Hwnd newParent) = 0;
  virtual Hwnd GetParent(Hwnd hwnd) = 0;
  virtual Hwnd GetAncestor(Hwnd hwnd, UInt flags) = 0;
  virtual Hwnd GetWindow(Hwnd hwnd, UInt command) = 0;  // GW_CHILD, GW_HWNDNEXT, ...

  // Messages.
  virtual LResult SendMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) = 0;
  virtual bool PostMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) = 0;
  virtual int GetMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax) = 0;
  virtual bool PeekMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax,
                            UInt removeFlags) = 0;
  virtual bool TranslateMessage(const Msg& msg) = 0;
  virtual LResult DispatchMessageW(const Msg& msg) = 0;
  virtual void PostQuitMessage(int exitCode) = 0;

  // Keyboard, focus, activation, hotkeys, timers.
  virtual Hwnd SetFocus(Hwnd hwnd) = 0;  // returns the window that had the focus
  virtual Hwnd GetFocus() = 0;
  virtual Hwnd GetActiveWindow() = 0;
  virtual bool SetForegroundWindow(Hwnd hwnd) = 0;
  virtual std::int16_t GetKeyState(int virtualKey) = 0;  // high bit set while the key is down
  virtual bool RegisterHotKey(Hwnd hwnd, int id, UInt modifiers, UInt virtualKey) = 0;
  virtual bool UnregisterHotKey(Hwnd hwnd, int id) = 0;
  virtual std::uintptr_t SetTimer(Hwnd hwnd, std::uintptr_t id, UInt elapseMs) = 0;
  virtual bool KillTimer(Hwnd hwnd, std::uintptr_t id) = 0;

  // Painting and the graphics device interface.
  virtual bool InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase) = 0;  // null: whole
  virtual bool UpdateWindow(Hwnd hwnd) = 0;
  virtual Hdc BeginPaint(Hwnd hwnd, PaintStruct* paint) = 0;
  virtual bool EndPaint(Hwnd hwnd, const PaintStruct& paint) = 0;
  virtual Hdc GetDC(Hwnd hwnd) = 0;
  virtual int ReleaseDC(Hwnd hwnd, Hdc hdc) = 0;
  virtual Hdc CreateCompatibleDC(Hdc hdc) = 0;
  virtual bool DeleteDC(Hdc hdc) = 0;
  virtual Hgdiobj CreateCompatibleBitmap(Hdc hdc, int width, int height) = 0;
  // A bitmap of the given format; bits may be null (then its content is undefined).
  virtual Hgdiobj CreateBitmap(int width, int height, UInt planes, UInt bitsPerPixel,
                               const void* bits) = 0;
  virtual Hgdiobj CreateSolidBrush(ColorRef color) = 0;
  virtual Hgdiobj CreateFontIndirectW(const LogFont& font) = 0;
  virtual Hgdiobj GetStockObject(int object) = 0;
  virtual Hgdiobj SelectObject(Hdc hdc, Hgdiobj object) = 0;
  virtual bool DeleteObject(Hgdiobj object) = 0;
  virtual int FillRect(Hdc hdc, const Rect& rect, Hgdiobj brush) = 0;
  virtual ColorRef SetTextColor(Hdc hdc, ColorRef color) = 0;
  virtual ColorRef SetBkColor(Hdc hdc, ColorRef color) = 0;
  virtual int SetBkMode(Hdc hdc, int mode) = 0;
  // DT_CALCRECT writes the measured rectangle back into rect.
  virtual int DrawTextW(Hdc hdc, std::u16string_view text, Rect* rect, UInt format) = 0;
  // dx, when given, holds one advance per UTF-16 unit of text.
  virtual bool ExtTextOutW(Hdc hdc, int x, int y, UInt options, const Rect* clip,
                           std::u16string_view text, const int* dx) = 0;
  virtual bool GetTextExtentPoint32W(Hdc hdc, std::u16string_view text, Size* size) = 0;
  // Fills partialExtents (text.size() entries) with the extent of the first i + 1 units.
  virtual bool GetTextExtentExPointW(Hdc hdc, std::u16string_view text, int* partialExtents,
                                     Size* size) = 0;
  virtual bool BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source, int sourceX,
                      int sourceY, UInt rasterOperation) = 0;
  virtual int GetDeviceCaps(Hdc hdc, int index) = 0;
  virtual ColorRef GetSysColor(int index) = 0;
  virtual int GetSystemMetrics(int index) = 0;
  virtual int MulDiv(int number, int numerator, int denominator) = 0;

  // Resources, process and libraries.
  // An icon of the executable's resources at the given size (LoadImageW with IMAGE_ICON).
  virtual Hicon LoadImageW(std::u16string_view resourceName, int width, int height) = 0;
  virtual Hcursor LoadCursorW(UInt systemCursorId) = 0;  // IDC_ARROW and friends
  virtual Hcursor SetCursor(Hcursor cursor) = 0;
  virtual int MessageBoxW(Hwnd owner, std::u16string_view text, std::u16string_view caption,
                          UInt type) = 0;
  virtual std::u16string GetModuleFileNameW() = 0;  // path of the running executable
  virtual bool SetCurrentDirectoryW(std::u16string_view path) = 0;
  virtual Hmodule LoadLibraryA(const char* name) = 0;
  virtual FarProc GetProcAddress(Hmodule module, const char* name) = 0;
  virtual bool FreeLibrary(Hmodule module) = 0;
  // Ends the process at once with the given code, without unwinding through the system's frames.
  [[noreturn]] virtual void ExitProcess(UInt exitCode) = 0;
};

}  // namespace ledbanner::platform
