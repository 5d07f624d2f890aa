// The keyboard-wedge AAMVA reader. With the separators gone the header is read where its fields stand once the three
// header separators are dropped, and the subfile data is cut where the cut makes the whole subfile most plausible:
// every value is scored by the shape its element should have, and dynamic programming over the places where an
// element id may start picks the best cut.
#include "decoders/aamva/wedge_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <limits>
#include <span>
#include <string_view>

#include "core/text_utils.h"
#include "decoders/aamva/aamva_pipeline.h"
#include "decoders/aamva/element_rows.h"
#include "decoders/aamva/element_tables.h"

namespace quorix {
namespace {

constexpr std::int32_t kDesignatorSize = 10;
constexpr std::int32_t kMaxDesignators = 16;
// No PDF417 symbol holds much more than 1800 characters, so longer data is no licence barcode; the bound keeps the
// cut tables on the stack.
constexpr std::int32_t kMaxData = 2048;
// Longer than any value the editions define, padding included.
constexpr std::int32_t kMaxValue = 255;
// Distinct element ids over all five tables (fewer than 100), with room to spare.
constexpr std::int32_t kMaxIds = 128;
// The compliance mark's separators: line feed, record separator and carriage return, all dropped by the scanner.
constexpr std::int32_t kLostHeaderSeparators = 3;

constexpr std::span<const ElementEntry> kAllVocabularies[] = {kElementRows2000, kElementRows2003, kElementRows2009,
                                                             kElementRows2011, kElementRows2014};

// What a value of an element should look like, by the slot the element fills.
enum class Shape : std::uint8_t {
  kAny,
  kDate,          // eight digits, either order
  kOneCharacter,  // a digit or letter: sex, indicators, truncation and compliance marks
  kDigit,
  kTwoLetters,
  kThreeLetters,
  kColour,
  kPostalCode,
  kHeight,
  kWeight,
  kName,    // no digits
  kStreet,  // a letter somewhere
  kCity,    // no digits
};

// How much finding an element is worth: elements most cards carry are worth a cut; rare ones are cut off a value
// only when their shape or the directory's subfile length calls for it, so "MCDANIEL" does not lose a residence
// city "IEL".
enum class Frequency : std::uint8_t { kRare, kCommon };

struct SlotProfile {
  std::int32_t slot = 0;
  Shape shape = Shape::kAny;
  Frequency frequency = Frequency::kRare;
};

constexpr Frequency kCommon = Frequency::kCommon;
constexpr Frequency kRare = Frequency::kRare;

// Slots not listed take any value and are rare.
// clang-format off
constexpr SlotProfile kSlotProfiles[] = {
    {SLOT_EXPIRY_DATE, Shape::kDate, kCommon},
    {SLOT_BIRTH_DATE, Shape::kDate, kCommon},
    {SLOT_BIRTH_DATE_ALT, Shape::kDate, kCommon},
    {SLOT_ISSUE_DATE, Shape::kDate, kCommon},
    {SLOT_CARD_REVISION_DATE, Shape::kDate, kCommon},
    {SLOT_HAZMAT_EXPIRY_DATE, Shape::kDate, kCommon},
    {SLOT_UNDER_18_UNTIL, Shape::kDate, kCommon},
    {SLOT_UNDER_19_UNTIL, Shape::kDate, kCommon},
    {SLOT_UNDER_21_UNTIL, Shape::kDate, kCommon},
    {SLOT_AKA_BIRTH_DATE, Shape::kDate, kRare},
    {SLOT_PERMIT_EXPIRY_DATE, Shape::kDate, kRare},
    {SLOT_PERMIT_ISSUE_DATE, Shape::kDate, kRare},
    {SLOT_SEX, Shape::kOneCharacter, kCommon},
    {SLOT_ORGAN_DONOR, Shape::kOneCharacter, kCommon},
    {SLOT_VETERAN, Shape::kOneCharacter, kCommon},
    {SLOT_LIMITED_DURATION, Shape::kOneCharacter, kCommon},
    {SLOT_COMPLIANCE_TYPE, Shape::kOneCharacter, kCommon},
    {SLOT_FAMILY_NAME_TRUNCATION, Shape::kOneCharacter, kCommon},
    {SLOT_FIRST_NAME_TRUNCATION, Shape::kOneCharacter, kCommon},
    {SLOT_MIDDLE_NAME_TRUNCATION, Shape::kOneCharacter, kCommon},
    {SLOT_WEIGHT_RANGE, Shape::kDigit, kRare},
    {SLOT_JURISDICTION, Shape::kTwoLetters, kCommon},
    {SLOT_RES_JURISDICTION, Shape::kTwoLetters, kRare},
    {SLOT_COUNTRY, Shape::kThreeLetters, kCommon},
    {SLOT_COUNTRY_ID, Shape::kThreeLetters, kCommon},
    {SLOT_EYE_COLOUR, Shape::kColour, kCommon},
    {SLOT_HAIR_COLOUR, Shape::kColour, kCommon},
    {SLOT_POSTAL_CODE, Shape::kPostalCode, kCommon},
    {SLOT_RES_POSTAL_CODE, Shape::kPostalCode, kRare},
    {SLOT_HEIGHT, Shape::kHeight, kCommon},
    {SLOT_HEIGHT_FT_IN, Shape::kHeight, kCommon},
    {SLOT_HEIGHT_CM, Shape::kHeight, kRare},
    {SLOT_WEIGHT_LB, Shape::kWeight, kCommon},
    {SLOT_WEIGHT_KG, Shape::kWeight, kRare},
    {SLOT_FULL_NAME, Shape::kName, kCommon},
    {SLOT_FAMILY_NAME, Shape::kName, kCommon},
    {SLOT_FIRST_NAME, Shape::kName, kCommon},
    {SLOT_MIDDLE_NAME, Shape::kName, kCommon},
    {SLOT_GIVEN_NAMES, Shape::kName, kCommon},
    {SLOT_NAME_SUFFIX, Shape::kName, kCommon},
    {SLOT_NAME_PREFIX, Shape::kName, kRare},
    {SLOT_ALIAS_FAMILY_NAME, Shape::kName, kRare},
    {SLOT_ALIAS_GIVEN_NAME, Shape::kName, kRare},
    {SLOT_AKA_FULL_NAME, Shape::kName, kRare},
    {SLOT_AKA_FAMILY_NAME, Shape::kName, kRare},
    {SLOT_AKA_FIRST_NAME, Shape::kName, kRare},
    {SLOT_AKA_MIDDLE_NAME, Shape::kName, kRare},
    {SLOT_STREET_1, Shape::kStreet, kCommon},
    {SLOT_STREET_2, Shape::kStreet, kCommon},
    {SLOT_STREET_2_ALT, Shape::kStreet, kCommon},
    {SLOT_RES_STREET_1, Shape::kStreet, kRare},
    {SLOT_RES_STREET_2, Shape::kStreet, kRare},
    {SLOT_CITY, Shape::kCity, kCommon},
    {SLOT_RES_CITY, Shape::kCity, kRare},
    {SLOT_LICENCE_NUMBER, Shape::kAny, kCommon},
    {SLOT_LICENCE_NUMBER_ALT, Shape::kAny, kCommon},
    {SLOT_CLASS, Shape::kAny, kCommon},
    {SLOT_VEHICLE_CLASS, Shape::kAny, kCommon},
    {SLOT_RESTRICTIONS, Shape::kAny, kCommon},
    {SLOT_ENDORSEMENTS, Shape::kAny, kCommon},
    {SLOT_DOCUMENT_DISCRIMINATOR, Shape::kAny, kCommon},
    {SLOT_INVENTORY_CONTROL, Shape::kAny, kCommon},
};
// clang-format on
static_assert(std::size(kSlotProfiles) == 62);

// Eye and hair colour codes, three letters and the older two.
constexpr std::string_view kColourCodes[] = {"BLK", "BLU", "BRO", "BRN", "GRY", "GRN", "HAZ", "MAR", "PNK",
                                             "DIC", "UNK", "BAL", "BLN", "RED", "SDY", "WHI", "BK",  "BL",
                                             "BR",  "GY",  "VI",  "BD",  "BN",  "RD",  "WH"};

// Scores of one element of a cut. A common element is worth more than an empty value costs, so it is not split off
// a value for nothing; a value that misses its shape, or an id seen a second time, costs more than any element is
// worth, so a name such as "DAVID" stays whole rather than giving an empty first name and a height "ID".
constexpr std::int32_t kCommonFound = 10;
constexpr std::int32_t kRareFound = 2;
constexpr std::int32_t kShapeFits = 4;
constexpr std::int32_t kShapeMissed = -30;
constexpr std::int32_t kEmptyValue = -15;
constexpr std::int32_t kIdRepeated = -25;
// A value of free shape (a licence number, a discriminator) is ended by any element id that follows it, even one the
// edition does not store, so "DAQ38884194DCF1861..." keeps the number apart; the directory's count can still merge.
constexpr std::int32_t kFreeValueEnded = 1;
constexpr std::int32_t kNoCut = std::numeric_limits<std::int32_t>::min() / 2;

bool isDigitChar(char c) { return inClass(c, kClassDigit); }
bool isUpperLetter(char c) { return inClass(c, kClassUpper); }

bool allOf(std::string_view s, bool (*predicate)(char)) { return std::all_of(s.begin(), s.end(), predicate); }

// Heights come as "510", "070 IN", "178 CM", "5-10" or 5'10".
bool fitsHeight(std::string_view s) {
  if (s.empty() || s.size() > 8 || !isDigitChar(s.front())) return false;
  if (s.ends_with("IN") || s.ends_with("CM")) s.remove_suffix(2);
  return allOf(s, [](char c) { return isDigitChar(c) || c == ' ' || c == '-' || c == '\'' || c == '"'; });
}

// Digits with spaces or a dash (ZIP and ZIP+4), or a Canadian code of three letters and three digits.
bool fitsPostalCode(std::string_view s) {
  if (s.size() < 3 || s.size() > 11) return false;
  const auto allowed = [](char c) { return isDigitChar(c) || isUpperLetter(c) || c == ' ' || c == '-'; };
  return allOf(s, allowed) && std::count_if(s.begin(), s.end(), isDigitChar) >= 3 &&
         std::count_if(s.begin(), s.end(), isUpperLetter) <= 3;
}

// A name holds no digits but those of an ordinal suffix word ("3RD", "2ND"), which a full name may end with.
bool fitsName(std::string_view s) {
  const auto isWordEnd = [&s](std::size_t i) { return i >= s.size() || !isUpperLetter(s[i]); };
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!isDigitChar(s[i])) continue;
    if (i > 0 && (isUpperLetter(s[i - 1]) || isDigitChar(s[i - 1]))) return false;
    std::size_t end = i;
    while (end < s.size() && isDigitChar(s[end])) ++end;
    const std::string_view ending = s.substr(end, 2);
    if (ending != "ST" && ending != "ND" && ending != "RD" && ending != "TH") return false;
    if (!isWordEnd(end + 2)) return false;
    i = end + 1;
  }
  return true;
}

