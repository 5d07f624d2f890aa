// The 17 magnetic stripe variants: each names its splitter and check and the few hooks its documents need in place
// of the licence layout's defaults; one template runs the pipeline for a registry id.
#include "decoders/magstripe/magstripe_variants.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/text_utils.h"
#include "decoders/magstripe/magstripe_pipeline.h"
#include "decoders/variant_kit.h"

namespace quorix {

namespace {

std::int32_t countDigits(TextSpan span, std::int32_t start, std::int32_t maxCount) {
  std::int32_t n = 0;
  while (n < maxCount && inClass(stripeCharAt(span, start + n), kClassDigit)) ++n;
  return n;
}

// Postal codes behind a leading sentinel (ids 4 and 13): five or nine digits three places after the "%".
void readSentinelPostalCode(MagstripeDecoder& decoder, TextSpan track3) {
  if (track3.length < 8 || stripeCharAt(track3, 0) != '%' || !inClass(stripeCharAt(track3, 3), kClassDigit)) return;
  const std::int32_t count = countDigits(track3, 3, track3.length < 13 ? track3.length - 3 : 9);
  if (count < 5) return;
  storePostalCode(*decoder.record, stripePart(track3, 3, count), kPostalZipPlus4);
}

// Track 3 beginning "#" (id 9) carries its postal code one place further on.
void readHashPostalCode(MagstripeDecoder& decoder, TextSpan track3) {
  if (track3.length <= 8 || stripeCharAt(track3, 0) != '#') return;
  TextSpan code = stripePart(track3, 4, 9);
  trimClass(&code, kClassSpace);
  storePostalCode(*decoder.record, code, kPostalZipPlus4);
}

// Layouts whose fields area starts 15 characters into track 3 (ids 8 and 9).
void locateFieldsAt15(MagstripeDecoder&, TextSpan track3, TextSpan& fields) {
  fields = track3.length >= 15 ? stripePart(track3, 15, track3.length) : TextSpan{};
}

// The "#" layout's sex stands at offset 15, so its endorsements end there: the default's fourth character would be
// the sex letter.
void readEndorsementsBeforeSexAt15(MagstripeDecoder& decoder, TextSpan fields) {
  if (fields.length < 15) return;
  TextSpan endorsements = stripePart(fields, 12, 3);
  trimClass(&endorsements, kClassSpace);
  storeStripeValue(decoder, SLOT_ENDORSEMENTS, endorsements);
}

void readSexAt15(MagstripeDecoder& decoder, TextSpan fields) {
  if (fields.length <= 15) return;
  TextSpan sex = stripePart(fields, 15, 1);
  trimClass(&sex, kClassSpace);
  storeStripeValue(decoder, SLOT_SEX, sex);
}

// Canadian addresses (id 8) end at the first character outside the narrower street class; they keep their id
// characters only.
void readNarrowAddress(MagstripeDecoder& decoder, TextSpan track1) {
  TextSpan address{};
  if (!findAddressRun(track1, kClassStreet, &address)) return;
  trimIf(&address, isNotIdChar);
  setSlotKeeping(*decoder.record, SLOT_STREET_1, address, kClassId, kClassBlank, ' ');
}

// Canadian postal codes follow the first sentinel: six characters become "K1A 0B1", nine digits stay as they are.
void readForwardPostalCode(MagstripeDecoder& decoder, TextSpan track3) {
  if (track3.length < 7) return;
  for (std::int32_t p = 0; p <= track3.length - 7; ++p) {
    if (track3.data[p] != '#' && track3.data[p] != '%') continue;
    const std::int32_t limit = std::min(11, track3.length - p - 3);
    std::int32_t count = 0;
    while (count < limit && inClass(track3.data[p + 3 + count], kClassUpperOrSpace | kClassDigit)) ++count;
    if (count <= 3) continue;
    TextSpan code{track3.data + p + 3, count};
    trimClass(&code, kClassSpace);
    storePostalCode(*decoder.record, code, kPostalCanadian);
    return;
  }
}

// Id 11: everything behind track 1 is one part; the licence number sits far into its fields area.
void readLicenseFromTrack3(MagstripeDecoder& decoder, TextSpan track3) {
  if (decoder.locateTrack3Fields == nullptr || !track3.filled()) return;
  TextSpan fields{};
  decoder.locateTrack3Fields(decoder, track3, fields);
  if (fields.length < 53) return;
  TextSpan number = stripePart(fields, 41, 12);
  trimChars(&number, " ");
  storeStripeValue(decoder, SLOT_LICENCE_NUMBER, number);
}

void readForwardSentinelPostalCode(MagstripeDecoder& decoder, TextSpan track3) {
  if (!track3.filled()) return;
  const char* const end = track3.data + track3.length;
  for (const char* at = track3.data;
       (at = static_cast<const char*>(std::memchr(at, '%', static_cast<std::size_t>(end - at)))) != nullptr; ++at) {
    const auto p = static_cast<std::int32_t>(at - track3.data);
    const std::int32_t behind = track3.length - 1 - p;
    if (behind < 7) continue;
    const std::int32_t count = countDigits(track3, p + 3, behind >= 12 ? 9 : behind - 2);
    if (count < 5) continue;
    storePostalCode(*decoder.record, stripePart(track3, p + 3, count), kPostalZipPlus4);
    return;
  }
}

[[nodiscard]] Status runTrack3NumberDriver(MagstripeDecoder& decoder, const char* text, std::int32_t length) {
  TrackSpans tracks;
  if (Status s = splitAndCheckTracks(decoder, text, length, tracks); s != kStatusOk) return s;
  decodeTrack(decoder, decoder.decodeTrack1, tracks.track1);
  decodeTrack(decoder, decoder.decodeTrack3, tracks.track3);
  callSpanHook(decoder, decoder.readLicenseNumber, tracks.track3);
  return kStatusOk;
}

// Id 13: a separator character between the IIN and the licence number, so the number starts one place later.
void readLicenseAfterSeparator(MagstripeDecoder& decoder, TextSpan track2) {
  if (track2.length <= 20 || !allInClass(stripePart(track2, 0, 6), kClassDigit)) return;
  const char separator = stripeCharAt(track2, 6);
  if (inClass(separator, kClassDigit | kClassLetter) || !inClass(stripeCharAt(track2, 7), kClassDigit)) return;
  storeLicenseDigits(decoder, track2, 7);
}

// The separator may itself be "=", so the one in front of the dates is searched from position 7.
void readDatesAfterPosition7(MagstripeDecoder& decoder, TextSpan track2) {
  readDatesAfterSeparator(decoder, track2, 7);
}

// Id 14: a long number split around the dates, its second part written first: IIN, part A, "=", 12 date
// digits, "=", part B, "=".
void readTwoPartNumber(MagstripeDecoder& decoder, TextSpan track2) {
  if (track2.length < 8) return;
  const std::int32_t partA = countDigits(track2, 6, 13);
  const std::int32_t firstEquals = 6 + partA;
  if (stripeCharAt(track2, firstEquals) != '=') return;
  if (track2.length - firstEquals <= 13) return;
  const std::int32_t secondEquals = firstEquals + 13;
  if (stripeCharAt(track2, secondEquals) != '=' || secondEquals + 1 >= track2.length) return;
  const std::int32_t partB = countDigits(track2, secondEquals + 1, track2.length);
  if (stripeCharAt(track2, secondEquals + 1 + partB) != '=') return;
  char number[32] = {};
  const std::int32_t fromB = std::min(partB, 31);
  std::memcpy(number, track2.data + secondEquals + 1, static_cast<std::size_t>(fromB));
  const std::int32_t fromA = std::min(partA, 31 - fromB);
  if (fromA > 0) std::memcpy(number + fromB, track2.data + 6, static_cast<std::size_t>(fromA));
  setSlotText(*decoder.record, SLOT_LICENCE_NUMBER, number);
}

// Id 15: an Australian track 1, "%", a digit, then "^"-separated fields of which the first name-like one
// followed by a number is the holder's.
void decodeAustralianTrack1(MagstripeDecoder& decoder, TextSpan track1) {
  if (track1.length < 5) return;
  TextSpan rest = track1;
  for (;;) {
    const auto* caret = static_cast<const char*>(std::memchr(rest.data, '^', static_cast<std::size_t>(rest.length)));
    if (caret == nullptr) return;  // no further field: nothing to read
    rest = stripePart(rest, static_cast<std::int32_t>(caret - rest.data) + 1, rest.length);
    if (rest.length <= 3) return;
    const TextSpan afterCaret = rest;
    TextSpan name{};
    TextSpan number{};
    TextSpan tail{};
    if (leadingRunOf(rest, kClassName, 1, 30, &name, &tail) && tail.length > 2 && tail.data[0] == '^') {
      advanceSpan(&tail, 1);
      if (leadingRunOf(tail, kClassDigitOrSpace, 1, 10, &number, &tail) && tail.length >= 1 && tail.data[0] == '^') {
        trimClass(&name, kClassSpace);
        trimClass(&number, kClassSpace);
        if (name.filled()) storeStripeValue(decoder, SLOT_FULL_NAME, name);
        if (number.filled()) storeStripeValue(decoder, SLOT_LICENCE_NUMBER, number);
        return;
      }
    }
    if (afterCaret.length <= 4) return;
    rest = afterCaret;
  }
}

[[nodiscard]] Status runAustralianDriver(MagstripeDecoder& decoder, const char* text, std::int32_t length) {
  TrackSpans tracks;
  if (Status s = splitAndCheckTracks(decoder, text, length, tracks); s != kStatusOk) return s;
  callSpanHook(decoder, decoder.decodeTrack1, tracks.track1);
  setSlotText(*decoder.record, SLOT_COUNTRY, "Australia");
  return kStatusOk;
}

// Id 16: one line, "OH", city, name and address as on track 1, then "^", IIN and licence digits, "=", the 12
// date digits, digits ending with the postal code, and the fields area. Its hooks look behind each "^".

// What follows the next "^" at or after from, or an empty span when there is none.
TextSpan afterNextCaret(TextSpan line, std::int32_t& from) {
  while (from < line.length && line.data[from] != '^') ++from;
  if (from >= line.length) return {};
  ++from;
  return stripePart(line, from, line.length);
}

// The next "^" at or after from with at least minAfter bytes behind it, opening with the 7 to 19 digits of IIN and
// licence number: those digits and what follows them; false once no such "^" is left. Each reader then judges the
// rest by its own needs.
bool nextCaretDigits(TextSpan line, std::int32_t& from, std::int32_t minAfter, TextSpan& digits, TextSpan& rest) {
  while (from < line.length) {
    const TextSpan after = afterNextCaret(line, from);
    if (after.length >= minAfter && leadingRunOf(after, kClassDigit, 7, 19, &digits, &rest)) return true;
  }
  return false;
}

void readOneLineIin(MagstripeDecoder& decoder, TextSpan line) {
  TextSpan digits{};
  TextSpan rest{};
  for (std::int32_t from = 0; nextCaretDigits(line, from, 7, digits, rest);) {
    if (!rest.filled()) return;
    if (rest.data[0] != '=') continue;
    storeStripeValue(decoder, SLOT_IIN, stripePart(digits, 0, 6));
    return;
  }
}

void readOneLineLicense(MagstripeDecoder& decoder, TextSpan line) {
  TextSpan digits{};
  TextSpan rest{};
  for (std::int32_t from = 0; nextCaretDigits(line, from, 7, digits, rest);) {
    if (!rest.filled()) return;
    if (rest.length < 13 || rest.data[0] != '=' || digits.length <= 6) continue;
    storeStripeValue(decoder, SLOT_LICENCE_NUMBER, stripePart(digits, 6, digits.length));
    return;
  }
}

// The digits behind the 12 date digits end with the postal code; up to two leading digits belong to something
// else.
void readOneLinePostalCode(MagstripeDecoder& decoder, TextSpan line) {
  if (line.length < 26) return;
  TextSpan digits{};
  TextSpan rest{};
  for (std::int32_t from = 0; nextCaretDigits(line, from, 26, digits, rest);) {
    if (rest.length < 18 || rest.data[0] != '=') return;
    TextSpan postal{};
    if (!leadingRunOf(stripePart(rest, 13, rest.length), kClassDigit, 5, 11, &postal, nullptr) || postal.length < 5)
      continue;
    if (postal.length == 6) advanceSpan(&postal, 1);
    if (postal.length >= 7) advanceSpan(&postal, 2);
    storePostalCode(*decoder.record, postal, kPostalZipPlus4);
    return;
  }
}

void locateOneLineFields(MagstripeDecoder&, TextSpan line, TextSpan& fields) {
  if (line.length < 27) return;
  TextSpan digits{};
  TextSpan rest{};
  for (std::int32_t from = 0; nextCaretDigits(line, from, 27, digits, rest);) {
    if (rest.length < 19 || rest.data[0] != '=') return;
    TextSpan run{};
    TextSpan behind{};
    if (!leadingRunOf(stripePart(rest, 13, rest.length), kClassDigit, 5, 255, &run, &behind) || !behind.filled())
      continue;
    fields = behind;
    return;
  }
}

TextSpan oneLineField(TextSpan fields, std::int32_t offset, std::int32_t width) {
  if (fields.length < offset + width) return {};
  TextSpan value = stripePart(fields, offset, width);
  trimClass(&value, kClassSpace);
  return value;
}

void readOneLineClass(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_CLASS, oneLineField(fields, 2, 2));
}
void readOneLineRestrictions(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_RESTRICTIONS, oneLineField(fields, 4, 10));
}
void readOneLineEndorsements(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_ENDORSEMENTS, oneLineField(fields, 14, 4));
}
void readOneLineSex(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_SEX, oneLineField(fields, 18, 1));
}
void readOneLineHeight(MagstripeDecoder& decoder, TextSpan fields) {
  const TextSpan height = oneLineField(fields, 19, 3);
  if (allInClass(height, kClassDigit)) storeStripeValue(decoder, SLOT_HEIGHT_FT_IN, height);
}
void readOneLineWeight(MagstripeDecoder& decoder, TextSpan fields) {
  const TextSpan weight = oneLineField(fields, 22, 3);
  if (allInClass(weight, kClassDigit)) storeStripeValue(decoder, SLOT_WEIGHT_LB, weight);
}
void readOneLineHairColor(MagstripeDecoder& decoder, TextSpan fields) {
  const TextSpan hair = fields.length < 28 ? TextSpan{} : stripePart(fields, 25, 3);
  if (allInClass(hair, kClassLetter)) storeStripeValue(decoder, SLOT_HAIR_COLOUR, hair);
}
void readOneLineEyeColor(MagstripeDecoder& decoder, TextSpan fields) {
  const TextSpan eyes = fields.length < 31 ? TextSpan{} : stripePart(fields, 28, 3);
  if (allInClass(eyes, kClassLetter)) storeStripeValue(decoder, SLOT_EYE_COLOUR, eyes);
}

