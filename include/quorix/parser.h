// The parser instance and the parse entry: one instance per caller object, a clock snapshot, and buffers that
// only grow.
#pragma once

#include <quorix/field_record.h>
#include <quorix/repairs.h>
#include <quorix/status.h>
#include <quorix/version.h>

#include <cstdint>

namespace quorix {

// One parser: the clock of its latest parse, the buffers every parse reuses, and the record of the latest parse.
// Use an instance from one thread at a time.
struct ParserInstance;

// A new, all-empty instance, or null when it cannot be allocated.
ParserInstance* createInstance();
// Releases the buffers, then the instance; null is ignored.
void destroyInstance(ParserInstance* instance);

// Frees the buffers when a long input made them larger than 1 MiB, so one such parse does not pin them
// for the instance's life; the next parse allocates them at their usual size again. The record is emptied then:
// call it only after the latest result has been read.
void releaseLargeBuffers(ParserInstance* instance);

// Samples the local clock, then parses. 0 when a decoder's result is in parsedRecord(*instance).
[[nodiscard]] Status parseBuffer(ParserInstance* instance, const char* input, std::int32_t inputLength);
// The same parse with a given clock, so that results depending on the date are reproducible.
[[nodiscard]] Status parseBufferAt(ParserInstance* instance, const char* input, std::int32_t inputLength,
                                   const DateTime& now);

// The record of the latest parse, read with recordSlot and the derivations: a parse that gave 0 filled it, and it
// holds until the next parse or releaseLargeBuffers; before the first parse it is empty.
[[nodiscard]] const FieldRecord& parsedRecord(const ParserInstance& instance);
// What the latest parse relied on to read its text (see <quorix/repairs.h>); 0 when it mended nothing.
[[nodiscard]] RepairSet parsedRepairs(const ParserInstance& instance);
// The local date and time the latest parse sampled, or the one it was given.
[[nodiscard]] DateTime parseTime(const ParserInstance& instance);
// Inputs longer than maxLength bytes are refused with kStatusInputTooLarge before any buffer grows; 0 (the default,
// and what a negative length gives) for no limit.
void setMaxInputLength(ParserInstance& instance, std::int32_t maxLength);
// Where derivations write their texts after a parse (see <quorix/result_fields.h>): the instance's text buffer, at
// least 8 KB once a parse has run, overwritten by the next parse.
struct DerivationBuffer {
  char* data = nullptr;
  std::int32_t size = 0;
};
[[nodiscard]] DerivationBuffer derivationBuffer(ParserInstance& instance);
// The bytes the instance holds: itself and its buffers.
[[nodiscard]] std::int64_t heldBytes(const ParserInstance& instance);

}  // namespace quorix
