// Accented letters in Latin-1 and UTF-8 read as ASCII, in place and inside the room given.
#include "core/transliterate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace quorix {
namespace {

using namespace std::string_view_literals;

constexpr char kGuard = '#';

struct Rewritten {
  std::string text;
  bool changed = false;
  bool guardIntact = false;
};

// Rewrites input in a buffer of capacity bytes (at least the input's) followed by guard bytes.
Rewritten rewrite(std::string_view input, LetterOptions options = {}, std::int32_t extraRoom = 16) {
  const auto length = static_cast<std::int32_t>(input.size());
  const std::int32_t capacity = length + extraRoom;
  std::string buffer(static_cast<std::size_t>(capacity) + 8, kGuard);
  buffer.replace(0, input.size(), input);
  Rewritten out;
  const std::int32_t n = transliterateLetters(buffer.data(), length, capacity, options, &out.changed);
  out.text = buffer.substr(0, static_cast<std::size_t>(n));
  out.guardIntact = buffer.substr(static_cast<std::size_t>(capacity)) == std::string(8, kGuard);
  return out;
}

// The UTF-8 form of a Latin-1 byte from 0xC0 up.
std::string utf8(unsigned char latin1) { return {static_cast<char>(0xC3), static_cast<char>(latin1 - 0x40)}; }

TEST(TransliterateLetters, ReadsNamesAsTheirAsciiLetters) {
  struct Case {
    std::string_view input, expected;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"Fran\xE7ois \xC6lfred \xD8stergaard"sv, "Francois AElfred Ostergaard"sv},
      {"Stra\xDF" "e Stra\xC3\x9F" "e"sv, "Strasse Strasse"sv},                // sharp s in both forms
      {"\xDE\xF3r \xD0\xF0\xFE"sv, "THor Ddth"sv},                             // thorn and eth
      {"\xC0\xFF"sv, "Ay"sv},                                                  // the first and last letters
      {"2\xD7" "3 6\xF7" "2 2\xC3\x97" "3"sv, "2\xD7" "3 6\xF7" "2 2\xC3\x97" "3"sv},  // signs stay
      {"\xC5\x81" "ODZ \xE2\x82\xAC" "5"sv, "\xC5\x81" "ODZ \xE2\x82\xAC" "5"sv},      // other alphabets stay whole
      {"\x80\xA9\xBF"sv, "\x80\xA9\xBF"sv},                                    // no letters below 0xC0
      {"\xC3" "A \xC3"sv, "AA A"sv},                                           // a lone 0xC3 is Latin-1
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.input)));
    const Rewritten out = rewrite(c.input);
    EXPECT_EQ(out.text, c.expected);
    EXPECT_EQ(out.changed, c.input != c.expected);
    EXPECT_TRUE(out.guardIntact);
  }
}

// Every letter reads the same in both encodings, as one or two ASCII letters of its own case; the two signs in
// between are no letters.
TEST(TransliterateLetters, BothEncodingsGiveTheSameLetters) {
  for (unsigned byte = 0xC0; byte <= 0xFF; ++byte) {
    SCOPED_TRACE(byte);
    const std::string latin1(1, static_cast<char>(byte));
    const Rewritten fromLatin1 = rewrite(latin1);
    const Rewritten fromUtf8 = rewrite(utf8(static_cast<unsigned char>(byte)));
    if (byte == 0xD7 || byte == 0xF7) {
      EXPECT_FALSE(fromLatin1.changed || fromUtf8.changed);
      continue;
    }
    EXPECT_EQ(fromLatin1.text, fromUtf8.text);
    ASSERT_TRUE(fromLatin1.changed && fromUtf8.changed);
    ASSERT_GE(fromLatin1.text.size(), 1u);
    ASSERT_LE(fromLatin1.text.size(), 2u);
    const bool capital = byte < 0xDF;
    for (char c : fromLatin1.text) EXPECT_TRUE(capital ? (c >= 'A' && c <= 'Z') : (c >= 'a' && c <= 'z')) << c;
  }
}

