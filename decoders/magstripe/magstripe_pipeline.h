// The magnetic stripe pipeline: the hook table every stripe variant runs, the track splitters and checks that
// decide whether a text has a variant's shape, and the default field hooks that read the licence layout.
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/char_classes.h"
#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

// Statuses of a stripe decode; only 0 lets the row take part in selection.
inline constexpr Status kStatusStripeTooShort = -1;     // the text is shorter than the splitter's minimum
inline constexpr Status kStatusStripeWrongShape = -20;  // a sentinel, separator, IIN prefix or frame is missing

// The three tracks as the splitter cut them. Each span points into the decoded text (nothing is copied) and is
// {null, 0} when the splitter found no such track. Splitters leave the start sentinels in place ("%" of track 1,
// ";" of track 2, "%", "#" or "+" of track 3); the checks drop those of tracks 1 and 2 where the field hooks
// expect the span to begin at the first field. Track 3 keeps its sentinel, because its hooks search for it, except
// where a variant's splitter leaves track 2's ";" in front of it.
struct TrackSpans {
  TextSpan track1;
  TextSpan track2;
  TextSpan track3;
};

struct MagstripeDecoder;

using MagstripeDecodeHook = Status (*)(MagstripeDecoder& decoder, const char* text, std::int32_t length);
using MagstripeSplitHook = Status (*)(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                      TrackSpans& tracks);
using MagstripeCheckHook = Status (*)(MagstripeDecoder& decoder, TrackSpans& tracks);
using MagstripeSpanHook = void (*)(MagstripeDecoder& decoder, TextSpan span);
// Writes the fields area of track 3 into fields, or leaves it empty.
using MagstripeLocateHook = void (*)(MagstripeDecoder& decoder, TextSpan track3, TextSpan& fields);

// One decode's hook table. It lives on the variant's stack and owns nothing; an empty hook is skipped.
struct MagstripeDecoder {
  FieldRecord* record = nullptr;
  ParserInstance* instance = nullptr;  // readDates takes the century from instance->now.year
  MagstripeDecodeHook decode = nullptr;
  MagstripeSplitHook splitTracks = nullptr;
  MagstripeCheckHook checkTracks = nullptr;
  MagstripeSpanHook decodeTrack1 = nullptr;
  MagstripeSpanHook readJurisdiction = nullptr;
  MagstripeSpanHook readCity = nullptr;
  MagstripeSpanHook readName = nullptr;
  MagstripeSpanHook readAddress = nullptr;
  MagstripeSpanHook decodeTrack2 = nullptr;
  MagstripeSpanHook readIin = nullptr;
  MagstripeSpanHook readLicenseNumber = nullptr;
  MagstripeSpanHook readDates = nullptr;
  MagstripeSpanHook decodeTrack3 = nullptr;
  MagstripeSpanHook readPostalCode = nullptr;
  MagstripeLocateHook locateTrack3Fields = nullptr;
  MagstripeSpanHook readClass = nullptr;
  MagstripeSpanHook readRestrictions = nullptr;
  MagstripeSpanHook readEndorsements = nullptr;
  MagstripeSpanHook readSex = nullptr;
  MagstripeSpanHook readHeight = nullptr;
  MagstripeSpanHook readWeight = nullptr;
  MagstripeSpanHook readHairColor = nullptr;
  MagstripeSpanHook readEyeColor = nullptr;
};

// The licence layout's table without record and instance: the default driver and the twenty default track and
// field hooks. splitTracks and checkTracks stay empty: every variant sets its own. Built at compile time, so that a
// variant's whole table is a constant too.
constexpr MagstripeDecoder licenceLayoutHooks();

// Empties the table, stores record and instance, and installs the licence layout's hooks.
void initMagstripeDecoder(MagstripeDecoder& decoder, FieldRecord& record, ParserInstance& instance);

// The default driver: clear the spans, split, check, then hand each track to its track hook; 0 once split and
// check pass, whatever the field hooks found.
[[nodiscard]] Status runTrackDriver(MagstripeDecoder& decoder, const char* text, std::int32_t length);
// The opening steps of every stripe driver: clear the spans, split, check (an empty splitter or check passes).
// 0 when the text has the variant's shape; no slot is written.
[[nodiscard]] Status splitAndCheckTracks(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                         TrackSpans& tracks);
// Reads a track with a track hook of the table. Rows of one parse often cut the same track from the same text and
// read it with the same field hooks, which only write: what the licence layout's track hooks write is kept in the
// instance, and the rows after get it without reading the track again.
void decodeTrack(MagstripeDecoder& decoder, MagstripeSpanHook trackHook, TextSpan track);
// Hooks may be empty; an empty one is skipped.
inline void callSpanHook(MagstripeDecoder& decoder, MagstripeSpanHook hook, TextSpan span) {
  if (hook != nullptr) hook(decoder, span);
}
// Default track hooks: each calls its field hooks, in the layout's order, on a non-empty span.
void decodeTrack1Fields(MagstripeDecoder& decoder, TextSpan track1);
void decodeTrack2Fields(MagstripeDecoder& decoder, TextSpan track2);
void decodeTrack3Fields(MagstripeDecoder& decoder, TextSpan track3);

