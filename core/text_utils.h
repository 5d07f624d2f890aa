// Text utilities shared by decoders and derivations: trims, tokenisers, run scanners, compares, bounded copies into
// caller buffers, decimal formatting, date arithmetic and the character predicates. Nothing here allocates.
#pragma once

#include <quorix/status.h>

#include <cstddef>
#include <cstdint>

#include "core/char_classes.h"
#include "core/field_record.h"

namespace quorix {

// A set of bytes as 256 bits, so that testing a byte costs the same whatever the set's size. A loop that tests many
// bytes builds one; a fixed set that many calls use is built when compiling.
class CharSet {
 public:
  constexpr explicit CharSet(const char* set) {
    for (; set != nullptr && *set != '\0'; ++set) bits_[index(*set)] |= bit(*set);
  }
  [[nodiscard]] constexpr bool has(char c) const { return (bits_[index(c)] & bit(c)) != 0; }

 private:
  static constexpr std::size_t index(char c) { return static_cast<unsigned char>(c) >> 6U; }
  static constexpr std::uint64_t bit(char c) { return std::uint64_t{1} << (static_cast<unsigned char>(c) & 63U); }
  std::uint64_t bits_[4] = {};
};

// Trimming and advancing change the span in place; a null or empty span, set or predicate leaves it alone.
void trimLeftChars(TextSpan* span, const char* set);
void trimRightChars(TextSpan* span, const char* set);
void trimChars(TextSpan* span, const char* set);
void trimChars(TextSpan* span, const CharSet& set);
void trimLeftChars(TextSpan* span, const CharSet& set);
void trimLeftIf(TextSpan* span, CharPredicate predicate);
void trimRightIf(TextSpan* span, CharPredicate predicate);
void trimIf(TextSpan* span, CharPredicate predicate);
// Trims the set from both ends of buffer[0, length) and moves the rest to the start; returns the new length.
std::int32_t trimBufferChars(char* buffer, std::int32_t length, const char* set);
// Drops n bytes from the front; a span of n bytes or fewer becomes empty at its last byte.
void advanceSpan(TextSpan* span, std::int32_t n);

// The bytes isBlank accepts, and a trim of them from both ends, written inline for the loops that test every byte
// of every value (stored barcode elements, card fields, the wedge reader's cuts).
constexpr bool isBlankByte(char c) { return inClass(c, kClassBlank); }
inline void trimBlanks(TextSpan& span) {
  if (span.data == nullptr) return;
  while (span.length > 0 && isBlankByte(span.data[0])) {
    ++span.data;
    --span.length;
  }
  while (span.length > 0 && isBlankByte(span.data[span.length - 1])) --span.length;
}

// Tokenising.
void nextToken(TextSpan source, TextSpan* token, TextSpan* rest, const char* delimiters, bool skipLeading);
std::int32_t splitTokens(TextSpan source, TextSpan* out, std::int32_t maxCount, const char* delimiters,
                         std::int32_t flags);
std::int32_t splitTokens(TextSpan source, TextSpan* out, std::int32_t maxCount, const CharSet& delimiters,
                         std::int32_t flags);

// Scanning with predicates: 1 and the run when found, else 0.
std::int32_t leadingRunIf(TextSpan source, CharPredicate predicate, std::int32_t minLen, std::int32_t maxLen,
                          TextSpan* run, TextSpan* rest);
std::int32_t findRunIf(TextSpan source, CharPredicate predicate, std::int32_t minLen, std::int32_t maxLen,
                       TextSpan* run, TextSpan* rest);
// 1-based position of the first byte failing the predicate; 0 when none fails or the span is empty.
std::int32_t findFirstNotIf(const TextSpan* span, CharPredicate predicate);

// The same scans on a class of the character table, for the loops that test every byte of a track: the rules for
// runs that count are those of leadingRunIf and findRunIf.
[[nodiscard]] bool leadingRunOf(TextSpan source, CharClass mask, std::int32_t minLen, std::int32_t maxLen,
                                TextSpan* run, TextSpan* rest);
[[nodiscard]] bool findRunOf(TextSpan source, CharClass mask, std::int32_t minLen, std::int32_t maxLen, TextSpan* run,
                             TextSpan* rest);
// How many bytes at the front of data (at most maxLen) are in the class.
[[nodiscard]] std::int32_t classRun(const char* data, std::int32_t length, CharClass mask, std::int32_t maxLen);
// True when the span is filled and every byte is in the class.
[[nodiscard]] bool allInClass(TextSpan span, CharClass mask);
// Drops the bytes of the class from both ends.
void trimClass(TextSpan* span, CharClass mask);
// Drops the bytes in none of the classes of keep from both ends.
void trimOutsideClass(TextSpan* span, CharClass keep);

// Comparing and searching.
std::int32_t compareSpans(TextSpan a, TextSpan b, std::int32_t flags);
std::int32_t findSpan(TextSpan haystack, TextSpan needle);
std::int32_t removeSpansMatching(TextSpan* spans, std::int32_t count, const char* const* texts, std::int32_t textCount);

// Bounded copies: the Z forms end with a NUL and return bytes + 1, or 0 (buffer untouched) when nothing was written.
std::int32_t copyFilteredZ(char* buffer, std::int32_t size, TextSpan span, const char* excludeChars,
                           const char* squeezeChars, char replacement);
std::int32_t copyFilteredZ(char* buffer, std::int32_t size, TextSpan span, const CharSet& exclude,
                           const CharSet& squeeze, char replacement);
std::int32_t copyFilteredIfZ(char* buffer, std::int32_t size, TextSpan span, CharPredicate excludeIf,
                             CharPredicate squeezeIf, char replacement);
std::int32_t copyKeepingZ(char* buffer, std::int32_t size, TextSpan span, CharClass keep, CharClass squeeze,
                          char replacement);
std::int32_t copyTextZ(char* buffer, std::int32_t size, const char* text);
std::int32_t joinFiltered(char* buffer, std::int32_t size, const TextSpan* spans, std::int32_t spanCount,
                          char separator, const char* excludeChars, const char* squeezeChars, char replacement);
std::int32_t joinFilteredZ(char* buffer, std::int32_t size, const TextSpan* spans, std::int32_t spanCount,
                           char separator, const char* excludeChars, const char* squeezeChars, char replacement);

// The last c among the count bytes at text, or null.
[[nodiscard]] const void* lastByte(const char* text, char c, std::size_t count);

// Numbers and dates.
inline constexpr std::int32_t kFormatFixedWidth = 1;  // formatDecimal flag: pad to width with zeros
std::int32_t formatDecimal(std::int64_t value, char* buffer, std::int32_t width, std::int32_t flags);
[[nodiscard]] std::int32_t checkDateTime(const DateTime& date);
std::int32_t clampDay(std::int32_t year, std::int32_t month, std::int32_t day);
// Day 1 is 1 January 1000.
[[nodiscard]] Status dateFromDayNumber(std::int64_t dayNumber, DateTime* out);

// Character predicates: a byte arrives as a signed value, so bytes from 128 up are negative.
int isNotPrintable(signed char c);
int isGraphic(signed char c);
int isNotGraphic(signed char c);
int isBlank(signed char c);
int isAlnumUnderscoreOrSpace(signed char c);
int isNotIdChar(signed char c);
int isNotTokenChar(signed char c);
int isNameChar(signed char c);

}  // namespace quorix
