// Every name, address and issuer derivation checks its arguments, stays inside its buffer and ends, whatever the
// record holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "derive/address_fields.h"
#include "derive/name_fields.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;

constexpr FieldDerivation kDerivations[] = {
    deriveFirstName,    deriveLastName,    deriveMiddleName, deriveNameSuffix,       deriveNamePrefix, deriveFullName,
    deriveDocumentType, deriveCountryCode, deriveCountry,    deriveJurisdictionCode, deriveIin,        deriveIssuedBy,
    deriveAddress1,     deriveAddress2,    deriveCity,       deriveLicenseNumber,    derivePostalCode};

TEST(Derivations, RejectBadArgumentsUntouched) {
  const auto record = RecordBuilder().set(SLOT_FULL_NAME, "SMITH,JOHN").set(SLOT_IIN, "636014").build();
  const FieldRecord noArena;
  for (FieldDerivation derivation : kDerivations) {
    char out[8] = "keep";
    EXPECT_EQ(derivation(record, nullptr, 8), kStatusBadArgument);
    EXPECT_EQ(derivation(record, out, 0), kStatusBadArgument);
    EXPECT_EQ(derivation(record, out, -3), kStatusBadArgument);
    EXPECT_EQ(derivation(noArena, out, 8), kStatusBadArgument);
    EXPECT_STREQ(out, "keep");
  }
}

// Records made of the words and separators the derivations look for, in every order the generator finds; each
// derivation runs into buffers of 1, 2 and 16 bytes followed by guard bytes; a byte holds no text.
TEST(Derivations, StayInsideSmallBuffersOnGeneratedRecords) {
  const std::vector<std::string> pieces = {"JR",     "NONE",   "A",  "SMITH", "TORONTO", "ON", "AB", "M5V",
                                           "636012", "636033", "01", "26",    " ",       "  ", ",",  "$",
                                           "@",      "-",      "\t", "\x80",  "~",       ""};
  constexpr std::int32_t kSlots[] = {SLOT_IIN,          SLOT_FULL_NAME,   SLOT_STREET_1,       SLOT_CITY,
                                     SLOT_JURISDICTION, SLOT_POSTAL_CODE, SLOT_LICENCE_NUMBER, SLOT_FAMILY_NAME,
                                     SLOT_FIRST_NAME,   SLOT_MIDDLE_NAME, SLOT_NAME_SUFFIX,    SLOT_GIVEN_NAMES,
                                     SLOT_STREET_2,     SLOT_COUNTRY,     SLOT_COUNTRY_CODE,   SLOT_RES_JURISDICTION};
  std::mt19937 random(20261206);
  for (int round = 0; round < 400; ++round) {
    RecordBuilder builder;
    builder.group(static_cast<std::int32_t>(random() % 2));
    for (std::int32_t slot : kSlots) {
      if (random() % 3 == 0) continue;
      std::string text;
      for (auto n = random() % 9; n > 0; --n) text += pieces[random() % pieces.size()] + (random() % 2 ? " " : "");
      builder.set(slot, text);
    }
    const auto record = builder.build();
    for (FieldDerivation derivation : kDerivations) {
      for (std::int32_t size : {1, 2, 16}) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 8, '#');
        const Status status = derivation(record, buffer.data(), size);
        ASSERT_EQ(status, size == 1 ? kStatusNoValue : status) << "no room for any text";
        ASSERT_TRUE(status == kStatusOk || status == kStatusNoValue) << status;
        for (std::size_t i = static_cast<std::size_t>(size); i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#');
        if (status == kStatusOk) {
          ASSERT_LT(std::string(buffer.data()).size(), static_cast<std::size_t>(size));
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorix
