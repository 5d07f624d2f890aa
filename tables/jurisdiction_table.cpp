// The jurisdiction table in four groups: United States, US territories, Canada, Mexico.
#include "tables/jurisdiction_table.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace quorix {
namespace {

// clang-format off
constexpr JurisdictionRow kJurisdictionRows[] = {
    {kGroupUnitedStates, "AL", "Alabama"},
    {kGroupUnitedStates, "AK", "Alaska"},
    {kGroupUnitedStates, "AZ", "Arizona"},
    {kGroupUnitedStates, "AR", "Arkansas"},
    {kGroupUnitedStates, "CA", "California"},
    {kGroupUnitedStates, "CO", "Colorado"},
    {kGroupUnitedStates, "CT", "Connecticut"},
    {kGroupUnitedStates, "DE", "Delaware"},
    {kGroupUnitedStates, "DC", "District of Columbia"},
    {kGroupUnitedStates, "FL", "Florida"},
    {kGroupUnitedStates, "GA", "Georgia"},
    {kGroupUnitedStates, "HI", "Hawaii"},
    {kGroupUnitedStates, "ID", "Idaho"},
    {kGroupUnitedStates, "IL", "Illinois"},
    {kGroupUnitedStates, "IN", "Indiana"},
    {kGroupUnitedStates, "IA", "Iowa"},
    {kGroupUnitedStates, "KS", "Kansas"},
    {kGroupUnitedStates, "KY", "Kentucky"},
    {kGroupUnitedStates, "LA", "Louisiana"},
    {kGroupUnitedStates, "ME", "Maine"},
    {kGroupUnitedStates, "MD", "Maryland"},
    {kGroupUnitedStates, "MA", "Massachusetts"},
    {kGroupUnitedStates, "MI", "Michigan"},
    {kGroupUnitedStates, "MN", "Minnesota"},
    {kGroupUnitedStates, "MS", "Mississippi"},
    {kGroupUnitedStates, "MO", "Missouri"},
    {kGroupUnitedStates, "MT", "Montana"},
    {kGroupUnitedStates, "NE", "Nebraska"},
    {kGroupUnitedStates, "NV", "Nevada"},
    {kGroupUnitedStates, "NH", "New Hampshire"},
    {kGroupUnitedStates, "NJ", "New Jersey"},
    {kGroupUnitedStates, "NM", "New Mexico"},
    {kGroupUnitedStates, "NY", "New York"},
    {kGroupUnitedStates, "NC", "North Carolina"},
    {kGroupUnitedStates, "ND", "North Dakota"},
    {kGroupUnitedStates, "OH", "Ohio"},
    {kGroupUnitedStates, "OK", "Oklahoma"},
    {kGroupUnitedStates, "OR", "Oregon"},
    {kGroupUnitedStates, "PA", "Pennsylvania"},
    {kGroupUnitedStates, "RI", "Rhode Island"},
    {kGroupUnitedStates, "SC", "South Carolina"},
    {kGroupUnitedStates, "SD", "South Dakota"},
    {kGroupUnitedStates, "TN", "Tennessee"},
    {kGroupUnitedStates, "TX", "Texas"},
    {kGroupUnitedStates, "UT", "Utah"},
    {kGroupUnitedStates, "VT", "Vermont"},
    {kGroupUnitedStates, "VA", "Virginia"},
    {kGroupUnitedStates, "WA", "Washington"},
    {kGroupUnitedStates, "WV", "West Virginia"},
    {kGroupUnitedStates, "WI", "Wisconsin"},
    {kGroupUnitedStates, "WY", "Wyoming"},
    {kGroupUnitedStates, "DS", "The U.S. Department of State"},
    {kGroupUsTerritories, "AS", "American Samoa"},
    {kGroupUsTerritories, "FM", "Federated States of Micronesia"},
    {kGroupUsTerritories, "GM", "Guam"},
    {kGroupUsTerritories, "MH", "Marshall Islands"},
    {kGroupUsTerritories, "MP", "Northern Mariana Islands"},
    {kGroupUsTerritories, "PW", "Palau"},
    {kGroupUsTerritories, "PR", "Puerto Rico"},
    {kGroupUsTerritories, "VI", "Virgin Islands of the U.S."},
    {kGroupUsTerritories, "WK", "Wake Island"},
    {kGroupCanada, "AB", "Alberta"},
    {kGroupCanada, "BC", "British Columbia"},
    {kGroupCanada, "MB", "Manitoba"},
    {kGroupCanada, "NB", "New Brunswick"},
    {kGroupCanada, "NF", "Newfoundland and Labrador"},
    {kGroupCanada, "NL", "Newfoundland and Labrador"},  // its code since 2002; shadows Nuevo Leon's "NL" below
    {kGroupCanada, "NT", "Northwest Territory"},
    {kGroupCanada, "NS", "Nova Scotia"},
    {kGroupCanada, "NU", "Nunavut"},
    {kGroupCanada, "ON", "Ontario"},
    {kGroupCanada, "PE", "Prince Edward Island"},
    {kGroupCanada, "QC", "Quebec"},
    {kGroupCanada, "SK", "Saskatchewan"},
    {kGroupCanada, "YT", "Yukon Territory"},
    {kGroupMexico, "AG", "Aguascalientes"},
    {kGroupMexico, "BA", "Baja California Norte"},
    {kGroupMexico, "BJ", "Baja California Sur"},
    {kGroupMexico, "CE", "Campeche"},
    {kGroupMexico, "CH", "Chihuahua"},
    {kGroupMexico, "CI", "Chiapas"},
    {kGroupMexico, "CL", "Colima"},
    {kGroupMexico, "CU", "Coahuila de Zaragoza"},
    {kGroupMexico, "DF", "Distrito Federal Mexico"},
    {kGroupMexico, "DO", "Durango"},
    {kGroupMexico, "EM", "Estado de Mexico"},
    {kGroupMexico, "GR", "Guerrero"},
    {kGroupMexico, "GU", "Guanajuato"},
    {kGroupMexico, "HL", "Hidalgo"},
    {kGroupMexico, "JL", "Jalisco"},
    {kGroupMexico, "MC", "Michoacan de Ocampo"},
    {kGroupMexico, "MR", "Morelos"},
    {kGroupMexico, "NA", "Nayarit"},
    {kGroupMexico, "NL", "Nuevo Leon"},
    {kGroupMexico, "OA", "Oaxaca"},
    {kGroupMexico, "PB", "Puebla"},
    {kGroupMexico, "QR", "Quintana Roo"},
    {kGroupMexico, "QU", "Queretaro de Arteaga"},
    {kGroupMexico, "SI", "Sinaloa"},
    {kGroupMexico, "SL", "San Luis Potosi"},
    {kGroupMexico, "SO", "Sonora"},
    {kGroupMexico, "TA", "Tamaulipas"},
    {kGroupMexico, "TB", "Tabasco"},
    {kGroupMexico, "TL", "Tlaxcala"},
    {kGroupMexico, "VC", "Veracruz Llave"},
    {kGroupMexico, "YU", "Yucatan"},
    {kGroupMexico, "ZA", "Zacatecas"},
};
// clang-format on

constexpr std::size_t rowsInGroup(std::string_view group) {
  std::size_t count = 0;
  for (const JurisdictionRow& row : kJurisdictionRows)
    if (group == row.group) ++count;
  return count;
}

// Lookups take the first match, so a code may stand in two groups (Newfoundland and Labrador's "NL" ahead of
// Nuevo Leon's), but never twice in one.
constexpr bool codesAreUniquePairsOfCapitals() {
  for (std::size_t i = 0; i < std::size(kJurisdictionRows); ++i) {
    const std::string_view code(kJurisdictionRows[i].code);
    if (code.size() != 2 || code[0] < 'A' || code[0] > 'Z' || code[1] < 'A' || code[1] > 'Z') return false;
    for (std::size_t j = 0; j < i; ++j)
      if (code == kJurisdictionRows[j].code &&
          std::string_view(kJurisdictionRows[i].group) == kJurisdictionRows[j].group)
        return false;
  }
  return true;
}

static_assert(std::size(kJurisdictionRows) == 107 && codesAreUniquePairsOfCapitals());
static_assert(rowsInGroup(kGroupUnitedStates) == 52 && rowsInGroup(kGroupUsTerritories) == 9 &&
              rowsInGroup(kGroupCanada) == 14 && rowsInGroup(kGroupMexico) == 32);

// The first row of each pair of capitals, plus one (0: none), so that a lookup takes the row a walk would.
constexpr auto kFirstRowByCode = [] {
  std::array<std::uint8_t, kCapitalPairs> rows{};
  for (std::size_t i = 0; i < std::size(kJurisdictionRows); ++i) {
    std::uint8_t& cell = rows[static_cast<std::size_t>(capitalPairPlace(kJurisdictionRows[i].code))];
    if (cell == 0) cell = static_cast<std::uint8_t>(i + 1);
  }
  return rows;
}();
static_assert(std::size(kJurisdictionRows) < 255);

}  // namespace

constinit const std::span<const JurisdictionRow> JurisdictionTable{kJurisdictionRows};

const char* countryGroupForJurisdiction(TextSpan code) {
  // Every code is a pair of capitals, so nothing else is found.
  const std::int32_t place = code.filled() ? capitalPairPlace(code.view()) : -1;
  if (place < 0) return nullptr;
  const std::uint8_t row = kFirstRowByCode[static_cast<std::size_t>(place)];
  return row != 0 ? kJurisdictionRows[row - 1].group : nullptr;
}

}  // namespace quorix
