// Text utilities: trims, tokenisers, run scanners, compares, bounded copies and joins, decimal formatting, date
// arithmetic and the character predicates, with the bounds and neutral results callers rely on.
#include "core/text_utils.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {
namespace {

TextSpan span(std::string_view text) { return TextSpan{text.data(), static_cast<std::int32_t>(text.size())}; }
std::string str(TextSpan s) { return std::string(s.view()); }
int isDigitChar(signed char c) { return c >= '0' && c <= '9'; }
int isLetterA(signed char c) { return c == 'A'; }

TEST(TextTrim, CharsAndPredicatesFromEitherEnd) {
  struct Case {
    std::string_view text, set, left, right, both;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"  AB  ", " ", "AB  ", "  AB", "AB"},
      {"   ", " ", "", "", ""},
      {"-+A+-", "+-", "A+-", "-+A", "A"},
      {" AB ", "", " AB ", " AB ", " AB "},  // an empty set trims nothing
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.text) + "|" + std::string(c.set));
    const std::string set(c.set);
    TextSpan left = span(c.text), right = span(c.text), both = span(c.text);
    trimLeftChars(&left, set.c_str());
    trimRightChars(&right, set.c_str());
    trimChars(&both, set.c_str());
    EXPECT_EQ(str(left), c.left);
    EXPECT_EQ(str(right), c.right);
    EXPECT_EQ(str(both), c.both);
  }
  TextSpan blanks = span(std::string_view("\t\0 A B\r\n", 8));
  trimIf(&blanks, isBlank);
  EXPECT_EQ(str(blanks), "A B");
  TextSpan untouched = span(" A ");
  trimIf(&untouched, nullptr);
  trimChars(&untouched, nullptr);
  trimChars(nullptr, " ");
  EXPECT_EQ(str(untouched), " A ");
}

TEST(TextTrim, BufferIsTrimmedAndMovedToItsStart) {
  struct Case {
    std::string_view text;
    const char* set;
    std::string_view expected;
    std::int32_t length;
  };
  // clang-format off
  const Case kCases[] = {
      {"\r\n AB C \n", " \r\n", "AB C", 4},
      {" \n ", " \r\n", "", 0},
      {" AB", nullptr, " AB", 3},
      {"AB", "", "AB", 2},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    std::string buffer(c.text);
    const std::int32_t n = trimBufferChars(buffer.data(), static_cast<std::int32_t>(buffer.size()), c.set);
    EXPECT_EQ(n, c.length);
    EXPECT_EQ(buffer.substr(0, static_cast<std::size_t>(n)), c.expected);
  }
  EXPECT_EQ(trimBufferChars(nullptr, 5, " "), 5);
  char one[] = " ";
  EXPECT_EQ(trimBufferChars(one, 0, " "), 0);
}

TEST(TextTrim, AdvanceNeverLeavesTheSpan) {
  struct Case {
    std::int32_t n;
    std::string_view rest;
    std::ptrdiff_t dataOffset;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {0, "ABCD", 0},
      {-3, "ABCD", 0},
      {3, "D", 3},
      {4, "", 3},
      {99, "", 3},
  };
  // clang-format on
  const std::string_view text = "ABCD";
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.n);
    TextSpan s = span(text);
    advanceSpan(&s, c.n);
    EXPECT_EQ(str(s), c.rest);
    EXPECT_EQ(s.data - text.data(), c.dataOffset);  // an emptied span rests on the last byte, not past it
  }
  TextSpan empty = span("");
  advanceSpan(&empty, 1);
  EXPECT_EQ(empty.length, 0);
  EXPECT_EQ(empty.data, span("").data);
}

TEST(TextTokens, NextTokenConsumesItsDelimiter) {
  struct Case {
    std::string_view source;
    const char* delimiters;
    bool skipLeading;
    std::string_view token, rest;
  };
  // clang-format off
  const Case kCases[] = {
      {",,A,B", ",", true, "A", "B"},
      {",,A,B", ",", false, "", ",A,B"},
      {"AB", ",", false, "AB", ""},
      {"AB;C,D", ",;", false, "AB", "C,D"},
      {"A,B", "", false, "A,B", ""},
      {"A,B", nullptr, true, "A,B", ""},
      {",,,", ",", true, "", ""},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.source);
    TextSpan token{}, rest{};
    nextToken(span(c.source), &token, &rest, c.delimiters, c.skipLeading);
    EXPECT_EQ(str(token), c.token);
    EXPECT_EQ(str(rest), c.rest);
  }
}

