#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::kNoValue;
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

}  // namespace
}  // namespace quorix
