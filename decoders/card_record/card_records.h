// The fixed-position card record decoders (registry ids 44 and 45).
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

// Decodes a fixed-position card record as decoder Id; 0 when it accepts the text.
template <std::int32_t Id>
[[nodiscard]] Status decodeCardRecord(const char* text, std::int32_t length, FieldRecord& record,
                                      ParserInstance& instance);
// False when the decoder turns the text away before it writes anything; true promises nothing.
template <std::int32_t Id>
[[nodiscard]] bool screenCardRecord(const char* text, std::int32_t length);

}  // namespace quorix
