// The element vocabularies of the AAMVA editions and the scanner that cuts a subfile into elements.
#include "decoders/aamva/element_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decoders/aamva/aamva_pipeline.h"
#include "unit/aamva/aamva_texts.h"

namespace quorix {
namespace {

using namespace std::string_view_literals;

// Scans data with a table into a fresh record, elements ended by the given terminators.
struct Scan {
  testing::Decoded run;
  AamvaPipeline p;
  Status status;
  Scan(std::string_view data, const char* terminators, const ElementTable& table = ElementTable2009) {
    (void)initAamvaPipeline(p, 38, run.record, run.instance);
    status = scanElements(p, TextSpan{data.data(), static_cast<std::int32_t>(data.size())}, terminators, table.rows,
                          table.count);
  }
};

TEST(ScanElements, CutsAndStores) {
  struct Case {
    std::string_view name;
    std::string_view data;
    const char* terminators;
    Status status;
    std::int32_t slot;
    std::string_view value;
  };
  const Case kCases[] = {
      {"three characters", "DAQ", "\n\r", kAamvaShortSubfile, SLOT_LICENCE_NUMBER, ""},
      {"id alone clears what came before", "DAQ1\nDAQ\nDCSX", "\n\r", kStatusOk, SLOT_LICENCE_NUMBER, ""},
      {"element after an empty one", "DAQ1\nDAQ\nDCSX", "\n\r", kStatusOk, SLOT_FAMILY_NAME, "X"},
      {"leading and repeated terminators", "\n\r\nDAQ1\n\n\nDCSX\r", "\n\r", kStatusOk, SLOT_FAMILY_NAME, "X"},
      {"CR kept then trimmed with separator only", "DAQ1\r\nDCSX", "\n", kStatusOk, SLOT_LICENCE_NUMBER, "1"},
      {"record separator stays in the value",
       "DAQ1\x1e"
       "2\nDCSX",
       "\n\r", kStatusOk, SLOT_LICENCE_NUMBER,
       "1\x1e"
       "2"},
      {"two ids share a slot", "DCSLATER\nDABEARLIER\nDCSLAST", "\n\r", kStatusOk, SLOT_FAMILY_NAME, "LAST"},
      {"high byte in the id", "D\xc1Q1\nDCSX", "\n\r", kStatusOk, SLOT_LICENCE_NUMBER, ""},
      {"short elements are skipped", "DA\nQ\nDAQ7", "\n\r", kStatusOk, SLOT_LICENCE_NUMBER, "7"},
      {"no terminator: one element to the end", "DAQ1 DCSX", "\n\r", kStatusOk, SLOT_LICENCE_NUMBER, "1 DCSX"},
      {"jurisdiction subfile scanned too", "DAQ1\rZVZVA9\nDAJVA\r", "\n\r", kStatusOk, SLOT_JURISDICTION, "VA"},
      {"empty terminator set", "DAQ1\nDCSX", "", kStatusOk, SLOT_LICENCE_NUMBER, "1\nDCSX"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Scan scan(c.data, c.terminators);
    EXPECT_EQ(scan.status, c.status);
    EXPECT_EQ(scan.run.slot(c.slot), c.value);
  }
}

TEST(ParseElements, TerminatorsComeFromTheHeader) {
  struct Case {
    ElementTerminators terminators;
    std::string_view data;
    std::string_view licence;
  };
  // The separator is "|" and the segment terminator "#".
  constexpr Case kCases[] = {
      {ElementTerminators::kSeparatorAndSegmentEnd, "DAQ1#2|DCSX", "1"},
      {ElementTerminators::kSeparatorOnly, "DAQ1#2|DCSX", "1#2"},
      {ElementTerminators::kSeparatorOnly, "DAQ1|DCSX#", "1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.data);
    testing::Decoded run;
    AamvaPipeline p;
    (void)initAamvaPipeline(p, 38, run.record, run.instance);
    p.dataElementSeparator = '|';
    p.segmentTerminator = '#';
    EXPECT_EQ(parseElementsWithTable(p, TextSpan{c.data.data(), static_cast<std::int32_t>(c.data.size())},
                                     ElementTable2009, c.terminators),
              kStatusOk);
    EXPECT_EQ(run.slot(SLOT_LICENCE_NUMBER), c.licence);
  }
  testing::Decoded run;
  AamvaPipeline p;
  (void)initAamvaPipeline(p, 38, run.record, run.instance);
  EXPECT_EQ(parseElementsWithTable(p, TextSpan{nullptr, 8}, ElementTable2009, ElementTerminators::kSeparatorOnly),
            kStatusBadArgument);
}

}  // namespace
}  // namespace quorix
