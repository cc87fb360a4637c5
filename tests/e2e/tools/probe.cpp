// probe: looks at other processes' windows and presses keys, for the end-to-end tests.
// Runs under the same Wine prefix and display as the program under test. Prints one fact a
// line as key=value (UTF-8, "\n" line ends); lines about several windows hold tab-separated
// key=value fields with the text last. Exit code 0 on success, 1 on a failed wait, 2 on a
// usage error.
//
//   probe wait CLASS TIMEOUT_MS [TITLE]       first top-level window of CLASS: hwnd=
//   probe wait-count CLASS N TIMEOUT_MS       until at least N top-level windows of CLASS
//   probe find CLASS [TITLE]                  count= and hwnd= for each match
//   probe enum                                top-level windows in EnumWindows (z) order
//   probe info HWND                           rect, client, style, exstyle, title, parent...
//   probe children HWND                       every descendant, one line each
//   probe focus HWND                          GetGUIThreadInfo of the window's thread
//   probe wait-info HWND KEY VALUE TIMEOUT_MS until `info` shows KEY=VALUE; prints info
//   probe wait-child HWND ID KEY VALUE TIMEOUT_MS   same for the descendant with id ID
//   probe wait-parent HWND CLASS TIMEOUT_MS   until GA_PARENT has CLASS ("desktop" = desktop)
//   probe wait-gone HWND TIMEOUT_MS           until the window no longer exists
//   probe key VK [ctrl|shift|alt|win]...      SendInput of one key with modifiers
//   probe type TEXT                           SendInput of TEXT as Unicode characters
//   probe activate HWND                       SetForegroundWindow + SetActiveWindow
//   probe close HWND                          PostMessage WM_CLOSE
//   probe send HWND MSG [TIMEOUT_MS]          SendMessageTimeout(MSG, 0, 0, SMTO_NORMAL)
//   probe post HWND MSG [WPARAM]              PostMessage(MSG, WPARAM, 0)
//   probe track HWND ID COUNT INTERVAL_MS     COUNT samples of the position of child ID in its
//                                             parent: x= y= t_ms=
//   probe focus-window [X Y]                  own focused window; prints hwnd=, then every
//                                             WM_KEYDOWN/WM_CHAR it gets; stays until killed
// Wait commands print waiting=1 first, and t_ms= (GetTickCount64 when the condition held), so a
// test can run one in the background and compare the time with a log line of another program.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr int kPollMs = 10;

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// Escapes the characters that would break a line of key=value fields.
std::string Field(const std::wstring& w) {
  std::string out;
  for (char c : Utf8(w)) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Out(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Hex(HWND h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
  return buf;
}

std::string Hex32(DWORD v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08lx", static_cast<unsigned long>(v));
  return buf;
}

std::string Rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
}

HWND ParseHwnd(const wchar_t* s) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(s, nullptr, 0)));
}

std::wstring ClassOf(HWND h) {
  if (!h) return L"";
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

// Text of a window of any process: WM_GETTEXT is marshalled across processes, unlike the
// caption that GetWindowText reads for them (an EDIT keeps its text in its own buffer).
std::wstring TextOf(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &len)) {
    return L"<no answer>";
  }
  std::vector<wchar_t> buf(len + 2, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                           SMTO_ABORTIFHUNG, 1000, &got)) {
    return L"<no answer>";
  }
  return std::wstring(buf.data(), static_cast<size_t>(got));
}

