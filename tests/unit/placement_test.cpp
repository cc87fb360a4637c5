// Where the banner lives: always-on-top, the hotkeys, the window snapshot, the desktop lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "banner_fixture.h"
#include "placement/desktop_embedding.h"
#include "placement/topmost.h"

namespace ledbanner::testing {
namespace {

// The window-manager writes to the banner window and its check box, in call order.
std::vector<std::string> WritesTo(const pf::InMemoryWindowManager& wm, pf::Hwnd window,
                                  pf::Hwnd checkBox) {
  std::vector<std::string> writes;
  for (const pf::CallRecord& call : wm.CallLog()) {
    if (call.function == "SetWindowPos" && call.hwnd == window) {
      const auto insertAfter = static_cast<pf::Hwnd>(call.args.at(0));
      if (insertAfter == pf::HWND_TOPMOST) {
        writes.emplace_back("topmost");
      } else if (insertAfter == pf::HWND_NOTOPMOST) {
        writes.emplace_back("not topmost");
      } else {
        writes.push_back("height " + std::to_string(call.args.at(4)));
      }
    } else if (call.function == "SetWindowTextW" && call.hwnd == checkBox) {
      writes.emplace_back("caption");
    }
  }
  return writes;
}

class Topmost : public BannerTest {
 protected:
  std::vector<std::string> Toggle() {
    wm.ClearCallLog();
    placement::TopmostToggle(W());
    return WritesTo(wm, banner.Form().Handle(), W().选择框1.Handle());
  }
  [[nodiscard]] pf::Rect WindowRect() const { return wm.WindowRectOf(banner.Form().Handle()); }
};

TEST_F(Topmost, TogglesBetweenTheTwoFormsInTheirOrderOfWrites) {
  const pf::Rect start = WindowRect();
  EXPECT_EQ(Toggle(), (std::vector<std::string>{"height 79", "topmost", "caption"}));
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
  EXPECT_TRUE(wm.IsTopmost(banner.Form().Handle()));
  EXPECT_EQ(WindowRect(), (pf::Rect{start.left, start.top, start.right, start.top + 79}));

  EXPECT_EQ(Toggle(), (std::vector<std::string>{"not topmost", "height 129", "caption"}));
  EXPECT_EQ(W().选择框1.Caption(), u"置顶");
  EXPECT_FALSE(wm.IsTopmost(banner.Form().Handle()));
  EXPECT_EQ(WindowRect(), start);
}

TEST_F(Topmost, AnyOtherCaptionIsANoOp) {
  W().选择框1.SetCaption(u"置顶 ");
  EXPECT_TRUE(Toggle().empty());
  EXPECT_EQ(W().选择框1.Caption(), u"置顶 ");
  EXPECT_EQ(banner.Form().Height(), 129);
}

TEST_F(Topmost, AClickTogglesAndMarksTheCheckBox) {
  // The box lies outside the window, so the click comes as the system delivers an activation.
  wm.SendMessageW(W().选择框1.Handle(), pf::BM_CLICK, 0, 0);
  banner.Pump();
  EXPECT_TRUE(W().选择框1.Checked());
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
}

// ------------------------------------------------------------------------------------------
// Hotkeys.

class Hotkeys : public BannerTest {
 protected:
  void Press(int key, int repeat = 1) {
    wm.PressKey(key, 0, repeat);
    banner.Pump();
  }
  pf::Hwnd window() const { return banner.Form().Handle(); }
};

TEST_F(Hotkeys, AllThreeRegisterWithConsecutiveIdentifiers) {
  EXPECT_EQ(placement::lockHotkeyId, 33001);
  EXPECT_EQ(placement::unlockHotkeyId, 33002);
  EXPECT_EQ(placement::topmostHotkeyId, 33003);
  EXPECT_EQ(wm.Hotkeys()->Count(), 3U);
}

TEST(HotkeyRegistration, AKeyHeldByAnotherProgramUsesUpItsNumber) {
  pf::InMemoryWindowManager wm;
  wm.HoldHotkeyElsewhere(0, pf::VK_F1);
  Banner banner(wm);
  banner.Start();
  EXPECT_EQ(placement::lockHotkeyId, 0);
  EXPECT_EQ(placement::unlockHotkeyId, 33002);
  EXPECT_EQ(placement::topmostHotkeyId, 33003);
  wm.PressKey(pf::VK_F3);
  banner.Pump();
  EXPECT_EQ(banner.Window().选择框1.Caption(), u"取消置顶");
}

TEST_F(Hotkeys, F3TogglesLikeTheCheckBoxButLeavesTheMark) {
  Press(pf::VK_F3);
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
  EXPECT_EQ(banner.Form().Height(), 79);
  EXPECT_TRUE(wm.IsTopmost(window()));
  EXPECT_FALSE(W().选择框1.Checked());
  Press(pf::VK_F3);
  EXPECT_EQ(banner.Form().Height(), 129);
  EXPECT_FALSE(wm.IsTopmost(window()));
}

TEST_F(Hotkeys, F3ThenF2KeepsTopmostAndTheCaption) {
  Press(pf::VK_F3);
  Press(pf::VK_F2);
  EXPECT_EQ(banner.Form().Height(), 129);
  EXPECT_TRUE(wm.IsTopmost(window()));
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
  Press(pf::VK_F3);
  EXPECT_FALSE(wm.IsTopmost(window()));
  EXPECT_EQ(banner.Form().Height(), 129);
  EXPECT_EQ(W().选择框1.Caption(), u"置顶");
}

TEST_F(Hotkeys, HeldF3RepeatsItsAction) {
  Press(pf::VK_F3, 3);
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
  EXPECT_TRUE(wm.IsTopmost(window()));
}

TEST_F(Hotkeys, F1LocksOntoProgmanAndF2Unlocks) {
  const pf::Hwnd progman = wm.CreateForeignWindow(u"Progman", u"Program Manager");
  Press(pf::VK_F1);
  EXPECT_EQ(banner.Form().Height(), 79);
  EXPECT_EQ(wm.ParentOf(window()), progman);
  EXPECT_EQ(W().选择框1.Caption(), u"置顶");  // the lock leaves the topmost state alone

  wm.PressKey(pf::VK_TAB);  // typing still reaches the input box while locked
  Press(pf::VK_F2);
  EXPECT_EQ(banner.Form().Height(), 129);
  EXPECT_EQ(wm.ParentOf(window()), 0U);
  EXPECT_EQ(wm.GetFocus(), W().编辑框1.Handle());
}

TEST_F(Hotkeys, F2OnAnUnlockedBannerRestoresAndFocuses) {
  wm.DeactivateApp();
  Press(pf::VK_F2);
  EXPECT_EQ(banner.Form().Height(), 129);
  EXPECT_EQ(wm.ParentOf(window()), 0U);
  EXPECT_EQ(wm.GetFocus(), W().编辑框1.Handle());
}

TEST_F(Hotkeys, F1WithoutADesktopOnlyShrinks) {
  Press(pf::VK_F1);
  EXPECT_EQ(banner.Form().Height(), 79);
  EXPECT_EQ(wm.ParentOf(window()), 0U);
}

TEST_F(Hotkeys, TheOwnersProcedureIsReplacedOnce) {
  const auto replacements =
      std::count_if(wm.CallLog().begin(), wm.CallLog().end(), [&](const pf::CallRecord& call) {
        return call.function == "SetWindowLongPtrW" && call.hwnd == window() &&
               call.args.at(0) == pf::GWLP_WNDPROC;
      });
  EXPECT_EQ(replacements, 1);
}

TEST_F(Hotkeys, ASecondCopysKeysFailAndTheKeysStayWithTheFirst) {
  std::int32_t secondIds[3] = {-1, -1, -1};
  std::thread second([&, table = wm.Hotkeys()] {
    pf::InMemoryWindowManager otherWm(table);
    Banner copy(otherWm);
    copy.Start();
    secondIds[0] = placement::lockHotkeyId;
    secondIds[1] = placement::unlockHotkeyId;
    secondIds[2] = placement::topmostHotkeyId;
  });
  second.join();
  EXPECT_EQ(secondIds[0], 0);
  EXPECT_EQ(secondIds[1], 0);
  EXPECT_EQ(secondIds[2], 0);
  Press(pf::VK_F3);
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
}

TEST_F(Hotkeys, AStrayNoticeWithIdentifierZeroDoesNothing) {
  placement::lockHotkeyId = 0;
  wm.SendMessageW(W().标签1.Handle(), placement::kHotkeyNoticeMessage, 0, 0);
  EXPECT_EQ(banner.Form().Height(), 129);
}

// ------------------------------------------------------------------------------------------
// The window snapshot.

class Snapshot : public BannerTest {
 protected:
  void Rebuild() { placement::RebuildWindowList(banner.User32()); }
  const placement::WindowEntry* EntryFor(pf::Hwnd hwnd) const {
    for (std::size_t i = 1; i <= placement::windowList.Count(); ++i) {
      if (placement::windowList.Entry(i)->hwnd == hwnd) {
        return placement::windowList.Entry(i);
      }
    }
    return nullptr;
  }
};

TEST_F(Snapshot, HoldsEveryTopLevelWindowInEnumerationOrder) {
  wm.CreateForeignWindow(u"Alpha", u"first");
  wm.CreateForeignWindow(u"Beta", u"");
  Rebuild();
  const std::vector<pf::Hwnd> order = wm.TopLevelWindows();
  ASSERT_EQ(placement::windowList.Count(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(placement::windowList.Entry(i + 1)->hwnd, order[i]);
  }
  EXPECT_EQ(placement::windowList.Entry(0), nullptr);
  EXPECT_EQ(placement::windowList.Entry(order.size() + 1), nullptr);
}

TEST_F(Snapshot, StoresWhatTheWindowManagerWrote) {
  struct Case {
    const char* name;
    std::u16string className;
    std::u16string title;
    const char* notWritten;  // a function that writes nothing into its buffer
    std::string storedTitle;
    std::string storedClass;
  };
  const std::u16string longClass(70, u'C');
  const std::vector<Case> cases = {
      {"plain", u"Alpha", u"hello", nullptr, "hello", "Alpha"},
      {"no text", u"Beta", u"", nullptr, "", "Beta"},
      {"long class", longClass, u"t", nullptr, "t", std::string(63, 'C')},
      {"title unwritten", u"Gamma", u"abcd", "GetWindowTextA", std::string(5, ' '), "Gamma"},
      {"empty title unwritten", u"Delta", u"", "GetWindowTextA", " ", "Delta"},
      {"class unwritten", u"Epsilon", u"x", "GetClassNameA", "x", std::string(64, ' ')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const pf::Hwnd hwnd = wm.CreateForeignWindow(c.className, c.title);
    if (c.notWritten != nullptr) {
      wm.SetBufferNotWritten(c.notWritten, true);
    }
    Rebuild();
    if (c.notWritten != nullptr) {
      wm.SetBufferNotWritten(c.notWritten, false);
    }
    const placement::WindowEntry* entry = EntryFor(hwnd);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->title, c.storedTitle);
    EXPECT_EQ(entry->className, c.storedClass);
  }
}

TEST_F(Snapshot, KeepsTheAnsiBytesOfATitle) {
  const pf::Hwnd hwnd = wm.CreateForeignWindow(u"Alpha", u"");
  wm.SetAnsiTitle(hwnd, "\xD4\xAD\xB4\xB4");  // "原创" in GBK
  Rebuild();
  EXPECT_EQ(EntryFor(hwnd)->title, "\xD4\xAD\xB4\xB4");
}

TEST_F(Snapshot, ARebuildReplacesTheEarlierEntries) {
  const pf::Hwnd gone = wm.CreateForeignWindow(u"Alpha", u"a");
  Rebuild();
  wm.DestroyForeignWindow(gone);
  Rebuild();
  EXPECT_EQ(EntryFor(gone), nullptr);
  app::ProgramCleanup();
  EXPECT_EQ(placement::windowList.Count(), 0U);
}

// ------------------------------------------------------------------------------------------
// Locking onto the desktop.

// A shell layout made of other programs' windows, and the windows that the lock must close.
struct Shell {
  pf::Hwnd progman = 0;
  std::vector<pf::Hwnd> windows;
  std::vector<pf::Hwnd> mustClose;
};

// A new top-level window goes on top, so a layout is built from the bottom of the list up.
pf::Hwnd Top(pf::InMemoryWindowManager& wm, std::u16string_view className,
             std::u16string_view title = u"") {
  return wm.CreateForeignWindow(className, title);
}
pf::Hwnd View(pf::InMemoryWindowManager& wm, pf::Hwnd parent) {
  return wm.CreateForeignWindow(u"SHELLDLL_DefView", u"", parent);
}
pf::Hwnd Desktop(pf::InMemoryWindowManager& wm) { return Top(wm, u"Progman", u"Program Manager"); }

// The windows that were sent WM_CLOSE, in handle order.
std::vector<pf::Hwnd> Closed(const pf::InMemoryWindowManager& wm,
                             const std::vector<pf::Hwnd>& windows) {
  std::vector<pf::Hwnd> closed;
  for (const pf::Hwnd hwnd : windows) {
    if (wm.CloseRequests(hwnd) > 0) {
      closed.push_back(hwnd);
    }
  }
  std::sort(closed.begin(), closed.end());
  return closed;
}

struct Layout {
  const char* name;
  std::function<Shell(pf::InMemoryWindowManager&)> build;
};

const std::vector<Layout>& Layouts() {
  static const std::vector<Layout> layouts = {
      {"the shell's usual layout",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd empty = Top(wm, u"WorkerW");
         const pf::Hwnd host = Top(wm, u"WorkerW");
         View(wm, host);
         return Shell{progman, {progman, empty, host}, {empty}};
       }},
      {"views directly under progman",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         View(wm, progman);
         return Shell{progman, {progman}, {}};
       }},
      {"one host with two views",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd empty = Top(wm, u"WorkerW");
         const pf::Hwnd host = Top(wm, u"WorkerW");
         View(wm, host);
         View(wm, host);
         return Shell{progman, {progman, empty, host}, {empty}};
       }},
      {"two hosts",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd empty2 = Top(wm, u"WorkerW");
         const pf::Hwnd host2 = Top(wm, u"WorkerW");
         View(wm, host2);
         const pf::Hwnd empty1 = Top(wm, u"WorkerW");
         const pf::Hwnd host1 = Top(wm, u"WorkerW");
         View(wm, host1);
         return Shell{progman, {progman, empty2, host2, empty1, host1}, {empty1, empty2}};
       }},
      {"the follower is progman",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd host = Top(wm, u"WorkerW");
         View(wm, host);
         return Shell{progman, {progman, host}, {}};
       }},
      {"the follower is another program's window",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd work = Top(wm, u"Notepad", u"unsaved work");
         const pf::Hwnd host = Top(wm, u"WorkerW");
         View(wm, host);
         return Shell{progman, {progman, work, host}, {}};
       }},
      {"a worker without a view",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd after = Top(wm, u"WorkerW");
         const pf::Hwnd bare = Top(wm, u"WorkerW");
         wm.CreateForeignWindow(u"Other", u"", bare);
         return Shell{progman, {progman, after, bare}, {}};
       }},
      {"the host is the last window",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd host = Top(wm, u"WorkerW");
         View(wm, host);
         wm.SetWindowPos(host, pf::HWND_BOTTOM, 0, 0, 0, 0,
                         pf::SWP_NOMOVE | pf::SWP_NOSIZE | pf::SWP_NOACTIVATE);
         return Shell{progman, {progman, host}, {}};
       }},
      {"\"workerw\" in lower case",
       [](pf::InMemoryWindowManager& wm) {
         const pf::Hwnd progman = Desktop(wm);
         const pf::Hwnd after = Top(wm, u"WorkerW");
         const pf::Hwnd host = Top(wm, u"workerw");
         View(wm, host);
         return Shell{progman, {progman, after, host}, {}};
       }},
  };
  return layouts;
}

