// The national identity card decoders: Guatemala, Puerto Rico, Panama, South Africa and Mexico (registry ids 51 to 55).
#pragma once

#include <quorix/field_record.h>
#include <quorix/parser.h>
#include <quorix/status.h>

#include <cstdint>

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

}  // namespace quorix
