// The Latin-1 letters and the ASCII letters each is read as, and the rewrite of a text's accented letters. Cards
// of Spanish-speaking issuers write their names with accents, and some scanners send them in UTF-8 instead.
#include "core/transliterate.h"

#include <array>
#include <cstring>
#include <iterator>

namespace quorix {
namespace {

struct LetterSpelling {
  unsigned char byte;
  std::string_view ascii;
};

// One row per Latin-1 letter, in byte order: 0xC0 to 0xFF but the signs for multiplication (0xD7) and division
// (0xF7). The base letter, keeping its case; the two that have none in ASCII are spelt as travel documents spell
// them: eth as D, thorn as TH.
// clang-format off
constexpr LetterSpelling kLatin1Letters[] = {
    {0xC0, "A"},   // À
    {0xC1, "A"},   // Á
    {0xC2, "A"},   // Â
    {0xC3, "A"},   // Ã
    {0xC4, "A"},   // Ä
    {0xC5, "A"},   // Å
    {0xC6, "AE"},  // Æ
    {0xC7, "C"},   // Ç
    {0xC8, "E"},   // È
    {0xC9, "E"},   // É
    {0xCA, "E"},   // Ê
    {0xCB, "E"},   // Ë
    {0xCC, "I"},   // Ì
    {0xCD, "I"},   // Í
    {0xCE, "I"},   // Î
    {0xCF, "I"},   // Ï
    {0xD0, "D"},   // Ð
    {0xD1, "N"},   // Ñ
    {0xD2, "O"},   // Ò
    {0xD3, "O"},   // Ó
    {0xD4, "O"},   // Ô
    {0xD5, "O"},   // Õ
    {0xD6, "O"},   // Ö
    {0xD8, "O"},   // Ø
    {0xD9, "U"},   // Ù
    {0xDA, "U"},   // Ú
    {0xDB, "U"},   // Û
    {0xDC, "U"},   // Ü
    {0xDD, "Y"},   // Ý
    {0xDE, "TH"},  // Þ
    {0xDF, "ss"},  // ß, a small letter without a capital in Latin-1
    {0xE0, "a"},   // à
    {0xE1, "a"},   // á
    {0xE2, "a"},   // â
    {0xE3, "a"},   // ã
    {0xE4, "a"},   // ä
    {0xE5, "a"},   // å
    {0xE6, "ae"},  // æ
    {0xE7, "c"},   // ç
    {0xE8, "e"},   // è
    {0xE9, "e"},   // é
    {0xEA, "e"},   // ê
    {0xEB, "e"},   // ë
    {0xEC, "i"},   // ì
    {0xED, "i"},   // í
    {0xEE, "i"},   // î
    {0xEF, "i"},   // ï
    {0xF0, "d"},   // ð
    {0xF1, "n"},   // ñ
    {0xF2, "o"},   // ò
    {0xF3, "o"},   // ó
    {0xF4, "o"},   // ô
    {0xF5, "o"},   // õ
    {0xF6, "o"},   // ö
    {0xF8, "o"},   // ø
    {0xF9, "u"},   // ù
    {0xFA, "u"},   // ú
    {0xFB, "u"},   // û
    {0xFC, "u"},   // ü
    {0xFD, "y"},   // ý
    {0xFE, "th"},  // þ
    {0xFF, "y"},   // ÿ
};
// clang-format on

constexpr unsigned char kMultiplicationSign = 0xD7;
constexpr unsigned char kDivisionSign = 0xF7;

// Every letter from 0xC0 up once, in order; one or two ASCII letters each, capitals exactly for the capitals.
constexpr bool lettersAreComplete() {
  unsigned expected = 0xC0;
  for (const LetterSpelling& row : kLatin1Letters) {
    if (expected == kMultiplicationSign || expected == kDivisionSign) ++expected;
    if (row.byte != expected++ || row.ascii.empty() || row.ascii.size() > 2) return false;
    const bool capital = row.byte < 0xDF;
    for (char c : row.ascii)
      if (capital ? (c < 'A' || c > 'Z') : (c < 'a' || c > 'z')) return false;
  }
  return expected == 0x100;
}
static_assert(std::size(kLatin1Letters) == 62 && lettersAreComplete());

// The spelling of each byte from 0xC0 up, empty for the two signs.
constexpr std::array<std::string_view, 64> kSpellingOf = [] {
  std::array<std::string_view, 64> spellings{};
  for (const LetterSpelling& row : kLatin1Letters) spellings[row.byte - 0xC0u] = row.ascii;
  return spellings;
}();

constexpr unsigned char kUtf8LatinLead = 0xC3;  // lead byte of U+00C0 to U+00FF

bool isContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// The length of the UTF-8 sequence of another alphabet that starts at text[at], or 0 when none does.
std::int32_t otherUtf8Sequence(const unsigned char* text, std::int64_t length, std::int64_t at) {
  const unsigned char lead = text[at];
  std::int32_t bytes = 0;
  if (lead >= 0xC2 && lead <= 0xDF) bytes = 2;
  if (lead >= 0xE0 && lead <= 0xEF) bytes = 3;
  if (lead >= 0xF0 && lead <= 0xF4) bytes = 4;
  if (bytes == 0 || length - at < bytes) return 0;
  for (std::int32_t i = 1; i < bytes; ++i)
    if (!isContinuation(text[at + i])) return 0;
  return bytes;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

LetterAt letterAt(const char* text, std::int64_t length, std::int64_t at) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = bytes[at];
  if (lead < 0xC0) return {};
  if (lead == kUtf8LatinLead && length - at >= 2 && isContinuation(bytes[at + 1])) {
    return {.ascii = kSpellingOf[bytes[at + 1] - 0x80u], .bytes = 2};
  }
  if (const std::int32_t other = otherUtf8Sequence(bytes, length, at); other > 0) return {.ascii = {}, .bytes = other};
  return {.ascii = kSpellingOf[lead - 0xC0u], .bytes = 1};
}

bool mayHoldAccentedLetters(const char* text, std::int32_t length) {
  // Every text of every parse passes here, so eight bytes are tested at once: a byte from 0xC0 up is one whose two
  // top bits are set, and shifting a word left by one puts each byte's bit 6 under its bit 7.
  constexpr std::uint64_t kTopBits = 0x8080808080808080u;
  std::uint64_t seen = 0;
  std::int32_t i = 0;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text + i, sizeof word);
    seen |= word & (word << 1);
  }
  if ((seen & kTopBits) != 0) return true;
  for (; i < length; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0xC0) return true;
  return false;
}

