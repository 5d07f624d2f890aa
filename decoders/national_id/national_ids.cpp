// The national identity card decoders (registry ids 51 to 55). Guatemala, Puerto Rico and Mexico cards are read by
// step chains, Panama and South Africa cards by splitting at "|". The cards arrive as read, letter case kept.
#include "decoders/national_id/national_ids.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

#include "core/text_utils.h"
#include "decoders/national_id/national_id_steps.h"

namespace quorix {
namespace {

constexpr std::int32_t kMaxLength = std::numeric_limits<std::int32_t>::max();
constexpr const char* kWhiteSpace = " \t\n\v\f\r";

constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The characters each card allows in a name field.
int isGuatemalaNameChar(signed char c) { return inClass(static_cast<char>(c), kClassLetter | kClassSpace) || c == '?'; }
int isPuertoRicoFirstNameChar(signed char c) {
  return inClass(static_cast<char>(c), kClassCode) || c == '+' || c == '?';
}
int isPuertoRicoMiddleNameChar(signed char c) { return inClass(static_cast<char>(c), kClassCode) || c == '?'; }
int isPuertoRicoFamilyNameChar(signed char c) {
  return inClass(static_cast<char>(c), kClassLetter) || c == '?' || c == '+' || c == '-';
}

constexpr bool allCapitalWords(const std::string_view* rows, std::size_t count, std::size_t minLength,
                               std::size_t maxLength) {
  for (std::size_t row = 0; row < count; ++row) {
    if (rows[row].size() < minLength || rows[row].size() > maxLength) return false;
    for (char c : rows[row])
      if (!inClass(c, kClassUpper)) return false;
  }
  return true;
}

constexpr bool allDistinct(const std::string_view* rows, std::size_t count) {
  for (std::size_t a = 0; a < count; ++a)
    for (std::size_t b = a + 1; b < count; ++b)
      if (rows[a] == rows[b]) return false;
  return true;
}

// Month names of the South African card, months 1 to 12 in order.
// clang-format off
constexpr std::string_view MonthAbbreviations[] = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC",
};
// The Puerto Rico card writes its months in Spanish.
constexpr std::string_view kPuertoRicoMonths[] = {
    "ENE", "FEB", "MAR", "ABR", "MAY", "JUN", "JUL", "AGO", "SEP", "OCT", "NOV", "DIC",
};
// The word that follows the family names on a Puerto Rico card.
constexpr std::string_view kPuertoRicoFamilyNameMarkers[] = {"CIT", "INM"};
// Words that start a compound Mexican surname, whole words in any case.
constexpr std::string_view SurnameParticles[] = {"DE", "DES", "LAS", "DEL", "DA"};
// clang-format on
static_assert(std::size(MonthAbbreviations) == 12 &&
              allCapitalWords(MonthAbbreviations, std::size(MonthAbbreviations), 3, 3) &&
              allDistinct(MonthAbbreviations, std::size(MonthAbbreviations)));
static_assert(std::size(kPuertoRicoMonths) == 12 &&
              allCapitalWords(kPuertoRicoMonths, std::size(kPuertoRicoMonths), 3, 3) &&
              allDistinct(kPuertoRicoMonths, std::size(kPuertoRicoMonths)));
static_assert(std::size(kPuertoRicoFamilyNameMarkers) == 2 &&
              allCapitalWords(kPuertoRicoFamilyNameMarkers, std::size(kPuertoRicoFamilyNameMarkers), 3, 3));
static_assert(std::size(SurnameParticles) == 5 &&
              allCapitalWords(SurnameParticles, std::size(SurnameParticles), 2, 3) &&
              allDistinct(SurnameParticles, std::size(SurnameParticles)));

constexpr std::string_view kMexicoBirthDateMarker = " Fec Nac. ";
constexpr std::string_view kMexicoDocumentMarker = " Id Doc ";
constexpr std::string_view kMexicoOfficeMarker = "Ofna ";

TextSpan spanOf(std::string_view text) { return TextSpan{text.data(), static_cast<std::int32_t>(text.size())}; }

std::string_view tail(std::string_view text, std::size_t from) {
  return from < text.size() ? text.substr(from) : std::string_view();
}

void consume(TextSpan& rest, std::size_t count) {
  advanceSpan(&rest, count < static_cast<std::size_t>(rest.length) ? static_cast<std::int32_t>(count) : kMaxLength);
}

void storeText(FieldRecord& record, std::int32_t slot, std::string_view text) {
  setSlot(record, slot, spanOf(text), nullptr, nullptr, 0);
}

void storeDate(FieldRecord& record, std::int32_t slot, std::int32_t year, std::int32_t month, std::int32_t day) {
  setSlotDate(record, slot, DateTime{.year = year, .month = month, .day = day});
}

// Position (1-based) of a word in a table of capitals, letters compared in any case; 0 when it is not there.
std::int32_t tableRow(const std::string_view* rows, std::size_t count, std::string_view letters) {
  for (std::size_t row = 0; row < count; ++row)
    if (compareSpans(spanOf(letters), spanOf(rows[row]), 1) == 0) return static_cast<std::int32_t>(row + 1);
  return 0;
}

// Reads between minDigits and maxDigits digits at text[at]; the count read, 0 when fewer than minDigits.
std::size_t readDigits(std::string_view text, std::size_t at, std::size_t minDigits, std::size_t maxDigits,
                       std::int32_t& value) {
  std::size_t count = 0;
  value = 0;
  while (count < maxDigits && at + count < text.size() && inClass(text[at + count], kClassDigit)) {
    value = value * 10 + (text[at + count] - '0');
    ++count;
  }
  return count >= minDigits ? count : 0;
}

// A date written as two numbers and a four-digit year, "25/12/1980"; which number is the day is the card's business.
struct NumberedDate {
  std::int32_t first = 0;
  std::int32_t second = 0;
  std::int32_t year = 0;
};

// Reads a numbered date from the front of text, each number minDigits to 2 digits long; the characters read, or 0.
std::size_t readNumberedDate(std::string_view text, std::size_t minDigits, NumberedDate& date) {
  std::size_t at = readDigits(text, 0, minDigits, 2, date.first);
  if (at == 0 || at >= text.size() || text[at] != '/') return 0;
  const std::size_t second = readDigits(text, at + 1, minDigits, 2, date.second);
  if (second == 0) return 0;
  at += 1 + second;
  if (at >= text.size() || text[at] != '/') return 0;
  const std::size_t year = readDigits(text, at + 1, 4, 4, date.year);
  return year == 0 ? 0 : at + 1 + year;
}

// Where the run of characters accepted by predicate that ends at text[end] starts.
std::size_t runStartBefore(std::string_view text, std::size_t end, CharPredicate predicate) {
  std::size_t start = end;
  while (start > 0 && predicate(static_cast<signed char>(text[start - 1])) != 0) --start;
  return start;
}

// Cards fill empty name fields with the word NULL, in any case; such a name must not reach the result.
struct NameWithoutNull {
  std::string_view source;
  bool asFamilyName = false;  // "-" separates the surnames; trailing white space is dropped
};

std::int32_t produceNameWithoutNull(const void* context, char* destination, std::int32_t room) {
  if (context == nullptr || destination == nullptr || room < 1) return 0;
  const auto& name = *static_cast<const NameWithoutNull*>(context);
  const std::string_view text = name.source;
  std::int32_t written = 0;
  for (std::size_t i = 0; i < text.size() && written < room;) {
    if (text.size() - i >= 4 && upper(text[i]) == 'N' && upper(text[i + 1]) == 'U' && upper(text[i + 2]) == 'L' &&
        upper(text[i + 3]) == 'L') {
      i += 4;
      continue;
    }
    const char c = text[i++];
    destination[written++] = name.asFamilyName && c == '-' ? ' ' : c;
  }
  if (name.asFamilyName)
    while (written > 0 && inClass(destination[written - 1], kClassSpace)) --written;
  return written;
}

void storeNameWithoutNull(FieldRecord& record, std::int32_t slot, std::string_view text, bool asFamilyName) {
  const NameWithoutNull name{.source = text, .asFamilyName = asFamilyName};
  setSlotProduced(record, slot, &name, produceNameWithoutNull);
}

// The steps of the Guatemala chain read dates as day/month/year and end with "|".
StepResult guatemalaDate(FieldRecord& record, TextSpan& rest, std::int32_t slot, DecodeStep next) {
  const std::string_view text = rest.view();
  NumberedDate date;
  const std::size_t length = readNumberedDate(text, 1, date);
  if (length == 0 || length >= text.size() || text[length] != '|') return {};
  storeDate(record, slot, date.year, date.second, date.first);
  consume(rest, length + 1);
  return {.next = next};
}

// True when text starts with the shape of pattern: "9" stands for any digit, every other character for itself.
bool startsWithShape(std::string_view text, std::string_view pattern) {
  if (text.size() < pattern.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i)
    if (pattern[i] == '9' ? !inClass(text[i], kClassDigit) : text[i] != pattern[i]) return false;
  return true;
}

StepResult notThisCard() { return {.status = kStatusNoDecoder}; }

// Splits a Mexican name into its parts. Surnames come first unless a particle shows where a compound surname starts.
void storeMexicoNameParts(FieldRecord& record, std::string_view name) {
  constexpr std::int32_t kMaxWords = 16;
  TextSpan words[kMaxWords];
  const std::int32_t count = splitTokens(spanOf(name), words, kMaxWords, " ", 1);
  if (count < 2) return;
  const auto offset = [&](std::int32_t word) { return static_cast<std::size_t>(words[word].data - name.data()); };
  const auto from = [&](std::int32_t word) { return name.substr(offset(word)); };
  const auto before = [&](std::int32_t word) {
    TextSpan text = spanOf(name.substr(0, offset(word)));
    trimChars(&text, kWhiteSpace);
    return text;
  };
  if (count == 2) {
    setSlot(record, SLOT_FIRST_NAME, words[1], nullptr, nullptr, 0);
    setSlot(record, SLOT_FAMILY_NAME, before(1), nullptr, nullptr, 0);
    return;
  }
  for (std::int32_t word = 1; word < count - 1; ++word) {
    if (tableRow(SurnameParticles, std::size(SurnameParticles), words[word].view()) == 0) continue;
    if (word == 1) {
      storeText(record, SLOT_FAMILY_NAME, name);
    } else if (word == 2) {
      setSlot(record, SLOT_FIRST_NAME, words[0], nullptr, nullptr, 0);
      storeText(record, SLOT_FAMILY_NAME, from(1));
    } else {
      setSlot(record, SLOT_FIRST_NAME, words[0], nullptr, nullptr, 0);
      setSlot(record, SLOT_MIDDLE_NAME, words[1], nullptr, nullptr, 0);
      storeText(record, SLOT_FAMILY_NAME, from(2));
    }
    return;
  }
  setSlot(record, SLOT_MIDDLE_NAME, words[count - 1], nullptr, nullptr, 0);
  setSlot(record, SLOT_FIRST_NAME, words[count - 2], nullptr, nullptr, 0);
  setSlot(record, SLOT_FAMILY_NAME, before(count - 2), nullptr, nullptr, 0);
}

}  // namespace

