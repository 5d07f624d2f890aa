// Small pieces every text derivation shares: the argument check, slot views and the plain copies into `out`.
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/char_classes.h"
#include "core/field_record.h"
#include "core/text_utils.h"

namespace quorix {

// White space as the derivations trim it: space, tab, line feed, vertical tab, form feed, carriage return.
inline constexpr const char* kWhiteSpace = " \t\n\v\f\r";

// A derivation may write into out only when this holds; otherwise it returns kStatusBadArgument untouched.
[[nodiscard]] inline bool derivationArgumentsValid(const FieldRecord& record, const char* out, std::int32_t outSize) {
  return record.arena != nullptr && record.arenaSize >= 1 && out != nullptr && outSize >= 1;
}

// The slot's text as a span; empty for an empty slot or a number outside the record.
[[nodiscard]] inline TextSpan slotSpan(const FieldRecord& record, std::int32_t slot) {
  if (slot < 0 || slot >= kSlotCount || !record.slots[slot].filled()) return TextSpan{};
  return TextSpan{record.slots[slot].text, record.slots[slot].length};
}

// kStatusOk when a buffer writer wrote something (it returns bytes + 1), kStatusNoValue otherwise.
[[nodiscard]] inline Status wroteText(std::int32_t written) { return written > 0 ? kStatusOk : kStatusNoValue; }

// Trims the bytes that are not graphic from both ends and copies the rest with the inner ones turned into spaces, cut
// to fit; with collapse, a space behind a space is dropped.
[[nodiscard]] inline Status graphicCopy(TextSpan span, bool collapse, char* out, std::int32_t outSize) {
  trimOutsideClass(&span, kClassGraphic);
  return wroteText(copyKeepingZ(out, outSize, span, kClassGraphic, collapse ? kClassBlank : 0, ' '));
}

// Length of the NUL-terminated text in out, never reading past outSize bytes.
[[nodiscard]] inline std::int32_t boundedLength(const char* out, std::int32_t outSize) {
  std::int32_t length = 0;
  while (length < outSize && out[length] != '\0') ++length;
  return length;
}

}  // namespace quorix
