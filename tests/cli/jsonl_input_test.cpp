#include "cli/jsonl_input.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "cli/json_bytes.h"

namespace quorix {
namespace {

using namespace std::string_literals;

TEST(ParseJsonlLine, ReadsTheIdAsWrittenAndTheTextAsBytes) {
  struct Case {
    std::string line;
    std::string_view id;
    std::string text;
  };
  const Case kCases[] = {
      {R"({"id": 7, "text": "ANSI 6360"})", "7", "ANSI 6360"},
      {R"({"text":"A","id":"scan-1"})", R"("scan-1")", "A"},
      {" \t{ \"id\" : -1.5e+3 , \"text\" : \"\" } \r", "-1.5e+3", ""},
      // Every escape, and bytes past 0x7F both escaped and written as UTF-8 characters.
      {R"({"id": 1, "text": "\"\\\/\b\f\n\r\t"})", "1", "\"\\/\b\f\n\r\t"},
      {"{\"id\": 3, \"text\": \"M\xC3\xBCLLER \xC3\xBF\"}", "3", "M\xFCLLER \xFF"},
      {R"({"id": 4, "text": "\u0000X"})", "4", "\0X"s},
      // Keys may be escaped too; runs of escapes and plain bytes alternate.
      {R"({"\u0069d": 8, "te\u0078t": "\u0041\u00e9\u00E9B\u001e\n"})", "8",
       "A\xE9\xE9"
       "B\x1e\n"},
      // An id is echoed, not decoded, so any character may stand in it.
      {"{\"id\": \"\xE2\x82\xAC\\u20AC\", \"text\": \"x\"}", "\"\xE2\x82\xAC\\u20AC\"", "x"},
      // Other keys, whatever their values, are passed over, nested ones included.
      {R"({"file": "a.txt", "id": 5, "n": -2.5e3, "ok": true, "no": null, "at": {"x": [1, {"y": false}], "z": []},
          "text": "T", "empty": {}})",
       "5", "T"},
      {std::string(R"({"id": 6, "text": "U", "deep": )") + std::string(64, '[') + std::string(64, ']') + "}", "6", "U"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    JsonlInput input;
    std::string error;
    ASSERT_TRUE(parseJsonlLine(c.line, input, error)) << error;
    EXPECT_EQ(input.id, c.id);
    EXPECT_EQ(input.text, c.text);
  }
}