TEST(TextTokens, SplitKeepsOrDropsEmptyTokens) {
  struct Case {
    std::string_view source;
    std::int32_t flags, maxCount;
    std::vector<std::string> tokens;
  };
  // clang-format off
  const Case kCases[] = {
      {"A,,B", 0, 8, {"A", "", "B"}},
      {"A,,B", 1, 8, {"A", "B"}},
      {"A,B,", 0, 8, {"A", "B"}},
      {",,,", 1, 8, {}},
      {"A,B,C,D", 0, 2, {"A", "B"}},
      {"A,B", 0, 0, {}},
      {"", 0, 8, {}},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.source) + " flags " + std::to_string(c.flags));
    std::array<TextSpan, 8> out{};
    const std::int32_t count = splitTokens(span(c.source), out.data(), c.maxCount, ",", c.flags);
    std::vector<std::string> tokens;
    for (std::int32_t i = 0; i < count; ++i) tokens.push_back(str(out[static_cast<std::size_t>(i)]));
    EXPECT_EQ(tokens, c.tokens);
  }
  EXPECT_EQ(splitTokens(span("A,B"), nullptr, 4, ",", 0), 0);
}

// A leading run needs minLen digits, maxLen of them or the end of the text; a found run is the first long enough
// one, or whatever runs to the end.
TEST(TextRuns, LeadingAndFoundRuns) {
  struct Case {
    bool leading;
    std::string_view source;
    std::int32_t minLen, maxLen;
    std::int32_t found;
    std::string_view run, rest;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {true, "123AB", 3, 6, 1, "123", "AB"},
      {true, "12", 4, 6, 1, "12", ""},  // the end of the text counts
      {true, "1234567", 9, 3, 1, "123", "4567"},  // cut at maxLen
      {true, "AB12", 1, 6, 0, "", "AB12"},
      {true, "123", 0, 6, 0, "", ""},  // minLen below 1 writes nothing
      {true, "123", 2, 0, 0, "", ""},
      {false, "A12B3456C", 3, 9, 1, "3456", "C"},
      {false, "AB12CD7", 3, 9, 1, "7", ""},  // a run at the end counts whatever its length
      {false, "ABCD", 1, 9, 0, "", "ABCD"},
      {false, "X123456", 9, 4, 1, "1234", "56"},
      {false, "1X", 2, 9, 0, "", "1X"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.source) + " " + std::to_string(c.minLen) + ".." + std::to_string(c.maxLen));
    const auto scan = c.leading ? leadingRunIf : findRunIf;
    TextSpan run{}, rest{};
    EXPECT_EQ(scan(span(c.source), isDigitChar, c.minLen, c.maxLen, &run, &rest), c.found);
    EXPECT_EQ(str(run), c.run);
    EXPECT_EQ(str(rest), c.rest);
    EXPECT_EQ(scan(span(c.source), isDigitChar, c.minLen, c.maxLen, nullptr, nullptr), c.found);
  }
  EXPECT_EQ(leadingRunIf(span("123"), nullptr, 1, 3, nullptr, nullptr), 0);
}

TEST(TextRuns, FirstFailingPositionIsOneBased) {
  struct Case {
    std::string_view text;
    std::int32_t position;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"AAAB", 4},
      {"BAAA", 1},
      {"AAA", 0},
      {"", 0},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const TextSpan s = span(c.text);
    EXPECT_EQ(findFirstNotIf(&s, isLetterA), c.position);
  }
  const TextSpan noData{};
  EXPECT_EQ(findFirstNotIf(&noData, isLetterA), -1);
  EXPECT_EQ(findFirstNotIf(nullptr, isLetterA), -1);
}

TEST(TextCompare, SpansWithOptionalCaseFolding) {
  struct Case {
    TextSpan a, b;
    std::int32_t flags, sign;
  };
  // clang-format off
  const Case kCases[] = {
      {span("abc"), span("ABC"), 1, 0},
      {span("AB"), span("ABC"), 1, -1},
      {span("a["), span("A{"), 1, -1},  // only letter pairs fold
      {span("a"), span("_"), 1, 1},  // a letter against a non-letter is compared raw
      {span("\xe9"), span("\xc9"), 1, 1},  // high bytes are no letters
      {TextSpan{}, span("A"), 0, -1},
      {span("A"), TextSpan{}, 0, 1},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.a.view()) + " vs " + std::string(c.b.view()) + " flags " + std::to_string(c.flags));
    const std::int32_t result = compareSpans(c.a, c.b, c.flags);
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
  }
}

