#include "derive/jurisdiction_corrections.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/instance.h"
#include "derive/address_fields.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::deriveText;
using testing::kNoValue;
using testing::RecordBuilder;
using testing::Slots;

// The corrections are the barcodes' unless a test names another family.
RecordBuilder::Built recordWith(const Slots& slots, std::int32_t group = kGroupAamva) {
  return testing::recordWith(slots, group);
}

TEST(FindJurisdictionCorrection, IinFirstThenJurisdictionExactly) {
  struct Case {
    std::string_view label;
    Slots slots;
    std::string_view code;
  };
  const Case kCases[] = {
      {"IIN beats the printed code", {{SLOT_IIN, "636033"}, {SLOT_JURISDICTION, "CO"}}, "AL"},
      {"residence jurisdiction", {{SLOT_RES_JURISDICTION, "QC"}}, "QC"},
      {"IIN row without code", {{SLOT_IIN, "636048"}, {SLOT_JURISDICTION, "NY"}}, "NY"},
      {"code without IIN row", {{SLOT_JURISDICTION, "LB"}}, "LB"},
      // Newfoundland and Labrador's current code derives the IIN listed under its older one, so it shares its row.
      {"current Newfoundland code", {{SLOT_JURISDICTION, "NL"}}, "NF"},
      {"current Newfoundland code behind an unknown IIN", {{SLOT_IIN, "123456"}, {SLOT_JURISDICTION, "NL"}}, "NF"},
      {"lower case", {{SLOT_JURISDICTION, "al"}}, ""},
      {"uncorrected jurisdiction", {{SLOT_IIN, "636000"}}, ""},
      {"nothing", {}, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(std::string_view(findJurisdictionCorrection(recordWith(c.slots)).code), c.code);
  }
}

TEST(FindJurisdictionCorrection, RememberedRowLastsUntilTheRecordChanges) {
  auto built = recordWith({{SLOT_JURISDICTION, "AL"}});
  FieldRecord& record = built.record;
  const auto code = [&record] { return std::string_view(findJurisdictionCorrection(record).code); };
  rememberJurisdictionCorrection(record);
  EXPECT_EQ(code(), "AL");
  setSlotText(record, SLOT_JURISDICTION, "OH");
  EXPECT_EQ(code(), "OH");
  rememberJurisdictionCorrection(record);
  setSlotText(record, SLOT_IIN, "636033");  // an IIN beats the printed code
  EXPECT_EQ(code(), "AL");
  rememberJurisdictionCorrection(record);
  ASSERT_EQ(resetRecord(record), kStatusOk);
  EXPECT_EQ(code(), "");
  record.correctionRow = 999;  // a row the table does not have is looked up again
  EXPECT_EQ(code(), "");
}

TEST(LicenseNumberCorrections, LetterRules) {
  struct Case {
    std::string_view jurisdiction, number, expected;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {"AZ", "0112345678", "A12345678"},   {"AZ", "011234567", "011234567"},  // nine characters: the rule needs ten
      {"AZ", "01 2345 67", "A234567"},     // ten with spaces, which go
      {"AZ", "01 234 5678", "012345678"},  // eleven: only stripped of spaces
      {"AZ", "0012345678", "0012345678"},  // 00 is no letter
      {"AZ", "2712345678", "2712345678"},  // above 26
      {"AZ", "A112345678", "A112345678"},  // no digits to read
      {"AL", "01234567", "A234567"},       {"AL", "0123456", "0123456"},  // eight at least
      {"CO", "26", "Z"},                   {"CO", "021234567", "021234567"},  // above the maximum of eight
      {"CO", "0", "0"},                    {"CA", "1212345678", "L12345678"},
      {"NY", "05123456789012345678", "E123456789012345678"},
      {"OH", "0102345678", "AB345678"},
      {"OH", "01 2345678", "AB345678"},  // the second pair " 2" reads as 2
      {"OH", "01X2345678", "AX2345678"},  // "X2" reads as no number: no second letter
      {"MN", "123456789012 4", "D123456789012"},  // the last pair " 4" reads as 4
      {"AZ", "4 12345678", "D12345678"},  // and "4 " as 4
      {"AZ", "-112345678", "-112345678"},  // a sign counts: -1 is no letter
      {"OH", "010234567", "010234567"},
      {"MN", "12345678901226", "Z123456789012"},  {"MN", "123456789012", "123456789012"},
      {"MN", "1 345678901226", "Z1 3456789012"},  // spaces kept behind a letter
      {"MN", "12345678901200", "12345678901200"},
      {"MN", "1 3456 89 12 00", "13456891200"},  // fifteen characters ending 00
      {"TX", "01 234", "01 234"},                // no correction: kept as written
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.jurisdiction) + " " + std::string(c.number));
    const auto record = recordWith({{SLOT_JURISDICTION, c.jurisdiction}, {SLOT_LICENCE_NUMBER, c.number}});
    EXPECT_EQ(deriveText(deriveLicenseNumber, record), c.expected);
  }
}

