// The picture box: a solid-colour container that paints itself and its children as one picture.
//
// Its children (edit boxes, labels, transparent labels) do not paint on the screen themselves.
// Each frame is composed in an off-screen bitmap, bottom child first, and copied to the screen in
// one step, so no frame ever shows a child without the transparent glyphs that lie over it. What
// does not change between frames is cached: the glyph mask of each transparent label and the
// glyph advances of each edit box's text, so that the cost of a frame does not grow with the
// length of a text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "toolkit/form.h"

namespace ledbanner::toolkit {

class PictureBox : public Control {
 public:
  using Control::Control;
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;
  PictureBox(PictureBox&&) = delete;
  PictureBox& operator=(PictureBox&&) = delete;
  ~PictureBox() override;

  static constexpr std::u16string_view kClassName = u"LEDBanner.PictureBox";

  // A child moved or changed size: repaint where it was and where it is (client coordinates),
  // at once while the box is visible.
  void ChildAreaChanged(const platform::Rect& before, const platform::Rect& after);
  // A child's text or looks changed: its cached layout is stale.
  void ChildContentChanged(const Control& child);

 protected:
  void Create(platform::Hwnd parent) override;
  platform::LResult OnMessage(platform::UInt message, platform::WParam wParam,
                              platform::LParam lParam) override;

 private:
  struct TextLayout {
    platform::Hwnd owner = 0;
    bool stale = true;
    std::u16string text;
    std::vector<int> extents;  // extents[i]: width of the first i + 1 units
    UniqueGdiObject background;
  };
  // The glyphs of a transparent label as a monochrome mask (1 where a glyph is), made once.
  struct GlyphMask {
    platform::Hwnd owner = 0;
    bool stale = true;
    int width = 0;
    int height = 0;
    UniqueMemoryDc dc;
    UniqueGdiObject bitmap;
    platform::Hgdiobj originalBitmap = 0;
    UniqueGdiObject brush;  // the glyph colour
  };

  void Paint();
  // Composes the frame's area in the off-screen bitmap; false when there is no bitmap for it.
  bool ComposeFrame(const platform::Rect& area);
  void EnsureBackBuffer();
  void ComposeChild(const Control& child, const platform::Rect& area);
  void DrawEditText(const Control& edit, const platform::Rect& rect, const platform::Rect& area);
  void DrawLabel(const Control& label, const platform::Rect& rect, const platform::Rect& area);
  void DrawGlyphMask(const Control& label, const platform::Rect& rect, const platform::Rect& area);
  TextLayout& LayoutFor(const Control& edit);
  GlyphMask& MaskFor(const Control& label);
  void DrawWrapped(platform::Hdc dc, std::u16string_view text, const platform::Rect& area);
  void ReleaseMask(GlyphMask& mask);
  void ReleaseBackBuffer();

  UniqueMemoryDc backDc_;
  UniqueGdiObject backBitmap_;
  platform::Hgdiobj originalBackBitmap_ = 0;
  int backWidth_ = 0;
  int backHeight_ = 0;
  std::vector<TextLayout> layouts_;
  std::vector<GlyphMask> masks_;
  std::vector<platform::Hwnd> childOrder_;  // reused on every frame
};

}  // namespace ledbanner::toolkit