// The 12 date digits follow the "=" that ends a piece closing on at least 7 digits (the IIN and number).
void readOneLineDates(MagstripeDecoder& decoder, TextSpan line) {
  if (line.length < 20) return;
  TextSpan rest = line;
  for (;;) {
    TextSpan piece{};
    TextSpan after{};
    nextToken(rest, &piece, &after, "=", true);
    if (piece.length >= 7 && allInClass(stripePart(piece, piece.length - 7, 7), kClassDigit) && after.length >= 12 &&
        allInClass(stripePart(after, 0, 12), kClassDigit)) {
      storeStripeDates(decoder, stripePart(after, 0, 12));
      return;
    }
    const bool progressed = after.length < rest.length;
    rest = after;
    if (rest.length <= 19 || !progressed) break;
  }
  if (rest.length >= 12 && allInClass(stripePart(rest, 0, 12), kClassDigit))
    storeStripeDates(decoder, stripePart(rest, 0, 12));
}

void decodeOneLine(MagstripeDecoder& decoder, TextSpan line) {
  if (!line.filled()) return;
  for (MagstripeSpanHook hook : {decoder.readCity, decoder.readName, decoder.readAddress, decoder.readIin,
                                 decoder.readLicenseNumber, decoder.readPostalCode})
    callSpanHook(decoder, hook, line);
  if (decoder.locateTrack3Fields != nullptr) {
    TextSpan fields{};
    decoder.locateTrack3Fields(decoder, line, fields);
    for (MagstripeSpanHook hook :
         {decoder.readClass, decoder.readRestrictions, decoder.readEndorsements, decoder.readSex, decoder.readHeight,
          decoder.readWeight, decoder.readHairColor, decoder.readEyeColor})
      if (hook != nullptr) hook(decoder, fields);
  }
  if (decoder.readDates != nullptr) decoder.readDates(decoder, line);
  setSlotText(*decoder.record, SLOT_JURISDICTION, "OH");
}

