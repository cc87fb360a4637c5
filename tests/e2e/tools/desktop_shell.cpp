// desktop_shell: a stand-in for the Windows desktop shell, since Wine has none.
//
// It shows a top-level "Progman" window titled "Program Manager" with a "SHELLDLL_DefView"
// child, and answers message 0x052C as the shell does: on the first one it moves the
// SHELLDLL_DefView into a new top-level "WorkerW" and puts an empty top-level "WorkerW" right
// after it in the z-order (the EnumWindows order), with Progman after them.
//
//   --log PATH                 log file (flushed at once): "ready", every WM_CLOSE that any of
//                              its windows receives, and what it did
//   --layout normal            host WorkerW, empty WorkerW, Progman
//   --layout icons-under-progman   SHELLDLL_DefView stays under Progman, no WorkerW
//   --layout two-hosts         host, empty, host, empty, Progman
//   --layout follower-progman  host, Progman
//   --layout follower-foreign  host, "ForeignAppWindow", empty, Progman
//   --answer-delay-ms N        answer 0x052C only after N ms (and make the layout then); other
//                              messages are handled meanwhile
//   --never-answer             never answer 0x052C (other messages are still handled)
//   --close-progman-after-ms N destroy Progman N ms after the first 0x052C was answered
//
// Progman records WM_CLOSE and ignores it; an empty WorkerW records it and destroys itself, like
// the real one; other windows record it and ignore it. The program ends on WM_CLOSE of its
// hidden control window (class "DesktopShell.Control"), or when killed.
//
// A test can post WM_APP+1 (wParam N) to the control window: "sync N" is logged once every
// message posted to the shell before it has been handled.
//
// Log lines: "ready pid=P", "window role=R class=C hwnd=H", "order=C,C,..." (its own windows in
// EnumWindows order), "msg052c hwnd=H t_ms=T", "answered t_ms=T", "WM_CLOSE class=C hwnd=H
// role=R t_ms=T", "destroyed role=R hwnd=H t_ms=T", "progman-destroyed t_ms=T".
//
// Under Wine, DestroyWindow of Progman also destroys a child window of another process (it asks
// that window's thread to destroy it), as on Windows.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kSpawnWorker = 0x052C;
// Posted to the control window by a test: logged as "sync N" once every message posted to the
// shell's thread before it has been handled (one thread, one FIFO queue).
constexpr UINT kSync = WM_APP + 1;
constexpr UINT_PTR kCloseProgmanTimer = 1;
constexpr UINT_PTR kKeepAtBottomTimer = 2;

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};

std::unique_ptr<FILE, FileCloser> g_log;

void Log(const std::string& line) {
  if (!g_log) return;
  std::fputs(line.c_str(), g_log.get());
  std::fputc('\n', g_log.get());
  std::fflush(g_log.get());
}

std::string Hex(HWND h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
  return buf;
}

std::string Now() { return std::to_string(GetTickCount64()); }

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
  return s;
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

enum class Layout { kNormal, kIconsUnderProgman, kTwoHosts, kFollowerProgman, kFollowerForeign };

struct Options {
  Layout layout = Layout::kNormal;
  int answer_delay_ms = 0;
  bool never_answer = false;
  int close_progman_after_ms = -1;
};

Options g_opt;
HINSTANCE g_inst = nullptr;
HWND g_progman = nullptr;
HWND g_defview = nullptr;
HWND g_control = nullptr;
bool g_spawned = false;
bool g_placing = false;  // our own z-order changes pass; all others are refused
bool g_quit = false;
std::vector<HWND> g_bottom;  // the shell's windows at the bottom of the z-order, first on top

struct Role {
  HWND hwnd;
  std::wstring role;
};
std::vector<Role> g_roles;

std::wstring RoleOf(HWND h) {
  for (const auto& r : g_roles) {
    if (r.hwnd == h) return r.role;
  }
  return L"?";
}

