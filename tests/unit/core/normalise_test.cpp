// The prepare functions: plain copy, the normaliser's repairs of reader output, and bounded replacement.
#include "core/normalise.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/transliterate.h"
#include "unit/support/golden_corpus.h"

namespace quorix {
namespace {

using namespace std::string_view_literals;

TextSpan span(std::string_view text) { return TextSpan{text.data(), static_cast<std::int32_t>(text.size())}; }

// Output buffers are outRoom + 1 bytes followed by guard bytes that no prepare function may touch.
constexpr char kGuard = '#';
constexpr std::size_t kGuardBytes = 16;

struct Prepared {
  Status status;
  std::int32_t length;
  std::string buffer;  // outRoom + 1 bytes plus the guard
  std::string text() const { return buffer.substr(0, static_cast<std::size_t>(length)); }
  bool guardIntact(std::int32_t outRoom) const {
    return buffer.substr(static_cast<std::size_t>(outRoom) + 1) == std::string(kGuardBytes, kGuard);
  }
};

Prepared normalise(std::string_view input, std::int32_t outRoom = 256) {
  Prepared p{0, -1, std::string(static_cast<std::size_t>(outRoom) + 1 + kGuardBytes, kGuard)};
  p.status = normaliseInput(input.data(), static_cast<std::int32_t>(input.size()), p.buffer.data(), outRoom, &p.length);
  return p;
}

// Control bytes escaped, for the traces.
std::string visible(std::string_view text) { return ::testing::PrintToString(std::string(text)); }

TEST(NormaliseInput, RepairsReaderOutput) {
  struct Case {
    std::string_view input, expected;
  };
  // clang-format off
  constexpr Case kCases[] = {
      // Damaged compliance headers (one shape per kind of repair), trailing blanks trimmed before the repairs.
      {"@\r\r\n\r\r\nANSI "sv, "@\n\x1e\rANSI"sv},
      {"@\n\nANSI"sv, "@\n\x1e\rANSI"sv},
      {"@\n\x1e\r@\n\rANSI"sv, "@\n\x1e\r@\n\x1e\rANSI"sv},  // the header found behind an intact one
      {"\r@\n\nA\r\r"sv, "@\n\x1e\rA"sv},
      // Line ends.
      {"A\r\r\nB\r\nC"sv, "A\nB\nC"sv},
      {"A\n\rB"sv, "A\n\rB"sv},
      // Spelled-out bytes: real control bytes go first, every hex escape is decoded.
      {"ABC[0D][0A]DEF"sv, "ABC\nDEF"sv},
      {"A[0D]\r\nB"sv, "A\rB"sv},
      {"X[0A][7e]Y[41]"sv, "X\n~YA"sv},
      {"A[4G][0A]B"sv, "A[4G]\nB"sv},
      {"A[0d]\x01" "B"sv, "A[0d]\x01" "B"sv},  // only the upper-case escapes switch the decoding on
      {"A\0[0A]B"sv, "A[0A]B"sv},  // an escape behind a NUL is not seen; the NUL is dropped
      // Backslash escapes.
      {"A\\nB"sv, "A\nB"sv},
      {"A\\tB"sv, "A\\tB"sv},
      {"A\\\\B"sv, "A\\\\B"sv},
      // Leading junk is skipped; the same bytes inside the text stay.
      {"\x00\x1b\x80" "ABC"sv, "ABC"sv},
      {"AB\x1b\x80" "C"sv, "AB\x1b\x80" "C"sv},
      {" \r\n "sv, ""sv},
      // Track joints.
      {"%ABC?*\x02Z\0;123?"sv, "%ABC?;123?"sv},
      {"%ABC?*\x02\n\0;123?"sv, "%ABC?*\x02\n;123?"sv},
      {"%ABC?*\x02Z\0;"sv, "%ABC?*\x02Z;"sv},  // the joint must not end the text
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(visible(c.input));
    const Prepared p = normalise(c.input);
    EXPECT_EQ(p.status, kStatusOk);
    EXPECT_EQ(p.text(), c.expected);
    EXPECT_EQ(p.buffer[static_cast<std::size_t>(p.length)], '\0');
    EXPECT_TRUE(p.guardIntact(256));
  }
}

TEST(NormaliseInput, StaysInsideItsRoom) {
  struct Case {
    std::string_view input;
    std::int32_t outRoom;
    std::string_view expected;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"ABCDEFGHIJ"sv, 5, "ABCD"sv},  // the copy keeps one byte free for a growing repair
      {"@\n\nA@\n\nBC"sv, 10, "@\n\x1e\rA@\n\nBC"sv},  // the second header would need an eleventh byte
      {"@\n\nABCDEF"sv, 10, "@\n\x1e\rABCDEF"sv},
      // A shrinking repair frees room for later growing ones.
      {"@\r\r\n\r\r\nA@\n\nB@\n\nC"sv, 17, "@\n\x1e\rA@\n\x1e\rB@\n\x1e\rC"sv},
      {"ABC"sv, 1, ""sv},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(visible(c.input) + " in " + std::to_string(c.outRoom));
    const Prepared p = normalise(c.input, c.outRoom);
    EXPECT_EQ(p.text(), c.expected);
    EXPECT_LE(p.length, c.outRoom);
    EXPECT_EQ(p.buffer[static_cast<std::size_t>(p.length)], '\0');
    EXPECT_TRUE(p.guardIntact(c.outRoom));
  }
}

TEST(NormaliseInput, MissingArgumentsGiveAnEmptyText) {
  char out[8] = "XXXXXXX";
  std::int32_t length = -1;
  EXPECT_EQ(normaliseInput(nullptr, 5, out, 7, &length), kStatusOk);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(normaliseInput("ABC", -3, out, 7, &length), kStatusOk);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(normaliseInput("ABC", 3, nullptr, 7, &length), kStatusOk);
  EXPECT_EQ(length, 0);
  out[0] = 'X';
  EXPECT_EQ(normaliseInput("ABC", 3, out, -1, &length), kStatusOk);
  EXPECT_EQ(out[0], 'X');  // no room at all: nothing written
  EXPECT_EQ(normaliseInput("ABC", 3, out, 7, nullptr), kStatusOk);
  EXPECT_STREQ(out, "ABC");
}

// Each repair is reported by its own name, and a text that needed none, or only blanks trimmed at its ends, reports
// nothing. Every repair on its own is in the golden corpus's repairs= lines.
TEST(NormaliseInput, ReportsEachRepair) {
  struct Case {
    std::string_view input;
    RepairSet repairs;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"@\n\x1e\rANSI 636014"sv, 0},
      {" \r\n@\n\x1e\rANSI \r\n \n"sv, 0},  // blanks and line ends at either end
      {"\n\x80" "ABC"sv, kRepairLeadingBytesSkipped},
      {"ABC[0D][0A]DEF"sv, kRepairSpelledBytesDecoded | kRepairLineEndsReduced},
      {"A\\tB"sv, 0},
      {"@\n \nANSI"sv, kRepairHeaderRestored},  // a repair that keeps the length
      {"\x1b@\n\nA\r\nB\\rC"sv,
       kRepairLeadingBytesSkipped | kRepairHeaderRestored | kRepairLineEndsReduced | kRepairEscapedLineEndsDecoded},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(visible(c.input));
    char out[64];
    std::int32_t length = -1;
    RepairSet repairs = 0xFFFF;
    EXPECT_EQ(
        normaliseInputReporting(c.input.data(), static_cast<std::int32_t>(c.input.size()), out, 63, &length, &repairs),
        kStatusOk);
    EXPECT_EQ(repairs, c.repairs);
    const Prepared plain = normalise(c.input, 63);
    EXPECT_EQ(std::string_view(out, static_cast<std::size_t>(length)), plain.text());
  }
}