std::size_t findMarker(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.empty() || from >= haystack.size() || haystack.size() - from < needle.size())
    return std::string_view::npos;
  std::size_t pivot = needle.size() - 1;
  while (pivot > 0 && needle[pivot] == ' ') --pivot;
  const std::size_t last = haystack.size() - needle.size();  // the last place the needle can start
  for (std::size_t at = from; at <= last;) {
    const void* hit = std::memchr(haystack.data() + at + pivot, needle[pivot], last - at + 1);
    if (hit == nullptr) return std::string_view::npos;
    at = static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data()) - pivot;
    if (haystack.substr(at, needle.size()) == needle) return at;
    ++at;
  }
  return std::string_view::npos;
}

bool holdsBarFields(const char* text, std::int32_t length, std::int32_t count) {
  if (count < 1) return true;
  if (text == nullptr || length < 1) return false;
  const char* end = text + length;
  const char* at = text;
  for (std::int32_t bars = 1; bars < count; ++bars) {
    const void* bar = std::memchr(at, '|', static_cast<std::size_t>(end - at));
    if (bar == nullptr) return false;
    at = static_cast<const char*>(bar) + 1;
  }
  return at < end;
}

Status runSteps(DecodeStep first, FieldRecord& record, const char* text, std::int32_t length) {
  if (first == nullptr) return kStatusBadArgument;
  TextSpan rest = text != nullptr && length > 0 ? TextSpan{text, length} : TextSpan{};
  StepResult result{.next = first};
  while (result.next != nullptr) {
    result = result.next(record, rest);
    if (result.status != kStatusOk) break;
  }
  return result.status;
}

