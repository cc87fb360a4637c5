// The banner window as start-up builds it: layout, z-order, focus, keyboard and mouse rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "banner_fixture.h"

namespace ledbanner::testing {
namespace {

struct ExpectedControl {
  std::u16string name;
  std::u16string systemClass;
  std::u16string parent;  // empty: the window
  pf::Rect rect;          // in the parent's client area
  bool visible;
  bool enabled;
  bool tabStop;
};

TEST_F(BannerTest, WindowIsBorderlessCentredAndUntitled) {
  const pf::Hwnd window = banner.Form().Handle();
  EXPECT_EQ(wm.WindowRectOf(window), (pf::Rect{740, 475, 740 + 439, 475 + 129}));
  EXPECT_EQ(wm.Text(window), u"");
  const pf::UInt style = wm.Style(window);
  EXPECT_NE(style & pf::WS_POPUP, 0U);
  EXPECT_NE(style & pf::WS_MINIMIZEBOX, 0U);
  EXPECT_EQ(style & (pf::WS_CAPTION | pf::WS_THICKFRAME | pf::WS_SYSMENU | pf::WS_BORDER |
                     pf::WS_MAXIMIZEBOX),
            0U);
  EXPECT_FALSE(wm.IsTopmost(window));
  EXPECT_EQ(wm.OwnerOf(window), 0U);
  EXPECT_TRUE(wm.IsWindowVisible(window));
  EXPECT_EQ(wm.GetActiveWindow(), window);
}

TEST(BannerPlacement, CentresOnAnyScreen) {
  pf::InMemoryWindowManager wm;
  wm.SetScreenSize(1280, 721);
  Banner banner(wm);
  banner.Start();
  // Each halving truncates: (1280 - 439) / 2 = 420, (721 - 129) / 2 = 296.
  EXPECT_EQ(wm.WindowRectOf(banner.Form().Handle()), (pf::Rect{420, 296, 420 + 439, 296 + 129}));
}

TEST_F(BannerTest, ControlsHaveTheirPlacesParentsAndFlags) {
  const std::vector<ExpectedControl> expected = {
      {u"选择框1", u"Button", u"", {472, 112, 552, 136}, true, true, true},
      {u"标签3", u"Static", u"", {41, 104, 89, 128}, true, true, false},
      {u"标签2", u"Static", u"", {98, 82, 376, 98}, true, true, false},
      {u"编辑框1", u"Edit", u"", {96, 104, 368, 124}, true, true, true},
      {u"透明标签1", u"Static", u"图片框1", {0, 0, 440, 80}, true, true, false},
      {u"时钟1", u"LEDBanner.Timer", u"", {48, 160, 74, 186}, false, true, false},
      {u"图片框1", u"LEDBanner.PictureBox", u"", {0, 0, 440, 80}, true, true, false},
      {u"标签1", u"Static", u"图片框1", {256, 296, 360, 360}, true, false, false},
  };
  for (const ExpectedControl& control : expected) {
    SCOPED_TRACE(std::string(control.name.begin(), control.name.end()));
    const toolkit::Control& c = banner.Form().Find(control.name);
    const pf::Hwnd parent = control.parent.empty() ? banner.Form().Handle()
                                                   : banner.Form().Find(control.parent).Handle();
    EXPECT_EQ(wm.ParentOf(c.Handle()), parent);
    EXPECT_EQ(wm.ClassName(c.Handle()), control.systemClass);
    EXPECT_EQ(c.RectInParent(), control.rect);
    EXPECT_EQ(wm.IsWindowVisible(c.Handle()), control.visible);
    EXPECT_EQ(wm.IsWindowEnabled(c.Handle()), control.enabled);
    EXPECT_EQ((wm.Style(c.Handle()) & pf::WS_TABSTOP) != 0, control.tabStop);
  }
  // The scroller has been given the default text and its width before anything scrolls.
  EXPECT_EQ(W().编辑框2.RectInParent(), (pf::Rect{440, 8, 440 + 353, 76}));
  EXPECT_NE(wm.ExStyle(W().编辑框1.Handle()) & pf::WS_EX_CLIENTEDGE, 0U);
  EXPECT_NE(wm.ExStyle(W().透明标签1.Handle()) & pf::WS_EX_TRANSPARENT, 0U);
}

TEST_F(BannerTest, TextsAreKeptWithoutLoss) {
  EXPECT_EQ(wm.Text(W().选择框1.Handle()), u"置顶");
  EXPECT_EQ(W().选择框1.Caption(), u"置顶");
  EXPECT_FALSE(W().选择框1.Checked());
  EXPECT_EQ(W().标签3.Text(), u"输入文字");
  EXPECT_EQ(W().标签2.Text(), u"F1锁定 F2解除锁定 F3置顶/取消置顶 Esc退出程序");
  EXPECT_EQ(W().标签1.Text(), u" ");
  const std::u16string dots = W().透明标签1.Text();
  EXPECT_EQ(dots.size(), 2750U);
  EXPECT_TRUE(std::all_of(dots.begin(), dots.end(), [](char16_t c) { return c == u'\u25CF'; }));
}

TEST_F(BannerTest, ZOrderFollowsTheLayout) {
  const auto names = [&](pf::Hwnd parent) {
    std::vector<std::u16string> result;
    for (const pf::Hwnd child : wm.Children(parent)) {
      result.emplace_back(banner.Form().ControlByHandle(child)->Name());
    }
    return result;
  };
  EXPECT_EQ(names(banner.Form().Handle()),
            (std::vector<std::u16string>{u"选择框1", u"标签3", u"标签2", u"编辑框1", u"时钟1",
                                         u"图片框1"}));
  EXPECT_EQ(names(W().图片框1.Handle()),
            (std::vector<std::u16string>{u"透明标签1", u"标签1", u"编辑框2"}));
}

TEST_F(BannerTest, FontsAreMadeFromTheirDescriptions) {
  const std::vector<const toolkit::Control*> ownFonts = {&W().编辑框2, &W().标签1, &W().透明标签1};
  for (const toolkit::Control* control : ownFonts) {
    const auto font = wm.GdiObject(control->Font());
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->font.faceName, u"黑体");
    EXPECT_EQ(font->font.charSet, pf::DEFAULT_CHARSET);
    EXPECT_EQ(font->font.quality, pf::PROOF_QUALITY);
  }
  EXPECT_EQ(wm.GdiObject(W().编辑框2.Font())->font.height, -64);
  EXPECT_EQ(wm.GdiObject(W().编辑框2.Font())->font.weight, pf::FW_BOLD);
  EXPECT_EQ(wm.GdiObject(W().透明标签1.Font())->font.height, -3);
  EXPECT_EQ(wm.GdiObject(W().透明标签1.Font())->font.weight, pf::FW_NORMAL);
  EXPECT_EQ(W().标签2.Font(), wm.GetStockObject(pf::DEFAULT_GUI_FONT));
}

TEST_F(BannerTest, CreatedHandlerRunsBeforeTheWindowIsShown) {
  const auto& calls = wm.CallLog();
  const auto defaultText = std::find_if(calls.begin(), calls.end(), [&](const pf::CallRecord& c) {
    return c.function == "SetWindowTextW" && c.hwnd == W().编辑框1.Handle();
  });
  const auto shown = std::find_if(calls.begin(), calls.end(), [&](const pf::CallRecord& c) {
    return c.function == "ShowWindow" && c.hwnd == banner.Form().Handle();
  });
  ASSERT_NE(defaultText, calls.end());
  ASSERT_NE(shown, calls.end());
  EXPECT_LT(defaultText, shown);
  EXPECT_EQ(defaultText->text, u"Quorlin原创");
}

TEST_F(BannerTest, InputBoxHasTheFocusAndTabCyclesTheTabStops) {
  EXPECT_EQ(wm.GetFocus(), W().编辑框1.Handle());
  wm.PressKey(pf::VK_TAB);
  banner.Pump();
  EXPECT_EQ(wm.GetFocus(), W().选择框1.Handle());
  wm.PressKey(pf::VK_TAB);
  banner.Pump();
  EXPECT_EQ(wm.GetFocus(), W().编辑框1.Handle());
  wm.PressKey(pf::VK_TAB, pf::MOD_SHIFT);
  banner.Pump();
  EXPECT_EQ(wm.GetFocus(), W().选择框1.Handle());
}

TEST_F(BannerTest, SpaceOnTheCheckBoxClicksIt) {
  wm.PressKey(pf::VK_TAB);
  banner.Pump();
  wm.PressKey(pf::VK_SPACE);
  banner.Pump();
  EXPECT_TRUE(W().选择框1.Checked());
  EXPECT_EQ(W().选择框1.Caption(), u"取消置顶");
  EXPECT_EQ(banner.Form().Height(), 79);
}

TEST_F(BannerTest, FocusIsRememberedAcrossDeactivation) {
  wm.PressKey(pf::VK_TAB);
  banner.Pump();
  wm.DeactivateApp();
  EXPECT_EQ(wm.GetFocus(), 0U);
  wm.Activate(banner.Form().Handle());
  banner.Pump();
  EXPECT_EQ(wm.GetFocus(), W().选择框1.Handle());
}

TEST_F(BannerTest, FocusGoesToTheInputBoxWhenTheWindowItselfGetsIt) {
  wm.SetFocus(banner.Form().Handle());
  EXPECT_EQ(wm.GetFocus(), W().编辑框1.Handle());
}

TEST_F(BannerTest, EscWithoutModifiersClosesTheWindow) {
  struct Case {
    const char* name;
    pf::UInt modifiers;
    bool closes;
  };
  // Each case on a fresh copy, so a close in one cannot hide another.
  for (const Case& c : {Case{"plain", 0, true}, Case{"shift", pf::MOD_SHIFT, false},
                        Case{"ctrl", pf::MOD_CONTROL, false}, Case{"alt", pf::MOD_ALT, false}}) {
    SCOPED_TRACE(c.name);
    pf::InMemoryWindowManager otherWm;
    Banner copy(otherWm);
    copy.Start();
    otherWm.PressKey(pf::VK_ESCAPE, c.modifiers);
    copy.Pump();
    EXPECT_EQ(copy.Form().Exists(), !c.closes);
  }
}

TEST_F(BannerTest, EscFromTheCheckBoxClosesToo) {
  wm.PressKey(pf::VK_TAB);
  banner.Pump();
  wm.PressKey(pf::VK_ESCAPE);
  banner.Pump();
  EXPECT_FALSE(banner.Form().Exists());
}

pf::Point ScreenPoint(pf::InMemoryWindowManager& wm, const toolkit::Control& control, int dx,
                      int dy) {
  const pf::Rect rect = wm.WindowRectOf(control.Handle());
  return {rect.left + dx, rect.top + dy};
}

TEST_F(BannerTest, PressOnLabelsStripOrBackgroundStartsAMove) {
  const pf::Hwnd window = banner.Form().Handle();
  struct Case {
    const char* name;
    pf::Point point;
    bool moves;
  };
  const pf::Rect windowRect = wm.WindowRectOf(window);
  const std::vector<Case> cases = {
      {"help line", ScreenPoint(wm, W().标签2, 5, 5), true},
      {"caption label", ScreenPoint(wm, W().标签3, 5, 5), true},
      {"strip", ScreenPoint(wm, W().图片框1, 20, 40), true},
      {"background", {windowRect.left + 420, windowRect.top + 110}, true},
      {"input box", ScreenPoint(wm, W().编辑框1, 5, 5), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int before = wm.MoveLoopCount(window);
    wm.Click(c.point);
    banner.Pump();
    EXPECT_EQ(wm.MoveLoopCount(window) > before, c.moves);
  }
  EXPECT_EQ(wm.GetFocus(), W().编辑框1.Handle());
}

TEST_F(BannerTest, ThePointerIsTheArrowOverEveryControl) {
  const pf::Hcursor arrow = wm.LoadCursorW(pf::IDC_ARROW);
  for (const toolkit::Control* control :
       std::vector<const toolkit::Control*>{&W().编辑框1, &W().标签2, &W().图片框1}) {
    wm.SetCursor(0);
    wm.Click(ScreenPoint(wm, *control, 5, 5));
    banner.Pump();
    EXPECT_EQ(wm.CurrentCursor(), arrow);
  }
}

}  // namespace
}  // namespace ledbanner::testing
