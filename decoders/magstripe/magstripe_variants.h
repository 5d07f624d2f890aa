// The magnetic stripe decoders: one pipeline run with the framing and layout of each registry id (0 to 16).
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

// Decodes magnetic stripe text as variant Id; 0 when the variant accepts it. Reads the century from instance.now.
template <std::int32_t Id>
[[nodiscard]] Status decodeMagstripeVariant(const char* text, std::int32_t length, FieldRecord& record,
                                            ParserInstance& instance);
// The same for the variants that remove line feeds from the text in place first (id 11), ending it with a NUL.
template <std::int32_t Id>
[[nodiscard]] Status decodeMagstripeEditing(char* text, std::int32_t length, FieldRecord& record,
                                            ParserInstance& instance);
// False when variant Id turns the text away before it writes anything; true promises nothing.
template <std::int32_t Id>
[[nodiscard]] bool screenMagstripeVariant(const char* text, std::int32_t length);

}  // namespace quorix
