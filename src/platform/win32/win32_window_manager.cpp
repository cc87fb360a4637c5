// A thin pass-through: each method converts its arguments to the native types, makes the call of
// the same name and converts the result back. Nothing is cached and nothing is added.
#include "platform/win32/win32_window_manager.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32/windows_api.h"

namespace ledbanner::platform {
namespace {

// Texts travel as UTF-16 in char16_t; Windows' wchar_t has the same representation.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(Hwnd) == sizeof(HWND));
static_assert(sizeof(WParam) == sizeof(WPARAM));
static_assert(sizeof(LParam) == sizeof(LPARAM));
static_assert(sizeof(LResult) == sizeof(LRESULT));
static_assert(sizeof(LongPtr) == sizeof(LONG_PTR));
static_assert(sizeof(ColorRef) == sizeof(COLORREF));
static_assert(sizeof(WndProc) == sizeof(WNDPROC));

// The handle types of Windows are distinct pointer types; ours are integers of the same size.
template <typename Native>
Native ToHandle(std::uintptr_t handle) {
  return reinterpret_cast<Native>(handle);  // NOLINT(performance-no-int-to-ptr): handles are ints
}

template <typename Native>
std::uintptr_t FromHandle(Native handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

HWND Window(Hwnd hwnd) { return ToHandle<HWND>(hwnd); }
HDC Dc(Hdc hdc) { return ToHandle<HDC>(hdc); }

// WndProc and WNDPROC differ only in handle and integer types of equal size, so they share the
// ABI; the detour through a parameterless function type tells the compiler the cast is meant.
WNDPROC ToNativeProc(WndProc proc) {
  return reinterpret_cast<WNDPROC>(reinterpret_cast<void (*)()>(proc));
}

// A view is not NUL-terminated, so calls that take a C string get a copy; an empty view may have
// no storage at all, and the counted calls still need a valid pointer.
const wchar_t* Wide(std::u16string_view text) {
  return text.empty() ? L"" : reinterpret_cast<const wchar_t*>(text.data());
}

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

int Length(std::u16string_view text) { return static_cast<int>(text.size()); }

RECT ToNative(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

Rect FromNative(const RECT& rect) {
  return Rect{static_cast<std::int32_t>(rect.left), static_cast<std::int32_t>(rect.top),
              static_cast<std::int32_t>(rect.right), static_cast<std::int32_t>(rect.bottom)};
}

POINT ToNative(const Point& point) { return POINT{point.x, point.y}; }

Point FromNative(const POINT& point) {
  return Point{static_cast<std::int32_t>(point.x), static_cast<std::int32_t>(point.y)};
}

MSG ToNative(const Msg& msg) {
  MSG native{};
  native.hwnd = Window(msg.hwnd);
  native.message = msg.message;
  native.wParam = msg.wParam;
  native.lParam = msg.lParam;
  native.time = msg.time;
  native.pt = ToNative(msg.pt);
  return native;
}

Msg FromNative(const MSG& native) {
  Msg msg;
  msg.hwnd = FromHandle(native.hwnd);
  msg.message = native.message;
  msg.wParam = native.wParam;
  msg.lParam = native.lParam;
  msg.time = static_cast<UInt>(native.time);
  msg.pt = FromNative(native.pt);
  return msg;
}

bool Succeeded(BOOL result) { return result != FALSE; }

BOOL ToNative(bool value) { return value ? TRUE : FALSE; }

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

}  // namespace

bool Win32WindowManager::RegisterClassExW(const WindowClass& windowClass) {
  WNDCLASSEXW native{};
  native.cbSize = sizeof(native);
  native.style = windowClass.style;
  native.lpfnWndProc = ToNativeProc(windowClass.wndProc);
  native.hInstance = ThisModule();
  native.hIcon = ToHandle<HICON>(windowClass.icon);
  native.hCursor = ToHandle<HCURSOR>(windowClass.cursor);
  native.hbrBackground = ToHandle<HBRUSH>(windowClass.background);
  native.lpszClassName = Wide(windowClass.className);
  native.hIconSm = ToHandle<HICON>(windowClass.iconSmall);
  return ::RegisterClassExW(&native) != 0;
}

Hwnd Win32WindowManager::CreateWindowExW(UInt exStyle, std::u16string_view className,
                                         std::u16string_view windowName, UInt style, int x, int y,
                                         int width, int height, Hwnd parent,
                                         std::uintptr_t menuOrId, void* createParam) {
  const std::u16string classNameCopy(className);
  const std::u16string windowNameCopy(windowName);
  return FromHandle(::CreateWindowExW(exStyle, Wide(classNameCopy), Wide(windowNameCopy), style, x,
                                      y, width, height, Window(parent), ToHandle<HMENU>(menuOrId),
                                      ThisModule(), createParam));
}

bool Win32WindowManager::DestroyWindow(Hwnd hwnd) {
  return Succeeded(::DestroyWindow(Window(hwnd)));
}

bool Win32WindowManager::IsWindow(Hwnd hwnd) { return Succeeded(::IsWindow(Window(hwnd))); }

LResult Win32WindowManager::DefWindowProcW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  return ::DefWindowProcW(Window(hwnd), message, wParam, lParam);
}

LResult Win32WindowManager::CallWindowProcW(WndProc proc, Hwnd hwnd, UInt message, WParam wParam,
                                            LParam lParam) {
  return ::CallWindowProcW(ToNativeProc(proc), Window(hwnd), message, wParam, lParam);
}

// 32-bit Windows has no ...LongPtr functions: its window longs are already pointer-sized.
LongPtr Win32WindowManager::GetWindowLongPtrW(Hwnd hwnd, int index) {
#ifdef _WIN64
  return ::GetWindowLongPtrW(Window(hwnd), index);
#else
  return ::GetWindowLongW(Window(hwnd), index);
#endif
}

LongPtr Win32WindowManager::SetWindowLongPtrW(Hwnd hwnd, int index, LongPtr value) {
#ifdef _WIN64
  return ::SetWindowLongPtrW(Window(hwnd), index, value);
#else
  return ::SetWindowLongW(Window(hwnd), index, value);
#endif
}

bool Win32WindowManager::ShowWindow(Hwnd hwnd, int command) {
  return Succeeded(::ShowWindow(Window(hwnd), command));
}

bool Win32WindowManager::IsWindowVisible(Hwnd hwnd) {
  return Succeeded(::IsWindowVisible(Window(hwnd)));
}

bool Win32WindowManager::EnableWindow(Hwnd hwnd, bool enable) {
  return Succeeded(::EnableWindow(Window(hwnd), ToNative(enable)));
}

bool Win32WindowManager::IsWindowEnabled(Hwnd hwnd) {
  return Succeeded(::IsWindowEnabled(Window(hwnd)));
}

bool Win32WindowManager::SetWindowTextW(Hwnd hwnd, std::u16string_view text) {
  const std::u16string copy(text);
  return Succeeded(::SetWindowTextW(Window(hwnd), Wide(copy)));
}

std::u16string Win32WindowManager::GetWindowTextW(Hwnd hwnd) {
  const int length = ::GetWindowTextLengthW(Window(hwnd));
  if (length <= 0) {
    return {};
  }
  // One more for the terminating NUL; the text may have shrunk in between, so keep what came.
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied =
      ::GetWindowTextW(Window(hwnd), reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

bool Win32WindowManager::GetWindowRect(Hwnd hwnd, Rect* rect) {
  RECT native{};
  const bool ok = Succeeded(::GetWindowRect(Window(hwnd), &native));
  if (ok && rect != nullptr) {
    *rect = FromNative(native);
  }
  return ok;
}

bool Win32WindowManager::GetClientRect(Hwnd hwnd, Rect* rect) {
  RECT native{};
  const bool ok = Succeeded(::GetClientRect(Window(hwnd), &native));
  if (ok && rect != nullptr) {
    *rect = FromNative(native);
  }
  return ok;
}

bool Win32WindowManager::ScreenToClient(Hwnd hwnd, Point* point) {
  if (point == nullptr) {
    return false;
  }
  POINT native = ToNative(*point);
  const bool ok = Succeeded(::ScreenToClient(Window(hwnd), &native));
  if (ok) {
    *point = FromNative(native);
  }
  return ok;
}

bool Win32WindowManager::ClientToScreen(Hwnd hwnd, Point* point) {
  if (point == nullptr) {
    return false;
  }
  POINT native = ToNative(*point);
  const bool ok = Succeeded(::ClientToScreen(Window(hwnd), &native));
  if (ok) {
    *point = FromNative(native);
  }
  return ok;
}

bool Win32WindowManager::MoveWindow(Hwnd hwnd, int x, int y, int width, int height, bool repaint) {
  return Succeeded(::MoveWindow(Window(hwnd), x, y, width, height, ToNative(repaint)));
}

bool Win32WindowManager::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                                      UInt flags) {
  return Succeeded(::SetWindowPos(Window(hwnd), Window(insertAfter), x, y, cx, cy, flags));
}

Hwnd Win32WindowManager::SetParent(Hwnd child, Hwnd newParent) {
  return FromHandle(::SetParent(Window(child), Window(newParent)));
}

Hwnd Win32WindowManager::GetParent(Hwnd hwnd) { return FromHandle(::GetParent(Window(hwnd))); }

Hwnd Win32WindowManager::GetAncestor(Hwnd hwnd, UInt flags) {
  return FromHandle(::GetAncestor(Window(hwnd), flags));
}

Hwnd Win32WindowManager::GetWindow(Hwnd hwnd, UInt command) {
  return FromHandle(::GetWindow(Window(hwnd), command));
}

LResult Win32WindowManager::SendMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  return ::SendMessageW(Window(hwnd), message, wParam, lParam);
}

bool Win32WindowManager::PostMessageW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  return Succeeded(::PostMessageW(Window(hwnd), message, wParam, lParam));
}

int Win32WindowManager::GetMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax) {
  MSG native{};
  const BOOL result = ::GetMessageW(&native, Window(hwnd), filterMin, filterMax);
  if (result != -1 && msg != nullptr) {
    *msg = FromNative(native);
  }
  return result;
}

