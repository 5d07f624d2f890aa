// Reads the JSON Lines of a batch run. Only what a line may hold is accepted, so a writer that escaped a text
// wrongly hears about it at the line, rather than through a document that quietly parses differently.
#include "cli/jsonl_input.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "cli/json_bytes.h"

namespace quorix {
namespace {

constexpr char32_t kLastByteCharacter = 0xFF;
// Values of keys we ignore may nest; the bound keeps a hostile line from exhausting the stack.
constexpr int kDeepestValue = 64;

bool isJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of each hexadecimal digit, and 16 for every other byte: writers escape most bytes of a text as
// \u00XX, so this lookup runs four times for each of them.
constexpr std::array<std::uint8_t, 256> kHexValues = [] {
  std::array<std::uint8_t, 256> values{};
  for (std::size_t byte = 0; byte < values.size(); ++byte) {
    values[byte] = byte >= '0' && byte <= '9'   ? static_cast<std::uint8_t>(byte - '0')
                   : byte >= 'a' && byte <= 'f' ? static_cast<std::uint8_t>(byte - 'a' + 10)
                   : byte >= 'A' && byte <= 'F' ? static_cast<std::uint8_t>(byte - 'A' + 10)
                                                : 16;
  }
  return values;
}();

std::string hex4(char32_t code) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "U+";
  for (int shift = code > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) out += kDigits[(code >> shift) & 15];
  return out;
}

struct LineReader {
  std::string_view line;
  std::string& error;
  std::size_t at = 0;

  bool fail(std::string_view what) {
    error = std::string(what) + " at column " + std::to_string(at + 1);
    return false;
  }
  bool atEnd() const { return at >= line.size(); }
  char peek() const { return atEnd() ? '\0' : line[at]; }
  void skipSpace() {
    while (!atEnd() && isJsonSpace(line[at])) ++at;
  }
  bool take(char c) {
    if (atEnd() || line[at] != c) return false;
    ++at;
    return true;
  }

  // One UTF-8 encoded character starting at a byte from 0x80 up; nullopt (and at unchanged) when it is malformed.
  std::optional<char32_t> takeUtf8() {
    const auto lead = static_cast<unsigned char>(line[at]);
    std::size_t count = 0;
    char32_t code = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      count = 1;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      count = 2;
      code = lead & 0x0Fu;
      if (lead == 0xE0) low = 0xA0;   // shorter forms exist for these
      if (lead == 0xED) high = 0x9F;  // surrogates are not characters
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      count = 3;
      code = lead & 0x07u;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;  // nothing lies above U+10FFFF
    } else {
      return std::nullopt;
    }
    if (line.size() - at <= count) return std::nullopt;
    for (std::size_t i = 1; i <= count; ++i) {
      const auto next = static_cast<unsigned char>(line[at + i]);
      if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return std::nullopt;
      code = (code << 6) | (next & 0x3Fu);
    }
    at += count + 1;
    return code;
  }

  // A JSON string starting at its opening quote, each character appended to out (when given) as the byte it stands
  // for. For a text, a character above U+00FF is an error; elsewhere it is appended as 0xFF, which no key we know
  // holds.
  bool readString(std::string* out, bool isText) {
    if (out == nullptr) return readStringInto(nullptr, isText);
    // Every byte of the string takes at least one byte of the line, so the rest of the line bounds it: the string
    // is written straight into that room, which a reused out already has, and cut to what was written.
    const std::size_t start = out->size();
    out->resize(start + (line.size() - at));
    char* const begin = out->data() + start;
    char* end = begin;
    const bool read = readStringInto(&end, isText);
    out->resize(start + static_cast<std::size_t>(end - begin));
    return read;
  }

  // A writer escapes most bytes of a text as \u00XX: such an escape at `at` is taken in one step, its byte written
  // through *to when to is given. False (nothing read) for any other escape, which the general path reads.
  bool escapedByte(char** to) {
    if (line.size() - at < 6 || line[at + 1] != 'u' || line[at + 2] != '0' || line[at + 3] != '0') return false;
    const std::uint8_t high = kHexValues[static_cast<unsigned char>(line[at + 4])];
    const std::uint8_t low = kHexValues[static_cast<unsigned char>(line[at + 5])];
    if (high > 15 || low > 15) return false;
    if (to != nullptr) *(*to)++ = static_cast<char>(high << 4 | low);
    at += 6;
    return true;
  }

  // readString writing through *to (advanced past the bytes written), or reading only when to is null.
  bool readStringInto(char** to, bool isText) {
    if (!take('"')) return fail("expected a string");
    while (true) {
      // Most of a text is plain ASCII: copy it in one piece.
      const std::size_t run = plainJsonPrefix(line.substr(at));
      if (to != nullptr) {
        std::memcpy(*to, line.data() + at, run);
        *to += run;
      }
      at += run;
      if (atEnd()) return fail("the string is not closed");
      const char c = line[at];
      const auto byte = static_cast<unsigned char>(c);
      char32_t code = 0;
      if (c == '"') {
        ++at;
        return true;
      }
      if (byte < 0x20) return fail("a control character must be escaped in a string");
      if (c == '\\' && escapedByte(to)) continue;
      if (c == '\\') {
        const std::size_t escapeAt = at;
        ++at;
        if (atEnd()) return fail("the string is not closed");
        const char kind = line[at++];
        switch (kind) {
          case '"':
            code = '"';
            break;
          case '\\':
            code = '\\';
            break;
          case '/':
            code = '/';
            break;
          case 'b':
            code = '\b';
            break;
          case 'f':
            code = '\f';
            break;
          case 'n':
            code = '\n';
            break;
          case 'r':
            code = '\r';
            break;
          case 't':
            code = '\t';
            break;
          case 'u':
            for (int i = 0; i < 4; ++i, ++at) {
              const std::uint8_t digit = atEnd() ? 16 : kHexValues[static_cast<unsigned char>(line[at])];
              if (digit > 15) return fail("\\u needs four hexadecimal digits");
              code = (code << 4) | digit;
            }
            break;
          default:
            at = escapeAt;
            return fail("unknown escape '\\" + std::string(1, kind) + "'");
        }
        if (isText && code > kLastByteCharacter) {
          at = escapeAt;
          return fail(hex4(code) + " is not a byte: a text holds characters U+0000 to U+00FF");
        }
      } else if (byte >= 0x80) {
        const std::size_t characterAt = at;
        const std::optional<char32_t> decoded = takeUtf8();
        if (!decoded) return fail("the line is not valid UTF-8");
        code = *decoded;
        if (isText && code > kLastByteCharacter) {
          at = characterAt;
          return fail(hex4(code) + " is not a byte: a text holds characters U+0000 to U+00FF");
        }
      } else {
        code = byte;
        ++at;
      }
      if (to != nullptr) *(*to)++ = static_cast<char>(code > kLastByteCharacter ? 0xFF : code);
    }
  }

  // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
  bool readNumber() {
    take('-');
    if (!isDigit(peek())) return fail("expected a digit");
    if (!take('0')) {
      while (isDigit(peek())) ++at;
    }
    if (take('.')) {
      if (!isDigit(peek())) return fail("expected a digit after the decimal point");
      while (isDigit(peek())) ++at;
    }
    if (take('e') || take('E')) {
      if (!take('+')) take('-');
      if (!isDigit(peek())) return fail("expected a digit in the exponent");
      while (isDigit(peek())) ++at;
    }
    return true;
  }

  // Any JSON value, read and dropped.
  bool skipValue(int depth) {
    const char first = peek();
    if (first == '"') return readString(nullptr, false);
    if (first == '-' || isDigit(first)) return readNumber();
    if (first != '{' && first != '[') {
      for (const std::string_view word : {"true", "false", "null"}) {
        if (line.substr(at).starts_with(word)) {
          at += word.size();
          return true;
        }
      }
      return fail("expected a value");
    }
    if (depth >= kDeepestValue) return fail("the value nests too deeply");
    const char close = first == '{' ? '}' : ']';
    ++at;
    skipSpace();
    if (take(close)) return true;
    while (true) {
      skipSpace();
      if (first == '{') {
        if (peek() != '"') return fail("expected a key in double quotes");
        if (!readString(nullptr, false)) return false;
        skipSpace();
        if (!take(':')) return fail("expected ':' after the key");
        skipSpace();
      }
      if (!skipValue(depth + 1)) return false;
      skipSpace();
      if (take(',')) continue;
      if (take(close)) return true;
      return fail(first == '{' ? "expected ',' or '}'" : "expected ',' or ']'");
    }
  }
};

}  // namespace

bool isBlankLine(std::string_view line) {
  for (const char c : line)
    if (!isJsonSpace(c)) return false;
  return true;
}

bool parseJsonlLine(std::string_view line, JsonlInput& input, std::string& error) {
  LineReader reader{.line = line, .error = error};
  input.id.clear();
  input.text.clear();
  bool haveId = false;
  bool haveText = false;
  reader.skipSpace();
  if (!reader.take('{')) return reader.fail("expected '{': each line is one object");
  reader.skipSpace();
  if (reader.peek() != '}') {
    while (true) {
      reader.skipSpace();
      const std::size_t keyAt = reader.at;
      if (reader.peek() != '"') return reader.fail("expected a key in double quotes");
      if (!reader.readString(nullptr, false)) return false;
      // A key without escapes is its own text; only an escaped one is read again, into a string of its own.
      std::string_view key = line.substr(keyAt + 1, reader.at - keyAt - 2);
      std::string unescaped;
      if (key.find('\\') != std::string_view::npos) {
        LineReader again{.line = line, .error = error, .at = keyAt};
        if (!again.readString(&unescaped, false)) return false;
        key = unescaped;
      }
      reader.skipSpace();
      if (!reader.take(':')) return reader.fail("expected ':' after the key");
      reader.skipSpace();
      const std::size_t valueAt = reader.at;
      if (key == "id" || key == "text") {
        bool& seen = key == "id" ? haveId : haveText;
        if (seen) {
          reader.at = keyAt;
          return reader.fail("\"" + std::string(key) + "\" appears twice");
        }
        seen = true;
      } else {
        if (!reader.skipValue(0)) return false;
      }
      if (key == "text") {
        if (reader.peek() != '"') return reader.fail("\"text\" must be a string");
        if (!reader.readString(&input.text, true)) return false;
      } else if (key == "id") {
        const char first = reader.peek();
        if (first == '"') {
          if (!reader.readString(nullptr, false)) return false;
        } else if (first == '-' || isDigit(first)) {
          if (!reader.readNumber()) return false;
        } else {
          return reader.fail("\"id\" must be a string or a number");
        }
        input.id.assign(line.substr(valueAt, reader.at - valueAt));
      }
      reader.skipSpace();
      if (reader.take(',')) continue;
      if (reader.peek() == '}') break;
      return reader.fail("expected ',' or '}'");
    }
  }
  reader.take('}');
  reader.skipSpace();
  if (!reader.atEnd()) return reader.fail("unexpected text after the object");
  if (!haveId || !haveText) {
    reader.at = 0;
    return reader.fail(!haveId ? "the line has no \"id\"" : "the line has no \"text\"");
  }
  return true;
}

}  // namespace quorix
