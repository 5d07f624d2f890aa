// The Common Access Card decoders: a header test, a cut of the text into fixed-width fields by a layout, and a
// store per field. Version 1 cards write their numbers and dates in base 32; version 3 cards write dates as
// year, month abbreviation and day.
#include "decoders/cac/cac_decoders.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "core/text_utils.h"
#include "decoders/cac/cac_pipeline.h"
#include "decoders/variant_kit.h"

namespace quorix {

namespace {

// clang-format off
constexpr CacField kRowsV1[] = {
    {.slot = SLOT_CAC_BARCODE_VERSION, .width = 1},
    {.slot = SLOT_CAC_PERSON_ID, .width = 6},
    {.slot = SLOT_CAC_PERSON_ID_TYPE, .width = 1},
    {.slot = SLOT_CAC_EDIPI, .width = 7},
    {.slot = SLOT_FIRST_NAME, .width = 20},
    {.slot = SLOT_FAMILY_NAME, .width = 26},
    {.slot = SLOT_BIRTH_DATE_ALT, .width = 4},
    {.slot = SLOT_CAC_PERSONNEL_CATEGORY, .width = 1},
    {.slot = SLOT_CAC_BRANCH, .width = 1},
    {.slot = SLOT_CAC_ENTITLEMENT, .width = 2},
    {.slot = SLOT_CAC_RANK, .width = 6},
    {.slot = SLOT_CAC_PAY_PLAN, .width = 2},
    {.slot = SLOT_CAC_PAY_GRADE, .width = 2},
    {.slot = SLOT_ISSUE_DATE, .width = 4},
    {.slot = SLOT_EXPIRY_DATE, .width = 4},
    {.slot = SLOT_CAC_CARD_INSTANCE, .width = 1},
    {.slot = SLOT_MIDDLE_NAME, .width = 1},  // the middle initial comes last on these cards
};

constexpr CacField kRowsV3A[] = {
    {.slot = SLOT_CAC_FIELD_99, .width = 1},
    {.slot = SLOT_FULL_NAME, .width = 27},
    {.slot = SLOT_CAC_PERSON_NUMBER, .width = 9},
    {.slot = SLOT_CAC_FIELD_101, .width = 1},
    {.slot = SLOT_CAC_FIELD_102, .width = 9},
    {.slot = SLOT_CAC_FIELD_103, .width = 2},
    {.slot = SLOT_HEIGHT, .width = 2},
    {.slot = SLOT_WEIGHT_LB, .width = 3},
    {.slot = SLOT_HAIR_COLOUR, .width = 2},
    {.slot = SLOT_EYE_COLOUR, .width = 2},
    {.slot = SLOT_BIRTH_DATE_ALT, .width = 9},
    {.slot = SLOT_CAC_FIELD_104, .width = 1},
    {.slot = SLOT_CAC_FIELD_105, .width = 1},
    {.slot = SLOT_CAC_FIELD_106, .width = 1},
    {.slot = SLOT_CAC_FIELD_107, .width = 1},
    {.slot = SLOT_CAC_FIELD_108, .width = 1},
    {.slot = SLOT_CAC_FIELD_109, .width = 9},
    {.slot = SLOT_CAC_FIELD_110, .width = 9},
    {.slot = SLOT_CAC_FIELD_111, .width = 6},
    {.slot = SLOT_ISSUE_DATE, .width = 9},
    {.slot = SLOT_EXPIRY_DATE, .width = 9},
    {.slot = SLOT_CAC_FIELD_112, .width = 4},
    {.slot = SLOT_CAC_FIELD_113, .width = 1},
    {.slot = SLOT_CAC_FIELD_114, .width = 6},
    {.slot = SLOT_CAC_FIELD_115, .width = 5},
    {.slot = SLOT_CAC_FIELD_116, .width = 6},
    {.slot = SLOT_CAC_FIELD_117, .width = 4},
    {.slot = SLOT_CAC_FIELD_118, .width = 27},
    {.slot = SLOT_CAC_FIELD_119, .width = 9},
    {.slot = SLOT_CAC_FIELD_120, .width = 6},
};

constexpr CacField kRowsV3B[] = {
    {.slot = SLOT_CAC_FIELD_99, .width = 1},
    {.slot = SLOT_FULL_NAME, .width = 27},
    {.slot = SLOT_CAC_PERSON_NUMBER, .width = 9},
    {.slot = SLOT_CAC_FIELD_101, .width = 1},
    {.slot = SLOT_CAC_FIELD_102, .width = 9},
    {.slot = SLOT_CAC_FIELD_103, .width = 2},
    {.slot = SLOT_HEIGHT, .width = 2},
    {.slot = SLOT_WEIGHT_LB, .width = 3},
    {.slot = SLOT_HAIR_COLOUR, .width = 2},
    {.slot = SLOT_EYE_COLOUR, .width = 2},
    {.slot = SLOT_BIRTH_DATE_ALT, .width = 9},
    {.slot = SLOT_CAC_FIELD_104, .width = 1},
    {.slot = SLOT_CAC_FIELD_105, .width = 1},
    {.slot = SLOT_CAC_FIELD_106, .width = 1},
    {.slot = SLOT_CAC_FIELD_107, .width = 1},
    {.slot = SLOT_CAC_FIELD_108, .width = 1},
    {.slot = SLOT_CAC_FIELD_109, .width = 9},
    {.slot = SLOT_CAC_FIELD_110, .width = 9},
    {.slot = SLOT_CAC_FIELD_111, .width = 6},
    {.slot = SLOT_ISSUE_DATE, .width = 9},
    {.slot = SLOT_EXPIRY_DATE, .width = 9},
    {.slot = SLOT_CAC_FIELD_112, .width = 4},
    {.slot = SLOT_CAC_FIELD_113, .width = 1},
    {.slot = SLOT_CAC_FIELD_121, .width = 6},
    {.slot = SLOT_CAC_FIELD_122, .width = 5},
    {.slot = SLOT_CAC_RANK, .width = 6},
    {.slot = SLOT_CAC_FIELD_123, .width = 3},
    {.slot = SLOT_CAC_FIELD_124, .width = 3},
};

constexpr CacField kRowsV3C[] = {
    {.slot = SLOT_CAC_FIELD_99, .width = 1},
    {.slot = SLOT_FULL_NAME, .width = 27},
    {.slot = SLOT_CAC_PERSON_NUMBER, .width = 9},
    {.slot = SLOT_CAC_FIELD_129, .width = 1},
    {.slot = SLOT_CAC_FIELD_102, .width = 9},
    {.slot = SLOT_CAC_FIELD_113, .width = 1},
    {.slot = SLOT_CAC_FIELD_130, .width = 1},
    {.slot = SLOT_HEIGHT, .width = 2},
    {.slot = SLOT_CAC_FIELD_133, .width = 3},
    {.slot = SLOT_HAIR_COLOUR, .width = 2},
    {.slot = SLOT_EYE_COLOUR, .width = 2},
    {.slot = SLOT_BIRTH_DATE_ALT, .width = 9},
    {.slot = SLOT_CAC_FIELD_128, .width = 23},
    {.slot = SLOT_CAC_FIELD_111, .width = 6},
    {.slot = SLOT_CAC_FIELD_134, .width = 9},
    {.slot = SLOT_CAC_FIELD_136, .width = 9},
    {.slot = SLOT_CAC_FIELD_112, .width = 4},
    {.slot = SLOT_CAC_FIELD_135, .width = 1},
    {.slot = SLOT_CAC_FIELD_121, .width = 6},
    {.slot = SLOT_CAC_FIELD_122, .width = 5},
    {.slot = SLOT_CAC_RANK, .width = 6},
    {.slot = SLOT_CAC_FIELD_132, .width = 7},
    {.slot = SLOT_CAC_FIELD_123, .width = 3},
    {.slot = SLOT_CAC_FIELD_124, .width = 3},
    {.slot = SLOT_CAC_FIELD_127, .width = 35},
};
// clang-format on

template <std::size_t N>
constexpr std::int32_t totalWidth(const CacField (&rows)[N]) {
  std::int32_t total = 0;
  for (const CacField& row : rows) total += row.width;
  return total;
}

// The offset of the first field that fills slot, or -1; lets the compiler check offsets a reader would look up.
template <std::size_t N>
constexpr std::int32_t offsetOf(const CacField (&rows)[N], std::int32_t slot) {
  std::int32_t offset = 0;
  for (const CacField& row : rows) {
    if (row.slot == slot) return offset;
    offset += row.width;
  }
  return -1;
}

template <std::size_t N>
constexpr bool slotsAndWidthsValid(const CacField (&rows)[N]) {
  for (const CacField& row : rows)
    if (row.slot < 0 || row.slot >= kSlotCount || row.width < 1) return false;
  return true;
}

// The version 3 layouts share their first 23 fields but for where layout C departs at field 4.
template <std::size_t N, std::size_t M>
constexpr bool samePrefix(const CacField (&a)[N], const CacField (&b)[M], std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (a[i].slot != b[i].slot || a[i].width != b[i].width) return false;
  return true;
}

static_assert(std::size(kRowsV1) == 17 && totalWidth(kRowsV1) == 89 && slotsAndWidthsValid(kRowsV1));
static_assert(std::size(kRowsV3A) == 30 && totalWidth(kRowsV3A) == 182 && slotsAndWidthsValid(kRowsV3A));
static_assert(std::size(kRowsV3B) == 28 && totalWidth(kRowsV3B) == 142 && slotsAndWidthsValid(kRowsV3B));
static_assert(std::size(kRowsV3C) == 25 && totalWidth(kRowsV3C) == 184 && slotsAndWidthsValid(kRowsV3C));
static_assert(samePrefix(kRowsV3A, kRowsV3B, 23) && samePrefix(kRowsV3A, kRowsV3C, 3));
// The layout mark is one character at the front of the body; the early test of it relies on that.
static_assert(kRowsV3A[0].slot == SLOT_CAC_FIELD_99 && kRowsV3A[0].width == 1);
static_assert(offsetOf(kRowsV1, SLOT_FAMILY_NAME) == 35 && offsetOf(kRowsV1, SLOT_BIRTH_DATE_ALT) == 61 &&
              offsetOf(kRowsV1, SLOT_ISSUE_DATE) == 79 && offsetOf(kRowsV1, SLOT_MIDDLE_NAME) == 88);
static_assert(offsetOf(kRowsV3A, SLOT_BIRTH_DATE_ALT) == 58 && offsetOf(kRowsV3A, SLOT_ISSUE_DATE) == 96 &&
              offsetOf(kRowsV3A, SLOT_CAC_FIELD_118) == 140 && offsetOf(kRowsV3A, SLOT_CAC_FIELD_120) == 176);
static_assert(offsetOf(kRowsV3B, SLOT_CAC_FIELD_121) == 119 && offsetOf(kRowsV3B, SLOT_CAC_RANK) == 130 &&
              offsetOf(kRowsV3B, SLOT_CAC_FIELD_124) == 139);
static_assert(offsetOf(kRowsV3C, SLOT_CAC_FIELD_128) == 67 && offsetOf(kRowsV3C, SLOT_CAC_FIELD_134) == 96 &&
              offsetOf(kRowsV3C, SLOT_CAC_FIELD_132) == 136 && offsetOf(kRowsV3C, SLOT_CAC_FIELD_127) == 149);

}  // namespace

constinit const CacLayout CacLayoutV1{static_cast<std::int32_t>(std::size(kRowsV1)), kRowsV1};
constinit const CacLayout CacLayoutV3A{static_cast<std::int32_t>(std::size(kRowsV3A)), kRowsV3A};
constinit const CacLayout CacLayoutV3B{static_cast<std::int32_t>(std::size(kRowsV3B)), kRowsV3B};
constinit const CacLayout CacLayoutV3C{static_cast<std::int32_t>(std::size(kRowsV3C)), kRowsV3C};

namespace {

constexpr std::int32_t kHeaderLength = 9;  // "IDUS" or "IDCV", the version character and four unread characters

bool beginsWith(TextSpan text, const char* prefix, std::int32_t prefixLength) {
  return text.filled() && text.length >= prefixLength &&
         std::memcmp(text.data, prefix, static_cast<std::size_t>(prefixLength)) == 0;
}

bool versionMatches(const CacPipeline& pipeline, char version) {
  const char* expected = pipeline.versionText;
  return expected == nullptr || expected[0] == '\0' || expected[0] == version;
}

// The driver: the header decides whether the text is this card at all; the body split reads the fields.
Status driveCac(CacPipeline& pipeline, const char* text, std::int32_t length) {
  if (text == nullptr || length < 0) return kStatusBadArgument;
  const TextSpan whole{text, length};
  if (Status s = callHook(pipeline.checkHeader, pipeline, whole); s != kStatusOk) return s;
  return callHook(pipeline.splitBody, pipeline, whole);
}

Status checkHeaderIdus(CacPipeline& pipeline, TextSpan text) {
  if (!text.filled()) return kStatusBadArgument;
  if (!beginsWith(text, "IDUS", 4) || text.length < 5) return kStatusCacHeader;
  return versionMatches(pipeline, text.data[4]) ? kStatusOk : kStatusCacVersion;
}

// Version 1 cards start straight with their version character.
Status checkHeaderFirstCharacter(CacPipeline& pipeline, TextSpan text) {
  if (!text.filled()) return kStatusBadArgument;
  return versionMatches(pipeline, text.data[0]) ? kStatusOk : kStatusCacVersion;
}

// The civilian card says its version in the header but any version shares the layout.
Status checkHeaderIdcv(CacPipeline&, TextSpan text) {
  if (!text.filled()) return kStatusBadArgument;
  if (!beginsWith(text, "IDCV", 4) || text.length < 5) return kStatusCacHeader;
  return kStatusOk;
}

Status splitBodyAfterHeader(CacPipeline& pipeline, TextSpan text) {
  if (!text.filled() || text.length < kHeaderLength) return kStatusCacHeader;
  const TextSpan body{text.data + kHeaderLength, text.length - kHeaderLength};
  return callHook(pipeline.splitFields, pipeline, body, pipeline.layout, pipeline.fieldCount);
}

Status splitBodyWholeText(CacPipeline& pipeline, TextSpan text) {
  if (!text.filled()) return kStatusCacHeader;
  return callHook(pipeline.splitFields, pipeline, text, pipeline.layout, pipeline.fieldCount);
}

Status storePlain(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  trimBlanks(field);
  setSlotIf(*pipeline.record, slot, field, nullptr, nullptr, 0);
  return kStatusOk;
}

// Version 1: the two identifiers are base-32 numbers, the dates base-32 counts of days from 1 January 1000.
Status storeVersion1(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  const bool number = slot == SLOT_CAC_PERSON_ID || slot == SLOT_CAC_EDIPI;
  const bool date = slot == SLOT_ISSUE_DATE || slot == SLOT_BIRTH_DATE_ALT || slot == SLOT_EXPIRY_DATE;
  if (!number && !date) return storePlain(pipeline, slot, field);
  std::uint64_t value = 0;
  if (Status s = readBase32(field, &value); s != kStatusOk) return s;
  if (number) {
    char digits[24] = {};
    const std::int32_t written = formatDecimal(static_cast<std::int64_t>(value), digits, 20, 0);
    if (written < 1) return kStatusCacBadDigit;
    setSlotText(*pipeline.record, slot, digits);
    return kStatusOk;
  }
  DateTime dateTime{};
  if (Status s = dateFromDayNumber(static_cast<std::int64_t>(value) + 1, &dateTime); s != kStatusOk) return s;
  setSlotDate(*pipeline.record, slot, dateTime);
  return kStatusOk;
}

constexpr const char* kMonthAbbreviations[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
static_assert(std::size(kMonthAbbreviations) == 12);

// "1990JAN15" becomes "19900115"; any other field goes in as the plain store leaves it.
Status storeVersion3Date(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  if (field.filled() && field.length == 9) {
    for (std::int32_t month = 0; month < 12; ++month) {
      if (std::memcmp(field.data + 4, kMonthAbbreviations[month], 3) != 0) continue;
      const char converted[8] = {field.data[0],
                                 field.data[1],
                                 field.data[2],
                                 field.data[3],
                                 static_cast<char>('0' + (month + 1) / 10),
                                 static_cast<char>('0' + (month + 1) % 10),
                                 field.data[7],
                                 field.data[8]};
      setSlot(*pipeline.record, slot, TextSpan{converted, 8}, nullptr, nullptr, 0);
      return kStatusOk;
    }
  }
  return storePlain(pipeline, slot, field);
}

// "60" becomes 6'0": feet, then inches. A blank field stores nothing rather than a bare pair of marks.
Status storeVersion3Height(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  trimBlanks(field);
  if (!field.filled() || field.length > 12) return kStatusOk;
  char height[16] = {};
  std::int32_t n = 0;
  height[n++] = field.data[0];
  height[n++] = '\'';
  for (std::int32_t i = 1; i < field.length; ++i) height[n++] = field.data[i];
  height[n++] = '"';
  setSlot(*pipeline.record, slot, TextSpan{height, n}, nullptr, nullptr, 0);
  return kStatusOk;
}

// The 182-character layout writes the name as "FAMILY GIVEN MIDDLE" padded with spaces; the derivations split it
// at commas, and read a name left with spaces as given name first. Each run of spaces becomes one ", " so padding
// leaves no empty parts; the value is cut at the arena end. The other version 3 layouts store their name as written,
// given name first ("JOHN Q DOE"), which the derivations read by its spaces.
std::int32_t produceCommaName(const void* context, char* destination, std::int32_t room) {
  const TextSpan& name = *static_cast<const TextSpan*>(context);
  std::int32_t written = 0;
  for (std::int32_t i = 0; i < name.length && written < room; ++i) {
    if (name.data[i] != ' ') {
      destination[written++] = name.data[i];
      continue;
    }
    if (i > 0 && name.data[i - 1] == ' ') continue;
    if (room - written < 2) break;
    destination[written++] = ',';
    destination[written++] = ' ';
  }
  while (written > 0 && isBlank(static_cast<signed char>(destination[written - 1])) != 0) --written;
  return written;
}

bool isVersion3Date(std::int32_t slot) {
  return slot == SLOT_BIRTH_DATE_ALT || slot == SLOT_CAC_FIELD_109 || slot == SLOT_CAC_FIELD_110 ||
         slot == SLOT_ISSUE_DATE || slot == SLOT_EXPIRY_DATE;
}

Status storeVersion3(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  if (isVersion3Date(slot)) return storeVersion3Date(pipeline, slot, field);
  if (slot == SLOT_HEIGHT) return storeVersion3Height(pipeline, slot, field);
  return storePlain(pipeline, slot, field);
}

Status storeVersion3Named(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  if (slot != SLOT_FULL_NAME) return storeVersion3(pipeline, slot, field);
  trimBlanks(field);
  if (!field.filled()) {
    setSlotIf(*pipeline.record, slot, field, nullptr, nullptr, 0);  // clears the slot
    return kStatusOk;
  }
  setSlotProduced(*pipeline.record, slot, &field, produceCommaName);
  return kStatusOk;
}

// The civilian card moves its issue and expiry dates to slots of their own.
Status storeVersion3Civilian(CacPipeline& pipeline, std::int32_t slot, TextSpan field) {
  if (slot == SLOT_CAC_FIELD_134 || slot == SLOT_CAC_FIELD_136) return storeVersion3Date(pipeline, slot, field);
  return storeVersion3(pipeline, slot, field);
}

// The civilian card names its own version: "IDCV" and then the version character.
void storeCivilianCardTexts(CacPipeline& pipeline, TextSpan text) {
  if (text.filled() && text.length > 4) {
    constexpr char kPrefix[] = "DoD/Uniformed Services Civilian ID Card v";
    char standard[sizeof kPrefix + 1] = {};
    std::memcpy(standard, kPrefix, sizeof kPrefix - 1);
    standard[sizeof kPrefix - 1] = text.data[4];
    setSlotText(*pipeline.record, SLOT_STANDARD, standard);
  }
  setSlotText(*pipeline.record, SLOT_COUNTRY_CODE, "USA");
  setSlotText(*pipeline.record, SLOT_DOCUMENT_TYPE, "CAC");
}

struct CacOverrides {
  CacTextHook checkHeader = nullptr;
  CacTextHook splitBody = nullptr;
  CacStoreHook storeField = nullptr;
};

struct CacVariant {
  std::int32_t id;
  const char* versionText;
  const CacLayout* layout;
  CacOverrides overrides;
  const char* standard;    // slot 86 text, or null for the card that names its version itself
  const char* layoutMark;  // what slot 99 must hold for this layout, or null
};

// clang-format off
constexpr CacVariant kCacVariants[] = {
    {.id = 46, .versionText = "1", .layout = &CacLayoutV1,
     .overrides = {.checkHeader = checkHeaderFirstCharacter, .splitBody = splitBodyWholeText, .storeField = storeVersion1},
     .standard = "Common Access Card 1", .layoutMark = nullptr},
    {.id = 47, .versionText = "N", .layout = &CacLayoutV1,
     .overrides = {.checkHeader = checkHeaderFirstCharacter, .splitBody = splitBodyWholeText, .storeField = storeVersion1},
     .standard = "Common Access Card N", .layoutMark = nullptr},
    {.id = 49, .versionText = "3", .layout = &CacLayoutV3B, .overrides = {.storeField = storeVersion3},
     .standard = "Common Access Card v3", .layoutMark = "1"},
    {.id = 48, .versionText = "3", .layout = &CacLayoutV3A, .overrides = {.storeField = storeVersion3Named},
     .standard = "Common Access Card v3", .layoutMark = "0"},
    {.id = 50, .versionText = "3", .layout = &CacLayoutV3C,
     .overrides = {.checkHeader = checkHeaderIdcv, .storeField = storeVersion3Civilian},
     .standard = nullptr, .layoutMark = nullptr},
};
// clang-format on
static_assert(std::size(kCacVariants) == 5);

void applyOverrides(CacPipeline& pipeline, const CacOverrides& overrides) {
  overrideHook(pipeline.checkHeader, overrides.checkHeader);
  overrideHook(pipeline.splitBody, overrides.splitBody);
  overrideHook(pipeline.storeField, overrides.storeField);
}

bool slotHolds(const FieldRecord& record, std::int32_t slot, const char* text) {
  const FieldSlot& value = record.slots[slot];
  const std::size_t length = std::strlen(text);
  return value.filled() && static_cast<std::size_t>(value.length) == length &&
         std::memcmp(value.text, text, length) == 0;
}

// Whether splitCacFields stops inside a field other than the last on a body of this length.
bool bodyEndsInsideField(const CacLayout& layout, std::int32_t bodyLength) {
  std::int32_t start = 0;
  for (std::int32_t i = 0; i + 1 < layout.count; ++i) {
    const std::int32_t end = start + layout.rows[i].width;
    if (bodyLength > start && bodyLength < end) return true;
    start = end;
  }
  return false;
}

// The version 3 cards share a header, so each of the two layouts would read the other's cards whole before slot 99
// turns them away. The mark is the body's first character, and the split stores it and goes on whatever it says:
// a card whose mark is not this layout's gets, before anything is stored, the status its whole decode would end
// with, the split's when the text ends inside a field and the mark's otherwise. A text too short for the body is
// left to the driver.
Status checkLayoutMark(const CacVariant& variant, TextSpan text) {
  if (variant.layoutMark == nullptr || variant.overrides.splitBody != nullptr || !text.filled() ||
      text.length < kHeaderLength) {
    return kStatusOk;
  }
  const std::int32_t bodyLength = text.length - kHeaderLength;
  if (bodyLength > 0 && text.data[kHeaderLength] == variant.layoutMark[0]) return kStatusOk;
  return bodyEndsInsideField(*variant.layout, bodyLength) ? kStatusCacFieldCut : kStatusCacLayout;
}

Status runCacVariant(const CacVariant& variant, const char* text, std::int32_t length, FieldRecord& record,
                     ParserInstance& instance) {
  CacPipeline pipeline;
  if (Status s =
          initCacPipeline(pipeline, variant.versionText, variant.layout->rows, variant.layout->count, record, instance);
      s != kStatusOk)
    return s;
  applyOverrides(pipeline, variant.overrides);
  // Most texts offered here are no card at all: the header turns them away before anything is stored. The driver
  // tests it again and returns the same status for such a text, a null or empty one included.
  if (Status s = callHook(pipeline.checkHeader, pipeline, TextSpan{text, length}); s != kStatusOk) return s;
  if (Status s = checkLayoutMark(variant, TextSpan{text, length}); s != kStatusOk) return s;
  if (variant.standard != nullptr) {
    setSlotText(record, SLOT_STANDARD, variant.standard);
    setSlotText(record, SLOT_COUNTRY_CODE, "USA");
    setSlotText(record, SLOT_DOCUMENT_TYPE, "CAC");
  }
  if (Status s = callHook(pipeline.decode, pipeline, text, length); s != kStatusOk) return s;
  if (variant.layoutMark != nullptr && !slotHolds(record, SLOT_CAC_FIELD_99, variant.layoutMark))
    return kStatusCacLayout;
  if (variant.standard == nullptr) storeCivilianCardTexts(pipeline, TextSpan{text, length});
  return kStatusOk;
}

}  // namespace

Status initCacPipeline(CacPipeline& pipeline, const char* versionText, const CacField* layout, std::int32_t fieldCount,
                       FieldRecord& record, ParserInstance& instance) {
  pipeline = CacPipeline{};
  pipeline.record = &record;
  pipeline.instance = &instance;
  pipeline.versionText = versionText;
  pipeline.layout = layout;
  pipeline.fieldCount = fieldCount;
  pipeline.decode = driveCac;
  pipeline.checkHeader = checkHeaderIdus;
  pipeline.splitBody = splitBodyAfterHeader;
  pipeline.splitFields = splitCacFields;
  pipeline.storeField = storePlain;
  return kStatusOk;
}

Status splitCacFields(CacPipeline& pipeline, TextSpan body, const CacField* layout, std::int32_t fieldCount) {
  if (body.data == nullptr || body.length < 0 || layout == nullptr || fieldCount < 1) return kStatusBadArgument;
  if (body.length == 0) return kStatusOk;
  if (body.length < layout[0].width) return kStatusCacFieldCut;
  TextSpan rest = body;
  for (std::int32_t i = 0; i < fieldCount && rest.length > 0; ++i) {
    const std::int32_t width = layout[i].width;
    if (width < 1) return kStatusBadArgument;
    // The prepared text has lost the blanks that padded the card's last field, so only that field may come short.
    const bool lastRow = i == fieldCount - 1;
    if (rest.length < width && !lastRow) return kStatusCacFieldCut;
    const std::int32_t taken = rest.length < width ? rest.length : width;
    // A field that cannot be converted stays empty; it does not make the card unreadable.
    (void)callHook(pipeline.storeField, pipeline, layout[i].slot, TextSpan{rest.data, taken});
    rest = TextSpan{rest.data + taken, rest.length - taken};
  }
  return kStatusOk;
}

// Values stay within what a signed 64-bit day count or decimal text can carry.
constexpr std::uint64_t kBase32Limit = 0x7fff'ffff'ffff'fffeULL;

Status readBase32(TextSpan field, std::uint64_t* value) {
  if (value == nullptr || !field.filled()) return kStatusCacBadDigit;
  std::uint64_t result = 0;
  for (std::int32_t i = 0; i < field.length && field.data[i] != '='; ++i) {
    const char c = field.data[i];
    std::uint64_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint64_t>(c - '0');
    } else if (c >= 'A' && c <= 'V') {
      digit = static_cast<std::uint64_t>(c - 'A' + 10);
    } else {
      return kStatusCacBadDigit;
    }
    if (result > (kBase32Limit - digit) / 32) return kStatusCacBadDigit;
    result = result * 32 + digit;
  }
  *value = result;
  return kStatusOk;
}

template <std::int32_t Id>
Status decodeCacVariant(const char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  constexpr std::size_t row = variantRow(kCacVariants, Id);
  return runCacVariant(kCacVariants[row], text, length, record, instance);
}

// The header test, the variant's own where it has one, and the layout mark, as the decode runs them first.
template <std::int32_t Id>
bool screenCacVariant(const char* text, std::int32_t length) {
  constexpr std::size_t row = variantRow(kCacVariants, Id);
  const CacVariant& variant = kCacVariants[row];
  CacPipeline pipeline;
  pipeline.versionText = variant.versionText;
  pipeline.checkHeader = checkHeaderIdus;
  applyOverrides(pipeline, variant.overrides);
  return callHook(pipeline.checkHeader, pipeline, TextSpan{text, length}) == kStatusOk &&
         checkLayoutMark(variant, TextSpan{text, length}) == kStatusOk;
}

template Status decodeCacVariant<46>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeCacVariant<47>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeCacVariant<48>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeCacVariant<49>(const char*, std::int32_t, FieldRecord&, ParserInstance&);
template Status decodeCacVariant<50>(const char*, std::int32_t, FieldRecord&, ParserInstance&);

template bool screenCacVariant<46>(const char*, std::int32_t);
template bool screenCacVariant<47>(const char*, std::int32_t);
template bool screenCacVariant<48>(const char*, std::int32_t);
template bool screenCacVariant<49>(const char*, std::int32_t);
template bool screenCacVariant<50>(const char*, std::int32_t);

}  // namespace quorix
