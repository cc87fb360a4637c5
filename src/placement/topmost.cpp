#include "placement/topmost.h"

namespace ledbanner::placement {

void TopmostToggle(const app::BannerWindow& banner) {
  if (banner.选择框1.Caption() == kCaptionNormal) {
    // Going compact, the window shrinks before it enters the topmost band.
    banner.form.SetHeight(kCompactHeight);
    banner.form.SetAlwaysOnTop(true);
    banner.选择框1.SetCaption(kCaptionOnTop);
    return;
  }
  if (banner.选择框1.Caption() == kCaptionOnTop) {
    // Going back, it leaves the topmost band before it grows.
    banner.form.SetAlwaysOnTop(false);
    banner.form.SetHeight(kFullHeight);
    banner.选择框1.SetCaption(kCaptionNormal);
  }
}

}  // namespace ledbanner::placement
