// Declarative descriptions of a window and its controls, from which the toolkit builds them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/window_manager.h"

namespace ledbanner::toolkit {

enum class ControlKind : std::uint8_t {
  PictureBox,        // solid-colour container that composes its children off screen
  Label,             // opaque one-line text
  TransparentLabel,  // glyphs only, over the siblings beneath it
  EditBox,           // single-line edit control
  CheckBox,          // automatic two-state check box
  Timer,             // invisible, periodic
};

// A colour as a layout gives it: none, the system's button face (read when painting), or fixed.
struct Colour {
  enum class Source : std::uint8_t { None, ButtonFace, Fixed };
  Source source = Source::None;
  platform::ColorRef rgb = 0;

  static constexpr Colour None() { return {}; }
  static constexpr Colour ButtonFace() { return {Source::ButtonFace, 0}; }
  static constexpr Colour Fixed(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return {Source::Fixed, platform::Rgb(r, g, b)};
  }
};

struct FontDescription {
  std::u16string_view face;
  std::int32_t height = 0;  // negative: character height in pixels
  std::int32_t weight = 0;
  // Recorded with the layout but replaced by DEFAULT_CHARSET when the font is made.
  std::uint8_t recordedCharSet = 0;
};

struct ControlDescription {
  std::u16string_view name;
  ControlKind kind = ControlKind::Label;
  std::u16string_view parent;  // empty: the window itself
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool shown = true;
  bool enabled = true;
  bool tabStop = false;
  std::u16string_view text;
  Colour textColour;
  Colour background;
  const FontDescription* font = nullptr;  // null: the default GUI font
  bool sunkenEdge = false;                // WS_EX_CLIENTEDGE
  unsigned timerIntervalMs = 0;
};

struct WindowDescription {
  std::u16string_view className;
  std::u16string_view title;
  int width = 0;
  int height = 0;
  std::u16string_view iconResource;
  Colour background;
  std::span<const ControlDescription> controls;  // in layout order
};

}  // namespace ledbanner::toolkit