// Track hooks a variant empties.
constexpr std::uint32_t kWithoutTrack1 = 1;
constexpr std::uint32_t kWithoutTrack2 = 2;
constexpr std::uint32_t kWithoutTrack3 = 4;

struct MagstripeVariant {
  std::int32_t id = -1;
  MagstripeSplitHook splitTracks = nullptr;
  MagstripeCheckHook checkTracks = nullptr;
  bool withoutDefaults = false;  // start from an empty table rather than the licence layout
  bool removeLineFeeds = false;  // edit the text in place before splitting
  std::uint32_t without = 0;
  // The hooks the variant puts in place of the licence layout's, a table of its own with the rest left empty:
  // an empty hook keeps the default. Designated initializers keep each row in field order.
  MagstripeDecoder overrides = {};
  // What the variant's split and check cannot pass without: the byte at opensAt, the IIN behind the pair that ends
  // track 1, texts it must hold (an
  // IIN behind its sentinel, the "%" of a track 1, the pair between two tracks), a line break between tracks; and
  // the length under which its splitter calls the text too short. A text of at least that length lacking one of
  // them is turned away before the decoder is set up.
  char opens = '\0';
  std::int32_t opensAt = 0;
  std::int32_t iinBehindPair = 0;  // the IIN starts this many bytes behind the ";" of the first "?;"
  std::string_view needs[3] = {};
  std::string_view lastLineOpens = {};  // the text's last line (line breaks at its end aside) opens with these bytes
  bool needsLineBreak = false;
  std::int32_t shortBelow = 0;
};