bool Win32WindowManager::PeekMessageW(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax,
                                      UInt removeFlags) {
  MSG native{};
  const bool got =
      Succeeded(::PeekMessageW(&native, Window(hwnd), filterMin, filterMax, removeFlags));
  if (got && msg != nullptr) {
    *msg = FromNative(native);
  }
  return got;
}

bool Win32WindowManager::TranslateMessage(const Msg& msg) {
  const MSG native = ToNative(msg);
  return Succeeded(::TranslateMessage(&native));
}

LResult Win32WindowManager::DispatchMessageW(const Msg& msg) {
  const MSG native = ToNative(msg);
  return ::DispatchMessageW(&native);
}

void Win32WindowManager::PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

Hwnd Win32WindowManager::SetFocus(Hwnd hwnd) { return FromHandle(::SetFocus(Window(hwnd))); }

Hwnd Win32WindowManager::GetFocus() { return FromHandle(::GetFocus()); }

Hwnd Win32WindowManager::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }

bool Win32WindowManager::SetForegroundWindow(Hwnd hwnd) {
  return Succeeded(::SetForegroundWindow(Window(hwnd)));
}

std::int16_t Win32WindowManager::GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

bool Win32WindowManager::RegisterHotKey(Hwnd hwnd, int id, UInt modifiers, UInt virtualKey) {
  return Succeeded(::RegisterHotKey(Window(hwnd), id, modifiers, virtualKey));
}