TEST(Embedding, ClosesExactlyTheEmptyWorkerThatFollowsEachHost) {
  for (const Layout& layout : Layouts()) {
    SCOPED_TRACE(layout.name);
    pf::InMemoryWindowManager wm;
    Banner banner(wm);
    banner.Start();
    const Shell shell = layout.build(wm);
    wm.ClearMessageLog();
    EXPECT_TRUE(placement::EmbedInDesktop(banner.User32(), banner.Form().Handle()));
    std::vector<pf::Hwnd> mustClose = shell.mustClose;
    std::sort(mustClose.begin(), mustClose.end());
    EXPECT_EQ(Closed(wm, shell.windows), mustClose);
    EXPECT_EQ(wm.ParentOf(banner.Form().Handle()), shell.progman);
    const auto spawns = std::count_if(
        wm.MessageLog().begin(), wm.MessageLog().end(), [&](const pf::LoggedMessage& m) {
          return m.hwnd == shell.progman && m.message == placement::kSpawnWorkerMessage;
        });
    EXPECT_EQ(spawns, 1);
  }
}

TEST(Embedding, NoDesktopWindowChangesNothing) {
  pf::InMemoryWindowManager wm;
  Banner banner(wm);
  banner.Start();
  const pf::Hwnd impostor = Top(wm, u"Progman", u"Someone else");
  placement::RebuildWindowList(banner.User32());
  const std::size_t before = placement::windowList.Count();
  Top(wm, u"Alpha");
  wm.ClearMessageLog();
  EXPECT_FALSE(placement::EmbedInDesktop(banner.User32(), banner.Form().Handle()));
  EXPECT_EQ(placement::windowList.Count(), before);
  EXPECT_TRUE(wm.MessageLog().empty());
  EXPECT_EQ(wm.CloseRequests(impostor), 0);
  EXPECT_EQ(wm.ParentOf(banner.Form().Handle()), 0U);
}