// clang-format off
constexpr MagstripeVariant kMagstripeVariants[] = {
    {.id = 0, .splitTracks = splitLastPair, .checkTracks = checkIinAndState,
     .opens = '%', .needs = {"?;636"}, .shortBelow = 5},
    {.id = 1, .splitTracks = splitTwoLines, .checkTracks = checkIinAndState,
     .needs = {";636", "%"}, .needsLineBreak = true, .shortBelow = 4},
    {.id = 2, .splitTracks = splitThreeLines, .checkTracks = checkThreeTrackIinAndState,
     .needs = {";636", "%"}, .needsLineBreak = true, .shortBelow = 6},
    {.id = 3, .splitTracks = splitThreeLinesReversed, .checkTracks = checkThreeTrackIinAndState,
     .needs = {";636", "%"}, .needsLineBreak = true, .shortBelow = 6},
    {.id = 4, .splitTracks = splitSentinelPair, .checkTracks = checkIin,
     .overrides = {.readPostalCode = readSentinelPostalCode}, .opens = '%', .iinBehindPair = 1, .needs = {"?%"},
     .shortBelow = 8},
    {.id = 5, .splitTracks = splitSentinelPair, .checkTracks = checkShiftedIin,
     .opens = '%', .iinBehindPair = 2, .needs = {"?%"}, .shortBelow = 8},
    {.id = 6, .splitTracks = splitFramed, .checkTracks = checkBareIin,
     .needs = {"{!|2636", "{!|1"}, .shortBelow = 24},
    {.id = 7, .splitTracks = splitEndSentinelTrimmed, .checkTracks = checkOptionalSentinel, .needs = {";636"},
     .shortBelow = 8},
    // Heights keep the default's centimetre test: Canadian cards write centimetres. Weights go as the default
    // routes them, up to 100 as kilograms and heavier as pounds.
    {.id = 8, .splitTracks = splitEndSentinel, .checkTracks = checkFieldBoundary,
     .overrides = {.readAddress = readNarrowAddress, .readPostalCode = readForwardPostalCode,
                   .locateTrack3Fields = locateFieldsAt15},
     .needs = {"?;636"}, .shortBelow = 8},
    {.id = 9, .splitTracks = splitSentinelPairHash, .checkTracks = checkIin,
     .overrides = {.readPostalCode = readHashPostalCode, .locateTrack3Fields = locateFieldsAt15,
                   .readEndorsements = readEndorsementsBeforeSexAt15, .readSex = readSexAt15},
     .opens = '%', .iinBehindPair = 1, .needs = {"?#"}, .shortBelow = 8},
    {.id = 10, .splitTracks = splitWholeText, .checkTracks = checkLoneTrack, .without = kWithoutTrack2 | kWithoutTrack3,
     .opens = '%', .shortBelow = 3},
    {.id = 11, .splitTracks = splitLastPairIntoTrack3, .checkTracks = checkStateOnly, .removeLineFeeds = true,
     .without = kWithoutTrack2,
     .overrides = {.decode = runTrack3NumberDriver, .readLicenseNumber = readLicenseFromTrack3,
                   .readPostalCode = readForwardSentinelPostalCode},
     .needs = {";", "%"}, .shortBelow = 5},
    {.id = 12, .splitTracks = splitThreeLines, .checkTracks = checkSeparator,
     .needs = {"636", "%"}, .needsLineBreak = true, .shortBelow = 6},
    {.id = 13, .splitTracks = splitSentinelPair, .checkTracks = checkIin,
     .overrides = {.readLicenseNumber = readLicenseAfterSeparator, .readDates = readDatesAfterPosition7,
                   .readPostalCode = readSentinelPostalCode},
     .opens = '%', .iinBehindPair = 1, .needs = {"?%"}, .shortBelow = 8},
    {.id = 14, .splitTracks = splitTrack2Only, .checkTracks = checkSecondDigit,
     .without = kWithoutTrack1 | kWithoutTrack3, .overrides = {.readLicenseNumber = readTwoPartNumber}, .opens = '6',
     .opensAt = 1},
    {.id = 15, .splitTracks = splitTrack1Only, .checkTracks = checkDigit, .withoutDefaults = true,
     .overrides = {.decode = runAustralianDriver, .decodeTrack1 = decodeAustralianTrack1}, .opens = '%'},
    // The default driver reads the one line once tracks 2 and 3 are gone. It replaces 14 of the 16 field hooks:
    // a layout of its own that borrows only the driver and the city, name and address readers.
    {.id = 16, .splitTracks = splitSingleLine, .checkTracks = checkPrefixOh, .without = kWithoutTrack2 | kWithoutTrack3,
     .overrides = {.decodeTrack1 = decodeOneLine, .readIin = readOneLineIin, .readLicenseNumber = readOneLineLicense,
                   .readDates = readOneLineDates, .readPostalCode = readOneLinePostalCode,
                   .locateTrack3Fields = locateOneLineFields, .readClass = readOneLineClass,
                   .readRestrictions = readOneLineRestrictions, .readEndorsements = readOneLineEndorsements,
                   .readSex = readOneLineSex, .readHeight = readOneLineHeight, .readWeight = readOneLineWeight,
                   .readHairColor = readOneLineHairColor, .readEyeColor = readOneLineEyeColor},
     .lastLineOpens = "OH", .shortBelow = 4},
};
// clang-format on

