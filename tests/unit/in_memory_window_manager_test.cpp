// The in-memory window manager's own behaviour, where it must match the Windows window manager.
#include "platform/in_memory/in_memory_window_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <latch>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/declared_functions.h"
#include "platform/win_constants.h"

namespace ledbanner::platform {

void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {

// Messages seen by RecordingProc on this thread; each test installs its own list.
thread_local std::vector<Msg>* tRecorded = nullptr;

LResult LEDBANNER_CALLBACK RecordingProc(Hwnd hwnd, UInt message, WParam wParam, LParam lParam) {
  if (tRecorded != nullptr) {
    tRecorded->push_back({hwnd, message, wParam, lParam, 0, {}});
  }
  InMemoryWindowManager& wm = InMemoryWindowManager::Current();
  if (message == WM_CREATE && wm.GetWindowTextW(hwnd) == u"refuse") {
    return -1;
  }
  return wm.DefWindowProcW(hwnd, message, wParam, lParam);
}

class InMemoryWindowManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tRecorded = &recorded_;
    WindowClass windowClass;
    windowClass.className = u"TestWindow";
    windowClass.wndProc = &RecordingProc;
    windowClass.background = wm_.CreateSolidBrush(Rgb(10, 20, 30));
    ASSERT_TRUE(wm_.RegisterClassExW(windowClass));
  }
  void TearDown() override { tRecorded = nullptr; }

  Hwnd Popup(int x, int y, int width, int height, UInt exStyle = 0, UInt style = WS_POPUP) {
    return wm_.CreateWindowExW(exStyle, u"TestWindow", u"", style, x, y, width, height, 0, 0,
                               nullptr);
  }
  Hwnd Child(std::u16string_view className, Hwnd parent, Rect rect, UInt style = WS_VISIBLE,
             int id = 7) {
    return wm_.CreateWindowExW(0, className, u"", WS_CHILD | style, rect.left, rect.top,
                               rect.Width(), rect.Height(), parent, static_cast<std::uintptr_t>(id),
                               nullptr);
  }
  std::vector<UInt> MessagesTo(Hwnd hwnd, std::vector<UInt> interesting) const {
    std::vector<UInt> result;
    for (const Msg& msg : recorded_) {
      if (msg.hwnd == hwnd &&
          std::find(interesting.begin(), interesting.end(), msg.message) != interesting.end()) {
        result.push_back(msg.message);
      }
    }
    return result;
  }
  // Runs the loop until only timers are left.
  void Pump() {
    Msg msg;
    while (wm_.PeekMessageW(&msg, 0, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER) {
        break;
      }
      wm_.TranslateMessage(msg);
      wm_.DispatchMessageW(msg);
    }
  }

  std::vector<Msg> recorded_;
  InMemoryWindowManager wm_;
};

