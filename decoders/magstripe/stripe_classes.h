// The character classes of the stripe hooks as bits of one table, and the scanners, trims and filtered store that
// the hooks run on it. A stripe decode tests every byte of its tracks several times over; a table lookup in line
// costs a fraction of a call through a predicate. Each class is the core predicate of the same name, byte for byte
// (the unit tests compare all 256 bytes), and each scanner keeps the core scanner's rules for runs that count.
#pragma once

#include <quorix/field_record.h>

#include <array>
#include <cstdint>

namespace quorix {

// clang-format off
inline constexpr std::uint32_t kClassCode = 1U << 0;           // isAlnumOrUnderscore
inline constexpr std::uint32_t kClassCity = 1U << 1;           // isCityChar
inline constexpr std::uint32_t kClassName = 1U << 2;           // isNameChar
inline constexpr std::uint32_t kClassAddress = 1U << 3;        // isAddressChar
inline constexpr std::uint32_t kClassStreet = 1U << 4;         // isStreetChar
inline constexpr std::uint32_t kClassToken = 1U << 5;          // isTokenChar
inline constexpr std::uint32_t kClassWord = 1U << 6;           // isWordChar
inline constexpr std::uint32_t kClassId = 1U << 7;             // isIdChar
inline constexpr std::uint32_t kClassBlank = 1U << 8;          // isBlank
inline constexpr std::uint32_t kClassSpace = 1U << 9;          // isStripeSpace
inline constexpr std::uint32_t kClassDigit = 1U << 10;         // isStripeDigit
inline constexpr std::uint32_t kClassLetter = 1U << 11;        // isStripeLetter
inline constexpr std::uint32_t kClassUpperOrSpace = 1U << 12;  // isUpperOrSpace
inline constexpr std::uint32_t kClassDigitOrSpace = 1U << 13;  // isDigitOrSpace
// The byte sets the hooks trim, as trimChars takes them.
inline constexpr std::uint32_t kSetCityTrim = 1U << 14;        // "-.'/\\ \t$^?"
inline constexpr std::uint32_t kSetAddressTrim = 1U << 15;     // "_-'\\/"
inline constexpr std::uint32_t kSetLineBreak = 1U << 16;       // "\r\n"
inline constexpr std::uint32_t kSetLineEdge = 1U << 17;        // "\r\n "
inline constexpr std::uint32_t kSetQuoteOrSpace = 1U << 18;    // " \""
inline constexpr std::uint32_t kSetCaret = 1U << 19;           // "^"
inline constexpr std::uint32_t kSetBlankSpace = 1U << 20;      // " "
inline constexpr std::uint32_t kSetTrack3Sentinel = 1U << 21;  // "%#+", the start sentinels of track 3
// clang-format on

namespace stripe_classes_detail {

constexpr bool oneOf(int c, const char* set) {
  for (; *set != '\0'; ++set)
    if (static_cast<unsigned char>(*set) == c) return true;
  return false;
}

constexpr std::uint32_t classesOf(int c) {
  const bool digit = c >= '0' && c <= '9';
  const bool upper = c >= 'A' && c <= 'Z';
  const bool letter = upper || (c >= 'a' && c <= 'z');
  const bool alnum = letter || digit;
  const bool space = c == ' ' || (c >= '\t' && c <= '\r');
  std::uint32_t bits = 0;
  const auto put = [&bits](bool member, std::uint32_t bit) { bits |= member ? bit : 0U; };
  put(alnum || c == '_', kClassCode);
  put(alnum || space || oneOf(c, "_-./'\\"), kClassCity);
  put(alnum || space || oneOf(c, "_',-./$\\"), kClassName);
  put(alnum || space || oneOf(c, "_',-./#$\\"), kClassAddress);
  put(alnum || space || oneOf(c, "_#$,-"), kClassStreet);
  put(alnum || oneOf(c, "_-./'\\"), kClassToken);
  put(alnum || oneOf(c, "_-/\\"), kClassWord);
  put(alnum || oneOf(c, "_-"), kClassId);
  put(space || c == 0, kClassBlank);
  put(space, kClassSpace);
  put(digit, kClassDigit);
  put(letter, kClassLetter);
  put(upper || space, kClassUpperOrSpace);
  put(digit || space, kClassDigitOrSpace);
  put(oneOf(c, "-.'/\\ \t$^?"), kSetCityTrim);
  put(oneOf(c, "_-'\\/"), kSetAddressTrim);
  put(oneOf(c, "\r\n"), kSetLineBreak);
  put(oneOf(c, "\r\n "), kSetLineEdge);
  put(oneOf(c, " \""), kSetQuoteOrSpace);
  put(c == '^', kSetCaret);
  put(c == ' ', kSetBlankSpace);
  put(oneOf(c, "%#+"), kSetTrack3Sentinel);
  return bits;
}

// Bytes from 128 up arrive at the predicates as negative values and belong to no class.
constexpr std::array<std::uint32_t, 256> makeTable() {
  std::array<std::uint32_t, 256> table{};
  for (int c = 0; c < 128; ++c) table[static_cast<std::size_t>(c)] = classesOf(c);
  return table;
}

inline constexpr std::array<std::uint32_t, 256> kTable = makeTable();
static_assert(kTable['A'] != 0 && kTable[0x80] == 0 && (kTable['\0'] & kClassBlank) != 0 &&
              (kTable['$'] & (kClassName | kClassStreet)) == (kClassName | kClassStreet));

}  // namespace stripe_classes_detail

// Whether c belongs to any of the classes in mask.
[[nodiscard]] inline bool inClass(char c, std::uint32_t mask) {
  return (stripe_classes_detail::kTable[static_cast<unsigned char>(c)] & mask) != 0;
}

// The class bits of one byte, for the tests.
[[nodiscard]] inline std::uint32_t stripeClassesOf(char c) {
  return stripe_classes_detail::kTable[static_cast<unsigned char>(c)];
}

// How many bytes at the front of data (at most maxLen) are in the class.
[[nodiscard]] inline std::int32_t classRun(const char* data, std::int32_t length, std::uint32_t mask,
                                           std::int32_t maxLen) {
  const std::int32_t limit = length < maxLen ? length : maxLen;
  std::int32_t n = 0;
  while (n < limit && inClass(data[n], mask)) ++n;
  return n;
}

// True when the span is filled and every byte is in the class (stripeAll).
[[nodiscard]] inline bool allInClass(TextSpan span, std::uint32_t mask) {
  if (!span.filled()) return false;
  for (std::int32_t i = 0; i < span.length; ++i)
    if (!inClass(span.data[i], mask)) return false;
  return true;
}

// leadingRunIf on a class: a run that ends the span counts whatever its length, as one of maxLen does.
[[nodiscard]] inline bool leadingRunOf(TextSpan source, std::uint32_t mask, std::int32_t minLen, std::int32_t maxLen,
                                       TextSpan* run, TextSpan* rest) {
  if (!source.filled()) return false;
  const std::int32_t n = classRun(source.data, source.length, mask, maxLen);
  if (n < 1 || (n != source.length && n != maxLen && n < minLen)) {
    if (run != nullptr) *run = TextSpan{source.data, 0};
    if (rest != nullptr) *rest = source;
    return false;
  }
  if (run != nullptr) *run = TextSpan{source.data, n};
  if (rest != nullptr) *rest = TextSpan{source.data + n, source.length - n};
  return true;
}

// findRunIf on a class: the first run that counts, a short run skipped and the byte that ended it with it.
[[nodiscard]] inline bool findRunOf(TextSpan source, std::uint32_t mask, std::int32_t minLen, std::int32_t maxLen,
                                    TextSpan* run, TextSpan* rest) {
  if (!source.filled()) return false;
  for (std::int32_t start = 0; start < source.length;) {
    const std::int32_t remaining = source.length - start;
    const std::int32_t n = classRun(source.data + start, remaining, mask, maxLen);
    if (n >= 1 && (n == remaining || n == maxLen || n >= minLen)) {
      if (run != nullptr) *run = TextSpan{source.data + start, n};
      if (rest != nullptr) *rest = TextSpan{source.data + start + n, remaining - n};
      return true;
    }
    start += n > 0 ? n : 1;
  }
  if (run != nullptr) *run = TextSpan{source.data, 0};
  if (rest != nullptr) *rest = source;
  return false;
}

// trimLeftChars / trimIf on a class; an empty span stays as it is.
inline void trimLeftClass(TextSpan* span, std::uint32_t mask) {
  if (!span->filled()) return;
  while (span->length > 0 && inClass(span->data[0], mask)) {
    ++span->data;
    --span->length;
  }
}

inline void trimRightClass(TextSpan* span, std::uint32_t mask) {
  if (!span->filled()) return;
  while (span->length > 0 && inClass(span->data[span->length - 1], mask)) --span->length;
}

inline void trimClass(TextSpan* span, std::uint32_t mask) {
  trimLeftClass(span, mask);
  trimRightClass(span, mask);
}

// Trims the bytes outside the class (trimIf with a "not" predicate).
inline void trimOutsideClass(TextSpan* span, std::uint32_t mask) {
  if (!span->filled()) return;
  while (span->length > 0 && !inClass(span->data[0], mask)) {
    ++span->data;
    --span->length;
  }
  while (span->length > 0 && !inClass(span->data[span->length - 1], mask)) --span->length;
}

// The filter of a slot setter: a byte outside keep becomes the replacement, and a squeezed byte equal to the one
// written before it is dropped. The same filter as the core predicates, for values too long to filter here.
struct StripeFilter {
  std::uint32_t keep;
  std::uint32_t squeeze;
  char replacement;
  CharPredicate excludeIf;
  CharPredicate squeezeIf;
};

// setSlotIf(record, slot, value, filter.excludeIf, filter.squeezeIf, filter.replacement). The filtered value is
// built here and stored as it stands, which gives the slot the bytes the setter's own filter would have written.
void storeFiltered(FieldRecord& record, std::int32_t slot, TextSpan value, const StripeFilter& filter);

// Stores value unfiltered; an empty value clears the slot.
void storePlain(FieldRecord& record, std::int32_t slot, TextSpan value);

// setSlotDate for a date that checkDateTime accepts (every part fits its width): the eight digits are formatted
// here and stored as they stand; nothing is written without room for all eight, as the setter does.
void storeCheckedDate(FieldRecord& record, std::int32_t slot, const DateTime& date);

}  // namespace quorix
