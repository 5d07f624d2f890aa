// The decoder registry: every decoder, in the fixed order in which they compete for a text.
#pragma once

#include <quorix/field_record.h>
#include <quorix/parser.h>
#include <quorix/status.h>

#include <cstdint>
#include <span>

namespace quorix {

using PrepareFunction = Status (*)(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                                   std::int32_t* outLength);
// 0 when the decoder accepts the text. It writes only through the slot setters, so nothing points into text.
using DecodeFunction = Status (*)(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance);

struct DecoderEntry {
  std::int32_t group = kGroupNone;
  std::int32_t id = kNoDecoderId;
  PrepareFunction prepare = nullptr;
  DecodeFunction decode = nullptr;
  const char* expectedCountry = nullptr;       // alpha-3 code a correct result carries, or null
  const char* expectedJurisdiction = nullptr;  // two-letter code a correct result carries, or null
  RepairSet repairs = 0;                       // what every text this row accepts relies on
};

inline constexpr std::int32_t kRegistryRows = 57;

// The registry rows in competition order; ties go to the earlier row.
std::span<const DecoderEntry> decoderRegistry();

}  // namespace quorix
