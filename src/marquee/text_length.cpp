#include "marquee/text_length.h"

namespace ledbanner::marquee {

namespace {
constexpr char16_t kEuroSign = u'\u20AC';
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
}  // namespace

std::size_t GbkByteLength(std::u16string_view text) {
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80 || unit == kEuroSign) {
      bytes += 1;
      continue;
    }
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
    }
    bytes += 2;
  }
  return bytes;
}

}  // namespace ledbanner::marquee