// Track splitters. A line is a piece between carriage returns and line feeds (a run of them is one separator);
// a piece is the same between "?" characters. Below a splitter's minimum length they give kStatusStripeTooShort.
[[nodiscard]] Status splitLastPair(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                   TrackSpans& tracks);
[[nodiscard]] Status splitLastPairIntoTrack3(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                             TrackSpans& tracks);
[[nodiscard]] Status splitTwoLines(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                   TrackSpans& tracks);
[[nodiscard]] Status splitThreeLines(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                     TrackSpans& tracks);
[[nodiscard]] Status splitThreeLinesReversed(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                             TrackSpans& tracks);
[[nodiscard]] Status splitSentinelPair(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                       TrackSpans& tracks);
[[nodiscard]] Status splitSentinelPairHash(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                           TrackSpans& tracks);
[[nodiscard]] Status splitFramed(MagstripeDecoder& decoder, const char* text, std::int32_t length, TrackSpans& tracks);
[[nodiscard]] Status splitEndSentinel(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                      TrackSpans& tracks);
[[nodiscard]] Status splitEndSentinelTrimmed(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                             TrackSpans& tracks);
[[nodiscard]] Status splitWholeText(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                    TrackSpans& tracks);
[[nodiscard]] Status splitTrack2Only(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                     TrackSpans& tracks);
[[nodiscard]] Status splitTrack1Only(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                     TrackSpans& tracks);
[[nodiscard]] Status splitSingleLine(MagstripeDecoder& decoder, const char* text, std::int32_t length,
                                     TrackSpans& tracks);

