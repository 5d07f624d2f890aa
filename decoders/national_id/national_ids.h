// The national identity card decoders: Guatemala, Puerto Rico, Panama, South Africa and Mexico (registry ids 51 to 55).
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

[[nodiscard]] Status decodeGuatemalaId(const char* text, std::int32_t length, FieldRecord& record,
                                       ParserInstance& instance);
[[nodiscard]] Status decodePuertoRicoId(const char* text, std::int32_t length, FieldRecord& record,
                                        ParserInstance& instance);
[[nodiscard]] Status decodePanamaId(const char* text, std::int32_t length, FieldRecord& record,
                                    ParserInstance& instance);
[[nodiscard]] Status decodeSouthAfricaId(const char* text, std::int32_t length, FieldRecord& record,
                                         ParserInstance& instance);
[[nodiscard]] Status decodeMexicoId(const char* text, std::int32_t length, FieldRecord& record,
                                    ParserInstance& instance);

// False when the Panamanian or South African decoder turns the text away before it writes anything (it lacks the
// decoder's "|" fields); true promises nothing.
[[nodiscard]] bool screenPanamaId(const char* text, std::int32_t length);
[[nodiscard]] bool screenSouthAfricaId(const char* text, std::int32_t length);

}  // namespace quorix
