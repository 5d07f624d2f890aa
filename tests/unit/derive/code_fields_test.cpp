#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::kBadArgument;
using testing::kNoValue;
using testing::kTooSmall;
using testing::RecordBuilder;

struct SlotValue {
  std::int32_t slot;
  std::string_view text;
};

RecordBuilder withSlots(std::initializer_list<SlotValue> values) {
  RecordBuilder builder;
  for (const auto& v : values) builder.set(v.slot, v.text);
  return builder;
}

TEST(CodeDerivations, SlotPriorityAndCleaning) {
  struct Case {
    FieldDerivation derive;
    std::initializer_list<SlotValue> slots;
    std::string_view expected;
  };
  // clang-format off
  const Case kCases[] = {
      {deriveClassificationCode, {{67, "D"}, {52, "C"}, {7, "B"}}, "D"},
      {deriveClassificationCode, {{52, "C"}, {7, "B"}}, "C"},
      {deriveClassificationCode, {{7, " B\t"}}, "B"},
      {deriveRestrictionCode, {{8, "B  C\t\tD"}}, "B C D"},
      {deriveVehicleClassCodeDescription, {{70, "CLASS\x01" "C  CARS~"}}, "CLASS C  CARS"},
      {deriveRestrictionCodeDescription, {{72, " CORRECTIVE LENSES "}}, "CORRECTIVE LENSES"},
      {deriveComplianceType, {}, kNoValue},
  };
  // clang-format on
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(deriveText(kCases[i].derive, withSlots(kCases[i].slots).build()), kCases[i].expected);
  }
}

TEST(FlagDerivations, YesAndNoWordsOthersGiveNothing) {
  struct Case {
    std::string_view text;
    Status status;
    std::int32_t value;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"1", kStatusOk, 1}, {"Y", kStatusOk, 1}, {"YES", kStatusOk, 1}, {"DONOR", kStatusOk, 1}, {"donor", kStatusOk, 1},
      {" 1\r", kStatusOk, 1}, {"0", kStatusOk, 0}, {"N", kStatusOk, 0}, {"NO", kStatusOk, 0}, {"no", kStatusOk, 0},
      {"11", kStatusNoValue, 42}, {"U", kStatusNoValue, 42}, {"YESS", kStatusNoValue, 42}, {"NONE", kStatusNoValue, 42},
      {"", kStatusNoValue, 42}};
  // clang-format on
  constexpr std::pair<FlagDerivation, std::int32_t> kFlags[] = {{deriveLimitedDurationFlag, SLOT_LIMITED_DURATION},
                                                                {deriveOrganDonorFlag, SLOT_ORGAN_DONOR},
                                                                {deriveVeteranFlag, SLOT_VETERAN}};
  for (const auto& [derive, slot] : kFlags) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::to_string(slot) + ": '" + std::string(c.text) + "'");
      std::int32_t value = 42;  // an empty slot must leave the caller's value alone
      EXPECT_EQ(derive(RecordBuilder().set(slot, c.text).build(), &value), c.status);
      EXPECT_EQ(value, c.value);
    }
    std::int32_t value = 42;
    EXPECT_EQ(derive(RecordBuilder().set(SLOT_SEX, "1").build(), &value), kStatusNoValue);
    EXPECT_EQ(derive(RecordBuilder().set(slot, "1").build(), nullptr), kStatusBadArgument);
    EXPECT_EQ(derive(FieldRecord{}, &value), kStatusBadArgument);
  }
}

