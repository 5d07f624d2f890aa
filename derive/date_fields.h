// Dates, physical description, licence codes and indicators: the pieces behind those result fields that tests and
// other derivations can use on their own. The derivations themselves are declared in <quorix/result_fields.h>.
#pragma once

#include <quorix/status.h>

#include <cstdint>
#include <string_view>

#include "core/field_record.h"

namespace quorix {

// A date as the document wrote it; the day is never checked against the month, so 31 February passes through.
struct DocumentDate {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
};

// Reads the first 8 characters as YYYYMMDD, or failing that as MMDDYYYY; 0 and *date on success, -1 (date
// untouched) for a shorter text, a null date or a text that passes neither reading.
[[nodiscard]] std::int32_t parseDocumentDate(TextSpan text, DocumentDate* date);

// Writes MM/DD/YYYY, zero-padded, without a terminator; returns 10. out must hold 10 bytes.
std::int32_t formatDocumentDate(const DocumentDate& date, char* out);

// A colour code and what it stands for.
struct ColorCode {
  std::string_view code;
  std::string_view text;
};

struct ColorTable {
  std::int32_t count;
  const ColorCode* rows;
};

extern const ColorTable EyeColorTable;
extern const ColorTable HairColorTable;

// The text of a code in the table (exact, case-sensitive, whole code); empty when the code is not listed.
std::string_view lookupColor(const ColorTable& table, TextSpan code);

// Weight range texts by range digit 0 to 9; empty for any other digit.
std::string_view weightRangeKg(std::int32_t digit);
std::string_view weightRangeLbs(std::int32_t digit);

}  // namespace quorix
