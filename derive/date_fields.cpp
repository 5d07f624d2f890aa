// The date, physical-description, licence-code and indicator result fields. Documents disagree on date order,
// write colours as two- or three-letter codes and give weight in pounds, kilograms or only a range digit; these
// derivations turn all of that into one form per field.
#include "derive/date_fields.h"

#include <quorix/result_fields.h>

#include <bit>
#include <cstring>
#include <iterator>

#include "core/text_utils.h"

namespace quorix {
namespace {

// clang-format off
constexpr ColorCode kEyeColorRows[] = {
    {"BLK", "Black"},
    {"BLU", "Blue"},
    {"BRO", "Brown"},
    {"BRN", "Brown"},
    {"GRY", "Gray"},
    {"GRN", "Green"},
    {"HAZ", "Hazel"},
    {"MAR", "Maroon"},
    {"PNK", "Pink"},
    {"DIC", "Dichromatic"},
    {"UNK", "Unknown"},
    {"BK", "Black"},
    {"BL", "Blue"},
    {"BR", "Brown"},
    {"GY", "Gray"},
    {"VI", "Violet"},
};

constexpr ColorCode kHairColorRows[] = {
    {"BAL", "Bald"},
    {"BLK", "Black"},
    {"BLN", "Blond"},
    {"BRO", "Brown"},
    {"GRY", "Grey"},  // "Grey" for hair but "Gray" for eyes: callers match on both texts as they stand
    {"RED", "Red/Auburn"},
    {"BRN", "Brown"},
    {"SDY", "Sandy"},
    {"WHI", "White"},
    {"UNK", "Unknown"},
    {"BD", "Bald"},
    {"BK", "Black"},
    {"BN", "Blond"},
    {"BR", "Brown"},
    {"GY", "Grey"},
    {"RD", "Red/Auburn"},
    {"WH", "White"},
};

struct WeightRange {
  std::string_view kilograms;
  std::string_view pounds;
};

// Indexed by the range digit of the document; the pound ranges meet without a gap.
constexpr WeightRange kWeightRanges[] = {
    {"up to 31", "up to 70"},
    {"32-45", "71-100"},
    {"46-59", "101-130"},
    {"60-70", "131-160"},
    {"71-86", "161-190"},
    {"87-100", "191-220"},
    {"101-113", "221-250"},
    {"114-127", "251-280"},
    {"128-145", "281-320"},
    {"146+", "321+"},
};
// clang-format on

template <std::size_t N>
constexpr bool colorCodesWellFormed(const ColorCode (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].code.size() < 2 || rows[i].code.size() > 3 || rows[i].text.empty()) return false;
    for (char c : rows[i].code)
      if (c < 'A' || c > 'Z') return false;
    for (std::size_t j = 0; j < i; ++j)
      if (rows[j].code == rows[i].code) return false;  // a second row could never be reached
  }
  return true;
}

static_assert(std::size(kEyeColorRows) == 16 && colorCodesWellFormed(kEyeColorRows));
static_assert(std::size(kHairColorRows) == 17 && colorCodesWellFormed(kHairColorRows));
static_assert(std::size(kWeightRanges) == 10);

// Weights convert in single precision: a double factor rounds some large weights one unit differently, and a
// weight must come out as the number it always has.
constexpr float kPoundsPerKilogram = 2.2f;
static_assert(std::bit_cast<std::uint32_t>(kPoundsPerKilogram) == 0x400CCCCDu);

// The checks every text derivation starts with; on success out holds the empty text, so a derivation that fails
// later never leaves stale bytes behind.
[[nodiscard]] Status checkTextArguments(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (record.arena == nullptr || out == nullptr || outSize < 1) return kStatusBadArgument;
  out[0] = '\0';
  return kStatusOk;
}

TextSpan slotSpan(const FieldRecord& record, std::int32_t slot) {
  const FieldSlot& value = record.slots[slot];
  return value.filled() ? TextSpan{value.text, value.length} : TextSpan{};
}

TextSpan firstSlotOf(const FieldRecord& record, const std::int32_t* slots, std::int32_t count) {
  TextSpan span;
  return firstFilledSlot(record, slots, count, &span) == kStatusOk ? span : TextSpan{};
}

// Trims non-graphic bytes from both ends and copies the rest with inner non-graphic bytes turned into spaces,
// cut to fit; with collapse, runs of spaces become one.
[[nodiscard]] Status graphicCopy(TextSpan span, bool collapse, char* out, std::int32_t outSize) {
  trimIf(&span, isNotGraphic);
  const std::int32_t written = copyFilteredIfZ(out, outSize, span, isNotGraphic, collapse ? isBlank : nullptr, ' ');
  return written > 0 ? kStatusOk : kStatusNoValue;
}