bool Win32WindowManager::UnregisterHotKey(Hwnd hwnd, int id) {
  return Succeeded(::UnregisterHotKey(Window(hwnd), id));
}

std::uintptr_t Win32WindowManager::SetTimer(Hwnd hwnd, std::uintptr_t id, UInt elapseMs) {
  return ::SetTimer(Window(hwnd), id, elapseMs, nullptr);
}

bool Win32WindowManager::KillTimer(Hwnd hwnd, std::uintptr_t id) {
  return Succeeded(::KillTimer(Window(hwnd), id));
}

bool Win32WindowManager::InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase) {
  const RECT native = rect != nullptr ? ToNative(*rect) : RECT{};
  return Succeeded(
      ::InvalidateRect(Window(hwnd), rect != nullptr ? &native : nullptr, ToNative(erase)));
}

bool Win32WindowManager::UpdateWindow(Hwnd hwnd) { return Succeeded(::UpdateWindow(Window(hwnd))); }

Hdc Win32WindowManager::BeginPaint(Hwnd hwnd, PaintStruct* paint) {
  PAINTSTRUCT native{};
  const HDC hdc = ::BeginPaint(Window(hwnd), &native);
  if (paint != nullptr) {
    paint->hdc = FromHandle(native.hdc);
    paint->erase = Succeeded(native.fErase);
    paint->rcPaint = FromNative(native.rcPaint);
  }
  return FromHandle(hdc);
}

