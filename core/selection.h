// Decoder selection: offer the text to every registry row, score what each fills, keep the best.
#pragma once

#include <quorix/status.h>

#include <cstdint>
#include <span>

#include "core/field_record.h"
#include "core/instance.h"
#include "core/registry.h"

namespace quorix {

[[nodiscard]] Status selectAndDecode(const char* input, std::int32_t inputLength, char* work, std::int32_t workSize,
                                     FieldRecord* record, ParserInstance& instance);
// The same contest over the given rows; selectAndDecode runs it over the registry.
[[nodiscard]] Status selectAndDecodeFrom(std::span<const DecoderEntry> rows, const char* input,
                                         std::int32_t inputLength, char* work, std::int32_t workSize,
                                         FieldRecord* record, ParserInstance& instance);

// Points a row gains or loses by whether the record's derived country and jurisdiction match what it expects:
// +100/-1000 for the country, +50/-500 for the jurisdiction, nothing where a derivation finds none.
std::int32_t issuerAgreement(const DecoderEntry& row, const FieldRecord& record, char* scratch, std::int32_t room);

}  // namespace quorix
