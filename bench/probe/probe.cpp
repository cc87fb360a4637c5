// bench_probe: counts the ticks of the banner or of the floor program from outside, and sets the
// banner's text. A console program run in the same Wine prefix and display. Prints key=value
// lines, each flushed at once (bench/run.sh watches them while the probe runs).
//
//   bench_probe wait CLASS TIMEOUT_MS      until a top-level window of CLASS exists: hwnd=
//   bench_probe settext BYTES TIMEOUT_MS   WM_SETTEXT of a text of BYTES ASCII bytes to the
//                                          banner's input box (id 1004); waits until the
//                                          scroller (id 1009) holds it: width=
//   bench_probe track banner|floor SECONDS samples every 50 ms for SECONDS; prints begin, end,
//                                          then ticks= seconds= rate=
//   bench_probe close CLASS                PostMessage WM_CLOSE to the window of CLASS
//
// Ticks of the banner: the scroller moves 4 px left on every tick and jumps back to the strip's
// right edge once it has left the strip, so the ticks between two samples are the distance
// travelled / 4, with a wrap counted as the rest of the cycle plus the jump. Ticks of the floor:
// its own counter, read with SendMessage(WM_APP) at the start and the end; its window rectangle
// is also read every 50 ms, so that both runs make the same calls to the window server.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr wchar_t kBannerClass[] = L"LEDBanner.Window";
constexpr wchar_t kPictureBoxClass[] = L"LEDBanner.PictureBox";
constexpr wchar_t kFloorClass[] = L"LEDBanner.BenchFloor";
constexpr int kInputId = 1004;
constexpr int kScrollerId = 1009;
constexpr int kSampleMs = 50;
constexpr int kStep = 4;
constexpr int kMinPosition = -32627;
constexpr int kMaxPosition = 32627;

void Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
  }
  return wide;
}

HWND WaitWindow(const wchar_t* className, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND hwnd = FindWindowW(className, nullptr);
    if (hwnd != nullptr || GetTickCount64() >= deadline) {
      return hwnd;
    }
    Sleep(20);
  }
}

struct Scroller {
  HWND strip = nullptr;
  HWND edit = nullptr;
};

Scroller FindScroller() {
  Scroller scroller;
  HWND banner = FindWindowW(kBannerClass, nullptr);
  if (banner == nullptr) {
    return scroller;
  }
  scroller.strip = FindWindowExW(banner, nullptr, kPictureBoxClass, nullptr);
  if (scroller.strip != nullptr) {
    scroller.edit = GetDlgItem(scroller.strip, kScrollerId);
  }
  return scroller;
}

// The scroller's left edge in the strip's client coordinates, and its width.
bool ScrollerPlace(const Scroller& scroller, int& left, int& width) {
  RECT rect;
  if (GetWindowRect(scroller.edit, &rect) == FALSE) {
    return false;
  }
  POINT topLeft{rect.left, rect.top};
  ScreenToClient(scroller.strip, &topLeft);
  left = topLeft.x;
  width = rect.right - rect.left;
  return true;
}

// The lowest position of one scrolling cycle, and the cycle's length in ticks, as the banner's
// tick handler makes them: start at the strip's width, 4 px left a tick, back once the scroller
// is entirely left of the strip or stuck at the left limit.
void Cycle(int stripWidth, int width, int& lowest, long long& length) {
  int position = stripWidth;
  length = 0;
  for (;;) {
    const int before = position;
    int after = before - kStep;
    after = after < kMinPosition ? kMinPosition : (after > kMaxPosition ? kMaxPosition : after);
    ++length;
    if (after < -width || after > before - kStep) {
      lowest = before;
      return;
    }
    position = after;
  }
}