// EndPaint only reads the device context back, so the fields we keep are enough to rebuild it.
bool Win32WindowManager::EndPaint(Hwnd hwnd, const PaintStruct& paint) {
  PAINTSTRUCT native{};
  native.hdc = Dc(paint.hdc);
  native.fErase = ToNative(paint.erase);
  native.rcPaint = ToNative(paint.rcPaint);
  return Succeeded(::EndPaint(Window(hwnd), &native));
}

Hdc Win32WindowManager::GetDC(Hwnd hwnd) { return FromHandle(::GetDC(Window(hwnd))); }

int Win32WindowManager::ReleaseDC(Hwnd hwnd, Hdc hdc) { return ::ReleaseDC(Window(hwnd), Dc(hdc)); }

Hdc Win32WindowManager::CreateCompatibleDC(Hdc hdc) {
  return FromHandle(::CreateCompatibleDC(Dc(hdc)));
}

bool Win32WindowManager::DeleteDC(Hdc hdc) { return Succeeded(::DeleteDC(Dc(hdc))); }

Hgdiobj Win32WindowManager::CreateCompatibleBitmap(Hdc hdc, int width, int height) {
  return FromHandle(::CreateCompatibleBitmap(Dc(hdc), width, height));
}

Hgdiobj Win32WindowManager::CreateBitmap(int width, int height, UInt planes, UInt bitsPerPixel,
                                         const void* bits) {
  return FromHandle(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

Hgdiobj Win32WindowManager::CreateSolidBrush(ColorRef color) {
  return FromHandle(::CreateSolidBrush(color));
}

Hgdiobj Win32WindowManager::CreateFontIndirectW(const LogFont& font) {
  LOGFONTW native{};
  native.lfHeight = font.height;
  native.lfWidth = font.width;
  native.lfEscapement = font.escapement;
  native.lfOrientation = font.orientation;
  native.lfWeight = font.weight;
  native.lfItalic = font.italic;
  native.lfUnderline = font.underline;
  native.lfStrikeOut = font.strikeOut;
  native.lfCharSet = font.charSet;
  native.lfOutPrecision = font.outPrecision;
  native.lfClipPrecision = font.clipPrecision;
  native.lfQuality = font.quality;
  native.lfPitchAndFamily = font.pitchAndFamily;
  // The face name field holds 31 characters and a NUL (already there: the struct starts zeroed);
  // a longer name is cut.
  const std::size_t count = std::min<std::size_t>(font.faceName.size(), LF_FACESIZE - 1);
  std::copy_n(font.faceName.begin(), count, std::begin(native.lfFaceName));
  return FromHandle(::CreateFontIndirectW(&native));
}

Hgdiobj Win32WindowManager::GetStockObject(int object) {
  return FromHandle(::GetStockObject(object));
}

Hgdiobj Win32WindowManager::SelectObject(Hdc hdc, Hgdiobj object) {
  return FromHandle(::SelectObject(Dc(hdc), ToHandle<HGDIOBJ>(object)));
}

bool Win32WindowManager::DeleteObject(Hgdiobj object) {
  return Succeeded(::DeleteObject(ToHandle<HGDIOBJ>(object)));
}

int Win32WindowManager::FillRect(Hdc hdc, const Rect& rect, Hgdiobj brush) {
  const RECT native = ToNative(rect);
  return ::FillRect(Dc(hdc), &native, ToHandle<HBRUSH>(brush));
}

ColorRef Win32WindowManager::SetTextColor(Hdc hdc, ColorRef color) {
  return ::SetTextColor(Dc(hdc), color);
}

ColorRef Win32WindowManager::SetBkColor(Hdc hdc, ColorRef color) {
  return ::SetBkColor(Dc(hdc), color);
}

int Win32WindowManager::SetBkMode(Hdc hdc, int mode) { return ::SetBkMode(Dc(hdc), mode); }

int Win32WindowManager::DrawTextW(Hdc hdc, std::u16string_view text, Rect* rect, UInt format) {
  RECT native = rect != nullptr ? ToNative(*rect) : RECT{};
  const int result = ::DrawTextW(Dc(hdc), Wide(text), Length(text), &native, format);
  // Only DT_CALCRECT changes the rectangle; copying it back otherwise is a no-op.
  if (rect != nullptr) {
    *rect = FromNative(native);
  }
  return result;
}

bool Win32WindowManager::ExtTextOutW(Hdc hdc, int x, int y, UInt options, const Rect* clip,
                                     std::u16string_view text, const int* dx) {
  const RECT native = clip != nullptr ? ToNative(*clip) : RECT{};
  return Succeeded(::ExtTextOutW(Dc(hdc), x, y, options, clip != nullptr ? &native : nullptr,
                                 Wide(text), static_cast<UINT>(text.size()), dx));
}

bool Win32WindowManager::GetTextExtentPoint32W(Hdc hdc, std::u16string_view text, Size* size) {
  SIZE native{};
  const bool ok = Succeeded(::GetTextExtentPoint32W(Dc(hdc), Wide(text), Length(text), &native));
  if (ok && size != nullptr) {
    *size = Size{static_cast<std::int32_t>(native.cx), static_cast<std::int32_t>(native.cy)};
  }
  return ok;
}

bool Win32WindowManager::GetTextExtentExPointW(Hdc hdc, std::u16string_view text,
                                               int* partialExtents, Size* size) {
  SIZE native{};
  // With no fit count requested the maximum extent is ignored.
  const bool ok = Succeeded(::GetTextExtentExPointW(Dc(hdc), Wide(text), Length(text), 0, nullptr,
                                                    partialExtents, &native));
  if (ok && size != nullptr) {
    *size = Size{static_cast<std::int32_t>(native.cx), static_cast<std::int32_t>(native.cy)};
  }
  return ok;
}

bool Win32WindowManager::BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source,
                                int sourceX, int sourceY, UInt rasterOperation) {
  return Succeeded(::BitBlt(Dc(destination), x, y, width, height, Dc(source), sourceX, sourceY,
                            rasterOperation));
}

int Win32WindowManager::GetDeviceCaps(Hdc hdc, int index) {
  return ::GetDeviceCaps(Dc(hdc), index);
}

ColorRef Win32WindowManager::GetSysColor(int index) { return ::GetSysColor(index); }

int Win32WindowManager::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

int Win32WindowManager::MulDiv(int number, int numerator, int denominator) {
  return ::MulDiv(number, numerator, denominator);
}

Hicon Win32WindowManager::LoadImageW(std::u16string_view resourceName, int width, int height) {
  const std::u16string name(resourceName);
  return FromHandle(::LoadImageW(ThisModule(), Wide(name), IMAGE_ICON, width, height,
                                 LR_DEFAULTCOLOR | LR_SHARED));
}

Hcursor Win32WindowManager::SetCursor(Hcursor cursor) {
  return FromHandle(::SetCursor(ToHandle<HCURSOR>(cursor)));
}

Hcursor Win32WindowManager::LoadCursorW(UInt systemCursorId) {
  return FromHandle(::LoadCursorW(nullptr, MAKEINTRESOURCEW(systemCursorId)));
}

int Win32WindowManager::MessageBoxW(Hwnd owner, std::u16string_view text,
                                    std::u16string_view caption, UInt type) {
  const std::u16string textCopy(text);
  const std::u16string captionCopy(caption);
  return ::MessageBoxW(Window(owner), Wide(textCopy), Wide(captionCopy), type);
}

std::u16string Win32WindowManager::GetModuleFileNameW() {
  // A full buffer means the path may have been cut: grow it up to the longest path Windows has.
  constexpr DWORD kLongestPath = 32768;
  for (DWORD capacity = MAX_PATH; capacity <= 2 * kLongestPath; capacity *= 2) {
    std::u16string path(capacity, u'\0');
    const DWORD copied =
        ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()), capacity);
    if (copied == 0) {
      return {};
    }
    if (copied < capacity) {
      path.resize(copied);
      return path;
    }
  }
  return {};
}

bool Win32WindowManager::SetCurrentDirectoryW(std::u16string_view path) {
  const std::u16string copy(path);
  return Succeeded(::SetCurrentDirectoryW(Wide(copy)));
}

Hmodule Win32WindowManager::LoadLibraryA(const char* name) {
  return FromHandle(::LoadLibraryA(name));
}

FarProc Win32WindowManager::GetProcAddress(Hmodule module, const char* name) {
  return reinterpret_cast<FarProc>(::GetProcAddress(ToHandle<HMODULE>(module), name));
}

bool Win32WindowManager::FreeLibrary(Hmodule module) {
  return Succeeded(::FreeLibrary(ToHandle<HMODULE>(module)));
}

void Win32WindowManager::ExitProcess(UInt exitCode) { ::ExitProcess(exitCode); }

}  // namespace ledbanner::platform