// Removing line feeds moves the text's first byte and joins its lines: a variant that does it can need texts only.
constexpr bool variantsAreComplete() {
  for (std::int32_t i = 0; i < std::ssize(kMagstripeVariants); ++i) {
    const MagstripeVariant& v = kMagstripeVariants[i];
    if (v.id != i || v.splitTracks == nullptr || v.checkTracks == nullptr) return false;
    if (v.removeLineFeeds && (v.opens != '\0' || v.needsLineBreak || v.iinBehindPair > 0 || !v.lastLineOpens.empty()))
      return false;
  }
  return true;
}
static_assert(std::size(kMagstripeVariants) == 17 && variantsAreComplete());

// Every hook but the splitter and the check, which each row names apart.
constexpr void applyOverrides(MagstripeDecoder& decoder, const MagstripeDecoder& o) {
  overrideHook(decoder.decode, o.decode);
  overrideHook(decoder.decodeTrack1, o.decodeTrack1);
  overrideHook(decoder.readJurisdiction, o.readJurisdiction);
  overrideHook(decoder.readCity, o.readCity);
  overrideHook(decoder.readName, o.readName);
  overrideHook(decoder.readAddress, o.readAddress);
  overrideHook(decoder.decodeTrack2, o.decodeTrack2);
  overrideHook(decoder.readIin, o.readIin);
  overrideHook(decoder.readLicenseNumber, o.readLicenseNumber);
  overrideHook(decoder.readDates, o.readDates);
  overrideHook(decoder.decodeTrack3, o.decodeTrack3);
  overrideHook(decoder.readPostalCode, o.readPostalCode);
  overrideHook(decoder.locateTrack3Fields, o.locateTrack3Fields);
  overrideHook(decoder.readClass, o.readClass);
  overrideHook(decoder.readRestrictions, o.readRestrictions);
  overrideHook(decoder.readEndorsements, o.readEndorsements);
  overrideHook(decoder.readSex, o.readSex);
  overrideHook(decoder.readHeight, o.readHeight);
  overrideHook(decoder.readWeight, o.readWeight);
  overrideHook(decoder.readHairColor, o.readHairColor);
  overrideHook(decoder.readEyeColor, o.readEyeColor);
}

