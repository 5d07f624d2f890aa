// Issuer identification numbers 636000 to 636062 of North American licence issuers and the jurisdiction of each.
#pragma once

#include <cstdint>
#include <span>

#include "core/field_record.h"

namespace quorix {

inline constexpr std::int64_t kFirstIin = 636000;

struct IinRow {
  std::int64_t number;
  const char* code;  // jurisdiction code, or null for a number no issuer uses
  const char* text;  // the number as six digits, or null where code is null
};

// Row i holds kFirstIin + i.
extern const std::span<const IinRow> IinTable;

// Reads the first six bytes of iin as a decimal number (leading white space and a sign allowed, digits up to the
// first non-digit) and returns the jurisdiction of that number; null for a shorter span, a number outside the
// table or a row without code.
const char* jurisdictionForIin(TextSpan iin);
// The six-digit IIN of the first row whose code equals the two-byte span exactly; null otherwise.
const char* iinForJurisdiction(TextSpan code);
// True when jurisdictionForIin finds a jurisdiction.
bool isKnownIin(TextSpan iin);

}  // namespace quorix