bool fitsShape(Shape shape, std::string_view s) {
  switch (shape) {
    case Shape::kAny:
      return true;
    case Shape::kDate:
      return s.size() == 8 && allOf(s, isDigitChar);
    case Shape::kOneCharacter:
      return s.size() == 1 && (isDigitChar(s[0]) || isUpperLetter(s[0]));
    case Shape::kDigit:
      return s.size() == 1 && isDigitChar(s[0]);
    case Shape::kTwoLetters:
      return s.size() == 2 && allOf(s, isUpperLetter);
    case Shape::kThreeLetters:
      return s.size() == 3 && allOf(s, isUpperLetter);
    case Shape::kColour:
      return std::find(std::begin(kColourCodes), std::end(kColourCodes), s) != std::end(kColourCodes);
    case Shape::kPostalCode:
      return fitsPostalCode(s);
    case Shape::kHeight:
      return fitsHeight(s);
    case Shape::kWeight:
      return !s.empty() && s.size() <= 3 && allOf(s, isDigitChar);
    case Shape::kName:
      return fitsName(s);
    case Shape::kCity:
      return std::none_of(s.begin(), s.end(), isDigitChar);
    case Shape::kStreet:
      return std::any_of(s.begin(), s.end(), isUpperLetter);
  }
  return false;
}

