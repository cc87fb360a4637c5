// The scrolling text: the scroller's width from its text, the ticks, and the painted frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "banner_fixture.h"
#include "marquee/text_length.h"

namespace ledbanner::testing {
namespace {

std::u16string Repeat(std::u16string_view unit, std::size_t count) {
  std::u16string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += unit;
  }
  return text;
}

TEST(GbkLength, CountsBytesAsTheCodePageStoresThem) {
  struct Case {
    std::u16string text;
    std::size_t bytes;
  };
  const Case cases[] = {
      {u"", 0},
      {u"abc", 3},
      {u"原创", 4},
      {u"Quorlin原创", 11},
      {u"\u20AC", 1},        // the euro sign is one byte in code page 936
      {u"\U0001F600", 2},    // an emoji: one wide glyph
      {u"\xD800", 2},        // a lone surrogate
      {u"\u00E9\u0416", 4},  // characters GBK has as two bytes
      {u"a\U0001F600b", 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(marquee::GbkByteLength(c.text), c.bytes);
  }
}

class ScrollerWidth : public BannerTest {};

TEST_F(ScrollerWidth, IsTheEstimateOfTheTextAtNinetySixDpi) {
  struct Case {
    std::u16string text;
    int width;
  };
  const std::vector<Case> cases = {
      {u"", 0},
      {u"A", 32},
      {u"AB", 64},
      {u"abc", 96},
      {u"原创", 128},
      {Repeat(u"x", 10), 321},
      {Repeat(u"x", 100), 3216},
      {Repeat(u"x", 1014), 32610},
      {Repeat(u"x", 1015), 32627},
      {Repeat(u"原", 600), 32627},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    W().编辑框1.SetText(c.text);
    EXPECT_EQ(W().编辑框2.Text(), c.text);
    EXPECT_EQ(W().编辑框2.Width(), c.width);
    EXPECT_EQ(W().编辑框2.Height(), 68);
    EXPECT_EQ(W().编辑框2.Top(), 8);
  }
}

TEST(ScrollerWidthDpi, ShrinksPerByteAtHigherResolutions) {
  struct Case {
    int dpi;
    std::u16string text;
    int width;
  };
  const Case cases[] = {
      {120, u"abc", 76},    // 38 x 3 x 0.67 = 76.38
      {120, u"原创", 101},  // 38 x 4 x 0.67 = 101.84
      {144, u"abc", 64},    // 32 x 3 x 0.67 = 64.32
      {192, u"abc", 48},    // 24 x 3 x 0.67 = 48.24
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    pf::InMemoryWindowManager wm;
    wm.SetDpi(c.dpi);
    Banner banner(wm);
    banner.Start();
    banner.Window().编辑框1.SetText(c.text);
    EXPECT_EQ(banner.Window().编辑框2.Width(), c.width);
  }
}

TEST_F(ScrollerWidth, TypingAppendsThirtyTwoPixelsPerAsciiByte) {
  W().编辑框1.SetText(u"");
  wm.TypeText(u"ab");
  banner.Pump();
  EXPECT_EQ(W().编辑框2.Text(), u"ab");
  EXPECT_EQ(W().编辑框2.Width(), 64);
  wm.TypeText(u"原");
  banner.Pump();
  EXPECT_EQ(W().编辑框2.Width(), 128);  // 4 bytes
}

TEST_F(ScrollerWidth, AHugePasteStopsAtTheLimit) {
  const std::u16string huge = Repeat(u"原创abc", 150000);  // about 1 MB
  wm.ReplaceEditText(W().编辑框1.Handle(), huge);
  banner.Pump();
  EXPECT_EQ(W().编辑框2.Text().size(), huge.size());
  EXPECT_EQ(W().编辑框2.Width(), 32627);
  banner.Ticks(3);
  EXPECT_EQ(W().编辑框2.Left(), 440 - 3 * 4);  // scrolling goes on
}

class Scrolling : public BannerTest {};

TEST_F(Scrolling, TheDefaultTextIsInPlaceBeforeTheFirstTick) {
  EXPECT_EQ(W().编辑框2.Text(), u"Quorlin原创");
  EXPECT_EQ(W().编辑框2.Left(), 440);
  banner.Ticks(1);
  EXPECT_EQ(W().编辑框2.Left(), 436);
}

TEST_F(Scrolling, AHundredPixelScrollerWrapsOnTick136) {
  W().编辑框2.SetWidth(100);
  banner.Ticks(135);
  EXPECT_EQ(W().编辑框2.Left(), -100);  // right edge exactly on the strip's left edge
  banner.Ticks(1);
  EXPECT_EQ(W().编辑框2.Left(), 440);
}

TEST_F(Scrolling, AnEmptyTextWrapsOnTick111) {
  W().编辑框1.SetText(u"");
  banner.Ticks(110);
  EXPECT_EQ(W().编辑框2.Left(), 0);
  banner.Ticks(1);
  EXPECT_EQ(W().编辑框2.Left(), 440);
}

TEST_F(Scrolling, ALongTextCrossesTheWholeStripBeforeItWraps) {
  W().编辑框1.SetText(Repeat(u"x", 30));  // 964 pixels
  const int width = W().编辑框2.Width();
  ASSERT_EQ(width, 964);
  // From 440 it wraps on tick (440 + 964) / 4 + 1 = 352.
  banner.Ticks(351);
  EXPECT_EQ(W().编辑框2.Left(), 440 - 351 * 4);
  EXPECT_GT(W().编辑框2.Left() + width, -4);
  banner.Ticks(1);
  EXPECT_EQ(W().编辑框2.Left(), 440);
}

TEST_F(Scrolling, TheWrapTargetIsTheStripsWidthAtThatMoment) {
  W().编辑框2.SetWidth(0);
  W().编辑框2.SetLeft(0);
  W().图片框1.SetWidth(300);
  banner.Ticks(1);
  EXPECT_EQ(W().编辑框2.Left(), 300);
}

TEST_F(Scrolling, TypingWhileItScrollsKeepsThePosition) {
  banner.Ticks(20);
  ASSERT_EQ(W().编辑框2.Left(), 360);
  wm.TypeText(u"!");
  banner.Pump();
  EXPECT_EQ(W().编辑框2.Left(), 360);
  EXPECT_EQ(W().编辑框2.Width(), 385);  // 12 bytes
}

TEST_F(Scrolling, AScrollerAtTheWidthLimitStillWraps) {
  W().编辑框1.SetText(Repeat(u"x", 2000));
  ASSERT_EQ(W().编辑框2.Width(), 32627);
  // Its left edge stops at -32627, where its right edge is still on the strip's left edge.
  const int ticks = (440 + 32627) / 4 + 2;
  int lowest = W().编辑框2.Left();
  bool wrapped = false;
  for (int i = 0; i < ticks && !wrapped; ++i) {
    const int before = W().编辑框2.Left();
    banner.Ticks(1);
    lowest = std::min(lowest, W().编辑框2.Left());
    wrapped = W().编辑框2.Left() > before;
  }
  EXPECT_TRUE(wrapped);
  EXPECT_LE(lowest, -32627 + 4);  // it went as far left as the limit lets it
  EXPECT_EQ(W().编辑框2.Left(), 440);
}

TEST_F(Scrolling, MissedTicksAreDroppedNotMadeUp) {
  wm.AdvanceClock(1000);  // the thread was busy for a second
  banner.Pump();
  EXPECT_EQ(W().编辑框2.Left(), 436);
}

// ------------------------------------------------------------------------------------------
// Painting of the strip.

class StripPainting : public BannerTest {
 protected:
  // The drawing calls of the frames painted during one tick.
  std::vector<pf::DrawOp> TickAndRecord() {
    banner.Ticks(5);  // settle the first frames
    wm.ClearDrawLog();
    banner.Ticks(1);
    return wm.DrawLog();
  }
  pf::Hwnd strip() const { return W().图片框1.Handle(); }
};

TEST_F(StripPainting, EveryFrameReachesTheScreenWholeInOneCopy) {
  const std::vector<pf::DrawOp> ops = TickAndRecord();
  std::vector<const pf::DrawOp*> onScreen;
  for (const pf::DrawOp& op : ops) {
    if (op.targetIsWindow) {
      onScreen.push_back(&op);
    }
  }
  // Nothing but one copy from the off-screen frame touches the screen, inside the strip.
  ASSERT_EQ(onScreen.size(), 1U);
  EXPECT_EQ(onScreen[0]->op, "BitBlt");
  EXPECT_EQ(onScreen[0]->target, strip());
  EXPECT_EQ(onScreen[0]->rop, pf::SRCCOPY);
  EXPECT_FALSE(onScreen[0]->sourceIsWindow);
}

TEST_F(StripPainting, DotsAreLaidOverTheTextInEveryFrame) {
  const std::vector<pf::DrawOp> ops = TickAndRecord();
  const auto text = std::find_if(ops.begin(), ops.end(),
                                 [](const pf::DrawOp& op) { return op.op == "ExtTextOutW"; });
  const auto dots = std::find_if(ops.begin(), ops.end(), [](const pf::DrawOp& op) {
    return op.op == "BitBlt" && op.rop == pf::ROP_DSPDXAX;
  });
  const auto copy = std::find_if(ops.begin(), ops.end(), [](const pf::DrawOp& op) {
    return op.op == "BitBlt" && op.rop == pf::SRCCOPY;
  });
  ASSERT_NE(text, ops.end());
  ASSERT_NE(dots, ops.end());
  ASSERT_NE(copy, ops.end());
  EXPECT_LT(text, dots);
  EXPECT_LT(dots, copy);
  // The dots cover the whole area that the frame copies to the screen, in the dots' colour.
  EXPECT_EQ(dots->rect, copy->rect);
  EXPECT_EQ(dots->brushColor, pf::Rgb(91, 0, 0));
  EXPECT_EQ(text->color, pf::Rgb(255, 0, 0));
  ASSERT_TRUE(text->optionRect.has_value());
  EXPECT_GE(text->optionRect->left, 0);
  EXPECT_LE(text->optionRect->right, 440);
}

TEST_F(StripPainting, TheDotMaskIsMadeOnce) {
  banner.Ticks(3);
  wm.ClearDrawLog();
  banner.Ticks(50);
  for (const pf::DrawOp& op : wm.DrawLog()) {
    EXPECT_NE(op.op, "DrawTextW") << "the dots were drawn again";
  }
}

TEST_F(StripPainting, ATickOfAHugeTextDrawsOnlyWhatIsInView) {
  W().编辑框1.SetText(Repeat(u"x", 100000));
  const std::vector<pf::DrawOp> ops = TickAndRecord();
  std::size_t drawn = 0;
  for (const pf::DrawOp& op : ops) {
    if (op.op == "ExtTextOutW") {
      drawn += op.text.size();
    }
  }
  EXPECT_GT(drawn, 0U);
  EXPECT_LE(drawn, 20U);  // 440 pixels of 32-pixel glyphs, and a glyph on each side
}

TEST_F(StripPainting, LeavesNoGdiObjectsBehindPerFrame) {
  banner.Ticks(5);
  const std::size_t objects = wm.LiveGdiObjectCount();
  const std::size_t dcs = wm.LiveDcCount();
  banner.Ticks(200);
  W().编辑框1.SetText(u"again");
  banner.Ticks(200);
  EXPECT_EQ(wm.LiveGdiObjectCount(), objects);
  EXPECT_EQ(wm.LiveDcCount(), dcs);
}

}  // namespace
}  // namespace ledbanner::testing
