// The 17 stripe variants: each turns away the near misses of its framing, reads the layouts other rows do not,
// and gives the early answer its splitter and check would give.
#include "decoders/magstripe/magstripe_variants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "decoders/magstripe/magstripe_pipeline.h"
#include "unit/magstripe/stripe_fixture.h"

namespace quorix {
namespace {

using testing::StripeFixture;

using VariantDecode = Status (*)(const char*, std::int32_t, FieldRecord&, ParserInstance&);
// Id 11 writes into its text, so it decodes a copy here; the slots are copied into the arena, never pointed at text.
Status decodeCopyOf11(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  std::string copy(text, static_cast<std::size_t>(std::max(length, 0)));
  return decodeMagstripeEditing<11>(text != nullptr ? copy.data() : nullptr, length, record, instance);
}
const VariantDecode kVariants[] = {decodeMagstripeVariant<0>,  decodeMagstripeVariant<1>,  decodeMagstripeVariant<2>,
                                   decodeMagstripeVariant<3>,  decodeMagstripeVariant<4>,  decodeMagstripeVariant<5>,
                                   decodeMagstripeVariant<6>,  decodeMagstripeVariant<7>,  decodeMagstripeVariant<8>,
                                   decodeMagstripeVariant<9>,  decodeMagstripeVariant<10>, decodeCopyOf11,
                                   decodeMagstripeVariant<12>, decodeMagstripeVariant<13>, decodeMagstripeVariant<14>,
                                   decodeMagstripeVariant<15>, decodeMagstripeVariant<16>};

// Invented tracks of one licence holder.
const std::string kTrack1 = "%CAOAKLAND^DOE$JOHN$Q^123 MAIN ST^?";
const std::string kTrack2 = ";6360141234567=251219800115?";
const std::string kFields = "C B         NONEM510180BROBLU";  // class, restrictions, endorsements, sex, ...
const std::string kTrack3 = "%!!94612      " + kFields + "?";
const std::string kJoined = kTrack1 + kTrack2 + kTrack3;
const std::string kLines = kTrack1 + "\n" + kTrack2 + "\n" + kTrack3;

// Each row against the near misses of its framing, and the readings whole stripes do not show (the golden corpus
// has a whole stripe of every row, and in rejected/stripe-* the near misses no row reads).
struct VariantCase {
  const char* what;
  std::int32_t id;
  std::string text;
  Status status;
  std::int32_t slot;
  std::string value;
};

std::vector<VariantCase> variantCases() {
  const std::string oneLine =
      "OHCOLUMBUS^DOE$JOHN^1 HIGH ST^6360231234567=2512198001150043215  D B         " + kFields.substr(12);
  constexpr Status kWrong = kStatusStripeWrongShape;
  // clang-format off
  return {
      {"joined but track 2 first", 0, kTrack2 + kTrack1, kWrong, SLOT_FULL_NAME, ""},
      {"two lines, not an AAMVA issuer", 1, kTrack1 + "\n;5360141234567=251219800115?", kWrong, SLOT_FULL_NAME, ""},
      {"three lines, no track 3", 2, kTrack1 + "\n" + kTrack2, kWrong, SLOT_FULL_NAME, ""},
      {"reversed reader, lines in order", 3, kLines, kWrong, SLOT_FULL_NAME, ""},
      {"joined by sentinels, hash track 3", 4, kTrack1 + kTrack2 + "#" + kTrack3.substr(1), kWrong, SLOT_FULL_NAME,
       ""},
      {"no stray character", 5, kJoined, kWrong, SLOT_FULL_NAME, ""},
      {"cut at ?, two pieces", 7, kTrack1 + kTrack2, kWrong, SLOT_FULL_NAME, ""},
      {"Canadian reader, US fields area ends inside a field", 8, kJoined, kWrong, SLOT_FULL_NAME, ""},
      {"hash reader, % track 3", 9, kJoined, kWrong, SLOT_FULL_NAME, ""},
      {"track 1 then one part, no state code", 11, "%1" + kJoined.substr(3), kWrong, SLOT_FULL_NAME, ""},
      {"three lines without stray character", 12, kLines, kWrong, SLOT_FULL_NAME, ""},
      {"bank card track 1", 13, "%B4000123412341234^DOE/JOHN^2512?" + kTrack2 + kTrack3, kWrong, SLOT_FULL_NAME, ""},
      {"Australian reader, licence track 1", 15, kTrack1, kWrong, SLOT_FULL_NAME, ""},
      {"one line, two lines", 16, oneLine + "\n" + oneLine, kWrong, SLOT_FULL_NAME, ""},
      {"joined, track 3 left in track 2", 0, kJoined, kStatusOk, SLOT_POSTAL_CODE, ""},
      {"Australian, no field after the digit", 15, "%1ABCDEFG", kStatusOk, SLOT_COUNTRY, "Australia"},
      {"Australian, second field", 15, "%2^^!!^SMITH JO^ 0042 ^X", kStatusOk, SLOT_LICENCE_NUMBER, "0042"},
      {"one line, nothing readable", 16, "OH??", kStatusOk, SLOT_JURISDICTION, "OH"},
  };
  // clang-format on
}

TEST(MagstripeVariants, EachRejectsTheNearMissesOfItsFraming) {
  for (const VariantCase& c : variantCases()) {
    SCOPED_TRACE(std::string(c.what) + " (id " + std::to_string(c.id) + ")");
    StripeFixture f;
    const TextSpan text = f.span(c.text);
    EXPECT_EQ(kVariants[c.id](text.data, text.length, f.record, f.instance), c.status);
    EXPECT_EQ(f.slot(c.slot), c.value);
    EXPECT_FALSE(f.record.slots[SLOT_STANDARD].filled());
  }
}

// Id 13 reads a licence number only behind a separator after the IIN; the texts it reads are in the golden corpus,
// these two other rows read first.
TEST(MagstripeVariants, SeparatorAfterTheIinIsNoLetterAndNoDigit) {
  for (const std::string track2 : {";636014A1234567=251219800115?", ";6360141234567=251219800115?"}) {
    SCOPED_TRACE(track2);
    StripeFixture f;
    const TextSpan text = f.span(kTrack1 + track2 + kTrack3);
    ASSERT_EQ(decodeMagstripeVariant<13>(text.data, text.length, f.record, f.instance), kStatusOk);
    EXPECT_EQ(f.slot(SLOT_LICENCE_NUMBER), "");
  }
}

// Id 11 edits the parse's text in place: line feeds go and a NUL marks the new end.
TEST(MagstripeVariants, LineFeedsAreRemovedInPlace) {
  std::string text = kTrack1 + "\n" + kTrack2 + "\n" + kTrack3;
  StripeFixture f;
  ASSERT_EQ(decodeMagstripeEditing<11>(text.data(), static_cast<std::int32_t>(text.size()), f.record, f.instance),
            kStatusOk);
  const std::string expected = kTrack1 + kTrack2 + kTrack3;
  EXPECT_EQ(std::string(text.c_str()), expected);
  EXPECT_EQ(f.slot(SLOT_POSTAL_CODE), "94612");
}

struct ShapeCase {
  std::int32_t id;
  std::string text;
  Status status;
};

// A text lacking the sentinel IIN or the "%" a variant needs is turned away early; the answer must stay the one its
// splitter gives: too short below the splitter's minimum (for id 11, counted once line feeds are gone), wrong shape
// from there on.
TEST(MagstripeVariants, TextsWithoutTheNeededPartsKeepTheSplittersAnswer) {
  // clang-format off
  const ShapeCase kCases[] = {
      {0, "%ABC", kStatusStripeTooShort},       {0, "%ABCD", kStatusStripeWrongShape},
      {1, "%AB", kStatusStripeTooShort},        {1, "%AB\nX", kStatusStripeWrongShape},
      {2, "%A\n;6", kStatusStripeTooShort},     {2, "%A\n;63", kStatusStripeWrongShape},
      {3, "%A\n;6", kStatusStripeTooShort},     {3, "AB\n;636", kStatusStripeWrongShape},
      {4, "%A?;636", kStatusStripeTooShort},    {4, "%A?;637?%", kStatusStripeWrongShape},
      {5, "XA?;6636?%", kStatusStripeWrongShape},
      {6, "{!|1" + std::string(19, '6'), kStatusStripeTooShort},
      {6, "{!|1" + std::string(20, '7'), kStatusStripeWrongShape},
      {7, "A?B?;63", kStatusStripeTooShort},    {7, "A?B?;635?", kStatusStripeWrongShape},
      {8, "A?B?;637?", kStatusStripeWrongShape}, {9, "%A?;635?#", kStatusStripeWrongShape},
      {10, "AB", kStatusStripeTooShort},        {10, "ABC", kStatusStripeWrongShape},
      {11, "A\n\nB?\n;", kStatusStripeTooShort},  // seven bytes, four of them no line feed
      {11, "A\nB?\nC;", kStatusStripeWrongShape}, {11, "%\nAB\nCD\n", kStatusStripeWrongShape},
      {12, "%A\n;6", kStatusStripeTooShort},    {12, "%A\n;X635\nZZ", kStatusStripeWrongShape},
      {13, "%A?;636", kStatusStripeTooShort},   {15, "A1^X^", kStatusStripeWrongShape},
      {16, "OH?", kStatusStripeTooShort},
  };
  // clang-format on
  for (const ShapeCase& c : kCases) {
    SCOPED_TRACE("id " + std::to_string(c.id) + " on " + c.text);
    StripeFixture f;
    const TextSpan text = f.span(c.text);
    EXPECT_EQ(kVariants[c.id](text.data, text.length, f.record, f.instance), c.status);
    EXPECT_EQ(f.record.arenaUsed, 0);
  }
}

TEST(MagstripeVariants, NullTextIsRejected) {
  for (std::int32_t id = 0; id < 17; ++id) {
    SCOPED_TRACE(id);
    StripeFixture f;
    EXPECT_NE(kVariants[id](nullptr, 0, f.record, f.instance), kStatusOk);
  }
}

}  // namespace
}  // namespace quorix
