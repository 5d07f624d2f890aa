#include <gtest/gtest.h>
#include <quorix/checks.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;

constexpr DateTime day(std::int32_t year, std::int32_t month, std::int32_t d) {
  return {.year = year, .month = month, .day = d, .hour = 23, .minute = 59, .second = 59};
}

TEST(IsExpired, ValidThroughTheExpiryDay) {
  struct Case {
    std::string_view expiry;
    DateTime on;
    bool expired;
  };
  const Case kCases[] = {
      {"20300415", day(2030, 4, 15), false},  {"20300415", day(2030, 4, 16), true},
      {"99991231", day(9999, 12, 31), false}, {"", day(2100, 1, 1), false},
      {"NONE", day(2100, 1, 1), false},       {"20300231", day(2030, 3, 1), true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.expiry);
    RecordBuilder builder;
    if (!c.expiry.empty()) builder.set(SLOT_EXPIRY_DATE, c.expiry);
    EXPECT_EQ(isExpired(builder.build(), c.on), c.expired);
  }
}

TEST(AgeOn, FullYearsWithLeapDayBirthdaysOnTheFirstOfMarch) {
  struct Case {
    std::string_view birth;
    DateTime on;
    std::int32_t age;  // -1: no age
  };
  const Case kCases[] = {
      {"19850304", day(2024, 3, 3), 38},  {"19850304", day(2024, 3, 4), 39},  {"03041985", day(2024, 3, 4), 39},
      {"20000229", day(2021, 2, 28), 20}, {"20000229", day(2021, 3, 1), 21},  {"20000229", day(2024, 2, 29), 24},
      {"20000229", day(2024, 2, 28), 23}, {"20240615", day(2024, 6, 15), 0},  {"20240615", day(2024, 6, 14), -1},
      {"", day(2024, 6, 15), -1},         {"19851304x", day(2024, 1, 1), -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.birth);
    RecordBuilder builder;
    if (!c.birth.empty()) builder.set(SLOT_BIRTH_DATE, c.birth);
    std::int32_t age = -7;
    EXPECT_EQ(ageOn(builder.build(), c.on, &age), c.age < 0 ? kStatusNoValue : kStatusOk);
    EXPECT_EQ(age, c.age < 0 ? -7 : c.age);
  }
  EXPECT_EQ(ageOn(RecordBuilder().set(SLOT_BIRTH_DATE, "19850304").build(), day(2024, 1, 1), nullptr),
            kStatusBadArgument);
}

TEST(AgeOn, ReadsTheSecondBirthDatePosition) {
  std::int32_t age = 0;
  ASSERT_EQ(ageOn(RecordBuilder().set(SLOT_BIRTH_DATE_ALT, "19900101").build(), day(2024, 6, 15), &age), kStatusOk);
  EXPECT_EQ(age, 34);
}

// Cards print the under-age dates themselves; where one differs from the birth date's answer, the card's wins.
TEST(IsAtLeast, CardDatesAnswerTheAgesTheyAreFor) {
  struct Case {
    std::string_view birth, under18, under19, under21;
    std::int32_t years;
    DateTime on;
    bool answer;
  };
  const Case kCases[] = {
      // Birth date alone.
      {"20030615", "", "", "", 21, day(2024, 6, 15), true},
      {"20030615", "", "", "", 21, day(2024, 6, 14), false},
      // The under-21 date is a day later than the birth date gives: it decides 21, the birth date decides 20.
      {"20030615", "", "", "20240616", 21, day(2024, 6, 15), false},
      {"20030615", "", "", "20240616", 21, day(2024, 6, 16), true},
      {"20030615", "", "", "20240616", 20, day(2024, 6, 15), true},
      {"20060101", "20240301", "", "", 18, day(2024, 2, 1), false},
      {"20060101", "20240301", "", "", 18, day(2024, 3, 1), true},
      {"20050101", "", "06012024", "", 19, day(2024, 5, 31), false},
      {"20050101", "", "06012024", "", 19, day(2024, 6, 1), true},
      // A card date without a birth date is enough; an unreadable one falls back to the birth date.
      {"", "", "", "20240616", 21, day(2024, 6, 16), true},
      {"", "", "", "20240616", 18, day(2030, 1, 1), false},
      {"20030615", "", "", "UNKNOWN", 21, day(2024, 6, 15), true},
      // Leap-day births reach the age on 1 March.
      {"20040229", "", "", "", 18, day(2022, 2, 28), false},
      {"20040229", "", "", "", 18, day(2022, 3, 1), true},
      // Nothing known.
      {"", "", "", "", 18, day(2024, 6, 15), false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.years) + " " + std::string(c.birth) + " " + std::string(c.under21));
    RecordBuilder builder;
    if (!c.birth.empty()) builder.set(SLOT_BIRTH_DATE, c.birth);
    if (!c.under18.empty()) builder.set(SLOT_UNDER_18_UNTIL, c.under18);
    if (!c.under19.empty()) builder.set(SLOT_UNDER_19_UNTIL, c.under19);
    if (!c.under21.empty()) builder.set(SLOT_UNDER_21_UNTIL, c.under21);
    EXPECT_EQ(isAtLeast(builder.build(), c.years, c.on), c.answer);
  }
}

}  // namespace
}  // namespace quorix
