// A window manager that keeps one simulated desktop in memory, for the native tests.
//
// It stands for the desktop as seen by one program process with one GUI thread, and behaves like
// the Windows window manager wherever the program could notice: window tree and z-order bands,
// message queue priorities, focus and activation, built-in EDIT/BUTTON/STATIC controls, and a GDI
// that logs drawing instead of producing pixels. Time is a virtual clock in milliseconds that only
// moves when the message loop has nothing else to do (or when a test moves it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/in_memory/hotkey_table.h"
#include "platform/window_manager.h"

namespace ledbanner::platform {

// What the simulation throws to stop the program. Deliberately not a std::exception, so that a
// program's own catch (const std::exception&) cannot swallow it.
class SimulationStop {
 public:
  explicit SimulationStop(std::string what) : what_(std::move(what)) {}
  [[nodiscard]] const char* what() const noexcept { return what_.c_str(); }

 private:
  std::string what_;
};

// GetMessageW found nothing to deliver and nothing can ever arrive (no timer is running).
class MessageLoopStalled : public SimulationStop {
 public:
  using SimulationStop::SimulationStop;
};

// GetMessageW would have moved the clock past the limit set by SetRunLimit.
class RunLimitReached : public SimulationStop {
 public:
  using SimulationStop::SimulationStop;
};

// ExitProcess was called; tests catch it in place of the process ending.
class ProcessExit : public SimulationStop {
 public:
  explicit ProcessExit(UInt exitCode)
      : SimulationStop("ExitProcess(" + std::to_string(exitCode) + ")"), code_(exitCode) {}
  [[nodiscard]] UInt code() const { return code_; }

 private:
  UInt code_;
};

struct LoggedMessage {
  Hwnd hwnd = 0;
  UInt message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  const char* via = "";  // "SendMessageW", "SendMessageA", "SendMessageTimeoutW", "PostMessageW",
                         // "input" (test input) or "hotkey"
};

// One state-changing call of the program, in call order.
struct CallRecord {
  std::string function;
  Hwnd hwnd = 0;
  std::vector<std::intptr_t> args;
  std::u16string text;  // SetWindowTextW only
};

// One drawing call. Coordinates are those of the DC (client coordinates for a window DC).
struct DrawOp {
  std::string op;  // "FillRect", "DrawTextW", "ExtTextOutW", "BitBlt"
  Hdc dc = 0;
  std::uintptr_t target = 0;  // the window of a window DC, the selected bitmap of a memory DC
  bool targetIsWindow = false;
  Rect rect;  // FillRect: the rect; DrawTextW: the formatting rect; ExtTextOutW: the text box at
              // (x, y) with the measured extent; BitBlt: the destination rect
  std::optional<Rect> optionRect;  // ExtTextOutW's clip/opaque rectangle when given
  UInt flags = 0;                  // DrawTextW format, ExtTextOutW options
  ColorRef color = 0;              // FillRect: brush colour; text: text colour
  ColorRef bkColor = 0;
  int bkMode = 0;
  Hgdiobj font = 0;
  std::int32_t fontHeight = 0;  // the font's LogFont height
  std::int32_t fontWeight = 0;
  std::u16string fontFace;
  std::u16string text;
  Rect clip;  // what the DC may draw on: the paint update rect, the client, or the bitmap
  UInt rop = 0;
  std::uintptr_t sourceTarget = 0;
  bool sourceIsWindow = false;
  Rect sourceRect;
  ColorRef brushColor = 0;  // brush selected into the destination DC (the pattern of a BitBlt)
};

struct MessageBoxRecord {
  Hwnd owner = 0;
  std::u16string text;
  std::u16string caption;
  UInt type = 0;
};

enum class GdiKind { kBrush, kBitmap, kFont };

struct GdiObjectInfo {
  GdiKind kind = GdiKind::kBrush;
  bool stock = false;
  ColorRef color = 0;  // brushes
  bool hollow = false;
  int width = 0;  // bitmaps
  int height = 0;
  bool monochrome = false;
  LogFont font;        // fonts
  int textHeight = 0;  // fonts: the height the text measurer uses
};

class InMemoryWindowManager final : public WindowManager {
 public:
  InMemoryWindowManager();
  explicit InMemoryWindowManager(std::shared_ptr<HotkeyTable> hotkeys);
  InMemoryWindowManager(const InMemoryWindowManager&) = delete;
  InMemoryWindowManager& operator=(const InMemoryWindowManager&) = delete;
  InMemoryWindowManager(InMemoryWindowManager&&) = delete;
  InMemoryWindowManager& operator=(InMemoryWindowManager&&) = delete;
  ~InMemoryWindowManager() override;

