#include "derive/address_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::kNoValue;
using testing::RecordBuilder;
using testing::recordWith;
using testing::Slots;

// One row per record: every issuer field it yields.
TEST(IssuerFields, FillGapsFromTheTables) {
  struct Case {
    std::string_view label;
    Slots slots;
    std::string_view jurisdiction, iin, issuedBy, country, countryCode;
  };
  constexpr std::string_view kNo = kNoValue;
  // clang-format off
  const Case kCases[] = {
      {"IIN only", {{SLOT_IIN, "636000"}}, "VA", "636000", "VA", "United States", "USA"},
      {"jurisdiction only", {{SLOT_JURISDICTION, "NY"}}, "NY", "636001", "NY", "United States", "USA"},
      {"residence jurisdiction", {{SLOT_RES_JURISDICTION, "ON"}}, "ON", "636012", "ON", "Canada", "CAN"},
      {"lower-case jurisdiction", {{SLOT_JURISDICTION, "va"}}, "va", kNo, kNo, kNo, kNo},
      {"unknown IIN kept", {{SLOT_IIN, "999999"}, {SLOT_JURISDICTION, "PR"}},
       "PR", "999999", kNo, "U.S. Territorial Possessions", kNo},
      {"IIN beats the jurisdiction for issuedBy", {{SLOT_IIN, "636020"}, {SLOT_JURISDICTION, "AL"}},
       "AL", "636020", "CO", "United States", "USA"},
      {"lower-case country code", {{SLOT_COUNTRY_CODE, "gtm"}}, kNo, kNo, kNo, "GUATEMALA", "gtm"},
      {"unknown country code", {{SLOT_COUNTRY_CODE, "XXX"}}, kNo, kNo, kNo, kNo, "XXX"},
      {"country name only", {{SLOT_COUNTRY, "Mexico"}}, kNo, kNo, kNo, "Mexico", "MEX"},
      {"code written as country", {{SLOT_COUNTRY, "ZAF"}}, kNo, kNo, kNo, "ZAF", "ZAF"},
      {"unknown country name", {{SLOT_COUNTRY, "ATLANTIS"}}, kNo, kNo, kNo, "ATLANTIS", kNo},
      {"Mexican state", {{SLOT_JURISDICTION, "JL"}}, "JL", kNo, kNo, "Mexico", "MEX"},
      {"country slot beats jurisdiction", {{SLOT_COUNTRY, "CANADA"}, {SLOT_JURISDICTION, "NY"}},
       "NY", "636001", "NY", "CANADA", "CAN"},
      {"jurisdiction with control bytes", {{SLOT_JURISDICTION, "\tN\x01Y "}}, "N Y", kNo, kNo, kNo, kNo},
      {"nothing", {}, kNo, kNo, kNo, kNo, kNo},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    const auto record = recordWith(c.slots);
    EXPECT_EQ(deriveText(deriveJurisdictionCode, record), c.jurisdiction);
    EXPECT_EQ(deriveText(deriveIin, record), c.iin);
    EXPECT_EQ(deriveText(deriveIssuedBy, record), c.issuedBy);
    EXPECT_EQ(deriveText(deriveCountry, record), c.country);
    EXPECT_EQ(deriveText(deriveCountryCode, record), c.countryCode);
  }
}

TEST(AddressFields, GraphicCopiesAndSlotPriority) {
  struct Case {
    std::string_view label;
    Slots slots;
    std::string_view address1, address2, city, documentType;
  };
  constexpr std::string_view kNo = kNoValue;
  // clang-format off
  const Case kCases[] = {
      {"tab becomes a space, runs collapse", {{SLOT_STREET_1, "12\tMAIN  ST"}, {SLOT_CITY, " SPRING\x7f\x7f" "FIELD "}},
       "12 MAIN ST", kNo, "SPRING FIELD", kNo},
      {"trim set and non-graphic ends", {{SLOT_STREET_1, "\x01-/12 MAIN ST,$ "}, {SLOT_STREET_2, "~APT 4~"}},
       "12 MAIN ST", "APT 4", kNo, kNo},
      {"residence slots when the others are empty",
       {{SLOT_RES_STREET_1, "9 ELM RD"}, {SLOT_RES_STREET_2, "UNIT B"}, {SLOT_RES_CITY, "SALEM"}},
       "9 ELM RD", "UNIT B", "SALEM", kNo},
      {"address line 2 priority", {{SLOT_STREET_2_ALT, "OLD"}, {SLOT_STREET_2, "NEW"}, {SLOT_RES_STREET_2, "RES"}},
       kNo, "NEW", kNo, kNo},
      {"2000 edition line 2", {{SLOT_STREET_2_ALT, "OLD"}, {SLOT_RES_STREET_2, "RES"}}, kNo, "OLD", kNo, kNo},
      {"only trim characters", {{SLOT_STREET_1, " -/- "}}, kNo, kNo, kNo, kNo},
      {"document type kept as written", {{SLOT_DOCUMENT_TYPE, " D  L "}}, kNo, kNo, kNo, "D  L"},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    const auto record = recordWith(c.slots);
    EXPECT_EQ(deriveText(deriveAddress1, record), c.address1);
    EXPECT_EQ(deriveText(deriveAddress2, record), c.address2);
    EXPECT_EQ(deriveText(deriveCity, record), c.city);
    EXPECT_EQ(deriveText(deriveDocumentType, record), c.documentType);
  }
}

// Where the postal code comes from is in the golden corpus (2014-postal-code-*); a street line of spaces, which an
// AAMVA element cannot hold, gives none, and so does one of another jurisdiction (its barcode reads badly upside
// down, so it is no golden case).
TEST(PostalCode, StreetLinesThatGiveNone) {
  for (const Slots& slots : {Slots{{SLOT_STREET_1, "            "}, {SLOT_CITY, "X"}, {SLOT_JURISDICTION, "Y"}},
                             Slots{{SLOT_STREET_1, "123 MAIN ST SPRINGFIELD MO 65801"},
                                   {SLOT_CITY, "SPRINGFIELD"},
                                   {SLOT_JURISDICTION, "IL"}}}) {
    EXPECT_EQ(deriveText(derivePostalCode, recordWith(slots)), kNoValue);
  }
}

TEST(LicenseNumber, SlotPriorityAndSpareByte) {
  struct Case {
    Slots slots;
    std::string_view number;
  };
  const Case kCases[] = {
      {{{SLOT_LICENCE_NUMBER_ALT, "B2"}, {SLOT_LICENCE_NUMBER, "A1 2"}}, "A1 2"},  // kept as written
      {{{SLOT_CAC_PERSON_ID, "P9"}, {SLOT_LICENCE_NUMBER_ALT, "B2"}}, "B2"},
      {{{SLOT_CAC_PERSON_ID, "P9"}, {SLOT_CAC_PERSON_NUMBER, "N8"}}, "N8"},
      {{{SLOT_CAC_PERSON_ID, "P9"}}, "P9"},
      {{}, kNoValue},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(deriveText(deriveLicenseNumber, recordWith(c.slots)), c.number);
  }
  // Without a correction the number keeps one byte of the buffer spare.
  const auto record = recordWith({{SLOT_LICENCE_NUMBER, "123456789"}});
  EXPECT_EQ(deriveText(deriveLicenseNumber, record, 8), "123456");
  EXPECT_EQ(deriveText(deriveLicenseNumber, record, 2), kNoValue);
}

}  // namespace
}  // namespace quorix
