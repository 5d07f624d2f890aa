// The character classes of the whole library as bits of one table built when compiling: every predicate of the
// text utilities and every scanner of the decoders asks this table, so a class is written down once.
#pragma once

#include <array>
#include <cstdint>

namespace quorix {

using CharClass = std::uint32_t;

// clang-format off
inline constexpr CharClass kClassDigit = 1U << 0;             // "0" to "9"
inline constexpr CharClass kClassUpper = 1U << 1;             // "A" to "Z"
inline constexpr CharClass kClassLetter = 1U << 2;            // ASCII letters of either case
inline constexpr CharClass kClassSpace = 1U << 3;             // bytes 9 to 13 and 32
inline constexpr CharClass kClassBlank = 1U << 4;             // whitespace and NUL
inline constexpr CharClass kClassPrintable = 1U << 5;         // 32 to 126
inline constexpr CharClass kClassGraphic = 1U << 6;           // 33 to 125
inline constexpr CharClass kClassCode = 1U << 7;              // letters, digits, "_"
inline constexpr CharClass kClassId = 1U << 8;                // letters, digits, "_-"
inline constexpr CharClass kClassWord = 1U << 9;              // letters, digits, "_-/\"
inline constexpr CharClass kClassToken = 1U << 10;            // letters, digits, "_-./'\"
inline constexpr CharClass kClassCity = 1U << 11;             // tokens and whitespace
inline constexpr CharClass kClassName = 1U << 12;             // letters, digits, whitespace, "_',-./$\"
inline constexpr CharClass kClassAddress = 1U << 13;          // names and "#"
inline constexpr CharClass kClassStreet = 1U << 14;           // letters, digits, whitespace, "_#$,-"
inline constexpr CharClass kClassUpperOrSpace = 1U << 15;     // capitals and whitespace
inline constexpr CharClass kClassDigitOrSpace = 1U << 16;     // digits and whitespace
inline constexpr CharClass kClassCodeOrSpace = 1U << 17;      // letters, digits, "_", whitespace
// clang-format on

namespace char_classes_detail {

constexpr bool oneOf(int c, const char* set) {
  for (; *set != '\0'; ++set)
    if (static_cast<unsigned char>(*set) == c) return true;
  return false;
}

constexpr CharClass classesOf(int c) {
  const bool digit = c >= '0' && c <= '9';
  const bool upper = c >= 'A' && c <= 'Z';
  const bool letter = upper || (c >= 'a' && c <= 'z');
  const bool alnum = letter || digit;
  const bool space = c == ' ' || (c >= '\t' && c <= '\r');
  CharClass bits = 0;
  const auto put = [&bits](bool member, CharClass bit) { bits |= member ? bit : 0U; };
  put(digit, kClassDigit);
  put(upper, kClassUpper);
  put(letter, kClassLetter);
  put(space, kClassSpace);
  put(space || c == 0, kClassBlank);
  put(c >= 32 && c <= 126, kClassPrintable);
  put(c >= 33 && c <= 125, kClassGraphic);
  put(alnum || c == '_', kClassCode);
  put(alnum || oneOf(c, "_-"), kClassId);
  put(alnum || oneOf(c, "_-/\\"), kClassWord);
  put(alnum || oneOf(c, "_-./'\\"), kClassToken);
  put(alnum || space || oneOf(c, "_-./'\\"), kClassCity);
  put(alnum || space || oneOf(c, "_',-./$\\"), kClassName);
  put(alnum || space || oneOf(c, "_',-./#$\\"), kClassAddress);
  put(alnum || space || oneOf(c, "_#$,-"), kClassStreet);
  put(upper || space, kClassUpperOrSpace);
  put(digit || space, kClassDigitOrSpace);
  put(alnum || space || c == '_', kClassCodeOrSpace);
  return bits;
}

// Readers hand over raw bytes; those from 128 up belong to no class.
constexpr std::array<CharClass, 256> makeTable() {
  std::array<CharClass, 256> table{};
  for (int c = 0; c < 128; ++c) table[static_cast<std::size_t>(c)] = classesOf(c);
  return table;
}

inline constexpr std::array<CharClass, 256> kTable = makeTable();
static_assert(kTable['A'] != 0 && kTable[0x80] == 0 && kTable[0xFF] == 0 && (kTable['\0'] & kClassBlank) != 0 &&
              (kTable['$'] & (kClassName | kClassStreet)) == (kClassName | kClassStreet) &&
              (kTable['~'] & (kClassPrintable | kClassGraphic)) == kClassPrintable);

}  // namespace char_classes_detail

// Whether c belongs to any of the classes in mask.
[[nodiscard]] constexpr bool inClass(char c, CharClass mask) {
  return (char_classes_detail::kTable[static_cast<unsigned char>(c)] & mask) != 0;
}

}  // namespace quorix
