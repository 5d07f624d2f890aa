// Accented letters as readers deliver them, in Latin-1 or in UTF-8, read as the ASCII letters they are based on,
// so that a name with an accent is read like the same name without one.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorix {

// What stands at one place of a text: the ASCII letters an accented letter is read as (empty for anything else)
// and how many bytes it takes (at least 1 inside the text).
struct LetterAt {
  std::string_view ascii;
  std::int32_t bytes = 1;
};

// Reads the letter at text[at], at < length. A byte 0xC3 and a byte from 0x80 to 0xBF are one letter in UTF-8; any
// other UTF-8 sequence is a character of another alphabet and is left alone whole; any other byte from 0xC0 up is a
// Latin-1 letter, except the signs for multiplication and division.
[[nodiscard]] LetterAt letterAt(const char* text, std::int64_t length, std::int64_t at);

// Whether a text holds any byte that may begin an accented letter; a text without one needs no transliteration.
[[nodiscard]] bool mayHoldAccentedLetters(const char* text, std::int32_t length);

struct LetterOptions {
  bool upperCase = false;     // the letters come out in capitals, as the rest of an upper-cased text
  bool onePlaceEach = false;  // each letter keeps one place, for texts read at fixed positions
};

// Rewrites the accented letters of text[0, length) in place within capacity bytes and returns the new length;
// writes no NUL. A letter spelt with two ASCII letters (German sharp s, the ligatures, thorn) takes one place more;
// when the room up to capacity is used up, such a letter and every later one that would grow stays as it is.
// With onePlaceEach it keeps only its first letter instead. changed (when not null) tells whether any letter was
// rewritten.
[[nodiscard]] std::int32_t transliterateLetters(char* text, std::int32_t length, std::int32_t capacity,
                                                LetterOptions options, bool* changed);

}  // namespace quorix
