// The bytes a JSON string holds as they are, found eight at a time: the batch reader copies such runs of a text in
// one piece and the writers copy them unescaped.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorix {

// 0x20 to 0x7E except '"' and '\\'; a table, as runs between escapes are short and end byte by byte.
inline constexpr std::array<bool, 256> kPlainJsonBytes = [] {
  std::array<bool, 256> plain{};
  for (std::size_t byte = 0x20; byte <= 0x7E; ++byte) plain[byte] = byte != '"' && byte != '\\';
  return plain;
}();

// Whether kPlainJsonBytes holds for each of the eight bytes of chunk. A byte below 0x20 borrows when 0x20 is taken
// away, 0x7F carries into the high bit when one is added, a byte from 0x80 up has that bit already, and a quote or
// backslash becomes zero under the xor; a borrow or carry only starts at a byte that fails, so nothing is missed.
constexpr bool eightPlainJsonBytes(std::uint64_t chunk) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const auto hasZero = [](std::uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
  const std::uint64_t belowSpace = (chunk - 0x20 * kOnes) & ~chunk;
  return ((belowSpace | (chunk + kOnes) | chunk) & kHighs) == 0 && !hasZero(chunk ^ ('"' * kOnes)) &&
         !hasZero(chunk ^ ('\\' * kOnes));
}

// The length of text's leading run of plain bytes.
inline std::size_t plainJsonPrefix(std::string_view text) {
  std::size_t at = 0;
  for (std::uint64_t chunk = 0; text.size() - at >= 8; at += 8) {
    std::memcpy(&chunk, text.data() + at, 8);
    if (!eightPlainJsonBytes(chunk)) break;
  }
  while (at < text.size() && kPlainJsonBytes[static_cast<unsigned char>(text[at])]) ++at;
  return at;
}

}  // namespace quorix
