// Small helpers on rectangles, packed message parameters and case-blind names.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/window_manager.h"

namespace ledbanner::platform::geometry {

inline bool IsEmpty(const Rect& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

inline Rect Intersect(const Rect& a, const Rect& b) {
  const Rect result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
  return IsEmpty(result) ? Rect{} : result;
}

inline Rect Union(const Rect& a, const Rect& b) {
  if (IsEmpty(a)) {
    return b;
  }
  if (IsEmpty(b)) {
    return a;
  }
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

inline Rect Offset(const Rect& rect, int dx, int dy) {
  return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

inline bool Contains(const Rect& rect, Point point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

// MAKELPARAM of two 16-bit values, zero-extended as Windows does.
inline LParam MakeLParam(int low, int high) {
  return static_cast<LParam>((static_cast<std::uint32_t>(low) & 0xFFFFU) |
                             ((static_cast<std::uint32_t>(high) & 0xFFFFU) << 16));
}

inline WParam MakeWParam(std::uintptr_t low, std::uintptr_t high) {
  return (low & 0xFFFFU) | ((high & 0xFFFFU) << 16);
}

// GET_X_LPARAM / GET_Y_LPARAM: the halves sign-extended.
inline Point PointFromLParam(LParam lParam) {
  const auto bits = static_cast<std::uint32_t>(lParam);
  return {static_cast<std::int16_t>(bits & 0xFFFFU), static_cast<std::int16_t>(bits >> 16)};
}

template <typename Char>
Char FoldCase(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

// Class names (and FindWindow titles) compare without regard to ASCII case.
template <typename Char>
bool EqualsIgnoringCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](Char x, Char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

}  // namespace ledbanner::platform::geometry
