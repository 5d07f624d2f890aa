// Whole parses of invented AAMVA barcode texts of several editions, read back through the name, address and
// issuer derivations.
#include <gtest/gtest.h>
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "unit/aamva/aamva_texts.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::aamvaText;
using testing::deriveText;
using testing::standardHeader;
using testing::Subfile;
using testing::version1Header;

constexpr std::string_view kNoValue = "<status -26>";

TEST(AamvaDerivations, EditionsGiveNamesAddressAndIssuer) {
  struct Case {
    std::string_view label;
    std::string text;
    std::vector<std::pair<FieldDerivation, std::string_view>> fields;
  };
  const Case kCases[] = {
      {"2014 edition, California",
       aamvaText(standardHeader(8, 1, "636014"),
                 {{"DL",
                   {"DAQD1234567", "DCSSMITH", "DACJOHN", "DADALLEN", "DCUJR", "DAG123 MAIN ST", "DAHAPT 4",
                    "DAISACRAMENTO", "DAJCA", "DAK958140000", "DBB01021990", "DBA01022030"}}}),
       {{deriveFirstName, "JOHN"},
        {deriveMiddleName, "ALLEN"},
        {deriveLastName, "SMITH"},
        {deriveNameSuffix, "JR"},
        {deriveFullName, "JOHN ALLEN SMITH JR"},
        {deriveAddress1, "123 MAIN ST"},
        {deriveAddress2, "APT 4"},
        {deriveCity, "SACRAMENTO"},
        {derivePostalCode, "958140000"},
        {deriveJurisdictionCode, "CA"},
        {deriveIin, "636014"},
        {deriveIssuedBy, "CA"},
        {deriveCountry, "United States"},
        {deriveCountryCode, "USA"},
        {deriveLicenseNumber, "D1234567"},
        {deriveDocumentType, "DL"}}},
      {"2000 edition, full name only",
       aamvaText(version1Header(1, "636000"),
                 {{"DL", {"DAQT12345678", "DAASMITH,JOHN,A", "DAG1 ELM RD", "DAIRICHMOND", "DAJVA", "DAK23219"}}}),
       {{deriveFirstName, "JOHN"},
        {deriveMiddleName, "A"},
        {deriveLastName, "SMITH"},
        {deriveNameSuffix, kNoValue},
        {deriveFullName, "SMITH JOHN A"},
        {deriveAddress1, "1 ELM RD"},
        {deriveCity, "RICHMOND"},
        {derivePostalCode, "23219"},
        {deriveIssuedBy, "VA"},
        {deriveLicenseNumber, "T12345678"}}},
      {"2005 edition, Arizona letter and given names",
       aamvaText(standardHeader(3, 1, "636026"), {{"DL",
                                                   {"DAQ0112345678", "DCSDOE", "DCTJANE MARIE", "DAG9 PALM WAY",
                                                    "DAIPHOENIX", "DAJAZ", "DAK85001", "DBB19900102"}}}),
       {{deriveFirstName, "JANE"},
        {deriveMiddleName, "MARIE"},
        {deriveLastName, "DOE"},
        {deriveFullName, "JANE MARIE DOE"},
        {deriveJurisdictionCode, "AZ"},
        {deriveLicenseNumber, "A12345678"}}},
      {"2014 edition, Ontario one-line address",
       aamvaText(standardHeader(8, 1, "636012"),
                 {{"DL",
                   {"DAQS1234 56789 01234", "DCSTREMBLAY", "DACMARIE", "DAG12 MAIN ST TORONTO ON M5V2T6", "DAITORONTO",
                    "DAJON", "DAKM5V2T6", "DBB01021990", "DBA01022030"}}}),
       {{deriveAddress1, "12 MAIN ST"},
        {deriveCity, "TORONTO"},
        {derivePostalCode, "M5V2T6"},
        {deriveCountry, "Canada"},
        {deriveCountryCode, "CAN"},
        {deriveLicenseNumber, "S12345678901234"}}},
      {"2000 edition, Alabama comma fields",
       aamvaText(version1Header(1, "636033"), {{"DL", {"DAAJOHN,A,,SMITH,JR", "DAQ01234567", "DAJAL"}}}),
       {{deriveFirstName, "JOHN"},
        {deriveMiddleName, "A"},
        {deriveLastName, "SMITH"},
        {deriveNameSuffix, "JR"},
        {deriveNamePrefix, kNoValue},
        {deriveLicenseNumber, "A234567"}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ParserInstance* instance = createInstance();
    ASSERT_NE(instance, nullptr);
    const Status status = parseBufferAt(instance, c.text.data(), static_cast<std::int32_t>(c.text.size()),
                                        DateTime{2024, 6, 15, 12, 0, 0});
    EXPECT_EQ(status, kStatusOk);
    EXPECT_EQ(instance->record.group, kGroupAamva);
    for (const auto& [derivation, expected] : c.fields) EXPECT_EQ(deriveText(derivation, instance->record), expected);
    destroyInstance(instance);
  }
}

}  // namespace
}  // namespace quorix
