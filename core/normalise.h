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
// Whether a text prepared from input, by either prepare function, upper-cased or not and its accented letters read
// as ASCII, may hold byte c; false only when it cannot. The selection offers a row only inputs that may hold the
// byte the row cannot accept a text without.
[[nodiscard]] bool mayPrepareByte(const char* input, std::int32_t inputLength, char c);
// Non-overlapping left-to-right replacement within capacity; returns the new length and writes no NUL.
std::int32_t replaceAll(char* buffer, std::int32_t length, std::int32_t capacity, TextSpan pattern,
                        TextSpan replacement);

}  // namespace quorix
