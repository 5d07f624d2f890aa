// Text utilities on spans and caller buffers. Every function works in place on caller memory, never allocates, and
// answers null or empty arguments with a neutral result instead of failing.
#include "core/text_utils.h"

#include <cstdint>
#include <cstring>

namespace quorix {
namespace {

bool usableSet(const char* set) { return set != nullptr && set[0] != '\0'; }

bool usableSpan(const TextSpan* span) { return span != nullptr && span->filled(); }

constexpr bool asciiLetter(signed char c) { return inClass(static_cast<char>(c), kClassLetter); }
constexpr signed char upperAscii(signed char c) {
  return c >= 'a' && c <= 'z' ? static_cast<signed char>(c - ('a' - 'A')) : c;
}

signed char byteAt(const char* p, std::int64_t i) { return static_cast<signed char>(p[i]); }

// Signed byte order: the sign of a - b, as the compares report it.
std::int32_t byteOrder(signed char a, signed char b) { return a > b ? 1 : (a < b ? -1 : 0); }

std::int32_t lengthOf(const TextSpan& span) { return span.length > 0 ? span.length : 0; }

// Whether span holds exactly the NUL-terminated text, read without measuring the text first: most texts differ at
// their first byte.
bool spanEqualsText(TextSpan span, const char* text) {
  if (span.data == nullptr || text == nullptr) return span.data == nullptr && text == nullptr;
  const std::int32_t length = lengthOf(span);
  for (std::int32_t i = 0; i < length; ++i)
    if (text[i] != span.data[i] || text[i] == '\0') return false;
  return text[length] == '\0';
}

// How many bytes at the front of text hold none of set (whose bits are bytes; set is null when only the bits are
// known). Most delimiter sets are one byte, found by memchr.
std::int32_t runWithout(const char* text, std::int32_t length, const char* set, const CharSet& bytes) {
  if (text == nullptr || length < 1) return 0;
  if (set != nullptr && set[0] == '\0') return length;
  if (set != nullptr && set[1] == '\0') {
    const void* hit = std::memchr(text, set[0], static_cast<std::size_t>(length));
    return hit == nullptr ? length : static_cast<std::int32_t>(static_cast<const char*>(hit) - text);
  }
  std::int32_t n = 0;
  while (n < length && !bytes.has(text[n])) ++n;
  return n;
}

// nextToken with its delimiters already made a set.
void nextTokenIn(TextSpan source, TextSpan* token, TextSpan* rest, const char* delimiters, const CharSet& bytes,
                 bool skipLeading) {
  TextSpan remaining{source.data, lengthOf(source)};
  if (skipLeading && remaining.data != nullptr) {
    while (remaining.length > 0 && bytes.has(remaining.data[0])) {
      ++remaining.data;
      --remaining.length;
    }
  }
  const std::int32_t n = runWithout(remaining.data, remaining.length, delimiters, bytes);
  if (token != nullptr) *token = TextSpan{remaining.data, n};
  const std::int32_t consumed = n < remaining.length ? n + 1 : n;  // the delimiter that ended the token goes too
  if (rest != nullptr)
    *rest = TextSpan{remaining.data == nullptr ? nullptr : remaining.data + consumed, remaining.length - consumed};
}

void trimLeftIn(TextSpan* span, const CharSet& bytes) {
  while (span->length > 0 && bytes.has(span->data[0])) {
    ++span->data;
    --span->length;
  }
}

void trimRightIn(TextSpan* span, const CharSet& bytes) {
  while (span->length > 0 && bytes.has(span->data[span->length - 1])) --span->length;
}

// splitTokens over delimiters given as text, as bits or both (delimiters null). One pass over the bytes: the names
// it cuts are short, and a call per token cost more than the bytes did. A single delimiter is found by memchr, which
// passes quickly over the long fields of the national ID texts.
std::int32_t splitTokensIn(TextSpan source, TextSpan* out, std::int32_t maxCount, const char* delimiters,
                           const CharSet& bytes, std::int32_t flags) {
  if (!source.filled() || out == nullptr || maxCount <= 0) return 0;
  const bool skipEmpty = (flags & 1) != 0;
  const bool oneByte = delimiters != nullptr && delimiters[0] != '\0' && delimiters[1] == '\0';
  std::int32_t count = 0;
  const char* at = source.data;
  const char* const end = source.data + source.length;
  while (count < maxCount && at < end) {
    if (skipEmpty) {
      while (at < end && bytes.has(*at)) ++at;
      if (at == end) break;
    }
    const char* const start = at;
    if (oneByte) {
      const void* hit = std::memchr(at, delimiters[0], static_cast<std::size_t>(end - at));
      at = hit != nullptr ? static_cast<const char*>(hit) : end;
    } else {
      while (at < end && !bytes.has(*at)) ++at;
    }
    out[count++] = TextSpan{start, static_cast<std::int32_t>(at - start)};
    if (at < end) ++at;  // the delimiter that ended the token goes with it
  }
  return count;
}

bool isLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int32_t monthLength(std::int64_t year, std::int32_t month) {
  constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::int32_t yearLength(std::int64_t year) { return isLeapYear(year) ? 366 : 365; }

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1 January 1000 to 1 January of year 1000 + y; correct for negative y too, as the divisions floor.
std::int64_t daysBeforeYear(std::int64_t y) {
  return 365 * y + floorDiv(y - 1, 4) - floorDiv(y - 1, 100) + floorDiv(y + 199, 400);
}

// The largest day number whose year still fits the int32 year of a DateTime, with a wide margin.
constexpr std::int64_t kMaxDayNumber = 365242500000;

// Runs shared by all scanners: the run of bytes passing the test at the start of data, cut at maxLen.
template <typename Test>
std::int32_t runLength(const char* data, std::int32_t length, Test test, std::int32_t maxLen) {
  const std::int32_t limit = length < maxLen ? length : maxLen;
  std::int32_t n = 0;
  while (n < limit && test(data[n])) ++n;
  return n;
}

// A run that ends the text counts whatever its length, as long as it holds a byte; so an empty run never counts.
bool runCounts(std::int32_t run, std::int32_t remaining, std::int32_t minLen, std::int32_t maxLen) {
  if (run < 1) return false;
  return run == remaining || run == maxLen || run >= minLen;
}

void storeRun(TextSpan source, std::int32_t start, std::int32_t run, TextSpan* runOut, TextSpan* restOut) {
  if (runOut != nullptr) *runOut = TextSpan{source.data + start, run};
  if (restOut != nullptr) *restOut = TextSpan{source.data + start + run, source.length - start - run};
}

void storeNotFound(TextSpan source, TextSpan* runOut, TextSpan* restOut) {
  if (runOut != nullptr) *runOut = TextSpan{source.data, 0};
  if (restOut != nullptr) *restOut = source;
}

auto predicateTest(CharPredicate predicate) {
  return [predicate](char c) { return predicate(static_cast<signed char>(c)) != 0; };
}

auto classTest(CharClass mask) {
  return [mask](char c) { return inClass(c, mask); };
}

template <typename Test>
bool leadingRun(TextSpan source, Test test, std::int32_t minLen, std::int32_t maxLen, TextSpan* run, TextSpan* rest) {
  if (!source.filled() || minLen < 1 || maxLen < 1) return false;
  const std::int32_t n = runLength(source.data, source.length, test, maxLen);
  if (!runCounts(n, source.length, minLen, maxLen)) {
    storeNotFound(source, run, rest);
    return false;
  }
  storeRun(source, 0, n, run, rest);
  return true;
}

template <typename Test>
bool findRun(TextSpan source, Test test, std::int32_t minLen, std::int32_t maxLen, TextSpan* run, TextSpan* rest) {
  if (!source.filled() || minLen < 1 || maxLen < 1) return false;
  std::int32_t start = 0;
  while (start < source.length) {
    const std::int32_t remaining = source.length - start;
    const std::int32_t n = runLength(source.data + start, remaining, test, maxLen);
    if (runCounts(n, remaining, minLen, maxLen)) {
      storeRun(source, start, n, run, rest);
      return true;
    }
    start += n > 0 ? n : 1;  // a short run is skipped here, the byte that ended it on the next turn
  }
  storeNotFound(source, run, rest);
  return false;
}

// Ends a buffer writer's text: a NUL behind the bytes, and bytes + 1 as the result, or 0 with the buffer untouched.
std::int32_t endText(char* buffer, std::int32_t written) {
  if (written < 1) return 0;
  buffer[written] = '\0';
  return written + 1;
}

template <typename Copy>
std::int32_t joinSpans(char* buffer, std::int32_t size, const TextSpan* spans, std::int32_t spanCount, char separator,
                       Copy copy) {
  if (buffer == nullptr || size < 1 || spans == nullptr) return 0;
  std::int32_t written = 0;
  for (std::int32_t i = 0; i < spanCount && written < size; ++i) {
    if (!spans[i].filled()) continue;
    if (written > 0) {
      buffer[written++] = separator;
      if (written == size) break;
    }
    written += copy(buffer + written, size - written, spans[i]);
  }
  return written;
}

}  // namespace

// ---- Trimming and advancing ----

void trimLeftChars(TextSpan* span, const char* set) {
  if (usableSpan(span) && usableSet(set)) trimLeftIn(span, CharSet(set));
}

void trimRightChars(TextSpan* span, const char* set) {
  if (usableSpan(span) && usableSet(set)) trimRightIn(span, CharSet(set));
}

void trimChars(TextSpan* span, const char* set) {
  if (!usableSpan(span) || !usableSet(set)) return;
  const CharSet bytes(set);
  trimLeftIn(span, bytes);
  trimRightIn(span, bytes);
}

void trimChars(TextSpan* span, const CharSet& set) {
  if (!usableSpan(span)) return;
  trimLeftIn(span, set);
  trimRightIn(span, set);
}

void trimLeftChars(TextSpan* span, const CharSet& set) {
  if (usableSpan(span)) trimLeftIn(span, set);
}

void trimLeftIf(TextSpan* span, CharPredicate predicate) {
  if (!usableSpan(span) || predicate == nullptr) return;
  while (span->length > 0 && predicate(byteAt(span->data, 0)) != 0) {
    ++span->data;
    --span->length;
  }
}

void trimRightIf(TextSpan* span, CharPredicate predicate) {
  if (!usableSpan(span) || predicate == nullptr) return;
  while (span->length > 0 && predicate(byteAt(span->data, span->length - 1)) != 0) --span->length;
}

void trimIf(TextSpan* span, CharPredicate predicate) {
  trimLeftIf(span, predicate);
  trimRightIf(span, predicate);
}

std::int32_t trimBufferChars(char* buffer, std::int32_t length, const char* set) {
  if (buffer == nullptr || length < 1 || set == nullptr) return length;
  TextSpan kept{buffer, length};
  trimChars(&kept, set);
  if (kept.length > 0 && kept.data != buffer) std::memmove(buffer, kept.data, static_cast<std::size_t>(kept.length));
  return kept.length;
}

void advanceSpan(TextSpan* span, std::int32_t n) {
  if (!usableSpan(span) || n < 1) return;
  if (span->length > n) {
    span->data += n;
    span->length -= n;
  } else {
    span->data += span->length - 1;
    span->length = 0;
  }
}

// ---- Tokenising ----

void nextToken(TextSpan source, TextSpan* token, TextSpan* rest, const char* delimiters, bool skipLeading) {
  nextTokenIn(source, token, rest, delimiters, CharSet(delimiters), skipLeading);
}

std::int32_t splitTokens(TextSpan source, TextSpan* out, std::int32_t maxCount, const char* delimiters,
                         std::int32_t flags) {
  return splitTokensIn(source, out, maxCount, delimiters, CharSet(delimiters), flags);
}

std::int32_t splitTokens(TextSpan source, TextSpan* out, std::int32_t maxCount, const CharSet& delimiters,
                         std::int32_t flags) {
  return splitTokensIn(source, out, maxCount, nullptr, delimiters, flags);
}

// ---- Scanning with predicates ----

std::int32_t leadingRunIf(TextSpan source, CharPredicate predicate, std::int32_t minLen, std::int32_t maxLen,
                          TextSpan* run, TextSpan* rest) {
  if (predicate == nullptr) return 0;
  return leadingRun(source, predicateTest(predicate), minLen, maxLen, run, rest) ? 1 : 0;
}

std::int32_t findRunIf(TextSpan source, CharPredicate predicate, std::int32_t minLen, std::int32_t maxLen,
                       TextSpan* run, TextSpan* rest) {
  if (predicate == nullptr) return 0;
  return findRun(source, predicateTest(predicate), minLen, maxLen, run, rest) ? 1 : 0;
}

bool leadingRunOf(TextSpan source, CharClass mask, std::int32_t minLen, std::int32_t maxLen, TextSpan* run,
                  TextSpan* rest) {
  return leadingRun(source, classTest(mask), minLen, maxLen, run, rest);
}

bool findRunOf(TextSpan source, CharClass mask, std::int32_t minLen, std::int32_t maxLen, TextSpan* run,
               TextSpan* rest) {
  return findRun(source, classTest(mask), minLen, maxLen, run, rest);
}

std::int32_t classRun(const char* data, std::int32_t length, CharClass mask, std::int32_t maxLen) {
  return data == nullptr ? 0 : runLength(data, length, classTest(mask), maxLen);
}

bool allInClass(TextSpan span, CharClass mask) {
  return span.filled() && classRun(span.data, span.length, mask, span.length) == span.length;
}

namespace {

// Drops the bytes that drop says go from both ends of a usable span.
template <typename Drop>
void trimEnds(TextSpan* span, Drop drop) {
  if (!usableSpan(span)) return;
  while (span->length > 0 && drop(span->data[0])) {
    ++span->data;
    --span->length;
  }
  while (span->length > 0 && drop(span->data[span->length - 1])) --span->length;
}

}  // namespace

void trimClass(TextSpan* span, CharClass mask) {
  trimEnds(span, [mask](char c) { return inClass(c, mask); });
}

void trimOutsideClass(TextSpan* span, CharClass keep) {
  trimEnds(span, [keep](char c) { return !inClass(c, keep); });
}

std::int32_t findFirstNotIf(const TextSpan* span, CharPredicate predicate) {
  if (span == nullptr || span->data == nullptr || predicate == nullptr) return -1;
  for (std::int32_t i = 0; i < span->length; ++i)
    if (predicate(byteAt(span->data, i)) == 0) return i + 1;
  return 0;
}

// ---- Comparing and searching ----

std::int32_t compareSpans(TextSpan a, TextSpan b, std::int32_t flags) {
  if (a.data == nullptr) return b.data != nullptr ? -1 : 0;
  if (b.data == nullptr) return 1;
  if (const std::int32_t difference = lengthOf(a) - lengthOf(b); difference != 0) return difference;
  const bool foldCase = (flags & 1) != 0;
  for (std::int32_t i = 0; i < lengthOf(a); ++i) {
    signed char x = byteAt(a.data, i);
    signed char y = byteAt(b.data, i);
    if (foldCase && asciiLetter(x) && asciiLetter(y)) {
      x = upperAscii(x);
      y = upperAscii(y);
    }
    if (const std::int32_t order = byteOrder(x, y); order != 0) return order;
  }
  return 0;
}

std::int32_t findSpan(TextSpan haystack, TextSpan needle) {
  if (!haystack.filled() || !needle.filled() || needle.length > haystack.length) return -1;
  // Candidates are the places of the needle's first byte; only those are compared in full.
  const std::int32_t last = haystack.length - needle.length;
  const auto rest = static_cast<std::size_t>(needle.length - 1);
  for (std::int32_t from = 0; from <= last;) {
    const void* hit = std::memchr(haystack.data + from, needle.data[0], static_cast<std::size_t>(last - from) + 1);
    if (hit == nullptr) return -1;
    const auto at = static_cast<std::int32_t>(static_cast<const char*>(hit) - haystack.data);
    if (std::memcmp(haystack.data + at + 1, needle.data + 1, rest) == 0) return at;
    from = at + 1;
  }
  return -1;
}

std::int32_t removeSpansMatching(TextSpan* spans, std::int32_t count, const char* const* texts,
                                 std::int32_t textCount) {
  if (spans == nullptr || count < 1 || textCount < 0) return 0;
  if (texts == nullptr) textCount = 0;
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    bool listed = false;
    for (std::int32_t t = 0; t < textCount && !listed; ++t) listed = spanEqualsText(spans[i], texts[t]);
    if (!listed) spans[kept++] = spans[i];
  }
  return kept;
}

// ---- Bounded copies into buffers ----

std::int32_t copyFilteredZ(char* buffer, std::int32_t size, TextSpan span, const char* excludeChars,
                           const char* squeezeChars, char replacement) {
  if (buffer == nullptr || size < 2) return 0;
  return endText(buffer, copyFiltered(buffer, size - 1, span, excludeChars, squeezeChars, replacement));
}

std::int32_t copyFilteredZ(char* buffer, std::int32_t size, TextSpan span, const CharSet& exclude,
                           const CharSet& squeeze, char replacement) {
  if (buffer == nullptr || size < 2) return 0;
  return endText(buffer, copyFiltered(buffer, size - 1, span, exclude, squeeze, replacement));
}

std::int32_t copyFilteredIfZ(char* buffer, std::int32_t size, TextSpan span, CharPredicate excludeIf,
                             CharPredicate squeezeIf, char replacement) {
  if (buffer == nullptr || size < 2) return 0;
  return endText(buffer, copyFilteredIf(buffer, size - 1, span, excludeIf, squeezeIf, replacement));
}

std::int32_t copyKeepingZ(char* buffer, std::int32_t size, TextSpan span, CharClass keep, CharClass squeeze,
                          char replacement) {
  if (buffer == nullptr || size < 2) return 0;
  return endText(buffer, copyKeeping(buffer, size - 1, span, keep, squeeze, replacement));
}

std::int32_t copyTextZ(char* buffer, std::int32_t size, const char* text) {
  if (buffer == nullptr || size < 2 || text == nullptr) return 0;
  std::int32_t n = 0;
  while (n < size - 1 && text[n] != '\0') ++n;
  if (n > 0) std::memcpy(buffer, text, static_cast<std::size_t>(n));
  return endText(buffer, n);
}

std::int32_t joinFiltered(char* buffer, std::int32_t size, const TextSpan* spans, std::int32_t spanCount,
                          char separator, const char* excludeChars, const char* squeezeChars, char replacement) {
  return joinSpans(buffer, size, spans, spanCount, separator, [&](char* place, std::int32_t room, TextSpan span) {
    return copyFiltered(place, room, span, excludeChars, squeezeChars, replacement);
  });
}

std::int32_t joinFilteredZ(char* buffer, std::int32_t size, const TextSpan* spans, std::int32_t spanCount,
                           char separator, const char* excludeChars, const char* squeezeChars, char replacement) {
  if (buffer == nullptr || size < 2) return 0;
  return endText(buffer,
                 joinFiltered(buffer, size - 1, spans, spanCount, separator, excludeChars, squeezeChars, replacement));
}

// ---- Numbers and dates ----

std::int32_t formatDecimal(std::int64_t value, char* buffer, std::int32_t width, std::int32_t flags) {
  if (buffer == nullptr || width < 1) return 0;
  const bool negative = value < 0;
  // The magnitude in unsigned arithmetic, so the most negative value has one too.
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[20];
  std::int32_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const std::int32_t needed = count + (negative ? 1 : 0);
  if (needed > width) return 0;
  const std::int32_t total = (flags & kFormatFixedWidth) != 0 ? width : needed;
  std::int32_t pos = 0;
  if (negative) buffer[pos++] = '-';
  for (std::int32_t pad = total - needed; pad > 0; --pad) buffer[pos++] = '0';
  while (count > 0) buffer[pos++] = digits[--count];
  return total;
}

std::int32_t checkDateTime(const DateTime& date) {
  const bool valid = date.year >= 1000 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
                     date.day <= 31 && date.hour >= 0 && date.hour <= 23 && date.minute >= 0 && date.minute <= 59 &&
                     date.second >= 0 && date.second <= 59;
  return valid ? 0 : -1;
}

std::int32_t clampDay(std::int32_t year, std::int32_t month, std::int32_t day) {
  if (month < 1 || month > 12) return day;
  if (day < 1) return 1;
  const std::int32_t last = monthLength(year, month);
  return day < last ? day : last;
}

Status dateFromDayNumber(std::int64_t dayNumber, DateTime* out) {
  if (out == nullptr) return kStatusBadArgument;
  // Far beyond any date a document carries, the year would no longer fit; such a number is refused.
  if (dayNumber > kMaxDayNumber || dayNumber < -kMaxDayNumber) return kStatusBadArgument;
  // The mean Gregorian year gives the year to within one; the day of the year then settles it exactly.
  const auto estimate = static_cast<std::int64_t>(static_cast<double>(dayNumber) / 365.2425);
  std::int64_t year = 1000 + estimate;
  std::int64_t day = dayNumber - daysBeforeYear(estimate);
  while (day < 1) day += yearLength(--year);
  while (day > yearLength(year)) day -= yearLength(year++);
  std::int32_t month = 1;
  while (day > monthLength(year, month)) day -= monthLength(year, month++);
  *out = DateTime{.year = static_cast<std::int32_t>(year),
                  .month = month,
                  .day = static_cast<std::int32_t>(day),
                  .hour = 0,
                  .minute = 0,
                  .second = 0};
  return kStatusOk;
}

// ---- Character predicates ----

namespace {
int in(signed char c, CharClass mask) { return inClass(static_cast<char>(c), mask) ? 1 : 0; }
}  // namespace

int isNotPrintable(signed char c) { return 1 - in(c, kClassPrintable); }
int isGraphic(signed char c) { return in(c, kClassGraphic); }
int isNotGraphic(signed char c) { return 1 - in(c, kClassGraphic); }
int isBlank(signed char c) { return in(c, kClassBlank); }
int isAlnumUnderscoreOrSpace(signed char c) { return in(c, kClassCodeOrSpace); }
int isNotIdChar(signed char c) { return 1 - in(c, kClassId); }
int isNotTokenChar(signed char c) { return 1 - in(c, kClassToken); }
int isNameChar(signed char c) { return in(c, kClassName); }

const void* lastByte(const char* text, char c, std::size_t count) {
#if defined(__GLIBC__)
  return memrchr(text, c, count);
#else
  while (count > 0)
    if (text[--count] == c) return text + count;
  return nullptr;
#endif
}

}  // namespace quorix
