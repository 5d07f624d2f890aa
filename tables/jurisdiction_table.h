// Two-letter codes of US states, US territories, Canadian provinces and Mexican states with the group (country)
// each belongs to.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/field_record.h"

namespace quorix {

// Jurisdiction codes are pairs of capitals, so a table keyed by them is indexed by a code's place among the 26 * 26
// such pairs; any other text has none (-1).
inline constexpr std::int32_t kCapitalPairs = 26 * 26;
constexpr std::int32_t capitalPairPlace(std::string_view code) {
  const auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (code.size() != 2 || !capital(code[0]) || !capital(code[1])) return -1;
  return (code[0] - 'A') * 26 + (code[1] - 'A');
}

inline constexpr const char* kGroupUnitedStates = "United States";
inline constexpr const char* kGroupUsTerritories = "U.S. Territorial Possessions";
inline constexpr const char* kGroupCanada = "Canada";
inline constexpr const char* kGroupMexico = "Mexico";

struct JurisdictionRow {
  const char* group;  // one of the four group names above
  const char* code;   // two upper-case letters, unique in the table
  const char* name;   // kept for readers of the table; no lookup returns it
};

extern const std::span<const JurisdictionRow> JurisdictionTable;

// The group of the jurisdiction whose code equals the span exactly; null unless the span is two bytes long.
const char* countryGroupForJurisdiction(TextSpan code);

}  // namespace quorix
