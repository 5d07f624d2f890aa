#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <cstring>
#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::RecordBuilder;

struct SlotValue {
  std::int32_t slot;
  std::string_view text;
};

FieldRecord withSlots(RecordBuilder& builder, std::initializer_list<SlotValue> values) {
  for (const auto& v : values) builder.set(v.slot, v.text);
  return builder.build();
}

TEST(CodeDerivations, SlotPriorityAndCleaning) {
  struct Case {
    const char* name;
    FieldDerivation derive;
    std::initializer_list<SlotValue> slots;
    std::string_view expected;
  };
  const Case kCases[] = {
      {"class std", deriveClassificationCode, {{67, "D"}, {52, "C"}, {7, "B"}}, "D"},
      {"class local", deriveClassificationCode, {{52, "C"}, {7, "B"}}, "C"},
      {"class 2000", deriveClassificationCode, {{7, " B\t"}}, "B"},
      {"class not collapsed", deriveClassificationCode, {{7, "A  M"}}, "A  M"},
      {"class none", deriveClassificationCode, {{70, "CLASS C"}}, "<status -26>"},
      {"restr std", deriveRestrictionCode, {{69, "B"}, {8, "C"}}, "B"},
      {"restr collapsed", deriveRestrictionCode, {{8, "B  C\t\tD"}}, "B C D"},
      {"endorse std", deriveEndorsementsCode, {{68, "H"}, {9, "N"}}, "H"},
      {"endorse not collapsed", deriveEndorsementsCode, {{9, "H  N"}}, "H  N"},
      {"class desc",
       deriveVehicleClassCodeDescription,
       {{70,
         "CLASS\x01"
         "C  CARS~"}},
       "CLASS C  CARS"},
      {"restr desc", deriveRestrictionCodeDescription, {{72, " CORRECTIVE LENSES "}}, "CORRECTIVE LENSES"},
      {"endorse desc", deriveEndorsementCodeDescription, {{71, "HAZMAT"}}, "HAZMAT"},
      {"compliance F", deriveComplianceType, {{79, "F"}}, "F"},
      {"compliance 33", deriveComplianceType, {{79, "!"}}, "!"},
      {"compliance 125", deriveComplianceType, {{79, "}"}}, "}"},
      {"compliance 126", deriveComplianceType, {{79, "~"}}, "<status -26>"},
      {"compliance space", deriveComplianceType, {{79, " "}}, "<status -26>"},
      {"compliance long", deriveComplianceType, {{79, "FN"}}, "<status -26>"},
      {"compliance none", deriveComplianceType, {}, "<status -26>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordBuilder builder;
    EXPECT_EQ(deriveText(c.derive, withSlots(builder, c.slots)), c.expected);
  }
}

TEST(FlagDerivations, OneMeansYesAnythingElseNo) {
  struct Case {
    std::string_view text;
    Status status;
    std::int32_t value;
  };
  constexpr Case kCases[] = {{"1", kStatusOk, 1},  {"0", kStatusOk, 0},  {"Y", kStatusOk, 0},
                             {"11", kStatusOk, 0}, {" 1", kStatusOk, 0}, {"", kStatusNoValue, 42}};
  constexpr std::pair<FlagDerivation, std::int32_t> kFlags[] = {{deriveLimitedDurationFlag, SLOT_LIMITED_DURATION},
                                                                {deriveOrganDonorFlag, SLOT_ORGAN_DONOR},
                                                                {deriveVeteranFlag, SLOT_VETERAN}};
  for (const auto& [derive, slot] : kFlags) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::to_string(slot) + ": '" + std::string(c.text) + "'");
      std::int32_t value = 42;
      EXPECT_EQ(derive(RecordBuilder().set(slot, c.text).build(), &value), c.status);
      EXPECT_EQ(value, c.value);
    }
    // Another flag's slot must not answer for this one.
    std::int32_t value = 42;
    EXPECT_EQ(derive(RecordBuilder().set(SLOT_SEX, "1").build(), &value), kStatusNoValue);
    EXPECT_EQ(derive(RecordBuilder().set(slot, "1").build(), nullptr), kStatusBadArgument);
    EXPECT_EQ(derive(FieldRecord{}, &value), kStatusBadArgument);
  }
}

