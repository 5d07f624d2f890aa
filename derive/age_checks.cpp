// Expiry and age checks over the record's dates, read as the date fields read them.
#include <quorix/checks.h>

#include <initializer_list>

#include "derive/date_fields.h"

namespace quorix {
namespace {

// The first of the slots that holds a date the date fields can read, or 0.
DayKey readDate(const FieldRecord& record, std::initializer_list<std::int32_t> slots) {
  TextSpan text;
  DocumentDate date;
  if (firstFilledSlot(record, slots.begin(), static_cast<std::int32_t>(slots.size()), &text) != kStatusOk ||
      parseDocumentDate(text, &date) != 0) {
    return 0;
  }
  return (date.year * 100 + date.month) * 100 + date.day;
}

DayKey underUntil(const CardDates& dates, std::int32_t years) {
  switch (years) {
    case 18:
      return dates.under18Until;
    case 19:
      return dates.under19Until;
    case 21:
      return dates.under21Until;
    default:
      return 0;
  }
}

}  // namespace

CardDates cardDates(const FieldRecord& record) {
  return {.expiry = readDate(record, {SLOT_EXPIRY_DATE}),
          .birth = readDate(record, {SLOT_BIRTH_DATE, SLOT_BIRTH_DATE_ALT}),
          .under18Until = readDate(record, {SLOT_UNDER_18_UNTIL}),
          .under19Until = readDate(record, {SLOT_UNDER_19_UNTIL}),
          .under21Until = readDate(record, {SLOT_UNDER_21_UNTIL})};
}

bool isExpired(const CardDates& dates, DayKey on) { return dates.expiry != 0 && on > dates.expiry; }

Status ageOn(const CardDates& dates, DayKey on, std::int32_t* years) {
  if (years == nullptr) return kStatusBadArgument;
  if (dates.birth == 0 || on < dates.birth) return kStatusNoValue;
  // Month and day compared as the number MMDD, so a 29 February birthday is reached on 1 March in other years.
  const bool birthdayReached = on % 10000 >= dates.birth % 10000;
  *years = on / 10000 - dates.birth / 10000 - (birthdayReached ? 0 : 1);
  return kStatusOk;
}

bool isAtLeast(const CardDates& dates, std::int32_t years, DayKey on) {
  if (const DayKey until = underUntil(dates, years); until != 0) return on >= until;
  std::int32_t age = 0;
  return ageOn(dates, on, &age) == kStatusOk && age >= years;
}

bool isExpired(const FieldRecord& record, const DateTime& on) { return isExpired(cardDates(record), dayKey(on)); }

Status ageOn(const FieldRecord& record, const DateTime& on, std::int32_t* years) {
  return ageOn(cardDates(record), dayKey(on), years);
}

bool isAtLeast(const FieldRecord& record, std::int32_t years, const DateTime& on) {
  return isAtLeast(cardDates(record), years, dayKey(on));
}

}  // namespace quorix