void Remember(HWND h, const std::wstring& role) {
  g_roles.push_back({h, role});
  Log("window role=" + Narrow(role) + " class=" + Narrow(ClassOf(h)) + " hwnd=" + Hex(h));
}

// Runs messages for `ms` milliseconds (or until the program is told to end), so the thread
// keeps answering while a 0x052C stays unanswered.
void PumpFor(DWORD ms) {
  const ULONGLONG end = ms == INFINITE ? ~0ULL : GetTickCount64() + ms;
  while (!g_quit && GetTickCount64() < end) {
    const ULONGLONG left = end - GetTickCount64();
    MsgWaitForMultipleObjectsEx(0, nullptr, left > 100 ? 100 : static_cast<DWORD>(left),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        g_quit = true;
        PostQuitMessage(static_cast<int>(m.wParam));
        return;
      }
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
}

// Top-level windows are made hidden and shown without activation: a shell window that became
// active would be raised by Wine when the activation moves on (e.g. when the empty WorkerW is
// destroyed), breaking the z-order that the banner reads.
HWND MakeTopLevel(const wchar_t* cls, const wchar_t* title) {
  return CreateWindowExW(WS_EX_NOACTIVATE, cls, title, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                         nullptr, g_inst, nullptr);
}

void ShowNoActivate(HWND w) {
  g_placing = true;
  SetWindowPos(w, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  g_placing = false;
}

// The shell's own top-level windows (not the hidden control window) in EnumWindows order.
// Named callbacks, not lambdas: on 32-bit Windows they must be stdcall.
BOOL CALLBACK CollectOwn(HWND w, LPARAM p) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId() && w != g_control && RoleOf(w) != L"?") {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  }
  return TRUE;
}