// Accented letters are text, not noise: the spelled-out bytes' clean-up keeps them for the transliteration.
TEST(NormaliseInput, SpelledBytesKeepAccentedLetters) {
  const Prepared p = normalise("JOS\xC9[0A]MU\xC3\x91OZ\x01\x80\xC5\x81"sv);
  EXPECT_EQ(p.text(), "JOS\xC9\nMU\xC3\x91OZ"sv);
}

TEST(PrepareCopy, CopiesUnchangedAndTerminates) {
  struct Case {
    const char* input;
    std::int32_t inputLength, outRoom;
    Status status;
    std::string_view copied;
  };
  // clang-format off
  const Case kCases[] = {
      {"\x01@\r\n ab", 7, 16, kStatusOk, "\x01@\r\n ab"sv},
      {"ABCDEF", 6, 4, kStatusOk, "ABCD"sv},
      {"A\0B", 3, 16, kStatusOk, "A\0B"sv},
      {nullptr, 3, 16, kStatusBadArgument, ""sv},
      {"ABC", 0, 16, kStatusBadArgument, ""sv},
      {"ABC", 3, 0, kStatusBadArgument, ""sv},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(visible(c.copied) + " room " + std::to_string(c.outRoom));
    std::string out(static_cast<std::size_t>(c.outRoom) + 1 + kGuardBytes, kGuard);
    std::int32_t length = -1;
    EXPECT_EQ(prepareCopy(c.input, c.inputLength, out.data(), c.outRoom, &length), c.status);
    if (c.status == kStatusOk) {
      EXPECT_EQ(length, static_cast<std::int32_t>(c.copied.size()));
      EXPECT_EQ(out.substr(0, c.copied.size()), c.copied);
      EXPECT_EQ(out[c.copied.size()], '\0');
    } else {
      EXPECT_EQ(length, -1);
      EXPECT_EQ(out[0], kGuard);
    }
    EXPECT_EQ(out.substr(static_cast<std::size_t>(c.outRoom) + 1), std::string(kGuardBytes, kGuard));
  }
  char out[4];
  EXPECT_EQ(prepareCopy("AB", 2, out, 3, nullptr), kStatusOk);
  EXPECT_EQ(prepareCopy("AB", 2, nullptr, 3, nullptr), kStatusBadArgument);
}

