// Small rectangle helpers.
#pragma once

#include <algorithm>

#include "platform/window_manager.h"

namespace ledbanner::toolkit {

[[nodiscard]] constexpr bool IsEmpty(const platform::Rect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

[[nodiscard]] constexpr platform::Rect Intersect(const platform::Rect& a, const platform::Rect& b) {
  const platform::Rect r{std::max(a.left, b.left), std::max(a.top, b.top),
                         std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return IsEmpty(r) ? platform::Rect{} : r;
}

[[nodiscard]] constexpr platform::Rect Union(const platform::Rect& a, const platform::Rect& b) {
  if (IsEmpty(a)) {
    return b;
  }
  if (IsEmpty(b)) {
    return a;
  }
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

[[nodiscard]] constexpr int Clamp(int value, int low, int high) {
  return std::clamp(value, low, high);
}

// MAKELPARAM / MAKEWPARAM: two 16-bit halves.
[[nodiscard]] constexpr std::uintptr_t MakeLong(int low, int high) {
  return (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(low))) |
         (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(high)) << 16);
}
[[nodiscard]] constexpr int LowWord(std::uintptr_t value) {
  return static_cast<std::uint16_t>(value & 0xFFFF);
}
[[nodiscard]] constexpr int HighWord(std::uintptr_t value) {
  return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}
// GET_X_LPARAM / GET_Y_LPARAM: signed coordinates.
[[nodiscard]] constexpr int SignedLowWord(std::intptr_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}
[[nodiscard]] constexpr int SignedHighWord(std::intptr_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((value >> 16) & 0xFFFF));
}

}  // namespace ledbanner::toolkit
