// The default field hooks on realistic tracks: track 1 searched by character class, track 2 anchored on "=",
// track 3 at fixed offsets; dates with a fixed clock.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decoders/magstripe/magstripe_pipeline.h"
#include "unit/magstripe/stripe_fixture.h"

namespace quorix {
namespace {

using testing::StripeFixture;

struct Track1Case {
  std::string_view track1;  // as the check leaves it: "%" dropped
  std::string_view jurisdiction, city, name, address;
};

TEST(MagstripeLayouts, Track1FieldsAreFoundByClass) {
  // clang-format off
  constexpr Track1Case kCases[] = {
      {"CAOAKLAND^DOE$JOHN$Q^123 MAIN ST$APT 4^?", "CA", "OAKLAND", "DOE$JOHN$Q", "123 MAIN ST APT 4"},
      // A city of 13 characters is not closed by "^"; code and city are one run for the name search.
      {"CASAN FRANCISCODOE$JANE^99 BAY ST^?", "CA", "SAN FRANCISCO", "DOE$JANE", "99 BAY ST"},
      {"MOST. LOUIS-^ROE$RITA^7 ELM AVE.^?", "MO", "ST LOUIS", "ROE$RITA", "7 ELM AVE."},
      {"TXAUSTIN^ ROE$AL ^_/1 OAK LN-'^?", "TX", "AUSTIN", "ROE$AL", "1 OAK LN"},
      // A framed track keeps its "%", which is not a code character.
      {"%CAOAKLAND^DOE$JOHN^1 MAIN ST^?", "", "OAKLAND", "DOE$JOHN", "1 MAIN ST"},
      // No run of two code characters is left after the first: the searches end without a value.
      {"AB^^^^^?", "AB", "", "", ""},
      {"A", "", "", "", ""},
  };
  // clang-format on
  for (const Track1Case& c : kCases) {
    SCOPED_TRACE(c.track1);
    StripeFixture f;
    decodeTrack1Fields(f.decoder, f.span(c.track1));
    EXPECT_EQ(f.slot(SLOT_JURISDICTION), c.jurisdiction);
    EXPECT_EQ(f.slot(SLOT_CITY), c.city);
    EXPECT_EQ(f.slot(SLOT_FULL_NAME), c.name);
    EXPECT_EQ(f.slot(SLOT_STREET_1), c.address);
  }
}

struct Track2Case {
  std::string_view track2;  // ";" dropped
  std::int32_t year;        // the clock's
  std::string_view iin, licence, expiry, birth;
};

TEST(MagstripeLayouts, Track2NumberAndDates) {
  // clang-format off
  constexpr Track2Case kCases[] = {
      {"636015123456789=201219800115?", 2016, "636015", "123456789", "20201215", "19800115"},
      {"636015123456789=198819801215?", 2016, "636015", "123456789", "20200101", "19801215"},  // month after birth
      {"636015123456789=219919800229?", 2016, "636015", "123456789", "20210228", "19800229"},  // birthday
      {"636015123456789=190219800131?", 2016, "636015", "123456789", "20190228", "19800131"},  // clamped
      {"636015123456789=204519800115?", 2016, "636015", "123456789", "", "19800115"},         // code 45
      {"636015123456789=200019800115?", 2016, "636015", "123456789", "", "19800115"},         // month 0
      // Month 13 borrowed from February would give 31 February: no birth date rather than an invented one.
      {"636015123456789=260219801331?", 2016, "636015", "123456789", "20260228", ""},
      {"636015123456789=260219801329?", 2016, "636015", "123456789", "20260228", "19800229"},
      {"636015123456789=201219800115?", 2105, "636015", "123456789", "21201215", "19800115"},  // next century
      {"636015123456789=20121980011512345678", 2016, "636015", "12345678912345", "20201215", "19800115"},
      {"636015123456789=201219800115?123", 2016, "636015", "123456789", "20201215", "19800115"},
      // Fourteen digits: the 14th stands where "=" should, so no number.
      {"63601512345678901234=201219800115?", 2016, "", "", "20201215", "19800115"},
      {"636015123456789=2012198001?", 2016, "636015", "123456789", "", ""},
      {"636015123456789=20121980011X?", 2016, "636015", "123456789", "", ""},
      {"636015A23456789=201219800115?", 2016, "", "", "20201215", "19800115"},
      {"636015=201219800115?", 2016, "", "", "20201215", "19800115"},
      {"6360151", 2016, "", "", "", ""},
      {"636015123", 2016, "636015", "", "", ""},
  };
  // clang-format on
  for (const Track2Case& c : kCases) {
    SCOPED_TRACE(c.track2);
    StripeFixture f(c.year);
    decodeTrack2Fields(f.decoder, f.span(c.track2));
    EXPECT_EQ(f.slot(SLOT_IIN), c.iin);
    EXPECT_EQ(f.slot(SLOT_LICENCE_NUMBER), c.licence);
    EXPECT_EQ(f.slot(SLOT_EXPIRY_DATE), c.expiry);
    EXPECT_EQ(f.slot(SLOT_BIRTH_DATE), c.birth);
  }
}

struct PostalCase {
  std::string_view track3;
  std::string_view postal;
};

TEST(MagstripeLayouts, PostalCodeForms) {
  // clang-format off
  constexpr PostalCase kCases[] = {
      {"%!!12345      C B         NONEM510180BROBLU?", "12345"},
      {"%!!123456789  C B         NONEM510180BROBLU?", "12345-6789"},  // ZIP+4
      {"%!!K1A0B1     C B         NONEM510180BROBLU?", "K1A 0B1"},     // Canadian
      {"+99SW1 2AB    ?", "SW1 2AB"},
      {"%!!12?", ""},              // too short
      {"%!!ab12345   ?", ""},      // lower case ends the count at once
      {"%!!1234;%!!98765 ?", "98765"},  // the last sentinel with a code behind it wins
      {"%!!1234;%!!98;", "1234"},  // the later one holds too little, so the search goes back
  };
  // clang-format on
  for (const PostalCase& c : kCases) {
    SCOPED_TRACE(c.track3);
    StripeFixture f;
    readPostalCodeBackward(f.decoder, f.span(c.track3));
    EXPECT_EQ(f.slot(SLOT_POSTAL_CODE), c.postal);
  }
}

struct FieldsCase {
  std::string_view track3;
  std::string_view klass, restrictions, endorsements, sex, heightFtIn, heightCm, weightLb, weightKg, hair, eyes;
};

TEST(MagstripeLayouts, Track3FieldsAndUnitSlots) {
  // clang-format off
  constexpr FieldsCase kCases[] = {
      {"%!!12345      C B         NONEM510180BROBLU?", "C", "B", "NONE", "M", "510", "", "180", "", "BRO", "BLU"},
      {"%!!12345      D           ----F211 80BR1BR ?", "D", "", "----", "F", "", "211", "", "80", "", ""},
      {"%!!12345      D           ----F5 9100XXXYYY", "D", "", "----", "F", "", "", "", "100", "XXX", "YYY"},
      {"%!!12345      D           ----F6011A0", "D", "", "----", "F", "601", "", "", "", "", ""},
      {"%!!12345      D           ----F", "D", "", "----", "F", "", "", "", "", "", ""},
      {"%!!12345      D", "", "", "", "", "", "", "", "", "", ""},  // fields area of 1: nothing
      {"!!12345      D  B  ", "", "", "", "", "", "", "", "", "", ""},  // no sentinel
  };
  // clang-format on
  for (const FieldsCase& c : kCases) {
    SCOPED_TRACE(c.track3);
    StripeFixture f;
    f.decoder.readPostalCode = nullptr;
    decodeTrack3Fields(f.decoder, f.span(c.track3));
    EXPECT_EQ(f.slot(SLOT_CLASS), c.klass);
    EXPECT_EQ(f.slot(SLOT_RESTRICTIONS), c.restrictions);
    EXPECT_EQ(f.slot(SLOT_ENDORSEMENTS), c.endorsements);
    EXPECT_EQ(f.slot(SLOT_SEX), c.sex);
    EXPECT_EQ(f.slot(SLOT_HEIGHT_FT_IN), c.heightFtIn);
    EXPECT_EQ(f.slot(SLOT_HEIGHT_CM), c.heightCm);
    EXPECT_EQ(f.slot(SLOT_WEIGHT_LB), c.weightLb);
    EXPECT_EQ(f.slot(SLOT_WEIGHT_KG), c.weightKg);
    EXPECT_EQ(f.slot(SLOT_HAIR_COLOUR), c.hair);
    EXPECT_EQ(f.slot(SLOT_EYE_COLOUR), c.eyes);
  }
}

// A track 3 too short to hold a fields area behind its sentinel has none; where a whole track 3 puts its fields
// area the golden stripes show.
TEST(MagstripeLayouts, NoFieldsAreaWithoutRoomBehindTheSentinel) {
  StripeFixture f;
  TextSpan none{};
  locateFieldsAfterSentinel(f.decoder, f.span("%!!1234567890A"), none);  // 14 characters: too short
  EXPECT_FALSE(none.filled());
}

}  // namespace
}  // namespace quorix