// Every derivation of these fields on one full record, into tiny buffers: fixed texts refuse with -18, copies are
// cut, dates and weights refuse whole, and nothing is written at or beyond outSize.
TEST(CodeAndDescriptionFields, CutToFitTinyBuffers) {
  RecordBuilder builder;
  const FieldRecord record = withSlots(builder, {{SLOT_EXPIRY_DATE, "20300115"},
                                                 {SLOT_HAZMAT_EXPIRY_DATE, "20300115"},
                                                 {SLOT_BIRTH_DATE, "19800704"},
                                                 {SLOT_CARD_REVISION_DATE, "20200101"},
                                                 {SLOT_ISSUE_DATE, "20200115"},
                                                 {SLOT_SEX, "2"},
                                                 {SLOT_EYE_COLOUR, "BRO"},
                                                 {SLOT_HAIR_COLOUR, "BLK"},
                                                 {SLOT_RACE, "WHITE"},
                                                 {SLOT_HEIGHT_FT_IN, "510"},
                                                 {SLOT_WEIGHT_LB, "180"},
                                                 {SLOT_STD_VEHICLE_CLASS, "CDEFGHIJ"},
                                                 {SLOT_VEHICLE_CLASS_DESC, "CLASS C CARS"},
                                                 {SLOT_STD_RESTRICTIONS, "B  C"},
                                                 {SLOT_RESTRICTION_DESC, "CORRECTIVE LENSES"},
                                                 {SLOT_STD_ENDORSEMENTS, "HNT"},
                                                 {SLOT_ENDORSEMENT_DESC, "HAZMAT AND TANKER"},
                                                 {SLOT_COMPLIANCE_TYPE, "F"}});
  struct Case {
    const char* name;
    FieldDerivation derive;
    std::string_view size1, size2, size8;
  };
  const Case kCases[] = {
      {"expiry", deriveExpirationDate, "<status -26>", "<status -26>", "<status -26>"},
      {"hazmat", deriveHazmatExpDate, "<status -26>", "<status -26>", "<status -26>"},
      {"birth", deriveBirthdate, "<status -26>", "<status -26>", "<status -26>"},
      {"revision", deriveCardRevisionDate, "<status -26>", "<status -26>", "<status -26>"},
      {"issue", deriveIssueDate, "<status -26>", "<status -26>", "<status -26>"},
      {"gender", deriveGender, "<status -18>", "<status -18>", "Female"},
      {"eyes", deriveEyeColor, "<status -18>", "<status -18>", "Brown"},
      {"hair", deriveHairColor, "<status -18>", "<status -18>", "Black"},
      {"race", deriveRace, "<status -26>", "W", "WHITE"},
      {"height", deriveHeight, "<status -18>", "<status -18>", "5'10\""},
      {"kg", deriveWeightKg, "<status -21>", "<status -21>", "82"},
      {"lbs", deriveWeightLbs, "<status -21>", "<status -21>", "180"},
      {"class", deriveClassificationCode, "<status -26>", "C", "CDEFGHI"},
      {"class desc", deriveVehicleClassCodeDescription, "<status -26>", "C", "CLASS C"},
      {"restr", deriveRestrictionCode, "<status -26>", "B", "B C"},
      {"restr desc", deriveRestrictionCodeDescription, "<status -26>", "C", "CORRECT"},
      {"endorse", deriveEndorsementsCode, "<status -26>", "H", "HNT"},
      {"endorse desc", deriveEndorsementCodeDescription, "<status -26>", "H", "HAZMAT "},
      {"compliance", deriveComplianceType, "<status -26>", "F", "F"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(deriveText(c.derive, record, 1), c.size1);
    EXPECT_EQ(deriveText(c.derive, record, 2), c.size2);
    EXPECT_EQ(deriveText(c.derive, record, 8), c.size8);
    for (const std::int32_t outSize : {1, 2, 8}) {
      char buffer[16];
      std::memset(buffer, '#', sizeof buffer);
      (void)c.derive(record, buffer, outSize);
      EXPECT_EQ(std::string_view(buffer + outSize, sizeof buffer - static_cast<std::size_t>(outSize)),
                std::string(sizeof buffer - static_cast<std::size_t>(outSize), '#'));
    }
    char buffer[4] = "ab";
    EXPECT_EQ(c.derive(FieldRecord{}, buffer, 4), kStatusBadArgument);
    EXPECT_EQ(c.derive(record, nullptr, 4), kStatusBadArgument);
    EXPECT_EQ(c.derive(record, buffer, 0), kStatusBadArgument);
    EXPECT_STREQ(buffer, "ab");
  }
}

}  // namespace
}  // namespace quorix