// A variant's hook table, record and instance left empty: the licence layout's (or an empty one), the variant's
// splitter and check, its overrides, and without the track hooks it empties.
constexpr MagstripeDecoder variantHooks(const MagstripeVariant& variant) {
  MagstripeDecoder decoder = variant.withoutDefaults ? MagstripeDecoder{} : licenceLayoutHooks();
  decoder.splitTracks = variant.splitTracks;
  decoder.checkTracks = variant.checkTracks;
  applyOverrides(decoder, variant.overrides);
  if ((variant.without & kWithoutTrack1) != 0) decoder.decodeTrack1 = nullptr;
  if ((variant.without & kWithoutTrack2) != 0) decoder.decodeTrack2 = nullptr;
  if ((variant.without & kWithoutTrack3) != 0) decoder.decodeTrack3 = nullptr;
  return decoder;
}

constexpr std::array<MagstripeDecoder, std::size(kMagstripeVariants)> allVariantHooks() {
  std::array<MagstripeDecoder, std::size(kMagstripeVariants)> tables{};
  for (std::size_t row = 0; row < tables.size(); ++row) tables[row] = variantHooks(kMagstripeVariants[row]);
  return tables;
}

// Each decode copies its row's table and adds the record and instance.
constexpr std::array<MagstripeDecoder, std::size(kMagstripeVariants)> kVariantHooks = allVariantHooks();