// Whether a value that fits the shape is likelier the element's than a value of any other element.
constexpr bool hasFirmShape(Shape shape) {
  return shape != Shape::kAny && shape != Shape::kName && shape != Shape::kStreet && shape != Shape::kCity;
}

// The row of kSlotProfiles for every slot, -1 for slots not listed; the ids of five tables are profiled per decode.
struct ProfileRows {
  std::int8_t row[kSlotCount];
};
constexpr ProfileRows profileRows() {
  ProfileRows rows{};
  for (std::int8_t& r : rows.row) r = -1;
  for (std::size_t i = std::size(kSlotProfiles); i-- > 0;)
    rows.row[kSlotProfiles[i].slot] = static_cast<std::int8_t>(i);
  return rows;
}
constexpr ProfileRows kProfileRows = profileRows();
static_assert(std::size(kSlotProfiles) <= 127 && kProfileRows.row[SLOT_EXPIRY_DATE] == 0);

constexpr SlotProfile profileOfSlot(std::int32_t slot) {
  const std::int32_t row = slot >= 0 && slot < kSlotCount ? kProfileRows.row[slot] : -1;
  return row >= 0 ? kSlotProfiles[row] : SlotProfile{.slot = slot};
}

// Every element id any edition defines: a cut may fall on any of them, since a card carries ids its edition's table
// does not store, and the rows with separators skip those without swallowing them into the value in front.
struct KnownId {
  std::int32_t id = 0;
  Shape shape = Shape::kAny;
  std::int32_t worth = 0;  // what finding it is worth; ids the edition does not store are worth nothing
};
// Element ids are three capital letters, so each has a place among the 26 * 26 * 26 such ids.
constexpr std::int32_t kIdPlaces = 26 * 26 * 26;

constexpr std::int32_t idPlace(std::int32_t id) {
  const std::int32_t a = ((id >> 16) & 0xff) - 'A';
  const std::int32_t b = ((id >> 8) & 0xff) - 'A';
  const std::int32_t c = (id & 0xff) - 'A';
  if (id < 0 || id > 0xffffff || a < 0 || a >= 26 || b < 0 || b >= 26 || c < 0 || c >= 26) return -1;
  return (a * 26 + b) * 26 + c;
}
static_assert(idPlace(elementId("AAA")) == 0 && idPlace(elementId("ZZZ")) == kIdPlaces - 1 &&
              idPlace(elementId("DAQ")) == (3 * 26 + 0) * 26 + 16 && idPlace(0x414061) == -1);

