#include "derive/name_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::RecordBuilder;

constexpr std::string_view kNoValue = "<status -26>";

struct NameCase {
  std::string_view full;
  std::string_view first, middle, last, suffix;
};

// Full names alone, no correction row: the order of the parts is read from the separators.
TEST(SplitFullName, OrdersWithoutSeparateElements) {
  constexpr NameCase kCases[] = {
      {"SMITH,JOHN,A", "JOHN", "A", "SMITH", kNoValue},
      {"JOHN,A,SMITH", "JOHN", "A", "SMITH", kNoValue},  // one-letter second part: rotated
      {"SMITH,JR,JOHN", "JOHN", kNoValue, "SMITH", "JR"},
      {"SMITH,JOHN,A,JR", "JOHN", "A", "SMITH", "JR"},  // suffix in the last part dropped
      {"SMITH$JOHN$PAUL", "JOHN", "PAUL", "SMITH", kNoValue},
      {"SMITH,JOHN PAUL GEORGE", "JOHN", "PAUL GEORGE", "SMITH", kNoValue},
      {"JOHN A SMITH JR", "JOHN", "A", "SMITH", "JR"},
      {"JOHN A VAN DYKE", "JOHN", "A", "VAN DYKE", kNoValue},
      {"JOHN SMITH", "JOHN", kNoValue, "SMITH", kNoValue},
      {"JOHN SMITH JR", "JOHN", kNoValue, "SMITH", "JR"},  // the last name is no middle name
      {"JOHN", "JOHN", kNoValue, kNoValue, kNoValue},
      {",JR", "JR", kNoValue, kNoValue, "JR"},           // word 1 counts when a separator leads
      {"JR SMITH", "JR", kNoValue, kNoValue, kNoValue},  // suffix words leave one word: no last name
      {"SMITH,  JOHN  ,  A", "JOHN", "A", "SMITH", kNoValue},
  };
  for (const NameCase& c : kCases) {
    SCOPED_TRACE(c.full);
    const auto record = RecordBuilder().set(SLOT_FULL_NAME, c.full).build();
    EXPECT_EQ(deriveText(deriveFirstName, record), c.first);
    EXPECT_EQ(deriveText(deriveMiddleName, record), c.middle);
    EXPECT_EQ(deriveText(deriveLastName, record), c.last);
    EXPECT_EQ(deriveText(deriveNameSuffix, record), c.suffix);
  }
}

TEST(SplitFullName, SeparateElementsWin) {
  struct Case {
    std::string_view label;
    std::vector<std::pair<std::int32_t, std::string_view>> slots;
    std::string_view first, middle, last;
  };
  // clang-format off
  const Case kCases[] = {
      {"elements beat the full name", {{SLOT_FULL_NAME, "DOE,JANE,B"}, {SLOT_FIRST_NAME, "JOHN"},
       {SLOT_MIDDLE_NAME, "A"}, {SLOT_FAMILY_NAME, "SMITH"}}, "JOHN", "A", "SMITH"},
      {"given names", {{SLOT_GIVEN_NAMES, "JOHN PAUL GEORGE"}, {SLOT_FAMILY_NAME, "SMITH"}},
       "JOHN", "PAUL GEORGE", "SMITH"},
      {"given names with commas", {{SLOT_GIVEN_NAMES, ",JOHN,PAUL"}}, "JOHN", "PAUL", kNoValue},
      {"suffix in the first name", {{SLOT_FIRST_NAME, "JOHN JR"}}, "JOHN", kNoValue, kNoValue},
      {"NONE as first name", {{SLOT_FIRST_NAME, "NONE"}, {SLOT_GIVEN_NAMES, "PAUL"}}, kNoValue, kNoValue, kNoValue},
      {"NONE as middle name falls back", {{SLOT_MIDDLE_NAME, "NONE"}, {SLOT_GIVEN_NAMES, "JOHN PAUL"}},
       "JOHN", "PAUL", kNoValue},
      {"commas in the middle name", {{SLOT_MIDDLE_NAME, "PAUL,,GEORGE"}}, kNoValue, "PAUL GEORGE", kNoValue},
      {"blank elements fall back", {{SLOT_FIRST_NAME, "  "}, {SLOT_FULL_NAME, "SMITH,JOHN,A"}}, "JOHN", "A", "SMITH"},
      {"trim set around words", {{SLOT_FIRST_NAME, "-JOHN/ \\PAUL^"}}, "JOHN PAUL", kNoValue, kNoValue},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    RecordBuilder builder;
    for (const auto& [slot, text] : c.slots) builder.set(slot, text);
    const auto record = builder.build();
    EXPECT_EQ(deriveText(deriveFirstName, record), c.first);
    EXPECT_EQ(deriveText(deriveMiddleName, record), c.middle);
    EXPECT_EQ(deriveText(deriveLastName, record), c.last);
  }
}