// Removes line feeds in place and ends the shortened text with a NUL; returns the new length.
std::int32_t removeLineFeeds(char* text, std::int32_t length) {
  if (text == nullptr || length < 1) return length;
  // Most texts hold none: the bytes in front of the first one stay where they are.
  const void* first = std::memchr(text, '\n', static_cast<std::size_t>(length));
  if (first == nullptr) return length;
  auto kept = static_cast<std::int32_t>(static_cast<const char*>(first) - text);
  for (std::int32_t i = kept + 1; i < length; ++i)
    if (text[i] != '\n') text[kept++] = text[i];
  text[kept] = '\0';
  return kept;
}

// Whether text holds at least count bytes once the variant's edit is done (line feeds removed or not).
bool holdsAtLeast(const MagstripeVariant& variant, const char* text, std::int32_t length, std::int32_t count) {
  if (!variant.removeLineFeeds) return length >= count;
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < length && kept < count; ++i) kept += text[i] != '\n' ? 1 : 0;
  return kept >= count;
}

// Whether part is missing from text: its first byte found by memchr, the rest compared. An empty part is never missing.
bool lacks(const char* text, std::int32_t length, std::string_view part) {
  if (part.empty()) return false;
  const auto rest = static_cast<std::int32_t>(part.size()) - 1;
  const char* at = text;
  const char* const end = text + length;
  while (end - at > rest) {
    const auto* hit = static_cast<const char*>(std::memchr(at, part[0], static_cast<std::size_t>(end - at - rest)));
    if (hit == nullptr) return true;
    if (std::memcmp(hit + 1, part.data() + 1, static_cast<std::size_t>(rest)) == 0) return false;
    at = hit + 1;
  }
  return true;
}

// The sentinel-pair splitters end track 1 at the first "?;", so the IIN the check wants must follow that one.
bool hasIinBehindFirstPair(const char* text, std::int32_t length, std::int32_t behind) {
  const char* at = text;
  const char* const end = text + length;
  while (end - at > 1) {
    const auto* hit = static_cast<const char*>(std::memchr(at, '?', static_cast<std::size_t>(end - at - 1)));
    if (hit == nullptr) return false;
    if (hit[1] == ';') {
      const std::int64_t iin = (hit - text) + 1 + behind;
      return iin + 3 <= length && std::memcmp(text + iin, "636", 3) == 0;
    }
    at = hit + 1;
  }
  return false;
}

// The splitter of the one-line layout takes the only line of two bytes or more, so that line ends the text.
bool lastLineOpensWith(const char* text, std::int32_t length, std::string_view prefix) {
  std::int32_t end = length;
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  const auto* feed = static_cast<const char*>(lastByte(text, '\n', static_cast<std::size_t>(end)));
  const auto* ret = static_cast<const char*>(lastByte(text, '\r', static_cast<std::size_t>(end)));
  const char* start = std::max(feed != nullptr ? feed + 1 : text, ret != nullptr ? ret + 1 : text);
  return text + end - start >= std::ssize(prefix) && std::memcmp(start, prefix.data(), prefix.size()) == 0;
}

bool hasLineBreak(const char* text, std::int32_t length) {
  return std::memchr(text, '\n', static_cast<std::size_t>(length)) != nullptr ||
         std::memchr(text, '\r', static_cast<std::size_t>(length)) != nullptr;
}

