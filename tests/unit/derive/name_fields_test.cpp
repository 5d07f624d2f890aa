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
using testing::kNoValue;
using testing::RecordBuilder;

TEST(SplitFullName, SeparateElementsWin) {
  struct Case {
    std::string_view label;
    std::vector<std::pair<std::int32_t, std::string_view>> slots;
    std::string_view first, middle, last;
  };
  // clang-format off
  const Case kCases[] = {
      {"given names", {{SLOT_GIVEN_NAMES, "JOHN PAUL GEORGE"}, {SLOT_FAMILY_NAME, "SMITH"}},
       "JOHN", "PAUL GEORGE", "SMITH"},
      {"given names with commas", {{SLOT_GIVEN_NAMES, ",JOHN,PAUL"}}, "JOHN", "PAUL", kNoValue},
      {"NONE as first name", {{SLOT_FIRST_NAME, "NONE"}, {SLOT_GIVEN_NAMES, "PAUL"}}, kNoValue, kNoValue, kNoValue},
      {"NONE as middle name falls back", {{SLOT_MIDDLE_NAME, "NONE"}, {SLOT_GIVEN_NAMES, "JOHN PAUL"}},
       "JOHN", "PAUL", kNoValue},
      {"blank elements fall back", {{SLOT_FIRST_NAME, "  "}, {SLOT_FULL_NAME, "SMITH,JOHN,A"}}, "JOHN", "A", "SMITH"},
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
      {" II ", "", "", "II"},
      {"none", "SMITH,JOHN,JR", "", kNoValue},  // NONE in any case means none, even with a suffix in the name
      {"", "SMITH,JOHN,jr", "", kNoValue},      // compared exactly
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
      {"runs collapse, ends trimmed", {{SLOT_FULL_NAME, "-,SMITH, ,JOHN@@A/ "}}, "SMITH JOHN A"},
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
      {"none", "none"},  // only the upper-case NONE is dropped
      {"-O'BRIEN/^", "O'BRIEN"},
      {"NONE-", "NONE"},  // trimmed after the NONE test, as each word is
      // Several words that need nothing stay as they are; one thing out of place and the words are rebuilt.
      {"ANNE MARIE LOUISE", "ANNE MARIE LOUISE"},
      {"ANNE  MARIE", "ANNE MARIE"},
      {"ANNE MARIE ", "ANNE MARIE"},
      {"ANNE MARIE JR", "ANNE MARIE"},
      {"ANNE NONE MARIE", "ANNE MARIE"},
      {"ANNE MARIE-", "ANNE MARIE"},
      {"ANNE ^MARIE", "ANNE MARIE"},
      {"ANNE\tMARIE", "ANNE MARIE"},
      {"A B C D E F G H I J K L M N O P Q", "A B C D E F G H I J K L M N O P"},  // sixteen words are kept
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

}  // namespace
}  // namespace quorix