TEST(NameSuffix, SlotFirstThenSuffixWordsOfTheName) {
  struct Case {
    std::string_view suffixSlot, full, family, suffix;
  };
  constexpr Case kCases[] = {
      {"III", "SMITH,JOHN,JR", "", "III"},
      {" II ", "", "", "II"},
      {"none", "SMITH,JOHN,JR", "", kNoValue},  // NONE in any case means none, even with a suffix in the name
      {"", "SMITH JR,JOHN", "", "JR"},
      {"", "SMITH,JOHN,V", "", kNoValue},   // V is no suffix
      {"", "SMITH,JOHN,jr", "", kNoValue},  // compared exactly
      {"", "SMITH PH.D", "", "PH.D"},
      {"", "", "SMITH 3RD", "3RD"},  // the family name when there is no full name
      {"", "", "", kNoValue},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.suffixSlot) + "|" + std::string(c.full) + "|" + std::string(c.family));
    RecordBuilder builder;
    if (!c.suffixSlot.empty()) builder.set(SLOT_NAME_SUFFIX, c.suffixSlot);
    if (!c.full.empty()) builder.set(SLOT_FULL_NAME, c.full);
    if (!c.family.empty()) builder.set(SLOT_FAMILY_NAME, c.family);
    EXPECT_EQ(deriveText(deriveNameSuffix, builder.build()), c.suffix);
  }
}

TEST(NamePrefix, TrimmedSlot) {
  EXPECT_EQ(deriveText(deriveNamePrefix, RecordBuilder().set(SLOT_NAME_PREFIX, " DR ").build()), "DR");
  EXPECT_EQ(deriveText(deriveNamePrefix, RecordBuilder().set(SLOT_NAME_PREFIX, " \t").build()), kNoValue);
  EXPECT_EQ(deriveText(deriveNamePrefix, RecordBuilder().build()), kNoValue);
}

TEST(FullName, FromTheSlotOrFromItsParts) {
  struct Case {
    std::string_view label;
    std::vector<std::pair<std::int32_t, std::string_view>> slots;
    std::string_view full;
  };
  // clang-format off
  const Case kCases[] = {
      {"separators become spaces", {{SLOT_FULL_NAME, "SMITH$JOHN$A"}}, "SMITH JOHN A"},
      {"runs collapse, ends trimmed", {{SLOT_FULL_NAME, "-,SMITH, ,JOHN@@A/ "}}, "SMITH JOHN A"},
      {"all four parts", {{SLOT_FAMILY_NAME, "SMITH"}, {SLOT_FIRST_NAME, "JOHN"}, {SLOT_MIDDLE_NAME, "A"},
       {SLOT_NAME_SUFFIX, "JR"}}, "JOHN A SMITH JR"},
      {"middle only", {{SLOT_MIDDLE_NAME, "PAUL"}}, "PAUL"},
      {"separators only fall back to the parts", {{SLOT_FULL_NAME, ",$@"}, {SLOT_FIRST_NAME, "JOHN"}}, "JOHN"},
      {"NONE marks an empty field", {{SLOT_FULL_NAME, "JOHN,A,,SMITH,NONE"}}, "JOHN A SMITH"},
      {"NONE anywhere", {{SLOT_FULL_NAME, "NONE SMITH$NONE$JOHN NONE"}}, "SMITH JOHN"},
      {"NONE alone falls back to the parts", {{SLOT_FULL_NAME, "NONE,"}, {SLOT_FIRST_NAME, "JOHN"}}, "JOHN"},
      {"only the whole upper-case word", {{SLOT_FULL_NAME, "NONEZ,none,ANONE"}}, "NONEZ none ANONE"},
      {"nothing", {}, kNoValue},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    RecordBuilder builder;
    for (const auto& [slot, text] : c.slots) builder.set(slot, text);
    EXPECT_EQ(deriveText(deriveFullName, builder.build()), c.full);
  }
}

TEST(CleanNameText, WordsSuffixesAndNone) {
  struct Case {
    std::string_view in, out;
  };
  constexpr Case kCases[] = {
      {"JOHN JR", "JOHN"},
      {"JR JOHN", "JR JOHN"},  // the first word always stays
      {"NONE", ""},
      {"NONE JOHN", "JOHN"},
      {"JOHN,$@PAUL", "JOHN PAUL"},
      {" \tJOHN\r\n", "JOHN"},
      {"--", ""},
      {"JOHN -- PAUL", "JOHN PAUL"},
      {"none", "none"},  // only the upper-case NONE is dropped
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    std::string buffer(c.in);
    buffer.push_back('\0');
    const Status status = cleanNameText(buffer.data(), static_cast<std::int32_t>(buffer.size()));
    EXPECT_EQ(status, c.out.empty() ? kStatusNoValue : kStatusOk);
    EXPECT_EQ(std::string(buffer.c_str()), c.out);
  }
  EXPECT_EQ(cleanNameText(nullptr, 8), kStatusBadArgument);
  // Without a NUL inside size, the last byte is not read and becomes the terminator at most.
  char unterminated[4] = {'A', 'B', 'C', 'D'};
  EXPECT_EQ(cleanNameText(unterminated, 4), kStatusOk);
  EXPECT_EQ(std::string(unterminated), "ABC");
}

// A cut name is the front of the whole one; the full name keeps one byte of the buffer spare.
}  // namespace
}  // namespace quorix