// ---- Guatemala ----

StepResult guatemalaPrefix(FieldRecord&, TextSpan& rest) {
  const std::string_view text = rest.view();
  if (text.size() < 2 || text[0] == '|') return notThisCard();
  std::size_t at = 0;
  while (at < text.size() && inClass(text[at], kClassUpper | kClassDigit)) ++at;
  if (text.size() - at < 3 || text[at] != '|' || !inClass(text[at + 1], kClassUpper) || text[at + 2] != '|') {
    return notThisCard();
  }
  consume(rest, at + 3);
  return {.next = guatemalaFirstName};
}

StepResult guatemalaFirstName(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  for (std::size_t bar = 1; bar < text.size(); ++bar) {
    if (text[bar] != '|' || isGuatemalaNameChar(static_cast<signed char>(text[bar - 1])) == 0) continue;
    const std::size_t start = runStartBefore(text, bar, isGuatemalaNameChar);
    storeText(record, SLOT_FIRST_NAME, text.substr(start, bar - start));
    consume(rest, bar + 1);
    return {.next = guatemalaMiddleName};
  }
  return notThisCard();
}

StepResult guatemalaMiddleName(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  if (text.empty()) return {};
  const std::size_t bar = text.find('|');
  if (bar == std::string_view::npos) return {};
  const std::size_t start = runStartBefore(text, bar, isGuatemalaNameChar);
  if (start < bar) storeNameWithoutNull(record, SLOT_MIDDLE_NAME, text.substr(start, bar - start), false);
  consume(rest, bar + 1);
  return {.next = guatemalaFamilyNames};
}

