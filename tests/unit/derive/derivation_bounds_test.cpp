// Every text derivation checks its arguments, stays inside its buffer and ends, whatever the record holds: fixed
// texts refuse a buffer they do not fit, copies are cut, dates and weights refuse whole.
#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;

// Runs every text derivation on the record into buffers of 1, 2, 8 and 16 bytes followed by guard bytes. Only where
// mayRefuse a fixed text may turn a buffer down as too small; a weight turns down one that holds no weight at all.
void expectInsideSmallBuffers(const FieldRecord& record, bool mayRefuse) {
  for (const ResultField& field : kResultFields) {
    if (field.text == nullptr) continue;
    const bool weight = field.text == deriveWeightKg || field.text == deriveWeightLbs;
    for (const std::int32_t size : {1, 2, 8, 16}) {
      SCOPED_TRACE(std::string(field.javaName) + " into " + std::to_string(size));
      std::vector<char> buffer(static_cast<std::size_t>(size) + 8, '#');
      const Status status = field.text(record, buffer.data(), size);
      ASSERT_TRUE(status == kStatusOk || status == kStatusNoValue || (mayRefuse && status == kStatusOutputTooSmall) ||
                  (weight && size < 4 && status == kStatusBadArgument))
          << status;
      for (std::size_t i = static_cast<std::size_t>(size); i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#');
      if (status == kStatusOk) {
        ASSERT_NE(size, 1) << "no room for any text";
        ASSERT_LT(std::string(buffer.data()).size(), static_cast<std::size_t>(size));
      } else if (mayRefuse) {
        // A refused value leaves no partial text: the buffer is emptied or untouched.
        ASSERT_TRUE(buffer[0] == '\0' || std::count(buffer.begin(), buffer.end(), '#') == std::ssize(buffer));
      }
    }
  }
}

TEST(Derivations, RejectBadArgumentsUntouched) {
  const auto record = RecordBuilder().set(SLOT_FULL_NAME, "SMITH,JOHN").set(SLOT_IIN, "636014").build();
  const FieldRecord noArena;
  for (const ResultField& field : kResultFields) {
    if (field.text == nullptr) continue;
    SCOPED_TRACE(field.javaName);
    char out[8] = "keep";
    EXPECT_EQ(field.text(record, nullptr, 8), kStatusBadArgument);
    EXPECT_EQ(field.text(record, out, 0), kStatusBadArgument);
    EXPECT_EQ(field.text(record, out, -3), kStatusBadArgument);
    EXPECT_EQ(field.text(noArena, out, 8), kStatusBadArgument);
    EXPECT_STREQ(out, "keep");
  }
}

// One record with a value for every date, description and code field, and a licence number the Ohio rule corrects.
TEST(Derivations, StayInsideSmallBuffersOnAFullRecord) {
  // clang-format off
  expectInsideSmallBuffers(testing::recordWith({
      {SLOT_EXPIRY_DATE, "20300115"}, {SLOT_HAZMAT_EXPIRY_DATE, "20300115"}, {SLOT_BIRTH_DATE, "19800704"},
      {SLOT_CARD_REVISION_DATE, "20200101"}, {SLOT_ISSUE_DATE, "20200115"}, {SLOT_SEX, "2"}, {SLOT_EYE_COLOUR, "BRO"},
      {SLOT_HAIR_COLOUR, "BLK"}, {SLOT_RACE, "WHITE"}, {SLOT_HEIGHT_FT_IN, "510"}, {SLOT_WEIGHT_LB, "180"},
      {SLOT_STD_VEHICLE_CLASS, "CDEFGHIJ"}, {SLOT_VEHICLE_CLASS_DESC, "CLASS C CARS"}, {SLOT_STD_RESTRICTIONS, "B  C"},
      {SLOT_RESTRICTION_DESC, "CORRECTIVE LENSES"}, {SLOT_STD_ENDORSEMENTS, "HNT"},
      {SLOT_ENDORSEMENT_DESC, "HAZMAT AND TANKER"}, {SLOT_COMPLIANCE_TYPE, "F"}, {SLOT_JURISDICTION, "OH"},
      {SLOT_LICENCE_NUMBER, "0102345678"}}), true);
  // clang-format on
}

// Records made of the words and separators the name, address and issuer derivations look for, in every order the
// generator finds.
TEST(Derivations, StayInsideSmallBuffersOnGeneratedRecords) {
  const std::vector<std::string> pieces = {"JR",     "NONE",   "A",  "SMITH", "TORONTO", "ON", "AB", "M5V",
                                           "636012", "636033", "01", "26",    " ",       "  ", ",",  "$",
                                           "@",      "-",      "\t", "\x80",  "~",       ""};
  constexpr std::int32_t kSlots[] = {SLOT_IIN,          SLOT_FULL_NAME,   SLOT_STREET_1,       SLOT_CITY,
                                     SLOT_JURISDICTION, SLOT_POSTAL_CODE, SLOT_LICENCE_NUMBER, SLOT_FAMILY_NAME,
                                     SLOT_FIRST_NAME,   SLOT_MIDDLE_NAME, SLOT_NAME_SUFFIX,    SLOT_GIVEN_NAMES,
                                     SLOT_STREET_2,     SLOT_COUNTRY,     SLOT_COUNTRY_CODE,   SLOT_RES_JURISDICTION};
  std::mt19937 random(20261206);
  for (int round = 0; round < 400; ++round) {
    RecordBuilder builder;
    builder.group(static_cast<std::int32_t>(random() % 2));
    for (std::int32_t slot : kSlots) {
      if (random() % 3 == 0) continue;
      std::string text;
      for (auto n = random() % 9; n > 0; --n) text += pieces[random() % pieces.size()] + (random() % 2 ? " " : "");
      builder.set(slot, text);
    }
    expectInsideSmallBuffers(builder.build(), false);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace quorix
