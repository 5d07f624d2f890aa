// Country names and their ISO 3166 alpha-3 codes. Several names may share one code, so a code found by name can
// come from an alias row, and a name found by code is always the first row of that code.
#pragma once

#include <cstdint>
#include <span>

#include "core/field_record.h"

namespace quorix {

struct CountryRow {
  const char* name;  // upper case, may hold commas or apostrophes
  const char* code;  // three upper-case letters
};

extern const std::span<const CountryRow> CountryTable;

// The code of the first row whose name equals name with its letters upper-cased; null when none does or name is
// null.
const char* countryCodeForName(const char* name);
// The name of the first row whose code equals the span with its letters upper-cased; null for an empty span.
const char* countryNameForCode(TextSpan code);
// True when text is a code of the table as it stands (case-sensitive).
bool isCountryCode(const char* text);

}  // namespace quorix
