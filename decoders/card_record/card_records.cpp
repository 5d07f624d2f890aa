// The fixed-position card records: the "@...HC" licence record (id 44) and the bank-format track 1 that some
// issuers put on their licence stripes (id 45). Both run one small hook table through a three-track driver.
#include "decoders/card_record/card_records.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "core/text_utils.h"
#include "decoders/variant_kit.h"

namespace quorix {

namespace {

constexpr Status kStatusTooShort = -1;
constexpr Status kStatusWrongShape = -20;

struct TrackSpans {
  TextSpan track1;
  TextSpan track2;
  TextSpan track3;
};

struct CardRecordDecoder;
using CardDecodeHook = Status (*)(CardRecordDecoder& table, const char* text, std::int32_t length);
using CardSplitHook = Status (*)(CardRecordDecoder& table, const char* text, std::int32_t length, TrackSpans& tracks);
using CardCheckHook = Status (*)(CardRecordDecoder& table, TrackSpans& tracks);
using CardTrackHook = void (*)(CardRecordDecoder& table, TextSpan track);

// One decode's hook table; it lives on the decode function's stack and owns nothing.
struct CardRecordDecoder {
  FieldRecord* record = nullptr;
  ParserInstance* instance = nullptr;  // id 45 reads the clock year to place two-digit expiry years
  CardDecodeHook decode = nullptr;
  CardDecodeHook screenText = nullptr;  // an early answer for a text the split and check would turn away; 0 goes on
  CardSplitHook splitTracks = nullptr;
  CardCheckHook checkTracks = nullptr;
  CardTrackHook decodeTrack1 = nullptr;
  CardTrackHook decodeTrack2 = nullptr;
  CardTrackHook decodeTrack3 = nullptr;
  CardTrackHook readLicenseNumber = nullptr;
  CardTrackHook readName = nullptr;
  CardTrackHook readSex = nullptr;
  CardTrackHook readDates = nullptr;
  CardTrackHook readIssueDate = nullptr;
  CardTrackHook readJurisdiction = nullptr;
  CardTrackHook readIin = nullptr;
};

void runHook(CardTrackHook hook, CardRecordDecoder& table, TextSpan track) {
  if (hook != nullptr) hook(table, track);
}

// The span [start, start + count) of text, clamped to the text.
TextSpan cut(TextSpan text, std::int64_t start, std::int64_t count) {
  if (!text.filled() || start < 0 || count < 1 || start >= text.length) return TextSpan{text.data, 0};
  const std::int64_t room = text.length - start;
  return TextSpan{text.data + start, static_cast<std::int32_t>(count < room ? count : room)};
}

// A date part as the card writes it: leading white space, an optional sign, then digits up to the first other
// character, all within the field. A field without digits reads as 0.
std::int64_t fieldNumber(TextSpan field) {
  std::int32_t i = 0;
  while (i < field.length && inClass(field.data[i], kClassSpace)) ++i;
  bool negative = false;
  if (i < field.length && (field.data[i] == '+' || field.data[i] == '-')) negative = field.data[i++] == '-';
  std::int64_t value = 0;
  for (; i < field.length && inClass(field.data[i], kClassDigit) && value < 1'000'000'000; ++i)
    value = value * 10 + (field.data[i] - '0');
  return negative ? -value : value;
}

std::int32_t partValue(TextSpan text, std::int32_t start, std::int32_t count) {
  return static_cast<std::int32_t>(fieldNumber(cut(text, start, count)));
}

bool dayAndMonthInRange(std::int32_t month, std::int32_t day) {
  return day >= 1 && day <= 31 && month >= 1 && month <= 12;
}

// Names are split by the derivations at "$"; the cards write "/" between family and given names.
void storeName(FieldRecord& record, TextSpan name) {
  if (name.filled()) setSlot(record, SLOT_FULL_NAME, name, "/", nullptr, '$');
}

// The driver: screen, split, check, then hand each track to its hook.
Status driveCardRecord(CardRecordDecoder& table, const char* text, std::int32_t length) {
  if (Status s = callHook(table.screenText, table, text, length); s != kStatusOk) return s;
  TrackSpans tracks{};
  if (Status s = callHook(table.splitTracks, table, text, length, tracks); s != kStatusOk) return s;
  if (Status s = callHook(table.checkTracks, table, tracks); s != kStatusOk) return s;
  runHook(table.decodeTrack1, table, tracks.track1);
  runHook(table.decodeTrack2, table, tracks.track2);
  runHook(table.decodeTrack3, table, tracks.track3);
  return kStatusOk;
}

// ---- id 44: the "@" licence record, read as delivered (case kept, no NUL relied on).

constexpr std::int32_t kAtRecordLicenceAt = 20;
constexpr std::int32_t kAtRecordNameAt = 30;
constexpr std::int32_t kAtRecordNameWidth = 28;
constexpr std::int32_t kAtRecordBirthAt = 58;
constexpr std::int32_t kAtRecordSexAt = 66;
constexpr std::int32_t kAtRecordIssueAt = 67;
constexpr std::int32_t kAtRecordExpiryAt = 75;

Status splitAtRecord(CardRecordDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  if (length < 1) return kStatusTooShort;
  if (text == nullptr) return kStatusNoInput;
  tracks.track1 = TextSpan{text, length};
  return kStatusOk;
}

// The split takes any text whole, so a text without the record's marks gets the check's answer straight away.
Status screenAtRecord(CardRecordDecoder&, const char* text, std::int32_t length) {
  if (length < 1 || text == nullptr) return kStatusOk;  // the split's own answer
  if (length < 6 || text[0] != '@' || text[4] != 'H' || text[5] != 'C') return kStatusWrongShape;
  return kStatusOk;
}

Status checkAtRecord(CardRecordDecoder&, TrackSpans& tracks) {
  const TextSpan& t = tracks.track1;
  if (!t.filled() || t.length < 6 || t.data[0] != '@' || t.data[4] != 'H' || t.data[5] != 'C') return kStatusWrongShape;
  return kStatusOk;
}

void decodeAtRecord(CardRecordDecoder& table, TextSpan track) {
  if (!track.filled()) return;
  runHook(table.readLicenseNumber, table, track);
  runHook(table.readName, table, track);
  runHook(table.readSex, table, track);
  runHook(table.readDates, table, track);
  runHook(table.readIssueDate, table, track);
  runHook(table.readJurisdiction, table, track);
}

void readAtRecordLicence(CardRecordDecoder& table, TextSpan track) {
  if (track.length > kAtRecordLicenceAt + 9)
    setSlot(*table.record, SLOT_LICENCE_NUMBER, cut(track, kAtRecordLicenceAt, 10), nullptr, nullptr, 0);
}

void readAtRecordName(CardRecordDecoder& table, TextSpan track) {
  if (track.length <= kAtRecordNameAt + kAtRecordNameWidth - 1) return;
  TextSpan name = cut(track, kAtRecordNameAt, kAtRecordNameWidth);
  trimChars(&name, " ");
  storeName(*table.record, name);
}

void readAtRecordSex(CardRecordDecoder& table, TextSpan track) {
  if (track.length > kAtRecordSexAt)
    setSlot(*table.record, SLOT_SEX, cut(track, kAtRecordSexAt, 1), nullptr, nullptr, 0);
}

// A YYYYMMDD date at start; the record's dates are range-tested only, so 31 February passes.
void storeAtRecordDate(FieldRecord& record, std::int32_t slot, TextSpan track, std::int32_t start) {
  const DateTime date{.year = partValue(track, start, 4),
                      .month = partValue(track, start + 4, 2),
                      .day = partValue(track, start + 6, 2)};
  if (dayAndMonthInRange(date.month, date.day) && date.year >= 0 && date.year <= 9999) setSlotDate(record, slot, date);
}

void readAtRecordDates(CardRecordDecoder& table, TextSpan track) {
  if (track.length > kAtRecordExpiryAt + 7)
    storeAtRecordDate(*table.record, SLOT_EXPIRY_DATE, track, kAtRecordExpiryAt);
  if (track.length >= kAtRecordBirthAt + 8) storeAtRecordDate(*table.record, SLOT_BIRTH_DATE, track, kAtRecordBirthAt);
}

void readAtRecordIssueDate(CardRecordDecoder& table, TextSpan track) {
  if (track.length > kAtRecordIssueAt + 7) storeAtRecordDate(*table.record, SLOT_ISSUE_DATE, track, kAtRecordIssueAt);
}

void readAtRecordJurisdiction(CardRecordDecoder& table, TextSpan track) {
  if (track.length > 2) setSlot(*table.record, SLOT_JURISDICTION, cut(track, 1, 2), nullptr, nullptr, 0);
}

// ---- id 45: a bank-format track 1 ("%B", account number, "^", name, "^", expiry, "799", discretionary data).

constexpr std::int32_t kBankMinLength = 9;
constexpr std::int32_t kBankSeparatorAt = 18;  // the "^" in front of the name, counted from "%"
constexpr std::int32_t kBankNameMinRecord = 21;
constexpr std::int32_t kBankDatesMinRecord = 37;
constexpr std::int32_t kBankIssueMinTrack = 50;
constexpr std::int32_t kBankNameMaxLength = 26;
constexpr std::int32_t kBankDigitsBehindName = 16;
constexpr std::int32_t kBankIssueBehindSeparator = 24;

// The last "?;" whose "?" lies between from and 4, searching downwards; -1 when there is none. Most texts offered
// here hold no "?" at all, so the search jumps from one "?" to the one before it.
std::int64_t findSeparatorBackwards(const char* text, std::int64_t length, std::int64_t from) {
  for (std::int64_t end = std::min(from, length - 2) + 1; end > 4;) {
    const void* hit = lastByte(text + 4, '?', static_cast<std::size_t>(end - 4));
    if (hit == nullptr) return -1;
    const std::int64_t p = static_cast<const char*>(hit) - text;
    if (text[p + 1] == ';') return p;
    end = p;
  }
  return -1;
}

Status splitBankTracks(CardRecordDecoder&, const char* text, std::int32_t length, TrackSpans& tracks) {
  if (length < kBankMinLength) return kStatusTooShort;
  if (text == nullptr) return kStatusNoInput;
  const std::int64_t p = findSeparatorBackwards(text, length, std::int64_t{length} - 3);
  if (p < 0) return kStatusNoInput;
  tracks.track3 = TextSpan{text + p, static_cast<std::int32_t>(length - p)};
  const std::int64_t q = findSeparatorBackwards(text, length, p - 3);
  if (q >= 0) {
    tracks.track1 = TextSpan{text, static_cast<std::int32_t>(q)};
    tracks.track2 = TextSpan{text + q, static_cast<std::int32_t>(p - q)};
  } else {
    tracks.track1 = TextSpan{text, 3};
    tracks.track2 = TextSpan{text + 3, static_cast<std::int32_t>(p - 3)};
  }
  if (tracks.track1.length < 3 || tracks.track2.length < 3 || tracks.track3.length < 3) return kStatusNoInput;
  return kStatusOk;
}

// The splitter succeeds exactly when a "?;" starts between 6 and length - 3: the last one then leaves three tracks
// of at least 3 bytes. A text that does not open like a bank track gets the answer split and check would give
// without the backward search.
Status screenBankTrack(CardRecordDecoder&, const char* text, std::int32_t length) {
  if (length < kBankMinLength) return kStatusTooShort;
  if (text == nullptr) return kStatusNoInput;
  if (text[0] == '%' && text[1] == 'B' && inClass(text[2], kClassDigit)) return kStatusOk;
  for (std::int32_t p = 6; p <= length - 3;) {
    const auto* hit = static_cast<const char*>(std::memchr(text + p, '?', static_cast<std::size_t>(length - 2 - p)));
    if (hit == nullptr) break;
    if (hit[1] == ';') return kStatusWrongShape;
    p = static_cast<std::int32_t>(hit - text) + 1;
  }
  return kStatusNoInput;
}

Status checkBankTrack(CardRecordDecoder&, TrackSpans& tracks) {
  const TextSpan& t = tracks.track1;
  if (!t.filled() || t.length < 3 || t.data[0] != '%' || t.data[1] != 'B' || !inClass(t.data[2], kClassDigit))
    return kStatusWrongShape;
  return kStatusOk;
}

void decodeBankTrack(CardRecordDecoder& table, TextSpan track) {
  if (!track.filled()) return;
  runHook(table.readLicenseNumber, table, track);
  runHook(table.readName, table, track);
  runHook(table.readDates, table, track);
  runHook(table.readIssueDate, table, track);
  runHook(table.readIin, table, track);
}

void readBankIin(CardRecordDecoder& table, TextSpan track) {
  if (track.length <= 7) return;
  const TextSpan iin = cut(track, 2, 6);
  if (allInClass(iin, kClassDigit)) setSlot(*table.record, SLOT_IIN, iin, nullptr, nullptr, 0);
}

void readBankLicence(CardRecordDecoder& table, TextSpan track) {
  if (track.length > 17) setSlot(*table.record, SLOT_LICENCE_NUMBER, cut(track, 8, 10), nullptr, nullptr, 0);
}

// One record inside track 1: the name run behind the "^" at +18, and what follows it up to the end of the track.
struct BankRecord {
  TextSpan name;    // the run of name characters; empty when the "%" does not start a record
  TextSpan behind;  // from the character right after the name to the end of the track
};

// The record at the "%" at position at, when it reads "%B" with "^" at +18 and at least minRemaining characters
// remain from the "%". The name is the first run of 1 to 26 name characters behind that "^", and it counts only
// when the character right after it is the "^" that closes the name.
BankRecord bankRecordAt(TextSpan track, std::int32_t at, std::int32_t minRemaining) {
  const std::int64_t remaining = std::int64_t{track.length} - at;
  if (remaining < minRemaining || remaining <= kBankSeparatorAt + 1) return {};
  const char* start = track.data + at;
  if (start[0] != '%' || start[1] != 'B' || start[kBankSeparatorAt] != '^') return {};
  const TextSpan afterSeparator{start + kBankSeparatorAt + 1,
                                static_cast<std::int32_t>(remaining - kBankSeparatorAt - 1)};
  TextSpan run{};
  TextSpan rest{};
  if (findRunIf(afterSeparator, isNameChar, 1, kBankNameMaxLength, &run, &rest) != 1 || !run.filled()) return {};
  const std::int64_t runEnd = (run.data - track.data) + std::int64_t{run.length};
  const TextSpan behind{run.data + run.length, static_cast<std::int32_t>(track.length - runEnd)};
  if (behind.length < 1 || behind.data[0] != '^') return {};
  return BankRecord{run, behind};
}

// The record's 16 digits behind the name (expiry YYMM, service code, sex, birth CCYYMMDD), or an empty span when
// they are missing or the service code is not the one the licence issuers use.
TextSpan bankDigits(const BankRecord& found, std::int32_t minBehind) {
  if (!found.name.filled() || found.behind.length < minBehind) return {};
  const TextSpan digits = cut(found.behind, 1, kBankDigitsBehindName);
  if (digits.length != kBankDigitsBehindName || !allInClass(digits, kClassDigit)) return {};
  if (digits.data[4] != '7' || digits.data[5] != '9' || digits.data[6] != '9') return {};
  return digits;
}

void readBankName(CardRecordDecoder& table, TextSpan track) {
  if (track.length < kBankNameMinRecord) return;
  TextSpan name{};
  // A later record in the same track replaces an earlier one.
  for (std::int32_t at = 0; std::int64_t{track.length} - at >= kBankNameMinRecord; ++at) {
    if (track.data[at] != '%') continue;
    if (track.data[at + 1] != 'B' || track.data[at + kBankSeparatorAt] != '^') continue;
    name = bankRecordAt(track, at, kBankNameMinRecord).name;
  }
  trimChars(&name, " \t\n\v\f\r");
  storeName(*table.record, name);
}

// The year ending in yy that lies from 50 years before to 49 years after the clock year: a card issued now may
// run well past the next decade, and one read now may have expired decades ago.
std::int32_t yearNearClock(std::int32_t clockYear, std::int32_t yy) {
  const std::int64_t first = std::int64_t{clockYear} - 50;
  const std::int64_t century = first - ((first % 100) + 100) % 100;
  std::int64_t year = century + yy;
  if (year < first) year += 100;
  return static_cast<std::int32_t>(year);
}

void readBankDates(CardRecordDecoder& table, TextSpan track) {
  if (track.length < kBankDatesMinRecord) return;
  TextSpan digits{};
  for (std::int32_t at = 0; std::int64_t{track.length} - at >= kBankDatesMinRecord && !digits.filled(); ++at) {
    if (track.data[at] == '%') digits = bankDigits(bankRecordAt(track, at, kBankDatesMinRecord), 17);
  }
  if (!digits.filled()) return;
  FieldRecord& record = *table.record;
  const std::int32_t yy = partValue(digits, 0, 2);
  const std::int32_t mm = partValue(digits, 2, 2);
  const DateTime birth{
      .year = partValue(digits, 8, 4), .month = partValue(digits, 12, 2), .day = partValue(digits, 14, 2)};
  if (birth.day >= 1 && birth.day <= 31) {
    if (mm >= 1 && mm <= 12) {
      // The card keeps only the expiry month; the licence runs to the birthday in it, which that month may lack.
      const std::int32_t clockYear = table.instance != nullptr ? table.instance->now.year : 0;
      DateTime expiry{.year = yearNearClock(clockYear, yy), .month = mm, .day = 0};
      expiry.day = clampDay(expiry.year, expiry.month, birth.day);
      setSlotDate(record, SLOT_EXPIRY_DATE, expiry);
    }
    if (birth.month >= 1 && birth.month <= 12 && birth.year <= 9999) setSlotDate(record, SLOT_BIRTH_DATE, birth);
  }
  const char sex[2] = {digits.data[7], '\0'};
  setSlotText(record, SLOT_SEX, sex);
}

void readBankIssueDate(CardRecordDecoder& table, TextSpan track) {
  if (track.length < kBankIssueMinTrack) return;
  TextSpan issue{};
  for (std::int32_t at = 0; std::int64_t{track.length} - at >= kBankDatesMinRecord && !issue.filled(); ++at) {
    if (track.data[at] != '%') continue;
    const BankRecord found = bankRecordAt(track, at, kBankDatesMinRecord);
    if (!bankDigits(found, 30).filled()) continue;
    const TextSpan candidate = cut(found.behind, kBankIssueBehindSeparator, 6);
    if (candidate.length == 6 && allInClass(candidate, kClassDigit)) issue = candidate;
  }
  if (!issue.filled()) return;
  const std::int32_t yy = partValue(issue, 0, 2);
  const DateTime date{
      .year = yy < 31 ? 2000 + yy : 1900 + yy, .month = partValue(issue, 2, 2), .day = partValue(issue, 4, 2)};
  if (dayAndMonthInRange(date.month, date.day)) setSlotDate(*table.record, SLOT_ISSUE_DATE, date);
}

// Each record layout replaces every hook it uses, so a row is a whole table of its own, record and instance left
// empty; designated initializers keep it in field order.
struct CardRecordVariant {
  std::int32_t id;
  CardRecordDecoder hooks;
};

// clang-format off
constexpr CardRecordVariant kCardRecordVariants[] = {
    {.id = 44, .hooks = {.decode = driveCardRecord, .screenText = screenAtRecord, .splitTracks = splitAtRecord,
                         .checkTracks = checkAtRecord, .decodeTrack1 = decodeAtRecord,
                         .readLicenseNumber = readAtRecordLicence, .readName = readAtRecordName,
                         .readSex = readAtRecordSex, .readDates = readAtRecordDates,
                         .readIssueDate = readAtRecordIssueDate, .readJurisdiction = readAtRecordJurisdiction}},
    {.id = 45, .hooks = {.decode = driveCardRecord, .screenText = screenBankTrack, .splitTracks = splitBankTracks,
                         .checkTracks = checkBankTrack, .decodeTrack1 = decodeBankTrack,
                         .readLicenseNumber = readBankLicence, .readName = readBankName, .readDates = readBankDates,
                         .readIssueDate = readBankIssueDate, .readIin = readBankIin}},
};
// clang-format on
static_assert(std::size(kCardRecordVariants) == 2);

}  // namespace

template <std::int32_t Id>
bool screenCardRecord(const char* text, std::int32_t length) {
  constexpr std::size_t row = variantRow(kCardRecordVariants, Id);
  CardRecordDecoder table = kCardRecordVariants[row].hooks;
  return callHook(table.screenText, table, text, length) == kStatusOk;
}

template <std::int32_t Id>
Status decodeCardRecord(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  constexpr std::size_t row = variantRow(kCardRecordVariants, Id);
  CardRecordDecoder table = kCardRecordVariants[row].hooks;
  table.record = &record;
  table.instance = &instance;
  return table.decode(table, text, length);
}

template Status decodeCardRecord<44>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeCardRecord<45>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template bool screenCardRecord<44>(const char*, std::int32_t);
template bool screenCardRecord<45>(const char*, std::int32_t);

}  // namespace quorix