std::vector<std::string> InfoLines(HWND h) {
  std::vector<std::string> lines;
  if (!IsWindow(h)) {
    lines.push_back("exists=0");
    return lines;
  }
  RECT wr{}, cr{};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  DWORD pid = 0;
  const DWORD tid = GetWindowThreadProcessId(h, &pid);
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  const LONG_PTR exstyle = GetWindowLongPtrW(h, GWL_EXSTYLE);
  const HWND parent = GetAncestor(h, GA_PARENT);
  const HWND owner = GetWindow(h, GW_OWNER);
  lines.push_back("exists=1");
  lines.push_back("hwnd=" + Hex(h));
  lines.push_back("class=" + Field(ClassOf(h)));
  lines.push_back("pid=" + std::to_string(pid));
  lines.push_back("tid=" + std::to_string(tid));
  lines.push_back("rect=" + Rect(wr));
  lines.push_back("x=" + std::to_string(wr.left));
  lines.push_back("y=" + std::to_string(wr.top));
  lines.push_back("w=" + std::to_string(wr.right - wr.left));
  lines.push_back("h=" + std::to_string(wr.bottom - wr.top));
  lines.push_back("client=" + Rect(cr));
  lines.push_back("style=" + Hex32(static_cast<DWORD>(style)));
  lines.push_back("exstyle=" + Hex32(static_cast<DWORD>(exstyle)));
  lines.push_back("title=" + Field(TextOf(h)));
  lines.push_back(std::string("visible=") + (IsWindowVisible(h) ? "1" : "0"));
  lines.push_back(std::string("enabled=") + (IsWindowEnabled(h) ? "1" : "0"));
  lines.push_back(std::string("topmost=") + ((exstyle & WS_EX_TOPMOST) ? "1" : "0"));
  lines.push_back(std::string("iconic=") + (IsIconic(h) ? "1" : "0"));
  lines.push_back("parent=" + Hex(parent));
  lines.push_back("parent_class=" + Field(ClassOf(parent)));
  lines.push_back(std::string("parent_is_desktop=") + (parent == GetDesktopWindow() ? "1" : "0"));
  lines.push_back("getparent=" + Hex(GetParent(h)));
  lines.push_back("owner=" + Hex(owner));
  lines.push_back("desktop=" + Hex(GetDesktopWindow()));
  lines.push_back("foreground=" + Hex(GetForegroundWindow()));
  return lines;
}

std::string ChildLine(HWND c) {
  RECT r{};
  GetWindowRect(c, &r);
  const HWND parent = GetAncestor(c, GA_PARENT);
  POINT local{r.left, r.top};
  ScreenToClient(parent, &local);
  const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
  const LONG_PTR exstyle = GetWindowLongPtrW(c, GWL_EXSTYLE);
  std::string line = "hwnd=" + Hex(c);
  line += "\tparent=" + Hex(parent);
  line += "\tclass=" + Field(ClassOf(c));
  line += "\tid=" + std::to_string(GetDlgCtrlID(c));
  line += "\trect=" + Rect(r);
  line += "\tlocal=" + std::to_string(local.x) + "," + std::to_string(local.y) + "," +
          std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
  line += "\tstyle=" + Hex32(static_cast<DWORD>(style));
  line += "\texstyle=" + Hex32(static_cast<DWORD>(exstyle));
  line += std::string("\tvisible=") + (IsWindowVisible(c) ? "1" : "0");
  line += std::string("\tenabled=") + (IsWindowEnabled(c) ? "1" : "0");
  line += "\ttext=" + Field(TextOf(c));
  return line;
}

// A named callback, not a lambda: on 32-bit Windows it must be stdcall.
BOOL CALLBACK Collect(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

std::vector<HWND> Descendants(HWND h) {
  std::vector<HWND> out;
  EnumChildWindows(h, &Collect, reinterpret_cast<LPARAM>(&out));
  return out;
}

std::vector<HWND> TopLevel() {
  std::vector<HWND> out;
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&out));
  return out;
}

std::vector<HWND> FindAll(const std::wstring& cls, const wchar_t* title) {
  std::vector<HWND> out;
  for (HWND w : TopLevel()) {
    if (ClassOf(w) != cls) continue;
    if (title) {
      wchar_t buf[512] = {};
      GetWindowTextW(w, buf, 512);
      if (std::wstring(buf) != title) continue;
    }
    out.push_back(w);
  }
  return out;
}

void PrintTime() { Out("t_ms=" + std::to_string(GetTickCount64())); }

// Polls `done` every kPollMs until it is true or timeout_ms passes.
template <typename F>
bool PollUntil(int timeout_ms, F done) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

int Timeout(const std::string& what) {
  Out("error=timeout " + what);
  return 1;
}

bool InfoHas(HWND h, const std::string& kv) {
  for (const auto& line : InfoLines(h)) {
    if (line == kv) return true;
  }
  return false;
}

