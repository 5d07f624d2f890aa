// The magnetic stripe decoders: one pipeline run with the framing and layout of each registry id (0 to 16).
#pragma once

#include <quorix/field_record.h>
#include <quorix/parser.h>
#include <quorix/status.h>

#include <cstdint>

namespace quorix {

// Decodes magnetic stripe text as variant Id; 0 when the variant accepts it. Reads the century from instance.now.
// Id 11 removes line feeds from the text in place (ending it with a NUL), so the text must be writable: the parse
// hands every row a freshly prepared copy in its own buffer.
template <std::int32_t Id>
[[nodiscard]] Status decodeMagstripeVariant(const char* text, std::int32_t length, FieldRecord& record,
                                            ParserInstance& instance);

}  // namespace quorix
