// The date, physical-description, licence-code and indicator result fields. Documents disagree on date order,
// write colours as two- or three-letter codes and give weight in pounds, kilograms or only a range digit; these
// derivations turn all of that into one form per field.
#include "derive/date_fields.h"

#include <quorix/result_fields.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#include "core/text_utils.h"
#include "derive/derivation_support.h"

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

// Some issuers write the colour out; each word gives the text its code gives.
constexpr ColorCode kEyeColorWords[] = {
    {"BLACK", "Black"},
    {"BLUE", "Blue"},
    {"BROWN", "Brown"},
    {"GRAY", "Gray"},
    {"GREY", "Gray"},
    {"GREEN", "Green"},
    {"HAZEL", "Hazel"},
    {"MAROON", "Maroon"},
    {"PINK", "Pink"},
    {"DICHROMATIC", "Dichromatic"},
    {"VIOLET", "Violet"},
    {"UNKNOWN", "Unknown"},
};

constexpr ColorCode kHairColorWords[] = {
    {"BALD", "Bald"},
    {"BLACK", "Black"},
    {"BLOND", "Blond"},
    {"BLONDE", "Blond"},
    {"BROWN", "Brown"},
    {"GRAY", "Grey"},
    {"GREY", "Grey"},
    {"AUBURN", "Red/Auburn"},
    {"SANDY", "Sandy"},
    {"WHITE", "White"},
    {"UNKNOWN", "Unknown"},
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

// Every word stands for a text its table's codes give, so a word and its code always read alike.
template <std::size_t N, std::size_t M>
constexpr bool colorWordsMatchCodes(const ColorCode (&words)[N], const ColorCode (&codes)[M]) {
  for (const ColorCode& word : words) {
    if (word.code.size() < 4) return false;  // a word as short as a code would hide it
    if (std::none_of(std::begin(codes), std::end(codes), [&](const ColorCode& c) { return c.text == word.text; }))
      return false;
  }
  return true;
}
static_assert(colorWordsMatchCodes(kEyeColorWords, kEyeColorRows));
static_assert(colorWordsMatchCodes(kHairColorWords, kHairColorRows));
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

TextSpan firstSlotOf(const FieldRecord& record, const std::int32_t* slots, std::int32_t count) {
  TextSpan span;
  return firstFilledSlot(record, slots, count, &span) == kStatusOk ? span : TextSpan{};
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

bool isDigitByte(char c) { return inClass(c, kClassDigit); }
bool isWhiteSpaceByte(char c) { return inClass(c, kClassSpace); }

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

bool allDigits(const char* text, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

std::int32_t digitsValue(const char* text, std::int32_t count) {
  std::int32_t value = 0;
  for (std::int32_t i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// Eight digits, as nearly every document writes its dates: year first when the month and day that follow are in
// range, else month first from 1800 on. The groups are plain numbers, so the readings are those of the general case
// below without its sign and space handling.
enum class DigitOrder { kNone, kYearFirst, kMonthFirst };
DigitOrder digitDateOrder(const char* p) {
  if (dayAndMonthInRange(digitsValue(p + 4, 2), digitsValue(p + 6, 2))) return DigitOrder::kYearFirst;
  if (dayAndMonthInRange(digitsValue(p, 2), digitsValue(p + 2, 2)) && digitsValue(p + 4, 4) >= 1800)
    return DigitOrder::kMonthFirst;
  return DigitOrder::kNone;
}

std::int32_t acceptDigitDate(const char* p, DocumentDate* date) {
  switch (digitDateOrder(p)) {
    case DigitOrder::kYearFirst:
      *date = {.year = digitsValue(p, 4), .month = digitsValue(p + 4, 2), .day = digitsValue(p + 6, 2)};
      return 0;
    case DigitOrder::kMonthFirst:
      *date = {.year = digitsValue(p + 4, 4), .month = digitsValue(p, 2), .day = digitsValue(p + 2, 2)};
      return 0;
    case DigitOrder::kNone:
      break;
  }
  return -1;
}

[[nodiscard]] Status deriveDate(const FieldRecord& record, const std::int32_t* slots, std::int32_t count, char* out,
                                std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan text = firstSlotOf(record, slots, count);
  if (!text.filled() || text.length < 8 || outSize < 11) return kStatusNoValue;
  // Eight digits are what formatDocumentDate would write of them, moved into place.
  if (const char* p = text.data; allDigits(p, 8)) {
    const DigitOrder order = digitDateOrder(p);
    if (order == DigitOrder::kNone) return kStatusNoValue;
    const char* const month = order == DigitOrder::kYearFirst ? p + 4 : p;
    const char* const year = order == DigitOrder::kYearFirst ? p : p + 4;
    const char date[11] = {month[0], month[1], '/', month[2], month[3], '/', year[0], year[1], year[2], year[3], '\0'};
    std::memcpy(out, date, sizeof date);
    return kStatusOk;
  }
  DocumentDate date;
  if (parseDocumentDate(text, &date) != 0) return kStatusNoValue;
  out[formatDocumentDate(date, out)] = '\0';
  return kStatusOk;
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

bool equalsIgnoringCase(TextSpan span, std::string_view word) {
  return compareSpans(span, TextSpan{word.data(), static_cast<std::int32_t>(word.size())}, 1) == 0;
}

// The text of a colour word, in any case; empty when the word is not listed.
template <std::size_t N>
std::string_view lookupColorWord(const ColorCode (&words)[N], TextSpan word) {
  for (const ColorCode& row : words)
    if (equalsIgnoringCase(word, row.code)) return row.text;
  return {};
}

template <std::size_t N>
[[nodiscard]] Status deriveColor(const FieldRecord& record, std::int32_t slot, const ColorTable& table,
                                 const ColorCode (&words)[N], char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  const TextSpan code = slotSpan(record, slot);
  if (!code.filled()) return kStatusNoValue;
  std::string_view text = lookupColor(table, code);
  if (text.empty()) text = lookupColorWord(words, code);
  return text.empty() ? plainCopy(code, out, outSize) : writeWhole(text, out, outSize);
}

// Cards write the indicators as digits, letters or words. A value that is none of these says neither yes nor no,
// and a guessed "no" would be a confident wrong answer, so it gives no indicator.
constexpr std::string_view kYesWords[] = {"1", "Y", "YES", "DONOR"};
constexpr std::string_view kNoWords[] = {"0", "N", "NO"};

[[nodiscard]] Status deriveFlag(const FieldRecord& record, std::int32_t slot, std::int32_t* out) {
  if (record.arena == nullptr || out == nullptr) return kStatusBadArgument;
  TextSpan flag = slotSpan(record, slot);
  if (!flag.filled()) return kStatusNoValue;
  trimBlanks(flag);
  const auto matches = [&flag](std::string_view word) { return equalsIgnoringCase(flag, word); };
  if (std::any_of(std::begin(kYesWords), std::end(kYesWords), matches)) {
    *out = 1;
    return kStatusOk;
  }
  if (std::any_of(std::begin(kNoWords), std::end(kNoWords), matches)) {
    *out = 0;
    return kStatusOk;
  }
  return kStatusNoValue;
}

// A weight as the card writes it: 1 to 7 digits, alone (in the unit of the slot that holds them) or followed by
// "KG", "KGS", "LB" or "LBS", with or without a space, in any case.
struct Weight {
  TextSpan digits;
  std::int64_t value = 0;
  bool kilograms = false;
  bool unitWritten = false;
};

bool readWeight(TextSpan text, bool slotInKilograms, Weight* weight) {
  if (!text.filled()) return false;
  std::int32_t count = 0;
  while (count < text.length && isDigitByte(text.data[count])) ++count;
  if (count < 1 || count > 7) return false;
  TextSpan unit{text.data + count, text.length - count};
  trimIf(&unit, isBlank);
  Weight read{.digits = {text.data, count}, .kilograms = slotInKilograms};
  if (unit.filled()) {
    read.unitWritten = true;
    if (equalsIgnoringCase(unit, "KG") || equalsIgnoringCase(unit, "KGS")) {
      read.kilograms = true;
    } else if (equalsIgnoringCase(unit, "LB") || equalsIgnoringCase(unit, "LBS")) {
      read.kilograms = false;
    } else {
      return false;
    }
  }
  for (char c : read.digits.view()) read.value = read.value * 10 + (c - '0');
  *weight = read;
  return true;
}

// The first weight of the pound and kilogram slots that reads.
bool recordWeight(const FieldRecord& record, Weight* weight) {
  return readWeight(slotSpan(record, SLOT_WEIGHT_LB), false, weight) ||
         readWeight(slotSpan(record, SLOT_WEIGHT_KG), true, weight);
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
  if (allDigits(p, 8)) return acceptDigitDate(p, date);
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

// Two digits of value, which lies in [0, 99].
void putTwoDigits(std::int32_t value, char* out) {
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
}

std::int32_t formatDocumentDate(const DocumentDate& date, char* out) {
  // A parsed date always fits its widths, so the digits are written directly; anything else goes the long way.
  if (date.month >= 0 && date.month <= 99 && date.day >= 0 && date.day <= 99 && date.year >= 0 && date.year <= 9999) {
    putTwoDigits(date.month, out);
    out[2] = '/';
    putTwoDigits(date.day, out + 3);
    out[5] = '/';
    putTwoDigits(date.year / 100, out + 6);
    putTwoDigits(date.year % 100, out + 8);
    return 10;
  }
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
  // The card says the holder's sex is not given, which differs from a card that carries none.
  if (sex.view() == "9") return writeWhole("Not specified", out, outSize);
  if (sex.view() == "X") return writeWhole("X", out, outSize);
  return kStatusNoValue;
}

Status deriveEyeColor(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveColor(record, SLOT_EYE_COLOUR, EyeColorTable, kEyeColorWords, out, outSize);
}

Status deriveHairColor(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveColor(record, SLOT_HAIR_COLOUR, HairColorTable, kHairColorWords, out, outSize);
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
    trimOutsideClass(&feetInches, kClassGraphic);
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
    trimOutsideClass(&centimetres, kClassGraphic);
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
  if (Weight weight; recordWeight(record, &weight)) {
    if (weight.kilograms) return plainCopy(weight.digits, out, outSize);
    // Two single-precision steps, so no compiler may fuse them into a more precise one.
    const float quotient = static_cast<float>(weight.value) / kPoundsPerKilogram;
    const float rounded = quotient + 0.5f;
    return writeNumber(static_cast<std::int64_t>(rounded), out, outSize);
  }
  if (const std::int32_t digit = weightRangeDigit(record); digit >= 0)
    return writeWhole(weightRangeKg(digit), out, outSize);
  return kStatusNoValue;
}

Status deriveWeightLbs(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (Status s = checkTextArguments(record, out, outSize); s != kStatusOk) return s;
  if (outSize < 4) return kStatusBadArgument;
  // Pounds are taken as the document wrote them, digits or not, unless it named the unit.
  const TextSpan pounds = slotSpan(record, SLOT_WEIGHT_LB);
  Weight weight;
  const bool read = recordWeight(record, &weight);
  if (pounds.filled() && pounds.length <= 9 && !(read && weight.unitWritten)) return plainCopy(pounds, out, outSize);
  if (read) {
    if (!weight.kilograms) return plainCopy(weight.digits, out, outSize);
    const float product = static_cast<float>(weight.value) * kPoundsPerKilogram;
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
