// Two-letter codes of US states, US territories, Canadian provinces and Mexican states with the group (country)
// each belongs to.
#pragma once

#include <span>

#include "core/field_record.h"

namespace quorix {

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
