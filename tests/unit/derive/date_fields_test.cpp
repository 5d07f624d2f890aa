#include "derive/date_fields.h"

#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::RecordBuilder;

TEST(ParseDocumentDate, OrderDecidedByRangesAlone) {
  struct Case {
    std::string_view text;
    std::int32_t year, month, day;  // year -1: the text is rejected
  };
  constexpr Case kCases[] = {
      {"20240315", 2024, 3, 15},  {"03152024", 2024, 3, 15}, {"2024031599", 2024, 3, 15}, {"11111111", 1111, 11, 11},
      {"10101900", 1900, 10, 10}, {"20230231", 2023, 2, 31}, {"99991231", 9999, 12, 31},  {"00000101", 0, 1, 1},
      {" 3152024", 2024, 3, 15},  {"+3152024", 2024, 3, 15}, {"01011800", 1800, 1, 1},    {"01011799", -1, 0, 0},
      {"2024-03-15", -1, 0, 0},   {"13012020", -1, 0, 0},    {"2024031", -1, 0, 0},       {"-3152024", -1, 0, 0},
      {"20240015", -1, 0, 0},     {"20241200", -1, 0, 0},    {"1231abcd", -1, 0, 0},      {"", -1, 0, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    DocumentDate date{.year = 7, .month = 7, .day = 7};
    const std::int32_t status =
        parseDocumentDate(TextSpan{c.text.data(), static_cast<std::int32_t>(c.text.size())}, &date);
    if (c.year < 0) {
      EXPECT_EQ(status, -1);
      EXPECT_EQ(date.year, 7);
    } else {
      EXPECT_EQ(status, 0);
      EXPECT_EQ(date.year, c.year);
      EXPECT_EQ(date.month, c.month);
      EXPECT_EQ(date.day, c.day);
    }
  }
  EXPECT_EQ(parseDocumentDate(TextSpan{"20240315", 8}, nullptr), -1);
}

TEST(FormatDocumentDate, ZeroPaddedMonthDayYear) {
  char out[11] = "xxxxxxxxxx";
  EXPECT_EQ(formatDocumentDate(DocumentDate{.year = 5, .month = 1, .day = 2}, out), 10);
  EXPECT_EQ(std::string_view(out, 10), "01/02/0005");
}

TEST(DateDerivations, EachReadsItsSlot) {
  struct Case {
    FieldDerivation derive;
    std::int32_t slot;
  };
  const Case kCases[] = {{deriveExpirationDate, SLOT_EXPIRY_DATE},
                         {deriveHazmatExpDate, SLOT_HAZMAT_EXPIRY_DATE},
                         {deriveBirthdate, SLOT_BIRTH_DATE},
                         {deriveBirthdate, SLOT_BIRTH_DATE_ALT},
                         {deriveCardRevisionDate, SLOT_CARD_REVISION_DATE},
                         {deriveIssueDate, SLOT_ISSUE_DATE}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.slot);
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().set(c.slot, "20300115").build()), "01/15/2030");
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().set(c.slot, "01152030").build()), "01/15/2030");
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().set(c.slot, "99991231").build()), "12/31/9999");
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().set(c.slot, "2030-01-15").build()), "<status -26>");
    const auto record = RecordBuilder().set(c.slot, "20300115").build();
    EXPECT_EQ(deriveText(c.derive, record, 11), "01/15/2030");
    EXPECT_EQ(deriveText(c.derive, record, 10), "<status -26>");
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().build()), "<status -26>");
  }
}

TEST(DateDerivations, BirthDateTakesFirstFilledSlotOnly) {
  const auto both = RecordBuilder().set(SLOT_BIRTH_DATE, "19800704").set(SLOT_BIRTH_DATE_ALT, "19900101").build();
  EXPECT_EQ(deriveText(deriveBirthdate, both), "07/04/1980");
  // An unreadable first slot is the document's answer; the second position is not consulted.
  const auto bad = RecordBuilder().set(SLOT_BIRTH_DATE, "1980/7/4").set(SLOT_BIRTH_DATE_ALT, "19900101").build();
  EXPECT_EQ(deriveText(deriveBirthdate, bad), "<status -26>");
}

TEST(DeriveGender, WordsLettersAndDigits) {
  struct Case {
    std::string_view sex, expected;
    std::int32_t outSize;
  };
  constexpr Case kCases[] = {
      {"1", "Male", 64},         {"M", "Male", 64},        {"MALE", "Male", 64},      {"2", "Female", 64},
      {"FEMALE", "Female", 64},  {"FEM", "Female", 64},    {"X", "<status -26>", 64}, {"male", "<status -26>", 64},
      {"9", "<status -26>", 64}, {"1", "Male", 5},         {"1", "<status -18>", 4},  {"2", "Female", 7},
      {"2", "<status -18>", 6},  {"2", "<status -18>", 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.sex) + " into " + std::to_string(c.outSize));
    EXPECT_EQ(deriveText(deriveGender, RecordBuilder().set(SLOT_SEX, c.sex).build(), c.outSize), c.expected);
  }
  EXPECT_EQ(deriveText(deriveGender, RecordBuilder().build()), "<status -26>");
}

