// The magnetic stripe driver, the track splitters that cut reader output into three tracks, and the track checks
// that decide whether the tracks have a variant's shape.
#include "decoders/magstripe/magstripe_pipeline.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/text_utils.h"

namespace quorix {
namespace {

// The bytes that readers put around a track or between the lines of one.
constexpr CharSet kLineBreak("\r\n");
constexpr CharSet kLineEdge("\r\n ");
constexpr CharSet kQuoteOrSpace(" \"");

}  // namespace

void storeStripeValue(MagstripeDecoder& decoder, std::int32_t slot, TextSpan value) {
  setSlotCopy(*decoder.record, slot, value);
}

namespace {

// The part of text between start and end, both clamped to the text; empty when nothing is left.
TextSpan textPart(const char* text, std::int64_t length, std::int64_t start, std::int64_t end) {
  start = std::clamp<std::int64_t>(start, 0, length);
  end = std::clamp<std::int64_t>(end, start, length);
  if (text == nullptr || end <= start) return {};
  return {text + start, static_cast<std::int32_t>(end - start)};
}

TextSpan wholeText(const char* text, std::int32_t length) { return textPart(text, length, 0, length); }

bool startsWith(TextSpan span, const char* prefix) {
  const auto n = static_cast<std::int32_t>(std::strlen(prefix));
  return span.filled() && span.length >= n && std::memcmp(span.data, prefix, static_cast<std::size_t>(n)) == 0;
}

// Position of marker in text at or after from, or -1; never reads outside the text.
std::int32_t findMarker(const char* text, std::int32_t length, std::int32_t from, std::string_view marker) {
  const TextSpan haystack = textPart(text, length, from, length);
  const TextSpan needle{marker.data(), static_cast<std::int32_t>(marker.size())};
  const std::int32_t at = findSpan(haystack, needle);
  return at < 0 ? -1 : static_cast<std::int32_t>(haystack.data - text) + at;
}

void dropFront(TextSpan& span, std::int32_t n) {
  if (span.filled()) advanceSpan(&span, n);
}

// nextToken(source, token, rest, delimiters, true) for one or two delimiter bytes: leading delimiters skipped, the
// token up to the next one, which rest leaves out. Each delimiter is looked for by memchr in what precedes the
// nearest one found so far.
void cutToken(TextSpan source, TextSpan* token, TextSpan* rest, std::string_view delimiters) {
  const char* data = source.data;
  std::int32_t length = std::max(source.length, 0);
  if (data != nullptr) {
    while (length > 0 && delimiters.find(*data) != std::string_view::npos) {
      ++data;
      --length;
    }
  }
  std::int32_t n = data == nullptr ? 0 : length;
  for (const char delimiter : delimiters) {
    if (n < 1) break;
    const void* hit = std::memchr(data, delimiter, static_cast<std::size_t>(n));
    if (hit != nullptr) n = static_cast<std::int32_t>(static_cast<const char*>(hit) - data);
  }
  *token = TextSpan{data, n};
  const std::int32_t consumed = n < length ? n + 1 : n;
  *rest = TextSpan{data == nullptr ? nullptr : data + consumed, length - consumed};
}

// The first count lines of at least 2 characters (shorter ones are skipped); lines not found stay empty.
// Returns what follows the last line taken.
TextSpan takeLines(TextSpan text, TextSpan* lines, std::int32_t count) {
  TextSpan rest = text;
  std::int32_t taken = 0;
  while (taken < count && rest.filled()) {
    TextSpan line{};
    TextSpan next{};
    cutToken(rest, &line, &next, "\r\n");
    if (line.filled() && line.length >= 2) lines[taken++] = line;
    if (next.filled() && next.length >= rest.length) break;  // no progress: nothing more to cut
    rest = next;
  }
  return rest;
}

[[nodiscard]] Status splitLines(const char* text, std::int32_t length, TrackSpans& tracks, bool reversed) {
  if (text == nullptr || length < 6) return kStatusStripeTooShort;
  TextSpan lines[3] = {};
  (void)takeLines(wholeText(text, length), lines, 3);
  for (TextSpan& line : lines) trimChars(&line, kQuoteOrSpace);
  tracks.track1 = reversed ? lines[2] : lines[0];
  tracks.track2 = lines[1];
  tracks.track3 = reversed ? lines[0] : lines[2];
  return kStatusOk;
}

[[nodiscard]] Status splitLastPairInto(const char* text, std::int32_t length, TrackSpans& tracks, bool intoTrack3) {
  if (text == nullptr || length < 5) return kStatusStripeTooShort;
  if (text[0] != '%') return kStatusStripeWrongShape;
  // The last "?;" that leaves track 2 at least two bytes, found by memchr from the front. Line feeds inside track 1
  // (in front of the pair) do not matter; one behind the pair means the reader ran two texts together.
  std::int32_t pair = -1;
  for (std::int32_t from = 1; from <= length - 3;) {
    const auto* hit =
        static_cast<const char*>(std::memchr(text + from, '?', static_cast<std::size_t>(length - 2 - from)));
    if (hit == nullptr) break;
    const auto at = static_cast<std::int32_t>(hit - text);
    if (hit[1] == ';') pair = at;
    from = at + 1;
  }
  if (pair < 0) return kStatusStripeWrongShape;
  if (!intoTrack3 && std::memchr(text + pair + 1, '\n', static_cast<std::size_t>(length - pair - 1)) != nullptr)
    return kStatusStripeWrongShape;
  tracks.track1 = textPart(text, length, 0, pair + 1);
  (intoTrack3 ? tracks.track3 : tracks.track2) = textPart(text, length, pair + 1, length);
  return kStatusOk;
}

[[nodiscard]] Status splitSentinelPairWith(const char* text, std::int32_t length, TrackSpans& tracks,
                                           std::string_view secondPair) {
  if (text == nullptr || length < 8) return kStatusStripeTooShort;
  if (text[0] != '%' || std::memchr(text + 1, '\n', static_cast<std::size_t>(length - 1)) != nullptr)
    return kStatusStripeWrongShape;
  const std::int32_t first = findMarker(text, length, 0, "?;");
  if (first < 0) return kStatusStripeWrongShape;
  const std::int32_t second = findMarker(text, length, first + 1, secondPair);
  if (second < 0) return kStatusStripeWrongShape;
  tracks.track1 = textPart(text, length, 0, first);
  tracks.track2 = textPart(text, length, first + 1, second);
  tracks.track3 = textPart(text, length, second + 1, length);
  return kStatusOk;
}

[[nodiscard]] Status splitPieces(const char* text, std::int32_t length, TrackSpans& tracks, bool trimmed) {
  if (text == nullptr || length < 8) return kStatusStripeTooShort;
  TextSpan pieces[3] = {};
  std::int32_t taken = 0;
  TextSpan rest = wholeText(text, length);
  while (taken < 3 && rest.filled()) {
    TextSpan piece{};
    TextSpan next{};
    cutToken(rest, &piece, &next, "?");
    if (trimmed) trimChars(&piece, kLineEdge);
    if (piece.filled()) pieces[taken++] = piece;
    if (next.filled() && next.length >= rest.length) break;
    rest = next;
  }
  if (taken < 3) return kStatusStripeWrongShape;
  tracks = {pieces[0], pieces[1], pieces[2]};
  return kStatusOk;
}

// Licence issuers share the IIN range beginning 636; the full number matters only when the issuer is derived.
bool hasAamvaIin(TextSpan track2, std::int32_t at) {
  return track2.filled() && track2.length >= at + 3 && std::memcmp(track2.data + at, "636", 3) == 0;
}

// "%" and a two-letter jurisdiction code.
bool hasStatePrefix(TextSpan track1) {
  return track1.filled() && track1.length > 2 && track1.data[0] == '%' && inClass(track1.data[1], kClassLetter) &&
         inClass(track1.data[2], kClassLetter);
}

bool hasSentinelIin(TextSpan track2) { return track2.length >= 4 && startsWith(track2, ";636"); }

}  // namespace

bool isFinancialTrack1(TextSpan track1) {
  return track1.filled() && track1.length > 2 && track1.data[0] == '%' && track1.data[1] == 'B' &&
         inClass(track1.data[2], kClassDigit);
}

void initMagstripeDecoder(MagstripeDecoder& decoder, FieldRecord& record, ParserInstance& instance) {
  decoder = licenceLayoutHooks();
  decoder.record = &record;
  decoder.instance = &instance;
}

Status splitAndCheckTracks(MagstripeDecoder& decoder, const char* text, std::int32_t length, TrackSpans& tracks) {
  tracks = TrackSpans{};
  if (decoder.splitTracks != nullptr) {
    if (Status s = decoder.splitTracks(decoder, text, length, tracks); s != kStatusOk) return s;
  }
  if (decoder.checkTracks != nullptr) return decoder.checkTracks(decoder, tracks);
  return kStatusOk;
}

namespace {

using StageHooks = std::uintptr_t[kKeptWorkHooks];

// The stage first, then the hooks it calls; the entries behind them stay 0.
template <std::size_t N>
void listHooks(StageHooks& key, const MagstripeSpanHook (&hooks)[N]) {
  static_assert(N <= kKeptWorkHooks);
  std::transform(std::begin(hooks), std::end(hooks), std::begin(key),
                 [](MagstripeSpanHook hook) { return reinterpret_cast<std::uintptr_t>(hook); });
}

bool keptFor(const KeptWork& work, std::uint64_t serial, const StageHooks& hooks, TextSpan key) {
  return work.serial == serial && work.spanLength == key.length &&
         std::equal(std::begin(hooks), std::end(hooks), std::begin(work.hooks)) &&
         std::memcmp(work.span, key.data, static_cast<std::size_t>(key.length)) == 0;
}

// Runs stage over span, or gives the record what an earlier row of the contest wrote running the same hooks (the stage
// and those it calls) over the same bytes. Field hooks read nothing but their span and the instance's time, and only
// write, so what they write does not depend on where the span lies or on what the record held before. Hooks that
// read no further than a place, and ask of the span's length only whether it reaches that place, read the same from
// every span that agrees with span up to there: readTo is that place, or 0 when the whole span counts.
void runSharedStage(MagstripeDecoder& decoder, MagstripeSpanHook stage, const StageHooks& hooks, TextSpan span,
                    std::int32_t readTo = 0) {
  ParserInstance* const instance = decoder.instance;
  if (instance == nullptr || instance->contestSerial == 0 || !span.filled() || span.length > kKeptWorkSpan) {
    return stage(decoder, span);
  }
  const TextSpan key{span.data, readTo > 0 ? std::min(span.length, readTo) : span.length};
  for (const KeptWork& work : instance->kept) {
    if (keptFor(work, instance->contestSerial, hooks, key) && replaySnapshot(work.record, *decoder.record)) return;
  }
  const RecordMark mark = markRecord(*decoder.record);
  stage(decoder, span);
  KeptWork& kept = instance->kept[instance->nextKept];
  kept.serial = 0;
  const bool usable = takeSnapshot(*decoder.record, mark, kept.record);
  closeMark(*decoder.record, mark);
  if (!usable) return;
  kept.serial = instance->contestSerial;
  std::copy(std::begin(hooks), std::end(hooks), std::begin(kept.hooks));
  kept.spanLength = key.length;
  std::memcpy(kept.span, key.data, static_cast<std::size_t>(key.length));
  instance->nextKept = (instance->nextKept + 1) % kKeptWorkEntries;
}

// The eight hooks that read the fields area of track 3.
void readTrack3FieldArea(MagstripeDecoder& decoder, TextSpan fields) {
  for (MagstripeSpanHook hook :
       {decoder.readClass, decoder.readRestrictions, decoder.readEndorsements, decoder.readSex, decoder.readHeight,
        decoder.readWeight, decoder.readHairColor, decoder.readEyeColor})
    callSpanHook(decoder, hook, fields);
}

// How far the licence layout's four track 1 hooks read in track, when the table holds them all; 0 otherwise.
std::int32_t track1ReadTo(const MagstripeDecoder& decoder, TextSpan track) {
  constexpr MagstripeDecoder layout = licenceLayoutHooks();
  const bool layoutHooks = decoder.readJurisdiction == layout.readJurisdiction && decoder.readCity == layout.readCity &&
                           decoder.readName == layout.readName && decoder.readAddress == layout.readAddress;
  return layoutHooks ? layoutTrack1Reach(track) : 0;
}

// How far the licence layout's three track 2 hooks read in track, when the table holds them all; 0 otherwise.
std::int32_t track2ReadTo(const MagstripeDecoder& decoder, TextSpan track) {
  constexpr MagstripeDecoder layout = licenceLayoutHooks();
  const bool layoutHooks = decoder.readIin == layout.readIin && decoder.readLicenseNumber == layout.readLicenseNumber &&
                           decoder.readDates == layout.readDates;
  return layoutHooks ? layoutTrack2Reach(track) : 0;
}

// How far the licence layout's eight area hooks read, when the table holds them all; 0 when it holds another.
std::int32_t areaReadTo(const MagstripeDecoder& decoder) {
  constexpr MagstripeDecoder layout = licenceLayoutHooks();
  const bool layoutHooks = decoder.readClass == layout.readClass && decoder.readRestrictions == layout.readRestrictions &&
                           decoder.readEndorsements == layout.readEndorsements && decoder.readSex == layout.readSex &&
                           decoder.readHeight == layout.readHeight && decoder.readWeight == layout.readWeight &&
                           decoder.readHairColor == layout.readHairColor && decoder.readEyeColor == layout.readEyeColor;
  return layoutHooks ? kLayoutAreaReach : 0;
}

// The licence layout's track 3: its fields area, found by the locate hook and handed to readArea, then the postal
// code, read from the whole track.
template <typename ReadArea>
void readTrack3(MagstripeDecoder& decoder, TextSpan track3, ReadArea readArea) {
  if (!track3.filled()) return;
  if (decoder.locateTrack3Fields != nullptr) {
    TextSpan fields{};
    decoder.locateTrack3Fields(decoder, track3, fields);
    readArea(fields);
  }
  callSpanHook(decoder, decoder.readPostalCode, track3);
}

}  // namespace

void decodeTrack(MagstripeDecoder& decoder, MagstripeSpanHook trackHook, TextSpan track) {
  StageHooks hooks = {};
  if (trackHook == decodeTrack1Fields) {
    listHooks(hooks,
              {decodeTrack1Fields, decoder.readJurisdiction, decoder.readCity, decoder.readName, decoder.readAddress});
    return runSharedStage(decoder, decodeTrack1Fields, hooks, track, track1ReadTo(decoder, track));
  }
  if (trackHook == decodeTrack2Fields) {
    listHooks(hooks, {decodeTrack2Fields, decoder.readIin, decoder.readLicenseNumber, decoder.readDates});
    return runSharedStage(decoder, decodeTrack2Fields, hooks, track, track2ReadTo(decoder, track));
  }
  if (trackHook != decodeTrack3Fields) return callSpanHook(decoder, trackHook, track);
  // Rows that cut track 3 differently often find the same fields area in it, and their postal code readers differ:
  // the area is what is shared.
  readTrack3(decoder, track, [&](TextSpan fields) {
    listHooks(hooks, {readTrack3FieldArea, decoder.readClass, decoder.readRestrictions, decoder.readEndorsements,
                      decoder.readSex, decoder.readHeight, decoder.readWeight, decoder.readHairColor,
                      decoder.readEyeColor});
    runSharedStage(decoder, readTrack3FieldArea, hooks, fields, areaReadTo(decoder));
  });
}

Status runTrackDriver(MagstripeDecoder& decoder, const char* text, std::int32_t length) {
  TrackSpans tracks;
  if (Status s = splitAndCheckTracks(decoder, text, length, tracks); s != kStatusOk) return s;
  decodeTrack(decoder, decoder.decodeTrack1, tracks.track1);
  decodeTrack(decoder, decoder.decodeTrack2, tracks.track2);
  decodeTrack(decoder, decoder.decodeTrack3, tracks.track3);
  return kStatusOk;
}

// Each field hook searches the whole track by itself; none consumes text for the next.
void decodeTrack1Fields(MagstripeDecoder& decoder, TextSpan track1) {
  if (!track1.filled()) return;
  callSpanHook(decoder, decoder.readJurisdiction, track1);
  callSpanHook(decoder, decoder.readCity, track1);
  callSpanHook(decoder, decoder.readName, track1);
  callSpanHook(decoder, decoder.readAddress, track1);
}

void decodeTrack2Fields(MagstripeDecoder& decoder, TextSpan track2) {
  if (!track2.filled()) return;
  callSpanHook(decoder, decoder.readIin, track2);
  callSpanHook(decoder, decoder.readLicenseNumber, track2);
  callSpanHook(decoder, decoder.readDates, track2);
}

void decodeTrack3Fields(MagstripeDecoder& decoder, TextSpan track3) {
  readTrack3(decoder, track3, [&](TextSpan fields) { readTrack3FieldArea(decoder, fields); });
}

// Splitters.

Status splitLastPair(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitLastPairInto(text, length, tracks, false);
}

Status splitLastPairIntoTrack3(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitLastPairInto(text, length, tracks, true);
}

Status splitTwoLines(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  if (text == nullptr || length < 4) return kStatusStripeTooShort;
  TextSpan lines[2] = {};
  (void)takeLines(wholeText(text, length), lines, 2);
  tracks.track1 = lines[0];
  tracks.track2 = lines[1];
  return kStatusOk;
}

Status splitThreeLines(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitLines(text, length, tracks, false);
}

Status splitThreeLinesReversed(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitLines(text, length, tracks, true);
}

Status splitSentinelPair(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitSentinelPairWith(text, length, tracks, "?%");
}

Status splitSentinelPairHash(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitSentinelPairWith(text, length, tracks, "?#");
}

Status splitFramed(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  if (text == nullptr || length < 24) return kStatusStripeTooShort;
  constexpr std::string_view kOpeners[] = {"{!|1", "{!|2", "{!|3"};
  TextSpan framed[3] = {};
  std::int32_t from = 0;
  for (int i = 0; i < 3; ++i) {
    const std::int32_t open = findMarker(text, length, from, kOpeners[i]);
    if (open < 0) return kStatusStripeWrongShape;
    const std::int32_t close = findMarker(text, length, open, "|!}");
    if (close < 0) return kStatusStripeWrongShape;
    framed[i] = textPart(text, length, open + 4, close);
    if (!framed[i].filled()) return kStatusStripeWrongShape;
    from = close;
  }
  tracks = {framed[0], framed[1], framed[2]};
  return kStatusOk;
}

Status splitEndSentinel(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitPieces(text, length, tracks, false);
}

Status splitEndSentinelTrimmed(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  return splitPieces(text, length, tracks, true);
}

Status splitWholeText(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  if (text == nullptr || length < 3) return kStatusStripeTooShort;
  tracks.track1 = wholeText(text, length);
  return kStatusOk;
}

// Readers of a lone track hand over its end sentinel or a trailing byte; it is never part of a field.
Status splitTrack2Only(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  tracks.track2 = textPart(text, length, 0, static_cast<std::int64_t>(length) - 1);
  return kStatusOk;
}

Status splitTrack1Only(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  tracks.track1 = textPart(text, length, 0, static_cast<std::int64_t>(length) - 1);
  return kStatusOk;
}

Status splitSingleLine(MagstripeDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  if (text == nullptr || length < 4) return kStatusStripeTooShort;
  TextSpan line{};
  TextSpan rest = takeLines(wholeText(text, length), &line, 1);
  trimChars(&rest, kLineBreak);
  if (rest.filled()) return kStatusStripeWrongShape;
  tracks.track1 = line;
  return kStatusOk;
}

// Checks.

Status checkIinAndState(MagstripeDecoder&, TrackSpans& tracks) {
  if (!hasSentinelIin(tracks.track2) || !hasStatePrefix(tracks.track1)) return kStatusStripeWrongShape;
  dropFront(tracks.track1, 1);
  dropFront(tracks.track2, 1);
  return kStatusOk;
}

Status checkThreeTrackIinAndState(MagstripeDecoder& decoder, TrackSpans& tracks) {
  if (tracks.track3.length < 2) return kStatusStripeWrongShape;
  return checkIinAndState(decoder, tracks);
}

Status checkIin(MagstripeDecoder&, TrackSpans& tracks) {
  if (!hasSentinelIin(tracks.track2) || isFinancialTrack1(tracks.track1)) return kStatusStripeWrongShape;
  dropFront(tracks.track1, 1);
  dropFront(tracks.track2, 1);
  return kStatusOk;
}

// For readers that put one stray character between ";" and the IIN.
Status checkShiftedIin(MagstripeDecoder&, TrackSpans& tracks) {
  if (tracks.track2.length < 5 || !hasAamvaIin(tracks.track2, 2)) return kStatusStripeWrongShape;
  // A bank card's track 1 would pass the letter test on its "B"; British Columbia's "%BC" must not be lost.
  if (isFinancialTrack1(tracks.track1)) return kStatusStripeWrongShape;
  if (stripeCharAt(tracks.track1, 0) == '%' && !inClass(stripeCharAt(tracks.track1, 1), kClassLetter) &&
      !inClass(stripeCharAt(tracks.track1, 2), kClassLetter))
    return kStatusStripeWrongShape;
  dropFront(tracks.track2, 2);
  dropFront(tracks.track1, 1);
  return kStatusOk;
}

Status checkBareIin(MagstripeDecoder&, TrackSpans& tracks) {
  if (tracks.track2.length < 4 || !hasAamvaIin(tracks.track2, 0) || isFinancialTrack1(tracks.track1))
    return kStatusStripeWrongShape;
  return kStatusOk;
}

Status checkOptionalSentinel(MagstripeDecoder& decoder, TrackSpans& tracks) {
  if (!hasSentinelIin(tracks.track2) || isFinancialTrack1(tracks.track1)) return kStatusStripeWrongShape;
  if (tracks.track1.filled() && tracks.track1.data[0] != '%')
    decoder.readJurisdiction = nullptr;  // without "%" the track may begin anywhere, not at the code
  else
    dropFront(tracks.track1, 1);
  dropFront(tracks.track2, 1);
  return kStatusOk;
}

// A fields area that stops inside a field belongs to another layout: these are the ends of the track 3 fields.
Status checkFieldBoundary(MagstripeDecoder& decoder, TrackSpans& tracks) {
  if (tracks.track2.length < 4 || isFinancialTrack1(tracks.track1) || !startsWith(tracks.track2, ";636"))
    return kStatusStripeWrongShape;
  for (TextSpan* track : {&tracks.track1, &tracks.track2, &tracks.track3}) trimChars(track, kLineEdge);
  if (tracks.track1.filled() && tracks.track1.data[0] == '%')
    dropFront(tracks.track1, 1);
  else
    decoder.readJurisdiction = nullptr;
  if (stripeCharAt(tracks.track2, 0) == ';') dropFront(tracks.track2, 1);
  TextSpan fields{};
  if (decoder.locateTrack3Fields != nullptr && tracks.track3.filled())
    decoder.locateTrack3Fields(decoder, tracks.track3, fields);
  const std::int32_t n = fields.filled() ? fields.length : 0;
  constexpr std::int32_t kFieldEnds[] = {0, 2, 12, 16, 17, 20, 23, 26};
  if (n < 29 && std::find(std::begin(kFieldEnds), std::end(kFieldEnds), n) == std::end(kFieldEnds))
    return kStatusStripeWrongShape;
  return kStatusOk;
}

// A lone track 1 is taken for a licence's when it looks complete: a typical length, a last field closed by
// "^", or an end sentinel close to the end.
Status checkLoneTrack(MagstripeDecoder&, TrackSpans& tracks) {
  const TextSpan t = tracks.track1;
  if (t.length < 3 || !t.filled() || t.data[0] != '%') return kStatusStripeWrongShape;
  const std::int32_t last = t.length - 1;
  bool shaped = false;
  if (t.data[last] == '?') {
    if (t.length >= 42 && t.length <= 72) shaped = true;
    std::int32_t j = last - 1;
    while (j >= 0 && inClass(t.data[j], kClassSpace)) --j;
    if (j >= 0 && t.data[j] == '^') shaped = true;
  }
  for (std::int32_t j = std::max(0, last - 10); !shaped && j < last; ++j) shaped = t.data[j] == '?';
  if (!shaped || !inClass(t.data[1], kClassLetter) || !inClass(t.data[2], kClassLetter)) return kStatusStripeWrongShape;
  dropFront(tracks.track1, 1);
  return kStatusOk;
}

Status checkStateOnly(MagstripeDecoder&, TrackSpans& tracks) {
  if (!hasStatePrefix(tracks.track1)) return kStatusStripeWrongShape;
  dropFront(tracks.track1, 1);
  dropFront(tracks.track3, 1);
  return kStatusOk;
}

Status checkSeparator(MagstripeDecoder&, TrackSpans& tracks) {
  if (tracks.track3.length < 2 || tracks.track2.length < 5 || stripeCharAt(tracks.track2, 0) != ';' ||
      !hasAamvaIin(tracks.track2, 2) || !hasStatePrefix(tracks.track1))
    return kStatusStripeWrongShape;
  dropFront(tracks.track2, 2);
  dropFront(tracks.track1, 1);
  return kStatusOk;
}

// The lone track 2 arrives with one leading byte (its ";" or another) in front of the IIN.
Status checkSecondDigit(MagstripeDecoder&, TrackSpans& tracks) {
  if (tracks.track2.length < 2 || stripeCharAt(tracks.track2, 1) != '6') return kStatusStripeWrongShape;
  dropFront(tracks.track2, 1);
  return kStatusOk;
}

Status checkDigit(MagstripeDecoder&, TrackSpans& tracks) {
  if (tracks.track1.length < 2 || stripeCharAt(tracks.track1, 0) != '%' ||
      !inClass(stripeCharAt(tracks.track1, 1), kClassDigit))
    return kStatusStripeWrongShape;
  return kStatusOk;
}

Status checkPrefixOh(MagstripeDecoder&, TrackSpans& tracks) {
  if (tracks.track1.length < 2 || !startsWith(tracks.track1, "OH")) return kStatusStripeWrongShape;
  return kStatusOk;
}

}  // namespace quorix