TEST(ParseJsonlLine, NamesWhatIsWrongAndWhere) {
  struct Case {
    std::string line;
    std::string_view error;
  };
  const Case kCases[] = {
      {"", "expected '{': each line is one object at column 1"},
      {R"({"id": 1, "text": "x")", "expected ',' or '}' at column 22"},
      {R"({"id" 1, "text": "x"})", "expected ':' after the key at column 7"},
      {R"({id: 1, "text": "x"})", "expected a key in double quotes at column 2"},
      {R"({"id": 1, "text": "x"} {})", "unexpected text after the object at column 24"},
      {R"({"id": 1, "text": "x)", "the string is not closed at column 21"},
      {R"({"id": 1, "text": "x\)", "the string is not closed at column 22"},  // an escape cut off by the end
      {R"({"id": 1, "text": 42})", "\"text\" must be a string at column 19"},
      {R"({"id": true, "text": "x"})", "\"id\" must be a string or a number at column 8"},
      {R"({"id": 01, "text": "x"})", "expected ',' or '}' at column 9"},
      {R"({"id": 1., "text": "x"})", "expected a digit after the decimal point at column 10"},
      {R"({"id": -, "text": "x"})", "expected a digit at column 9"},
      {R"({"id": 1e, "text": "x"})", "expected a digit in the exponent at column 10"},
      {R"({"text": "x"})", "the line has no \"id\" at column 1"},
      {R"({"id": 1})", "the line has no \"text\" at column 1"},
      {R"({"id": 1, "id": 2, "text": "x"})", "\"id\" appears twice at column 11"},
      {R"({"id": 1, "text": "x", "file": })", "expected a value at column 32"},
      {R"({"id": 1, "text": "x", "tags": [1 2]})", "expected ',' or ']' at column 35"},
      {R"({"id": 1, "text": "x", "at": {"x" 1}})", "expected ':' after the key at column 35"},
      {"{\"id\": 1, \"text\": \"x\", \"deep\": " + std::string(65, '[') + std::string(65, ']') + "}",
       "the value nests too deeply at column 96"},
      {R"({"id": 1, "text": "\u0100"})", "U+0100 is not a byte: a text holds characters U+0000 to U+00FF at column 20"},
      {"{\"id\": 1, \"text\": \"\xE2\x82\xAC\"}", "U+20AC is not a byte"},
      {R"({"id": 1, "text": "\u00G0"})", "\\u needs four hexadecimal digits at column 24"},
      {R"({"id": 1, "text": "\u00)", "\\u needs four hexadecimal digits at column 24"},
      {R"({"id": 1, "\u0069d": 2, "text": "x"})", "\"id\" appears twice at column 11"},
      {R"({"id": 1, "text": "\x41"})", "unknown escape '\\x' at column 20"},
      {"{\"id\": 1, \"text\": \"a\tb\"}", "a control character must be escaped in a string at column 21"},
      {"{\"id\": 1, \"text\": \"a\0b\"}"s, "a control character must be escaped"},
      // Not UTF-8: a stray continuation byte, a shortened form, a surrogate, a cut-off character, past U+10FFFF.
      {"{\"id\": 1, \"text\": \"\x80\"}", "the line is not valid UTF-8 at column 20"},
      {"{\"id\": 1, \"text\": \"\xC1\x81\"}", "the line is not valid UTF-8"},
      {"{\"id\": 1, \"text\": \"\xE0\x80\x80\"}", "the line is not valid UTF-8"},
      {"{\"id\": 1, \"text\": \"\xED\xA0\x80\"}", "the line is not valid UTF-8"},
      {"{\"id\": 1, \"text\": \"\xC3", "the line is not valid UTF-8"},
      {"{\"id\": 1, \"text\": \"\xF4\x90\x80\x80\"}", "the line is not valid UTF-8"},
      {"{\"id\": \"\xFF\", \"text\": \"x\"}", "the line is not valid UTF-8 at column 9"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    JsonlInput input;
    std::string error;
    EXPECT_FALSE(parseJsonlLine(c.line, input, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

TEST(ParseJsonlLine, KeepsAnIdReadBeforeTheFault) {
  struct Case {
    std::string_view line;
    std::string_view id;
  };
  constexpr Case kCases[] = {
      {R"({"id": "scan-9", "text": "\x41"})", R"("scan-9")"},
      {R"({"id": 7, "text": 42})", "7"},
      {R"({"id": 7, "id": 8, "text": "x"})", "7"},
      {R"({"text": "\x41", "id": 7})", ""},  // the fault stops the reading before the id
      {R"({"id": tru, "text": "x"})", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    JsonlInput input;
    std::string error;
    EXPECT_FALSE(parseJsonlLine(c.line, input, error));
    EXPECT_EQ(input.id, c.id);
  }
}

// Every byte at every place of a run of plain bytes, with a second refused byte behind it that a borrow could
// confuse with it: the run ends at the first refused byte, as the table has it.
TEST(PlainJsonPrefix, EndsAtTheFirstByteTheTableRefuses) {
  for (std::size_t place = 0; place < 19; ++place) {
    for (int byte = 0; byte < 256; ++byte) {
      for (const char behind : {'a', '\0', '"', '\x1f', '\xff'}) {
        std::string text(20, 'A');
        text[place] = static_cast<char>(byte);
        text[place + 1] = behind;
        const bool plain = kPlainJsonBytes[static_cast<unsigned char>(byte)];
        const bool plainBehind = kPlainJsonBytes[static_cast<unsigned char>(behind)];
        const std::size_t expected = !plain ? place : plainBehind ? 20 : place + 1;
        ASSERT_EQ(plainJsonPrefix(text), expected) << place << " " << byte << " " << int{behind};
      }
    }
  }
}

TEST(IsBlankLine, OnlyJsonWhitespaceIsBlank) {
  EXPECT_TRUE(isBlankLine(""));
  EXPECT_TRUE(isBlankLine(" \t\r"));
  EXPECT_FALSE(isBlankLine(" {"));
  EXPECT_FALSE(isBlankLine("\f"));
}

}  // namespace
}  // namespace quorix