TEST(ColorDerivations, CodesExpandOthersCopied) {
  struct Case {
    FieldDerivation derive;
    std::int32_t slot;
    std::string_view code, expected;
    std::int32_t outSize;
  };
  const Case kCases[] = {
      {deriveEyeColor, SLOT_EYE_COLOUR, "BRO", "Brown", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "bro", "bro", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "VI", "Violet", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "GRY", "Gray", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "BRO ", "BRO ", 64},
      {deriveEyeColor, SLOT_EYE_COLOUR, "BRO", "<status -18>", 5},
      {deriveEyeColor, SLOT_EYE_COLOUR, "PURPLE", "PUR", 4},
      {deriveHairColor, SLOT_HAIR_COLOUR, "GRY", "Grey", 64},
      {deriveHairColor, SLOT_HAIR_COLOUR, "RD", "Red/Auburn", 64},
      {deriveHairColor, SLOT_HAIR_COLOUR, "HAZ", "HAZ", 64},
      {deriveHairColor, SLOT_HAIR_COLOUR, "XYZ", "<status -26>", 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.code) + " into " + std::to_string(c.outSize));
    EXPECT_EQ(deriveText(c.derive, RecordBuilder().set(c.slot, c.code).build(), c.outSize), c.expected);
  }
  // Every row is reachable through its derivation: a code listed twice or under the wrong slot would show here.
  struct TableCase {
    const ColorTable& table;
    FieldDerivation derive;
    std::int32_t slot;
  };
  const TableCase kTables[] = {{EyeColorTable, deriveEyeColor, SLOT_EYE_COLOUR},
                               {HairColorTable, deriveHairColor, SLOT_HAIR_COLOUR}};
  for (const auto& t : kTables) {
    for (std::int32_t i = 0; i < t.table.count; ++i) {
      SCOPED_TRACE(t.table.rows[i].code);
      EXPECT_EQ(deriveText(t.derive, RecordBuilder().set(t.slot, t.table.rows[i].code).build()), t.table.rows[i].text);
    }
  }
}

TEST(DeriveRace, GraphicCopyWithoutCollapsing) {
  EXPECT_EQ(deriveText(deriveRace, RecordBuilder().set(SLOT_RACE, " \tW~H  I\x7f").build()), "W H  I");
  EXPECT_EQ(deriveText(deriveRace, RecordBuilder().set(SLOT_RACE, "~~").build()), "<status -26>");
}

TEST(DeriveHeight, ThreeFormsInPriorityOrder) {
  struct Case {
    std::string_view withUnit, feetInches, centimetres, expected;
    std::int32_t outSize;
  };
  constexpr Case kCases[] = {
      {"070 in", "510", "178", "070 in", 64},
      {"", "510", "178", "5'10\"", 64},
      {"", " 601\t", "", "6'01\"", 64},
      {"", "5", "", "5'\"", 64},
      {"", "", "178", "178cm", 64},
      {"", "", " 178\t", "178cm", 64},
      {"", "510", "", "5'10\"", 6},
      {"", "510", "", "<status -18>", 5},
      {"", "", "178", "178cm", 6},
      {"", "", "178", "<status -18>", 5},
      {"070 in", "", "", "07", 3},
      {"", "  ", "178", "<status -26>", 64},
      {"", "", "", "<status -26>", 64},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.expected) + " into " + std::to_string(c.outSize));
    const auto record = RecordBuilder()
                            .set(SLOT_HEIGHT, c.withUnit)
                            .set(SLOT_HEIGHT_FT_IN, c.feetInches)
                            .set(SLOT_HEIGHT_CM, c.centimetres)
                            .build();
    EXPECT_EQ(deriveText(deriveHeight, record, c.outSize), c.expected);
  }
}

TEST(WeightDerivations, ConversionRangesAndSizes) {
  struct Case {
    std::string_view pounds, kilograms, range, kg, lbs;
    std::int32_t outSize;
  };
  constexpr Case kCases[] = {
      {"180", "", "", "82", "180", 64},
      {"", "82", "", "82", "180", 64},
      {"180", "90", "", "82", "180", 64},
      {"0", "", "", "0", "0", 64},
      // single precision: a double factor gives 2097155 and 1730150
      {"4613742", "", "", "2097156", "4613742", 64},
      {"", "786432", "", "786432", "1730151", 64},
      {"12345678", "", "", "<status -26>", "12345678", 64},
      {"18O", "", "4", "71-86", "18O", 64},
      {"", "82.5", "", "<status -26>", "<status -26>", 64},
      {"", "", "0", "up to 31", "up to 70", 64},
      {"", "", "8", "128-145", "281-320", 64},
      {"", "", "9", "146+", "321+", 64},
      {"", "", "5X", "87-100", "191-220", 64},
      {"", "", "12", "<status -26>", "<status -26>", 64},
      {"", "", "A", "<status -26>", "<status -26>", 64},
      {"180", "", "", "82", "180", 4},
      {"9999999", "", "", "<status -18>", "999", 4},
      {"", "1000", "", "100", "<status -18>", 4},
      {"", "1000", "", "1000", "2200", 5},
      {"", "", "0", "<status -18>", "<status -18>", 8},
      {"", "", "0", "up to 31", "up to 70", 9},
      {"180", "", "", "<status -21>", "<status -21>", 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.pounds) + "/" + std::string(c.kilograms) + "/" + std::string(c.range) + " into " +
                 std::to_string(c.outSize));
    const auto record = RecordBuilder()
                            .set(SLOT_WEIGHT_LB, c.pounds)
                            .set(SLOT_WEIGHT_KG, c.kilograms)
                            .set(SLOT_WEIGHT_RANGE, c.range)
                            .build();
    EXPECT_EQ(deriveText(deriveWeightKg, record, c.outSize), c.kg);
    EXPECT_EQ(deriveText(deriveWeightLbs, record, c.outSize), c.lbs);
  }
}

TEST(WeightDerivations, NumberThatDoesNotFitLeavesOutEmpty) {
  const auto record = RecordBuilder().set(SLOT_WEIGHT_LB, "9999999").build();
  char out[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(deriveWeightKg(record, out, 4), kStatusOutputTooSmall);
  EXPECT_EQ(out[0], '\0');
}

}  // namespace
}  // namespace quorix