std::int32_t transliterateLetters(char* text, std::int32_t length, std::int32_t capacity, LetterOptions options,
                                  bool* changed) {
  if (changed != nullptr) *changed = false;
  if (text == nullptr || length < 1 || capacity < length) return length < 0 ? 0 : length;
  std::int32_t first = 0;
  while (first < length && static_cast<unsigned char>(text[first]) < 0xC0) ++first;
  if (first == length) return length;
  // The part from the first candidate on is parked at the end of the room and rewritten forwards. The writer stays
  // behind the reader by the room not yet used, and a letter grows the text only while room is left.
  const std::int64_t tail = std::int64_t{length} - first;
  std::int64_t read = std::int64_t{capacity} - tail;
  std::memmove(text + read, text + first, static_cast<std::size_t>(tail));
  std::int64_t write = first;
  std::int64_t room = std::int64_t{capacity} - length;
  bool rewritten = false;
  while (read < capacity) {
    const LetterAt letter = letterAt(text, capacity, read);
    const std::string_view ascii = options.onePlaceEach ? letter.ascii.substr(0, 1) : letter.ascii;
    const std::int64_t growth = static_cast<std::int64_t>(ascii.size()) - letter.bytes;
    if (ascii.empty() || growth > room) {
      std::memmove(text + write, text + read, static_cast<std::size_t>(letter.bytes));
      write += letter.bytes;
    } else {
      for (char c : ascii) text[write++] = options.upperCase ? upper(c) : c;
      room -= growth;
      rewritten = true;
    }
    read += letter.bytes;
  }
  if (changed != nullptr) *changed = rewritten;
  return static_cast<std::int32_t>(write);
}

}  // namespace quorix
