// The questions most callers ask of a parsed card: is it still valid, how old is the holder, are they old enough.
// Every binding and the command-line tool answer them here, so they all agree.
#pragma once

#include <quorix/field_record.h>
#include <quorix/status.h>

#include <cstdint>

namespace quorix {

// A card is valid through its expiry day and expired from the day after. False when the record has no expiry date
// the date fields can read; "99991231" never expires. Only the year, month and day of on count.
[[nodiscard]] bool isExpired(const FieldRecord& record, const DateTime& on);

// Full years the holder has lived on that day into *years; 0 on success, -26 (*years untouched) without a readable
// birth date or for a day before it, -21 for a null years. Someone born on 29 February turns a year older on
// 1 March in years without that day.
[[nodiscard]] Status ageOn(const FieldRecord& record, const DateTime& on, std::int32_t* years);

// Whether the holder is at least years old on that day. For 18, 19 and 21 the card's own "under ... until" date
// answers when it is printed and readable (the holder reaches the age on that date), since issuers print it for
// exactly this check; otherwise the birth date answers. False when neither is known.
[[nodiscard]] bool isAtLeast(const FieldRecord& record, std::int32_t years, const DateTime& on);

}  // namespace quorix