// Track checks: 0 and the sentinels dropped as the variant's hooks expect, or kStatusStripeWrongShape.
[[nodiscard]] Status checkIinAndState(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkThreeTrackIinAndState(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkIin(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkShiftedIin(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkBareIin(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkOptionalSentinel(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkFieldBoundary(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkLoneTrack(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkStateOnly(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkSeparator(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkSecondDigit(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkDigit(MagstripeDecoder& decoder, TrackSpans& tracks);
[[nodiscard]] Status checkPrefixOh(MagstripeDecoder& decoder, TrackSpans& tracks);

// A bank card's first track ("%B" and a digit) rather than a licence's.
[[nodiscard]] bool isFinancialTrack1(TextSpan track1);

// Default field hooks of the licence layout. Track 1 begins at the jurisdiction code, track 2 at the IIN, track 3
// at its sentinel; the fields-area hooks receive what locateTrack3Fields found. A hook that finds nothing writes
// nothing.
void readJurisdictionCode(MagstripeDecoder& decoder, TextSpan track1);
void readCityRun(MagstripeDecoder& decoder, TextSpan track1);
void readNameRun(MagstripeDecoder& decoder, TextSpan track1);
void readAddressRun(MagstripeDecoder& decoder, TextSpan track1);
// How far those four read in track1, with the same meaning as kLayoutAreaReach below: up to the byte behind the last
// one of a class they look for.
[[nodiscard]] std::int32_t layoutTrack1Reach(TextSpan track1);
void readIinDigits(MagstripeDecoder& decoder, TextSpan track2);
void readLicenseDigits(MagstripeDecoder& decoder, TextSpan track2);
void readTrack2Dates(MagstripeDecoder& decoder, TextSpan track2);
// How far those three read in track2, with the same meaning as kLayoutAreaReach below: two tracks that agree on that
// many bytes, and give the same reach, give the same fields. 0 when it is the whole track.
[[nodiscard]] std::int32_t layoutTrack2Reach(TextSpan track2);
void readPostalCodeBackward(MagstripeDecoder& decoder, TextSpan track3);
void locateFieldsAfterSentinel(MagstripeDecoder& decoder, TextSpan track3, TextSpan& fields);
void readClassField(MagstripeDecoder& decoder, TextSpan fields);
void readRestrictionsField(MagstripeDecoder& decoder, TextSpan fields);
void readEndorsementsField(MagstripeDecoder& decoder, TextSpan fields);
void readSexField(MagstripeDecoder& decoder, TextSpan fields);
void readHeightField(MagstripeDecoder& decoder, TextSpan fields);
void readWeightField(MagstripeDecoder& decoder, TextSpan fields);
void readHairColorField(MagstripeDecoder& decoder, TextSpan fields);
void readEyeColorField(MagstripeDecoder& decoder, TextSpan fields);
// Those eight read fixed places of the area's first 29 bytes and ask of its length only which of those places it
// reaches: two areas that agree up to here, or both reach it and agree that far, give the same fields.
inline constexpr std::int32_t kLayoutAreaReach = 29;

// Building blocks the variants share with the defaults.

// The address run of track 1: after a code pair, a city, a name and then a run of characters of addressClass (a class
// of core/char_classes.h), as the default reads it. Returns false (run untouched) when no such sequence exists.
[[nodiscard]] bool findAddressRun(TextSpan track1, CharClass addressClass, TextSpan* run);
// Collects the licence digits of track 2 from digitsStart (at most 13, then "="), appends up to 5 overflow
// digits behind the 12 date digits, and stores them in SLOT_LICENCE_NUMBER. Nothing when no "=" ends the digits.
void storeLicenseDigits(MagstripeDecoder& decoder, TextSpan track2, std::int32_t digitsStart);
// Reads the 12 date digits behind the first "=" at or after searchFrom and stores what storeStripeDates makes
// of them. The track must have at least 8 characters.
void readDatesAfterSeparator(MagstripeDecoder& decoder, TextSpan track2, std::int32_t searchFrom);
// Expiry YYMM and birth CCYYMMDD (12 digits): the expiry century comes from the clock, the codes 77 (no
// expiry), 88 and 99 derive the expiry from the birth date, and a birth month above 12 takes the expiry month.
void storeStripeDates(MagstripeDecoder& decoder, TextSpan dateDigits);

// Which postal code forms storePostalCode rewrites.
inline constexpr std::int32_t kPostalZipPlus4 = 1;  // 9 characters become 12345-6789
inline constexpr std::int32_t kPostalCanadian = 2;  // 6 characters become K1A 0B1
// Stores value in SLOT_POSTAL_CODE, rewritten in the allowed forms, otherwise as it is.
void storePostalCode(FieldRecord& record, TextSpan value, std::int32_t forms);

// Span helpers of the stripe decoders; none reads outside the span.
// The part of span from start with at most count characters; empty when start lies outside it.
[[nodiscard]] inline TextSpan stripePart(TextSpan span, std::int32_t start, std::int32_t count) {
  if (!span.filled() || start < 0 || start >= span.length || count < 1) return {};
  return {span.data + start, count < span.length - start ? count : span.length - start};
}
// The character at index, or NUL outside the span.
[[nodiscard]] inline char stripeCharAt(TextSpan span, std::int32_t index) {
  return span.filled() && index >= 0 && index < span.length ? span.data[index] : '\0';
}
// Stores value unfiltered; an empty value clears the slot.
void storeStripeValue(MagstripeDecoder& decoder, std::int32_t slot, TextSpan value);

constexpr MagstripeDecoder licenceLayoutHooks() {
  MagstripeDecoder decoder{};
  decoder.decode = runTrackDriver;
  decoder.decodeTrack1 = decodeTrack1Fields;
  decoder.readJurisdiction = readJurisdictionCode;
  decoder.readCity = readCityRun;
  decoder.readName = readNameRun;
  decoder.readAddress = readAddressRun;
  decoder.decodeTrack2 = decodeTrack2Fields;
  decoder.readIin = readIinDigits;
  decoder.readLicenseNumber = readLicenseDigits;
  decoder.readDates = readTrack2Dates;
  decoder.decodeTrack3 = decodeTrack3Fields;
  decoder.readPostalCode = readPostalCodeBackward;
  decoder.locateTrack3Fields = locateFieldsAfterSentinel;
  decoder.readClass = readClassField;
  decoder.readRestrictions = readRestrictionsField;
  decoder.readEndorsements = readEndorsementsField;
  decoder.readSex = readSexField;
  decoder.readHeight = readHeightField;
  decoder.readWeight = readWeightField;
  decoder.readHairColor = readHairColorField;
  decoder.readEyeColor = readEyeColorField;
  return decoder;
}

}  // namespace quorix
