#include "app/banner_window.h"

#include <array>
#include <string>

namespace ledbanner::app {

namespace {

using toolkit::Colour;
using toolkit::ControlDescription;
using toolkit::ControlKind;
using toolkit::FontDescription;

constexpr int kWindowWidth = 439;
constexpr int kWindowHeight = 129;
constexpr std::size_t kDotCount = 2750;

constexpr FontDescription kBannerFont{u"黑体", -64, 700, 134};
constexpr FontDescription kDotFont{u"黑体", -3, 400, 0};

constexpr Colour kBlack = Colour::Fixed(0, 0, 0);
constexpr Colour kRed = Colour::Fixed(255, 0, 0);
constexpr Colour kBlue = Colour::Fixed(0, 0, 255);
constexpr Colour kWhite = Colour::Fixed(255, 255, 255);
constexpr Colour kDarkRed = Colour::Fixed(128, 0, 0);
constexpr Colour kDotRed = Colour::Fixed(91, 0, 0);
constexpr Colour kFace = Colour::ButtonFace();
constexpr Colour kNone = Colour::None();

// 2750 dot glyphs, no spaces or line breaks: word wrapping breaks them at the strip's width.
const std::u16string& DotText() {
  static const std::u16string dots(kDotCount, u'\u25CF');
  return dots;
}

std::array<ControlDescription, 9> MakeControls() {
  // clang-format off
  return {{
    // name          kind                          parent     left  top  width height shown  enabled tabStop text                                            text colour background font        edge   timer ms
    {u"选择框1",   ControlKind::CheckBox,         {},        472,  112,  80,  24,  true,  true,  true,  u"置顶",                                         kBlack, kFace,    nullptr,    false, 0},
    {u"标签3",     ControlKind::Label,            {},         41,  104,  48,  24,  true,  true,  false, u"输入文字",                                     kRed,   kFace,    nullptr,    false, 0},
    {u"标签2",     ControlKind::Label,            {},         98,   82, 278,  16,  true,  true,  false, u"F1锁定 F2解除锁定 F3置顶/取消置顶 Esc退出程序", kBlue,  kFace,    nullptr,    false, 0},
    {u"编辑框1",   ControlKind::EditBox,          {},         96,  104, 272,  20,  true,  true,  true,  u"",                                             kBlack, kWhite,   nullptr,    true,  0},
    {u"透明标签1", ControlKind::TransparentLabel, u"图片框1",   0,    0, 440,  80,  true,  true,  false, DotText(),                                      kDotRed, kNone,   &kDotFont,  false, 0},
    {u"时钟1",     ControlKind::Timer,            {},         48,  160,  26,  26,  false, true,  false, u"",                                             kNone,  kNone,    nullptr,    false, 1},
    {u"图片框1",   ControlKind::PictureBox,       {},          0,    0, 440,  80,  true,  true,  false, u"",                                             kNone,  kDarkRed, nullptr,    false, 0},
    {u"标签1",     ControlKind::Label,            u"图片框1", 256,  296, 104,  64,  true,  false, false, u" ",                                            kRed,   kDarkRed, &kBannerFont, false, 0},
    {u"编辑框2",   ControlKind::EditBox,          u"图片框1", 440,    8, 104,  68,  true,  true,  false, u"666",                                          kRed,   kDarkRed, &kBannerFont, false, 0},
  }};
  // clang-format on
}

}  // namespace

const toolkit::WindowDescription& BannerWindowDescription() {
  static const std::array<ControlDescription, 9> controls = MakeControls();
  static const toolkit::WindowDescription window{
      u"LEDBanner.Window", u"", kWindowWidth, kWindowHeight, u"DEFAULT_ICON", kFace, controls};
  return window;
}

BannerWindow::BannerWindow(toolkit::Form& builtForm)
    : form(builtForm),
      选择框1(builtForm.Get<toolkit::CheckBox>(u"选择框1")),
      标签3(builtForm.Get<toolkit::Label>(u"标签3")),
      标签2(builtForm.Get<toolkit::Label>(u"标签2")),
      编辑框1(builtForm.Get<toolkit::EditBox>(u"编辑框1")),
      透明标签1(builtForm.Get<toolkit::TransparentLabel>(u"透明标签1")),
      时钟1(builtForm.Get<toolkit::Timer>(u"时钟1")),
      图片框1(builtForm.Get<toolkit::PictureBox>(u"图片框1")),
      标签1(builtForm.Get<toolkit::Label>(u"标签1")),
      编辑框2(builtForm.Get<toolkit::EditBox>(u"编辑框2")) {}

}  // namespace ledbanner::app
