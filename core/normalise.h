// The two prepare functions that turn raw reader output into the text a decoder reads.
#pragma once

#include <quorix/repairs.h>
#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"

namespace quorix {

// Copies min(inputLength, outRoom) bytes unchanged, then a NUL behind them; -21 on a bad argument.
[[nodiscard]] Status prepareCopy(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                                 std::int32_t* outLength);
// Repairs escapes, line ends and damaged AAMVA headers; writes at most outRoom bytes plus a NUL. Always 0.
[[nodiscard]] Status normaliseInput(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                                    std::int32_t* outLength);
// normaliseInput that also tells which of its repairs it made (repairs may be null). Blanks trimmed at either end
// are no repair.
[[nodiscard]] Status normaliseInputReporting(const char* input, std::int32_t inputLength, char* out,
                                             std::int32_t outRoom, std::int32_t* outLength, RepairSet* repairs);
// Whether a text prepared from an input, by either prepare function, upper-cased or not and its accented letters
// read as ASCII, may hold a byte; false only when it cannot. The selection offers a row only inputs that may hold the
// byte the row cannot accept a text without, and asks for every row: each byte, and the searches for spelled bytes
// and accented letters that most answers need, are worked out once per input.
class PreparedBytes {
 public:
  PreparedBytes(const char* input, std::int32_t inputLength) : input_(input), length_(inputLength) {}
  // Inline: the selection asks for every row, and nearly every question has been answered before.
  [[nodiscard]] bool mayHold(char c) {
    const Answer known = bytes_[static_cast<unsigned char>(c)];
    return known != Answer::kNotAsked ? known == Answer::kYes : answer(c);
  }

 private:
  enum class Answer : std::uint8_t { kNotAsked, kYes, kNo };
  [[nodiscard]] bool answer(char c);
  [[nodiscard]] bool holds(char c) const;
  [[nodiscard]] bool spelled();
  [[nodiscard]] bool accented();

  const char* input_;
  std::int32_t length_;
  Answer bytes_[256] = {};
  Answer spelled_ = Answer::kNotAsked;
  Answer accented_ = Answer::kNotAsked;
};
// The same answer for one byte.
[[nodiscard]] inline bool mayPrepareByte(const char* input, std::int32_t inputLength, char c) {
  return PreparedBytes(input, inputLength).mayHold(c);
}
// Non-overlapping left-to-right replacement within capacity; returns the new length and writes no NUL.
std::int32_t replaceAll(char* buffer, std::int32_t length, std::int32_t capacity, TextSpan pattern,
                        TextSpan replacement);

}  // namespace quorix
