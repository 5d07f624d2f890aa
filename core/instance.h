// The parser instance as the library keeps it: the buffers every parse reuses and only grows, and the limit a
// caller sets. Callers hold it through <quorix/parser.h>.
#pragma once

#include <quorix/parser.h>
#include <quorix/repairs.h>

#include <cstdint>
#include <ctime>

#include "core/field_record.h"

namespace quorix {

// Work one row of a contest leaves for the rows after it that would repeat it: what a stage of a decoder family wrote
// reading a span with certain hooks, under the hooks and a copy of the span. It holds while contestSerial is the
// serial it was kept under.
inline constexpr std::int32_t kKeptWorkHooks = 10;
inline constexpr std::int32_t kKeptWorkSpan = 120;  // longer than any track a card holds
struct KeptWork {
  std::uint64_t serial = 0;  // 0: nothing kept
  std::uintptr_t hooks[kKeptWorkHooks] = {};
  std::int32_t spanLength = 0;
  char span[kKeptWorkSpan] = {};
  RecordSnapshot record;
};
inline constexpr std::int32_t kKeptWorkEntries = 6;

// The text a row's screen has just passed, named while the contest runs that row's decode on it: a decode that
// would screen its text first need not do so again.
struct ScreenedText {
  std::uint64_t serial = 0;  // the contest's; 0: nothing screened
  bool (*screen)(const char* text, std::int32_t length) = nullptr;
  const char* text = nullptr;
  std::int32_t length = 0;
};

struct ParserInstance {
  DateTime now;                 // local time at the start of the latest parse
  FieldRecord record;           // result of the latest parse; its arena is arenaBuffer
  char* textBuffer = nullptr;   // prepared input during a parse, derivation output afterwards
  char* arenaBuffer = nullptr;  // lent to record
  std::int32_t textBufferSize = 0;
  std::int32_t arenaBufferSize = 0;
  char* spareBuffer = nullptr;  // room for a second prepared text, a scratch text and a second arena
  std::int32_t spareBufferSize = 0;
  RepairSet repairs = 0;  // what the latest parse relied on; cleared when a parse starts
  // Longer inputs are refused with kStatusInputTooLarge before any buffer grows; 0 for no limit.
  std::int32_t maxInputLength = 0;
  // The clock reading of the latest parse on the clock: parses within the same second share its local time. Before
  // the first, -1 (what a failed reading gives) with the empty time a failed reading yields.
  std::time_t clockSecond = static_cast<std::time_t>(-1);
  DateTime clockTime;
  // Names the contest under way, whose rows may share work; 0 outside one, where a decoder shares nothing.
  std::uint64_t contestSerial = 0;
  std::uint64_t lastSerial = 0;
  KeptWork kept[kKeptWorkEntries];
  std::int32_t nextKept = 0;  // the entry the next work kept takes, the oldest
  ScreenedText screened;
  // The contest's second record, over the last part of spareBuffer while a contest runs; reset between contests.
  FieldRecord spareRecord;
};

// Whether screen passed text in the contest under way, for the row now decoding it.
[[nodiscard]] inline bool screenPassed(const ParserInstance& instance, bool (*screen)(const char*, std::int32_t),
                                       const char* text, std::int32_t length) {
  const ScreenedText& s = instance.screened;
  return s.serial != 0 && s.serial == instance.contestSerial && s.screen == screen && s.text == text &&
         s.length == length;
}

// Buffers beyond this size are let go by releaseLargeBuffers.
inline constexpr std::int32_t kLargeBufferSize = 1 << 20;

}  // namespace quorix
