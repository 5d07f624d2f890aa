// The C interface's handle, shared by the files that make up the C interface of the shared library: core/c_api.cpp,
// and the image entry points that the library carries with or without the image component.
#pragma once

#include <quorix/extras.h>
#include <quorix/quorix.h>
#include <quorix/result_fields.h>
#include <quorix/status.h>

#include <cstdint>
#include <iterator>

#include "core/instance.h"

namespace quorix {

inline constexpr std::int32_t kFieldCount = static_cast<std::int32_t>(std::size(kResultFields));
inline constexpr std::int32_t kExtraCount = static_cast<std::int32_t>(std::size(kExtraFields));
inline constexpr std::int32_t kNoValue = -1;

}  // namespace quorix

struct quorix_parser {
  quorix::ParserInstance* instance = nullptr;
  // The latest result's texts, each NUL-terminated, found through the offsets below; grows and is kept.
  char* values = nullptr;
  std::int32_t valuesSize = 0;
  std::int32_t valuesUsed = 0;
  std::int32_t fieldAt[quorix::kFieldCount] = {};
  std::int32_t extraAt[quorix::kExtraCount] = {};
  std::int32_t standardAt = quorix::kNoValue;
  bool parsed = false;  // the latest parse succeeded and its result is stored
  // The symbol the latest image parse took its bytes from, also when they were rejected; null format: none.
  const char* symbolFormat = nullptr;  // a string literal of the image component
  std::int32_t symbolPosition[8] = {};
};

namespace quorix {

// Drops the latest result and symbol; every accessor answers NULL or -1 until the next parse succeeds.
void forgetResult(quorix_parser& parser);
// After a parse that returned status: stores the result when it succeeded, else forgets it. Returns the status, or
// kStatusNoArena when the result cannot be stored.
[[nodiscard]] Status finishParse(quorix_parser& parser, Status status);
bool clockInRange(const quorix_datetime& now);
DateTime toDateTime(const quorix_datetime& time);

}  // namespace quorix