StepResult guatemalaFamilyNames(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  std::size_t at = 0;
  while (at < text.size() && (isGuatemalaNameChar(static_cast<signed char>(text[at])) != 0 || text[at] == '|')) ++at;
  // The family name step wants the birth date in its two-digit form even though the date step reads one digit.
  if (at == 0 || !startsWithShape(tail(text, at), "99/99/9999|")) return {};
  TextSpan family = spanOf(text.substr(0, at));
  trimChars(&family, "| ");
  setSlot(record, SLOT_FAMILY_NAME, family, "|", nullptr, ' ');
  consume(rest, at);
  return {.next = guatemalaBirthDate};
}

StepResult guatemalaBirthDate(FieldRecord& record, TextSpan& rest) {
  return guatemalaDate(record, rest, SLOT_BIRTH_DATE, guatemalaExpiryDate);
}

StepResult guatemalaExpiryDate(FieldRecord& record, TextSpan& rest) {
  return guatemalaDate(record, rest, SLOT_EXPIRY_DATE, guatemalaLicenceNumber);
}

StepResult guatemalaLicenceNumber(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  const std::string_view number = text.substr(0, text.find('|'));
  if (number.empty()) return {};
  for (char c : number)
    if (!inClass(c, kClassDigit)) return {};
  storeText(record, SLOT_LICENCE_NUMBER, number);
  consume(rest, number.size() + 1);
  return {.next = guatemalaCountry};
}

StepResult guatemalaCountry(FieldRecord& record, TextSpan&) {
  setSlotText(record, SLOT_COUNTRY, "Guatemala");
  setSlotText(record, SLOT_COUNTRY_CODE, "GTM");
  setSlotText(record, SLOT_DOCUMENT_TYPE, "DL");
  return {};
}

// ---- Puerto Rico ----

StepResult puertoRicoLicenceNumber(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  std::size_t digits = 0;
  while (digits < text.size() && inClass(text[digits], kClassDigit)) ++digits;
  if (digits == 0 || digits == text.size() || text[digits] != '-') return notThisCard();
  storeText(record, SLOT_LICENCE_NUMBER, text.substr(0, digits));
  consume(rest, digits + 1);
  return {.next = puertoRicoExpiryDate};
}

StepResult puertoRicoExpiryDate(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  std::int32_t day = 0;
  std::int32_t year = 0;
  const std::size_t dayDigits = readDigits(text, 0, 1, 2, day);
  if (dayDigits == 0 || text.size() - dayDigits < 8) return {};
  const std::string_view letters = text.substr(dayDigits, 3);
  for (char c : letters)
    if (!inClass(c, kClassLetter)) return {};
  if (readDigits(text, dayDigits + 3, 4, 4, year) == 0 || text[dayDigits + 7] != '-') return {};
  const std::int32_t month = tableRow(kPuertoRicoMonths, std::size(kPuertoRicoMonths), letters);
  if (month == 0) return {};
  storeDate(record, SLOT_EXPIRY_DATE, year, month, day);
  consume(rest, dayDigits + 8);
  return {.next = puertoRicoFirstName};
}

