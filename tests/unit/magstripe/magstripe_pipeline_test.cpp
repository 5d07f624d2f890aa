// The stripe splitters and checks on the edges of the shapes they accept and reject, and the driver's order of
// steps. What each stripe row turns away on a whole text is in magstripe_variants_test; its plain shape is read whole
// in the golden corpus.
#include "decoders/magstripe/magstripe_pipeline.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "unit/magstripe/stripe_fixture.h"

namespace quorix {
namespace {

using testing::spanText;
using testing::StripeFixture;

struct SplitCase {
  const char* what;
  MagstripeSplitHook split;
  std::string_view text;
  Status status;
  std::string_view track1, track2, track3;
};

TEST(MagstripeSplitters, CutTracksOrRejectTheShape) {
  // clang-format off
  const SplitCase kCases[] = {
      {"last pair", splitLastPair, "%CAX?;636015", kStatusOk, "%CAX?", ";636015", ""},
      {"last pair takes the last ?;", splitLastPair, "%A?;B?;CD", kStatusOk, "%A?;B?", ";CD", ""},
      {"last pair: line feed behind the pair", splitLastPair, "%CAX?;6360\n15", kStatusStripeWrongShape, "", "", ""},
      {"last pair: line feed in track 1 is not looked at", splitLastPair, "%C\nX?;636015", kStatusOk, "%C\nX?",
       ";636015", ""},
      {"last pair: ; as last character", splitLastPair, "%CAXX?;", kStatusStripeWrongShape, "", "", ""},
      {"last pair: ? at position 0", splitLastPair, "?;ABC", kStatusStripeWrongShape, "", "", ""},
      {"last pair: no %", splitLastPair, "CAXX?;636", kStatusStripeWrongShape, "", "", ""},
      {"last pair into track 3 ignores line feeds", splitLastPairIntoTrack3, "%CAX?;6360\n15", kStatusOk, "%CAX?", "",
       ";6360\n15"},
      {"two lines skip short lines", splitTwoLines, "\n\nA\n%CAX?\r\n;63?\nTHIRD", kStatusOk, "%CAX?", ";63?", ""},
      {"two lines: one line only", splitTwoLines, "%CAX?", kStatusOk, "%CAX?", "", ""},
      {"three lines trim quotes and spaces", splitThreeLines, "\"%CA?\" \n;636?\nX\n%+A?", kStatusOk, "%CA?", ";636?",
       "%+A?"},
      {"three lines: a missing line stays empty", splitThreeLines, "%CA?\r\n;636?", kStatusOk, "%CA?", ";636?", ""},
      {"sentinel pair: line feed anywhere", splitSentinelPair, "%CAX?;636015?%AB\nCD", kStatusStripeWrongShape, "",
       "", ""},
      {"sentinel pair: ?% only before ?;", splitSentinelPair, "%CA?%X?;636015", kStatusStripeWrongShape, "", "", ""},
      {"framed", splitFramed, "xx{!|1%CA?|!}{!|2;636?|!}{!|3%AB?|!}yy", kStatusOk, "%CA?", ";636?", "%AB?"},
      {"framed: frames out of order", splitFramed, "{!|2;636?|!}{!|1%CA?|!}{!|3%AB?|!}", kStatusStripeWrongShape,
       "", "", ""},
      {"framed: unclosed frame", splitFramed, "{!|1%CA?|!}{!|2;636?|!}{!|3%AB?", kStatusStripeWrongShape, "", "",
       ""},
      {"end sentinel", splitEndSentinel, "%CAX?;636015?%ABC?", kStatusOk, "%CAX", ";636015", "%ABC"},
      {"end sentinel: blank piece counts", splitEndSentinel, "%CAXX? \n ?;636015?", kStatusOk, "%CAXX", " \n ",
       ";636015"},
      {"end sentinel trimmed skips blank pieces", splitEndSentinelTrimmed, "%CAXX? \n ?;636015?%AB?", kStatusOk,
       "%CAXX", ";636015", "%AB"},
      {"end sentinel: too short", splitEndSentinel, "%CA?;6?", kStatusStripeTooShort, "", "", ""},
      {"track 2 only drops the last byte", splitTrack2Only, ";636?", kStatusOk, "", ";636", ""},
      {"track 2 only: empty text", splitTrack2Only, "", kStatusOk, "", "", ""},
      {"single line with trailing line ends", splitSingleLine, "OHCITY^X\r\n\r\n", kStatusOk, "OHCITY^X", "", ""},
  };
  // clang-format on
  for (const SplitCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StripeFixture f;
    const TextSpan text = f.span(c.text);
    TrackSpans tracks{};
    EXPECT_EQ(c.split(f.decoder, text.data, text.length, tracks), c.status);
    if (c.status != kStatusOk) continue;
    EXPECT_EQ(spanText(tracks.track1), c.track1);
    EXPECT_EQ(spanText(tracks.track2), c.track2);
    EXPECT_EQ(spanText(tracks.track3), c.track3);
  }
}

// A located fields area of everything behind track 3's first character, so the boundary lengths are easy to set.
void locateAfterFirst(MagstripeDecoder&, TextSpan track3, TextSpan& fields) {
  if (track3.length > 1) fields = {track3.data + 1, track3.length - 1};
}

struct CheckCase {
  const char* what;
  MagstripeCheckHook check;
  std::string_view track1, track2, track3;
  Status status;
  std::string_view after1, after2, after3;
  bool jurisdictionKept = true;
};

TEST(MagstripeChecks, AcceptOrRejectAndDropSentinels) {
  const std::string fields28(29, 'F');  // sentinel plus 28
  const std::string fields29(30, 'F');
  const std::string fields12(13, 'F');
  const std::string loneFar = "%CA?" + std::string(11, 'X');
  // clang-format off
  const CheckCase kCases[] = {
      {"iin and state: shortest", checkIinAndState, "%CA", ";636", "", kStatusOk, "CA", "636", ""},
      {"iin and state: digit in code", checkIinAndState, "%C1X", ";6360", "", kStatusStripeWrongShape, "", "", ""},
      {"iin and state: short track 2", checkIinAndState, "%CAX", ";63", "", kStatusStripeWrongShape, "", "", ""},
      {"iin and state: no %", checkIinAndState, "CAXX", ";6360", "", kStatusStripeWrongShape, "", "", ""},
      {"three tracks: track 3 too short", checkThreeTrackIinAndState, "%CAX", ";6360", "%", kStatusStripeWrongShape, "", "", ""},
      {"iin: financial track 1", checkIin, "%B4000", ";6360", "", kStatusStripeWrongShape, "", "", ""},
      {"iin: British Columbia", checkIin, "%BCVICTORIA", ";6360", "", kStatusOk, "BCVICTORIA", "6360", ""},
      {"iin: no track 1", checkIin, "", ";6360", "", kStatusOk, "", "6360", ""},
      {"shifted iin: IIN cut short", checkShiftedIin, "%CAX", ";x63", "", kStatusStripeWrongShape, "", "", ""},
      {"shifted iin: no letter after %", checkShiftedIin, "%12X", ";x6360", "", kStatusStripeWrongShape, "", "", ""},
      {"shifted iin: letter second", checkShiftedIin, "%1B", ";x6360", "", kStatusOk, "1B", "6360", ""},
      {"shifted iin: lone %", checkShiftedIin, "%", ";x6360", "", kStatusStripeWrongShape, "", "", ""},
      {"bare iin: sentinel in front", checkBareIin, "%CAX", ";636015", "", kStatusStripeWrongShape, "", "", ""},
      {"optional sentinel without %", checkOptionalSentinel, "CAX", ";6360", "", kStatusOk, "CAX", "6360", "",
       false},
      {"field boundary: 29", checkFieldBoundary, " %CAX\r\n", ";6360 ", fields29, kStatusOk, "CAX", "6360",
       fields29},
      {"field boundary: 12", checkFieldBoundary, "%CAX", ";6360", fields12, kStatusOk, "CAX", "6360", fields12},
      {"field boundary: 28", checkFieldBoundary, "%CAX", ";6360", fields28, kStatusStripeWrongShape, "", "", ""},
      {"field boundary: line feed before ;", checkFieldBoundary, "CAX", "\n;6360", "", kStatusStripeWrongShape, "", "", ""},
      {"field boundary: no % on track 1", checkFieldBoundary, "CAX", ";6360", "", kStatusOk, "CAX", "6360", "", false},
      {"lone track: closed by ^", checkLoneTrack, "%CADOE^  ?", "", "", kStatusOk, "CADOE^  ?", "", ""},
      {"lone track: ? near the end", checkLoneTrack, "%CADOE?XY", "", "", kStatusOk, "CADOE?XY", "", ""},
      {"lone track: ? too far from the end", checkLoneTrack, loneFar, "", "",
       kStatusStripeWrongShape, "", "", ""},
      {"lone track: no code", checkLoneTrack, "%1ADOE^?", "", "", kStatusStripeWrongShape, "", "", ""},
      {"lone track: short", checkLoneTrack, "%C", "", "", kStatusStripeWrongShape, "", "", ""},
      {"state only: digit", checkStateOnly, "%C4X", "", ";ABC", kStatusStripeWrongShape, "", "", ""},
      {"separator: no track 3", checkSeparator, "%CAX", ";x636015", "%", kStatusStripeWrongShape, "", "", ""},
      {"second digit", checkSecondDigit, "", ";636", "", kStatusOk, "", "636", ""},
      {"digit", checkDigit, "%1", "", "", kStatusOk, "%1", "", ""},
      {"prefix", checkPrefixOh, "OHX", "", "", kStatusOk, "OHX", "", ""},
      {"prefix: other code", checkPrefixOh, "OX", "", "", kStatusStripeWrongShape, "", "", ""},
      {"prefix: short", checkPrefixOh, "O", "", "", kStatusStripeWrongShape, "", "", ""},
  };
  // clang-format on
  for (const CheckCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StripeFixture f;
    f.decoder.locateTrack3Fields = locateAfterFirst;
    TrackSpans tracks{f.span(c.track1), f.span(c.track2), f.span(c.track3)};
    EXPECT_EQ(c.check(f.decoder, tracks), c.status);
    if (c.status != kStatusOk || (c.after1.empty() && c.after2.empty() && c.after3.empty())) continue;
    EXPECT_EQ(spanText(tracks.track1), c.after1);
    EXPECT_EQ(spanText(tracks.track2), c.after2);
    EXPECT_EQ(spanText(tracks.track3), c.after3);
    EXPECT_EQ(f.decoder.readJurisdiction != nullptr, c.jurisdictionKept);
  }
}

// Hooks that leave a trace in the record, so a test sees which ran and on what.
Status splitIntoABC(MagstripeDecoder&, const char*, std::int32_t, TrackSpans& tracks) {
  tracks = {TextSpan{"A", 1}, TextSpan{"B", 1}, TextSpan{"C", 1}};
  return kStatusOk;
}
Status checkRejects(MagstripeDecoder& decoder, TrackSpans&) {
  setSlotText(*decoder.record, SLOT_SEX, "C");
  return kStatusStripeWrongShape;
}
void track1Seen(MagstripeDecoder& decoder, TextSpan span) {
  setSlot(*decoder.record, SLOT_FULL_NAME, span, nullptr, nullptr, 0);
}
void track3Seen(MagstripeDecoder& decoder, TextSpan span) {
  setSlot(*decoder.record, SLOT_CITY, span, nullptr, nullptr, 0);
}

TEST(MagstripeDriver, RunsStepsInOrderAndStopsAtTheFirstFailure) {
  StripeFixture f;
  f.decoder.splitTracks = splitIntoABC;
  f.decoder.decodeTrack1 = track1Seen;
  f.decoder.decodeTrack2 = nullptr;  // an empty hook is skipped
  f.decoder.decodeTrack3 = track3Seen;
  EXPECT_EQ(runTrackDriver(f.decoder, "x", 1), kStatusOk);
  EXPECT_EQ(f.slot(SLOT_FULL_NAME), "A");
  EXPECT_EQ(f.slot(SLOT_CITY), "C");
  EXPECT_EQ(f.filledSlots(), 2);

  StripeFixture rejected;
  rejected.decoder.splitTracks = splitIntoABC;
  rejected.decoder.checkTracks = checkRejects;
  rejected.decoder.decodeTrack1 = track1Seen;
  EXPECT_EQ(runTrackDriver(rejected.decoder, "x", 1), kStatusStripeWrongShape);
  EXPECT_EQ(rejected.slot(SLOT_SEX), "C");  // the check ran
  EXPECT_EQ(rejected.slot(SLOT_FULL_NAME), "");
}

}  // namespace
}  // namespace quorix