TEST(ReplaceAll, LeftToRightWithinCapacity) {
  struct Case {
    std::string_view text;
    std::int32_t capacity;
    std::string_view pattern, replacement, expected;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"a\r\nb\r\n", 16, "\r\n", "\n", "a\nb\n"},
      {"aaa", 16, "aa", "b", "ba"},  // non-overlapping, from the left
      {"aaa", 16, "a", "aa", "aaaaaa"},  // inserted text is not searched again
      {"abab", 5, "a", "xy", "xybab"},  // the second one would not fit: it and later ones stay
      {"xab", 4, "a", "12345", "xab"},
      {"abc", 16, "", "x", "abc"},
      {"abc", 2, "b", "x", "axc"},  // a length beyond the capacity only shrinks or stays
      {"\r\r\r\n", 16, "\r\n", "\n", "\r\r\n"},  // near misses before the match
      {"xxa", 16, "ab", "c", "xxa"},  // the pattern's start at the very end
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(visible(c.text) + ": " + visible(c.pattern) + " -> " + visible(c.replacement));
    std::string buffer(c.text);
    buffer.resize(
        static_cast<std::size_t>(c.capacity) > c.text.size() ? static_cast<std::size_t>(c.capacity) : c.text.size(),
        '.');
    buffer += std::string(kGuardBytes, kGuard);
    const TextSpan pattern = c.pattern.empty() ? TextSpan{} : span(c.pattern);
    const TextSpan replacement = c.replacement.empty() ? TextSpan{} : span(c.replacement);
    const std::int32_t n =
        replaceAll(buffer.data(), static_cast<std::int32_t>(c.text.size()), c.capacity, pattern, replacement);
    EXPECT_EQ(buffer.substr(0, static_cast<std::size_t>(n)), c.expected);
    EXPECT_EQ(buffer.substr(buffer.size() - kGuardBytes), std::string(kGuardBytes, kGuard));
  }
  EXPECT_EQ(replaceAll(nullptr, 5, 10, span("a"), span("b")), 5);
  char empty[1] = {'\0'};
  EXPECT_EQ(replaceAll(empty, -4, 1, span("a"), span("b")), 0);
}

}  // namespace
}  // namespace quorix

namespace quorix {
namespace {

// A row is offered an input only when its prepared text may hold the row's mark, so no byte of any prepared text
// may be called impossible: the golden corpus and the repairs readers need (spelled bytes, escaped line ends,
// small letters, accented letters), through both prepare functions, upper-cased and with letters transliterated.
TEST(MayPrepareByte, NoPreparedByteIsCalledImpossible) {
  std::vector<std::string> inputs = testing::goldenTexts();
  const std::string kRepaired[] = {"x[40]y[0A]z", "ab\\ncd\\r", "@\r\n\x1e\r\nANSI ", "r\xC3\xA9sum\xE9 \xDF",
                                   "lower case @ only"};
  inputs.insert(inputs.end(), std::begin(kRepaired), std::end(kRepaired));
  for (const std::string& input : inputs) {
    const auto length = static_cast<std::int32_t>(input.size());
    for (const auto prepare : {prepareCopy, normaliseInput}) {
      std::string text(input.size() * 2 + 64, '\0');
      std::int32_t prepared = 0;
      ASSERT_EQ(prepare(input.data(), length, text.data(), static_cast<std::int32_t>(text.size()) - 1, &prepared),
                kStatusOk);
      text.resize(static_cast<std::size_t>(prepared));
      std::string upper = text;
      for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      for (std::string form : {text, upper}) {
        const auto room = static_cast<std::int32_t>(form.size() * 2 + 8);
        std::string letters = form;
        letters.resize(static_cast<std::size_t>(room) + 1);
        const LetterOptions options{.upperCase = form == upper};
        const std::int32_t kept =
            transliterateLetters(letters.data(), static_cast<std::int32_t>(form.size()), room, options, nullptr);
        letters.resize(static_cast<std::size_t>(kept));
        for (const std::string& seen : {form, letters})
          for (const char c : seen)
            EXPECT_TRUE(mayPrepareByte(input.data(), length, c))
                << "byte " << +static_cast<unsigned char>(c) << " of " << input.substr(0, 40);
      }
    }
  }
}

TEST(MayPrepareByte, TellsWhatNoPreparationGives) {
  const struct {
    std::string_view input;
    char byte;
    bool possible;
  } kCases[] = {
      {"PLAIN WORDS 0123", '@', false}, {"PLAIN WORDS", 'p', false}, {"", '@', false},
      {"a @ inside", '@', true},        {"spelled [40]", '@', true}, {"small letters", 'S', true},
      {"caf\xE9", '@', false},          {"caf\xE9", 'Q', true},      {"no control", '\n', true},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(mayPrepareByte(c.input.data(), static_cast<std::int32_t>(c.input.size()), c.byte), c.possible)
        << c.input << " / " << c.byte;
}

}  // namespace
}  // namespace quorix
