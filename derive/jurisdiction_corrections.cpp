// The jurisdiction correction table and its hooks. The IIN names the issuer more reliably than the printed
// jurisdiction code, so it chooses the row when both are present.
#include "derive/jurisdiction_corrections.h"

#include <quorix/result_fields.h>

#include <array>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "core/instance.h"
#include "core/text_utils.h"
#include "derive/derivation_support.h"
#include "tables/iin_table.h"
#include "tables/jurisdiction_table.h"

namespace quorix {
namespace {

constexpr std::int32_t kLicenceSlots[] = {SLOT_LICENCE_NUMBER, SLOT_LICENCE_NUMBER_ALT};

template <std::int32_t Min, std::int32_t Max, std::int32_t Exact>
std::int32_t licenseWithLetter(const FieldRecord& record, char* out, std::int32_t capacity) {
  return formatLicenseWithLetter(record, out, capacity, Min, Max, Exact);
}

// clang-format off
constexpr JurisdictionCorrection kCorrectionRows[] = {
    {.code = "", .noDefaultSplitters = 1},
    {.code = "AL", .licenseNumberHook = licenseWithLetter<7, -1, 8>, .firstNameHook = alabamaFirstName,
     .lastNameHook = alabamaLastName, .middleNameHook = alabamaMiddleName, .nameSuffixHook = alabamaNameSuffix,
     .namePrefixHook = alabamaNamePrefix},
    {.code = "AB", .addressHook = oneLineAddress},
    {.code = "AZ", .licenseNumberHook = licenseWithLetter<-1, -1, 10>},
    {.code = "BC", .addressHook = oneLineAddress},
    {.code = "CA", .licenseNumberHook = licenseWithLetter<8, -1, -1>},
    {.code = "CO", .licenseNumberHook = licenseWithLetter<2, 8, -1>, .firstNameHook = coloradoFirstName,
     .lastNameHook = coloradoLastName, .middleNameHook = coloradoMiddleName},
    {.code = "FL", .licenseNumberHook = licenseWithLetter<13, -1, -1>},
    {.code = "HI", .licenseNumberHook = licenseWithLetter<-1, -1, 10>},
    {.code = "IL", .licenseNumberHook = licenseWithLetter<12, -1, -1>},
    {.code = "IN", .licenseNumberHook = licenseWithLetter<-1, -1, 11>},
    {.code = "KS", .licenseNumberHook = licenseWithLetter<-1, -1, 10>},
    {.code = "KY", .licenseNumberHook = licenseWithLetter<9, -1, -1>},
    {.code = "LB", .licenseNumberHook = licenseWithLetter<10, -1, -1>, .addressHook = oneLineAddress},
    {.code = "MB", .addressHook = oneLineAddress},
    {.code = "MD", .licenseNumberHook = licenseWithLetter<13, -1, -1>},
    {.code = "MA", .licenseNumberHook = licenseWithLetter<-1, -1, 10>},
    {.code = "MI", .licenseNumberHook = licenseWithLetter<13, -1, -1>},
    {.code = "MN", .licenseNumberHook = formatLicenseMinnesota},
    {.code = "NE", .licenseNumberHook = licenseWithLetter<4, -1, -1>},
    {.code = "NB", .addressHook = oneLineAddress},
    {.code = "NF", .licenseNumberHook = licenseWithLetter<10, -1, -1>, .addressHook = oneLineAddress},
    {.code = "NJ", .licenseNumberHook = licenseWithLetter<15, -1, -1>},
    {.code = "NY", .licenseNumberHook = licenseWithLetter<-1, -1, 20>},
    {.code = "NT", .addressHook = oneLineAddress},
    {.code = "NS", .addressHook = oneLineAddress},
    {.code = "NU", .addressHook = oneLineAddress},
    {.code = "OH", .licenseNumberHook = formatLicenseOhio},
    {.code = "ON", .licenseNumberHook = licenseWithLetter<15, -1, -1>, .addressHook = oneLineAddress},
    {.code = "PE", .addressHook = oneLineAddress},
    {.code = "QC", .addressHook = oneLineAddress},
    {.code = "SK", .addressHook = oneLineAddress},
    {.code = "WI", .licenseNumberHook = licenseWithLetter<14, -1, -1>},
    {.code = "YT", .addressHook = oneLineAddress},
};
// clang-format on

constexpr bool onlyTheDefaultRowGoesWithoutSplitters() {
  for (std::size_t i = 0; i < std::size(kCorrectionRows); ++i) {
    const std::string_view code(kCorrectionRows[i].code);
    if ((i == 0) != code.empty() || (i == 0) != (kCorrectionRows[i].noDefaultSplitters != 0)) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (code == kCorrectionRows[j].code) return false;
  }
  return true;
}

static_assert(std::size(kCorrectionRows) == 34 && onlyTheDefaultRowGoesWithoutSplitters());

// The row of each pair of capitals (0, the default row, for a pair without corrections): every parse looks its
// issuer up once.
constexpr auto kRowByCode = [] {
  std::array<std::uint8_t, kCapitalPairs> rows{};
  for (std::size_t i = 1; i < std::size(kCorrectionRows); ++i)
    rows[static_cast<std::size_t>(capitalPairPlace(kCorrectionRows[i].code))] = static_cast<std::uint8_t>(i);
  return rows;
}();
static_assert([] {
  for (std::size_t i = 1; i < std::size(kCorrectionRows); ++i)
    if (capitalPairPlace(kCorrectionRows[i].code) < 0) return false;
  return std::size(kCorrectionRows) < 256;
}());

bool isWhite(char c) { return isBlank(static_cast<signed char>(c)) != 0; }

// The letter that two characters read as a decimal number stand for: 01 is A, 26 is Z. They are read as every
// number of a card is: leading white space, a sign, then digits up to the first other character, so " 4" and
// "4 " are D as "04" is. 0 when the number is below 1 or above 26.
char letterFromDigits(std::string_view text, std::size_t at) {
  if (text.size() < at + 2) return 0;
  const std::string_view pair = text.substr(at, 2);
  std::size_t i = 0;
  while (i < pair.size() && isWhite(pair[i])) ++i;
  bool negative = false;
  if (i < pair.size() && (pair[i] == '+' || pair[i] == '-')) negative = pair[i++] == '-';
  int number = 0;
  for (; i < pair.size() && pair[i] >= '0' && pair[i] <= '9'; ++i) number = number * 10 + (pair[i] - '0');
  if (negative) number = -number;
  return number >= 1 && number <= 26 ? static_cast<char>('A' + number - 1) : 0;
}

bool licenceArgumentsValid(const FieldRecord& record, const char* out, std::int32_t capacity) {
  return record.arena != nullptr && record.arenaSize >= 1 && out != nullptr && capacity >= 1;
}

// The licence number from its first filled slot; empty when there is none.
std::string_view licenceNumber(const FieldRecord& record) {
  TextSpan number;
  if (firstFilledSlot(record, kLicenceSlots, 2, &number) != kStatusOk) return {};
  return number.view();
}

// Appends text to out[written, capacity), without spaces when asked; returns the new count.
std::int32_t appendLicencePart(char* out, std::int32_t capacity, std::int32_t written, std::string_view text,
                               bool dropSpaces) {
  const TextSpan span{text.data(), static_cast<std::int32_t>(text.size())};
  if (written >= capacity || !span.filled()) return written;
  return written + copyFiltered(out + written, capacity - written, span, dropSpaces ? " " : nullptr, nullptr, 0);
}

std::int32_t appendLetter(char* out, std::int32_t capacity, std::int32_t written, char letter) {
  if (written >= capacity) return written;
  out[written] = letter;
  return written + 1;
}

std::int32_t withoutSpaces(char* out, std::int32_t capacity, std::string_view number) {
  return appendLicencePart(out, capacity, 0, number, true);
}

constexpr std::int32_t kAlabamaFields = 5;

// The comma fields of an Alabama full name, empty ones kept; 0 unless fields 1 and 4 are there and filled.
std::int32_t alabamaFields(const FieldRecord& record, TextSpan (&fields)[kAlabamaFields]) {
  const TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  if (!fullName.filled()) return 0;
  const std::int32_t count = splitTokens(fullName, fields, kAlabamaFields, ",", 0);
  if (count < 4 || !fields[0].filled() || !fields[3].filled()) return 0;
  return count;
}

Status alabamaField(const FieldRecord& record, std::int32_t index, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  TextSpan fields[kAlabamaFields];
  if (alabamaFields(record, fields) <= index || !fields[index].filled()) return kStatusNoValue;
  TextSpan field = fields[index];
  trimChars(&field, kWhiteSpace);
  return wroteText(copyFilteredZ(out, outSize, field, nullptr, nullptr, 0));
}

constexpr const char* kColoradoSeparators = " ,@$";
constexpr std::int32_t kColoradoWords = 16;

// The words of the full name with the suffixes taken out.
std::int32_t coloradoWords(const FieldRecord& record, TextSpan (&words)[kColoradoWords]) {
  const TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  if (!fullName.filled()) return 0;
  const std::int32_t count = splitTokens(fullName, words, kColoradoWords, kColoradoSeparators, 1);
  return removeSpansMatching(words, count, NameSuffixTable, kNameSuffixCount);
}

Status copySpan(char* out, std::int32_t outSize, TextSpan span) {
  return wroteText(copyFilteredZ(out, outSize, span, nullptr, nullptr, 0));
}

// Appends " " and the derived part to the pattern area; a part that cannot be derived, or that fills the area to
// the last byte and may have been cut, is left out, so that no cut word is ever removed from the address.
std::int32_t appendPatternPart(const FieldRecord& record, FieldDerivation derivation, char* area, std::int32_t areaSize,
                               std::int32_t length) {
  const std::int32_t room = areaSize - length - 1;  // for the part and its NUL, behind the space
  if (room < 2) return length;
  if (derivation(record, area + length + 1, room) != kStatusOk) return length;
  const std::int32_t partLength = boundedLength(area + length + 1, room);
  if (partLength < 1 || partLength >= room - 1) return length;
  area[length] = ' ';
  return length + 1 + partLength;
}

// Removes every occurrence of pattern that ends the text or is followed by white space; returns the new length.
std::int32_t removeWholeOccurrences(char* text, std::int32_t length, std::string_view pattern) {
  if (pattern.empty()) return length;
  const auto patternLength = static_cast<std::int32_t>(pattern.size());
  std::int32_t written = 0;
  std::int32_t read = 0;
  while (read < length) {
    const std::int32_t end = read + patternLength;
    if (end <= length && std::string_view(text + read, pattern.size()) == pattern &&
        (end == length || isWhite(text[end]))) {
      read = end;
      continue;
    }
    text[written++] = text[read++];
  }
  return written;
}

}  // namespace

constinit const std::span<const JurisdictionCorrection> JurisdictionCorrectionTable{kCorrectionRows};

namespace {

std::size_t lookUpCorrectionRow(const FieldRecord& record) {
  char iin[32];
  char jurisdiction[16];
  const char* code = "";
  if (deriveIin(record, iin, sizeof iin) == kStatusOk) {
    const char* fromIin = jurisdictionForIin(TextSpan{iin, boundedLength(iin, sizeof iin)});
    if (fromIin != nullptr) code = fromIin;
  }
  if (code[0] == '\0' && deriveJurisdictionCode(record, jurisdiction, sizeof jurisdiction) == kStatusOk)
    code = jurisdiction;
  // Every code with corrections is a pair of capitals, so nothing else finds a row of its own.
  const std::int32_t place = capitalPairPlace(code);
  return place < 0 ? 0 : kRowByCode[static_cast<std::size_t>(place)];
}

}  // namespace

const JurisdictionCorrection& findJurisdictionCorrection(const FieldRecord& record) {
  const auto remembered = static_cast<std::size_t>(record.correctionRow);
  if (record.correctionRow >= 0 && remembered < JurisdictionCorrectionTable.size())
    return JurisdictionCorrectionTable[remembered];
  return JurisdictionCorrectionTable[lookUpCorrectionRow(record)];
}

void rememberJurisdictionCorrection(FieldRecord& record) {
  record.correctionRow = static_cast<std::int32_t>(lookUpCorrectionRow(record));
}

const NameSplitters* defaultSplittersFor(const JurisdictionCorrection& row) {
  return row.noDefaultSplitters == 0 ? &DefaultNameSplitters : nullptr;
}

std::int32_t formatLicenseWithLetter(const FieldRecord& record, char* out, std::int32_t capacity, std::int32_t min,
                                     std::int32_t max, std::int32_t exact) {
  if (!licenceArgumentsValid(record, out, capacity)) return 0;
  const std::string_view number = licenceNumber(record);
  const auto length = static_cast<std::int64_t>(number.size());
  const bool applies = (exact == -1 || length == exact) && (min == -1 || length >= min) && (max == -1 || length <= max);
  const char letter = applies ? letterFromDigits(number, 0) : 0;
  if (letter == 0) return withoutSpaces(out, capacity, number);
  return appendLicencePart(out, capacity, appendLetter(out, capacity, 0, letter), number.substr(2), true);
}

std::int32_t formatLicenseOhio(const FieldRecord& record, char* out, std::int32_t capacity) {
  if (!licenceArgumentsValid(record, out, capacity)) return 0;
  const std::string_view number = licenceNumber(record);
  const char first = number.size() == 10 ? letterFromDigits(number, 0) : 0;
  if (first == 0) return withoutSpaces(out, capacity, number);
  const std::int32_t written = appendLetter(out, capacity, 0, first);
  const char second = letterFromDigits(number, 2);
  if (second == 0) return appendLicencePart(out, capacity, written, number.substr(2), true);
  return appendLicencePart(out, capacity, appendLetter(out, capacity, written, second), number.substr(4), true);
}

std::int32_t formatLicenseMinnesota(const FieldRecord& record, char* out, std::int32_t capacity) {
  if (!licenceArgumentsValid(record, out, capacity)) return 0;
  const std::string_view number = licenceNumber(record);
  char letter = 0;
  std::string_view rest;
  if (number.size() == 13) {
    letter = letterFromDigits(number, 0);
    rest = number.substr(2);
  } else if (number.size() >= 14) {
    letter = letterFromDigits(number, number.size() - 2);
    rest = number.substr(0, number.size() - 2);
  }
  if (letter == 0) return withoutSpaces(out, capacity, number);
  return appendLicencePart(out, capacity, appendLetter(out, capacity, 0, letter), rest, false);
}

Status alabamaFirstName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return alabamaField(record, 0, out, outSize);
}

