#include "derive/date_fields.h"

#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::kNoValue;
using testing::kTooSmall;
using testing::RecordBuilder;

TEST(ParseDocumentDate, OrderDecidedByRangesAlone) {
  struct Case {
    std::string_view text;
    std::int32_t year, month, day;  // year -1: rejected
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"20240315", 2024, 3, 15}, {"03152024", 2024, 3, 15}, {"2024031599", 2024, 3, 15}, {"20230231", 2023, 2, 31},
      {"99991231", 9999, 12, 31}, {"00000101", 0, 1, 1},     {" 3152024", 2024, 3, 15},   {"+3152024", 2024, 3, 15},
      {"01011800", 1800, 1, 1},   {"01011799", -1, 0, 0},    {"2024-03-15", -1, 0, 0},    {"13012020", -1, 0, 0},
      {"2024031", -1, 0, 0},      {"-3152024", -1, 0, 0},    {"20240015", -1, 0, 0},      {"", -1, 0, 0},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    DocumentDate date{.year = 7, .month = 7, .day = 7};
    const TextSpan text{c.text.data(), static_cast<std::int32_t>(c.text.size())};
    EXPECT_EQ(parseDocumentDate(text, &date), c.year < 0 ? -1 : 0);
    const DocumentDate expected = c.year < 0 ? DocumentDate{7, 7, 7} : DocumentDate{c.year, c.month, c.day};
    EXPECT_EQ(date.year, expected.year);
    EXPECT_EQ(date.month, expected.month);
    EXPECT_EQ(date.day, expected.day);
  }
  EXPECT_EQ(parseDocumentDate(TextSpan{"20240315", 8}, nullptr), -1);
}

TEST(DateDerivations, EachReadsItsSlot) {
  struct Case {
    FieldDerivation derive;
    std::int32_t slot;
  };
  const Case kFields[] = {{deriveExpirationDate, SLOT_EXPIRY_DATE},
                          {deriveHazmatExpDate, SLOT_HAZMAT_EXPIRY_DATE},
                          {deriveBirthdate, SLOT_BIRTH_DATE},
                          {deriveCardRevisionDate, SLOT_CARD_REVISION_DATE},
                          {deriveIssueDate, SLOT_ISSUE_DATE}};
  struct Text {
    std::string_view slot, expected;
    std::int32_t outSize;
  };
  constexpr Text kTexts[] = {{"20300115", "01/15/2030", 11}, {"01152030", "01/15/2030", 64},
                             {"99991231", "12/31/9999", 64}, {"00050102", "01/02/0005", 64},
                             {"2030-01-15", kNoValue, 64},   {"20300115", kNoValue, 10}};
  for (const auto& f : kFields) {
    SCOPED_TRACE(f.slot);
    for (const auto& t : kTexts) {
      SCOPED_TRACE(std::string(t.slot) + " into " + std::to_string(t.outSize));
      EXPECT_EQ(deriveText(f.derive, RecordBuilder().set(f.slot, t.slot).build(), t.outSize), t.expected);
    }
    EXPECT_EQ(deriveText(f.derive, RecordBuilder().set(SLOT_SEX, "20300115").build()), kNoValue);
  }
}

TEST(DateDerivations, BirthDateTakesFirstFilledSlotOnly) {
  const auto both = RecordBuilder().set(SLOT_BIRTH_DATE, "19800704").set(SLOT_BIRTH_DATE_ALT, "19900101").build();
  EXPECT_EQ(deriveText(deriveBirthdate, both), "07/04/1980");
  // An unreadable first slot is the document's answer; the second position is not consulted.
  const auto bad = RecordBuilder().set(SLOT_BIRTH_DATE, "1980/7/4").set(SLOT_BIRTH_DATE_ALT, "19900101").build();
  EXPECT_EQ(deriveText(deriveBirthdate, bad), kNoValue);
}

