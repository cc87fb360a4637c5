// The toolkit's own rules: held events, text writes, geometry limits, font sizes.
#include <gtest/gtest.h>

#include <array>

#include "banner_fixture.h"
#include "toolkit/description.h"

namespace ledbanner::testing {
namespace {

using toolkit::ControlDescription;
using toolkit::ControlKind;

constexpr toolkit::FontDescription kBig{u"黑体", -64, 700, 0};

// clang-format off
const std::array<ControlDescription, 2> kControls{{
    {u"edit", ControlKind::EditBox, {}, 10, 10, 100, 20, true, true, true, u"start",
     toolkit::Colour::Fixed(0, 0, 0), toolkit::Colour::Fixed(255, 255, 255), nullptr, true, 0},
    {u"big", ControlKind::EditBox, {}, 10, 40, 100, 10, true, true, false, u"",
     toolkit::Colour::Fixed(255, 0, 0), toolkit::Colour::Fixed(128, 0, 0), &kBig, false, 0},
}};
// clang-format on
const toolkit::WindowDescription kWindow{
    u"Test.Window", u"", 300, 100, u"DEFAULT_ICON", toolkit::Colour::ButtonFace(), kControls};

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Build();
    edit().onTextChanged = [this] { ++changes; };
  }
  toolkit::EditBox& edit() { return form.Get<toolkit::EditBox>(u"edit"); }

  pf::InMemoryWindowManager wm;
  toolkit::Runtime runtime{wm};
  toolkit::Form form{runtime, kWindow};
  int changes = 0;
};

TEST_F(ToolkitTest, AProgramWriteRaisesTheEventOnceEvenForTheSameText) {
  edit().SetText(u"abc");
  EXPECT_EQ(changes, 1);
  edit().SetText(u"abc");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit().Text(), u"abc");
}

TEST_F(ToolkitTest, TypingRaisesTheEventPerChange) {
  wm.SetFocus(edit().Handle());
  wm.TypeText(u"xy");
  pf::Msg msg;
  while (wm.PeekMessageW(&msg, 0, 0, 0, pf::PM_REMOVE)) {
    runtime.ProcessMessage(form, msg);
  }
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit().Text(), u"startxy");
}

TEST_F(ToolkitTest, HeldEventsAreDroppedNotQueued) {
  runtime.HoldEvents();
  edit().SetText(u"held");
  runtime.ReleaseEvents();
  EXPECT_EQ(changes, 0);
  runtime.ReleaseEvents();  // never below zero
  EXPECT_FALSE(runtime.EventsHeld());
  edit().SetText(u"free");
  EXPECT_EQ(changes, 1);
}

TEST_F(ToolkitTest, GeometryWritesAreClampedAndKeepTheOtherValues) {
  struct Case {
    const char* name;
    void (toolkit::Control::*write)(int);
    int value;
    pf::Rect expected;
  };
  const Case cases[] = {
      {"left far right", &toolkit::Control::SetLeft, 40000, {32627, 10, 32727, 30}},
      {"left far left", &toolkit::Control::SetLeft, -40000, {-32627, 10, -32527, 30}},
      {"width huge", &toolkit::Control::SetWidth, 99999, {10, 10, 10 + 32627, 30}},
      {"width negative", &toolkit::Control::SetWidth, -5, {10, 10, 10, 30}},
      {"height", &toolkit::Control::SetHeight, 33, {10, 10, 110, 43}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit().SetLeft(10);
    edit().SetWidth(100);
    edit().SetHeight(20);
    (edit().*c.write)(c.value);
    EXPECT_EQ(edit().RectInParent(), c.expected);
  }
}

TEST_F(ToolkitTest, SingleLineBoxesAreAtLeastOneLineHigh) {
  // 64-pixel characters and two 2-pixel edges.
  EXPECT_EQ(form.Find(u"big").Height(), 68);
  EXPECT_EQ(edit().Height(), 20);
}

TEST(ToolkitFontSize, PointsFollowTheScreensResolution) {
  struct Case {
    int dpi;
    int points;
  };
  for (const Case c : {Case{96, 48}, Case{120, 38}, Case{144, 32}, Case{192, 24}}) {
    SCOPED_TRACE(c.dpi);
    pf::InMemoryWindowManager wm;
    wm.SetDpi(c.dpi);
    toolkit::Runtime runtime(wm);
    toolkit::Form form(runtime, kWindow);
    form.Build();
    EXPECT_EQ(form.Find(u"big").FontSizePoints(), c.points);
  }
}

TEST_F(ToolkitTest, WindowHeightAndTopmostWrites) {
  form.SetHeight(79);
  EXPECT_EQ(form.Height(), 79);
  EXPECT_EQ(form.Width(), 300);
  form.SetAlwaysOnTop(true);
  EXPECT_TRUE(wm.IsTopmost(form.Handle()));
  form.SetAlwaysOnTop(false);
  EXPECT_FALSE(wm.IsTopmost(form.Handle()));
  form.SetHeight(-3);
  EXPECT_EQ(form.Height(), 0);
}

}  // namespace
}  // namespace ledbanner::testing