  // ---- WindowManager ----
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

  // Also one of the declared functions.
  Hwnd SetParent(Hwnd child, Hwnd newParent) override;

  // ---- The other declared functions (GetProcAddress hands out thunks that land here) ----
  Hwnd FindWindowA(const char* className, const char* windowName);
  LResult SendMessageTimeoutW(Hwnd hwnd, UInt message, WParam wParam, LParam lParam, UInt flags,
                              UInt timeoutMs, std::uintptr_t* result);
  int EnumWindows(EnumWindowsProc callback, LParam lParam);
  Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className, const char* windowName);
  LResult SendMessageA(Hwnd hwnd, UInt message, WParam wParam, LParam lParam);
  int GetWindowTextLengthA(Hwnd hwnd);
  int GetWindowTextA(Hwnd hwnd, char* buffer, int maxCount);
  int GetClassNameA(Hwnd hwnd, char* buffer, int maxCount);

  // ---- Test API: the clock and the message loop ----
  void SetIdleHook(std::function<void()> hook);
  void SetRunLimit(std::optional<std::uint64_t> ms);
  void AdvanceClock(std::uint64_t ms);  // makes timers due without dispatching anything
  [[nodiscard]] std::uint64_t Now() const { return now_; }
  [[nodiscard]] std::size_t TimerCount() const { return timers_.size(); }
  [[nodiscard]] std::optional<UInt> TimerInterval(Hwnd hwnd, std::uintptr_t id) const;
  [[nodiscard]] std::size_t PostedCount() const { return posted_.size(); }

  // ---- Test API: input ----
  // A hotkey registered anywhere for exactly (modifiers, vk) wins and nothing else is posted.
  void PressKey(int virtualKey, UInt modifiers = 0, int repeat = 1);
  void ReleaseKeys();
  void TypeText(std::u16string_view text);
  void MouseDown(Point screen);
  void MouseUp(Point screen);
  void Click(Point screen);
  void Activate(Hwnd hwnd);
  void DeactivateApp();  // another program takes the activation
  void HoldHotkeyElsewhere(UInt modifiers, UInt virtualKey);
  [[nodiscard]] const std::shared_ptr<HotkeyTable>& Hotkeys() const { return hotkeys_; }
  void ReplaceEditText(Hwnd edit, std::u16string_view text);  // a paste: one change, one EN_CHANGE

  // ---- Test API: logs ----
  [[nodiscard]] const std::vector<LoggedMessage>& MessageLog() const { return messageLog_; }
  void ClearMessageLog() { messageLog_.clear(); }
  [[nodiscard]] int CloseRequests(Hwnd hwnd) const;  // WM_CLOSE sent or posted to it, ever
  [[nodiscard]] const std::vector<CallRecord>& CallLog() const { return callLog_; }
  void ClearCallLog() { callLog_.clear(); }
  [[nodiscard]] const std::vector<DrawOp>& DrawLog() const { return drawLog_; }
  void ClearDrawLog() { drawLog_.clear(); }
  [[nodiscard]] const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  [[nodiscard]] int MoveLoopCount(Hwnd hwnd) const;
  [[nodiscard]] Hcursor CurrentCursor() const { return currentCursor_; }

  // ---- Test API: leak counters and GDI queries ----
  [[nodiscard]] std::size_t LiveGdiObjectCount() const;  // stock objects excluded
  [[nodiscard]] std::size_t LiveDcCount() const { return dcs_.size(); }
  [[nodiscard]] std::size_t LiveWindowCount() const;  // the program's own windows
  [[nodiscard]] std::optional<GdiObjectInfo> GdiObject(Hgdiobj object) const;
  [[nodiscard]] std::optional<Rect> PendingUpdate(Hwnd hwnd) const;  // client coordinates

  // ---- Test API: the environment ----
  void SetDpi(int dpi) { dpi_ = dpi; }
  void SetButtonFaceColor(ColorRef color) { buttonFace_ = color; }
  void SetScreenSize(int width, int height);
  void SetModuleFileName(std::u16string path) { moduleFileName_ = std::move(path); }
  [[nodiscard]] const std::u16string& CurrentDirectory() const { return currentDirectory_; }
  void SetResourceMissing(bool missing) { resourceMissing_ = missing; }
  void SetMessageBoxResult(int result) { messageBoxResult_ = result; }
  void RemoveLibrary(std::string_view name);
  void RemoveExport(std::string_view name);
  [[nodiscard]] int LoadLibraryCount() const { return loadLibraryCalls_; }
  [[nodiscard]] int FreeLibraryCount() const { return freeLibraryCalls_; }
  [[nodiscard]] int GetProcAddressCount() const { return getProcAddressCalls_; }
  [[nodiscard]] int LoadedLibraryReferences() const { return libraryReferences_; }