struct KnownIds {
  KnownId ids[kMaxIds];
  std::int32_t count = 0;
  // The known ids in ascending order with their index in ids: the cut looks an id up at every place of the data.
  std::int32_t sorted[kMaxIds] = {};
  std::int8_t sortedIndex[kMaxIds] = {};
};
static_assert(kMaxIds <= 128);

// The edition's own vocabulary goes first, so an id's shape follows the slot the edition stores it in. Made by the
// compiler: a decode used to spend half its instructions here.
constexpr KnownIds collectIds(std::span<const ElementEntry> edition) {
  KnownIds known{};
  std::array<std::uint64_t, (kIdPlaces + 63) / 64> placed{};
  const auto add = [&known, &placed](std::span<const ElementEntry> rows, bool stored) {
    for (const ElementEntry& row : rows) {
      const std::int32_t place = idPlace(row.id);
      const bool present = place >= 0 ? ((placed[static_cast<std::size_t>(place / 64)] >> (place % 64)) & 1U) != 0
                                      : std::any_of(known.ids, known.ids + known.count,
                                                    [&row](const KnownId& k) { return k.id == row.id; });
      if (present || known.count >= kMaxIds) continue;
      if (place >= 0) placed[static_cast<std::size_t>(place / 64)] |= std::uint64_t{1} << (place % 64);
      const SlotProfile profile = profileOfSlot(row.slot);
      const std::int32_t worth = !stored ? 0 : profile.frequency == kCommon ? kCommonFound : kRareFound;
      known.ids[known.count++] = {.id = row.id, .shape = profile.shape, .worth = worth};
    }
  };
  add(edition, true);
  for (const std::span<const ElementEntry> rows : kAllVocabularies) add(rows, false);
  // The ids are distinct, so the index found in the sorted list is the one a search of ids would find.
  std::int8_t order[kMaxIds] = {};
  for (std::int32_t i = 0; i < known.count; ++i) order[i] = static_cast<std::int8_t>(i);
  std::sort(order, order + known.count,
            [&known](std::int8_t a, std::int8_t b) { return known.ids[a].id < known.ids[b].id; });
  for (std::int32_t i = 0; i < known.count; ++i) {
    known.sorted[i] = known.ids[order[i]].id;
    known.sortedIndex[i] = order[i];
  }
  return known;
}

constexpr KnownIds kKnownIds2000 = collectIds(kElementRows2000);
constexpr KnownIds kKnownIds2003 = collectIds(kElementRows2003);
constexpr KnownIds kKnownIds2009 = collectIds(kElementRows2009);
constexpr KnownIds kKnownIds2011 = collectIds(kElementRows2011);
constexpr KnownIds kKnownIds2014 = collectIds(kElementRows2014);

struct WedgeEdition {
  std::int32_t version = 0;
  const char* standard = nullptr;
  const ElementTable* elements = nullptr;
  const KnownIds* known = nullptr;  // the ids of the same vocabulary as elements
};

// The same editions and tables the rows with separators use; versions 9 and 10 use the 2014 element ids.
// clang-format off
constexpr WedgeEdition kWedgeEditions[] = {
    {.version = 1, .standard = "AAMVA DL/ID 2000 (separators restored)", .elements = &ElementTable2000, .known = &kKnownIds2000},
    {.version = 2, .standard = "AAMVA DL/ID 2003 (separators restored)", .elements = &ElementTable2003, .known = &kKnownIds2003},
    {.version = 3, .standard = "AAMVA DL/ID 2005 (separators restored)", .elements = &ElementTable2003, .known = &kKnownIds2003},
    {.version = 4, .standard = "AAMVA DL/ID 2009 (separators restored)", .elements = &ElementTable2009, .known = &kKnownIds2009},
    {.version = 5, .standard = "AAMVA DL/ID 2010 (separators restored)", .elements = &ElementTable2009, .known = &kKnownIds2009},
    {.version = 6, .standard = "AAMVA DL/ID 2011 (separators restored)", .elements = &ElementTable2011, .known = &kKnownIds2011},
    {.version = 7, .standard = "AAMVA DL/ID 2014 (separators restored)", .elements = &ElementTable2014, .known = &kKnownIds2014},
    {.version = 8, .standard = "AAMVA DL/ID 2014 (separators restored)", .elements = &ElementTable2014, .known = &kKnownIds2014},
    {.version = 9, .standard = "AAMVA DL/ID 2016 (separators restored)", .elements = &ElementTable2014, .known = &kKnownIds2014},
    {.version = 10, .standard = "AAMVA DL/ID 2020 (separators restored)", .elements = &ElementTable2014, .known = &kKnownIds2014},
};
// clang-format on

