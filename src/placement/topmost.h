// Always-on-top with the compact height, its state kept in the check box's caption.
#pragma once

#include "app/banner_window.h"

namespace ledbanner::placement {

inline constexpr int kCompactHeight = 79;
inline constexpr int kFullHeight = 129;
inline constexpr std::u16string_view kCaptionNormal = u"置顶";
inline constexpr std::u16string_view kCaptionOnTop = u"取消置顶";

// The check box's clicked handler, also run by F3.
void TopmostToggle(const app::BannerWindow& banner);

}  // namespace ledbanner::placement
