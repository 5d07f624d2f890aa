// The Common Access Card decoders: layouts, base-32 fields, headers, the version 3 stores and the slot 99 choice.
#include "decoders/cac/cac_decoders.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/registry.h"
#include "decoders/cac/cac_pipeline.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::decodeCopy;
using testing::DecodedCopy;
using testing::slotText;

// Fixed-width fields, each padded with spaces to its width; a value wider than its field fails the test.
std::string fixed(std::initializer_list<std::pair<std::string_view, std::size_t>> fields) {
  std::string out;
  for (const auto& [value, width] : fields) {
    EXPECT_LE(value.size(), width) << value;
    std::string field(value);
    field.resize(width, ' ');
    out += field;
  }
  return out;
}

TEST(ReadBase32, ExtendedHexDigitsUpToPadding) {
  struct Case {
    std::string_view field;
    Status status;
    std::uint64_t value;
  };
  constexpr Case kCases[] = {
      {"10", kStatusOk, 32},
      {"V=", kStatusOk, 31},
      {"0", kStatusOk, 0},
      {"=", kStatusOk, 0},
      {"1=ZZ", kStatusOk, 1},  // nothing behind the padding is read
      {"VVVVVVVVVVVV", kStatusOk, (std::uint64_t{1} << 60) - 1},
      {"VVVVVVVVVVVVV", kStatusCacBadDigit, 0},  // 65 bits
      {"W", kStatusCacBadDigit, 0},
      {"a", kStatusCacBadDigit, 0},
      {"\x80", kStatusCacBadDigit, 0},
      {"", kStatusCacBadDigit, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.field);
    std::uint64_t value = 12345;
    EXPECT_EQ(readBase32(TextSpan{c.field.data(), static_cast<std::int32_t>(c.field.size())}, &value), c.status);
    if (c.status == kStatusOk) {
      EXPECT_EQ(value, c.value);
    }
  }
}

// An invented version 1 card: identifiers 1234567 and 12345678, born 17 May 1980, issued 1 March 2021, expiring
// 28 February 2027.
std::string version1(std::string_view version = "1", std::string_view edipi = "00BOOAE",
                     std::string_view issue = "BC7C") {
  // clang-format off
  return fixed({{version, 1}, {"015LK7", 6}, {"S", 1}, {edipi, 7}, {"JOHN", 20}, {"DOE", 26}, {"ATLQ", 4}, {"A", 1},
                {"N", 1}, {"01", 2}, {"CPT", 6}, {"ME", 2}, {"03", 2}, {issue, 4}, {"BEBQ", 4}, {"A", 1}, {"Q", 1}});
  // clang-format on
}