constexpr bool editionsFollowTheirVersions() {
  std::int32_t expected = 1;
  for (const WedgeEdition& e : kWedgeEditions) {
    if (e.version != expected++ || e.elements == nullptr || e.known == nullptr ||
        !std::string_view(e.standard).ends_with(" (separators restored)")) {
      return false;
    }
  }
  return true;
}
static_assert(std::size(kWedgeEditions) == 10 && editionsFollowTheirVersions());

// The score of one element whose value, trimmed, is s.
std::int32_t elementScore(const KnownId& id, std::string_view s, std::int32_t discount) {
  const std::int32_t found = id.worth - discount;
  if (s.empty()) return found + kEmptyValue;
  if (!fitsShape(id.shape, s)) return found + kShapeMissed;
  return found + (hasFirmShape(id.shape) ? kShapeFits : 0);
}

// elementScore for a value whose digits and capitals are known already: names, cities and streets are judged by them
// alone, which spares the cut a scan of every value at every length it tries.
std::int32_t grownValueScore(const KnownId& id, std::string_view s, std::int32_t discount, bool digit, bool capital) {
  if (!s.empty() && (id.shape == Shape::kName || id.shape == Shape::kCity)) {
    const bool fits = !digit || (id.shape == Shape::kName && fitsName(s));
    return id.worth - discount + (fits ? 0 : kShapeMissed);
  }
  if (!s.empty() && id.shape == Shape::kStreet) return id.worth - discount + (capital ? 0 : kShapeMissed);
  return elementScore(id, s, discount);
}
static_assert(!hasFirmShape(Shape::kName) && !hasFirmShape(Shape::kCity) && !hasFirmShape(Shape::kStreet));

// The index of the known id that starts at position, or -1.
std::int32_t knownIdAt(const KnownIds& known, TextSpan text, std::int64_t position) {
  if (text.data == nullptr || position < 0 || position + 3 > text.length) return -1;
  const char* at = text.data + position;
  if (!isUpperLetter(at[0]) || !isUpperLetter(at[1]) || !isUpperLetter(at[2])) return -1;
  const std::int32_t id = (at[0] << 16) | (at[1] << 8) | at[2];
  const std::int32_t* end = known.sorted + known.count;
  const std::int32_t* found = std::lower_bound(known.sorted, end, id);
  return found != end && *found == id ? known.sortedIndex[found - known.sorted] : -1;
}

// Separators are rare control bytes, so one comparison turns away nearly every byte.
bool holdsSeparator(TextSpan text) {
  constexpr std::uint32_t kSeparators = (1U << '\n') | (1U << '\r') | (1U << 0x1c) | (1U << 0x1d) | (1U << 0x1e);
  return std::any_of(text.data, text.data + text.length, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 && ((kSeparators >> byte) & 1U) != 0;
  });
}

// Where the file type ends: behind the whole type, or one earlier when the scanner lost one of its characters; -1
// when neither "ANSI " nor "AAMVA" stands behind the "@".
std::int32_t fileTypeEnd(TextSpan text) {
  constexpr std::string_view kFileTypes[] = {"ANSI ", "AAMVA"};
  if (text.length < 6) return -1;
  // Both types, whole or short of one character, start with "A" or "N": other records stop here.
  if (text.data[1] != 'A' && text.data[1] != 'N') return -1;
  const std::string_view head(text.data + 1, 5);
  for (std::string_view type : kFileTypes) {
    if (head == type) return 6;
  }
  const std::string_view four = head.substr(0, 4);
  for (std::string_view type : kFileTypes) {
    for (std::size_t lost = 0; lost < type.size(); ++lost) {
      if (four.substr(0, lost) == type.substr(0, lost) && four.substr(lost) == type.substr(lost + 1)) return 5;
    }
  }
  return -1;
}

// Whether [position, position + count) lies inside the text and holds digits only; their value into value.
bool digitsAt(TextSpan text, std::int64_t position, std::int32_t count, std::int32_t& value) {
  if (position < 0 || position + count > text.length) return false;
  std::int32_t v = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const char c = text.data[position + i];
    if (!isDigitChar(c)) return false;
    v = v * 10 + (c - '0');
  }
  value = v;
  return true;
}

// Where the issuer number starts: behind the file type, and behind one space there when the card writes "AAMVA"
// as it writes "ANSI " ("@AMVA 636006...", its first "A" lost). -1 without a file type.
std::int32_t issuerPosition(TextSpan text) {
  const std::int32_t end = fileTypeEnd(text);
  if (end < 0 || end >= text.length || text.data[end] != ' ') return end;
  std::int32_t digits = 0;
  if (!digitsAt(text, std::int64_t{end} + 1, 6, digits)) return end;
  return end + 1;
}

struct WedgeDesignator {
  char type[2] = {};
  std::int32_t offset = 0;  // counts the characters as they were before the separators were dropped
  std::int32_t length = 0;
};

bool readDesignator(TextSpan text, std::int64_t position, WedgeDesignator& out) {
  if (position < 0 || position + kDesignatorSize > text.length) return false;
  const char* at = text.data + position;
  if (!isUpperLetter(at[0]) || !(isUpperLetter(at[1]) || isDigitChar(at[1]))) return false;
  out.type[0] = at[0];
  out.type[1] = at[1];
  return digitsAt(text, position + 2, 4, out.offset) && digitsAt(text, position + 6, 4, out.length);
}