// Copies the span as it stands, cut to fit.
[[nodiscard]] Status plainCopy(TextSpan span, char* out, std::int32_t outSize) {
  return copyFilteredIfZ(out, outSize, span, nullptr, nullptr, '\0') > 0 ? kStatusOk : kStatusNoValue;
}

// A text of the library's own (a table text, a converted number) is written whole or not at all: a cut one
// would read as a different value.
[[nodiscard]] Status writeWhole(std::string_view text, char* out, std::int32_t outSize) {
  if (static_cast<std::int64_t>(text.size()) >= outSize) return kStatusOutputTooSmall;
  std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return kStatusOk;
}

bool isDigitByte(char c) { return c >= '0' && c <= '9'; }
bool isWhiteSpaceByte(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One date group of count bytes: leading white space, one optional sign, then digits up to the first non-digit.
// A group without digits is 0. At most four bytes are read, so the value cannot overflow.
std::int32_t dateGroupValue(const char* text, std::int32_t count) {
  std::int32_t i = 0;
  while (i < count && isWhiteSpaceByte(text[i])) ++i;
  bool negative = false;
  if (i < count && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int32_t value = 0;
  for (; i < count && isDigitByte(text[i]); ++i) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

bool dayAndMonthInRange(std::int32_t month, std::int32_t day) {
  return day >= 1 && day <= 31 && month >= 1 && month <= 12;
}

[[nodiscard]] Status deriveDate(const FieldRecord& record, const std::int32_t* slots, std::int32_t count, char* out,
                                std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan text = firstSlotOf(record, slots, count);
  DocumentDate date;
  if (!text.filled() || parseDocumentDate(text, &date) != 0 || outSize < 11) return kStatusNoValue;
  out[formatDocumentDate(date, out)] = '\0';
  return kStatusOk;
}

// The whole span is 1 to maxLength decimal digits; *value receives them.
bool digitsOnly(TextSpan span, std::int32_t maxLength, std::int64_t* value) {
  if (!span.filled() || span.length > maxLength) return false;
  std::int64_t result = 0;
  for (char c : span.view()) {
    if (!isDigitByte(c)) return false;
    result = result * 10 + (c - '0');
  }
  *value = result;
  return true;
}

[[nodiscard]] Status writeNumber(std::int64_t value, char* out, std::int32_t outSize) {
  const std::int32_t written = formatDecimal(value, out, outSize - 1, 0);
  if (written < 1) return kStatusOutputTooSmall;
  out[written] = '\0';
  return kStatusOk;
}

// The range digit of slot 65: the text begins with a digit and its leading number is 0 to 9; -1 otherwise.
std::int32_t weightRangeDigit(const FieldRecord& record) {
  const TextSpan range = slotSpan(record, SLOT_WEIGHT_RANGE);
  if (!range.filled() || !isDigitByte(range.data[0])) return -1;
  std::int32_t value = 0;
  for (std::int32_t i = 0; i < range.length && isDigitByte(range.data[i]); ++i) {
    value = value * 10 + (range.data[i] - '0');
    if (value > 9) return -1;
  }
  return value;
}

[[nodiscard]] Status deriveCode(const FieldRecord& record, const std::int32_t* slots, std::int32_t count, bool collapse,
                                char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan code = firstSlotOf(record, slots, count);
  return code.filled() ? graphicCopy(code, collapse, out, outSize) : kStatusNoValue;
}

[[nodiscard]] Status deriveColor(const FieldRecord& record, std::int32_t slot, const ColorTable& table, char* out,
                                 std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan code = slotSpan(record, slot);
  if (!code.filled()) return kStatusNoValue;
  const std::string_view text = lookupColor(table, code);
  return text.empty() ? plainCopy(code, out, outSize) : writeWhole(text, out, outSize);
}

// A one-character "1" means yes; any other filled value means no.
[[nodiscard]] Status deriveFlag(const FieldRecord& record, std::int32_t slot, std::int32_t* out) {
  if (record.arena == nullptr || out == nullptr) return kStatusBadArgument;
  const TextSpan flag = slotSpan(record, slot);
  if (!flag.filled()) return kStatusNoValue;
  *out = flag.length == 1 && flag.data[0] == '1' ? 1 : 0;
  return kStatusOk;
}

}  // namespace

constinit const ColorTable EyeColorTable{static_cast<std::int32_t>(std::size(kEyeColorRows)), kEyeColorRows};
constinit const ColorTable HairColorTable{static_cast<std::int32_t>(std::size(kHairColorRows)), kHairColorRows};

std::string_view lookupColor(const ColorTable& table, TextSpan code) {
  for (std::int32_t i = 0; i < table.count; ++i)
    if (table.rows[i].code == code.view()) return table.rows[i].text;
  return {};
}

std::string_view weightRangeKg(std::int32_t digit) {
  return digit >= 0 && digit <= 9 ? kWeightRanges[digit].kilograms : std::string_view();
}

std::string_view weightRangeLbs(std::int32_t digit) {
  return digit >= 0 && digit <= 9 ? kWeightRanges[digit].pounds : std::string_view();
}

// The order is decided by the range tests alone: a document's country or edition does not say which it used.
std::int32_t parseDocumentDate(TextSpan text, DocumentDate* date) {
  if (date == nullptr || !text.filled() || text.length < 8) return -1;
  const char* p = text.data;
  DocumentDate read{.year = dateGroupValue(p, 4), .month = dateGroupValue(p + 4, 2), .day = dateGroupValue(p + 6, 2)};
  if (dayAndMonthInRange(read.month, read.day) && read.year >= 0 && read.year <= 9999) {
    *date = read;
    return 0;
  }
  read = {.year = dateGroupValue(p + 4, 4), .month = dateGroupValue(p, 2), .day = dateGroupValue(p + 2, 2)};
  if (dayAndMonthInRange(read.month, read.day) && read.year >= 1800 && read.year <= 9999) {
    *date = read;
    return 0;
  }
  return -1;
}

std::int32_t formatDocumentDate(const DocumentDate& date, char* out) {
  // A part that does not fit its width is written as zeros, so the text is always ten characters.
  if (formatDecimal(date.month, out, 2, kFormatFixedWidth) != 2) std::memcpy(out, "00", 2);
  out[2] = '/';
  if (formatDecimal(date.day, out + 3, 2, kFormatFixedWidth) != 2) std::memcpy(out + 3, "00", 2);
  out[5] = '/';
  if (formatDecimal(date.year, out + 6, 4, kFormatFixedWidth) != 4) std::memcpy(out + 6, "0000", 4);
  return 10;
}

Status deriveExpirationDate(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_EXPIRY_DATE};
  return deriveDate(record, kSlots, 1, out, outSize);
}

Status deriveHazmatExpDate(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_HAZMAT_EXPIRY_DATE};
  return deriveDate(record, kSlots, 1, out, outSize);
}