  // ---- Test API: failure injection and misbehaving windows ----
  // Names: CreateWindowExW, RegisterClassExW, SetParent, RegisterHotKey, SetTimer,
  // CreateFontIndirectW, CreateCompatibleDC, CreateCompatibleBitmap, CreateBitmap, LoadImageW,
  // SendMessageTimeoutW (times out), CreateSolidBrush, SetCurrentDirectoryW.
  void SetFailing(std::string_view function, bool failing);
  // "GetWindowTextA" or "GetClassNameA": returns 0 and writes nothing into the buffer.
  void SetBufferNotWritten(std::string_view function, bool notWritten);
  void SetResponseDelay(Hwnd hwnd, UInt ms);
  void SetHung(Hwnd hwnd, bool hung);
  void SetAnsiTitle(Hwnd hwnd, std::string bytes);  // exact bytes for the ...A functions
  void SetEnumWindowsHook(std::function<void(Hwnd)> hook) { enumHook_ = std::move(hook); }

  // ---- Test API: windows of other programs ----
  // The class is registered on first use with a procedure that records every message and
  // otherwise acts as DefWindowProcW, except that WM_CLOSE is only recorded. A top-level one is a
  // WS_POPUP covering the screen, a child one covers its parent's client area, unless rect says.
  Hwnd CreateForeignWindow(std::u16string_view className, std::u16string_view title,
                           Hwnd parent = 0, bool visible = true,
                           std::optional<Rect> rect = std::nullopt);
  [[nodiscard]] std::vector<LoggedMessage> ForeignMessages(Hwnd hwnd) const;
  void SetClosesOnWmClose(Hwnd hwnd, bool closes);
  // Lets a test give a foreign window its own reaction; nullopt falls back to the default.
  void SetForeignHandler(Hwnd hwnd,
                         std::function<std::optional<LResult>(UInt, WParam, LParam)> handler);
  bool DestroyForeignWindow(Hwnd hwnd);  // the program itself may not destroy them

  // ---- Test API: queries ----
  [[nodiscard]] Hwnd DesktopWindow() const { return desktop_; }
  [[nodiscard]] std::vector<Hwnd> TopLevelWindows() const;  // z-order, top first
  [[nodiscard]] std::vector<Hwnd> Children(Hwnd hwnd) const;
  [[nodiscard]] std::u16string ClassName(Hwnd hwnd) const;  // as registered: "Edit", "Button"
  [[nodiscard]] std::u16string Text(Hwnd hwnd) const;
  [[nodiscard]] UInt Style(Hwnd hwnd) const;
  [[nodiscard]] UInt ExStyle(Hwnd hwnd) const;
  [[nodiscard]] bool IsTopmost(Hwnd hwnd) const;
  [[nodiscard]] Hwnd ParentOf(Hwnd hwnd) const;  // 0 for a top-level window
  [[nodiscard]] Hwnd OwnerOf(Hwnd hwnd) const;
  [[nodiscard]] Rect WindowRectOf(Hwnd hwnd) const;  // screen coordinates
  [[nodiscard]] bool IsChecked(Hwnd button) const;

  // The instance that window procedures and thunks of this thread talk to.
  static InMemoryWindowManager& Current();

