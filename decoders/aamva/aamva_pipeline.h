// The one pipeline every AAMVA barcode decoder runs: header checks, subfile directory, data location and element
// scanning, as a record of state and hooks that each variant adjusts before calling decode.
#pragma once

#include <quorix/status.h>

#include <cstdint>
#include <iterator>

#include "core/char_classes.h"
#include "core/field_record.h"
#include "core/instance.h"
#include "core/text_utils.h"
#include "decoders/aamva/element_tables.h"
#include "decoders/variant_kit.h"

namespace quorix {

// Statuses of the AAMVA decoders; -21 (kStatusBadArgument) is shared.
inline constexpr Status kAamvaTooShort = -1;
inline constexpr Status kAamvaNoComplianceMark = -2;
inline constexpr Status kAamvaBadRecordSeparator = -3;
inline constexpr Status kAamvaNoAnsi = -4;
inline constexpr Status kAamvaNoFileType = -5;
inline constexpr Status kAamvaNoAamvaWord = -6;
inline constexpr Status kAamvaBadVersion = -7;
inline constexpr Status kAamvaBadEntryCount = -8;
inline constexpr Status kAamvaBadDesignator = -9;
inline constexpr Status kAamvaShortSubfile = -10;
inline constexpr Status kAamvaJurisdictionIsNc = -12;
inline constexpr Status kAamvaJurisdictionNotNc = -13;
inline constexpr Status kAamvaNoDescriptor = -22;

// Where one header layout keeps its fields; positions count from the "@" at 0.
struct AamvaDescriptor {
  std::int32_t id = 0;
  std::int32_t minVersion = 0;    // read only by the version range check
  std::int32_t version = 0;       // demanded by the default version check
  std::int32_t headerLength = 0;  // the text must be longer; the first designator starts here
  std::int32_t desPos = 0;
  std::int32_t rsPos = 0;
  std::int32_t stPos = 0;
  std::int32_t iinPos = 0;
  std::int32_t iinLength = 0;
  std::int32_t versionPos = 0;
  std::int32_t versionLength = 0;
  std::int32_t entriesPos = 0;
  std::int32_t entriesLength = 0;
};

// Rows whose rsPos equals desPos describe headers without a record separator of their own; in rows 24 and 39 the
// version field overlaps the issuer number, as those readers deliver it. Rows 41 to 43 also read the 2016 and 2020
// editions (versions 9 and 10), whose element ids for the fields we derive are those of 2014.
// clang-format off
inline constexpr AamvaDescriptor AamvaDescriptorTable[] = {
    //  id min ver hdr des rs st iin len verPos verLen entPos entLen
    {17, 0, 1, 19, 1, 2, 3, 9, 6, 15, 2, 17, 2},
    {18, 0, 1, 18, 1, 2, 3, 8, 6, 14, 2, 16, 2},
    {19, 0, 1, 19, 1, 2, 3, 9, 6, 15, 2, 17, 2},
    {20, 0, 0, 16, 1, 1, 2, 7, 6, 13, 1, 14, 2},
    {21, 0, 0, 17, 1, 2, 3, 8, 6, 14, 1, 15, 2},
    {22, 0, 0, 17, 1, 2, 3, 8, 6, 14, 1, 15, 2},
    {23, 0, 1, 19, 1, 2, 3, 9, 6, 15, 2, 17, 2},
    {24, 0, 1, 17, 1, 1, 2, 8, 6,  9, 1, 15, 2},
    {25, 0, 1, 18, 1, 1, 2, 8, 6, 14, 2, 16, 2},
    {26, 0, 1, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {27, 0, 1, 19, 1, 2, 3, 9, 6, 15, 2, 17, 2},
    {28, 0, 2, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {29, 0, 2, 19, 1, 2, 3, 9, 6, 15, 2, 17, 2},
    {30, 0, 3, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {31, 0, 3, 20, 1, 1, 2, 8, 6, 14, 2, 18, 2},
    {32, 0, 3, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {33, 0, 3, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {34, 0, 3, 20, 1, 2, 3, 8, 6, 14, 2, 18, 2},
    {35, 0, 3, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {36, 0, 4, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {37, 0, 4, 20, 1, 2, 3, 8, 6, 14, 2, 18, 2},
    {38, 0, 5, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {39, 0, 5, 19, 1, 2, 3, 9, 6, 13, 2, 17, 2},
    {40, 0, 6, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {41, 7,10, 21, 1, 2, 3, 9, 6, 15, 2, 19, 2},
    {42, 7,10, 20, 1, 2, 3, 8, 6, 14, 2, 18, 2},
    {43, 7,10, 19, 1, 2, 3, 9, 6, 15, 2, 17, 2},
};
// clang-format on

constexpr bool descriptorsFitTheirHeaders() {
  for (const AamvaDescriptor& d : AamvaDescriptorTable) {
    // Every header field must lie inside the header, so a text longer than it holds them all.
    if (d.desPos >= d.headerLength || d.rsPos >= d.headerLength || d.stPos >= d.headerLength) return false;
    if (d.iinPos + d.iinLength > d.headerLength || d.versionPos + d.versionLength > d.headerLength) return false;
    if (d.entriesPos + d.entriesLength > d.headerLength || d.minVersion > d.version) return false;
  }
  return true;
}
static_assert(std::size(AamvaDescriptorTable) == 27 && descriptorsFitTheirHeaders());
constexpr bool descriptorsInIdOrder() {
  for (std::size_t row = 0; row < std::size(AamvaDescriptorTable); ++row) {
    if (AamvaDescriptorTable[row].id != AamvaDescriptorTable[0].id + static_cast<std::int32_t>(row)) return false;
  }
  return true;
}
// findAamvaDescriptor indexes by id.
static_assert(AamvaDescriptorTable[0].id == 17 && AamvaDescriptorTable[26].id == 43 && descriptorsInIdOrder());

inline constexpr std::int32_t kSubfileNone = 0;
inline constexpr std::int32_t kSubfileDl = 1;
inline constexpr std::int32_t kSubfileId = 2;

struct SubfileDesignator {
  std::int32_t kind = kSubfileNone;
  std::int32_t offset = 0;
  std::int32_t length = 0;
};

struct AamvaPipeline;
using AamvaDecodeHook = Status (*)(AamvaPipeline& pipeline, const char* text, std::int32_t length);
using AamvaTextHook = Status (*)(AamvaPipeline& pipeline, TextSpan text);
using AamvaCheckHook = Status (*)(AamvaPipeline& pipeline);
using AamvaFindDesignatorHook = Status (*)(AamvaPipeline& pipeline, TextSpan text, TextSpan& designator);
using AamvaParseDesignatorHook = Status (*)(AamvaPipeline& pipeline, TextSpan text, TextSpan designator,
                                            SubfileDesignator& out);
using AamvaLocateHook = Status (*)(AamvaPipeline& pipeline, TextSpan text, const SubfileDesignator& designator,
                                   TextSpan& data);
using AamvaScanHook = Status (*)(AamvaPipeline& pipeline, TextSpan data, const char* terminators,
                                 const ElementEntry* rows, std::int32_t rowCount);
using AamvaStoreHook = Status (*)(AamvaPipeline& pipeline, std::int32_t slot, TextSpan value);

// Lives for one decode; owns nothing. Header fields are written by parseHeader and its sub-hooks only.
struct AamvaPipeline {
  FieldRecord* record = nullptr;
  ParserInstance* instance = nullptr;
  AamvaDescriptor descriptor;
  char dataElementSeparator = '\0';
  char recordSeparator = '\0';
  char segmentTerminator = '\0';
  std::int32_t entryCount = 0;
  std::int32_t versionNumber = 0;
  std::int32_t designatorStart = 0;

  AamvaDecodeHook decode = nullptr;
  AamvaTextHook parseHeader = nullptr;
  AamvaTextHook parseVersion = nullptr;
  AamvaTextHook parseEntryCount = nullptr;
  AamvaTextHook storeIssuerId = nullptr;
  AamvaCheckHook checkVersion = nullptr;
  AamvaTextHook checkFileType = nullptr;
  AamvaTextHook decodeSubfiles = nullptr;
  AamvaFindDesignatorHook findDesignator = nullptr;
  AamvaParseDesignatorHook parseDesignator = nullptr;
  AamvaLocateHook locateSubfileData = nullptr;
  AamvaScanHook scanElements = nullptr;
  AamvaTextHook parseElements = nullptr;
  AamvaStoreHook storeElement = nullptr;
};

// The descriptor row of id, or null.
[[nodiscard]] const AamvaDescriptor* findAamvaDescriptor(std::int32_t id);

// Clears the pipeline, copies the descriptor row of id and installs the default hooks; -22 (hooks left empty) when
// no row has that id.
[[nodiscard]] Status initAamvaPipeline(AamvaPipeline& pipeline, std::int32_t id, FieldRecord& record,
                                       ParserInstance& instance);

// The default hooks.
[[nodiscard]] Status decodeAamva(AamvaPipeline& pipeline, const char* text, std::int32_t length);
[[nodiscard]] Status parseHeader(AamvaPipeline& pipeline, TextSpan text);
// Where the designators start and the three separators, from the descriptor's positions ('\0' past the text).
void readHeaderSeparators(AamvaPipeline& pipeline, TextSpan text);
// The default parseHeader's own tests, then the version field as the default parseVersion reads it, with the
// statuses those hooks give: a row can turn a text away before it sets anything up or writes a slot.
[[nodiscard]] Status screenHeader(const AamvaDescriptor& descriptor, TextSpan text, std::int32_t& version);
[[nodiscard]] Status parseVersion(AamvaPipeline& pipeline, TextSpan text);
[[nodiscard]] Status parseEntryCount(AamvaPipeline& pipeline, TextSpan text);
[[nodiscard]] Status storeIssuerId(AamvaPipeline& pipeline, TextSpan text);
[[nodiscard]] Status checkVersion(AamvaPipeline& pipeline);
[[nodiscard]] Status decodeSubfiles(AamvaPipeline& pipeline, TextSpan text);
[[nodiscard]] Status findDesignator(AamvaPipeline& pipeline, TextSpan text, TextSpan& designator);
[[nodiscard]] Status parseDesignator(AamvaPipeline& pipeline, TextSpan text, TextSpan designator,
                                     SubfileDesignator& out);
[[nodiscard]] Status locateSubfileData(AamvaPipeline& pipeline, TextSpan text, const SubfileDesignator& designator,
                                       TextSpan& data);
[[nodiscard]] Status storeElement(AamvaPipeline& pipeline, std::int32_t slot, TextSpan value);
// What that default stores: the value trimmed of blanks, copied as it stands. The element scanner calls it directly
// where the pipeline keeps the default, a call less for every element of every barcode.
inline void storeTrimmedValue(FieldRecord& record, std::int32_t slot, TextSpan value) {
  trimBlanks(value);
  (void)setSlotCopy(record, slot, value);
}

// Shared by the default hooks and the variants.

// A header or designator number: every character a digit, white space, "+" or "-"; leading white space skipped,
// an optional sign, then digits up to the first other character (none gives 0). False for any other character.
[[nodiscard]] bool readHeaderNumber(TextSpan field, std::int32_t& value);
// The value of a number field of one to nine digits and nothing else, as readHeaderNumber reads it; false for any
// other field. Nearly every header field is one, and the screens read them inline.
[[nodiscard]] inline bool readDigitsOnly(TextSpan field, std::int32_t& value) {
  if (field.data == nullptr || field.length < 1 || field.length > 9) return false;
  std::int32_t digits = 0;
  for (std::int32_t i = 0; i < field.length; ++i) {
    if (!inClass(field.data[i], kClassDigit)) return false;
    digits = digits * 10 + (field.data[i] - '0');
  }
  value = digits;
  return true;
}
// The part of text from start on, start clamped to 0..length.
[[nodiscard]] TextSpan textFrom(TextSpan text, std::int64_t start);
// Whether the text at position starts with "DL" or "ID", the subfile types.
[[nodiscard]] bool subfileTypeAt(TextSpan text, std::int64_t position);
// Whether the character at position lies inside the text and is a decimal digit.
[[nodiscard]] bool digitAt(TextSpan text, std::int64_t position);
// Where "DLDAA" stands within the first min(limit, length) characters, or -1.
[[nodiscard]] std::int32_t findDlDaaBefore(TextSpan text, std::int64_t limit);
// Where the designated subfile's type stands right behind the directory, or -1 when another text stands there.
[[nodiscard]] std::int64_t subfileMarker(const AamvaPipeline& pipeline, TextSpan text,
                                         const SubfileDesignator& designator);
// Trims space, line feed, tab and carriage return from the issuer number field; -1 when it reaches past the text.
[[nodiscard]] Status issuerIdField(const AamvaPipeline& pipeline, TextSpan text, TextSpan& field);

}  // namespace quorix