TEST(LicenseNumberCorrections, HookAnswerIsFinalAndBounded) {
  // A hook that finds no number ends the derivation even when another slot holds one.
  const auto noNumber = recordWith({{SLOT_JURISDICTION, "AZ"}, {SLOT_CAC_PERSON_ID, "P9"}});
  EXPECT_EQ(deriveText(deriveLicenseNumber, noNumber), kNoValue);
  const auto spaces = recordWith({{SLOT_JURISDICTION, "WI"}, {SLOT_LICENCE_NUMBER, "   "}});
  EXPECT_EQ(deriveText(deriveLicenseNumber, spaces), kNoValue);

  const auto record = recordWith({{SLOT_JURISDICTION, "OH"}, {SLOT_LICENCE_NUMBER, "0102345678"}});
  EXPECT_EQ(deriveText(deriveLicenseNumber, record, 5), "AB34");  // the bounds test runs it into 1, 2, 8 and 16
  char out[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(formatLicenseWithLetter(record, out, 2, -1, -1, 10), 2);
  EXPECT_EQ(std::string_view(out, 4), "A0##");
  EXPECT_EQ(formatLicenseOhio(record, out, 0), 0);
  EXPECT_EQ(formatLicenseMinnesota(record, nullptr, 4), 0);
}

TEST(AlabamaNames, CommaFieldsOrFallBack) {
  struct Case {
    std::string_view label;
    Slots slots;
    std::string_view first, middle, last, prefix, suffix;
  };
  // clang-format off
  const Case kCases[] = {
      {"five fields", {{SLOT_FULL_NAME, "JOHN,A,DR,SMITH,JR"}}, "JOHN", "A", "SMITH", "DR", "JR"},
      {"empty prefix, NONE suffix", {{SLOT_FULL_NAME, "JOHN,A,,SMITH,NONE"}, {SLOT_NAME_PREFIX, "MR"}},
       "JOHN", "A", "SMITH", "MR", kNoValue},
      {"four fields", {{SLOT_FULL_NAME, " JOHN , PAUL ,, SMITH "}}, "JOHN", "PAUL", "SMITH", kNoValue, kNoValue},
      {"suffix field none in lower case", {{SLOT_FULL_NAME, "JOHN,A,,SMITH,none"}},
       "JOHN", "A", "SMITH", kNoValue, kNoValue},
      {"three fields: default splitters", {{SLOT_FULL_NAME, "SMITH,JOHN,A"}}, "JOHN", "A", "SMITH", kNoValue, kNoValue},
      {"empty first field: default splitters", {{SLOT_FULL_NAME, ",A,,SMITH"}}, "SMITH", kNoValue, "A", kNoValue,
       kNoValue},
  };
  // clang-format on
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    Slots slots = c.slots;
    slots.emplace_back(SLOT_IIN, "636033");
    const auto record = recordWith(slots);
    EXPECT_EQ(deriveText(deriveFirstName, record), c.first);
    EXPECT_EQ(deriveText(deriveMiddleName, record), c.middle);
    EXPECT_EQ(deriveText(deriveLastName, record), c.last);
    EXPECT_EQ(deriveText(deriveNamePrefix, record), c.prefix);
    EXPECT_EQ(deriveText(deriveNameSuffix, record), c.suffix);
  }
}

// Colorado's name rule is for its barcodes (golden 2000-colorado-*); its stripes split names the default way.
TEST(ColoradoNames, OnlyForAamvaBarcodes) {
  const auto record = recordWith({{SLOT_FULL_NAME, "JOHN PAUL SMITH JR"}, {SLOT_JURISDICTION, "CO"}}, kGroupMagstripe);
  EXPECT_EQ(deriveText(deriveFirstName, record), "JOHN");
  EXPECT_EQ(deriveText(deriveMiddleName, record), "PAUL");
  EXPECT_EQ(deriveText(deriveLastName, record), "SMITH JR");
}

// What the one-line address keeps is in the golden corpus (2014-one-line-address-*); a line without a city,
// jurisdiction or postal code only loses its trim characters.
TEST(OneLineAddress, LineWithoutPartsIsTrimmed) {
  const auto record = recordWith({{SLOT_STREET_1, "-7  LAKE DR, "}, {SLOT_IIN, "636028"}});
  EXPECT_EQ(deriveText(deriveAddress1, record), "7 LAKE DR");
  char out[8];
  EXPECT_EQ(oneLineAddress(record, nullptr, 2, out, 8), kStatusBadArgument);
  EXPECT_EQ(oneLineAddress(record, kAddress1Slots, 0, out, 8), kStatusNoValue);
}

}  // namespace
}  // namespace quorix