// Every derivation of these fields on one full record, into tiny buffers: fixed texts refuse with -18, copies are
// cut, dates and weights refuse whole, and nothing is written at or beyond outSize.
TEST(DateAndCodeFields, CutToFitTinyBuffers) {
  // clang-format off
  const auto built = withSlots({
      {SLOT_EXPIRY_DATE, "20300115"}, {SLOT_HAZMAT_EXPIRY_DATE, "20300115"}, {SLOT_BIRTH_DATE, "19800704"},
      {SLOT_CARD_REVISION_DATE, "20200101"}, {SLOT_ISSUE_DATE, "20200115"}, {SLOT_SEX, "2"}, {SLOT_EYE_COLOUR, "BRO"},
      {SLOT_HAIR_COLOUR, "BLK"}, {SLOT_RACE, "WHITE"}, {SLOT_HEIGHT_FT_IN, "510"}, {SLOT_WEIGHT_LB, "180"},
      {SLOT_STD_VEHICLE_CLASS, "CDEFGHIJ"}, {SLOT_VEHICLE_CLASS_DESC, "CLASS C CARS"}, {SLOT_STD_RESTRICTIONS, "B  C"},
      {SLOT_RESTRICTION_DESC, "CORRECTIVE LENSES"}, {SLOT_STD_ENDORSEMENTS, "HNT"},
      {SLOT_ENDORSEMENT_DESC, "HAZMAT AND TANKER"}, {SLOT_COMPLIANCE_TYPE, "F"}}).build();
  // clang-format on
  const FieldRecord& record = built;
  struct Case {
    FieldDerivation derive;
    std::string_view expected[3];  // into 1, 2 and 8 bytes
  };
  // clang-format off
  const Case kCases[] = {
      {deriveExpirationDate, {kNoValue, kNoValue, kNoValue}},
      {deriveHazmatExpDate, {kNoValue, kNoValue, kNoValue}},
      {deriveBirthdate, {kNoValue, kNoValue, kNoValue}},
      {deriveCardRevisionDate, {kNoValue, kNoValue, kNoValue}},
      {deriveIssueDate, {kNoValue, kNoValue, kNoValue}},
      {deriveGender, {kTooSmall, kTooSmall, "Female"}},
      {deriveEyeColor, {kTooSmall, kTooSmall, "Brown"}},
      {deriveHairColor, {kTooSmall, kTooSmall, "Black"}},
      {deriveRace, {kNoValue, "W", "WHITE"}},
      {deriveHeight, {kTooSmall, kTooSmall, "5'10\""}},
      {deriveWeightKg, {kBadArgument, kBadArgument, "82"}},
      {deriveWeightLbs, {kBadArgument, kBadArgument, "180"}},
      {deriveClassificationCode, {kNoValue, "C", "CDEFGHI"}},
      {deriveVehicleClassCodeDescription, {kNoValue, "C", "CLASS C"}},
      {deriveRestrictionCode, {kNoValue, "B", "B C"}},
      {deriveRestrictionCodeDescription, {kNoValue, "C", "CORRECT"}},
      {deriveEndorsementsCode, {kNoValue, "H", "HNT"}},
      {deriveEndorsementCodeDescription, {kNoValue, "H", "HAZMAT "}},
      {deriveComplianceType, {kNoValue, "F", "F"}},
  };
  // clang-format on
  constexpr std::int32_t kSizes[] = {1, 2, 8};
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    for (std::size_t size = 0; size < 3; ++size) {
      SCOPED_TRACE(std::to_string(i) + " into " + std::to_string(kSizes[size]));
      const auto outSize = static_cast<std::size_t>(kSizes[size]);
      std::string buffer(16, '#');
      const Status status = kCases[i].derive(record, buffer.data(), kSizes[size]);
      const std::string_view expected = kCases[i].expected[size];
      EXPECT_EQ(status == kStatusOk ? std::string_view(buffer.c_str()) : "<status " + std::to_string(status) + ">",
                expected);
      EXPECT_EQ(buffer.substr(outSize), std::string(16 - outSize, '#'));  // nothing written past outSize
      if (status != kStatusOk) {
        EXPECT_EQ(buffer[0], '\0');  // a failure leaves no partial text
      }
    }
    char untouched[4] = "ab";
    EXPECT_EQ(kCases[i].derive(FieldRecord{}, untouched, 4), kStatusBadArgument);
    EXPECT_EQ(kCases[i].derive(record, nullptr, 4), kStatusBadArgument);
    EXPECT_EQ(kCases[i].derive(record, untouched, 0), kStatusBadArgument);
    EXPECT_STREQ(untouched, "ab");
  }
}

}  // namespace
}  // namespace quorix