HWND ChildById(HWND h, int id) {
  for (HWND c : Descendants(h)) {
    if (GetDlgCtrlID(c) == id) return c;
  }
  return nullptr;
}

bool ChildHas(HWND c, const std::string& key, const std::string& value) {
  // The child line's fields, split at tabs.
  const std::string line = ChildLine(c);
  const std::string want = key + "=" + value;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find('\t', start);
    if (end == std::string::npos) end = line.size();
    if (line.compare(start, end - start, want) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string ArgUtf8(const wchar_t* a) { return Utf8(a); }

struct VkName {
  const wchar_t* name;
  WORD vk;
};

constexpr VkName kVkNames[] = {
    {L"esc", VK_ESCAPE}, {L"escape", VK_ESCAPE}, {L"return", VK_RETURN}, {L"enter", VK_RETURN},
    {L"tab", VK_TAB},    {L"space", VK_SPACE},   {L"back", VK_BACK},     {L"backspace", VK_BACK},
    {L"left", VK_LEFT},  {L"right", VK_RIGHT},   {L"up", VK_UP},         {L"down", VK_DOWN},
    {L"home", VK_HOME},  {L"end", VK_END},       {L"delete", VK_DELETE},
};

WORD ParseVk(const std::wstring& s) {
  std::wstring low;
  for (wchar_t c : s) low += static_cast<wchar_t>(towlower(c));
  for (const auto& n : kVkNames) {
    if (low == n.name) return n.vk;
  }
  if (low.size() >= 2 && low[0] == L'f' && iswdigit(low[1])) {
    const int n = std::wcstol(low.c_str() + 1, nullptr, 10);
    if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
  }
  if (low.size() == 1 && iswalnum(low[0])) return static_cast<WORD>(towupper(low[0]));
  return static_cast<WORD>(std::wcstoul(s.c_str(), nullptr, 0));
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

bool Send(std::vector<INPUT>& inputs) {
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Out("sent=" + std::to_string(sent) + "/" + std::to_string(inputs.size()));
  return sent == inputs.size();
}

int CmdKey(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const WORD vk = ParseVk(argv[2]);
  if (!vk) return 2;
  std::vector<WORD> mods;
  for (int i = 3; i < argc; ++i) {
    const std::wstring m = argv[i];
    if (m == L"ctrl") {
      mods.push_back(VK_CONTROL);
    } else if (m == L"shift") {
      mods.push_back(VK_SHIFT);
    } else if (m == L"alt") {
      mods.push_back(VK_MENU);
    } else if (m == L"win") {
      mods.push_back(VK_LWIN);
    } else {
      return 2;
    }
  }
  std::vector<INPUT> inputs;
  for (WORD m : mods) inputs.push_back(KeyInput(m, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) inputs.push_back(KeyInput(*it, true));
  Out("vk=" + std::to_string(vk));
  return Send(inputs) ? 0 : 1;
}

int CmdType(const wchar_t* text) {
  std::vector<INPUT> inputs;
  for (const wchar_t* p = text; *p; ++p) {
    for (bool up : {false, true}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = static_cast<WORD>(*p);
      in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(in);
    }
  }
  return Send(inputs) ? 0 : 1;
}

// The focus window: a small window of our own that takes the keyboard focus, so keys can be
// pressed while another program (not the one under test) is in front.
LRESULT CALLBACK FocusProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Out("keydown=" + std::to_string(wp));
      return 0;
    case WM_CHAR:
      Out("char=" + std::to_string(wp));
      return 0;
    case WM_SETFOCUS:
      Out("setfocus=1");
      return 0;
    case WM_KILLFOCUS:
      Out("killfocus=1");
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HBRUSH brush = CreateSolidBrush(RGB(0, 160, 0));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(h, msg, wp, lp);
  }
}

struct WindowDeleter {
  void operator()(HWND h) const {
    if (h && IsWindow(h)) DestroyWindow(h);
  }
};

int CmdFocusWindow(int x, int y) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FocusProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Probe.FocusWindow";
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (!RegisterClassW(&wc)) return 1;
  std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter> win(
      CreateWindowExW(0, wc.lpszClassName, L"probe focus", WS_POPUP | WS_VISIBLE, x, y, 64, 64,
                      nullptr, nullptr, wc.hInstance, nullptr));
  if (!win) return 1;
  SetForegroundWindow(win.get());
  SetFocus(win.get());
  Out("hwnd=" + Hex(win.get()));
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}

int Usage() {
  Out("error=usage");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return Usage();
  const std::wstring cmd = argv[1];
  // Lets a test that runs a wait in the background know when the wait has begun.
  if (cmd.rfind(L"wait", 0) == 0) Out("waiting=1");
  auto arg_int = [&](int i) { return static_cast<int>(std::wcstol(argv[i], nullptr, 0)); };

  if (cmd == L"wait" && argc >= 4) {
    const std::wstring cls = argv[2];
    const wchar_t* title = argc >= 5 ? argv[4] : nullptr;
    HWND found = nullptr;
    const bool ok = PollUntil(arg_int(3), [&] {
      const auto all = FindAll(cls, title);
      if (all.empty()) return false;
      found = all.front();
      return true;
    });
    if (!ok) return Timeout("no window of class " + ArgUtf8(argv[2]));
    Out("hwnd=" + Hex(found));
    PrintTime();
    return 0;
  }
  if (cmd == L"wait-count" && argc >= 5) {
    const std::wstring cls = argv[2];
    const size_t want = static_cast<size_t>(arg_int(3));
    std::vector<HWND> all;
    const bool ok = PollUntil(arg_int(4), [&] {
      all = FindAll(cls, nullptr);
      return all.size() >= want;
    });
    Out("count=" + std::to_string(all.size()));
    for (HWND w : all) Out("hwnd=" + Hex(w));
    if (!ok) return Timeout("fewer than " + std::to_string(want) + " windows");
    PrintTime();
    return 0;
  }
  if (cmd == L"find" && argc >= 3) {
    const auto all = FindAll(argv[2], argc >= 4 ? argv[3] : nullptr);
    Out("count=" + std::to_string(all.size()));
    for (HWND w : all) Out("hwnd=" + Hex(w));
    return 0;
  }
  if (cmd == L"enum") {
    int i = 0;
    for (HWND w : TopLevel()) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      wchar_t title[256] = {};
      GetWindowTextW(w, title, 256);
      RECT r{};
      GetWindowRect(w, &r);
      Out("index=" + std::to_string(i++) + "\thwnd=" + Hex(w) + "\tclass=" + Field(ClassOf(w)) +
          "\tpid=" + std::to_string(pid) + "\tvisible=" + (IsWindowVisible(w) ? "1" : "0") +
          "\trect=" + Rect(r) + "\ttitle=" + Field(title));
    }
    return 0;
  }
  if (cmd == L"info" && argc >= 3) {
    const HWND h = ParseHwnd(argv[2]);
    for (const auto& line : InfoLines(h)) Out(line);
    return IsWindow(h) ? 0 : 1;
  }
  if (cmd == L"children" && argc >= 3) {
    const HWND h = ParseHwnd(argv[2]);
    if (!IsWindow(h)) return Timeout("no such window");
    for (HWND c : Descendants(h)) Out(ChildLine(c));
    return 0;
  }
  if (cmd == L"focus" && argc >= 3) {
    const HWND h = ParseHwnd(argv[2]);
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    const DWORD tid = GetWindowThreadProcessId(h, nullptr);
    if (!tid || !GetGUIThreadInfo(tid, &gti)) return Timeout("no thread info");
    Out("focus=" + Hex(gti.hwndFocus));
    Out("focus_id=" + std::to_string(gti.hwndFocus ? GetDlgCtrlID(gti.hwndFocus) : 0));
    Out("focus_class=" + Field(ClassOf(gti.hwndFocus)));
    Out("active=" + Hex(gti.hwndActive));
    Out("capture=" + Hex(gti.hwndCapture));
    Out("foreground=" + Hex(GetForegroundWindow()));
    return 0;
  }
  if (cmd == L"wait-info" && argc >= 6) {
    const HWND h = ParseHwnd(argv[2]);
    const std::string kv = ArgUtf8(argv[3]) + "=" + ArgUtf8(argv[4]);
    const bool ok = PollUntil(arg_int(5), [&] { return InfoHas(h, kv); });
    for (const auto& line : InfoLines(h)) Out(line);
    if (!ok) return Timeout("info " + kv);
    PrintTime();
    return 0;
  }
  if (cmd == L"wait-child" && argc >= 7) {
    const HWND h = ParseHwnd(argv[2]);
    const int id = arg_int(3);
    const std::string key = ArgUtf8(argv[4]);
    const std::string value = ArgUtf8(argv[5]);
    HWND c = nullptr;
    const bool ok = PollUntil(arg_int(6), [&] {
      c = ChildById(h, id);
      return c && ChildHas(c, key, value);
    });
    if (c) Out(ChildLine(c));
    if (!ok) return Timeout("child " + std::to_string(id) + " " + key + "=" + value);
    PrintTime();
    return 0;
  }
  if (cmd == L"wait-parent" && argc >= 5) {
    const HWND h = ParseHwnd(argv[2]);
    const std::wstring cls = argv[3];
    HWND parent = nullptr;
    const bool ok = PollUntil(arg_int(4), [&] {
      parent = GetAncestor(h, GA_PARENT);
      if (cls == L"desktop") return parent != nullptr && parent == GetDesktopWindow();
      return ClassOf(parent) == cls;
    });
    Out("parent=" + Hex(parent));
    Out("parent_class=" + Field(ClassOf(parent)));
    if (!ok) return Timeout("parent of class " + ArgUtf8(argv[3]));
    PrintTime();
    return 0;
  }
  if (cmd == L"wait-gone" && argc >= 4) {
    const HWND h = ParseHwnd(argv[2]);
    if (!PollUntil(arg_int(3), [&] { return !IsWindow(h); })) return Timeout("window still there");
    Out("gone=1");
    PrintTime();
    return 0;
  }
  if (cmd == L"key") return CmdKey(argc, argv);
  if (cmd == L"type" && argc >= 3) return CmdType(argv[2]);
  if (cmd == L"activate" && argc >= 3) {
    const HWND h = ParseHwnd(argv[2]);
    const BOOL fg = SetForegroundWindow(h);
    Out(std::string("set_foreground=") + (fg ? "1" : "0"));
    Out("foreground=" + Hex(GetForegroundWindow()));
    return fg ? 0 : 1;
  }
  if (cmd == L"close" && argc >= 3) {
    return PostMessageW(ParseHwnd(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (cmd == L"send" && argc >= 4) {
    DWORD_PTR result = 0;
    const int timeout = argc >= 5 ? arg_int(4) : 1000;
    const LRESULT ok = SendMessageTimeoutW(ParseHwnd(argv[2]), static_cast<UINT>(arg_int(3)), 0, 0,
                                           SMTO_NORMAL, static_cast<UINT>(timeout), &result);
    Out(std::string("answered=") + (ok ? "1" : "0"));
    Out("result=" + std::to_string(result));
    return ok ? 0 : 1;
  }
  if (cmd == L"post" && argc >= 4) {
    const WPARAM wp = argc >= 5 ? static_cast<WPARAM>(std::wcstoull(argv[4], nullptr, 0)) : 0;
    return PostMessageW(ParseHwnd(argv[2]), static_cast<UINT>(arg_int(3)), wp, 0) ? 0 : 1;
  }
  if (cmd == L"track" && argc >= 6) {
    const HWND h = ParseHwnd(argv[2]);
    const HWND c = ChildById(h, arg_int(3));
    if (!c) return Timeout("no child " + ArgUtf8(argv[3]));
    const int count = arg_int(4);
    const DWORD interval = static_cast<DWORD>(arg_int(5));
    for (int i = 0; i < count; ++i) {
      RECT r{};
      GetWindowRect(c, &r);
      POINT p{r.left, r.top};
      ScreenToClient(GetAncestor(c, GA_PARENT), &p);
      Out("x=" + std::to_string(p.x) + "\ty=" + std::to_string(p.y) +
          "\tt_ms=" + std::to_string(GetTickCount64()));
      if (i + 1 < count) Sleep(interval);
    }
    return 0;
  }
  if (cmd == L"focus-window") {
    return CmdFocusWindow(argc >= 4 ? arg_int(2) : 0, argc >= 4 ? arg_int(3) : 0);
  }
  return Usage();
}