TEST(TextCompare, FindSpanAndRemoveMatchingSpans) {
  struct Case {
    std::string_view haystack, needle;
    std::int32_t position;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"XXABXX", "AB", 2},
      {"XAXB", "AB", -1},
      {"AAAB", "AAB", 1},  // a near miss just before the match
      {"ABXA", "A", 0},
      {"XXXA", "AB", -1},  // the first byte at the very end
      {"", "A", -1},
      {"A", "", -1},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.haystack) + "/" + std::string(c.needle));
    EXPECT_EQ(findSpan(span(c.haystack), span(c.needle)), c.position);
  }

  const char* const kDrop[] = {"NONE", "N/A"};
  std::array<TextSpan, 5> spans = {span("A"), span("NONE"), span("B"), span("N/A"), span("NONEX")};
  ASSERT_EQ(removeSpansMatching(spans.data(), 5, kDrop, 2), 3);
  EXPECT_EQ(str(spans[0]) + str(spans[1]) + str(spans[2]), "ABNONEX");
  EXPECT_EQ(removeSpansMatching(spans.data(), 3, kDrop, 0), 3);
  EXPECT_EQ(removeSpansMatching(spans.data(), 3, kDrop, -1), 0);
}

// Buffers are pre-filled so that a writer that should leave them alone, or writes past its size, is caught.
constexpr char kFill = '#';

// A terminated copy writes its text and a NUL, counting both, or leaves the buffer alone and gives 0.
void expectTerminated(const std::string& buffer, std::int32_t result, std::string_view text) {
  if (text.empty()) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(buffer, std::string(buffer.size(), kFill));
    return;
  }
  EXPECT_EQ(result, static_cast<std::int32_t>(text.size()) + 1);
  EXPECT_EQ(std::string(buffer.c_str()), text);
  EXPECT_EQ(buffer[static_cast<std::size_t>(result)], kFill);
}

TEST(TextCopy, TerminatedCopiesStayInsideTheBuffer) {
  struct Case {
    std::string_view source;
    std::int32_t size;
    const char* exclude;
    std::string_view text;
  };
  // clang-format off
  const Case kCases[] = {
      {"ABC", 8, nullptr, "ABC"},
      {"ABCDEF", 4, nullptr, "ABC"},
      {"ABC", 1, nullptr, ""},
      {"ABC", 0, nullptr, ""},
      {"", 8, nullptr, ""},
      {"---", 8, "-", ""},  // everything excluded: not even the NUL
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.source) + " into " + std::to_string(c.size));
    std::string buffer(16, kFill);
    expectTerminated(buffer, copyFilteredZ(buffer.data(), c.size, span(c.source), c.exclude, nullptr, 0), c.text);
    if (c.exclude != nullptr) continue;
    const std::string z(c.source);
    std::string copy(16, kFill);
    expectTerminated(copy, copyTextZ(copy.data(), c.size, z.c_str()), c.text);
  }
  std::string buffer(16, kFill);
  expectTerminated(buffer, copyFilteredIfZ(buffer.data(), 16, span("A1\x80 2B"), isNotPrintable, isBlank, ' '),
                   "A1 2B");
  std::string untouched(16, kFill);
  expectTerminated(untouched, copyTextZ(untouched.data(), 16, nullptr), "");
}

TEST(TextCopy, JoinWritesSeparatorsOnlyAfterSomethingWasWritten) {
  struct Case {
    std::vector<std::string_view> spans;
    std::int32_t size;
    std::string_view joined;  // joinFiltered output of size bytes (no NUL)
  };
  // clang-format off
  const Case kCases[] = {
      {{"A", "B", "C"}, 16, "A,B,C"},
      {{"A", "", "B"}, 16, "A,B"},  // an empty span adds nothing
      {{"--", "A", "B"}, 16, "A,B"},  // nothing written yet: no separator
      {{"A", "--", "B"}, 16, "A,,B"},  // an excluded span still counts once its separator is out
      {{"A", "--"}, 16, "A,"},
      {{"AB", "CD"}, 3, "AB,"},  // the separator alone fills the buffer
      {{"AB", "CD"}, 4, "AB,C"},
      {{"A-B", "C"}, 16, "AB,C"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.spans));
    std::vector<TextSpan> spans;
    for (auto s : c.spans) spans.push_back(span(s));
    const auto count = static_cast<std::int32_t>(spans.size());
    std::string raw(16, kFill);
    const std::int32_t n = joinFiltered(raw.data(), c.size, spans.data(), count, ',', "-", nullptr, 0);
    EXPECT_EQ(raw.substr(0, static_cast<std::size_t>(n)), c.joined);
    EXPECT_EQ(raw[static_cast<std::size_t>(n)], kFill);

    std::string z(16, kFill);
    const std::int32_t zn = joinFilteredZ(z.data(), c.size + 1, spans.data(), count, ',', "-", nullptr, 0);
    EXPECT_EQ(zn, n + 1);
    EXPECT_EQ(std::string(z.c_str()), c.joined);
  }
  std::string untouched(4, kFill);
  const TextSpan onlyExcluded[] = {span("--")};
  EXPECT_EQ(joinFilteredZ(untouched.data(), 4, onlyExcluded, 1, ',', "-", nullptr, 0), 0);
  EXPECT_EQ(untouched, std::string(4, kFill));
}

