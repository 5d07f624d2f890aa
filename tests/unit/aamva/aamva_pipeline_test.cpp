// The shared AAMVA pipeline: header checks, the designator walk and reading, where the subfile data starts, and
// how element values are stored.
#include "decoders/aamva/aamva_pipeline.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "unit/aamva/aamva_texts.h"

namespace quorix {
namespace {

using namespace std::string_view_literals;
using testing::aamvaText;
using testing::decodeAs;
using testing::headerOf;
using testing::kSampleElements;
using testing::standardHeader;

// A pipeline with the defaults of one variant, on a record of its own.
struct Pipeline {
  testing::Decoded run;
  AamvaPipeline p;
  explicit Pipeline(std::int32_t id) { EXPECT_EQ(initAamvaPipeline(p, id, run.record, run.instance), kStatusOk); }
};

TEST(AamvaPipeline, UnknownIdLeavesEveryHookEmpty) {
  Pipeline pipeline(41);
  EXPECT_EQ(initAamvaPipeline(pipeline.p, 16, pipeline.run.record, pipeline.run.instance), kAamvaNoDescriptor);
  EXPECT_EQ(pipeline.p.decode, nullptr);
  EXPECT_EQ(pipeline.p.storeElement, nullptr);
  EXPECT_EQ(pipeline.p.descriptor.headerLength, 0);
}

TEST(AamvaPipeline, HeaderChecks) {
  const std::string v8 = aamvaText(standardHeader(8, 1), {{"DL", kSampleElements}});
  const std::string v3 = aamvaText(standardHeader(3, 1), {{"DL", kSampleElements}});
  const std::string v4 = aamvaText(standardHeader(4, 1), {{"DL", kSampleElements}});
  std::string spacedVersion = v8;
  spacedVersion.replace(15, 2, " 8");
  std::string badVersion = v8;
  badVersion.replace(15, 2, "8A");
  std::string badEntries = v8;
  badEntries.replace(19, 2, "1X");
  struct Case {
    std::string_view name;
    std::int32_t id;
    std::string text;
    Status status;
  };
  const Case kCases[] = {
      {"standard version 8", 41, v8, kStatusOk},
      {"one past the header reaches the designator", 41, v8.substr(0, 22), kAamvaBadDesignator},
      {"space before the compliance mark", 41, " " + v8, kAamvaNoComplianceMark},
      {"version with a leading space", 41, spacedVersion, kStatusOk},
      {"version not numeric", 41, badVersion, kAamvaBadVersion},
      {"entry count not numeric", 41, badEntries, kAamvaBadEntryCount},
      {"version 3 where 3 is demanded", 30, v3, kStatusOk},
      {"version 4 where 3 is demanded", 30, v4, kAamvaBadVersion},
      // Read one place early, the issuer number's last digit and the version's first make "40", a newer edition;
      // the directory then lies one place off.
      {"version 8 read one place early", 42, v8, kAamvaBadDesignator},
      {"version 8 read one place early behind a 0", 42,
       aamvaText(standardHeader(8, 1, "636010"), {{"DL", kSampleElements}}), kAamvaBadVersion},
      {"empty text", 41, "", kStatusBadArgument},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decodeAs(c.id, c.text)->status, c.status);
  }
}

TEST(AamvaPipeline, DecodeRejectsNullTextAndNegativeLength) {
  Pipeline pipeline(41);
  EXPECT_EQ(pipeline.p.decode(pipeline.p, nullptr, 30), kStatusBadArgument);
  EXPECT_EQ(pipeline.p.decode(pipeline.p, "@", -1), kStatusBadArgument);
}

TEST(AamvaPipeline, HeaderFieldsAndEntryCountFloor) {
  Pipeline pipeline(41);
  const std::string text = standardHeader(10, 0, " 6360 ") + "DL00310010DLDAQ1\r";
  ASSERT_EQ(parseHeader(pipeline.p, TextSpan{text.data(), static_cast<std::int32_t>(text.size())}), kStatusOk);
  EXPECT_EQ(pipeline.p.entryCount, 1);  // "00" entries still means one designator
  EXPECT_EQ(pipeline.p.versionNumber, 10);
  EXPECT_EQ(pipeline.p.designatorStart, 21);
  EXPECT_EQ(pipeline.p.dataElementSeparator, '\n');
  EXPECT_EQ(pipeline.p.recordSeparator, '\x1e');
  EXPECT_EQ(pipeline.p.segmentTerminator, '\r');
  EXPECT_EQ(pipeline.run.slot(SLOT_IIN), "6360");  // trimmed of its spaces
}

TEST(AamvaPipeline, ReadHeaderNumber) {
  struct Case {
    std::string_view field;
    bool ok;
    std::int32_t value;
  };
  constexpr Case kCases[] = {{"08", true, 8},
                             {" 8", true, 8},
                             {"-12", true, -12},
                             {"+7", true, 7},
                             {"", true, 0},
                             {"1 2", true, 1},
                             {"8A", false, 0},
                             {"\x80", false, 0},
                             {"+-3", true, 0},
                             {"0000000001234", true, 1234},
                             {"12345678 ", true, 12345678}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.field);
    std::int32_t value = -99;
    const TextSpan field{c.field.data(), static_cast<std::int32_t>(c.field.size())};
    EXPECT_EQ(readHeaderNumber(field, value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
}

TEST(AamvaPipeline, DesignatorWalk) {
  struct Case {
    std::string_view name;
    std::string_view designators;
    std::int32_t entries;
    std::int32_t position;  // from the designator start
  };
  constexpr Case kCases[] = {
      {"jurisdiction subfile first", "ZV00410010DL00510010", 2, 10},
      {"walk ends after the entry count", "ZV00410010ZW00510010DL00610010", 1, 10},
      {"no type at all", "ZV00410010ZW00510010", 2, 20},
      {"stops where fewer than ten remain", "ZV00410010ZW005", 5, 10},
      {"fewer than ten from the start", "DL004", 1, 0},
      {"no entries", "ZV00410010DL00510010", 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Pipeline pipeline(41);
    const std::string text = standardHeader(8, 1) + std::string(c.designators);
    pipeline.p.designatorStart = 21;
    pipeline.p.entryCount = c.entries;
    TextSpan designator;
    ASSERT_EQ(findDesignator(pipeline.p, TextSpan{text.data(), static_cast<std::int32_t>(text.size())}, designator),
              kStatusOk);
    EXPECT_EQ(designator.data - text.data(), 21 + c.position);
    EXPECT_EQ(designator.length, static_cast<std::int32_t>(text.size()) - 21 - c.position);
  }
}

TEST(AamvaPipeline, ParseDesignator) {
  struct Case {
    std::string_view designator;
    Status status;
    std::int32_t kind, offset, length;
    std::string_view documentType;
  };
  // The text around them is 60 characters long.
  constexpr Case kCases[] = {
      {"DL00410019", kStatusOk, kSubfileDl, 41, 19, "DL"},
      {"ID 041  19", kStatusOk, kSubfileId, 41, 19, "ID"},
      {"ZV00410019", kStatusOk, kSubfileNone, 41, 19, ""},
      {"DL00600000", kStatusOk, kSubfileDl, 60, 0, "DL"},  // offset at the very end
      {"DL00610019", kAamvaBadDesignator, 0, 0, 0, "DL"},  // one past the end
      {"DL00A10019", kAamvaBadDesignator, 0, 0, 0, "DL"},
      {"DL0041001X", kAamvaShortSubfile, 0, 0, 0, "DL"},
      {"DL0041001", kAamvaBadDesignator, 0, 0, 0, ""},  // nine characters
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.designator);
    Pipeline pipeline(41);
    const std::string text(60, 'X');
    SubfileDesignator out{.kind = 7, .offset = 7, .length = 7};
    const Status status =
        parseDesignator(pipeline.p, TextSpan{text.data(), 60},
                        TextSpan{c.designator.data(), static_cast<std::int32_t>(c.designator.size())}, out);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(pipeline.run.slot(SLOT_DOCUMENT_TYPE), c.documentType);
    if (status == kStatusOk) {
      EXPECT_EQ(out.kind, c.kind);
      EXPECT_EQ(out.offset, c.offset);
      EXPECT_EQ(out.length, c.length);
    }
  }
}

TEST(AamvaPipeline, LocateSubfileData) {
  struct Case {
    std::string_view name;
    std::string_view text;
    std::int32_t offset;
    std::string_view data;
  };
  constexpr Case kCases[] = {
      {"DLDAA in front of the offset", "HDLDAAJOE\nXXDLDAQ1", 12, "DAAJOE\nXXDLDAQ1"},
      {"DLDAA at the offset is not searched", "HEADERDLDAAJOE", 6, "DAAJOE"},
      {"offset on the L of DL", "HEADERDLDAQ1", 7, "DAQ1"},
      {"offset on a digit in front", "ZVA1DLDAQ1", 3, "DAQ1"},
      {"jurisdiction subfile in front ends in a digit", "ZVZVA1\rDLDAQ1\nDCSX", 7, "DAQ1\nDCSX"},
      {"other text behind a digit and terminator", "ZVA1\rXDAQ1", 5, "\rXDAQ1"},
      {"offset at the end of the text", "HEADER12", 8, ""},
      {"offset 0", "DLDAQ1", 0, "DAQ1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Pipeline pipeline(41);
    TextSpan data;
    const TextSpan text{c.text.data(), static_cast<std::int32_t>(c.text.size())};
    ASSERT_EQ(locateSubfileData(pipeline.p, text, SubfileDesignator{.kind = 1, .offset = c.offset, .length = 5}, data),
              kStatusOk);
    EXPECT_EQ(data.view(), c.data);
  }
  Pipeline pipeline(41);
  TextSpan data;
  EXPECT_EQ(locateSubfileData(pipeline.p, TextSpan{"DL", 2}, SubfileDesignator{.offset = -1}, data),
            kStatusBadArgument);
  EXPECT_EQ(locateSubfileData(pipeline.p, TextSpan{"DL", 2}, SubfileDesignator{.length = -1}, data),
            kStatusBadArgument);
}

// An offset of 0, or one that misses the subfile, finds the subfile by its type right behind the directory.
TEST(AamvaPipeline, LocateSubfileByMarker) {
  const std::string header = standardHeader(8, 1);
  const std::string text = header + "DL00000016DLDCAD\nDAQ1\r";
  struct Case {
    std::string_view name;
    std::int32_t kind;
    std::int32_t offset;
    std::string_view data;
    bool repaired;
  };
  constexpr Case kCases[] = {
      {"offset inside the header", kSubfileDl, 7, "DCAD\nDAQ1\r", true},
      {"offset inside the data", kSubfileDl, 36, "DCAD\nDAQ1\r", true},
      {"exact offset", kSubfileDl, 31, "DCAD\nDAQ1\r", false},
      {"offset on the L", kSubfileDl, 32, "DCAD\nDAQ1\r", false},
      {"marker of another type", kSubfileId, 7, "I 636014080001DL00000016DLDCAD\nDAQ1\r", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Pipeline pipeline(41);
    pipeline.p.designatorStart = 21;
    pipeline.p.entryCount = 1;
    TextSpan data;
    const TextSpan span{text.data(), static_cast<std::int32_t>(text.size())};
    ASSERT_EQ(
        locateSubfileData(pipeline.p, span, SubfileDesignator{.kind = c.kind, .offset = c.offset, .length = 16}, data),
        kStatusOk);
    EXPECT_EQ(data.view(), c.data);
    EXPECT_EQ(pipeline.run.record.repairs, c.repaired ? kRepairSubfileFoundByMarker : 0u);
  }
}

TEST(AamvaPipeline, StoreElementTrimsAndClears) {
  Pipeline pipeline(41);
  const auto store = [&](std::string_view value) {
    (void)storeElement(pipeline.p, SLOT_CITY, TextSpan{value.data(), static_cast<std::int32_t>(value.size())});
  };
  store("\t RICHMOND \r\0"sv);
  EXPECT_EQ(pipeline.run.slot(SLOT_CITY), "RICHMOND");
  store("   ");
  EXPECT_EQ(pipeline.run.slot(SLOT_CITY), "");
  store("A\x1e");  // only blanks are trimmed; the parse turns other control bytes into spaces later
  EXPECT_EQ(pipeline.run.slot(SLOT_CITY), "A\x1e");
}

}  // namespace
}  // namespace quorix
