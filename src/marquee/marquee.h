// The scrolling banner text: sizing the scroller to its text, and moving it on every tick.
#pragma once

#include "app/banner_window.h"

namespace ledbanner::marquee {

inline constexpr double kWidthFactor = 0.67;
inline constexpr double kStep = 4.0;
inline constexpr double kWrapTolerance = -1e-7;

// The text-changed handler of the input box: the scroller takes its text and the estimated width
// of that text in the scroller's font.
void InputEdited(const app::BannerWindow& banner);

// The timer's handler: 4 pixels to the left, back to the strip's right edge once the whole text
// has passed its left edge.
void ScrollStep(const app::BannerWindow& banner);

}  // namespace ledbanner::marquee
