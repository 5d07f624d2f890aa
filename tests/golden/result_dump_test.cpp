// The dump formats scripts and golden files rely on: escaping, line shapes, the error form, and the clock option.
#include "cli/result_dump.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "core/field_record.h"
#include "core/instance.h"
#include "unit/support/parse_outcome.h"

namespace quorix {
namespace {

using testing::Instance;

using ::testing::HasSubstr;
using ::testing::Not;

// An instance whose record holds exactly the given slots, as if decoder 0/39 had filled them.
Instance instanceWith(std::initializer_list<std::pair<std::int32_t, const char*>> slots) {
  Instance instance(createInstance());
  constexpr std::string_view kNothing = "no decoder reads this";
  // The first parse gives the instance its buffers and lends the arena to the record.
  (void)parseBufferAt(instance.get(), kNothing.data(), static_cast<std::int32_t>(kNothing.size()), kGoldenNow);
  EXPECT_EQ(resetRecord(instance->record), kStatusOk);
  for (const auto& [slot, text] : slots) EXPECT_NE(setSlotText(instance->record, slot, text), nullptr);
  instance->record.group = kGroupAamva;
  instance->record.decoderId = 39;
  return instance;
}

TEST(ResultDump, FailedParseShowsOnlyItsStatus) {
  struct Case {
    Status status;
    std::string_view text, json;
  };
  constexpr Case kCases[] = {
      {kStatusNoDecoder, "status=-25\n",
       R"({"file": "a.in", "status": -25, "error": "no decoder accepted the input"})"},
      {-3, "status=-3\n",
       R"({"file": "a.in", "status": -3, "error": "the decoder that recognised the input failed with status -3"})"},
  };
  // Slots left from the last attempt must not leak into a failed result.
  Instance instance = instanceWith({{SLOT_FAMILY_NAME, "SAMPLE"}});
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(dumpText(*instance, c.status, {.slots = true, .clock = std::nullopt}), c.text);
    EXPECT_EQ(dumpJson(*instance, "a.in", c.status, {.slots = true, .clock = std::nullopt}), c.json);
  }
}

TEST(ResultDump, TextLinesInOrderWithEscapedBytes) {
  Instance instance = instanceWith({{SLOT_STANDARD, "AAMVA DL/ID 2010"}, {SLOT_FAMILY_NAME, "O\x01N\xE9"}});
  const std::string text = dumpText(*instance, kStatusOk, {.slots = true, .clock = DateTime{2030, 1, 15, 10, 0, 0}});
  EXPECT_TRUE(text.starts_with("now=2030-01-15T10:00:00\nstatus=0\ndecoder=0/39\n")) << text;
  EXPECT_THAT(text, HasSubstr("\nslot.025.SLOT_FAMILY_NAME=O\\x01N\\xE9\n"));
  EXPECT_THAT(text, HasSubstr("\nslot.086.SLOT_STANDARD=AAMVA DL/ID 2010\n"));
  EXPECT_LT(text.find("slot.025."), text.find("slot.086.")) << "slots are listed by number";
  EXPECT_TRUE(text.ends_with("\n"));

  const std::string withoutSlots = dumpText(*instance, kStatusOk, {.slots = false, .clock = std::nullopt});
  EXPECT_TRUE(withoutSlots.starts_with("status=0\ndecoder=0/39\n")) << withoutSlots;
  EXPECT_THAT(withoutSlots, Not(HasSubstr("slot.")));
}

TEST(ResultDump, JsonEscapesAndNamesTheStandard) {
  struct Case {
    const char* standard;  // null: slot 86 stays empty
    std::string_view decoder;
  };
  constexpr Case kCases[] = {
      {"AAMVA DL/ID 2010", R"("decoder": {"group": 0, "id": 39, "standard": "AAMVA DL/ID 2010"})"},
      {nullptr, R"("decoder": {"group": 0, "id": 39, "standard": null})"},
      {"A\"B\\C\x1F\xE9", R"("decoder": {"group": 0, "id": 39, "standard": "A\"B\\C\u001F\u00E9"})"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.decoder);
    Instance instance = c.standard != nullptr ? instanceWith({{SLOT_STANDARD, c.standard}}) : instanceWith({});
    const std::string json = dumpJson(*instance, "dir/\"odd\".in", kStatusOk, {.slots = false, .clock = {}});
    EXPECT_TRUE(json.starts_with(R"({"file": "dir/\"odd\".in", "status": 0, )")) << json;
    EXPECT_THAT(json, HasSubstr(c.decoder));
    EXPECT_THAT(json, HasSubstr(R"("fields": {)"));
    EXPECT_THAT(json, Not(HasSubstr("\n")));
    EXPECT_TRUE(json.ends_with("}}")) << json;
  }
}

TEST(ResultDump, JsonSlotsOnRequest) {
  Instance instance = instanceWith({{SLOT_FAMILY_NAME, "SAMPLE"}, {SLOT_FIRST_NAME, "MICHAEL"}});
  EXPECT_THAT(dumpJson(*instance, "x", kStatusOk, {.slots = true, .clock = {}}),
              HasSubstr(R"("slots": {"SLOT_FAMILY_NAME": "SAMPLE", "SLOT_FIRST_NAME": "MICHAEL"}})"));
  EXPECT_THAT(dumpJson(*instance, "x", kStatusOk, {.slots = false, .clock = {}}), Not(HasSubstr("\"slots\"")));
}

TEST(ResultDump, RepairsInBitOrderAfterTheDecoderAndAbsentWhenNone) {
  struct Case {
    RepairSet repairs;
    std::string_view textLine, jsonMember;
  };
  constexpr Case kCases[] = {
      {0, "", ""},
      {kRepairPrefixRemoved, "decoder=0/39\nrepairs=prefix removed\n", "}, \"repairs\": [\"prefix removed\"], "},
      {kRepairNewerEditionReadAs2020 | kRepairSeparatorsRestored,
       "decoder=0/39\nrepairs=separators restored,newer edition read as 2020\n",
       "}, \"repairs\": [\"separators restored\", \"newer edition read as 2020\"], "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.repairs);
    const Instance instance = instanceWith({{SLOT_FAMILY_NAME, "DOE"}});
    instance->repairs = c.repairs;
    const std::string text = dumpText(*instance, kStatusOk, {.slots = false, .clock = {}});
    const std::string json = dumpJson(*instance, "x", kStatusOk, {.slots = false, .clock = {}});
    if (c.repairs == 0) {
      EXPECT_THAT(text, Not(HasSubstr("repairs")));
      EXPECT_THAT(json, Not(HasSubstr("repairs")));
    } else {
      EXPECT_THAT(text, HasSubstr(c.textLine));
      EXPECT_THAT(json, HasSubstr(c.jsonMember));
    }
  }
}

TEST(ParseDateTime, AcceptsOnlyRealTimesInTheOneLayout) {
  struct Case {
    std::string_view text;
    bool valid;
  };
  constexpr Case kCases[] = {
      {"2024-06-15T12:00:00", true},  {"2024-02-29T00:00:00", true},  {"2023-02-29T00:00:00", false},
      {"1900-02-29T00:00:00", false}, {"2000-02-29T23:59:59", true},  {"2024-04-31T00:00:00", false},
      {"2024-13-01T00:00:00", false}, {"2024-00-10T00:00:00", false}, {"2024-06-00T00:00:00", false},
      {"2024-06-15T24:00:00", false}, {"2024-06-15T12:60:00", false}, {"2024-06-15T12:00:60", false},
      {"2024-06-15 12:00:00", false}, {"2024-06-15T12:00", false},    {"2024-06-15T12:00:000", false},
      {"+024-06-15T12:00:00", false}, {"2024-6-15T12:00:000", false}, {"", false},
      {"0000-01-01T00:00:00", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const std::optional<DateTime> time = parseDateTime(c.text);
    ASSERT_EQ(time.has_value(), c.valid);
    if (c.valid) {
      EXPECT_EQ(formatDateTime(*time), c.text);
    }
  }
}

TEST(ParseDateTime, FieldsLandWhereTheyBelong) {
  const DateTime t = parseDateTime("2030-01-15T10:04:59").value_or(DateTime{});
  EXPECT_EQ((std::array{t.year, t.month, t.day, t.hour, t.minute, t.second}), (std::array{2030, 1, 15, 10, 4, 59}));
}

}  // namespace
}  // namespace quorix
