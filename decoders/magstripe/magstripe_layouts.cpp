// The default field hooks of the licence stripe layout: track 1 fields found by character class, track 2 fields
// anchored on its "=", track 3 fields at fixed offsets behind a start sentinel searched from the end.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/text_utils.h"
#include "decoders/magstripe/magstripe_pipeline.h"

namespace quorix {
namespace {

// What a city or an address is trimmed of, and the start sentinels of track 3.
constexpr CharSet kCityTrim("-.'/\\ \t$^?");
constexpr CharSet kAddressTrim("_-'\\/");
constexpr CharSet kCaret("^");
constexpr const char* kTrack3SentinelBytes = "%#+";
constexpr CharSet kTrack3Sentinels(kTrack3SentinelBytes);

// The last place in track[0, end) that holds a start sentinel of track 3, or -1. Each sentinel byte is looked for by
// memchr, which passes over the values between them: a test of every byte from the end back cost 400 instructions
// a track.
std::int32_t lastSentinelBefore(TextSpan track, std::int32_t end) {
  std::int32_t last = -1;
  if (!track.filled() || end < 1) return last;
  const char* const stop = track.data + std::min(end, track.length);
  for (const char* sentinel = kTrack3SentinelBytes; *sentinel != '\0'; ++sentinel) {
    for (const char* at = track.data;
         (at = static_cast<const char*>(std::memchr(at, *sentinel, static_cast<std::size_t>(stop - at)))) != nullptr;
         ++at)
      last = std::max(last, static_cast<std::int32_t>(at - track.data));
  }
  return last;
}

// A fixed-width field of the fields area, trimmed of white space; empty when the area is too short.
TextSpan trimmedField(TextSpan fields, std::int32_t minLength, std::int32_t offset, std::int32_t width) {
  if (!fields.filled() || fields.length < minLength) return {};
  TextSpan value = stripePart(fields, offset, width);
  trimClass(&value, kClassSpace);
  return value;
}

// A run of exactly two code characters anywhere in the span: the jurisdiction code in front of the city.
bool findCodePair(TextSpan span, TextSpan* rest) {
  TextSpan run{};
  return findRunOf(span, kClassCode, 2, 2, &run, rest) && run.filled();
}

std::int32_t collectDigits(TextSpan span, std::int32_t start, std::int32_t maxCount, char* out) {
  std::int32_t n = 0;
  for (std::int32_t i = start; i >= 0 && i < span.length && n < maxCount && inClass(span.data[i], kClassDigit); ++i)
    out[n++] = span.data[i];
  return n;
}

std::int32_t twoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

}  // namespace

// Track 1.

void readJurisdictionCode(MagstripeDecoder& decoder, TextSpan track1) {
  if (!track1.filled() || track1.length < 2) return;
  if (!inClass(track1.data[0], kClassCode) || !inClass(track1.data[1], kClassCode)) return;
  storeStripeValue(decoder, SLOT_JURISDICTION, stripePart(track1, 0, 2));
}

void readCityRun(MagstripeDecoder& decoder, TextSpan track1) {
  if (!track1.filled() || track1.length < 3) return;
  TextSpan rest = track1;
  TextSpan city{};
  for (;;) {
    if (!rest.filled() || rest.length < 3) return;
    TextSpan afterCode{};
    // Without a code pair there is nothing more to find (the search would start over on the same text).
    if (!findCodePair(rest, &afterCode) || afterCode.length >= rest.length) return;
    rest = afterCode;
    if (leadingRunOf(rest, kClassCity, 1, 13, &city, nullptr) && city.filled()) break;
  }
  // Separators and sentinels that readers leave on a city are cut from both ends.
  trimChars(&city, kCityTrim);
  // A city keeps its word characters; any other byte becomes a space, and a run of white space is kept once.
  setSlotKeeping(*decoder.record, SLOT_CITY, city, kClassWord, kClassBlank, ' ');
}

void readNameRun(MagstripeDecoder& decoder, TextSpan track1) {
  if (!track1.filled() || track1.length < 3) return;
  TextSpan rest = track1;
  TextSpan name{};
  for (;;) {
    if (!rest.filled() || rest.length < 3) return;
    // The jurisdiction code and a city of up to 13 characters form one run: a full-length city may be followed
    // by the name without a "^" between them.
    TextSpan run{};
    TextSpan afterCity{};
    if (!findRunOf(rest, kClassCity, 2, 15, &run, &afterCity) || afterCity.length >= rest.length) return;
    rest = afterCity;
    trimLeftChars(&rest, kCaret);
    TextSpan after{};
    if (leadingRunOf(rest, kClassName, 1, 35, &name, &after) && name.filled()) break;
  }
  trimClass(&name, kClassSpace);
  storeStripeValue(decoder, SLOT_FULL_NAME, name);
}

bool findAddressRun(TextSpan track1, CharClass addressClass, TextSpan* run) {
  if (!track1.filled() || track1.length < 3) return false;
  TextSpan rest = track1;
  for (;;) {
    if (!rest.filled() || rest.length < 5) return false;
    TextSpan afterCode{};
    if (!findCodePair(rest, &afterCode) || afterCode.length >= rest.length) return false;
    rest = afterCode;
    TextSpan part{};
    TextSpan next{};
    if (!leadingRunOf(rest, kClassCity, 2, 13, &part, &next) || !part.filled()) continue;
    rest = next;
    trimLeftChars(&rest, kCaret);
    if (!leadingRunOf(rest, kClassName, 1, 35, &part, &next) || !part.filled()) continue;
    rest = next;
    trimLeftChars(&rest, kCaret);
    if (!leadingRunOf(rest, addressClass, 1, 255, &part, &next) || !part.filled()) continue;
    *run = part;
    return true;
  }
}

void readAddressRun(MagstripeDecoder& decoder, TextSpan track1) {
  TextSpan address{};
  if (!findAddressRun(track1, kClassAddress, &address)) return;
  trimIf(&address, isNotTokenChar);
  trimChars(&address, kAddressTrim);
  // An address keeps its token characters; any other byte (a "$" between address lines too) becomes a space, and
  // a run of white space is kept once.
  setSlotKeeping(*decoder.record, SLOT_STREET_1, address, kClassToken, kClassBlank, ' ');
}

// The four readers above only look for runs of these classes, and a run followed by a byte of none of them ends
// there whatever comes after: so what stands behind the first such byte after the last byte of theirs changes no
// run, no length they ask for (each wants more bytes of its classes than a shorter rest could hold), no field.
std::int32_t layoutTrack1Reach(TextSpan track1) {
  constexpr CharClass kRead = kClassCode | kClassCity | kClassName | kClassAddress;
  if (!track1.filled()) return 0;
  std::int32_t last = track1.length - 1;
  while (last >= 0 && !inClass(track1.data[last], kRead)) --last;
  return std::min(last + 2, track1.length);
}

// Track 2.

void readIinDigits(MagstripeDecoder& decoder, TextSpan track2) {
  if (!track2.filled() || track2.length < 8) return;
  const auto* equals = static_cast<const char*>(std::memchr(track2.data, '=', static_cast<std::size_t>(track2.length)));
  const TextSpan number{track2.data,
                        equals == nullptr ? track2.length : static_cast<std::int32_t>(equals - track2.data)};
  if (number.length < 7 || number.length > 19 || !allInClass(number, kClassDigit)) return;
  storeStripeValue(decoder, SLOT_IIN, stripePart(number, 0, 6));
}

void storeLicenseDigits(MagstripeDecoder& decoder, TextSpan track2, std::int32_t digitsStart) {
  char number[13 + 5 + 1] = {};
  std::int32_t n = collectDigits(track2, digitsStart, 13, number);
  const std::int32_t equals = digitsStart + n;
  if (n < 1 || equals >= track2.length || track2.data[equals] != '=') return;
  // Numbers longer than 13 digits carry their overflow behind the 12 date digits.
  const std::int64_t overflow = static_cast<std::int64_t>(equals) + 13;
  if (overflow < track2.length && inClass(track2.data[overflow], kClassDigit))
    n += collectDigits(track2, static_cast<std::int32_t>(overflow), 5, number + n);
  storeStripeValue(decoder, SLOT_LICENCE_NUMBER, TextSpan{number, n});
}

void readLicenseDigits(MagstripeDecoder& decoder, TextSpan track2) {
  if (!track2.filled() || track2.length < 20 || !allInClass(stripePart(track2, 0, 7), kClassDigit)) return;
  storeLicenseDigits(decoder, track2, 6);
}

// With the 12 date digits behind its first "=", the three readers above read nothing behind the dates but the
// overflow digits of the licence number: the licence reader, which wants seven digits first, stops at that first "="
// or reads nothing, and every length they ask for is reached.
std::int32_t layoutTrack2Reach(TextSpan track2) {
  if (!track2.filled()) return 0;
  const auto* equals = static_cast<const char*>(std::memchr(track2.data, '=', static_cast<std::size_t>(track2.length)));
  const auto at = equals != nullptr ? static_cast<std::int32_t>(equals - track2.data) : -1;
  if (at < 0 || track2.length - at < 13) return 0;
  const std::int32_t overflow = at + 13;
  return overflow + classRun(track2.data + overflow, track2.length - overflow, kClassDigit, 5);
}

void storeStripeDates(MagstripeDecoder& decoder, TextSpan dateDigits) {
  if (dateDigits.length < 12 || !allInClass(stripePart(dateDigits, 0, 12), kClassDigit)) return;
  const char* d = dateDigits.data;
  const std::int32_t expiryYy = twoDigits(d);
  const std::int32_t expiryMm = twoDigits(d + 2);
  const std::int32_t birthYear = twoDigits(d + 4) * 100 + twoDigits(d + 6);
  const std::int32_t birthMm = twoDigits(d + 8);
  const std::int32_t birthDay = twoDigits(d + 10);
  const std::int32_t nowYear = decoder.instance != nullptr ? decoder.instance->now.year : 0;
  const std::int32_t expiryYear = nowYear / 100 * 100 + expiryYy;

  // Some issuers write 13 or more as the birth month and mean the expiry month.
  DateTime birth{.year = birthYear, .month = birthMm, .day = birthDay};
  bool borrowedMonth = false;
  if (expiryMm <= 12 && birthMm > 12) {
    birth.month = expiryMm;
    borrowedMonth = true;
  }
  // A borrowed month must still hold the written day; otherwise the date would be invented.
  const bool dayFits = !borrowedMonth || clampDay(birth.year, birth.month, birth.day) >= birth.day;
  if (dayFits && checkDateTime(birth) == 0) setSlotDate(*decoder.record, SLOT_BIRTH_DATE, birth);

  DateTime expiry{.year = expiryYear};
  if (expiryMm <= 12) {
    expiry.month = expiryMm;
    expiry.day = clampDay(expiryYear, expiryMm, birthDay);
  } else if (expiryMm == 77) {
    storeStripeValue(decoder, SLOT_EXPIRY_DATE, TextSpan{"99991231", 8});  // the document does not expire
    return;
  } else if (expiryMm == 88) {  // the first day of the month after the birthday
    expiry.month = birthMm == 12 ? 1 : birthMm + 1;
    expiry.year = birthMm == 12 ? expiryYear + 1 : expiryYear;
    expiry.day = 1;
  } else if (expiryMm == 99) {  // the birthday in the expiry year
    expiry.month = birthMm;
    expiry.day = clampDay(expiryYear, birthMm, birthDay);
  } else {
    return;
  }
  if (checkDateTime(expiry) == 0) setSlotDate(*decoder.record, SLOT_EXPIRY_DATE, expiry);
}

void readDatesAfterSeparator(MagstripeDecoder& decoder, TextSpan track2, std::int32_t searchFrom) {
  if (!track2.filled() || track2.length < 8 || searchFrom < 0 || searchFrom >= track2.length) return;
  const auto* equals = static_cast<const char*>(
      std::memchr(track2.data + searchFrom, '=', static_cast<std::size_t>(track2.length - searchFrom)));
  if (equals == nullptr) return;
  const auto at = static_cast<std::int32_t>(equals - track2.data);
  if (track2.length - at - 1 < 12) return;
  storeStripeDates(decoder, stripePart(track2, at + 1, 12));
}

void readTrack2Dates(MagstripeDecoder& decoder, TextSpan track2) { readDatesAfterSeparator(decoder, track2, 0); }

// Track 3.

void storePostalCode(FieldRecord& record, TextSpan value, std::int32_t forms) {
  char formatted[16] = {};
  if ((forms & kPostalZipPlus4) != 0 && value.length == 9) {
    std::memcpy(formatted, value.data, 5);
    formatted[5] = '-';
    std::memcpy(formatted + 6, value.data + 5, 4);
    setSlotText(record, SLOT_POSTAL_CODE, formatted);
  } else if ((forms & kPostalCanadian) != 0 && value.length == 6) {
    std::memcpy(formatted, value.data, 3);
    formatted[3] = ' ';
    std::memcpy(formatted + 4, value.data + 3, 3);
    setSlotText(record, SLOT_POSTAL_CODE, formatted);
  } else {
    setSlot(record, SLOT_POSTAL_CODE, value, nullptr, nullptr, '\0');
  }
}

void readPostalCodeBackward(MagstripeDecoder& decoder, TextSpan track3) {
  if (!track3.filled() || track3.length < 7) return;
  // The last sentinel is nearly always the one; those in front of it are walked to byte by byte, since searching
  // each from the front would read a track of many sentinels again for every one.
  const auto previousSentinel = [&track3](std::int32_t p) {
    while (--p >= 0 && !kTrack3Sentinels.has(track3.data[p])) {
    }
    return p;
  };
  for (std::int32_t p = lastSentinelBefore(track3, track3.length); p >= 0; p = previousSentinel(p)) {
    const std::int32_t behind = track3.length - 1 - p;
    if (behind < 6) continue;
    const std::int32_t limit = std::min(behind - 2, 11);
    const std::int32_t count = classRun(track3.data + p + 3, limit, kClassUpperOrSpace | kClassDigit, limit);
    if (count <= 3) continue;
    TextSpan code{track3.data + p + 3, count};
    trimClass(&code, kClassSpace);
    storePostalCode(*decoder.record, code, kPostalZipPlus4 | kPostalCanadian);
    return;
  }
}

// The sentinel, two skipped characters and the 11-character postal code lie in front of the fields area.
void locateFieldsAfterSentinel(MagstripeDecoder&, TextSpan track3, TextSpan& fields) {
  if (!track3.filled() || track3.length < 16) return;
  if (const std::int32_t p = lastSentinelBefore(track3, track3.length - 14); p >= 0)
    fields = stripePart(track3, p + 14, track3.length);
}

void readClassField(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_CLASS, trimmedField(fields, 2, 0, 2));
}

