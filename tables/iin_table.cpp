// The IIN table: row i is the issuer identification number 636000 + i, so a number finds its row without a scan.
#include "tables/iin_table.h"

#include <iterator>
#include <string_view>

namespace quorix {
namespace {

// clang-format off
constexpr IinRow kIinRows[] = {
    {636000, "VA", "636000"},
    {636001, "NY", "636001"},
    {636002, "MA", "636002"},
    {636003, "MD", "636003"},
    {636004, "NC", "636004"},
    {636005, "SC", "636005"},
    {636006, "CT", "636006"},
    {636007, "LA", "636007"},
    {636008, "MT", "636008"},
    {636009, "NM", "636009"},
    {636010, "FL", "636010"},
    {636011, "DE", "636011"},
    {636012, "ON", "636012"},
    {636013, "NS", "636013"},
    {636014, "CA", "636014"},
    {636015, "TX", "636015"},
    {636016, "NF", "636016"},
    {636017, "NB", "636017"},
    {636018, "IA", "636018"},
    {636019, "GM", "636019"},
    {636020, "CO", "636020"},
    {636021, "AR", "636021"},
    {636022, "KS", "636022"},
    {636023, "OH", "636023"},
    {636024, "VT", "636024"},
    {636025, "PA", "636025"},
    {636026, "AZ", "636026"},
    {636027, "DS", "636027"},
    {636028, "BC", "636028"},
    {636029, "OR", "636029"},
    {636030, "MO", "636030"},
    {636031, "WI", "636031"},
    {636032, "MI", "636032"},
    {636033, "AL", "636033"},
    {636034, "ND", "636034"},
    {636035, "IL", "636035"},
    {636036, "NJ", "636036"},
    {636037, "IN", "636037"},
    {636038, "MN", "636038"},
    {636039, "NH", "636039"},
    {636040, "UT", "636040"},
    {636041, "ME", "636041"},
    {636042, "SD", "636042"},
    {636043, "DC", "636043"},
    {636044, "SK", "636044"},
    {636045, "WA", "636045"},
    {636046, "KY", "636046"},
    {636047, "HI", "636047"},
    {636048, nullptr, nullptr},
    {636049, "NV", "636049"},
    {636050, "ID", "636050"},
    {636051, "MS", "636051"},
    {636052, "RI", "636052"},
    {636053, "TN", "636053"},
    {636054, "NE", "636054"},
    {636055, "GA", "636055"},
    {636056, nullptr, nullptr},
    {636057, nullptr, nullptr},
    {636058, "OK", "636058"},
    {636059, "AK", "636059"},
    {636060, "WY", "636060"},
    {636061, "WV", "636061"},
    {636062, "VI", "636062"},
};
// clang-format on

// Every row holds its own number, and its text spells that number exactly when the row has a code.
constexpr bool rowsAreNumberedAndSpelled() {
  for (std::size_t i = 0; i < std::size(kIinRows); ++i) {
    const IinRow& row = kIinRows[i];
    if (row.number != kFirstIin + static_cast<std::int64_t>(i)) return false;
    if ((row.code == nullptr) != (row.text == nullptr)) return false;
    if (row.text == nullptr) continue;
    const std::string_view text(row.text);
    std::int64_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    if (text.size() != 6 || value != row.number || std::string_view(row.code).size() != 2) return false;
  }
  return true;
}

static_assert(std::size(kIinRows) == 63 && rowsAreNumberedAndSpelled());

constexpr bool isWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number in the first six bytes; false when they hold no digit where one is due.
bool readSixDigitNumber(std::string_view text, std::int64_t* value) {
  std::string_view field = text.substr(0, 6);
  std::size_t i = 0;
  while (i < field.size() && isWhiteSpace(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  const std::size_t firstDigit = i;
  std::int64_t number = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) number = number * 10 + (field[i] - '0');
  if (i == firstDigit) return false;
  *value = negative ? -number : number;
  return true;
}

}  // namespace

constinit const std::span<const IinRow> IinTable{kIinRows};

const char* jurisdictionForIin(TextSpan iin) {
  if (!iin.filled() || iin.length < 6) return nullptr;
  std::int64_t number = 0;
  if (!readSixDigitNumber(iin.view(), &number)) return nullptr;
  const std::int64_t index = number - kFirstIin;
  if (index < 0 || index >= static_cast<std::int64_t>(IinTable.size())) return nullptr;
  return IinTable[static_cast<std::size_t>(index)].code;
}

const char* iinForJurisdiction(TextSpan code) {
  if (!code.filled() || code.length != 2) return nullptr;
  // Newfoundland and Labrador writes "NL" now, but its number is listed under its older code.
  const std::string_view wanted = code.view() == "NL" ? std::string_view("NF") : code.view();
  for (const IinRow& row : IinTable)  // every code of the table is a pair
    if (row.code != nullptr && row.code[0] == wanted[0] && row.code[1] == wanted[1]) return row.text;
  return nullptr;
}

bool isKnownIin(TextSpan iin) { return jurisdictionForIin(iin) != nullptr; }

}  // namespace quorix