BOOL CALLBACK CollectAll(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

std::vector<HWND> OwnOrder() {
  std::vector<HWND> order;
  EnumWindows(&CollectOwn, reinterpret_cast<LPARAM>(&order));
  return order;
}

// True when `order` is at the very bottom of the z-order, in that order, first on top.
bool AtBottom(const std::vector<HWND>& order) {
  std::vector<HWND> all;
  EnumWindows(&CollectAll, reinterpret_cast<LPARAM>(&all));
  if (all.size() < order.size()) return false;
  return std::equal(order.begin(), order.end(), all.end() - static_cast<long>(order.size()));
}

void PlaceOnce(const std::vector<HWND>& order) {
  g_placing = true;
  for (HWND w : order) {
    SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  g_placing = false;
}

// Puts the windows at the bottom of the z-order in the given order, first on top, and checks
// that the order holds for a while (messages are handled in between: Wine may still be mapping
// the windows, which can disturb the order once).
void PlaceAtBottom(const std::vector<HWND>& order) {
  for (HWND w : order) {
    if (!IsWindowVisible(w)) ShowNoActivate(w);
  }
  int held = 0;
  for (int attempt = 0; attempt < 50 && held < 3; ++attempt) {
    if (held == 0) PlaceOnce(order);
    PumpFor(15);
    if (AtBottom(order)) {
      ++held;
    } else {
      held = 0;
      Log("restacking attempt=" + std::to_string(attempt + 1));
    }
  }
  if (held < 3) Log("error=z-order does not hold");
  g_bottom = order;
}

// Runs on a timer: like the real desktop, the shell's windows stay at the bottom.
void KeepAtBottom() {
  std::vector<HWND> live;
  for (HWND w : g_bottom) {
    if (IsWindow(w)) live.push_back(w);
  }
  g_bottom = live;
  if (!live.empty() && !AtBottom(live)) {
    Log("restacking guard");
    PlaceOnce(live);
  }
}

void LogOrder() {
  std::string order;
  for (HWND w : OwnOrder()) {
    if (!order.empty()) order += ",";
    order += Narrow(RoleOf(w));
  }
  Log("order=" + order);
}

HWND MakeWorker(const wchar_t* role) {
  HWND w = MakeTopLevel(L"WorkerW", L"");
  Remember(w, role);
  return w;
}

void MoveDefView(HWND host) {
  SetParent(g_defview, host);
  RECT r{};
  GetClientRect(host, &r);
  SetWindowPos(g_defview, nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SpawnWorkers() {
  if (g_spawned) return;
  g_spawned = true;
  switch (g_opt.layout) {
    case Layout::kNormal: {
      HWND host = MakeWorker(L"host");
      HWND empty = MakeWorker(L"empty");
      MoveDefView(host);
      PlaceAtBottom({host, empty, g_progman});
      break;
    }
    case Layout::kIconsUnderProgman:
      break;
    case Layout::kTwoHosts: {
      HWND host1 = MakeWorker(L"host1");
      HWND empty1 = MakeWorker(L"empty1");
      HWND host2 = MakeWorker(L"host2");
      HWND empty2 = MakeWorker(L"empty2");
      MoveDefView(host1);
      // The second host gets a SHELLDLL_DefView of its own.
      HWND defview2 = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                      10, host2, nullptr, g_inst, nullptr);
      Remember(defview2, L"defview2");
      PlaceAtBottom({host1, empty1, host2, empty2, g_progman});
      break;
    }
    case Layout::kFollowerProgman: {
      HWND host = MakeWorker(L"host");
      MoveDefView(host);
      PlaceAtBottom({host, g_progman});
      break;
    }
    case Layout::kFollowerForeign: {
      HWND host = MakeWorker(L"host");
      HWND foreign = MakeTopLevel(L"ForeignAppWindow", L"Foreign");
      Remember(foreign, L"foreign");
      HWND empty = MakeWorker(L"empty");
      MoveDefView(host);
      PlaceAtBottom({host, foreign, empty, g_progman});
      break;
    }
  }
  LogOrder();
}

LRESULT OnSpawnMessage(HWND h) {
  Log("msg052c hwnd=" + Hex(h) + " t_ms=" + Now());
  if (g_opt.never_answer) {
    Log("not answering");
    PumpFor(INFINITE);
    return 0;
  }
  if (g_opt.answer_delay_ms > 0) {
    PumpFor(static_cast<DWORD>(g_opt.answer_delay_ms));
    if (g_quit) return 0;
  }
  SpawnWorkers();
  Log("answered t_ms=" + Now());
  if (g_opt.close_progman_after_ms >= 0) {
    SetTimer(g_control, kCloseProgmanTimer, static_cast<UINT>(g_opt.close_progman_after_ms),
             nullptr);
  }
  return 0;
}

LRESULT CALLBACK ShellProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kSpawnWorker:
      if (h == g_progman) return OnSpawnMessage(h);
      break;
    case WM_CLOSE: {
      const std::wstring role = RoleOf(h);
      Log("WM_CLOSE class=" + Narrow(ClassOf(h)) + " hwnd=" + Hex(h) + " role=" + Narrow(role) +
          " t_ms=" + Now());
      if (h == g_control) {
        DestroyWindow(h);
      } else if (ClassOf(h) == L"WorkerW" && role.rfind(L"empty", 0) == 0) {
        DestroyWindow(h);
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      // Like the real desktop, stay at the bottom whatever is clicked or activated.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!g_placing && GetAncestor(h, GA_PARENT) == GetDesktopWindow()) {
        pos->flags |= SWP_NOZORDER;
      }
      return 0;
    }
    case kSync:
      if (h == g_control) {
        Log("sync " + std::to_string(wp));
        return 0;
      }
      break;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_TIMER:
      if (h == g_control && wp == kKeepAtBottomTimer) {
        KeepAtBottom();
        return 0;
      }
      if (h == g_control && wp == kCloseProgmanTimer) {
        KillTimer(h, kCloseProgmanTimer);
        HWND progman = g_progman;
        DestroyWindow(progman);
        Log("progman-destroyed t_ms=" + Now());
        return 0;
      }
      break;
    case WM_DESTROY:
      if (h != g_control) {
        Log("destroyed role=" + Narrow(RoleOf(h)) + " hwnd=" + Hex(h) + " t_ms=" + Now());
      }
      if (h == g_progman) g_progman = nullptr;
      if (h == g_control) {
        g_quit = true;
        PostQuitMessage(0);
      }
      return 0;
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(h, &r);
      const std::wstring cls = ClassOf(h);
      COLORREF c = RGB(0, 64, 96);  // Progman: a desktop-like teal
      if (cls == L"WorkerW") c = RGB(0, 48, 72);
      if (cls == L"SHELLDLL_DefView") c = RGB(0, 80, 120);
      if (cls == L"ForeignAppWindow") c = RGB(90, 90, 90);
      HBRUSH b = CreateSolidBrush(c);
      FillRect(reinterpret_cast<HDC>(wp), &r, b);
      DeleteObject(b);
      return 1;
    }
    default:
      break;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

bool ParseArgs(int argc, wchar_t** argv, std::wstring* log_path) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == L"--log" && has_value) {
      *log_path = argv[++i];
    } else if (a == L"--layout" && has_value) {
      const std::wstring v = argv[++i];
      if (v == L"normal") {
        g_opt.layout = Layout::kNormal;
      } else if (v == L"icons-under-progman") {
        g_opt.layout = Layout::kIconsUnderProgman;
      } else if (v == L"two-hosts") {
        g_opt.layout = Layout::kTwoHosts;
      } else if (v == L"follower-progman") {
        g_opt.layout = Layout::kFollowerProgman;
      } else if (v == L"follower-foreign") {
        g_opt.layout = Layout::kFollowerForeign;
      } else {
        return false;
      }
    } else if (a == L"--answer-delay-ms" && has_value) {
      g_opt.answer_delay_ms = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
    } else if (a == L"--never-answer") {
      g_opt.never_answer = true;
    } else if (a == L"--close-progman-after-ms" && has_value) {
      g_opt.close_progman_after_ms = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
    } else {
      return false;
    }
  }
  return true;
}