TEST_F(InMemoryWindowManagerTest, CreationAndDestructionFollowWindowsOrder) {
  EXPECT_EQ(wm_.CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr), 0U);
  const Hwnd refused =
      wm_.CreateWindowExW(0, u"testwindow", u"refuse", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr);
  EXPECT_EQ(refused, 0U);
  EXPECT_EQ(wm_.LiveWindowCount(), 0U);

  const Hwnd top = wm_.CreateWindowExW(0, u"TESTWINDOW", u"t", 0, 10, 20, 300, 200, 0, 0, nullptr);
  const Hwnd child = Child(u"TestWindow", top, {1, 2, 50, 40});
  const Hwnd grandChild = Child(u"TestWindow", child, {0, 0, 5, 5});
  ASSERT_NE(child, 0U);
  EXPECT_EQ(wm_.Style(top) & (WS_CAPTION | WS_CLIPSIBLINGS), WS_CAPTION | WS_CLIPSIBLINGS);
  EXPECT_EQ(MessagesTo(child, {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}),
            (std::vector<UInt>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  EXPECT_EQ(wm_.GetAncestor(top, GA_PARENT), wm_.DesktopWindow());
  EXPECT_EQ(wm_.GetParent(child), top);
  EXPECT_EQ(wm_.GetAncestor(grandChild, GA_ROOT), top);
  const std::uintptr_t timer = wm_.SetTimer(child, 5, 100);
  EXPECT_EQ(timer, 5U);

  recorded_.clear();
  EXPECT_TRUE(wm_.DestroyWindow(top));
  std::vector<std::pair<Hwnd, UInt>> order;
  for (const Msg& msg : recorded_) {
    if (msg.message == WM_DESTROY || msg.message == WM_NCDESTROY) {
      order.push_back({msg.hwnd, msg.message});
    }
  }
  const std::vector<std::pair<Hwnd, UInt>> expected{
      {top, WM_DESTROY},          {child, WM_DESTROY},   {grandChild, WM_DESTROY},
      {grandChild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(wm_.IsWindow(child));
  EXPECT_EQ(wm_.TimerCount(), 0U);
  EXPECT_EQ(wm_.LiveWindowCount(), 0U);
}

TEST_F(InMemoryWindowManagerTest, SetWindowPosKeepsTopmostBand) {
  struct Case {
    const char* name;
    int moved;  // index into a, b, c (created in that order; c ends on top)
    Hwnd insertAfter;
    int sibling;  // index used when insertAfter is 0 and sibling >= 0
    std::vector<int> expectedOrder;
    bool expectTopmost;
  };
  const std::vector<Case> cases{
      {"topmost goes above all", 0, HWND_TOPMOST, -1, {0, 2, 1}, true},
      {"bottom", 2, HWND_BOTTOM, -1, {1, 0, 2}, false},
      {"top", 0, HWND_TOP, -1, {0, 2, 1}, false},
      {"notopmost is a no-op on a normal window", 0, HWND_NOTOPMOST, -1, {2, 1, 0}, false},
      {"below a sibling", 2, 0, 0, {1, 0, 2}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InMemoryWindowManager wm;
    WindowClass windowClass;
    windowClass.className = u"Z";
    windowClass.wndProc = &RecordingProc;
    wm.RegisterClassExW(windowClass);
    std::array<Hwnd, 3> windows{};
    for (Hwnd& hwnd : windows) {
      hwnd = wm.CreateWindowExW(0, u"Z", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr);
    }
    const Hwnd after =
        c.sibling >= 0 ? windows[static_cast<std::size_t>(c.sibling)] : c.insertAfter;
    const Hwnd moved = windows[static_cast<std::size_t>(c.moved)];
    ASSERT_TRUE(
        wm.SetWindowPos(moved, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    std::vector<Hwnd> expected;
    for (const int index : c.expectedOrder) {
      expected.push_back(windows[static_cast<std::size_t>(index)]);
    }
    EXPECT_EQ(wm.TopLevelWindows(), expected);
    EXPECT_EQ(wm.IsTopmost(moved), c.expectTopmost);
  }

  // A topmost window stays above a normal window made later or brought to the top.
  const Hwnd topmost = Popup(0, 0, 10, 10, WS_EX_TOPMOST);
  const Hwnd normal = Popup(0, 0, 10, 10);
  wm_.SetWindowPos(normal, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(wm_.TopLevelWindows(), (std::vector<Hwnd>{topmost, normal}));
  wm_.SetWindowPos(topmost, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(wm_.IsTopmost(topmost));
}

TEST_F(InMemoryWindowManagerTest, SetParentMovesWindowUnderAnotherProgramsWindow) {
  const Hwnd progman = wm_.CreateForeignWindow(u"Progman", u"Program Manager");
  const Hwnd banner = Popup(100, 50, 400, 30, WS_EX_TOPMOST);
  wm_.SetWindowPos(progman, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  wm_.SetWindowPos(progman, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(wm_.SetParent(banner, banner), 0U);
  wm_.SetFailing("SetParent", true);
  EXPECT_EQ(wm_.SetParent(banner, progman), 0U);
  wm_.SetFailing("SetParent", false);

  EXPECT_EQ(wm_.SetParent(banner, progman), wm_.DesktopWindow());
  EXPECT_EQ(wm_.ParentOf(banner), progman);
  EXPECT_EQ(wm_.GetAncestor(banner, GA_PARENT), progman);
  EXPECT_EQ(wm_.TopLevelWindows(), (std::vector<Hwnd>{progman}));
  EXPECT_EQ(wm_.Style(banner) & WS_CHILD, 0U);                    // the style is left alone
  EXPECT_EQ(wm_.WindowRectOf(banner), (Rect{100, 50, 500, 80}));  // Progman's client is at 0,0
  EXPECT_EQ(wm_.SetParent(progman, banner), 0U);                  // no cycles

  EXPECT_EQ(wm_.SetParent(banner, 0), progman);
  EXPECT_EQ(wm_.TopLevelWindows().front(), banner);  // back on top of its (topmost) band
  const auto& calls = wm_.CallLog();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const CallRecord& call) { return call.function == "SetParent"; }),
            5);
}

TEST_F(InMemoryWindowManagerTest, MessageLoopPrioritiesClockAndTimers) {
  const Hwnd hwnd = Popup(0, 0, 100, 100, 0, WS_POPUP | WS_VISIBLE);
  Pump();  // the first paint
  EXPECT_EQ(wm_.SetTimer(hwnd, 1, 5), 1U);
  EXPECT_EQ(wm_.TimerInterval(hwnd, 1), USER_TIMER_MINIMUM);  // raised to the minimum
  wm_.InvalidateRect(hwnd, nullptr, false);
  wm_.AdvanceClock(35);  // three periods pass, but only one tick waits
  wm_.PostMessageW(hwnd, WM_USER, 0, 0);
  wm_.PostQuitMessage(3);

  std::vector<UInt> order;
  Msg msg;
  while (wm_.PeekMessageW(&msg, 0, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    wm_.DispatchMessageW(msg);
  }
  EXPECT_EQ(order, (std::vector<UInt>{WM_USER, WM_QUIT, WM_PAINT, WM_TIMER}));

  int idleCalls = 0;
  wm_.SetIdleHook([&] { ++idleCalls; });
  ASSERT_EQ(wm_.GetMessageW(&msg, 0, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(wm_.Now(), 45U);  // the next tick counts from the delivery at 35
  EXPECT_EQ(idleCalls, 1);

  wm_.SetRunLimit(50);
  EXPECT_THROW(wm_.GetMessageW(&msg, 0, 0, 0), RunLimitReached);
  wm_.KillTimer(hwnd, 1);
  EXPECT_THROW(wm_.GetMessageW(&msg, 0, 0, 0), MessageLoopStalled);
}

TEST_F(InMemoryWindowManagerTest, FocusAndActivationMessagesComeInWindowsOrder) {
  const Hwnd first = Popup(0, 0, 100, 100, 0, WS_POPUP | WS_VISIBLE);
  const Hwnd second = Popup(0, 0, 100, 100);
  const Hwnd edit = Child(u"EDIT", second, {0, 0, 50, 20});
  EXPECT_EQ(wm_.GetActiveWindow(), first);
  EXPECT_EQ(wm_.GetFocus(), first);

  recorded_.clear();
  EXPECT_EQ(wm_.SetFocus(edit), first);
  std::vector<std::pair<Hwnd, UInt>> sequence;
  for (const Msg& msg : recorded_) {
    if (msg.message == WM_ACTIVATE || msg.message == WM_SETFOCUS || msg.message == WM_KILLFOCUS) {
      sequence.push_back({msg.hwnd, msg.message});
    }
  }
  const std::vector<std::pair<Hwnd, UInt>> expected{{first, WM_ACTIVATE},
                                                    {second, WM_ACTIVATE},
                                                    {first, WM_KILLFOCUS},
                                                    {second, WM_SETFOCUS},
                                                    {second, WM_KILLFOCUS}};
  EXPECT_EQ(sequence, expected);  // the edit's own WM_SETFOCUS goes to the EDIT procedure
  EXPECT_EQ(wm_.GetFocus(), edit);
  EXPECT_EQ(wm_.GetActiveWindow(), second);

  wm_.EnableWindow(edit, false);
  EXPECT_EQ(wm_.GetFocus(), 0U);
  wm_.DeactivateApp();
  EXPECT_EQ(wm_.GetActiveWindow(), 0U);
}

TEST_F(InMemoryWindowManagerTest, KeysGoToTheFocusOrToTheHotkeyOwnerOfAnyInstance) {
  const Hwnd hwnd = Popup(0, 0, 100, 100, 0, WS_POPUP | WS_VISIBLE);
  const Hwnd edit = Child(u"Edit", hwnd, {0, 0, 80, 20});
  wm_.SetFocus(edit);

  // Another program on its own thread holds F1 while this one presses it.
  const std::shared_ptr<HotkeyTable> table = wm_.Hotkeys();
  std::latch registered(1);
  std::latch pressed(1);
  std::vector<Msg> otherGot;
  std::thread other([&] {
    InMemoryWindowManager second(table);
    const Hwnd owner = second.CreateForeignWindow(u"Other", u"other");
    second.RegisterHotKey(owner, 42, 0, VK_F1);
    registered.count_down();
    pressed.wait();
    Msg msg;
    while (second.PeekMessageW(&msg, 0, 0, 0, PM_REMOVE)) {
      otherGot.push_back(msg);
    }
  });
  registered.wait();
  EXPECT_FALSE(wm_.RegisterHotKey(hwnd, 1, 0, VK_F1));
  wm_.PressKey(VK_F1);
  EXPECT_EQ(wm_.PostedCount(), 0U);
  pressed.count_down();
  other.join();
  ASSERT_EQ(otherGot.size(), 1U);
  EXPECT_EQ(otherGot[0].message, WM_HOTKEY);
  EXPECT_EQ(otherGot[0].wParam, 42U);
  EXPECT_EQ(otherGot[0].lParam, static_cast<LParam>(VK_F1) << 16);

  // Its registration died with it.
  constexpr UInt kModNoRepeat = 0x4000;
  EXPECT_TRUE(wm_.RegisterHotKey(hwnd, 1, 0, VK_F1));
  EXPECT_FALSE(wm_.RegisterHotKey(hwnd, 2, kModNoRepeat, VK_F1));
  wm_.HoldHotkeyElsewhere(MOD_CONTROL, VK_F2);
  EXPECT_FALSE(wm_.RegisterHotKey(hwnd, 3, MOD_CONTROL, VK_F2));

  wm_.PressKey(VK_F1, 0, 2);
  wm_.PressKey(VK_F2, MOD_CONTROL);  // swallowed by the other program
  wm_.PressKey('A', MOD_SHIFT);
  EXPECT_LT(wm_.GetKeyState(VK_SHIFT), 0);
  Pump();
  wm_.ReleaseKeys();
  EXPECT_EQ(wm_.GetKeyState(VK_SHIFT), 0);
  wm_.TypeText(
      u"b\x08"
      u"c");
  Pump();
  EXPECT_EQ(wm_.GetWindowTextW(edit), u"Ac");
  EXPECT_EQ(MessagesTo(hwnd, {WM_HOTKEY}), (std::vector<UInt>{WM_HOTKEY, WM_HOTKEY}));
  int changes = 0;
  for (const Msg& msg : recorded_) {
    if (msg.hwnd == hwnd && msg.message == WM_COMMAND && (msg.wParam >> 16) == EN_CHANGE &&
        static_cast<Hwnd>(msg.lParam) == edit) {
      ++changes;
    }
  }
  EXPECT_EQ(changes, 4);  // 'A', 'b', backspace, 'c'
  wm_.DestroyWindow(hwnd);
  EXPECT_EQ(table->Count(), 1U);  // only the registration held elsewhere is left
}

TEST_F(InMemoryWindowManagerTest, MouseHitTestingReachesControlsAndCaption) {
  const Hwnd frame =
      wm_.CreateWindowExW(0, u"TestWindow", u"", WS_VISIBLE, 100, 100, 300, 200, 0, 0, nullptr);
  const Hwnd label = Child(u"STATIC", frame, {0, 0, 100, 20});
  const Hwnd box = Child(u"Button", frame, {0, 50, 100, 70}, WS_VISIBLE | BS_AUTOCHECKBOX, 9);
  Pump();
  recorded_.clear();
  const Point client = {101 + 5, 124 + 5};  // inside the label: frame border 1, caption 23

  wm_.Click(client);  // the label is transparent to the mouse
  Pump();
  ASSERT_EQ(MessagesTo(frame, {WM_LBUTTONDOWN}).size(), 1U);
  const auto down = std::find_if(recorded_.begin(), recorded_.end(),
                                 [](const Msg& msg) { return msg.message == WM_LBUTTONDOWN; });
  EXPECT_EQ(down->lParam, (5 << 16) | 5);
  EXPECT_EQ(down->wParam, MK_LBUTTON);

  wm_.Click({110, 110});  // on the caption: the default procedure starts a move loop
  Pump();
  EXPECT_EQ(wm_.MoveLoopCount(frame), 1);

  struct Step {
    const char* name;
    std::function<void()> act;
    bool checked;
  };
  const std::vector<Step> steps{
      {"mouse click",
       [&] {
         wm_.Click({110, 124 + 55});
       },
       true},
      {"space bar", [&] { wm_.PressKey(VK_SPACE); }, false},
      {"BM_CLICK", [&] { wm_.SendMessageW(box, BM_CLICK, 0, 0); }, true},
      {"BM_SETCHECK does not notify", [&] { wm_.SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0); },
       false},
  };
  int clicks = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    recorded_.clear();
    step.act();
    Pump();
    EXPECT_EQ(wm_.SendMessageW(box, BM_GETCHECK, 0, 0), step.checked ? 1 : 0);
    EXPECT_EQ(wm_.GetFocus(), box);
    for (const Msg& msg : recorded_) {
      if (msg.message == WM_COMMAND && msg.wParam == ((BN_CLICKED << 16) | 9U)) {
        ++clicks;
      }
    }
  }
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(wm_.SendMessageW(label, WM_GETDLGCODE, 0, 0), 0x100);
}

TEST_F(InMemoryWindowManagerTest, PaintingLogsWhatWasDrawnWhere) {
  const Hwnd hwnd = Popup(0, 0, 200, 100, 0, WS_POPUP | WS_VISIBLE);
  const Hwnd edit = Child(u"EDIT", hwnd, {10, 10, 110, 30}, WS_VISIBLE, 5);
  wm_.SetWindowTextW(edit, u"hi");
  Pump();
  wm_.ClearDrawLog();
  const Rect part{0, 0, 50, 40};
  wm_.InvalidateRect(hwnd, &part, true);
  EXPECT_EQ(wm_.PendingUpdate(hwnd), part);
  EXPECT_EQ(wm_.PendingUpdate(edit), (Rect{0, 0, 40, 20}));  // no WS_CLIPCHILDREN on the parent
  Pump();
  ASSERT_EQ(wm_.DrawLog().size(), 3U);
  const DrawOp& erase = wm_.DrawLog()[0];
  EXPECT_EQ(erase.op, "FillRect");
  EXPECT_EQ(erase.target, hwnd);
  EXPECT_EQ(erase.color, Rgb(10, 20, 30));  // the class brush
  EXPECT_EQ(erase.clip, part);
  const DrawOp& editFill = wm_.DrawLog()[1];
  EXPECT_EQ(editFill.target, edit);
  EXPECT_EQ(editFill.color, Rgb(255, 255, 255));  // WM_CTLCOLOREDIT of the default procedure
  const DrawOp& text = wm_.DrawLog()[2];
  EXPECT_EQ(text.op, "ExtTextOutW");
  EXPECT_EQ(text.text, u"hi");
  EXPECT_EQ(text.fontFace, u"System");
  EXPECT_EQ(wm_.LiveDcCount(), 0U);

  // Objects, DCs and the monochrome trap of a fresh memory DC.
  const std::size_t baseObjects = wm_.LiveGdiObjectCount();
  const Hdc screen = wm_.GetDC(hwnd);
  const Hdc memory = wm_.CreateCompatibleDC(screen);
  const Hgdiobj mono = wm_.CreateCompatibleBitmap(memory, 8, 8);
  const Hgdiobj colour = wm_.CreateCompatibleBitmap(screen, 8, 8);
  EXPECT_TRUE(wm_.GdiObject(mono)->monochrome);
  EXPECT_FALSE(wm_.GdiObject(colour)->monochrome);
  const Hgdiobj original = wm_.SelectObject(memory, colour);
  const Hgdiobj brush = wm_.CreateSolidBrush(Rgb(1, 2, 3));
  wm_.SelectObject(screen, brush);
  EXPECT_TRUE(wm_.BitBlt(screen, 1, 2, 8, 8, memory, 0, 0, ROP_DSPDXAX));
  const DrawOp& blit = wm_.DrawLog().back();
  EXPECT_EQ(blit.sourceTarget, colour);
  EXPECT_EQ(blit.brushColor, Rgb(1, 2, 3));
  EXPECT_EQ(blit.rect, (Rect{1, 2, 9, 10}));
  EXPECT_FALSE(wm_.DeleteObject(colour));  // still selected
  EXPECT_FALSE(wm_.DeleteObject(wm_.GetStockObject(DEFAULT_GUI_FONT)));
  wm_.SelectObject(memory, original);
  EXPECT_TRUE(wm_.DeleteDC(memory));
  EXPECT_EQ(wm_.ReleaseDC(hwnd, screen), 1);
  EXPECT_TRUE(wm_.DeleteObject(colour));
  EXPECT_TRUE(wm_.DeleteObject(mono));
  EXPECT_TRUE(wm_.DeleteObject(brush));
  EXPECT_EQ(wm_.LiveGdiObjectCount(), baseObjects);
  EXPECT_EQ(wm_.LiveDcCount(), 0U);
}

TEST_F(InMemoryWindowManagerTest, TextMeasurerAndMulDiv) {
  const Hdc hdc = wm_.GetDC(0);
  LogFont logFont;
  logFont.height = -20;
  const Hgdiobj font = wm_.CreateFontIndirectW(logFont);
  wm_.SelectObject(hdc, font);
  Size size;
  ASSERT_TRUE(wm_.GetTextExtentPoint32W(hdc, u"ab\u4e2d", &size));
  EXPECT_EQ(size.cx, 10 + 10 + 20);
  EXPECT_EQ(size.cy, 20);
  std::array<int, 3> partial{};
  wm_.GetTextExtentExPointW(hdc, u"ab\u4e2d", partial.data(), &size);
  EXPECT_EQ(partial, (std::array<int, 3>{10, 20, 40}));
  Rect rect{0, 0, 55, 0};
  EXPECT_EQ(wm_.DrawTextW(hdc, u"aa bb cc", &rect, DT_WORDBREAK | DT_CALCRECT), 40);
  EXPECT_EQ(rect, (Rect{0, 0, 50, 40}));  // "aa bb" fits in 55, "cc" wraps
  wm_.SelectObject(hdc, wm_.GetStockObject(DEFAULT_GUI_FONT));
  wm_.GetTextExtentPoint32W(hdc, u"x", &size);
  EXPECT_EQ(size.cx, 7);
  EXPECT_EQ(size.cy, 13);
  wm_.ReleaseDC(0, hdc);

  struct Case {
    int number, numerator, denominator, expected;
  };
  for (const Case& c : std::vector<Case>{{1, 1, 2, 1},
                                         {-1, 1, 2, -1},
                                         {3, 2, 4, 2},
                                         {5, 96, 72, 7},
                                         {-5, 96, -72, 7},
                                         {1, 1, 0, -1},
                                         {0x7FFFFFFF, 2, 1, -1}}) {
    EXPECT_EQ(wm_.MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << c.number << "*" << c.numerator << "/" << c.denominator;
  }
}

TEST_F(InMemoryWindowManagerTest, DeclaredFunctionsThroughLibraryThunks) {
  for (const char* name : {"user32", "USER32.DLL", "user32.dll"}) {
    EXPECT_NE(wm_.LoadLibraryA(name), 0U) << name;
  }
  EXPECT_EQ(wm_.LoadLibraryA("kernel33"), 0U);
  const Hmodule user32 = wm_.LoadLibraryA("user32");
  const auto bind = [&](std::size_t index) {
    return wm_.GetProcAddress(user32, kDeclaredFunctions[index].name);
  };
  const auto findWindow = reinterpret_cast<FindWindowAFn>(bind(1));
  const auto sendTimeout = reinterpret_cast<SendMessageTimeoutWFn>(bind(2));
  const auto enumWindows = reinterpret_cast<EnumWindowsFn>(bind(3));
  const auto getText = reinterpret_cast<GetWindowTextAFn>(bind(7));
  const auto getClass = reinterpret_cast<GetClassNameAFn>(bind(8));
  ASSERT_NE(findWindow, nullptr);

  const Hwnd progman = wm_.CreateForeignWindow(u"Progman", u"Program Manager");
  const Hwnd worker = wm_.CreateForeignWindow(u"WorkerW", u"\u4e2dA");
  EXPECT_EQ(findWindow("progman", nullptr), progman);
  EXPECT_EQ(findWindow(nullptr, nullptr), worker);

  std::array<char, 8> buffer{};
  buffer.fill('#');
  EXPECT_EQ(getText(worker, buffer.data(), 8), 3);
  EXPECT_EQ(std::string(buffer.data()), std::string("\xA7\xAD"
                                                    "A"));  // U+4E2D as two bytes
  EXPECT_EQ(getClass(progman, buffer.data(), 4), 3);
  EXPECT_EQ(std::string(buffer.data()), "Pro");
  wm_.SetBufferNotWritten("GetClassNameA", true);
  buffer.fill('#');
  EXPECT_EQ(getClass(progman, buffer.data(), 8), 0);
  EXPECT_EQ(buffer[0], '#');

  // The list is taken first: a window destroyed during the scan is still reported.
  std::vector<Hwnd> seen;
  wm_.SetEnumWindowsHook([&](Hwnd hwnd) {
    if (hwnd == worker) {
      wm_.DestroyForeignWindow(progman);
    }
  });
  const auto collect = [](Hwnd hwnd, LParam lParam) LEDBANNER_CALLBACK -> int {
    auto* seenList =
        reinterpret_cast<std::vector<Hwnd>*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    seenList->push_back(hwnd);
    return 1;
  };
  EXPECT_EQ(enumWindows(collect, reinterpret_cast<LParam>(&seen)), 1);
  EXPECT_EQ(seen, (std::vector<Hwnd>{worker, progman}));

  struct Case {
    const char* name;
    UInt delay;
    bool hung;
    int expectedReturn;
    std::uint64_t expectedElapsed;
  };
  for (const Case& c : std::vector<Case>{{"prompt", 0, false, 1, 0},
                                         {"slow", 300, false, 1, 300},
                                         {"too slow", 3000, false, 0, 1000},
                                         {"hung", 0, true, 0, 1000}}) {
    SCOPED_TRACE(c.name);
    wm_.SetResponseDelay(worker, c.delay);
    wm_.SetHung(worker, c.hung);
    const std::uint64_t before = wm_.Now();
    std::uintptr_t result = 99;
    EXPECT_EQ(sendTimeout(worker, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 1000, &result),
              c.expectedReturn);
    EXPECT_EQ(result, c.expectedReturn == 1 ? 2U : 99U);
    EXPECT_EQ(wm_.Now() - before, c.expectedElapsed);
  }

  wm_.RemoveExport("EnumWindows");
  EXPECT_EQ(bind(3), nullptr);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(wm_.FreeLibrary(user32));
  }
  EXPECT_EQ(wm_.LoadedLibraryReferences(), 0);
}

TEST_F(InMemoryWindowManagerTest, ForeignWindowsMayIgnoreWmClose) {
  const Hwnd foreign = wm_.CreateForeignWindow(u"Shell_TrayWnd", u"");
  EXPECT_FALSE(wm_.DestroyWindow(foreign));  // another program's window
  wm_.PostMessageW(foreign, WM_CLOSE, 0, 0);
  EXPECT_TRUE(wm_.IsWindow(foreign));
  wm_.SetClosesOnWmClose(foreign, true);
  wm_.SendMessageW(foreign, WM_CLOSE, 0, 0);
  EXPECT_FALSE(wm_.IsWindow(foreign));
  EXPECT_EQ(wm_.CloseRequests(foreign), 2);
}

}  // namespace
}  // namespace ledbanner::platform