TEST(DescriptionDerivations, SexColourRaceAndHeight) {
  struct Case {
    FieldDerivation derive;
    std::int32_t slot;
    std::string_view text, expected;
    std::int32_t outSize;
  };
  // clang-format off
  const Case kCases[] = {
      {deriveGender, SLOT_SEX, "1", "Male", 5},                 {deriveGender, SLOT_SEX, "M", "Male", 64},
      {deriveGender, SLOT_SEX, "2", "Female", 7},               {deriveGender, SLOT_SEX, "FEM", "Female", 64},
      {deriveGender, SLOT_SEX, "X", "X", 64},                   {deriveGender, SLOT_SEX, "male", kNoValue, 64},
      {deriveGender, SLOT_SEX, "9", "Not specified", 14},       {deriveGender, SLOT_SEX, "9", kTooSmall, 13},
      {deriveGender, SLOT_SEX, "1", kTooSmall, 4},              {deriveGender, SLOT_SEX, "2", kTooSmall, 6},
      {deriveEyeColor, SLOT_EYE_COLOUR, "BRO", "Brown", 64},    {deriveEyeColor, SLOT_EYE_COLOUR, "bro", "bro", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "BRO ", "BRO ", 64},    {deriveEyeColor, SLOT_EYE_COLOUR, "BRO", kTooSmall, 5},
      {deriveEyeColor, SLOT_EYE_COLOUR, "PURPLE", "PUR", 4},    {deriveHairColor, SLOT_HAIR_COLOUR, "HAZ", "HAZ", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "GREY", "Gray", 64},    {deriveHairColor, SLOT_HAIR_COLOUR, "GRAY", "Grey", 64},
      {deriveRace, SLOT_RACE, " \tW~H  I\x7f", "W H  I", 64},   {deriveRace, SLOT_RACE, "~~", kNoValue, 64},
      {deriveHeight, SLOT_HEIGHT_FT_IN, "510", "5'10\"", 6},    {deriveHeight, SLOT_HEIGHT_FT_IN, "510", kTooSmall, 5},
      {deriveHeight, SLOT_HEIGHT_FT_IN, " 601\t", "6'01\"", 64}, {deriveHeight, SLOT_HEIGHT_FT_IN, "5", "5'\"", 64},
      {deriveHeight, SLOT_HEIGHT_FT_IN, "  ", kNoValue, 64},    {deriveHeight, SLOT_HEIGHT_CM, " 178\t", "178cm", 6},
      {deriveHeight, SLOT_HEIGHT, "070 in", "070 in", 64},      {deriveHeight, SLOT_HEIGHT, "070 in", "07", 3},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.slot) + " '" + std::string(c.text) + "' into " + std::to_string(c.outSize));
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().set(c.slot, c.text).build(), c.outSize), c.expected);
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().build(), c.outSize), kNoValue);
  }
  // Height takes the form with a unit first, then feet and inches, then centimetres.
  auto heights = RecordBuilder().set(SLOT_HEIGHT_FT_IN, "510").set(SLOT_HEIGHT_CM, "178");
  EXPECT_EQ(deriveText(deriveHeight, heights.build()), "5'10\"");
  EXPECT_EQ(deriveText(deriveHeight, heights.set(SLOT_HEIGHT, "5-10").build()), "5-10");
}

TEST(WeightDerivations, ConversionRangesAndSizes) {
  struct Case {
    std::string_view pounds, kilograms, range, kg, lbs;
    std::int32_t outSize;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"180", "90", "", "82", "180", 64},
      {"0", "", "", "0", "0", 64},
      // single precision: a double factor gives 2097155 and 1730150
      {"4613742", "", "", "2097156", "4613742", 64},
      {"", "786432", "", "786432", "1730151", 64},
      {"12345678", "", "", kNoValue, "12345678", 64},
      {"18O", "", "4", "71-86", "18O", 64},
      {"", "82.5", "", kNoValue, kNoValue, 64},
      {"", "", "0", "up to 31", "up to 70", 9},
      {"", "", "9", "146+", "321+", 64},
      {"", "", "5X", "87-100", "191-220", 64},
      {"", "", "12", kNoValue, kNoValue, 64},
      {"9999999", "", "", kTooSmall, "999", 4},
      {"", "1000", "", "100", kTooSmall, 4},
      {"", "1000", "", "1000", "2200", 5},
      {"", "", "0", kTooSmall, kTooSmall, 8},
      {"180", "", "", "<status -21>", "<status -21>", 3},
      // a unit written with the weight decides it, whichever slot holds it (golden 2014-weight-*-unit-*)
      {"150LBS", "", "", "68", "150", 64},
      {"", "150 lb", "", "68", "150", 64},
      {"", "068KG", "", "068", "150", 64},
      {"50 ST", "", "", kNoValue, "50 ST", 64},
      {"KG", "", "", kNoValue, "KG", 64},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.pounds) + "/" + std::string(c.kilograms) + "/" + std::string(c.range) + " into " +
                 std::to_string(c.outSize));
    const auto record =
        RecordBuilder().set(SLOT_WEIGHT_LB, c.pounds).set(SLOT_WEIGHT_KG, c.kilograms).set(SLOT_WEIGHT_RANGE, c.range);
    EXPECT_EQ(deriveText(deriveWeightKg, record.build(), c.outSize), c.kg);
    EXPECT_EQ(deriveText(deriveWeightLbs, record.build(), c.outSize), c.lbs);
  }
}

}  // namespace
}  // namespace quorix