bool RegisterShellClass(const wchar_t* name) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ShellProc;
  wc.hInstance = g_inst;
  wc.lpszClassName = name;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  return RegisterClassW(&wc) != 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  g_inst = GetModuleHandleW(nullptr);
  std::wstring log_path;
  if (!ParseArgs(argc, argv, &log_path)) {
    std::fputs(
        "usage: desktop_shell [--log PATH] [--layout L] [--answer-delay-ms N] "
        "[--never-answer] [--close-progman-after-ms N]\n",
        stderr);
    return 2;
  }
  if (!log_path.empty()) {
    g_log.reset(_wfopen(log_path.c_str(), L"wb"));
    if (!g_log) return 3;
  }
  for (const wchar_t* cls : {L"Progman", L"WorkerW", L"SHELLDLL_DefView", L"ForeignAppWindow",
                             L"DesktopShell.Control"}) {
    if (!RegisterShellClass(cls)) return 4;
  }
  g_control = CreateWindowExW(0, L"DesktopShell.Control", L"desktop_shell control", WS_POPUP, 0, 0,
                              1, 1, nullptr, nullptr, g_inst, nullptr);
  Remember(g_control, L"control");
  g_progman = MakeTopLevel(L"Progman", L"Program Manager");
  Remember(g_progman, L"progman");
  g_defview = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                              g_progman, nullptr, g_inst, nullptr);
  Remember(g_defview, L"defview");
  if (!g_control || !g_progman || !g_defview) return 5;
  PlaceAtBottom({g_progman});
  LogOrder();
  SetTimer(g_control, kKeepAtBottomTimer, 100, nullptr);
  Log("ready pid=" + std::to_string(GetCurrentProcessId()));
  MSG m;
  while (!g_quit && GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
