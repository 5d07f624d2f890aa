// The 27 AAMVA decoders: the shared pipeline with each variant's standard text, element table and the few steps in
// which the documents it reads deviate from the standard layout.
#include "decoders/aamva/aamva_variants.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "core/text_utils.h"
#include "decoders/aamva/aamva_pipeline.h"
#include "decoders/variant_kit.h"

namespace quorix {
namespace {

constexpr std::int32_t kDesignatorSize = 10;

// File-type checks: the header's record separator, then a word in a fixed run of the header.
struct FileTypeRule {
  std::int32_t shortestText;
  std::string_view separators;  // accepted record separators; empty: not tested
  std::int32_t from;            // first position of the run searched
  std::int32_t count;           // characters in the run
  std::string_view word;        // empty: no word demanded
  Status missingWord;
};

Status checkFileTypeRule(const AamvaPipeline& pipeline, TextSpan text, const FileTypeRule& rule) {
  if (text.data == nullptr) return kStatusBadArgument;
  if (text.length < rule.shortestText) return kAamvaTooShort;
  if (!rule.separators.empty() &&
      (pipeline.recordSeparator == '\0' || rule.separators.find(pipeline.recordSeparator) == std::string_view::npos)) {
    return kAamvaBadRecordSeparator;
  }
  if (rule.word.empty()) return kStatusOk;
  std::string_view run(text.data + rule.from, static_cast<std::size_t>(rule.count));
  run = run.substr(0, run.find('\0'));  // the run is read as a NUL-terminated text
  return run.find(rule.word) != std::string_view::npos ? kStatusOk : rule.missingWord;
}

// clang-format off
constexpr FileTypeRule kAnsiAt4To7     {.shortestText = 8,  .separators = "\x1c\x1e" "6", .from = 4, .count = 4, .word = "ANSI",    .missingWord = kAamvaNoAnsi};
constexpr FileTypeRule kAnsiAt4To8     {.shortestText = 9,  .separators = "\x1c\x1e" "6", .from = 4, .count = 5, .word = "ANSI",    .missingWord = kAamvaNoAnsi};
constexpr FileTypeRule kAamvaAt4To8    {.shortestText = 9,  .separators = "\x1c\x1e",     .from = 4, .count = 5, .word = "AAMVA",   .missingWord = kAamvaNoFileType};
constexpr FileTypeRule kAamvaAnySep    {.shortestText = 9,  .separators = "",             .from = 4, .count = 5, .word = "AAMVA",   .missingWord = kAamvaNoAamvaWord};
constexpr FileTypeRule kAamva36At4     {.shortestText = 11, .separators = "\x1c\x1e",     .from = 4, .count = 7, .word = "AAMVA36", .missingWord = kAamvaNoFileType};
constexpr FileTypeRule kAamva36At3     {.shortestText = 10, .separators = "",             .from = 3, .count = 7, .word = "AAMVA36", .missingWord = kAamvaNoFileType};
constexpr FileTypeRule kRecordSepOnly  {.shortestText = 0,  .separators = "\x1e",         .from = 0, .count = 0, .word = "",        .missingWord = kStatusOk};
// clang-format on

constexpr bool rulesReadInsideTheText(std::initializer_list<FileTypeRule> rules) {
  for (const FileTypeRule& r : rules) {
    if (r.from + r.count > r.shortestText) return false;
  }
  return true;
}
static_assert(rulesReadInsideTheText({kAnsiAt4To7, kAnsiAt4To8, kAamvaAt4To8, kAamvaAnySep, kAamva36At4, kAamva36At3,
                                      kRecordSepOnly}));

// Some 2000 readers put "ANSI" exactly at 4 and lose a character in front of the issuer number.
Status checkFileTypeAnsiShort(AamvaPipeline& p, TextSpan text) { return checkFileTypeRule(p, text, kAnsiAt4To7); }
Status checkFileTypeAnsi(AamvaPipeline& p, TextSpan text) { return checkFileTypeRule(p, text, kAnsiAt4To8); }
Status checkFileTypeAamva(AamvaPipeline& p, TextSpan text) { return checkFileTypeRule(p, text, kAamvaAt4To8); }
Status checkFileTypeAamvaAnySeparator(AamvaPipeline& p, TextSpan text) {
  return checkFileTypeRule(p, text, kAamvaAnySep);
}
Status checkFileTypeAamva36(AamvaPipeline& p, TextSpan text) { return checkFileTypeRule(p, text, kAamva36At4); }
// These headers lack their record separator, so the word starts one position early.
Status checkFileTypeAamva36Early(AamvaPipeline& p, TextSpan text) { return checkFileTypeRule(p, text, kAamva36At3); }
Status checkRecordSeparatorOnly(AamvaPipeline& p, TextSpan text) { return checkFileTypeRule(p, text, kRecordSepOnly); }

// The "AAMVA36" documents write their issuer number over the last "A" of the file-type word.
Status storeIssuerIdReplacingA(AamvaPipeline& p, TextSpan text) {
  TextSpan field;
  if (Status s = issuerIdField(p, text, field); s != kStatusOk) return s;
  setSlot(*p.record, SLOT_IIN, field, "A", nullptr, '6');
  return kStatusOk;
}

// These documents carry no issuer number where the header would have it.
Status storeNoIssuerId(AamvaPipeline&, TextSpan) { return kStatusOk; }

// Editions after 2020 are read as 2020 cards: their headers keep its shape and the elements we derive keep their
// ids. The version field has two digits.
constexpr std::int32_t kNewestVersionRead = 99;
constexpr std::int32_t kVersion2020 = 10;

// The versions the 2014 rows read, from their descriptor's first on.
bool readsVersion(const AamvaDescriptor& d, std::int32_t version) {
  return version >= d.minVersion && version <= kNewestVersionRead;
}

// The 2014 rows read the 2014, 2016 and 2020 editions and the ones after; the standard names the one the header
// declares, and says of a newer one that it was read as 2020.
Status checkVersionRangeNamingEdition(AamvaPipeline& p) {
  if (!readsVersion(p.descriptor, p.versionNumber)) return kAamvaBadVersion;
  if (p.versionNumber == 9) setSlotText(*p.record, SLOT_STANDARD, "AAMVA DL/ID 2016");
  if (p.versionNumber == kVersion2020) setSlotText(*p.record, SLOT_STANDARD, "AAMVA DL/ID 2020");
  if (p.versionNumber > kVersion2020) {
    constexpr std::string_view kNewerStandard = "AAMVA DL/ID version NN (read as 2020)";
    constexpr std::size_t kDigitsAt = kNewerStandard.find("NN");
    char standard[kNewerStandard.size() + 1] = {};
    kNewerStandard.copy(standard, kNewerStandard.size());
    standard[kDigitsAt] = static_cast<char>('0' + p.versionNumber / 10);
    standard[kDigitsAt + 1] = static_cast<char>('0' + p.versionNumber % 10);
    setSlotText(*p.record, SLOT_STANDARD, standard);
    p.record->repairs |= kRepairNewerEditionReadAs2020;
  }
  return kStatusOk;
}

bool locatorArgumentsBad(TextSpan text, const SubfileDesignator& designator) {
  return text.data == nullptr || designator.offset < 0 || designator.length < 0;
}

// The designated length, or what remains of the text from start when that is less.
std::int64_t cappedLength(TextSpan text, std::int64_t start, const SubfileDesignator& designator) {
  return std::clamp<std::int64_t>(designator.length, 0, std::max<std::int64_t>(text.length - start, 0));
}

// [start, start + length) clamped to the text.
TextSpan textRange(TextSpan text, std::int64_t start, std::int64_t length) {
  TextSpan span = textFrom(text, start);
  span.length = static_cast<std::int32_t>(std::clamp<std::int64_t>(length, 0, span.length));
  return span;
}

std::int64_t foundOr(TextSpan text, const SubfileDesignator& designator, std::int64_t otherwise) {
  const std::int32_t found = findDlDaaBefore(text, designator.offset);
  return found >= 0 ? std::int64_t{found} + 2 : otherwise;
}

void dropSubfileType(TextSpan& data) {
  if (subfileTypeAt(data, 0)) advanceSpan(&data, 2);
}

void dropSubfileTypeAndL(TextSpan& data) {
  dropSubfileType(data);
  if (data.length >= 1 && data.data[0] == 'L') advanceSpan(&data, 1);
}

// These readers point one character past the subfile's start, and only the designated length belongs to it. An
// offset of 0 starts at 0.
Status locateBeforeOffset(AamvaPipeline&, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (locatorArgumentsBad(text, designator)) return kStatusBadArgument;
  const std::int64_t start = std::max<std::int64_t>(foundOr(text, designator, std::int64_t{designator.offset} - 1), 0);
  data = textRange(text, start, cappedLength(text, start, designator));
  dropSubfileType(data);
  return kStatusOk;
}

// The span opens one character early and reaches one further; at start 0 it opens at 0 and so gains one character
// at its end, still within the text.
Status locateOneEarly(AamvaPipeline&, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (locatorArgumentsBad(text, designator)) return kStatusBadArgument;
  std::int64_t start = foundOr(text, designator, designator.offset);
  if (digitAt(text, start)) ++start;
  const std::int64_t opening = std::max<std::int64_t>(start - 1, 0);
  data = textRange(text, opening, cappedLength(text, start, designator) + 1);
  dropSubfileTypeAndL(data);
  return kStatusOk;
}

// These readers point one character short of the subfile's start.
Status locateAfterOffset(AamvaPipeline&, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (locatorArgumentsBad(text, designator)) return kStatusBadArgument;
  const std::int64_t start = foundOr(text, designator, std::int64_t{designator.offset} + 1);
  data = textRange(text, start, cappedLength(text, start, designator));
  dropSubfileType(data);
  return kStatusOk;
}

// These readers' offsets may be one short or one long: start one before it (never below 0), step over a digit, then
// skip the subfile type. The designated length counts from behind the subfile type.
Status locateCountingAfterType(AamvaPipeline&, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (text.data == nullptr) return kStatusBadArgument;
  std::int64_t start = std::max<std::int64_t>(foundOr(text, designator, std::int64_t{designator.offset} - 1), 0);
  if (digitAt(text, start)) ++start;
  if (subfileTypeAt(text, start)) start += 2;
  data = textRange(text, start, cappedLength(text, start, designator));
  return kStatusOk;
}

// As above, but the designated length counts from the subfile type on.
Status locateCountingWithType(AamvaPipeline&, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (text.data == nullptr) return kStatusBadArgument;
  std::int64_t start = std::max<std::int64_t>(foundOr(text, designator, std::int64_t{designator.offset} - 1), 0);
  if (digitAt(text, start)) ++start;
  std::int64_t length = cappedLength(text, start, designator);
  if (subfileTypeAt(text, start)) {
    start += 2;
    length = std::max<std::int64_t>(length - 2, 0);
  }
  data = textRange(text, start, length);
  return kStatusOk;
}

// These Alberta layouts put the data at a fixed place whatever their designator says.
template <std::int32_t Position>
Status locateAtFixedPosition(AamvaPipeline&, TextSpan text, const SubfileDesignator&, TextSpan& data) {
  if (text.data == nullptr) return kStatusBadArgument;
  data = textFrom(text, Position);
  dropSubfileTypeAndL(data);
  return kStatusOk;
}

// The data follows a twelve-character lead-in behind the designated offset, one more when a digit stands there.
Status locateBehindLeadIn(AamvaPipeline&, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (text.data == nullptr) return kStatusBadArgument;
  std::int64_t start = std::int64_t{designator.offset} + 12;
  if (digitAt(text, start)) ++start;
  data = textRange(text, start, cappedLength(text, start, designator));
  return kStatusOk;
}

// Only the subfile type is read; these designators' numbers do not describe the data.
Status parseDesignatorTypeOnly(AamvaPipeline& p, TextSpan, TextSpan designator, SubfileDesignator& out) {
  if (designator.data == nullptr) return kStatusBadArgument;
  if (designator.length < 2) return kAamvaBadDesignator;
  out = SubfileDesignator{};
  if (subfileTypeAt(designator, 0)) {
    const bool dl = designator.data[0] == 'D';
    out.kind = dl ? kSubfileDl : kSubfileId;
    setSlotText(*p.record, SLOT_DOCUMENT_TYPE, dl ? "DL" : "ID");
  }
  return kStatusOk;
}

bool startsWithSl(TextSpan text, std::int64_t position) {
  return position >= 0 && position + 2 <= text.length && text.data[position] == 'S' && text.data[position + 1] == 'L';
}

// These documents name their licence subfile "SL".
Status findDesignatorSl(AamvaPipeline& p, TextSpan text, TextSpan& designator) {
  const std::int64_t start = p.designatorStart;
  const std::int64_t count = p.entryCount;
  std::int64_t position = start;
  if (text.data != nullptr && count >= 1 && text.length - start >= kDesignatorSize) {
    for (std::int64_t walked = 0;;) {
      if (startsWithSl(text, position)) break;
      position += kDesignatorSize;
      if (++walked == count || text.length - position < kDesignatorSize) break;
    }
  }
  designator = textFrom(text, position);
  return kStatusOk;
}

// The "SL" designator's offset counts from the designator itself.
Status parseDesignatorSl(AamvaPipeline& p, TextSpan text, TextSpan designator, SubfileDesignator& out) {
  if (designator.data == nullptr || text.data == nullptr) return kStatusBadArgument;
  if (designator.length < kDesignatorSize) return kAamvaBadDesignator;
  const std::int64_t position = designator.data - text.data;
  if (position < 0 || position > text.length) return kStatusBadArgument;
  out = SubfileDesignator{};
  if (startsWithSl(designator, 0)) {
    out.kind = kSubfileDl;
    setSlotText(*p.record, SLOT_DOCUMENT_TYPE, "DL");
  }
  std::int32_t relative = 0;
  if (!readHeaderNumber(TextSpan{designator.data + 2, 4}, relative)) return kAamvaBadDesignator;
  const std::int64_t offset = position + relative;
  if (offset < 0 || offset > text.length) return kAamvaBadDesignator;
  out.offset = static_cast<std::int32_t>(offset);
  if (!readHeaderNumber(TextSpan{designator.data + 6, 4}, out.length) || out.length < 0) return kAamvaShortSubfile;
  return kStatusOk;
}

// Readers of these documents write dates as year-month-day with dashes; they are stored month, day, year.
Status storeElementRotatingDates(AamvaPipeline& p, std::int32_t slot, TextSpan value) {
  if (slot != SLOT_EXPIRY_DATE && slot != SLOT_BIRTH_DATE && slot != SLOT_ISSUE_DATE) {
    return storeElement(p, slot, value);
  }
  // Trimmed first: a padded date would otherwise rotate its padding into the middle.
  trimIf(&value, isBlank);
  char copy[32] = {};
  const std::int32_t n = copyFilteredZ(copy, sizeof copy, value, "-", nullptr, '\0') - 1;
  char rotated[32] = {};
  if (n >= 1) {
    const std::int32_t by = 4 % n;
    std::copy(copy + by, copy + n, rotated);
    std::copy(copy, copy + by, rotated + (n - by));
  }
  setSlot(*p.record, slot, TextSpan{rotated, std::max(n, 0)}, nullptr, nullptr, '\0');
  return kStatusOk;
}

// The mailing jurisdiction, else the residence one; a record with neither is not North Carolina's.
bool jurisdictionIsNc(const FieldRecord& record) {
  constexpr std::int32_t kJurisdictionSlots[] = {SLOT_JURISDICTION, SLOT_RES_JURISDICTION};
  TextSpan jurisdiction;
  return firstFilledSlot(record, kJurisdictionSlots, 2, &jurisdiction) == kStatusOk && jurisdiction.view() == "NC";
}

// The "AAMVA36" texts split by jurisdiction: North Carolina's go to the variant that reads its dates.
Status rejectNorthCarolina(const FieldRecord& record) {
  return jurisdictionIsNc(record) ? kAamvaJurisdictionIsNc : kStatusOk;
}
Status demandNorthCarolina(const FieldRecord& record) {
  return jurisdictionIsNc(record) ? kStatusOk : kAamvaJurisdictionNotNc;
}

struct AamvaOverrides {
  AamvaTextHook storeIssuerId = nullptr;
  AamvaCheckHook checkVersion = nullptr;
  AamvaTextHook checkFileType = nullptr;
  AamvaFindDesignatorHook findDesignator = nullptr;
  AamvaParseDesignatorHook parseDesignator = nullptr;
  AamvaLocateHook locateSubfileData = nullptr;
  AamvaStoreHook storeElement = nullptr;
};

using AamvaPostCheck = Status (*)(const FieldRecord& record);

struct AamvaVariant {
  std::int32_t id = 0;
  const char* standard = nullptr;
  const ElementTable* elements = nullptr;
  ElementTerminators terminators = ElementTerminators::kSeparatorAndSegmentEnd;
  AamvaOverrides overrides = {};
  AamvaPostCheck postCheck = nullptr;  // runs only after a successful decode
};

constexpr const char* k2000 = "AAMVA DL/ID 2000";
constexpr const char* k2000Partial = "PARTIALLY AAMVA DL/ID 2000";
constexpr const char* k2000NonStandard = "NON STANDARD PARTIALLY BASED ON AAMVA DL/ID 2000";
constexpr const char* k2003 = "AAMVA DL/ID 2003";
constexpr const char* k2005 = "AAMVA DL/ID 2005";
constexpr const char* k2009 = "AAMVA DL/ID 2009";
constexpr const char* k2010 = "AAMVA DL/ID 2010";
constexpr const char* k2011 = "AAMVA DL/ID 2011";
constexpr const char* k2014 = "AAMVA DL/ID 2014";
constexpr ElementTerminators kSeparatorOnly = ElementTerminators::kSeparatorOnly;

// In registry order. Header positions and demanded versions are the descriptor rows of the same id.
// clang-format off
constexpr AamvaVariant kAamvaVariants[] = {
    {.id = 39, .standard = k2010, .elements = &ElementTable2009},
    {.id = 17, .standard = k2000, .elements = &ElementTable2000, .overrides = {.checkFileType = checkFileTypeAnsi}},
    {.id = 18, .standard = k2000, .elements = &ElementTable2000, .overrides = {.checkFileType = checkFileTypeAnsiShort, .locateSubfileData = locateBeforeOffset}},
    {.id = 19, .standard = k2000, .elements = &ElementTable2000, .overrides = {.checkFileType = checkFileTypeAnsi, .locateSubfileData = locateOneEarly}},
    {.id = 20, .standard = k2000NonStandard, .elements = &ElementTable2000, .overrides = {.storeIssuerId = storeIssuerIdReplacingA, .checkFileType = checkFileTypeAamva36Early}},
    {.id = 21, .standard = k2000NonStandard, .elements = &ElementTable2000, .overrides = {.storeIssuerId = storeIssuerIdReplacingA, .checkFileType = checkFileTypeAamva36}, .postCheck = rejectNorthCarolina},
    {.id = 22, .standard = k2000NonStandard, .elements = &ElementTable2000, .overrides = {.storeIssuerId = storeIssuerIdReplacingA, .checkFileType = checkFileTypeAamva36, .locateSubfileData = locateAfterOffset, .storeElement = storeElementRotatingDates}, .postCheck = demandNorthCarolina},
    {.id = 23, .standard = k2000, .elements = &ElementTable2000, .overrides = {.checkFileType = checkFileTypeAamva}},
    {.id = 24, .standard = k2000NonStandard, .elements = &ElementTable2000, .overrides = {.storeIssuerId = storeNoIssuerId, .checkFileType = checkFileTypeAamvaAnySeparator}},
    {.id = 25, .standard = k2000Partial, .elements = &ElementTable2000, .terminators = kSeparatorOnly, .overrides = {.locateSubfileData = locateCountingAfterType}},
    {.id = 26, .standard = k2003, .elements = &ElementTable2003},
    {.id = 27, .standard = k2005, .elements = &ElementTable2003, .overrides = {.parseDesignator = parseDesignatorTypeOnly, .locateSubfileData = locateAtFixedPosition<41>}},
    {.id = 28, .standard = k2003, .elements = &ElementTable2003, .overrides = {.checkFileType = checkRecordSeparatorOnly}},
    {.id = 29, .standard = k2003, .elements = &ElementTable2003},
    {.id = 30, .standard = k2005, .elements = &ElementTable2003},
    {.id = 31, .standard = k2005, .elements = &ElementTable2003, .overrides = {.locateSubfileData = locateCountingWithType}},
    {.id = 32, .standard = k2005, .elements = &ElementTable2003, .overrides = {.parseDesignator = parseDesignatorTypeOnly, .locateSubfileData = locateAtFixedPosition<27>}},
    {.id = 33, .standard = k2005, .elements = &ElementTable2003, .overrides = {.parseDesignator = parseDesignatorTypeOnly, .locateSubfileData = locateAtFixedPosition<32>}},
    {.id = 34, .standard = k2005, .elements = &ElementTable2003, .overrides = {.parseDesignator = parseDesignatorTypeOnly, .locateSubfileData = locateAtFixedPosition<26>}},
    {.id = 35, .standard = k2005, .elements = &ElementTable2003, .overrides = {.findDesignator = findDesignatorSl, .parseDesignator = parseDesignatorSl, .locateSubfileData = locateBehindLeadIn}},
    {.id = 36, .standard = k2009, .elements = &ElementTable2009},
    {.id = 37, .standard = k2009, .elements = &ElementTable2009, .terminators = kSeparatorOnly},
    {.id = 38, .standard = k2010, .elements = &ElementTable2009},
    {.id = 40, .standard = k2011, .elements = &ElementTable2011},
    {.id = 41, .standard = k2014, .elements = &ElementTable2014, .overrides = {.checkVersion = checkVersionRangeNamingEdition}},
    {.id = 42, .standard = k2014, .elements = &ElementTable2014, .terminators = kSeparatorOnly, .overrides = {.checkVersion = checkVersionRangeNamingEdition}},
    {.id = 43, .standard = k2014, .elements = &ElementTable2014, .overrides = {.checkVersion = checkVersionRangeNamingEdition}},
};
// clang-format on

constexpr bool everyVariantOnce() {
  for (std::int32_t id = 17; id <= 43; ++id) {
    if (std::count_if(std::begin(kAamvaVariants), std::end(kAamvaVariants),
                      [id](const AamvaVariant& v) { return v.id == id; }) != 1) {
      return false;
    }
  }
  return true;
}
// The screen below knows these two version checks and no others.
constexpr bool versionChecksScreened() {
  return std::all_of(std::begin(kAamvaVariants), std::end(kAamvaVariants), [](const AamvaVariant& v) {
    return v.overrides.checkVersion == nullptr || v.overrides.checkVersion == checkVersionRangeNamingEdition;
  });
}
static_assert(std::size(kAamvaVariants) == 27 && everyVariantOnce() && versionChecksScreened());

// Kept out of the template: with a known function in hand gcc rejects the null test under -Waddress.
void applyOverrides(AamvaPipeline& p, const AamvaOverrides& o) {
  overrideHook(p.storeIssuerId, o.storeIssuerId);
  overrideHook(p.checkVersion, o.checkVersion);
  overrideHook(p.checkFileType, o.checkFileType);
  overrideHook(p.findDesignator, o.findDesignator);
  overrideHook(p.parseDesignator, o.parseDesignator);
  overrideHook(p.locateSubfileData, o.locateSubfileData);
  overrideHook(p.storeElement, o.storeElement);
}

template <const ElementTable* Table, ElementTerminators Terminators>
Status parseElementsWith(AamvaPipeline& p, TextSpan data) {
  return parseElementsWithTable(p, data, *Table, Terminators);
}

// Every row sees every text, and most texts are no barcode or one of another edition or layout: the header's own
// tests, the version the row demands and its file type turn those away, with the statuses the decode gives, before
// the pipeline is set up or the standard written.
bool versionAccepted(const AamvaVariant& variant, const AamvaDescriptor& d, std::int32_t version) {
  const bool range = variant.overrides.checkVersion == checkVersionRangeNamingEdition;
  return range ? readsVersion(d, version) : version == d.version;
}

Status screenVariant(const AamvaVariant& variant, const char* text, std::int32_t length) {
  if (text == nullptr || length < 0) return kStatusBadArgument;
  const AamvaDescriptor& d = *findAamvaDescriptor(variant.id);  // every id in the table has its descriptor
  std::int32_t version = 0;
  if (Status s = screenHeader(d, TextSpan{text, length}, version); s != kStatusOk) return s;
  if (!versionAccepted(variant, d, version)) return kAamvaBadVersion;
  // The decode reads the entry count, stores the issuer number (which cannot fail: the header holds it) and checks
  // the file type; the count and the type need the header alone.
  AamvaPipeline probe;
  probe.descriptor = d;
  readHeaderSeparators(probe, TextSpan{text, length});
  if (Status s = parseEntryCount(probe, TextSpan{text, length}); s != kStatusOk) return s;
  return callHook(variant.overrides.checkFileType, probe, TextSpan{text, length});
}

// screened: the row's screen passed the text, so screenVariant would too.
Status runVariant(const AamvaVariant& variant, AamvaTextHook parseElements, const char* text, std::int32_t length,
                  FieldRecord& record, ParserInstance& instance, bool screened) {
  if (!screened) {
    if (Status s = screenVariant(variant, text, length); s != kStatusOk) return s;
  }
  AamvaPipeline pipeline;
  (void)initAamvaPipeline(pipeline, variant.id, record, instance);  // every id in the table has its descriptor
  pipeline.parseElements = parseElements;
  applyOverrides(pipeline, variant.overrides);
  setSlotText(record, SLOT_STANDARD, variant.standard);
  const Status status = callHook(pipeline.decode, pipeline, text, length);
  if (status != kStatusOk || variant.postCheck == nullptr) return status;
  return variant.postCheck(record);
}

// The header version as screenHeader reads it where that is plain: the mark first, a text longer than the header and
// a version field of digits alone; -1 in every other case, which the full screen judges.
std::int32_t plainVersion(const AamvaDescriptor& d, const char* text, std::int32_t length) {
  if (text == nullptr || length <= d.headerLength || text[0] != '@') return -1;
  std::int32_t version = 0;
  return readDigitsOnly(TextSpan{text + d.versionPos, d.versionLength}, version) ? version : -1;
}

}  // namespace

template <std::int32_t Id>
Status decodeAamvaVariant(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  constexpr std::size_t row = variantRow(kAamvaVariants, Id);
  constexpr const AamvaVariant& variant = kAamvaVariants[row];
  return runVariant(variant, parseElementsWith<variant.elements, variant.terminators>, text, length, record, instance,
                    screenPassed(instance, screenAamvaVariant<Id>, text, length));
}

template <std::int32_t Id>
bool screenAamvaVariant(const char* text, std::int32_t length) {
  constexpr std::size_t row = variantRow(kAamvaVariants, Id);
  constexpr const AamvaDescriptor& d = AamvaDescriptorTable[Id - AamvaDescriptorTable[0].id];
  static_assert(d.id == Id && d.versionPos >= 0);
  // A barcode is offered to the rows of every edition, and all but one or two turn it away on its version: that much
  // is read here, from the row's own header layout, before the general screen looks the layout up.
  const std::int32_t version = plainVersion(d, text, length);
  if (version >= 0 && !versionAccepted(kAamvaVariants[row], d, version)) return false;
  return screenVariant(kAamvaVariants[row], text, length) == kStatusOk;
}

template Status decodeAamvaVariant<17>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<18>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<19>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<20>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<21>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<22>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<23>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<24>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<25>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<26>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<27>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<28>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<29>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<30>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<31>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<32>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<33>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<34>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<35>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<36>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<37>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<38>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<39>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<40>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<41>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<42>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeAamvaVariant<43>(const char*, std::int32_t, FieldRecord&, ParserInstance&);

template bool screenAamvaVariant<17>(const char*, std::int32_t);
template bool screenAamvaVariant<18>(const char*, std::int32_t);
template bool screenAamvaVariant<19>(const char*, std::int32_t);
template bool screenAamvaVariant<20>(const char*, std::int32_t);
template bool screenAamvaVariant<21>(const char*, std::int32_t);
template bool screenAamvaVariant<22>(const char*, std::int32_t);
template bool screenAamvaVariant<23>(const char*, std::int32_t);
template bool screenAamvaVariant<24>(const char*, std::int32_t);
template bool screenAamvaVariant<25>(const char*, std::int32_t);
template bool screenAamvaVariant<26>(const char*, std::int32_t);
template bool screenAamvaVariant<27>(const char*, std::int32_t);
template bool screenAamvaVariant<28>(const char*, std::int32_t);
template bool screenAamvaVariant<29>(const char*, std::int32_t);
template bool screenAamvaVariant<30>(const char*, std::int32_t);
template bool screenAamvaVariant<31>(const char*, std::int32_t);
template bool screenAamvaVariant<32>(const char*, std::int32_t);
template bool screenAamvaVariant<33>(const char*, std::int32_t);
template bool screenAamvaVariant<34>(const char*, std::int32_t);
template bool screenAamvaVariant<35>(const char*, std::int32_t);
template bool screenAamvaVariant<36>(const char*, std::int32_t);
template bool screenAamvaVariant<37>(const char*, std::int32_t);
template bool screenAamvaVariant<38>(const char*, std::int32_t);
template bool screenAamvaVariant<39>(const char*, std::int32_t);
template bool screenAamvaVariant<40>(const char*, std::int32_t);
template bool screenAamvaVariant<41>(const char*, std::int32_t);
template bool screenAamvaVariant<42>(const char*, std::int32_t);
template bool screenAamvaVariant<43>(const char*, std::int32_t);

}  // namespace quorix
