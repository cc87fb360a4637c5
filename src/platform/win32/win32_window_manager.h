// The window manager of a real Windows: every call goes straight to user32, gdi32 or kernel32.
//
// This header keeps <windows.h> out, so it can be included next to code that uses the portable
// constants of platform/win_constants.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_manager.h"

namespace ledbanner::platform {

class Win32WindowManager final : public WindowManager {
 public:
  Win32WindowManager() = default;

  bool RegisterClassExW(const WindowClass& windowClass) override;
  Hwnd CreateWindowExW(UInt exStyle, std::u16string_view className, std::u16string_view windowName,
                       UInt style, int x, int y, int width, int height, Hwnd parent,
                       std::uintptr_t menuOrId, void* createParam) override;
  bool DestroyWindow(Hwnd hwnd) override;
  bool IsWindow(Hwnd hwnd) override;
  LResult DefWindowProcW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) override;
  LResult CallWindowProcW(WndProc proc, Hwnd hwnd, UInt message, WParam wParam,
                          LParam lParam) override;
  LongPtr GetWindowLongPtrW(Hwnd hwnd, int index) override;
  LongPtr SetWindowLongPtrW(Hwnd hwnd, int index, LongPtr value) override;
  bool ShowWindow(Hwnd hwnd, int command) override;
  bool IsWindowVisible(Hwnd hwnd) override;
  bool EnableWindow(Hwnd hwnd, bool enable) override;
  bool IsWindowEnabled(Hwnd hwnd) override;
  bool SetWindowTextW(Hwnd hwnd, std::u16string_view text) override;
  std::u16string GetWindowTextW(Hwnd hwnd) override;

  bool GetWindowRect(Hwnd hwnd, Rect* rect) override;
  bool GetClientRect(Hwnd hwnd, Rect* rect) override;
  bool ScreenToClient(Hwnd hwnd, Point* point) override;
  bool ClientToScreen(Hwnd hwnd, Point* point) override;
  bool MoveWindow(Hwnd hwnd, int x, int y, int width, int height, bool repaint) override;
  bool SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy, UInt flags) override;
  Hwnd SetParent(Hwnd child, Hwnd newParent) override;
  Hwnd GetParent(Hwnd hwnd) override;
  Hwnd GetAncestor(Hwnd hwnd, UInt flags) override;
  Hwnd GetWindow(Hwnd hwnd, UInt command) override;

  LResult SendMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) override;
  bool PostMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) override;
  int GetMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax) override;
  bool PeekMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax, UInt removeFlags) override;
  bool TranslateMessage(const Msg& msg) override;
  LResult DispatchMessageW(const Msg& msg) override;
  void PostQuitMessage(int exitCode) override;

  Hwnd SetFocus(Hwnd hwnd) override;
  Hwnd GetFocus() override;
  Hwnd GetActiveWindow() override;
  bool SetForegroundWindow(Hwnd hwnd) override;
  std::int16_t GetKeyState(int virtualKey) override;
  bool RegisterHotKey(Hwnd hwnd, int id, UInt modifiers, UInt virtualKey) override;
  bool UnregisterHotKey(Hwnd hwnd, int id) override;
  std::uintptr_t SetTimer(Hwnd hwnd, std::uintptr_t id, UInt elapseMs) override;
  bool KillTimer(Hwnd hwnd, std::uintptr_t id) override;

  bool InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase) override;
  bool UpdateWindow(Hwnd hwnd) override;
  Hdc BeginPaint(Hwnd hwnd, PaintStruct* paint) override;
  bool EndPaint(Hwnd hwnd, const PaintStruct& paint) override;
  Hdc GetDC(Hwnd hwnd) override;
  int ReleaseDC(Hwnd hwnd, Hdc hdc) override;
  Hdc CreateCompatibleDC(Hdc hdc) override;
  bool DeleteDC(Hdc hdc) override;
  Hgdiobj CreateCompatibleBitmap(Hdc hdc, int width, int height) override;
  Hgdiobj CreateBitmap(int width, int height, UInt planes, UInt bitsPerPixel,
                       const void* bits) override;
  Hgdiobj CreateSolidBrush(ColorRef color) override;
  Hgdiobj CreateFontIndirectW(const LogFont& font) override;
  Hgdiobj GetStockObject(int object) override;
  Hgdiobj SelectObject(Hdc hdc, Hgdiobj object) override;
  bool DeleteObject(Hgdiobj object) override;
  int FillRect(Hdc hdc, const Rect& rect, Hgdiobj brush) override;
  ColorRef SetTextColor(Hdc hdc, ColorRef color) override;
  ColorRef SetBkColor(Hdc hdc, ColorRef color) override;
  int SetBkMode(Hdc hdc, int mode) override;
  int DrawTextW(Hdc hdc, std::u16string_view text, Rect* rect, UInt format) override;
  bool ExtTextOutW(Hdc hdc, int x, int y, UInt options, const Rect* clip, std::u16string_view text,
                   const int* dx) override;
  bool GetTextExtentPoint32W(Hdc hdc, std::u16string_view text, Size* size) override;
  bool GetTextExtentExPointW(Hdc hdc, std::u16string_view text, int* partialExtents,
                             Size* size) override;
  bool BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source, int sourceX,
              int sourceY, UInt rasterOperation) override;
  int GetDeviceCaps(Hdc hdc, int index) override;
  ColorRef GetSysColor(int index) override;
  int GetSystemMetrics(int index) override;
  int MulDiv(int number, int numerator, int denominator) override;

  Hicon LoadImageW(std::u16string_view resourceName, int width, int height) override;
  Hcursor LoadCursorW(UInt systemCursorId) override;
  Hcursor SetCursor(Hcursor cursor) override;
  int MessageBoxW(Hwnd owner, std::u16string_view text, std::u16string_view caption,
                  UInt type) override;
  std::u16string GetModuleFileNameW() override;
  bool SetCurrentDirectoryW(std::u16string_view path) override;
  Hmodule LoadLibraryA(const char* name) override;
  FarProc GetProcAddress(Hmodule module, const char* name) override;
  bool FreeLibrary(Hmodule module) override;
  [[noreturn]] void ExitProcess(UInt exitCode) override;
};

}  // namespace ledbanner::platform
