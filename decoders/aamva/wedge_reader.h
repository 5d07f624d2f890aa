// The keyboard-wedge AAMVA reader (registry id 57): barcode text that a scanner typed into a text field, losing every
// separator on the way, cut back into its elements.
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

// Statuses of the wedge reader besides the pipeline's -1, -2, -5, -7, -8, -9 and -10.
inline constexpr Status kAamvaWedgeSeparator = -14;  // the text keeps a separator: the other AAMVA rows read it
inline constexpr Status kAamvaWedgeNoCut = -15;      // the subfile data cannot be cut into elements, or is too long

// Decodes an AAMVA text of versions 1 to 10 that begins with "@" and holds no line feed, carriage return, record,
// file or group separator; 0 when it accepts it. Slot 86 names the edition with " (separators restored)" appended;
// the elements are stored through the edition's table and storeElement, as the other AAMVA rows store them.
[[nodiscard]] Status decodeAamvaWedge(const char* text, std::int32_t length, FieldRecord& record,
                                      ParserInstance& instance);
// False when the wedge reader turns the text away before it writes anything; true promises nothing.
[[nodiscard]] bool screenAamvaWedge(const char* text, std::int32_t length);

}  // namespace quorix
