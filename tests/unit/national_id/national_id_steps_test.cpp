// The steps of the national identity card chains one by one: what each consumes and which step it names next, the
// chain runner, and the South African date reader.
#include "decoders/national_id/national_id_steps.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/text_utils.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;
using testing::slotText;

TEST(DecodeSteps, NamesAreCleanedOfNullAndMarkers) {
  struct Case {
    DecodeStep step;
    std::string_view text;
    std::int32_t slot;
    std::string_view stored;
  };
  const Case kCases[] = {
      {guatemalaMiddleName, "12#ANA MARIA|", SLOT_MIDDLE_NAME, "ANA MARIA"},
      {guatemalaFirstName, "#? JUAN |", SLOT_FIRST_NAME, "? JUAN "},  // the only name that keeps a "?"
      {puertoRicoMiddleName, "ANULLNA-", SLOT_MIDDLE_NAME, "ANA"},
      {puertoRicoFamilyNames, "DE-LA-ROSA-NULL-Cit-", SLOT_FAMILY_NAME, "DE LA ROSA"},
      {puertoRicoFamilyNames, "ROSA-CIX-", SLOT_FAMILY_NAME, ""},
      {puertoRicoFamilyNames, "-CIT-A-", SLOT_FAMILY_NAME, ""},
      {puertoRicoExpiryDate, "15Ene2020-", SLOT_EXPIRY_DATE, "20200115"},
      {puertoRicoExpiryDate, "15JAN2020-", SLOT_EXPIRY_DATE, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    auto built = RecordBuilder().build();
    TextSpan rest{c.text.data(), static_cast<std::int32_t>(c.text.size())};
    (void)c.step(built.record, rest);
    EXPECT_EQ(slotText(built, c.slot), c.stored);
  }
}

// Test steps that leave a trace in the record, so the runner's path through them shows.
StepResult thirdStep(FieldRecord& record, TextSpan&) {
  setSlotText(record, 2, "third");
  return {};
}
StepResult failingStep(FieldRecord& record, TextSpan&) {
  setSlotText(record, 1, "failing");
  return {.next = thirdStep, .status = -3};
}
StepResult firstStep(FieldRecord& record, TextSpan& rest) {
  setSlot(record, 0, rest, nullptr, nullptr, 0);
  return {.next = thirdStep};
}
StepResult firstThenFailing(FieldRecord&, TextSpan&) { return {.next = failingStep}; }

TEST(RunSteps, FollowsTheChainUntilAStatusOrItsEnd) {
  struct Case {
    DecodeStep first;
    const char* text;
    std::int32_t length;
    Status status;
    std::string_view slot0, slot1, slot2;
  };
  const Case kCases[] = {
      {firstStep, "abc", 3, 0, "abc", "", "third"},        {firstStep, "abc", 0, 0, "", "", "third"},
      {firstStep, nullptr, 3, 0, "", "", "third"},         {firstThenFailing, "abc", 3, -3, "", "failing", ""},
      {nullptr, "abc", 3, kStatusBadArgument, "", "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.status);
    auto built = RecordBuilder().build();
    EXPECT_EQ(runSteps(c.first, built.record, c.text, c.length), c.status);
    EXPECT_EQ(slotText(built, 0), c.slot0);
    EXPECT_EQ(slotText(built, 1), c.slot1);
    EXPECT_EQ(slotText(built, 2), c.slot2);
  }
}

TEST(ParseDayMonthNameYear, DayMonthNameAndYear) {
  struct Case {
    std::string_view text, stored;
  };
  constexpr Case kCases[] = {
      {"31\tdec \t2001", "20011231"},
      {"07 MARCH 1985", ""},
      {"07 MAR 85", ""},
      {"107 MAR 1985", ""},
      {"MAR 1985", ""},
      {"07 MAR", ""},
      {"07 XYZ 1985", ""},
      {"07 MAR 1985 ", ""},
      {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    auto built = RecordBuilder().build();
    const int stored = parseDayMonthNameYear(built.record, SLOT_ISSUE_DATE,
                                             TextSpan{c.text.data(), static_cast<std::int32_t>(c.text.size())});
    EXPECT_EQ(stored, c.stored.empty() ? 0 : 1);
    EXPECT_EQ(slotText(built, SLOT_ISSUE_DATE), c.stored);
  }
}

// The early searches must find what the plain ones find, or a card would be turned away that the full decode reads.
TEST(FindMarker, FindsWhatFindSpanFinds) {
  constexpr std::string_view kHaystacks[] = {
      "GARCIA LOPEZ JUAN Fec Nac. 25/12/1980 Ofna CENTRO Id Doc 123",
      " Fec Nac.  Fec Nac. ",
      "Fec Nac. Fec Nac.",
      "  .  . Fec Nac.",
      "x Fec Nac.",
      "Ofna Ofna",
      "    ",
      "",
      "a",
  };
  constexpr std::string_view kNeedles[] = {" Fec Nac. ", " Id Doc ", "Ofna ", "Fec", ".", " ", "  ", "a"};
  for (std::string_view haystack : kHaystacks) {
    for (std::string_view needle : kNeedles) {
      for (std::size_t from = 0; from <= haystack.size() + 1; ++from) {
        SCOPED_TRACE(std::string(haystack) + "|" + std::string(needle) + "|" + std::to_string(from));
        const std::string_view rest = from < haystack.size() ? haystack.substr(from) : std::string_view();
        const std::int32_t at = findSpan(TextSpan{rest.data(), static_cast<std::int32_t>(rest.size())},
                                         TextSpan{needle.data(), static_cast<std::int32_t>(needle.size())});
        EXPECT_EQ(findMarker(haystack, needle, from),
                  at < 0 ? std::string_view::npos : from + static_cast<std::size_t>(at));
      }
    }
  }
}

}  // namespace
}  // namespace quorix