// Some element tables put the birth date in a second position.
Status deriveBirthdate(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_BIRTH_DATE, SLOT_BIRTH_DATE_ALT};
  return deriveDate(record, kSlots, 2, out, outSize);
}

Status deriveCardRevisionDate(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_CARD_REVISION_DATE};
  return deriveDate(record, kSlots, 1, out, outSize);
}

Status deriveIssueDate(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_ISSUE_DATE};
  return deriveDate(record, kSlots, 1, out, outSize);
}

// Documents write the sex as a word, as a letter or as the digits 1 and 2.
Status deriveGender(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan sex = slotSpan(record, SLOT_SEX);
  if (!sex.filled()) return kStatusNoValue;
  const char first = sex.data[0];
  if (sex.view() == "MALE" || first == 'M' || first == '1') return writeWhole("Male", out, outSize);
  if (sex.view() == "FEMALE" || first == 'F' || first == '2') return writeWhole("Female", out, outSize);
  return kStatusNoValue;
}

Status deriveEyeColor(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveColor(record, SLOT_EYE_COLOUR, EyeColorTable, out, outSize);
}

Status deriveHairColor(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveColor(record, SLOT_HAIR_COLOUR, HairColorTable, out, outSize);
}

Status deriveRace(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan race = slotSpan(record, SLOT_RACE);
  return race.filled() ? graphicCopy(race, false, out, outSize) : kStatusNoValue;
}

// Later editions carry the unit with the height; the 2000 edition writes feet and inches as bare digits ("510"),
// and some documents give only centimetres.
Status deriveHeight(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  if (const TextSpan withUnit = slotSpan(record, SLOT_HEIGHT); withUnit.filled())
    return graphicCopy(withUnit, false, out, outSize);

  if (TextSpan feetInches = slotSpan(record, SLOT_HEIGHT_FT_IN); feetInches.filled()) {
    trimIf(&feetInches, isNotGraphic);
    if (!feetInches.filled()) return kStatusNoValue;
    const auto length = static_cast<std::int64_t>(feetInches.length);
    if (outSize <= length + 2) return kStatusOutputTooSmall;
    out[0] = feetInches.data[0];
    out[1] = '\'';
    std::memcpy(out + 2, feetInches.data + 1, static_cast<std::size_t>(length - 1));
    out[length + 1] = '"';
    out[length + 2] = '\0';
    return kStatusOk;
  }

  if (TextSpan centimetres = slotSpan(record, SLOT_HEIGHT_CM); centimetres.filled()) {
    trimIf(&centimetres, isNotGraphic);
    const auto length = static_cast<std::int64_t>(centimetres.length);
    if (!centimetres.filled() || outSize <= length + 2) return kStatusOutputTooSmall;
    std::memcpy(out, centimetres.data, static_cast<std::size_t>(length));
    std::memcpy(out + length, "cm", 3);
    return kStatusOk;
  }
  return kStatusNoValue;
}

