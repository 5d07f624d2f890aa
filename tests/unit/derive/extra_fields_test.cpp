#include <gtest/gtest.h>
#include <quorix/extras.h>

#include <set>
#include <string>
#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::RecordBuilder;

TEST(ExtraFields, NamesAreUnique) {
  std::set<std::string_view> names;
  for (const ExtraField& field : kExtraFields) EXPECT_TRUE(names.insert(field.name).second) << field.name;
}

TEST(ExtraFields, ValuesFromTheirSlots) {
  struct Case {
    std::string_view name;
    std::int32_t slot;
    std::string_view value, expected;
  };
  const Case kCases[] = {
      {"documentDiscriminator", SLOT_DOCUMENT_DISCRIMINATOR, " 0123456789ABC \x01", "0123456789ABC"},
      {"under18Until", SLOT_UNDER_18_UNTIL, "20240301", "03/01/2024"},
      {"under19Until", SLOT_UNDER_19_UNTIL, "03012025", "03/01/2025"},
      {"under21Until", SLOT_UNDER_21_UNTIL, "NONE", "<status -26>"},
      {"middleNameTruncation", SLOT_MIDDLE_NAME_TRUNCATION, "   ", "<status -26>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto record = RecordBuilder().set(c.slot, c.value).build();
    char out[64];
    const Status status = deriveExtra(record, c.name, out, sizeof out);
    EXPECT_EQ(status == kStatusOk ? std::string(out) : "<status " + std::to_string(status) + ">", c.expected);
  }
}

TEST(ExtraFields, LaterEditionAliasesComeFirst) {
  const auto record = RecordBuilder()
                          .set(SLOT_ALIAS_FAMILY_NAME, "NEWER")
                          .set(SLOT_AKA_FAMILY_NAME, "OLDER")
                          .set(SLOT_AKA_SUFFIX, "JR")
                          .build();
  EXPECT_EQ(deriveText(deriveAliasFamilyName, record), "NEWER");
  EXPECT_EQ(deriveText(deriveAliasSuffix, record), "JR");
}

TEST(ExtraFields, BadArgumentsAndCutValues) {
  const auto record =
      RecordBuilder().set(SLOT_DOCUMENT_DISCRIMINATOR, "ABCDEFGH").set(SLOT_UNDER_21_UNTIL, "20240101").build();
  char out[4];
  EXPECT_EQ(deriveExtra(record, "noSuchExtra", out, sizeof out), kStatusBadArgument);
  EXPECT_EQ(deriveExtra(record, "documentDiscriminator", nullptr, 4), kStatusBadArgument);
  ASSERT_EQ(deriveExtra(record, "documentDiscriminator", out, sizeof out), kStatusOk);
  EXPECT_EQ(std::string(out), "ABC");
  // A date cut short would read as a different date.
  EXPECT_EQ(deriveExtra(record, "under21Until", out, sizeof out), kStatusOutputTooSmall);
  EXPECT_EQ(out[0], '\0');
}

}  // namespace
}  // namespace quorix
