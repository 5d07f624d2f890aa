// The country table: names as documents print them, and their alpha-3 codes. Rows sharing a code are aliases.
#include "tables/country_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

namespace quorix {
namespace {

// clang-format off
constexpr CountryRow kCountryRows[] = {
    {"ARUBA", "ABW"},
    {"AFGHANISTAN", "AFG"},
    {"ANGOLA", "AGO"},
    {"ANGUILLA", "AIA"},
    {"ALAND ISLANDS", "ALA"},
    {"ALBANIA", "ALB"},
    {"ANDORRA", "AND"},
    {"UNITED ARAB EMIRATES", "ARE"},
    {"ARGENTINA", "ARG"},
    {"ARMENIA", "ARM"},
    {"AMERICAN SAMOA", "ASM"},
    {"ANTARCTICA", "ATA"},
    {"FRENCH SOUTHERN TERRITORIES", "ATF"},
    {"ANTIGUA", "ATG"},
    {"AUSTRALIA", "AUS"},
    {"AUSTRIA", "AUT"},
    {"AZERBAIJAN", "AZE"},
    {"BURUNDI", "BDI"},
    {"BELGIUM", "BEL"},
    {"BENIN", "BEN"},
    {"BONAIRE", "BES"},
    {"BURKINA FASO", "BFA"},
    {"BANGLADESH", "BGD"},
    {"BULGARIA", "BGR"},
    {"BAHRAIN", "BHR"},
    {"BAHAMAS", "BHS"},
    {"BOSNIA AND HERZEGOVINA", "BIH"},
    {"SAINT BARTHELEMY", "BLM"},
    {"BELARUS", "BLR"},
    {"BELIZE", "BLZ"},
    {"BERMUDA", "BMU"},
    {"BOLIVIA", "BOL"},
    {"BRAZIL", "BRA"},
    {"BARBADOS", "BRB"},
    {"BRUNEI DARUSSALAM", "BRN"},
    {"BHUTAN", "BTN"},
    {"BOUVET ISLAND", "BVT"},
    {"BOTSWANA", "BWA"},
    {"CENTRAL AFRICAN REPUBLIC", "CAF"},
    {"CANADA", "CAN"},
    {"COCOS", "CCK"},
    {"KEELING ISLANDS", "CCK"},
    {"SWITZERLAND", "CHE"},
    {"CHILE", "CHL"},
    {"CHINA", "CHN"},
    {"COTE D'IVOIRE", "CIV"},
    {"CAMEROON", "CMR"},
    {"CONGO, THE DEMOCRATIC REPUBLIC OF THE", "COD"},
    {"CONGO", "COG"},
    {"COOK ISLANDS", "COK"},
    {"COLOMBIA", "COL"},
    {"COMOROS", "COM"},
    {"CAPE VERDE", "CPV"},
    {"COSTA RICA", "CRI"},
    {"CUBA", "CUB"},
    {"CURACAO", "CUW"},
    {"CHRISTMAS ISLAND", "CXR"},
    {"CAYMAN ISLANDS", "CYM"},
    {"CYPRUS", "CYP"},
    {"CZECH REPUBLIC", "CZE"},
    {"GERMANY", "DEU"},
    {"DJIBOUTI", "DJI"},
    {"DOMINICA", "DMA"},
    {"DENMARK", "DNK"},
    {"DOMINICAN REPUBLIC", "DOM"},
    {"ALGERIA", "DZA"},
    {"ECUADOR", "ECU"},
    {"EGYPT", "EGY"},
    {"ERITREA", "ERI"},
    {"WESTERN SAHARA", "ESH"},
    {"SPAIN", "ESP"},
    {"ESTONIA", "EST"},
    {"ETHIOPIA", "ETH"},
    {"FINLAND", "FIN"},
    {"FIJI", "FJI"},
    {"FALKLAND ISLANDS", "FLK"},
    {"MALVINAS", "FLK"},
    {"FRANCE", "FRA"},
    {"FAROE ISLANDS", "FRO"},
    {"MICRONESIA", "FSM"},
    {"GABON", "GAB"},
    {"UNITED KINGDOM", "GBR"},
    {"GEORGIA", "GEO"},
    {"GUERNSEY", "GGY"},
    {"GHANA", "GHA"},
    {"GIBRALTAR", "GIB"},
    {"GUINEA", "GIN"},
    {"GUADELOUPE", "GLP"},
    {"GAMBIA", "GMB"},
    {"GUINEA-BISSAU", "GNB"},
    {"EQUATORIAL GUINEA", "GNQ"},
    {"GREECE", "GRC"},
    {"GRENADA", "GRD"},
    {"GREENLAND", "GRL"},
    {"GUATEMALA", "GTM"},
    {"FRENCH GUIANA", "GUF"},
    {"GUAM", "GUM"},
    {"GUYANA", "GUY"},
    {"HONG KONG", "HKG"},
    {"HEARD ISLAND AND MCDONALD ISLANDS", "HMD"},
    {"HONDURAS", "HND"},
    {"CROATIA", "HRV"},
    {"HAITI", "HTI"},
    {"HUNGARY", "HUN"},
    {"INDONESIA", "IDN"},
    {"ISLE OF MAN", "IMN"},
    {"INDIA", "IND"},
    {"BRITISH INDIAN OCEAN TERRITORY", "IOT"},
    {"IRELAND", "IRL"},
    {"IRAN, ISLAMIC REPUBLIC OF", "IRN"},
    {"IRAQ", "IRQ"},
    {"ICELAND", "ISL"},
    {"ISRAEL", "ISR"},
    {"ITALY", "ITA"},
    {"JAMAICA", "JAM"},
    {"JERSEY", "JEY"},
    {"JORDAN", "JOR"},
    {"JAPAN", "JPN"},
    {"KAZAKHSTAN", "KAZ"},
    {"KENYA", "KEN"},
    {"KYRGYZSTAN", "KGZ"},
    {"CAMBODIA", "KHM"},
    {"KIRIBATI", "KIR"},
    {"SAINT KITTS AND NEVIS", "KNA"},
    {"KOREA, REPUBLIC OF", "KOR"},
    {"KUWAIT", "KWT"},
    {"LAO PEOPLE'S DEMOCRATIC REPUBLIC", "LAO"},
    {"LEBANON", "LBN"},
    {"LIBERIA", "LBR"},
    {"LIBYA", "LBY"},
    {"SAINT LUCIA", "LCA"},
    {"LIECHTENSTEIN", "LIE"},
    {"SRI LANKA", "LKA"},
    {"LESOTHO", "LSO"},
    {"LITHUANIA", "LTU"},
    {"LUXEMBOURG", "LUX"},
    {"LATVIA", "LVA"},
    {"MACAO", "MAC"},
    {"SAINT MARTIN", "MAF"},
    {"MOROCCO", "MAR"},
    {"MONACO", "MCO"},
    {"MOLDOVA, REPUBLIC OF", "MDA"},
    {"MADAGASCAR", "MDG"},
    {"MALDIVES", "MDV"},
    {"MEXICO", "MEX"},
    {"MARSHALL ISLANDS", "MHL"},
    {"MACEDONIA, THE FORMER YUGOSLAV REPUBLIC OF", "MKD"},
    {"MALI", "MLI"},
    {"MALTA", "MLT"},
    {"MYANMAR", "MMR"},
    {"MONTENEGRO", "MNE"},
    {"MONGOLIA", "MNG"},
    {"NORTHERN MARIANA ISLANDS", "MNP"},
    {"MOZAMBIQUE", "MOZ"},
    {"MAURITANIA", "MRT"},
    {"MONTSERRAT", "MSR"},
    {"MARTINIQUE", "MTQ"},
    {"MAURITIUS", "MUS"},
    {"MALAWI", "MWI"},
    {"MALAYSIA", "MYS"},
    {"MAYOTTE", "MYT"},
    {"NAMIBIA", "NAM"},
    {"NEW CALEDONIA", "NCL"},
    {"NIGER", "NER"},
    {"NORFOLK ISLAND", "NFK"},
    {"NIGERIA", "NGA"},
    {"NICARAGUA", "NIC"},
    {"NIUE", "NIU"},
    {"NETHERLANDS", "NLD"},
    {"NORWAY", "NOR"},
    {"NEPAL", "NPL"},
    {"NAURU", "NRU"},
    {"NEW ZEALAND", "NZL"},
    {"OMAN", "OMN"},
    {"PAKISTAN", "PAK"},
    {"PANAMA", "PAN"},
    {"PITCAIRN", "PCN"},
    {"PERU", "PER"},
    {"PHILIPPINES", "PHL"},
    {"PALAU", "PLW"},
    {"PAPUA NEW GUINEA", "PNG"},
    {"POLAND", "POL"},
    {"PUERTO RICO", "PRI"},
    {"KOREA, DEMOCRATIC PEOPLE'S REPUBLIC OF", "PRK"},
    {"PORTUGAL", "PRT"},
    {"PARAGUAY", "PRY"},
    {"PALESTINIAN TERRITORY, OCCUPIED", "PSE"},
    {"FRENCH POLYNESIA", "PYF"},
    {"QATAR", "QAT"},
    {"REUNION", "REU"},
    {"ROMANIA", "ROU"},
    {"RUSSIAN FEDERATION", "RUS"},
    {"RWANDA", "RWA"},
    {"SAUDI ARABIA", "SAU"},
    {"SUDAN", "SDN"},
    {"SENEGAL", "SEN"},
    {"SINGAPORE", "SGP"},
    {"SOUTH GEORGIA AND THE SOUTH SANDWICH ISLANDS", "SGS"},
    {"SAINT HELENA, ASCENSION AND TRISTAN DA CUNHA", "SHN"},
    {"SVALBARD AND JAN MAYEN", "SJM"},
    {"SOLOMON ISLANDS", "SLB"},
    {"SIERRA LEONE", "SLE"},
    {"EL SALVADOR", "SLV"},
    {"SAN MARINO", "SMR"},
    {"SOMALIA", "SOM"},
    {"SAINT PIERRE AND MIQUELON", "SPM"},
    {"SERBIA", "SRB"},
    {"SOUTH SUDAN", "SSD"},
    {"SAO TOME AND PRINCIPE", "STP"},
    {"SURINAME", "SUR"},
    {"SLOVAKIA", "SVK"},
    {"SLOVENIA", "SVN"},
    {"SWEDEN", "SWE"},
    {"SWAZILAND", "SWZ"},
    {"SINT MAARTEN", "SXM"},
    {"SEYCHELLES", "SYC"},
    {"SYRIAN ARAB REPUBLIC", "SYR"},
    {"TURKS AND CAICOS ISLANDS", "TCA"},
    {"CHAD", "TCD"},
    {"TOGO", "TGO"},
    {"THAILAND", "THA"},
    {"TAJIKISTAN", "TJK"},
    {"TOKELAU", "TKL"},
    {"TURKMENISTAN", "TKM"},
    {"TIMOR-LESTE", "TLS"},
    {"TONGA", "TON"},
    {"TRINIDAD AND TOBAGO", "TTO"},
    {"TUNISIA", "TUN"},
    {"TURKEY", "TUR"},
    {"TUVALU", "TUV"},
    {"TAIWAN, PROVINCE OF CHINA", "TWN"},
    {"TANZANIA, UNITED REPUBLIC OF", "TZA"},
    {"UGANDA", "UGA"},
    {"UKRAINE", "UKR"},
    {"UNITED STATES MINOR OUTLYING ISLANDS", "UMI"},
    {"URUGUAY", "URY"},
    {"UNITED STATES", "USA"},
    {"USA", "USA"},
    {"US", "USA"},
    {"U.S.", "USA"},
    {"U.S.A.", "USA"},
    {"UNITED STATES OF AMERICA", "USA"},
    {"UZBEKISTAN", "UZB"},
    {"VATICAN", "VAT"},
    {"HOLY SEE", "VAT"},
    {"VATICAN CITY STATE", "VAT"},
    {"SAINT VINCENT AND THE GRENADINES", "VCT"},
    {"VENEZUELA, BOLIVARIAN REPUBLIC OF", "VEN"},
    {"VIRGIN ISLANDS, BRITISH", "VGB"},
    {"VIRGIN ISLANDS, U.S.", "VIR"},
    {"VIET NAM", "VNM"},
    {"VANUATU", "VUT"},
    {"WALLIS AND FUTUNA", "WLF"},
    {"SAMOA", "WSM"},
    {"YEMEN", "YEM"},
    {"SOUTH AFRICA", "ZAF"},
    {"ZAMBIA", "ZMB"},
    {"ZIMBABWE", "ZWE"},
    {"UTOPIA", "UTO"},
};
// clang-format on

constexpr bool codesAreThreeCapitalLetters() {
  for (const CountryRow& row : kCountryRows) {
    const std::string_view code(row.code);
    if (code.size() != 3) return false;
    for (char c : code)
      if (c < 'A' || c > 'Z') return false;
  }
  return true;
}

static_assert(std::size(kCountryRows) == 259 && codesAreThreeCapitalLetters());
static_assert(std::string_view(kCountryRows[258].code) == "UTO");

constexpr bool holdsNoSmallLetter(const char* text) {
  for (; *text != '\0'; ++text)
    if (*text >= 'a' && *text <= 'z') return false;
  return true;
}

constexpr std::size_t longestName() {
  std::size_t longest = 0;
  for (const CountryRow& row : kCountryRows) {
    if (!holdsNoSmallLetter(row.name)) return 0;
    longest = std::max(longest, std::string_view(row.name).size());
  }
  return longest;
}

// Every text of the table is in capitals, so a wanted text is upper-cased once and then compared byte for byte.
constexpr std::size_t kLongestName = longestName();
static_assert(kLongestName > 0, "country names are written in capitals");

// How a table text orders against text, bytes compared unsigned (a text that is a prefix of the other comes
// first): negative, zero or positive. The table text is walked up to its NUL rather than measured first: most rows
// differ at the first byte.
constexpr int textOrder(const char* tableText, std::string_view text) {
  std::size_t i = 0;
  for (; i < text.size() && tableText[i] != '\0'; ++i) {
    const auto a = static_cast<unsigned char>(tableText[i]);
    const auto b = static_cast<unsigned char>(text[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  if (i < text.size()) return -1;
  return tableText[i] == '\0' ? 0 : 1;
}

using RowText = const char* CountryRow::*;

using RowLengths = std::array<std::size_t, std::size(kCountryRows)>;
constexpr RowLengths lengthsOf(RowText text) {
  RowLengths lengths{};
  for (std::size_t row = 0; row < lengths.size(); ++row)
    lengths[row] = std::string_view(kCountryRows[row].*text).size();
  return lengths;
}

// Rows ordered by the length of one text, then as textOrder orders it: a lookup compares only texts of the wanted
// length, where names that share a first word ("UNITED ...") would otherwise be compared to their end. The lengths
// are measured once, which keeps the compiler's sort within its step limit.
constexpr int lengthFirstOrder(const RowLengths& lengths, RowText text, std::uint16_t a, std::uint16_t b) {
  if (lengths[a] != lengths[b]) return lengths[a] < lengths[b] ? -1 : 1;
  return textOrder(kCountryRows[a].*text, kCountryRows[b].*text);
}

// Row numbers in that order, stably sorted, so a lookup takes the same row the table walk would.
constexpr auto rowsOrderedBy(RowText text) {
  const RowLengths lengths = lengthsOf(text);
  std::array<std::uint16_t, std::size(kCountryRows)> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint16_t>(i);
  for (std::size_t i = 1; i < order.size(); ++i) {  // insertion sort: stable, and run once by the compiler
    const std::uint16_t row = order[i];
    std::size_t j = i;
    for (; j > 0 && lengthFirstOrder(lengths, text, order[j - 1], row) > 0; --j) order[j] = order[j - 1];
    order[j] = row;
  }
  return order;
}
using RowOrder = decltype(rowsOrderedBy(&CountryRow::name));

constexpr bool rowsAreOrderedBy(const RowOrder& order, RowText text) {
  const RowLengths lengths = lengthsOf(text);
  for (std::size_t i = 1; i < order.size(); ++i) {
    const int sign = lengthFirstOrder(lengths, text, order[i - 1], order[i]);
    if (sign > 0 || (sign == 0 && order[i - 1] > order[i])) return false;
  }
  return true;
}

constexpr RowOrder kRowsByName = rowsOrderedBy(&CountryRow::name);
constexpr RowOrder kRowsByCode = rowsOrderedBy(&CountryRow::code);
static_assert(rowsAreOrderedBy(kRowsByName, &CountryRow::name) && rowsAreOrderedBy(kRowsByCode, &CountryRow::code));

// Where the texts of each length begin in an order: those of length n are order[first[n]] to order[first[n + 1]].
using FirstByLength = std::array<std::uint16_t, kLongestName + 2>;
constexpr FirstByLength firstByLength(const RowOrder& order, RowText text) {
  const RowLengths lengths = lengthsOf(text);
  FirstByLength first{};
  std::size_t at = 0;
  for (std::size_t length = 0; length < first.size(); ++length) {
    while (at < order.size() && lengths[order[at]] < length) ++at;
    first[length] = static_cast<std::uint16_t>(at);
  }
  return first;
}
constexpr FirstByLength kNamesByLength = firstByLength(kRowsByName, &CountryRow::name);
constexpr FirstByLength kCodesByLength = firstByLength(kRowsByCode, &CountryRow::code);
static_assert(kNamesByLength.back() == std::size(kCountryRows) && kCodesByLength.back() == std::size(kCountryRows));

// The first table row whose text is wanted upper-cased, or null: a binary search over the rows of its length in that
// text's order, where of equal texts the first in the table stands first. A text longer than every name matches no
// row.
const CountryRow* firstRowWith(const RowOrder& order, const FirstByLength& first, RowText text,
                               std::string_view wanted) {
  if (wanted.size() > kLongestName) return nullptr;
  char upper[kLongestName];
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const char c = wanted[i];
    upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  const std::string_view key(upper, wanted.size());
  std::size_t low = first[key.size()];
  const std::size_t end = first[key.size() + 1];
  std::size_t high = end;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (textOrder(kCountryRows[order[middle]].*text, key) < 0)
      low = middle + 1;
    else
      high = middle;
  }
  if (low < end && textOrder(kCountryRows[order[low]].*text, key) == 0) return &kCountryRows[order[low]];
  return nullptr;
}

}  // namespace

constinit const std::span<const CountryRow> CountryTable{kCountryRows};

const char* countryCodeForName(const char* name) {
  if (name == nullptr) return nullptr;
  const CountryRow* row = firstRowWith(kRowsByName, kNamesByLength, &CountryRow::name, name);
  return row != nullptr ? row->code : nullptr;
}

const char* countryNameForCode(TextSpan code) {
  if (!code.filled()) return nullptr;
  const CountryRow* row = firstRowWith(kRowsByCode, kCodesByLength, &CountryRow::code, code.view());
  return row != nullptr ? row->name : nullptr;
}

// Every code is in capitals, so only a text in capitals can equal one.
bool isCountryCode(const char* text) {
  if (text == nullptr) return false;
  const CountryRow* row = firstRowWith(kRowsByCode, kCodesByLength, &CountryRow::code, text);
  return row != nullptr && std::strcmp(text, row->code) == 0;
}

}  // namespace quorix