Status alabamaMiddleName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return alabamaField(record, 1, out, outSize);
}

Status alabamaNamePrefix(const FieldRecord& record, char* out, std::int32_t outSize) {
  return alabamaField(record, 2, out, outSize);
}

Status alabamaLastName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return alabamaField(record, 3, out, outSize);
}

Status alabamaNameSuffix(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  TextSpan fields[kAlabamaFields];
  if (alabamaFields(record, fields) < kAlabamaFields) return kStatusNoValue;
  TextSpan suffix = fields[4];
  trimChars(&suffix, kWhiteSpace);
  if (compareSpans(suffix, TextSpan{"NONE", 4}, 1) == 0) return kStatusNoValue;
  return copySpan(out, outSize, suffix);
}

Status coloradoFirstName(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  if (record.group != kGroupAamva) return kStatusNoValue;
  const TextSpan first = slotSpan(record, SLOT_FIRST_NAME);
  if (first.filled()) return copySpan(out, outSize, first);
  const TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  if (!fullName.filled()) return kStatusNoValue;
  TextSpan word;
  TextSpan rest;
  nextToken(fullName, &word, &rest, kColoradoSeparators, true);
  return copySpan(out, outSize, word);
}

Status coloradoLastName(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  if (record.group != kGroupAamva) return kStatusNoValue;
  const TextSpan last = slotSpan(record, SLOT_FAMILY_NAME);
  if (last.filled()) return copySpan(out, outSize, last);
  TextSpan words[kColoradoWords];
  const std::int32_t count = coloradoWords(record, words);
  if (count < 1) return kStatusNoValue;
  if (count <= 2) return copySpan(out, outSize, words[count - 1]);
  return wroteText(joinFilteredZ(out, outSize, words + 2, count - 2, ' ', nullptr, nullptr, 0));
}

