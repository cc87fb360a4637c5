// The banner window: its layout, and its controls by name once it is built.
#pragma once

#include <string_view>

#include "toolkit/description.h"
#include "toolkit/form.h"
#include "toolkit/picture_box.h"

namespace ledbanner::app {

// The whole layout of the banner window, in layout order.
const toolkit::WindowDescription& BannerWindowDescription();

// The built window's controls, under their own names.
struct BannerWindow {
  explicit BannerWindow(toolkit::Form& builtForm);

  toolkit::Form& form;
  toolkit::CheckBox& 选择框1;
  toolkit::Label& 标签3;
  toolkit::Label& 标签2;
  toolkit::EditBox& 编辑框1;
  toolkit::TransparentLabel& 透明标签1;
  toolkit::Timer& 时钟1;
  toolkit::PictureBox& 图片框1;
  toolkit::Label& 标签1;
  toolkit::EditBox& 编辑框2;
};

}  // namespace ledbanner::app