bool isDlOrId(const WedgeDesignator& d) {
  return (d.type[0] == 'D' && d.type[1] == 'L') || (d.type[0] == 'I' && d.type[1] == 'D');
}

struct WedgeHeader {
  std::int32_t iinPosition = 0;
  std::int32_t version = 0;
  std::int32_t designatorEnd = 0;
  std::int32_t designatorCount = 0;
  WedgeDesignator designators[kMaxDesignators];
};

// Issuer number, version, entries and designators. Version 1 headers have no jurisdiction version in front of the
// number of entries; the other layout is tried when the expected one is not followed by a designator.
Status readWedgeHeader(TextSpan text, WedgeHeader& header) {
  header.iinPosition = issuerPosition(text);
  if (header.iinPosition < 0) return kAamvaNoFileType;
  const std::int64_t versionPosition = std::int64_t{header.iinPosition} + 6;
  if (!digitsAt(text, versionPosition, 2, header.version)) {
    return versionPosition + 2 > text.length ? kAamvaTooShort : kAamvaBadVersion;
  }
  if (header.version < 1 || header.version > static_cast<std::int32_t>(std::size(kWedgeEditions))) {
    return kAamvaBadVersion;
  }
  const std::int64_t behindVersion = versionPosition + 2;
  const std::int64_t layouts[2] = {header.version == 1 ? behindVersion : behindVersion + 2,
                                   header.version == 1 ? behindVersion + 2 : behindVersion};
  // Failing both, the status is that of the layout the version calls for.
  Status status = kStatusOk;
  for (const std::int64_t entriesPosition : layouts) {
    std::int32_t entries = 0;
    const bool numeric = digitsAt(text, entriesPosition, 2, entries);
    if (status == kStatusOk) status = numeric ? kAamvaBadDesignator : kAamvaBadEntryCount;
    if (!numeric) continue;
    const std::int32_t count = std::clamp(entries, 1, kMaxDesignators);
    std::int64_t position = entriesPosition + 2;
    header.designatorCount = 0;
    while (header.designatorCount < count &&
           readDesignator(text, position, header.designators[header.designatorCount])) {
      ++header.designatorCount;
      position += kDesignatorSize;
    }
    if (header.designatorCount > 0) {
      header.designatorEnd = static_cast<std::int32_t>(position);
      return kStatusOk;
    }
  }
  return status;
}

bool typeAt(TextSpan text, std::int64_t position, const char (&type)[2]) {
  return position >= 0 && position + 2 <= text.length && text.data[position] == type[0] &&
         text.data[position + 1] == type[1];
}

// Where the DL or ID data starts, behind its subfile type, or -1. The first subfile follows the designators; a later
// one is looked for by its type and a first element id, at or before where its offset points once the header
// separators are gone (the separators of the subfiles in front of it moved it further forward still).
std::int32_t dataStart(TextSpan text, const WedgeHeader& header, const WedgeDesignator& subfile,
                       const KnownIds& known) {
  const std::int32_t begin = header.designatorEnd;
  const bool first = std::none_of(header.designators, header.designators + header.designatorCount,
                                  [&](const WedgeDesignator& d) { return d.offset < subfile.offset; });
  if (first) {
    if (typeAt(text, begin, subfile.type)) return begin + 2;
    if (knownIdAt(known, text, begin) >= 0) return begin;
  }
  const std::int64_t expected = first ? begin : std::int64_t{subfile.offset} - kLostHeaderSeparators;
  std::int64_t found = -1;
  for (std::int64_t p = begin; p + 2 < text.length; ++p) {
    if (!typeAt(text, p, subfile.type) || knownIdAt(known, text, p + 2) < 0) continue;
    if (p <= expected) {
      found = p;
    } else {
      if (found < 0) found = p;
      break;
    }
  }
  return found < 0 ? -1 : static_cast<std::int32_t>(found + 2);
}

// The type of the subfile that follows the given one in the text, by the designators' offsets; null when none does.
const char* nextSubfileType(const WedgeHeader& header, const WedgeDesignator& subfile) {
  const WedgeDesignator* next = nullptr;
  for (std::int32_t i = 0; i < header.designatorCount; ++i) {
    const WedgeDesignator& d = header.designators[i];
    if (d.offset > subfile.offset && (next == nullptr || d.offset < next->offset)) next = &d;
  }
  return next != nullptr ? next->type : nullptr;
}

// Where the standard data ends: at the subfile behind it, its type as the directory names it followed by an element
// id, or a jurisdiction's own "Z" type followed by an id that repeats it ("ZVZVA"), so that a subfile missing from
// the directory ends the data as well.
std::int32_t standardDataEnd(TextSpan data, const KnownIds& known, const char* nextType) {
  for (std::int32_t p = 3; p + 5 <= data.length; ++p) {
    const char* at = data.data + p;
    if (nextType != nullptr && at[0] == nextType[0] && at[1] == nextType[1] && knownIdAt(known, data, p + 2) >= 0) {
      return p;
    }
    if (at[0] == 'Z' && isUpperLetter(at[1]) && at[2] == 'Z' && at[3] == at[1] && isUpperLetter(at[4])) return p;
  }
  return data.length;
}