void readRestrictionsField(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_RESTRICTIONS, trimmedField(fields, 12, 2, 10));
}

void readEndorsementsField(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_ENDORSEMENTS, trimmedField(fields, 16, 12, 4));
}

void readSexField(MagstripeDecoder& decoder, TextSpan fields) {
  storeStripeValue(decoder, SLOT_SEX, trimmedField(fields, 17, 16, 1));
}

// Heights beginning 1 or 2 are centimetres; feet and inches begin 3 to 9 ("510" is 5 ft 10 in).
void readHeightField(MagstripeDecoder& decoder, TextSpan fields) {
  const TextSpan height = trimmedField(fields, 20, 17, 3);
  if (!allInClass(height, kClassDigit)) return;
  const bool centimetres = height.data[0] == '1' || height.data[0] == '2';
  storeStripeValue(decoder, centimetres ? SLOT_HEIGHT_CM : SLOT_HEIGHT_FT_IN, height);
}

// Weights up to 100 are kilograms, heavier ones pounds.
void readWeightField(MagstripeDecoder& decoder, TextSpan fields) {
  if (!fields.filled() || fields.length < 23) return;
  const TextSpan raw = stripePart(fields, 20, 3);
  if (!inClass(raw.data[0], kClassSpace | kClassDigit) || !inClass(raw.data[1], kClassDigit) ||
      !inClass(raw.data[2], kClassDigit))
    return;
  TextSpan weight = raw;
  trimClass(&weight, kClassSpace);
  std::int32_t value = 0;
  for (std::int32_t i = 0; i < weight.length; ++i) value = value * 10 + (weight.data[i] - '0');
  storeStripeValue(decoder, value <= 100 ? SLOT_WEIGHT_KG : SLOT_WEIGHT_LB, weight);
}

void readHairColorField(MagstripeDecoder& decoder, TextSpan fields) {
  if (!fields.filled() || fields.length < 26) return;
  const TextSpan hair = stripePart(fields, 23, 3);
  if (allInClass(hair, kClassLetter)) storeStripeValue(decoder, SLOT_HAIR_COLOUR, hair);
}

void readEyeColorField(MagstripeDecoder& decoder, TextSpan fields) {
  if (!fields.filled() || fields.length < 29) return;
  const TextSpan eyes = stripePart(fields, 26, 3);
  if (allInClass(eyes, kClassLetter)) storeStripeValue(decoder, SLOT_EYE_COLOUR, eyes);
}

}  // namespace quorix