StepResult puertoRicoFirstName(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  if (text.empty() || text[0] == '-') return {};
  std::size_t end = 0;
  while (end < text.size() && isPuertoRicoFirstNameChar(static_cast<signed char>(text[end])) != 0) ++end;
  if (end == text.size() || text[end] != '-') return {};
  storeText(record, SLOT_FIRST_NAME, text.substr(0, end));
  consume(rest, end + 1);
  return {.next = puertoRicoMiddleName};
}

StepResult puertoRicoMiddleName(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  std::size_t end = 0;
  while (end < text.size() && isPuertoRicoMiddleNameChar(static_cast<signed char>(text[end])) != 0) ++end;
  if (end == text.size() || text[end] != '-') return {};
  if (end > 0) storeNameWithoutNull(record, SLOT_MIDDLE_NAME, text.substr(0, end), false);
  consume(rest, end + 1);
  return {.next = puertoRicoFamilyNames};
}

StepResult puertoRicoFamilyNames(FieldRecord& record, TextSpan& rest) {
  constexpr std::int32_t kMinRun = 6;
  TextSpan run;
  // A run shorter than the shortest surname and its marker can only be one that ends the text: nothing to read.
  if (leadingRunIf(rest, isPuertoRicoFamilyNameChar, kMinRun, kMaxLength, &run, nullptr) == 0 || run.length < kMinRun) {
    return {};
  }
  const std::string_view names = run.view();
  for (std::size_t at = names.size() - 5; at >= 1; --at) {
    if (names[at] != '-' || names[at + 4] != '-') continue;
    if (tableRow(kPuertoRicoFamilyNameMarkers, std::size(kPuertoRicoFamilyNameMarkers), names.substr(at + 1, 3)) == 0) {
      continue;
    }
    storeNameWithoutNull(record, SLOT_FAMILY_NAME, names.substr(0, at), true);
    consume(rest, at + 5);
    return {.next = puertoRicoSkippedFields};
  }
  return {};
}

StepResult puertoRicoSkippedFields(FieldRecord&, TextSpan& rest) {
  const std::string_view text = rest.view();
  const std::size_t first = text.find('-');
  if (first == std::string_view::npos) return {};
  const std::size_t second = text.find('-', first + 1);
  if (second == std::string_view::npos || second + 1 == text.size()) return {};
  consume(rest, second + 1);
  return {.next = puertoRicoSex};
}

StepResult puertoRicoSex(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  if (text.size() < 2 || text[1] != '-' || (text[0] != 'M' && text[0] != 'F')) return {};
  storeText(record, SLOT_SEX, text.substr(0, 1));
  consume(rest, 2);
  return {.next = puertoRicoCountry};
}

StepResult puertoRicoCountry(FieldRecord& record, TextSpan&) {
  setSlotText(record, SLOT_COUNTRY, "Puerto Rico");
  setSlotText(record, SLOT_COUNTRY_CODE, "PRI");
  return {};
}

// ---- Mexico ----

StepResult parseNameAndBirthDate(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  if (text.empty()) return notThisCard();
  struct Accepted {
    std::string_view name;
    NumberedDate date;
    std::size_t end = 0;  // just behind the date
  };
  Accepted accepted;
  bool found = false;
  std::size_t from = 0;
  for (std::size_t marker = findMarker(text, kMexicoBirthDateMarker); marker != std::string_view::npos;
       marker = findMarker(text, kMexicoBirthDateMarker, from)) {
    const std::size_t dateAt = marker + kMexicoBirthDateMarker.size();
    from = dateAt - 1;
    std::size_t start = runStartBefore(text, marker, isAlnumUnderscoreOrSpace);
    while (start < marker && !inClass(text[start], kClassUpper)) ++start;
    NumberedDate date;
    const std::size_t dateLength = readNumberedDate(tail(text, dateAt), 1, date);
    if (marker - start < 2 || dateLength == 0) continue;
    accepted = {.name = text.substr(start, marker - start), .date = date, .end = dateAt + dateLength};
    found = true;
    // Some cards put the office on a second line; a later occurrence on it is the one to keep, if there is one.
    const std::size_t lineFeed = text.find('\n', dateAt);
    if (lineFeed == std::string_view::npos) break;
    from = lineFeed;
  }
  if (!found) return notThisCard();

  // Cards write the date in either order; a first number that cannot be a month is the day.
  const NumberedDate& date = accepted.date;
  if (date.first > 12 && date.second >= 1 && date.second <= 12) {
    storeDate(record, SLOT_BIRTH_DATE, date.year, date.second, date.first);
  } else {
    storeDate(record, SLOT_BIRTH_DATE, date.year, date.first, date.second);
  }
  TextSpan name = spanOf(accepted.name);
  trimRightChars(&name, kWhiteSpace);
  setSlot(record, SLOT_FULL_NAME, name, nullptr, nullptr, 0);
  storeMexicoNameParts(record, name.view());
  consume(rest, accepted.end);
  return {.next = parseOfficeAndDocumentNumber};
}

