// bench_floor: the floor that the banner's scrolling cost is compared with.
//
// A bare borderless WS_POPUP window of the banner's size (439x129), centred on the screen as the
// banner is, with the same SetTimer(1 ms). A tick does nothing but count. The count can be read
// from outside at any time: SendMessage(hwnd, WM_APP, 0, 0) returns it. On exit (WM_CLOSE) it
// prints ticks=N.
//
// With the argument "paint" a tick also repaints a 357x68 area (what the banner's default text
// changes on a tick) the cheapest way there is: InvalidateRect, then in WM_PAINT one BitBlt from
// a memory bitmap. This is the floor of any program that shows a moving picture of that size.
//
//   bench_floor.exe [paint]
#include <windows.h>

#include <cstdio>

namespace {

constexpr wchar_t kClassName[] = L"LEDBanner.BenchFloor";
constexpr int kWidth = 439;
constexpr int kHeight = 129;
constexpr UINT_PTR kTimerId = 1000;
constexpr UINT kGetTicks = WM_APP;

LONG_PTR ticks = 0;
bool paint = false;
HDC pictureDc = nullptr;
constexpr RECT kArea{40, 8, 397, 76};

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (pictureDc != nullptr) {
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
           ps.rcPaint.bottom - ps.rcPaint.top, pictureDc, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimerId) {
        ++ticks;
        if (paint) {
          InvalidateRect(hwnd, &kArea, FALSE);
        }
        return 0;
      }
      break;
    case WM_PAINT:
      if (paint) {
        Paint(hwnd);
        return 0;
      }
      break;
    case kGetTicks:
      return ticks;
    case WM_DESTROY:
      KillTimer(hwnd, kTimerId);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  paint = commandLine != nullptr && lstrcmpA(commandLine, "paint") == 0;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &FloorProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0) {
    return 1;
  }
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExW(0, kClassName, L"", WS_POPUP, x, y, kWidth, kHeight, nullptr, nullptr,
                              instance, nullptr);
  if (hwnd == nullptr) {
    return 1;
  }
  if (paint) {
    // A dark red picture with a lighter band, made once.
    HDC screen = GetDC(hwnd);
    pictureDc = CreateCompatibleDC(screen);
    SelectObject(pictureDc, CreateCompatibleBitmap(screen, kWidth, kHeight));
    ReleaseDC(hwnd, screen);
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(pictureDc, &all, CreateSolidBrush(RGB(128, 0, 0)));
    FillRect(pictureDc, &kArea, CreateSolidBrush(RGB(255, 0, 0)));
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
  if (SetTimer(hwnd, kTimerId, 1, nullptr) == 0) {
    return 1;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  std::printf("ticks=%lld\n", static_cast<long long>(ticks));
  return 0;
}