int Track(bool banner, int seconds) {
  Scroller scroller;
  HWND floor = nullptr;
  int stripWidth = 0;
  if (banner) {
    scroller = FindScroller();
    RECT client;
    if (scroller.edit == nullptr || GetClientRect(scroller.strip, &client) == FALSE) {
      Line("error=no banner scroller");
      return 1;
    }
    stripWidth = client.right - client.left;
  } else {
    floor = FindWindowW(kFloorClass, nullptr);
    if (floor == nullptr) {
      Line("error=no floor window");
      return 1;
    }
  }
  long long ticks = 0;
  long long irregular = 0;
  long long wraps = 0;
  int previous = 0;
  int width = 0;
  LRESULT floorStart = 0;
  if (banner) {
    ScrollerPlace(scroller, previous, width);
  } else {
    floorStart = SendMessageW(floor, WM_APP, 0, 0);
  }
  const ULONGLONG start = GetTickCount64();
  Line("begin t_ms=%llu", start);
  const ULONGLONG end = start + static_cast<ULONGLONG>(seconds) * 1000;
  ULONGLONG now = start;
  while (now < end) {
    Sleep(kSampleMs);
    now = GetTickCount64();
    if (!banner) {
      RECT rect;
      GetWindowRect(floor, &rect);
      continue;
    }
    int left = 0;
    if (!ScrollerPlace(scroller, left, width)) {
      Line("error=the scroller is gone");
      return 1;
    }
    if (left <= previous) {
      ticks += (previous - left) / kStep;
      irregular += ((previous - left) % kStep) != 0 ? 1 : 0;
    } else {
      int lowest = 0;
      long long length = 0;
      Cycle(stripWidth, width, lowest, length);
      ticks += (previous - lowest) / kStep + 1 + (stripWidth - left) / kStep;
      ++wraps;
    }
    previous = left;
  }
  if (!banner) {
    ticks = static_cast<long long>(SendMessageW(floor, WM_APP, 0, 0) - floorStart);
  }
  const double elapsed = static_cast<double>(now - start) / 1000.0;
  Line("end t_ms=%llu", now);
  Line("ticks=%lld seconds=%.3f rate=%.2f wraps=%lld irregular=%lld width=%d", ticks, elapsed,
       static_cast<double>(ticks) / elapsed, wraps, irregular, width);
  return 0;
}

int SetText(int bytes, DWORD timeoutMs) {
  HWND banner = FindWindowW(kBannerClass, nullptr);
  HWND input = nullptr;
  for (HWND child = banner != nullptr ? GetWindow(banner, GW_CHILD) : nullptr; child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == kInputId) {
      input = child;
    }
  }
  const Scroller scroller = FindScroller();
  if (input == nullptr || scroller.edit == nullptr) {
    Line("error=no banner input box (%p) or scroller (%p)", static_cast<void*>(input),
         static_cast<void*>(scroller.edit));
    return 1;
  }
  static const char kPattern[] = "LED Banner 0123456789 ";
  std::wstring text;
  text.reserve(static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i) {
    text.push_back(static_cast<wchar_t>(kPattern[i % (sizeof(kPattern) - 1)]));
  }
  SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  // The scroller takes the width of the text's estimate: 48 points (the banner font at 96 dpi) x
  // 0.67 a byte, at most the toolkit's limit.
  const double estimate = 48.0 * static_cast<double>(bytes) * 0.67;
  const int expected =
      estimate >= static_cast<double>(kMaxPosition) ? kMaxPosition : static_cast<int>(estimate);
  for (;;) {
    int left = 0;
    int width = 0;
    ScrollerPlace(scroller, left, width);
    if (width == expected) {
      Line("width=%d", width);
      return 0;
    }
    if (GetTickCount64() >= deadline) {
      Line("error=the scroller did not take the text (width %d, not %d)", width, expected);
      return 1;
    }
    Sleep(20);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "wait" && argc == 4) {
    HWND hwnd = WaitWindow(Widen(argv[2]).c_str(), static_cast<DWORD>(std::atoi(argv[3])));
    if (hwnd == nullptr) {
      Line("error=no window");
      return 1;
    }
    Line("hwnd=0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return 0;
  }
  if (command == "settext" && argc == 4) {
    return SetText(std::atoi(argv[2]), static_cast<DWORD>(std::atoi(argv[3])));
  }
  if (command == "track" && argc == 4) {
    const std::string kind = argv[2];
    if (kind != "banner" && kind != "floor") {
      return 2;
    }
    return Track(kind == "banner", std::atoi(argv[3]));
  }
  if (command == "close" && argc == 3) {
    HWND hwnd = FindWindowW(Widen(argv[2]).c_str(), nullptr);
    return hwnd != nullptr && PostMessageW(hwnd, WM_CLOSE, 0, 0) != FALSE ? 0 : 1;
  }
  std::fprintf(stderr, "usage: bench_probe wait|settext|track|close ...\n");
  return 2;
}