StepResult parseOfficeAndDocumentNumber(FieldRecord& record, TextSpan& rest) {
  const std::string_view text = rest.view();
  const std::size_t marker = findMarker(text, kMexicoDocumentMarker);
  if (marker == std::string_view::npos) return {.next = setMexicoConstants};
  const std::size_t start = runStartBefore(text, marker, isAlnumUnderscoreOrSpace);
  const std::string_view run = text.substr(start, marker - start);
  const std::size_t office = findMarker(run, kMexicoOfficeMarker);
  if (office == std::string_view::npos) return {.next = setMexicoConstants};
  TextSpan officeName = spanOf(tail(run, office + kMexicoOfficeMarker.size()));
  trimLeftChars(&officeName, kWhiteSpace);
  const std::size_t numberAt = marker + kMexicoDocumentMarker.size();
  std::size_t digits = 0;
  while (numberAt + digits < text.size() && inClass(text[numberAt + digits], kClassDigit)) ++digits;
  if (officeName.filled() && digits > 0) {
    setSlot(record, SLOT_CITY, officeName, nullptr, nullptr, 0);
    storeText(record, SLOT_LICENCE_NUMBER, text.substr(numberAt, digits));
  }
  return {.next = setMexicoConstants};
}

StepResult setMexicoConstants(FieldRecord& record, TextSpan&) {
  setSlotText(record, SLOT_COUNTRY, "Mexico");
  setSlotText(record, SLOT_DOCUMENT_TYPE, "ID");
  return {};
}

// ---- South Africa ----

int parseDayMonthNameYear(FieldRecord& record, std::int32_t slot, TextSpan text) {
  const std::string_view date = text.view();
  std::int32_t day = 0;
  std::size_t at = readDigits(date, 0, 1, 2, day);
  if (at == 0 || at == date.size()) return 0;
  while (at < date.size() && inClass(date[at], kClassSpace)) ++at;
  if (date.size() - at < 4) return 0;  // three letters and more text behind them
  const std::string_view letters = date.substr(at, 3);
  for (char c : letters)
    if (!inClass(c, kClassLetter)) return 0;
  at += 3;
  while (at < date.size() && inClass(date[at], kClassSpace)) ++at;
  std::int32_t year = 0;
  if (date.size() - at != 4 || readDigits(date, at, 4, 4, year) == 0) return 0;
  const std::int32_t month = tableRow(MonthAbbreviations, std::size(MonthAbbreviations), letters);
  if (month == 0) return 0;
  storeDate(record, slot, year, month, day);
  return 1;
}

// ---- Entry points ----

Status decodeGuatemalaId(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  return runSteps(guatemalaPrefix, record, text, length);
}

Status decodePuertoRicoId(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  return runSteps(puertoRicoLicenceNumber, record, text, length);
}

Status decodeMexicoId(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  return runSteps(parseNameAndBirthDate, record, text, length);
}

namespace {
constexpr std::int32_t kPanamaFields = 12;
constexpr std::int32_t kSouthAfricaFields = 9;
}  // namespace

bool screenPanamaId(const char* text, std::int32_t length) { return holdsBarFields(text, length, kPanamaFields); }
bool screenSouthAfricaId(const char* text, std::int32_t length) {
  return holdsBarFields(text, length, kSouthAfricaFields);
}

