// The decoder registry: every decoder, in the fixed order in which they compete for a text. The rows are declared
// here and listed beside the decoders they name, in decoders/registry.cpp; everything the selection knows about a
// row is a field of it.
#pragma once

#include <quorix/repairs.h>
#include <quorix/status.h>

#include <cstdint>
#include <span>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

using PrepareFunction = Status (*)(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                                   std::int32_t* outLength);
// 0 when the decoder accepts the text. It writes only through the slot setters, so nothing points into text.
using DecodeFunction = Status (*)(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance);
// The decode of a row that edits its text in place: it gets a copy of its own to write into.
using EditingDecodeFunction = Status (*)(char* text, std::int32_t length, FieldRecord& record,
                                         ParserInstance& instance);
// The row's early test: false when its decoder would turn the text away before writing anything; true promises
// nothing.
using ScreenFunction = bool (*)(const char* text, std::int32_t length);
// What the row must mend in the framing of its prepared text before reading it; 0 when it reads the text as it
// stands. With edit non-null (the text's bytes, or the text itself, with room + 1 bytes of space) the mended text is
// written there, NUL-terminated, and its length stored in editedLength; edit is untouched when the result is 0.
using MendFunction = RepairSet (*)(const char* text, std::int32_t length, std::int32_t room, char* edit,
                                   std::int32_t* editedLength);

struct DecoderEntry {
  std::int32_t group = kGroupNone;
  std::int32_t id = kNoDecoderId;
  PrepareFunction prepare = nullptr;
  DecodeFunction decode = nullptr;
  const char* expectedCountry = nullptr;          // alpha-3 code a correct result carries, or null
  const char* expectedJurisdiction = nullptr;     // two-letter code a correct result carries, or null
  RepairSet repairs = 0;                          // what every text this row accepts relies on
  MendFunction mendFraming = nullptr;             // null: the row reads its prepared text as it stands
  ScreenFunction screen = nullptr;                // null: the row has no early test
  EditingDecodeFunction decodeEditing = nullptr;  // in place of decode for a row that writes into its text
  bool readsFixedPlaces = false;  // fields cut at fixed places, so an accented letter is read as one ASCII letter
  // A byte without which the row's prepared and mended text is turned away: the row is offered only inputs whose
  // prepared text may hold it (mayPrepareByte). '\0': every input.
  char mark = '\0';
};

inline constexpr std::int32_t kRegistryRows = 57;

// The registry rows in competition order; ties go to the earlier row.
std::span<const DecoderEntry> decoderRegistry();

}  // namespace quorix