 private:
  struct Window {
    Hwnd handle = 0;
    std::u16string className;
    WndProc proc = nullptr;
    std::u16string text;
    std::optional<std::string> ansiTitle;
    UInt style = 0;
    UInt exStyle = 0;
    Rect rect;        // relative to the parent's client area; screen coordinates for top-level
    Rect frame;       // insets of the client area, fixed at creation and by SWP_FRAMECHANGED
    Hwnd parent = 0;  // the desktop window for a top-level window
    Hwnd owner = 0;
    LongPtr id = 0;
    LongPtr userData = 0;
    std::vector<Hwnd> children;  // z-order, top first
    bool destroying = false;
    bool hasUpdate = false;
    bool erasePending = false;
    Rect update;
    bool foreign = false;
    bool closesOnWmClose = false;
    std::vector<LoggedMessage> foreignMessages;
    std::function<std::optional<LResult>(UInt, WParam, LParam)> foreignHandler;
    int moveLoops = 0;
    UInt responseDelay = 0;
    bool hung = false;
    Hgdiobj font = 0;
    bool checked = false;
    bool pushed = false;
    std::size_t textLimit = 30000;
    Hicon iconBig = 0;
    Hicon iconSmall = 0;
  };
  struct ClassRecord {
    WindowClass windowClass;
  };
  struct Timer {
    Hwnd hwnd = 0;
    std::uintptr_t id = 0;
    UInt period = 0;
    std::uint64_t due = 0;
  };
  struct GdiRecord {
    GdiObjectInfo info;
    int sysColor = -1;  // brushes that follow a system colour
  };
  struct Dc {
    bool memory = false;
    Hwnd window = 0;
    Rect clip;
    Hgdiobj bitmap = 0;
    Hgdiobj brush = 0;
    Hgdiobj font = 0;
    ColorRef textColor = 0;
    ColorRef bkColor = 0xFFFFFF;
    int bkMode = 2;  // OPAQUE
  };
  struct BrushColor {
    bool valid = false;
    bool hollow = false;
    ColorRef color = 0;
  };
  // Makes this instance the current one of the thread while a window procedure runs.
  class CurrentScope {
   public:
    explicit CurrentScope(InMemoryWindowManager* instance);
    CurrentScope(const CurrentScope&) = delete;
    CurrentScope& operator=(const CurrentScope&) = delete;
    CurrentScope(CurrentScope&&) = delete;
    CurrentScope& operator=(CurrentScope&&) = delete;
    ~CurrentScope();

   private:
    InMemoryWindowManager* previous_;
  };

  static LResult LEDBANNER_CALLBACK EditProc(Hwnd hwnd, UInt message, WParam wParam, LParam lParam);
  static LResult LEDBANNER_CALLBACK ButtonProc(Hwnd hwnd, UInt message, WParam wParam,
                                               LParam lParam);
  static LResult LEDBANNER_CALLBACK StaticProc(Hwnd hwnd, UInt message, WParam wParam,
                                               LParam lParam);
  static LResult LEDBANNER_CALLBACK ForeignProc(Hwnd hwnd, UInt message, WParam wParam,
                                                LParam lParam);

  // Windows and the tree (windows.cpp).
  Hwnd NewHandle();
  Window* Find(Hwnd hwnd);
  const Window* Find(Hwnd hwnd) const;
  const ClassRecord* FindClass(std::u16string_view name) const;
  bool RegisterClassImpl(const WindowClass& windowClass);
  Hwnd CreateImpl(UInt exStyle, std::u16string_view className, std::u16string_view windowName,
                  UInt style, int x, int y, int width, int height, Hwnd parent,
                  std::uintptr_t menuOrId, bool foreign);
  bool DestroyImpl(Hwnd hwnd);
  void CollectSubtree(Hwnd hwnd, std::vector<Hwnd>& out) const;
  bool IsDescendant(Hwnd ancestor, Hwnd hwnd) const;
  bool IsTopLevel(const Window& window) const { return window.parent == desktop_; }
  Hwnd Root(Hwnd hwnd) const;
  bool IsVisibleImpl(Hwnd hwnd) const;
  bool ShowImpl(Hwnd hwnd, int command);
  void SetVisible(Hwnd hwnd, bool visible);
  static Rect ComputeFrame(UInt style, UInt exStyle);
  static Rect ClientSize(const Window& window);
  Point ClientOrigin(Hwnd hwnd) const;  // screen position of the client area's corner
  Rect ScreenRect(Hwnd hwnd) const;
  void PlaceInBand(Hwnd hwnd, bool top);
  bool SetPosImpl(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy, UInt flags);
  void Reorder(Hwnd hwnd, Hwnd insertAfter);
  bool SetTextImpl(Hwnd hwnd, std::u16string_view text);
  std::u16string GetTextImpl(Hwnd hwnd);

  // Messages, timers, focus and input (messages.cpp).
  LResult Send(Hwnd hwnd, UInt message, WParam wParam, LParam lParam);
  LResult DefProc(Hwnd hwnd, UInt message, WParam wParam, LParam lParam);
  bool PostImpl(Hwnd hwnd, UInt message, WParam wParam, LParam lParam, const char* via);
  void Log(Hwnd hwnd, UInt message, WParam wParam, LParam lParam, const char* via);
  void DrainHotkeys();
  bool FilterMatches(const Msg& msg, Hwnd hwnd, UInt filterMin, UInt filterMax) const;
  bool TakeMessage(Msg* msg, Hwnd hwnd, UInt filterMin, UInt filterMax, bool remove);
  std::optional<std::uint64_t> NextTimerDue(Hwnd hwnd) const;
  Hwnd SetFocusImpl(Hwnd hwnd);
  void ActivateImpl(Hwnd top, WParam how, bool raise = true);
  void DeactivateImpl();
  Hwnd InputTarget() const;
  void PostInput(Hwnd hwnd, UInt message, WParam wParam, LParam lParam);
  struct Hit {
    Hwnd hwnd = 0;
    LResult code = 0;
  };
  Hit HitTest(const std::vector<Hwnd>& siblings, Point screen, bool topLevel);
  void Notify(Hwnd control, UInt code);
  void RecordCall(std::string function, Hwnd hwnd, std::vector<std::intptr_t> args,
                  std::u16string text = {});
  bool IsFailing(std::string_view function) const;