TEST(TextNumbers, FormatDecimalWidthsAndSigns) {
  struct Case {
    std::int64_t value;
    std::int32_t width, flags, result;
    std::string_view text;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {7, 2, kFormatFixedWidth, 2, "07"},
      {2016, 8, 0, 4, "2016"},  // without the flag only what the number needs
      {12345, 4, 0, 0, ""},
      {-5, 3, kFormatFixedWidth, 3, "-05"},
      {-123, 3, 0, 0, ""},  // the sign needs its place too
      {0, 1, 0, 1, "0"},
      {5, 0, 0, 0, ""},
      {INT64_MIN, 20, 0, 20, "-9223372036854775808"},
      {INT64_MAX, 19, 0, 19, "9223372036854775807"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.value) + " width " + std::to_string(c.width));
    std::string buffer(24, kFill);
    EXPECT_EQ(formatDecimal(c.value, buffer.data(), c.width, c.flags), c.result);
    EXPECT_EQ(buffer.substr(0, static_cast<std::size_t>(c.result)), c.text);
    EXPECT_EQ(buffer[static_cast<std::size_t>(c.result)], kFill);
  }
  EXPECT_EQ(formatDecimal(1, nullptr, 4, 0), 0);
}

TEST(TextDates, ClampDayFollowsTheLeapYearRule) {
  struct Case {
    std::int32_t year, month, day, clamped;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {2015, 2, 30, 28},
      {2016, 2, 30, 29},
      {1900, 2, 29, 28},
      {2000, 2, 29, 29},
      {2016, 13, 40, 40},
      {2016, 0, 40, 40},
      {2016, 4, 31, 30},
      {2016, 1, 0, 1},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    EXPECT_EQ(clampDay(c.year, c.month, c.day), c.clamped);
  }
}

TEST(TextDates, CheckDateTimeRanges) {
  struct Case {
    DateTime date;
    std::int32_t result;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {{1000, 1, 1, 0, 0, 0}, 0},
      {{9999, 12, 31, 23, 59, 59}, 0},
      {{999, 1, 1, 0, 0, 0}, -1},
      {{10000, 1, 1, 0, 0, 0}, -1},
      {{2016, 0, 1, 0, 0, 0}, -1},
      {{2016, 13, 1, 0, 0, 0}, -1},
      {{2016, 1, 0, 0, 0, 0}, -1},
      {{2016, 1, 32, 0, 0, 0}, -1},
      {{2016, 1, 1, 24, 0, 0}, -1},
      {{2016, 1, 1, 0, 60, 0}, -1},
      {{2016, 1, 1, 0, 0, 60}, -1},
      {{2016, 1, 1, -1, 0, 0}, -1},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.date.year << "-" << c.date.month << "-" << c.date.day << " " << c.date.hour
                                      << ":" << c.date.minute << ":" << c.date.second);
    EXPECT_EQ(checkDateTime(c.date), c.result);
  }
}

// Every day from before year 1000 to the last day of 9999 against the calendar, then a coarse walk over far years.
TEST(TextDates, DayNumbersAgreeWithTheCalendar) {
  using namespace std::chrono;
  const sys_days dayOne = sys_days{year{1000} / January / 1};
  auto expectCalendar = [&](std::int64_t dayNumber) {
    const year_month_day expected{dayOne + days{dayNumber - 1}};
    DateTime out{.year = 1, .month = 1, .day = 1, .hour = 9, .minute = 9, .second = 9};
    ASSERT_EQ(dateFromDayNumber(dayNumber, &out), kStatusOk);
    ASSERT_EQ(out.year, static_cast<int>(expected.year())) << dayNumber;
    ASSERT_EQ(out.month, static_cast<int>(static_cast<unsigned>(expected.month()))) << dayNumber;
    ASSERT_EQ(out.day, static_cast<int>(static_cast<unsigned>(expected.day()))) << dayNumber;
    ASSERT_EQ(out.hour + out.minute + out.second, 0) << dayNumber;
  };
  for (std::int64_t d = -2000; d <= 3287181; ++d) expectCalendar(d);
  for (std::int64_t d = 3287181; d < 11000000; d += 997) expectCalendar(d);

  EXPECT_EQ(dateFromDayNumber(1, nullptr), kStatusBadArgument);
  DateTime unchanged{.year = 7};
  EXPECT_EQ(dateFromDayNumber(INT64_MAX, &unchanged), kStatusBadArgument);  // its year would not fit
  EXPECT_EQ(dateFromDayNumber(INT64_MIN, &unchanged), kStatusBadArgument);
  EXPECT_EQ(unchanged.year, 7);
}

}  // namespace
}  // namespace quorix