// Most texts offered to the stripe rows are no stripe at all: a text lacking what a variant's split and check insist
// on gets the answer the check would give, without the decoder being set up, the text edited or split. The variant
// that removes line feeds needs single bytes only, which that edit neither adds nor takes away.
// The row is a constant, so each row's screen keeps only the tests it has: most are one byte compare.
template <std::size_t Row>
bool lacksNeededParts(const char* text, std::int32_t length) {
  constexpr const MagstripeVariant& variant = kMagstripeVariants[Row];
  if (text == nullptr || length < 1) return false;
  if constexpr (variant.opens != '\0') {
    if (length <= variant.opensAt || text[variant.opensAt] != variant.opens)
      return holdsAtLeast(variant, text, length, variant.shortBelow);
  }
  if constexpr (variant.iinBehindPair > 0) {
    if (!hasIinBehindFirstPair(text, length, variant.iinBehindPair))
      return holdsAtLeast(variant, text, length, variant.shortBelow);
  }
  if constexpr (!variant.lastLineOpens.empty()) {
    if (!lastLineOpensWith(text, length, variant.lastLineOpens))
      return holdsAtLeast(variant, text, length, variant.shortBelow);
  }
  if constexpr (variant.needsLineBreak) {
    if (!hasLineBreak(text, length)) return holdsAtLeast(variant, text, length, variant.shortBelow);
  }
  for (const std::string_view part : variant.needs)
    if (lacks(text, length, part)) return holdsAtLeast(variant, text, length, variant.shortBelow);
  return false;
}

// The decode of a text that passed the row's screen.
[[nodiscard]] Status runVariant(std::size_t row, const char* text, std::int32_t length, FieldRecord& record,
                                ParserInstance& instance) {
  MagstripeDecoder decoder = kVariantHooks[row];
  decoder.record = &record;
  decoder.instance = &instance;
  if (decoder.decode == nullptr) return kStatusStripeWrongShape;
  return decoder.decode(decoder, text, length);
}

}  // namespace

template <std::int32_t Id>
bool screenMagstripeVariant(const char* text, std::int32_t length) {
  return !lacksNeededParts<variantRow(kMagstripeVariants, Id)>(text, length);
}

template <std::int32_t Id>
Status decodeMagstripeVariant(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  constexpr std::size_t row = variantRow(kMagstripeVariants, Id);
  static_assert(!kMagstripeVariants[row].removeLineFeeds, "a variant that edits its text takes it writable");
  if (!screenPassed(instance, screenMagstripeVariant<Id>, text, length) && lacksNeededParts<row>(text, length))
    return kStatusStripeWrongShape;
  return runVariant(row, text, length, record, instance);
}

template <std::int32_t Id>
Status decodeMagstripeEditing(char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  constexpr std::size_t row = variantRow(kMagstripeVariants, Id);
  static_assert(kMagstripeVariants[row].removeLineFeeds, "a variant that only reads its text takes it read-only");
  if (!screenPassed(instance, screenMagstripeVariant<Id>, text, length) && lacksNeededParts<row>(text, length))
    return kStatusStripeWrongShape;
  return runVariant(row, text, removeLineFeeds(text, length), record, instance);
}

template Status decodeMagstripeVariant<0>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<1>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<2>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<3>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<4>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<5>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<6>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<7>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<8>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<9>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<10>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeEditing<11>(char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<12>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<13>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<14>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<15>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeMagstripeVariant<16>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template bool screenMagstripeVariant<0>(const char*, std::int32_t);
template bool screenMagstripeVariant<1>(const char*, std::int32_t);
template bool screenMagstripeVariant<2>(const char*, std::int32_t);
template bool screenMagstripeVariant<3>(const char*, std::int32_t);
template bool screenMagstripeVariant<4>(const char*, std::int32_t);
template bool screenMagstripeVariant<5>(const char*, std::int32_t);
template bool screenMagstripeVariant<6>(const char*, std::int32_t);
template bool screenMagstripeVariant<7>(const char*, std::int32_t);
template bool screenMagstripeVariant<8>(const char*, std::int32_t);
template bool screenMagstripeVariant<9>(const char*, std::int32_t);
template bool screenMagstripeVariant<10>(const char*, std::int32_t);
template bool screenMagstripeVariant<11>(const char*, std::int32_t);
template bool screenMagstripeVariant<12>(const char*, std::int32_t);
template bool screenMagstripeVariant<13>(const char*, std::int32_t);
template bool screenMagstripeVariant<14>(const char*, std::int32_t);
template bool screenMagstripeVariant<15>(const char*, std::int32_t);
template bool screenMagstripeVariant<16>(const char*, std::int32_t);

}  // namespace quorix
