// The length of a banner text as the system's ANSI code page, GBK, stores it.
#pragma once

#include <cstddef>
#include <string_view>

namespace ledbanner::marquee {

// Bytes the text takes in GBK (code page 936): 1 for ASCII and for the euro sign (0x80), 2 for
// every other character. A character that GBK cannot encode (an emoji, a lone surrogate) also
// counts 2: it is painted as one wide glyph. The count is of characters, so a surrogate pair is
// one character.
std::size_t GbkByteLength(std::u16string_view text);

}  // namespace ledbanner::marquee
