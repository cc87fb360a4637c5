#include "marquee/marquee.h"

#include "marquee/text_length.h"

namespace ledbanner::marquee {

namespace {
// a < b for reals: holds only when the difference is below the tolerance.
bool Less(double a, double b) { return a - b < kWrapTolerance; }
}  // namespace

void InputEdited(const app::BannerWindow& banner) {
  {
    const std::u16string text = banner.编辑框1.Text();
    banner.编辑框2.SetText(text);
  }
  std::size_t bytes = 0;
  {
    const std::u16string shown = banner.编辑框2.Text();
    bytes = GbkByteLength(shown);
  }
  const int points = banner.编辑框2.FontSizePoints();
  const double width = static_cast<double>(points) * static_cast<double>(bytes) * kWidthFactor;
  // Saturate before the conversion: the toolkit caps a width at 32627 anyway, and a huge paste
  // must not overflow the integer.
  const int pixels =
      width >= static_cast<double>(toolkit::kMaxSize) ? toolkit::kMaxSize : static_cast<int>(width);
  banner.编辑框2.SetWidth(pixels);
}

void ScrollStep(const app::BannerWindow& banner) {
  toolkit::EditBox& scroller = banner.编辑框2;
  const int before = scroller.Left();
  scroller.SetLeft(static_cast<int>(static_cast<double>(before) - kStep));
  const double threshold = 0.0 - static_cast<double>(scroller.Width());
  const int after = scroller.Left();
  // A scroller at the width limit stops at the left limit before its right edge passes the
  // strip's left edge; once a move no longer takes it the whole step, it has left the strip.
  const bool stuck = after > before - static_cast<int>(kStep);
  if (Less(static_cast<double>(after), threshold) || stuck) {
    scroller.SetLeft(banner.图片框1.Width());
  }
}

}  // namespace ledbanner::marquee
