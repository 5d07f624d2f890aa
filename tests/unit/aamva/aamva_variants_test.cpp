// The 27 AAMVA variants: each accepts the layout it was made for and tells its documents apart from the others';
// hostile texts leave every variant standing; the parse picks the variant that explains a text best.
#include "decoders/aamva/aamva_variants.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/instance.h"
#include "decoders/aamva/aamva_pipeline.h"
#include "unit/aamva/aamva_texts.h"

namespace quorix {
namespace {

using testing::aamvaText;
using testing::decodeAs;
using testing::headerOf;
using testing::Parse;
using testing::standardHeader;
using testing::Subfile;
using testing::version1Header;

const std::vector<std::string> k2000Elements = {
    "DAASAMPLE,JANE,Q", "DAQD1234567", "DAG1 MAIN ST", "DAIRICHMOND", "DAJVA", "DBB19900102", "DBA20300102", "DBCF"};
const std::vector<std::string> k2003Elements = {"DCSSAMPLE", "DCTJANE Q",   "DAQD1234567",
                                                "DAJVA",     "DBB19900102", "DCGUSA"};

// Headers of the non-standard layouts, each exactly as long as its variant's header: version 0 or 1 in one
// character and two characters of entries at their end.
const std::string kAamva36Header = "@\n\x1e\rAAMVA36014001";  // issuer number over the last "A" of "AAMVA36"
const std::string kShortAnsiHeader = "@\n\rANSI 6360140101";  // one character for both separators

std::string dlText(const std::string& header, const std::vector<std::string>& elements, int offsetShift = 0) {
  return aamvaText(header, {{"DL", elements}}, offsetShift);
}

std::vector<std::string> withJurisdiction(std::vector<std::string> elements, std::string_view code) {
  for (std::string& e : elements) {
    if (e.rfind("DAJ", 0) == 0) e = std::string("DAJ").append(code);
  }
  return elements;
}

// Texts of the AAMVA36 layout split between rows 21 and 22 on whether the card is from North Carolina (golden
// aamva36-nc-* and aamva36-virginia-*; here the edges). Each variant's own layout is read whole in the golden corpus.
TEST(AamvaVariants, HeaderAndJurisdictionChecksTellLayoutsApart) {
  struct Case {
    std::string_view name;
    std::int32_t id;
    std::string text;
    Status status;
  };
  const std::string ansiAt5 = dlText("@\n\x1e\rXANSI6360140101", k2000Elements);
  const auto aamva36 = [](std::vector<std::string> elements, int shift) {
    return dlText(kAamva36Header, std::move(elements), shift);
  };
  const std::vector<std::string> residenceOnly = {"DAQD1234567", "DAONC"};
  const std::vector<std::string> noJurisdiction = {"DAQD1234567", "DBCF"};
  const Case kCases[] = {
      {"ANSI one place late passes the wider search", 17, ansiAt5, kStatusOk},
      {"ANSI one place late fails the exact one", 18, dlText("@\n\x1e\rXANSI360140101", k2000Elements, 1),
       kAamvaNoAnsi},
      {"record separator 6 passes ANSI checks", 17,
       dlText(headerOf("ANSI ", "636014", "01", "", 1, "@\n6\r"), k2000Elements), kStatusOk},
      {"record separator 6 fails the AAMVA check", 23,
       dlText(headerOf("AAMVA", "636014", "01", "", 1, "@\n6\r"), k2000Elements), kAamvaBadRecordSeparator},
      {"record separator X fails ANSI checks", 17,
       dlText(headerOf("ANSI ", "636014", "01", "", 1, "@\nX\r"), k2000Elements), kAamvaBadRecordSeparator},
      {"ANSI where AAMVA is demanded", 23, dlText(version1Header(1), k2000Elements), kAamvaNoFileType},
      {"AAMVA word missing, separator not tested", 24, dlText("@\n\r ANSI 16360101", k2000Elements), kAamvaNoAamvaWord},
      {"AAMVA37 is not AAMVA36", 21, dlText("@\n\x1e\rAAMVA37014001", k2000Elements), kAamvaNoFileType},
      {"AAMVA36 with a bad separator", 21, dlText("@\n\x1f\rAAMVA36014001", k2000Elements), kAamvaBadRecordSeparator},
      {"AAMVA36 one place late", 20, dlText("@\n\r AAMVA3614001", k2000Elements), kAamvaNoFileType},
      {"2003 layout wants record separator 1E", 28,
       dlText(headerOf("ANSI ", "636014", "02", "00", 1, "@\n\x1c\r"), k2003Elements), kAamvaBadRecordSeparator},
      {"same header without that demand", 29,
       dlText(headerOf("ANSI ", "636014", "02", "", 1, "@\n\x1c\r"), k2003Elements), kStatusOk},
      {"residence NC leaves 21", 21, aamva36(residenceOnly, 0), kAamvaJurisdictionIsNc},
      {"no jurisdiction stays with 21", 21, aamva36(noJurisdiction, 0), kStatusOk},
      {"lower-case nc is not NC", 22, aamva36(withJurisdiction(k2000Elements, "nc"), -1), kAamvaJurisdictionNotNc},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decodeAs(c.id, c.text)->status, c.status);
  }
}

TEST(AamvaVariants, LocatorsAndDesignators) {
  struct Case {
    std::string_view name;
    std::int32_t id;
    std::string text;
    Status status;
    std::int32_t slot;
    std::string_view value;
  };
  const Case kCases[] = {
      // A designated length shorter than the subfile: counted behind the subfile type, or from it on.
      {"length counted behind the type", 25, kShortAnsiHeader + "DL00280009DLDAQ1\nDAJVA\r", kStatusOk,
       SLOT_JURISDICTION, "V"},
      {"fixed position beyond the text", 27, version1Header(1) + "DL00190030DLDAQ5\r", kAamvaShortSubfile,
       SLOT_DOCUMENT_TYPE, "DL"},
      {"type-only designator of another kind", 32, standardHeader(3, 1) + "ZA0027DAQ5\nDCSSAMPLE\r", kStatusOk,
       SLOT_DOCUMENT_TYPE, ""},
      {"type-only designator needs two characters", 32, standardHeader(3, 1) + "Z", kAamvaBadDesignator,
       SLOT_DOCUMENT_TYPE, ""},
      {"SL designator after a DL one", 35, headerOf("ANSI ", "636014", "03", "00", 2) + "DL00410010SL00000100SLDAQ7\r",
       kStatusOk, SLOT_LICENCE_NUMBER_ALT, "7"},
      {"SL lead-in ending in a digit", 35, standardHeader(3, 1) + "SL00000100" + "S1" + "9DAQ7\r", kStatusOk,
       SLOT_LICENCE_NUMBER_ALT, "7"},
      {"SL offset beyond the text", 35, standardHeader(3, 1) + "SL09990100SLDAQ7\r", kAamvaBadDesignator,
       SLOT_DOCUMENT_TYPE, "DL"},
      {"SL lead-in beyond the text", 35, standardHeader(3, 1) + "SL00050100SLDAQ7\r", kAamvaShortSubfile,
       SLOT_DOCUMENT_TYPE, "DL"},
      {"only DL designators for the SL variant", 35, dlText(standardHeader(3, 1), k2003Elements), kAamvaBadDesignator,
       SLOT_DOCUMENT_TYPE, ""},
      {"exact offset loses the type to the one-late locator", 18,
       dlText(headerOf("ANSI", "636014", "01", "", 1), k2000Elements), kStatusOk, SLOT_FULL_NAME, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto run = decodeAs(c.id, c.text);
    EXPECT_EQ(run->status, c.status);
    EXPECT_EQ(run->slot(c.slot), c.value);
  }
}

TEST(AamvaSelection, MostSlotsWinThenTheEarlierRow) {
  // The one-late locator of 19 loses the first element; with it repeated later both explain the same slots.
  std::vector<std::string> repeated = k2000Elements;
  repeated.insert(repeated.begin(), "DAQX");
  const std::string tie = dlText(version1Header(1), repeated);
  EXPECT_EQ(decodeAs(17, tie)->filledSlots(), decodeAs(19, tie)->filledSlots());
  for (const std::string& text : {dlText(version1Header(1), {"DAASAMPLE", "DAQD1234567"}), tie}) {
    SCOPED_TRACE(text);
    const Parse parse(text);
    ASSERT_EQ(parse.status, kStatusOk);
    EXPECT_EQ(parse.instance->record.decoderId, 17);
    EXPECT_EQ(parse.slot(SLOT_LICENCE_NUMBER), "D1234567");
  }
}

}  // namespace
}  // namespace quorix
