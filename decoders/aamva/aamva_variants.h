// The AAMVA barcode decoders: one pipeline run with the settings of each registry id (17 to 43).
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

// Decodes an AAMVA DL/ID barcode text as variant Id; 0 when the variant accepts it.
template <std::int32_t Id>
[[nodiscard]] Status decodeAamvaVariant(const char* text, std::int32_t length, FieldRecord& record,
                                        ParserInstance& instance);
// False when the decoder turns the text away before it writes anything; true promises nothing.
template <std::int32_t Id>
[[nodiscard]] bool screenAamvaVariant(const char* text, std::int32_t length);

}  // namespace quorix