Status coloradoMiddleName(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  if (record.group != kGroupAamva) return kStatusNoValue;
  const TextSpan middle = slotSpan(record, SLOT_MIDDLE_NAME);
  if (middle.filled()) return copySpan(out, outSize, middle);
  TextSpan words[kColoradoWords];
  if (coloradoWords(record, words) < 3) return kStatusNoValue;
  return copySpan(out, outSize, words[1]);
}

Status oneLineAddress(const FieldRecord& record, const std::int32_t slotList[], std::int32_t slotCount, char* out,
                      std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize) || slotList == nullptr) return kStatusBadArgument;
  TextSpan line;
  if (firstFilledSlot(record, slotList, slotCount, &line) != kStatusOk) return kStatusNoValue;
  trimChars(&line, NAME_TRIM_SET);
  const std::int32_t written = copyFilteredZ(out, outSize, line, nullptr, " ", 0);
  if (written < 1) return kStatusNoValue;
  std::int32_t length = written - 1;
  if (written >= outSize) return kStatusOk;

  // The patterns are built behind the address text and are prefixes of one another: " city jurisdiction postal".
  char* area = out + written;
  const std::int32_t areaSize = outSize - written;
  const std::int32_t cityEnd = appendPatternPart(record, deriveCity, area, areaSize, 0);
  const std::int32_t jurisdictionEnd = appendPatternPart(record, deriveJurisdictionCode, area, areaSize, cityEnd);
  const std::int32_t postalEnd = appendPatternPart(record, derivePostalCode, area, areaSize, jurisdictionEnd);
  const std::string_view patterns(area, static_cast<std::size_t>(postalEnd));
  for (const std::int32_t end : {postalEnd, jurisdictionEnd, cityEnd})
    length = removeWholeOccurrences(out, length, patterns.substr(0, static_cast<std::size_t>(end)));

  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < length; ++i) {
    if (isWhite(out[i]) && (kept == 0 || isWhite(out[kept - 1]))) continue;
    out[kept++] = out[i];
  }
  while (kept > 0 && isWhite(out[kept - 1])) --kept;
  out[kept] = '\0';
  return kStatusOk;
}

}  // namespace quorix
