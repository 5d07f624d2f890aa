// The fixed-position card records: the "@...HC" licence record (id 44) and the bank-format track 1 (id 45), on the
// shapes each turns away and where the bank tracks are cut; what the records store is in the golden corpus.
#include "decoders/card_record/card_records.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/registry.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::decodeCopy;
using testing::DecodedCopy;
using testing::filledSlots;

constexpr DateTime kClock2026{.year = 2026, .month = 6, .day = 15, .hour = 12};

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text);
  out.resize(width, ' ');
  return out;
}

// "@", jurisdiction, one unread byte, "HC", 14 unread, licence (20), name (30, 28 wide), birth (58), sex (66),
// issue (67), expiry (75).
const std::string kAtRecord = std::string("@VA9HC") + "00000000000000" + "T123456789" + padded("DOE/JOHN Q", 28) +
                              "19800215" + "M" + "20200110" + "20280215";

std::string atRecordWith(std::size_t at, std::string_view replacement) {
  std::string text = kAtRecord;
  text.replace(at, replacement.size(), replacement);
  return text;
}

TEST(AtRecord, ShapeAndArgumentStatuses) {
  struct Case {
    const char* label;
    std::string text;
    Status status;
  };
  const Case kCases[] = {
      {"lower-case hc", atRecordWith(4, "hc"), -20},
      {"no at sign", atRecordWith(0, "#"), -20},
      {"five characters", "@VA9H", -20},
      {"empty", "", -1},
      {"lower case elsewhere", atRecordWith(1, "va"), kStatusOk},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    const DecodedCopy d = decodeCopy(decodeCardRecord<44>, c.text, 4096, kClock2026);
    EXPECT_EQ(d.status, c.status);
    if (c.status != kStatusOk) {
      EXPECT_EQ(filledSlots(d.record), 0);
    }
  }
  FieldRecord record;
  char arena[64];
  ASSERT_EQ(initRecord(record, arena, sizeof arena), kStatusOk);
  ParserInstance instance;
  EXPECT_EQ(decodeCardRecord<44>(nullptr, 83, record, instance), kStatusNoInput);
  EXPECT_EQ(decodeCardRecord<44>(nullptr, 0, record, instance), -1);
}

// ---- id 45

// Track 1 of a bank-format licence stripe: "%B", IIN, licence number, "^", name, "^", YYMM, "799", sex digit,
// birth CCYYMMDD, seven unread digits, issue YYMMDD.
std::string bankTrack(std::string_view name = "DOE/JOHN Q", std::string_view expiry = "3104",
                      std::string_view service = "799", std::string_view birth = "19800131",
                      std::string_view issue = "250115") {
  return std::string("%B6360121234567890^") + std::string(name) + "^" + std::string(expiry) + std::string(service) +
         "1" + std::string(birth) + "0000000" + std::string(issue) + "00";
}

TEST(BankTrack, SplitAndCheckStatuses) {
  struct Case {
    const char* label;
    std::string text;
    Status status;
  };
  const Case kCases[] = {
      {"two tracks only", bankTrack() + "?;6360121234567890=3104?", kStatusOk},
      {"no separator", bankTrack() + "?", kStatusNoInput},
      {"eight characters", "%B1?;23?", -1},
      {"not a bank track", "%A" + bankTrack().substr(2) + "?;6360=31?;0123?", -20},
      {"letter after %B", "%BX" + bankTrack().substr(3) + "?;6360=31?;0123?", -20},
      {"track 2 of one character", "%B1X?;abc", kStatusNoInput},
      {"track 2 of three characters", "%B1XYZ?;a", kStatusOk},
      // A text that does not open like a bank track: the answer depends on whether the split would succeed, which
      // takes a "?;" from position 6 up to three bytes before the end.
      {"other opening, pair at 6", "%A1XYZ?;abc", -20},
      {"other opening, pair at 5 only", "%A1XY?;abcd", kStatusNoInput},
      {"other opening, pair two bytes before the end", "%A1XYZWV?;", kStatusNoInput},
      {"other opening, pair three bytes before the end", "%A1XYZW?;a", -20},
      {"other opening, pair at 0 only", "?;A1XYZWVU", kStatusNoInput},
      {"other opening, pairs at 4 and 8", "%A1X?;XX?;XX", -20},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    const DecodedCopy d = decodeCopy(decodeCardRecord<45>, c.text, 4096, kClock2026);
    EXPECT_EQ(d.status, c.status);
    EXPECT_EQ(filledSlots(d.record), 0);  // none of these texts yields a field
  }
}

// The tracks are found at the last two "?;" from the end, whose "?" stands at position 4 or later and at least three
// places before the end; a "?" without ";" behind it separates nothing.
TEST(BankTrack, TrackSeparatorsAreFoundBehindLoneQuestionMarks) {
  struct Case {
    const char* label;
    std::string text;
    Status status;
    std::string_view name;
  };
  const Case kCases[] = {
      {"lone marks in every track", bankTrack() + "?A?;63?60=31?;01?23?", kStatusOk, "DOE$JOHN Q"},
      {"separator as the last two", bankTrack() + "?;0123?;", kStatusOk, ""},
      {"separator one before the last two", bankTrack() + "?;0123?;x", kStatusOk, "DOE$JOHN Q"},
      {"separator at 3", "%B1?;456789", kStatusNoInput, ""},
      {"separator at 4, short track 2", "%B12?;6789", kStatusNoInput, ""},
      {"separator at 6", "%B1234?;89", kStatusOk, ""},
      {"only marks", std::string(40, '?'), kStatusNoInput, ""},
      {"marks behind the one separator", "%B1234567?;89?x?y?z", kStatusOk, ""},
      {"semicolons only", "%B1234567;;;;;;;;", kStatusNoInput, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    const DecodedCopy d = decodeCopy(decodeCardRecord<45>, c.text, 4096, kClock2026);
    EXPECT_EQ(d.status, c.status);
    EXPECT_EQ(d.slot(SLOT_FULL_NAME), c.name);
  }
}

}  // namespace
}  // namespace quorix
