// Expiry and age checks over the record's dates, read as the date fields read them.
#include <quorix/checks.h>

#include <initializer_list>

#include "derive/date_fields.h"

namespace quorix {
namespace {

// The first of the slots that holds a date the date fields can read.
bool readDate(const FieldRecord& record, std::initializer_list<std::int32_t> slots, DocumentDate* date) {
  TextSpan text;
  if (firstFilledSlot(record, slots.begin(), static_cast<std::int32_t>(slots.size()), &text) != kStatusOk) return false;
  return parseDocumentDate(text, date) == 0;
}

// Compares as year, month, day: a document's 31 February sorts after the 28th, as its text would.
std::int64_t dayKey(std::int32_t year, std::int32_t month, std::int32_t day) {
  return (static_cast<std::int64_t>(year) * 100 + month) * 100 + day;
}

std::int64_t dayKey(const DocumentDate& date) { return dayKey(date.year, date.month, date.day); }
std::int64_t dayKey(const DateTime& time) { return dayKey(time.year, time.month, time.day); }

// The card's own date for an age it prints one for, or -1.
std::int32_t underUntilSlot(std::int32_t years) {
  switch (years) {
    case 18:
      return SLOT_UNDER_18_UNTIL;
    case 19:
      return SLOT_UNDER_19_UNTIL;
    case 21:
      return SLOT_UNDER_21_UNTIL;
    default:
      return -1;
  }
}

}  // namespace

bool isExpired(const FieldRecord& record, const DateTime& on) {
  DocumentDate expiry;
  return readDate(record, {SLOT_EXPIRY_DATE}, &expiry) && dayKey(on) > dayKey(expiry);
}

Status ageOn(const FieldRecord& record, const DateTime& on, std::int32_t* years) {
  if (years == nullptr) return kStatusBadArgument;
  DocumentDate birth;
  if (!readDate(record, {SLOT_BIRTH_DATE, SLOT_BIRTH_DATE_ALT}, &birth) || dayKey(on) < dayKey(birth)) {
    return kStatusNoValue;
  }
  // Month and day compared as numbers, so a 29 February birthday is reached on 1 March in other years.
  const bool birthdayReached = dayKey(0, on.month, on.day) >= dayKey(0, birth.month, birth.day);
  *years = on.year - birth.year - (birthdayReached ? 0 : 1);
  return kStatusOk;
}

bool isAtLeast(const FieldRecord& record, std::int32_t years, const DateTime& on) {
  if (const std::int32_t slot = underUntilSlot(years); slot >= 0) {
    DocumentDate until;
    if (readDate(record, {slot}, &until)) return dayKey(on) >= dayKey(until);
  }
  std::int32_t age = 0;
  return ageOn(record, on, &age) == kStatusOk && age >= years;
}

}  // namespace quorix