// The best cut of the data: score, next cut and the ids on the way to the end, for every position.
struct CutTable {
  std::int32_t score[kMaxData + 1];
  std::int16_t next[kMaxData + 1];  // -1: the data ends here
  std::int16_t id[kMaxData + 1];    // the known id starting here, or -1
  std::uint64_t seen[kMaxData + 1][2];
  // What the values need to know of the bytes in front of each place, so a value is judged without a scan of it:
  // where the last byte that is not blank ends (0 when there is none), and how many digits and capitals there are.
  std::int16_t filledEnd[kMaxData + 1];
  std::int16_t digits[kMaxData + 1];
  std::int16_t capitals[kMaxData + 1];
  // The places a cut can lead from to the end, the latest found last; only these can end a value.
  std::int16_t reachable[kMaxData + 1];
};
static_assert(kMaxData <= std::numeric_limits<std::int16_t>::max() && kMaxIds <= 128);

bool hasSeen(const CutTable& t, std::int32_t position, std::int32_t id) {
  return ((t.seen[position][id / 64] >> (id % 64)) & 1U) != 0;
}

// Fills the table from the end of the data backwards, every element's worth lowered by discount. Returns the number
// of elements of the best cut, or -1 when no cut leads from the start to the end.
// What no discount changes: the known id at every place and the byte counts in front of it. Runs once per data.
void prepareCut(TextSpan data, const KnownIds& known, CutTable& t) {
  const std::int32_t m = data.length;
  t.filledEnd[0] = t.digits[0] = t.capitals[0] = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    const char c = data.data[i];
    t.filledEnd[i + 1] = static_cast<std::int16_t>(isBlankByte(c) ? t.filledEnd[i] : i + 1);
    t.digits[i + 1] = static_cast<std::int16_t>(t.digits[i] + (isDigitChar(c) ? 1 : 0));
    t.capitals[i + 1] = static_cast<std::int16_t>(t.capitals[i] + (isUpperLetter(c) ? 1 : 0));
  }
  for (std::int32_t p = 0; p <= m; ++p) t.id[p] = static_cast<std::int16_t>(knownIdAt(known, data, p));
}

// Expects prepareCut to have run on the same data and ids.
std::int32_t cutData(TextSpan data, const KnownIds& known, std::int32_t discount, CutTable& t) {
  const std::int32_t m = data.length;
  std::int32_t reachableCount = 0;
  for (std::int32_t p = m; p >= 0; --p) {
    t.score[p] = p == m ? 0 : kNoCut;
    t.next[p] = -1;
    t.seen[p][0] = t.seen[p][1] = 0;
    const std::int32_t id = t.id[p];
    if (id < 0) {
      if (p == m) t.reachable[reachableCount++] = static_cast<std::int16_t>(p);
      continue;
    }
    const std::int32_t last = std::min(m, p + 3 + kMaxValue);
    std::int32_t valueStart = p + 3;
    while (valueStart < last && isBlankByte(data.data[valueStart])) ++valueStart;
    std::int32_t bestNext = -1;
    // Only a reachable place can end the value; they are visited from the nearest on, as the places from p + 3 to
    // last would be. The blanks around a value are neither digits nor capitals, so the bytes from p + 3 tell.
    std::int32_t k = reachableCount - 1;
    while (k >= 0 && t.reachable[k] < p + 3) --k;
    for (; k >= 0 && t.reachable[k] <= last; --k) {
      const std::int32_t q = t.reachable[k];
      const std::int32_t valueEnd = std::max<std::int32_t>(p + 3, t.filledEnd[q]);  // behind the last non-blank
      const std::int32_t begin = std::min(valueStart, valueEnd);
      const std::string_view value(data.data + begin, static_cast<std::size_t>(valueEnd - begin));
      const bool digit = t.digits[q] > t.digits[p + 3];
      const bool capital = t.capitals[q] > t.capitals[p + 3];
      const bool freeValueEnded = q < m && known.ids[id].shape == Shape::kAny;
      const std::int32_t score = t.score[q] + grownValueScore(known.ids[id], value, discount, digit, capital) +
                                 (hasSeen(t, q, id) ? kIdRepeated : 0) + (freeValueEnded ? kFreeValueEnded : 0);
      if (score >= t.score[p]) {  // on a tie the longer value: a cut the data does not call for is not made
        t.score[p] = score;
        bestNext = q;
      }
    }
    if (bestNext < 0) continue;
    t.next[p] = static_cast<std::int16_t>(bestNext);
    t.seen[p][0] = t.seen[bestNext][0];
    t.seen[p][1] = t.seen[bestNext][1];
    t.seen[p][id / 64] |= std::uint64_t{1} << (id % 64);
    t.reachable[reachableCount++] = static_cast<std::int16_t>(p);
  }
  if (t.next[0] < 0) return -1;
  std::int32_t count = 0;
  for (std::int32_t p = 0; t.next[p] >= 0; p = t.next[p]) ++count;
  return count;
}