TEST(TransliterateLetters, OptionsCapitalsAndOnePlaceEach) {
  struct Case {
    LetterOptions options;
    std::string_view input, expected;
  };
  // clang-format off
  const Case kCases[] = {
      {{.upperCase = true, .onePlaceEach = false}, "jos\xE9 stra\xDF" "e"sv, "josE straSSe"sv},
      // Fixed places: a letter spelt with two keeps its first, and a UTF-8 pair shrinks to the one place it is.
      {{.upperCase = false, .onePlaceEach = true}, "stra\xDF" "e|\xC6|\xC3\x9F|"sv, "strase|A|s|"sv},
      {{.upperCase = true, .onePlaceEach = true}, "\xFE\xE9"sv, "TE"sv},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.input)));
    EXPECT_EQ(rewrite(c.input, c.options).text, c.expected);
  }
}

// A letter that grows the text needs room; once the room is used up it stays as it is, while letters that do not
// grow are still rewritten, and nothing is written past the capacity.
TEST(TransliterateLetters, GrowsOnlyInsideTheRoom) {
  struct Case {
    std::string_view input;
    std::int32_t extraRoom;
    std::string_view expected;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"\xDF\xDF\xDF"sv, 0, "\xDF\xDF\xDF"sv},
      {"\xDF\xDF\xDF"sv, 2, "ssss\xDF"sv},
      {"\xC3\x89\xDF\xC9\xDF"sv, 0, "EssE\xDF"sv},  // the UTF-8 pair made one place of room
      {"A\xDF" "B\xC6" "C"sv, 2, "AssBAEC"sv},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.input)));
    const Rewritten out = rewrite(c.input, {}, c.extraRoom);
    EXPECT_EQ(out.text, c.expected);
    EXPECT_TRUE(out.guardIntact);
  }
}

TEST(TransliterateLetters, LeavesBadArgumentsAlone) {
  char text[] = "\xC9";
  bool changed = true;
  EXPECT_EQ(transliterateLetters(nullptr, 4, 8, {}, &changed), 4);
  EXPECT_FALSE(changed);
  EXPECT_EQ(transliterateLetters(text, 1, 0, {}, nullptr), 1);  // capacity below the length
  EXPECT_EQ(text[0], '\xC9');
  EXPECT_EQ(transliterateLetters(text, -1, 8, {}, nullptr), 0);
}

TEST(LetterAt, TellsLettersFromOtherBytes) {
  EXPECT_FALSE(mayHoldAccentedLetters("ABC\x80\xBF", 5));
  EXPECT_TRUE(mayHoldAccentedLetters("ABC\xC0", 4));
  // Tested eight bytes at a time: a candidate is found in every place of a word and of the tail, and bytes with only
  // one of the two top bits set, side by side across a word's bytes, are no candidate.
  for (std::size_t at = 0; at < 21; ++at) {
    std::string text(21, '\x80');
    for (std::size_t i = 1; i < text.size(); i += 2) text[i] = '\x40';
    EXPECT_FALSE(mayHoldAccentedLetters(text.data(), static_cast<std::int32_t>(text.size())));
    text[at] = '\xC0';
    EXPECT_TRUE(mayHoldAccentedLetters(text.data(), static_cast<std::int32_t>(text.size()))) << at;
    EXPECT_FALSE(mayHoldAccentedLetters(text.data(), static_cast<std::int32_t>(at))) << at;
  }
  const char pairCut[] = "\xC3";  // a UTF-8 lead at the end of the text is a Latin-1 letter
  EXPECT_EQ(letterAt(pairCut, 1, 0).ascii, "A");
  EXPECT_EQ(letterAt(pairCut, 1, 0).bytes, 1);
  const char threeBytes[] = "\xE2\x82\xAC";
  EXPECT_EQ(letterAt(threeBytes, 3, 0).ascii, "");
  EXPECT_EQ(letterAt(threeBytes, 3, 0).bytes, 3);
  EXPECT_EQ(letterAt(threeBytes, 2, 0).ascii, "a");  // cut short, it is Latin-1 again
}

}  // namespace
}  // namespace quorix
