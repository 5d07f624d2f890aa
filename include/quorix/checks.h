// The questions most callers ask of a parsed card: is it still valid, how old is the holder, are they old enough.
// Every binding and the command-line tool answer them here, so they all agree.
#pragma once

#include <quorix/field_record.h>
#include <quorix/status.h>

#include <cstdint>

namespace quorix {

// A day as the number YYYYMMDD, which orders as the days do; 0 for no date. The day is not checked against the
// month: a document's 31 February sorts after the 28th, as its text would.
using DayKey = std::int32_t;

// The dates the checks read, as the date fields and the extras read them; 0 for each the record lacks.
struct CardDates {
  DayKey expiry = 0;
  DayKey birth = 0;
  DayKey under18Until = 0;
  DayKey under19Until = 0;
  DayKey under21Until = 0;
};

[[nodiscard]] CardDates cardDates(const FieldRecord& record);
[[nodiscard]] constexpr DayKey dayKey(const DateTime& time) { return (time.year * 100 + time.month) * 100 + time.day; }

// A card is valid through its expiry day and expired from the day after; false without an expiry date.
// "99991231" never expires.
[[nodiscard]] bool isExpired(const CardDates& dates, DayKey on);

// Full years the holder has lived on that day into *years; 0 on success, -26 (*years untouched) without a birth
// date or for a day before it, -21 for a null years. Someone born on 29 February turns a year older on 1 March in
// years without that day.
[[nodiscard]] Status ageOn(const CardDates& dates, DayKey on, std::int32_t* years);

// Whether the holder is at least years old on that day. For 18, 19 and 21 the card's own "under ... until" date
// answers when it is printed and readable (the holder reaches the age on that date), since issuers print it for
// exactly this check; otherwise the birth date answers. False when neither is known.
[[nodiscard]] bool isAtLeast(const CardDates& dates, std::int32_t years, DayKey on);

// The same checks on a parsed record, for the day of on (its time is not read).
[[nodiscard]] bool isExpired(const FieldRecord& record, const DateTime& on);
[[nodiscard]] Status ageOn(const FieldRecord& record, const DateTime& on, std::int32_t* years);
[[nodiscard]] bool isAtLeast(const FieldRecord& record, std::int32_t years, const DateTime& on);

}  // namespace quorix