// The directory gives each subfile's length with its type and a separator or terminator behind every element, so
// the length less the characters left tells how many elements there were. A cut with more elements than that has
// split a value where it holds an id-like run; rare elements are made less worth until the count fits, which merges
// them back into the values they were cut from. A directory off by more than two elements is not believed.
std::int32_t cutToDirectoryCount(TextSpan data, std::int32_t typeLength, const WedgeDesignator& subfile,
                                 const KnownIds& known, CutTable& t) {
  constexpr std::int32_t kMostSplits = 2;
  // Common elements keep their worth, so a directory cannot merge them away.
  constexpr std::int32_t kDeepestDiscount = kCommonFound - 1;
  prepareCut(data, known, t);
  const std::int32_t count = cutData(data, known, 0, t);
  const std::int64_t implied = std::int64_t{subfile.length} - typeLength - data.length;
  if (count < 0 || implied < 1 || count - implied < 1 || count - implied > kMostSplits) return count;
  // The least discount whose cut has no more elements than the directory implies.
  std::int32_t low = 1;
  std::int32_t high = kDeepestDiscount;
  std::int32_t found = -1;
  while (low <= high) {
    const std::int32_t middle = low + (high - low) / 2;
    const std::int32_t n = cutData(data, known, middle, t);
    if (n >= 0 && n <= implied) {
      found = middle;
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  if (found >= 0 && cutData(data, known, found, t) == implied) return static_cast<std::int32_t>(implied);
  return cutData(data, known, 0, t);
}

}  // namespace

bool screenAamvaWedge(const char* text, std::int32_t length) {
  return text != nullptr && length >= 1 && text[0] == '@' && !holdsSeparator(TextSpan{text, length});
}

Status decodeAamvaWedge(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  if (text == nullptr || length < 0) return kStatusBadArgument;
  const TextSpan span{text, length};
  if (length < 1) return kAamvaTooShort;
  if (text[0] != '@') return kAamvaNoComplianceMark;
  if (holdsSeparator(span)) return kAamvaWedgeSeparator;

  WedgeHeader header;
  if (Status s = readWedgeHeader(span, header); s != kStatusOk) return s;
  const WedgeDesignator* subfile =
      std::find_if(header.designators, header.designators + header.designatorCount, isDlOrId);
  if (subfile == header.designators + header.designatorCount) return kAamvaBadDesignator;
  const WedgeEdition& edition = kWedgeEditions[header.version - 1];

  const KnownIds& known = *edition.known;
  const std::int32_t start = dataStart(span, header, *subfile, known);
  if (start < 0) return kAamvaShortSubfile;
  TextSpan data = textFrom(span, start);
  data.length = standardDataEnd(data, known, nextSubfileType(header, *subfile));
  if (data.length < 4) return kAamvaShortSubfile;
  if (data.length > kMaxData) return kAamvaWedgeNoCut;

  CutTable cuts;
  const std::int32_t typeLength = typeAt(span, start - 2, subfile->type) ? 2 : 0;
  if (cutToDirectoryCount(data, typeLength, *subfile, known, cuts) < 0) return kAamvaWedgeNoCut;

  // The header and elements are stored by the pipeline's own steps, so the slots match those of the rows that
  // read the same card with its separators.
  AamvaPipeline pipeline;
  pipeline.record = &record;
  pipeline.instance = &instance;
  pipeline.descriptor.iinPos = header.iinPosition;
  pipeline.descriptor.iinLength = 6;
  pipeline.versionNumber = header.version;
  pipeline.entryCount = header.designatorCount;
  pipeline.designatorStart = header.designatorEnd - kDesignatorSize * header.designatorCount;
  pipeline.storeIssuerId = storeIssuerId;
  pipeline.storeElement = storeElement;

  setSlotText(record, SLOT_STANDARD, edition.standard);
  if (Status s = callHook(pipeline.storeIssuerId, pipeline, span); s != kStatusOk) return s;
  setSlotText(record, SLOT_DOCUMENT_TYPE, subfile->type[0] == 'D' ? "DL" : "ID");
  const ElementTable& table = *edition.elements;
  for (std::int32_t p = 0; cuts.next[p] >= 0; p = cuts.next[p]) {
    const std::int32_t id = known.ids[cuts.id[p]].id;
    const TextSpan value{data.data + p + 3, cuts.next[p] - p - 3};
    for (std::int32_t i = 0; i < table.count; ++i) {
      if (table.rows[i].id == id) (void)callHook(pipeline.storeElement, pipeline, table.rows[i].slot, value);
    }
  }
  return kStatusOk;
}

}  // namespace quorix
