// The parser instance and the parse entry: one instance per caller object, a clock snapshot, and two buffers that
// only grow.
#pragma once

#include <quorix/field_record.h>
#include <quorix/repairs.h>
#include <quorix/status.h>
#include <quorix/version.h>

#include <cstdint>

namespace quorix {

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
};

// Buffers beyond this size are let go by releaseLargeBuffers.
inline constexpr std::int32_t kLargeBufferSize = 1 << 20;

// A new, all-empty instance, or null when it cannot be allocated.
ParserInstance* createInstance();
// Releases the buffers, then the instance; null is ignored.
void destroyInstance(ParserInstance* instance);

// Frees the buffers when a long input made them larger than kLargeBufferSize, so one such parse does not pin them
// for the instance's life; the next parse allocates them at their usual size again. The record is emptied then:
// call it only after the latest result has been read.
void releaseLargeBuffers(ParserInstance* instance);

// Samples the local clock, then parses. 0 when a decoder's result is in instance->record.
[[nodiscard]] Status parseBuffer(ParserInstance* instance, const char* input, std::int32_t inputLength);
// The same parse with a given clock, so that results depending on the date are reproducible.
[[nodiscard]] Status parseBufferAt(ParserInstance* instance, const char* input, std::int32_t inputLength,
                                   const DateTime& now);

}  // namespace quorix