TEST(Embedding, AFailedReparentingIsReportedAfterEveryOtherStep) {
  pf::InMemoryWindowManager wm;
  Banner banner(wm);
  banner.Start();
  const Shell shell = Layouts().front().build(wm);
  wm.SetFailing("SetParent", true);
  EXPECT_FALSE(placement::EmbedInDesktop(banner.User32(), banner.Form().Handle()));
  EXPECT_EQ(Closed(wm, shell.windows), shell.mustClose);
}

TEST(Embedding, ASlowShellHoldsTheLockForAtMostASecond) {
  pf::InMemoryWindowManager wm;
  Banner banner(wm);
  banner.Start();
  const Shell shell = Layouts().front().build(wm);
  wm.SetHung(shell.progman, true);
  const std::uint64_t start = wm.Now();
  EXPECT_TRUE(placement::EmbedInDesktop(banner.User32(), banner.Form().Handle()));
  EXPECT_EQ(wm.Now() - start, 1000U);
}

TEST(Embedding, ASecondLockClosesNothingMore) {
  pf::InMemoryWindowManager wm;
  Banner banner(wm);
  banner.Start();
  const Shell shell = Layouts().front().build(wm);
  wm.SetClosesOnWmClose(shell.mustClose.front(), true);
  wm.PressKey(pf::VK_F1);
  banner.Pump();
  wm.PressKey(pf::VK_F1);
  banner.Pump();
  EXPECT_EQ(wm.CloseRequests(shell.mustClose.front()), 1);
  for (const pf::Hwnd hwnd : shell.windows) {
    if (hwnd != shell.mustClose.front()) {
      EXPECT_EQ(wm.CloseRequests(hwnd), 0);
    }
  }
  EXPECT_EQ(wm.ParentOf(banner.Form().Handle()), shell.progman);
}

}  // namespace
}  // namespace ledbanner::testing