Status decodePanamaId(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  if (!screenPanamaId(text, length)) return kStatusNoDecoder;
  TextSpan fields[kPanamaFields];
  const TextSpan whole = text != nullptr && length > 0 ? TextSpan{text, length} : TextSpan{};
  if (splitTokens(whole, fields, kPanamaFields, "|", 0) < kPanamaFields) return kStatusNoDecoder;

  if (fields[0].filled()) setSlot(record, SLOT_LICENCE_NUMBER, fields[0], nullptr, nullptr, 0);
  // Given names: the first before "_", every further one after it.
  const std::string_view givenNames = fields[2].view();
  const std::size_t split = givenNames.find('_');
  const std::string_view firstName = givenNames.substr(0, split);
  const std::string_view middleNames =
      split == std::string_view::npos ? std::string_view() : tail(givenNames, split + 1);
  if (!firstName.empty()) storeText(record, SLOT_FIRST_NAME, firstName);
  if (!middleNames.empty()) setSlot(record, SLOT_MIDDLE_NAME, spanOf(middleNames), "_", nullptr, ' ');
  if (fields[3].filled()) setSlot(record, SLOT_FAMILY_NAME, fields[3], "_", nullptr, ' ');

  constexpr std::int32_t kDateSlots[] = {SLOT_BIRTH_DATE, SLOT_EXPIRY_DATE, SLOT_ISSUE_DATE};
  std::int32_t datesRead = 0;
  for (std::int32_t slot : kDateSlots) {
    const std::string_view field = fields[8 + datesRead].view();
    NumberedDate date;
    if (readNumberedDate(field, 1, date) != field.size() || field.empty()) break;
    storeDate(record, slot, date.year, date.second, date.first);
    ++datesRead;
  }

  if (fields[11].filled()) setSlot(record, SLOT_CLASS, fields[11], nullptr, nullptr, 0);
  setSlotText(record, SLOT_COUNTRY, "Republic of Panama");
  setSlotText(record, SLOT_COUNTRY_CODE, "PAN");
  setSlotText(record, SLOT_DOCUMENT_TYPE, "DL");
  return datesRead == std::ssize(kDateSlots) && !middleNames.empty() ? kStatusOk : kStatusNoDecoder;
}

Status decodeSouthAfricaId(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  if (!screenSouthAfricaId(text, length)) return kStatusNoDecoder;
  TextSpan fields[kSouthAfricaFields];
  const TextSpan whole = text != nullptr && length > 0 ? TextSpan{text, length} : TextSpan{};
  if (splitTokens(whole, fields, kSouthAfricaFields, "|", 0) < kSouthAfricaFields) return kStatusNoDecoder;

  TextSpan family = fields[0];
  trimChars(&family, " ");
  if (family.filled()) setSlot(record, SLOT_FAMILY_NAME, family, nullptr, nullptr, 0);
  // Every given name after the first is a middle name: a doubled space or a third name must not lose one.
  TextSpan firstName;
  TextSpan middleNames;
  nextToken(fields[1], &firstName, &middleNames, " ", false);
  if (firstName.filled()) setSlot(record, SLOT_FIRST_NAME, firstName, nullptr, nullptr, 0);
  trimChars(&middleNames, " ");
  if (middleNames.filled()) setSlot(record, SLOT_MIDDLE_NAME, middleNames, nullptr, " ", 0);
  if (fields[2].filled()) setSlot(record, SLOT_SEX, fields[2], nullptr, nullptr, 0);
  if (fields[4].filled()) setSlot(record, SLOT_LICENCE_NUMBER, fields[4], nullptr, nullptr, 0);
  const bool datesRead = parseDayMonthNameYear(record, SLOT_BIRTH_DATE, fields[5]) == 1 &&
                         parseDayMonthNameYear(record, SLOT_ISSUE_DATE, fields[8]) == 1;
  setSlotText(record, SLOT_COUNTRY, "Republic of South Africa");
  setSlotText(record, SLOT_COUNTRY_CODE, "ZAF");
  setSlotText(record, SLOT_DOCUMENT_TYPE, "ID");

  // A card with a single given name is not this layout's: its second word must exist, even if empty.
  const std::string_view givenNames = fields[1].view();
  const std::size_t space = givenNames.find(' ');
  const bool twoWords = space != std::string_view::npos && space + 1 < givenNames.size();
  return datesRead && twoWords ? kStatusOk : kStatusNoDecoder;
}

}  // namespace quorix
