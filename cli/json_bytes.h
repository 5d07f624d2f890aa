// The bytes a JSON string holds as they are, found eight at a time: the batch reader copies such runs of a text in
// one piece and the writers copy them unescaped.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorix {

// 0x20 to 0x7E except '"' and '\\'; a table, for the bytes behind a text's last whole chunk of eight.
inline constexpr std::array<bool, 256> kPlainJsonBytes = [] {
  std::array<bool, 256> plain{};
  for (std::size_t byte = 0x20; byte <= 0x7E; ++byte) plain[byte] = byte != '"' && byte != '\\';
  return plain;
}();

// The high bit of each byte of chunk that kPlainJsonBytes refuses, and perhaps of bytes behind the first such one. A
// byte below 0x20 borrows when 0x20 is taken away, 0x7F carries into the high bit when one is added, a byte from 0x80
// up has that bit already, and a quote or backslash becomes zero under the xor; a borrow or carry only starts at a
// byte that fails, so nothing is missed, and the lowest bit set is the first byte refused.
constexpr std::uint64_t refusedJsonBytes(std::uint64_t chunk) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const auto zeros = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
  const std::uint64_t belowSpace = (chunk - 0x20 * kOnes) & ~chunk;
  return ((belowSpace | (chunk + kOnes) | chunk) & kHighs) | zeros(chunk ^ ('"' * kOnes)) |
         zeros(chunk ^ ('\\' * kOnes));
}

// Whether kPlainJsonBytes holds for each of the eight bytes of chunk.
constexpr bool eightPlainJsonBytes(std::uint64_t chunk) { return refusedJsonBytes(chunk) == 0; }

// The length of text's leading run of plain bytes. Runs between the escapes of a barcode text are short, so the
// first refused byte of a chunk is read off its bits rather than found byte by byte.
inline std::size_t plainJsonPrefix(std::string_view text) {
  std::size_t at = 0;
  for (std::uint64_t chunk = 0; text.size() - at >= 8; at += 8) {
    std::memcpy(&chunk, text.data() + at, 8);
    if (const std::uint64_t refused = refusedJsonBytes(chunk); refused != 0) {
      if constexpr (std::endian::native == std::endian::little)
        return at + static_cast<std::size_t>(std::countr_zero(refused) / 8);
      break;
    }
  }
  while (at < text.size() && kPlainJsonBytes[static_cast<unsigned char>(text[at])]) ++at;
  return at;
}

}  // namespace quorix