  // Painting and GDI (gdi.cpp).
  void CreateStockObjects();
  Hgdiobj AddGdi(GdiObjectInfo info, int sysColor = -1);
  bool InvalidateImpl(Hwnd hwnd, const Rect* rect, bool erase);
  void InvalidateTree(Hwnd hwnd);
  void InvalidateParentArea(const Window& window, const Rect& rectInParent);
  Hdc NewWindowDc(Hwnd hwnd, Rect clip);
  Dc* FindDc(Hdc hdc);
  BrushColor ResolveBrush(Hgdiobj brush) const;
  const GdiRecord* FontOf(const Dc& dc) const;
  int TextHeight(const Dc& dc) const;
  int Advance(const Dc& dc, char16_t unit) const;
  int TextWidth(const Dc& dc, std::u16string_view text) const;
  std::vector<std::u16string> LayoutLines(const Dc& dc, std::u16string_view text, int width,
                                          UInt format) const;
  DrawOp NewOp(const char* op, Hdc hdc, const Dc& dc) const;
  bool IsSelected(Hgdiobj object) const;
  void PaintControl(Hwnd hwnd, UInt ctlColorMessage, bool edit);

  // Libraries and the "ANSI" texts (system.cpp).
  std::string AnsiText(const Window& window) const;
  static std::string ToAnsi(std::u16string_view text);
  bool AnsiMatches(const Window& window, const char* className, const char* windowName) const;

  static thread_local InMemoryWindowManager* current_;
  InMemoryWindowManager* previousCurrent_ = nullptr;

  std::shared_ptr<HotkeyTable> hotkeys_;
  HotkeyTable::OwnerId hotkeyOwner_ = 0;

  std::uintptr_t nextHandle_ = 0x10010;
  Hwnd desktop_ = 0;
  std::map<Hwnd, std::unique_ptr<Window>> windows_;  // handle order: parents before children
  std::vector<ClassRecord> classes_;

  std::deque<Msg> posted_;
  bool quitPending_ = false;
  int quitCode_ = 0;
  std::uint64_t now_ = 0;
  std::optional<std::uint64_t> runLimit_;
  std::function<void()> idleHook_;
  std::vector<Timer> timers_;  // creation order breaks ties between due timers
  Hwnd lastPainted_ = 0;
  int samePaintCount_ = 0;

  Hwnd focus_ = 0;
  Hwnd active_ = 0;
  std::set<int> heldKeys_;
  Point cursor_;
  Hcursor currentCursor_ = 0;

  std::map<Hgdiobj, GdiRecord> gdi_;
  std::map<int, Hgdiobj> stock_;
  Hgdiobj defaultBitmap_ = 0;
  Hgdiobj windowBrush_ = 0;
  Hgdiobj buttonFaceBrush_ = 0;
  std::map<Hdc, Dc> dcs_;

  std::vector<LoggedMessage> messageLog_;
  std::map<Hwnd, int> closeRequests_;
  std::vector<CallRecord> callLog_;
  std::vector<DrawOp> drawLog_;
  std::vector<MessageBoxRecord> messageBoxes_;

  int dpi_ = 96;
  ColorRef buttonFace_ = Rgb(240, 240, 240);
  std::u16string moduleFileName_ = u"C:\\Program Files\\LED Banner\\ledbanner.exe";
  std::u16string currentDirectory_;
  bool resourceMissing_ = false;
  int messageBoxResult_ = 1;  // IDOK
  std::set<std::string, std::less<>> failing_;
  std::set<std::string, std::less<>> bufferNotWritten_;
  std::set<std::string, std::less<>> removedLibraries_;
  std::set<std::string, std::less<>> removedExports_;
  int loadLibraryCalls_ = 0;
  int freeLibraryCalls_ = 0;
  int getProcAddressCalls_ = 0;
  int libraryReferences_ = 0;
  std::function<void(Hwnd)> enumHook_;
};

}  // namespace ledbanner::platform