Status deriveWeightKg(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  if (outSize < 4) return kStatusBadArgument;
  std::int64_t value = 0;
  if (digitsOnly(slotSpan(record, SLOT_WEIGHT_LB), 7, &value)) {
    // Two single-precision steps, so no compiler may fuse them into a more precise one.
    const float quotient = static_cast<float>(value) / kPoundsPerKilogram;
    const float rounded = quotient + 0.5f;
    return writeNumber(static_cast<std::int64_t>(rounded), out, outSize);
  }
  if (const TextSpan kilograms = slotSpan(record, SLOT_WEIGHT_KG); digitsOnly(kilograms, 7, &value))
    return plainCopy(kilograms, out, outSize);
  if (const std::int32_t digit = weightRangeDigit(record); digit >= 0)
    return writeWhole(weightRangeKg(digit), out, outSize);
  return kStatusNoValue;
}

Status deriveWeightLbs(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  if (outSize < 4) return kStatusBadArgument;
  // Pounds are taken as the document wrote them, digits or not.
  if (const TextSpan pounds = slotSpan(record, SLOT_WEIGHT_LB); pounds.filled() && pounds.length <= 9)
    return plainCopy(pounds, out, outSize);
  std::int64_t value = 0;
  if (digitsOnly(slotSpan(record, SLOT_WEIGHT_KG), 7, &value)) {
    const float product = static_cast<float>(value) * kPoundsPerKilogram;
    const float rounded = product + 0.5f;
    return writeNumber(static_cast<std::int64_t>(rounded), out, outSize);
  }
  if (const std::int32_t digit = weightRangeDigit(record); digit >= 0)
    return writeWhole(weightRangeLbs(digit), out, outSize);
  return kStatusNoValue;
}

// The standard classification comes first, then the jurisdiction's own class, then the 2000 edition's.
Status deriveClassificationCode(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_STD_VEHICLE_CLASS, SLOT_VEHICLE_CLASS, SLOT_CLASS};
  return deriveCode(record, kSlots, 3, false, out, outSize);
}

Status deriveVehicleClassCodeDescription(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_VEHICLE_CLASS_DESC};
  return deriveCode(record, kSlots, 1, false, out, outSize);
}

// Restriction lists are often padded between codes, hence the collapsing.
Status deriveRestrictionCode(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_STD_RESTRICTIONS, SLOT_RESTRICTIONS};
  return deriveCode(record, kSlots, 2, true, out, outSize);
}

Status deriveRestrictionCodeDescription(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_RESTRICTION_DESC};
  return deriveCode(record, kSlots, 1, false, out, outSize);
}

Status deriveEndorsementsCode(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_STD_ENDORSEMENTS, SLOT_ENDORSEMENTS};
  return deriveCode(record, kSlots, 2, false, out, outSize);
}

Status deriveEndorsementCodeDescription(const FieldRecord& record, char* out, std::int32_t outSize) {
  constexpr std::int32_t kSlots[] = {SLOT_ENDORSEMENT_DESC};
  return deriveCode(record, kSlots, 1, false, out, outSize);
}

// The compliance type is a single marker character ("F", "N"); anything longer is not one.
Status deriveComplianceType(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan type = slotSpan(record, SLOT_COMPLIANCE_TYPE);
  if (type.length != 1 || isGraphic(static_cast<signed char>(type.data[0])) == 0) return kStatusNoValue;
  return plainCopy(type, out, outSize);
}

Status deriveLimitedDurationFlag(const FieldRecord& record, std::int32_t* out) {
  return deriveFlag(record, SLOT_LIMITED_DURATION, out);
}

Status deriveOrganDonorFlag(const FieldRecord& record, std::int32_t* out) {
  return deriveFlag(record, SLOT_ORGAN_DONOR, out);
}

Status deriveVeteranFlag(const FieldRecord& record, std::int32_t* out) { return deriveFlag(record, SLOT_VETERAN, out); }

}  // namespace quorix
