// The Common Access Card decoders (registry ids 46 to 50).
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

// Decodes a Common Access Card barcode text as decoder Id; 0 when it accepts the text.
template <std::int32_t Id>
[[nodiscard]] Status decodeCacVariant(const char* text, std::int32_t length, FieldRecord& record,
                                      ParserInstance& instance);
// False when the decoder turns the text away before it writes anything; true promises nothing.
template <std::int32_t Id>
[[nodiscard]] bool screenCacVariant(const char* text, std::int32_t length);

}  // namespace quorix