TEST(CacVersion1, LengthDecidesWhereTheFieldsEnd) {
  const std::string card = version1() + "TRAILING";
  struct Case {
    std::size_t length;
    Status status;
    std::string_view family, birth, issue, expiry, middle;
  };
  constexpr Case kCases[] = {
      {97, kStatusOk, "DOE", "19800517", "20210301", "20270228", "Q"},
      {89, kStatusOk, "DOE", "19800517", "20210301", "20270228", "Q"},
      {88, kStatusOk, "DOE", "19800517", "20210301", "20270228", ""},
      {86, kStatusCacFieldCut, "DOE", "19800517", "20210301", "", ""},
      {61, kStatusOk, "DOE", "", "", "", ""},
      {60, kStatusCacFieldCut, "", "", "", "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    const DecodedCopy d = decodeCopy(decodeCacVariant<46>, std::string_view(card).substr(0, c.length));
    EXPECT_EQ(d.status, c.status);
    EXPECT_EQ(d.slot(SLOT_CAC_BARCODE_VERSION), "1");
    EXPECT_EQ(d.slot(SLOT_FIRST_NAME), "JOHN");
    EXPECT_EQ(d.slot(SLOT_FAMILY_NAME), c.family);
    EXPECT_EQ(d.slot(SLOT_BIRTH_DATE_ALT), c.birth);
    EXPECT_EQ(d.slot(SLOT_ISSUE_DATE), c.issue);
    EXPECT_EQ(d.slot(SLOT_EXPIRY_DATE), c.expiry);
    EXPECT_EQ(d.slot(SLOT_MIDDLE_NAME), c.middle);
  }
}

// The first 23 fields the three version 3 layouts A and B share; slot 99 comes first.
std::string version3Front(std::string_view layoutMark, std::string_view name = "DOE JOHN Q",
                          std::string_view height = "60", std::string_view birth = "1980MAY17") {
  // clang-format off
  return fixed({{layoutMark, 1}, {name, 27}, {"123456789", 9}, {"A", 1}, {"987654321", 9}, {"XY", 2}, {height, 2},
                {"180", 3}, {"BR", 2}, {"BL", 2}, {birth, 9}, {"ABCDE", 5}, {"2015JAN01", 9}, {"2016FEB02", 9},
                {"ABC123", 6}, {"2021MAR01", 9}, {"2027FEB28", 9}, {"USAF", 4}, {"M", 1}});
  // clang-format on
}

std::string layoutA(std::string_view mark, std::string_view name = "DOE JOHN Q", std::string_view height = "60",
                    std::string_view birth = "1980MAY17") {
  return "IDUS3ABCD" + version3Front(mark, name, height, birth) +
         fixed({{"O3", 6}, {"AB123", 5}, {"CAPT", 6}, {"1234", 4}, {"SOME UNIT", 27}, {"2030DEC31", 9}, {"XYZ789", 6}});
}

std::string layoutB(std::string_view mark, std::string_view name = "DOE JOHN Q") {
  return "IDUS3ABCD" + version3Front(mark, name) +
         fixed({{"ABCDEF", 6}, {"12345", 5}, {"CAPT", 6}, {"ONE", 3}, {"TWO", 3}});
}

std::string layoutC(std::string_view version = "1", std::string_view name = "ROE JANE") {
  return "IDCV" + std::string(version) + "ABCD" +
         fixed({{"0", 1},         {name, 27},       {"123456789", 9}, {"C", 1},      {"987654321", 9},
                {"F", 1},         {"Z", 1},         {"57", 2},        {"150", 3},    {"BK", 2},
                {"GR", 2},        {"1975DEC05", 9}, {"AGENCY", 23},   {"ABC123", 6}, {"2022JUN30", 9},
                {"2026JUN30", 9}, {"DOD", 4},       {"X", 1},         {"ABCDEF", 6}, {"12345", 5},
                {"GS12", 6},      {"ABCDEFG", 7},   {"ONE", 3},       {"TWO", 3},    {"NOTES", 35}});
}

// The arena left for the name holds 23 bytes: the separator that would not fit is dropped with what follows.
TEST(CacVersion3, FormattedNameIsCutAtTheArenaEnd) {
  const DecodedCopy d = decodeCopy(decodeCacVariant<48>, layoutA("0", "AAAAAAAAAA BBBBBBBBBB CCCC"), 55);
  EXPECT_EQ(d.slot(SLOT_FULL_NAME), "AAAAAAAAAA, BBBBBBBBBB");
  EXPECT_LE(d.record.arenaUsed, d.record.arenaSize);
}

TEST(CacHeaders, StatusesOfEveryDecoder) {
  ASSERT_EQ(layoutA("0").size(), 9u + 182u);
  ASSERT_EQ(layoutB("1").size(), 9u + 142u);
  struct Case {
    const char* label;
    DecodeFunction function;
    std::string text;
    Status status;
  };
  const Case kCases[] = {
      // Slot 99 chooses between the version 3 layouts A and B; each decoder's own card is a golden case.
      {"A by id 49", decodeCacVariant<49>, layoutA("0"), kStatusCacLayout},
      {"B by id 48", decodeCacVariant<48>, layoutB("1"), kStatusCacFieldCut},
      {"A marked 1 by id 48", decodeCacVariant<48>, layoutA("1"), kStatusCacLayout},
      {"B marked 0 by id 49", decodeCacVariant<49>, layoutB("0"), kStatusCacLayout},
      {"header only", decodeCacVariant<48>, "IDUS3ABCD", kStatusCacLayout},
      {"1 by id 47", decodeCacVariant<47>, version1("1"), kStatusCacVersion},
      {"N by id 46", decodeCacVariant<46>, version1("N"), kStatusCacVersion},
      {"version only", decodeCacVariant<46>, "1", kStatusOk},
      {"empty by id 46", decodeCacVariant<46>, "", kStatusBadArgument},
      {"not IDUS", decodeCacVariant<49>, "IDUX3" + layoutB("1").substr(5), kStatusCacHeader},
      {"short for the skip", decodeCacVariant<48>, "IDUS3ABC", kStatusCacHeader},
      {"IDUS by id 50", decodeCacVariant<50>, "IDUS3ABCD" + layoutC().substr(9), kStatusCacHeader},
      {"IDCV and version", decodeCacVariant<50>, "IDCV1", kStatusCacHeader},
      {"empty by id 50", decodeCacVariant<50>, "", kStatusBadArgument},
      {"IDCV by id 48", decodeCacVariant<48>, layoutC(), kStatusCacHeader},
      {"cut inside a field", decodeCacVariant<50>, layoutC().substr(0, 100), kStatusCacFieldCut},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    const DecodedCopy d = decodeCopy(c.function, c.text);
    EXPECT_EQ(d.status, c.status);
    if (c.function == decodeCacVariant<50> && c.status != kStatusOk) {
      EXPECT_EQ(d.slot(SLOT_STANDARD), "");
    }
  }
  FieldRecord record;
  char arena[64];
  ASSERT_EQ(initRecord(record, arena, sizeof arena), kStatusOk);
  ParserInstance instance;
  for (DecodeFunction function :
       {decodeCacVariant<46>, decodeCacVariant<47>, decodeCacVariant<48>, decodeCacVariant<49>, decodeCacVariant<50>}) {
    EXPECT_EQ(function(nullptr, 10, record, instance), kStatusBadArgument);
    EXPECT_EQ(function("IDUS3ABCD", -1, record, instance), kStatusBadArgument);
  }
}

TEST(SplitCacFields, ArgumentsAndCuts) {
  FieldRecord record;
  char arena[256];
  ASSERT_EQ(initRecord(record, arena, sizeof arena), kStatusOk);
  ParserInstance instance;
  constexpr CacField kRows[] = {{.slot = 1, .width = 2}, {.slot = 2, .width = 3}, {.slot = 3, .width = 2}};
  CacPipeline pipeline;
  ASSERT_EQ(initCacPipeline(pipeline, "", kRows, 3, record, instance), kStatusOk);
  struct Case {
    const char* body;
    std::int32_t length;
    const CacField* rows;
    std::int32_t count;
    Status status;
    std::string_view first, second, third;
  };
  const Case kCases[] = {
      {"ABCDEFG", 7, kRows, 3, kStatusOk, "AB", "CDE", "FG"},
      {"ABCDEF", 6, kRows, 3, kStatusOk, "AB", "CDE", "F"},  // padding of the last field trimmed away
      {"ABCDE", 5, kRows, 3, kStatusOk, "AB", "CDE", ""},
      {"ABCD", 4, kRows, 3, kStatusCacFieldCut, "AB", "", ""},
      {"A", 1, kRows, 3, kStatusCacFieldCut, "", "", ""},
      {"A", 1, kRows, 1, kStatusCacFieldCut, "", "", ""},
      {"", 0, kRows, 3, kStatusOk, "", "", ""},
      {nullptr, 0, kRows, 3, kStatusBadArgument, "", "", ""},
      {"AB", -1, kRows, 3, kStatusBadArgument, "", "", ""},
      {"AB", 2, nullptr, 3, kStatusBadArgument, "", "", ""},
      {"AB", 2, kRows, 0, kStatusBadArgument, "", "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.body == nullptr ? "null" : c.body);
    ASSERT_EQ(resetRecord(record), kStatusOk);
    EXPECT_EQ(splitCacFields(pipeline, TextSpan{c.body, c.length}, c.rows, c.count), c.status);
    EXPECT_EQ(slotText(record, 1), c.first);
    EXPECT_EQ(slotText(record, 2), c.second);
    EXPECT_EQ(slotText(record, 3), c.third);
  }
}

}  // namespace
}  // namespace quorix
