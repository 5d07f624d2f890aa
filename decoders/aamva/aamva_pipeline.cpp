// The default steps of the AAMVA pipeline: header, subfile directory, where the data starts, and how an element
// value is stored.
#include "decoders/aamva/aamva_pipeline.h"

#include <algorithm>

#include "core/text_utils.h"

namespace quorix {
namespace {

constexpr std::int32_t kDesignatorSize = 10;

// The field [position, position + length) of text, or false when it reaches past the end.
bool headerField(TextSpan text, std::int32_t position, std::int32_t length, TextSpan& field) {
  const std::int64_t end = std::int64_t{position} + length;
  if (position < 0 || length < 0 || end > text.length) return false;
  field = TextSpan{text.data + position, length};
  return true;
}

bool isDigit(char c) { return inClass(c, kClassDigit); }

// Reads a number field of the header: -1 past the text, badStatus for a non-numeric character.
Status readHeaderField(TextSpan text, std::int32_t position, std::int32_t length, Status badStatus,
                       std::int32_t& value) {
  TextSpan field;
  if (!headerField(text, position, length, field)) return kAamvaTooShort;
  return readHeaderNumber(field, value) ? kStatusOk : badStatus;
}

// A text longer than the header that starts with the compliance mark.
Status checkHeaderStart(const AamvaDescriptor& descriptor, TextSpan text) {
  if (!text.filled()) return kStatusBadArgument;
  if (text.length <= descriptor.headerLength) return kAamvaTooShort;
  return text.data[0] == '@' ? kStatusOk : kAamvaNoComplianceMark;
}

}  // namespace

bool readHeaderNumber(TextSpan field, std::int32_t& value) {
  if (field.data == nullptr || field.length < 0) return false;
  // Nearly every field is digits only, and nine of them stay below the cap below.
  if (readDigitsOnly(field, value)) return true;
  const auto isSpace = [](char c) { return inClass(c, kClassSpace); };
  for (std::int32_t i = 0; i < field.length; ++i) {
    const char c = field.data[i];
    if (!isDigit(c) && !isSpace(c) && c != '+' && c != '-') return false;
  }
  std::int32_t i = 0;
  while (i < field.length && isSpace(field.data[i])) ++i;
  bool negative = false;
  if (i < field.length && (field.data[i] == '+' || field.data[i] == '-')) negative = field.data[i++] == '-';
  std::int64_t magnitude = 0;
  // Header fields are a few characters long; the cap only keeps a hostile long field from overflowing.
  for (; i < field.length && isDigit(field.data[i]) && magnitude < 1'000'000'000; ++i) {
    magnitude = magnitude * 10 + (field.data[i] - '0');
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

TextSpan textFrom(TextSpan text, std::int64_t start) {
  if (text.data == nullptr || text.length < 1) return TextSpan{text.data, 0};
  const std::int64_t clamped = std::clamp<std::int64_t>(start, 0, text.length);
  return TextSpan{text.data + clamped, static_cast<std::int32_t>(text.length - clamped)};
}

bool subfileTypeAt(TextSpan text, std::int64_t position) {
  if (text.data == nullptr || position < 0 || position + 2 > text.length) return false;
  const char* at = text.data + position;
  return (at[0] == 'D' && at[1] == 'L') || (at[0] == 'I' && at[1] == 'D');
}

bool digitAt(TextSpan text, std::int64_t position) {
  return text.data != nullptr && position >= 0 && position < text.length && isDigit(text.data[position]);
}

std::int32_t findDlDaaBefore(TextSpan text, std::int64_t limit) {
  const std::int64_t length = std::clamp<std::int64_t>(limit, 0, std::max(text.length, 0));
  return findSpan(TextSpan{text.data, static_cast<std::int32_t>(length)}, TextSpan{"DLDAA", 5});
}

Status issuerIdField(const AamvaPipeline& pipeline, TextSpan text, TextSpan& field) {
  if (!headerField(text, pipeline.descriptor.iinPos, pipeline.descriptor.iinLength, field)) return kAamvaTooShort;
  trimChars(&field, " \n\t\r");
  return kStatusOk;
}

const AamvaDescriptor* findAamvaDescriptor(std::int32_t id) {
  const std::int64_t row = std::int64_t{id} - AamvaDescriptorTable[0].id;
  return row >= 0 && row < std::ssize(AamvaDescriptorTable) ? &AamvaDescriptorTable[row] : nullptr;
}

Status initAamvaPipeline(AamvaPipeline& pipeline, std::int32_t id, FieldRecord& record, ParserInstance& instance) {
  pipeline = AamvaPipeline{};
  pipeline.record = &record;
  pipeline.instance = &instance;
  const AamvaDescriptor* row = findAamvaDescriptor(id);
  if (row == nullptr) return kAamvaNoDescriptor;
  pipeline.descriptor = *row;
  pipeline.decode = decodeAamva;
  pipeline.parseHeader = parseHeader;
  pipeline.parseVersion = parseVersion;
  pipeline.parseEntryCount = parseEntryCount;
  pipeline.storeIssuerId = storeIssuerId;
  pipeline.checkVersion = checkVersion;
  pipeline.decodeSubfiles = decodeSubfiles;
  pipeline.findDesignator = findDesignator;
  pipeline.parseDesignator = parseDesignator;
  pipeline.locateSubfileData = locateSubfileData;
  pipeline.scanElements = scanElements;
  pipeline.storeElement = storeElement;
  return kStatusOk;
}

Status decodeAamva(AamvaPipeline& pipeline, const char* text, std::int32_t length) {
  if (text == nullptr || length < 0) return kStatusBadArgument;
  const TextSpan span{text, length};
  if (Status s = callHook(pipeline.parseHeader, pipeline, span); s != kStatusOk) return s;
  if (Status s = callHook(pipeline.checkFileType, pipeline, span); s != kStatusOk) return s;
  return callHook(pipeline.decodeSubfiles, pipeline, span);
}

Status screenHeader(const AamvaDescriptor& descriptor, TextSpan text, std::int32_t& version) {
  if (Status s = checkHeaderStart(descriptor, text); s != kStatusOk) return s;
  return readHeaderField(text, descriptor.versionPos, descriptor.versionLength, kAamvaBadVersion, version);
}

void readHeaderSeparators(AamvaPipeline& pipeline, TextSpan text) {
  const AamvaDescriptor& d = pipeline.descriptor;
  pipeline.designatorStart = d.headerLength;
  const auto charAt = [&](std::int32_t position) {
    return text.data != nullptr && position >= 0 && position < text.length ? text.data[position] : '\0';
  };
  pipeline.dataElementSeparator = charAt(d.desPos);
  pipeline.recordSeparator = charAt(d.rsPos);
  pipeline.segmentTerminator = charAt(d.stPos);
}

Status parseHeader(AamvaPipeline& pipeline, TextSpan text) {
  const AamvaDescriptor& d = pipeline.descriptor;
  if (Status s = checkHeaderStart(d, text); s != kStatusOk) return s;
  readHeaderSeparators(pipeline, text);
  if (Status s = callHook(pipeline.parseVersion, pipeline, text); s != kStatusOk) return s;
  if (Status s = callHook(pipeline.parseEntryCount, pipeline, text); s != kStatusOk) return s;
  pipeline.entryCount = std::max(pipeline.entryCount, 1);
  return callHook(pipeline.storeIssuerId, pipeline, text);
}

Status parseVersion(AamvaPipeline& pipeline, TextSpan text) {
  const AamvaDescriptor& d = pipeline.descriptor;
  if (Status s = readHeaderField(text, d.versionPos, d.versionLength, kAamvaBadVersion, pipeline.versionNumber);
      s != kStatusOk) {
    return s;
  }
  return callHook(pipeline.checkVersion, pipeline);
}

Status checkVersion(AamvaPipeline& pipeline) {
  return pipeline.versionNumber == pipeline.descriptor.version ? kStatusOk : kAamvaBadVersion;
}

Status parseEntryCount(AamvaPipeline& pipeline, TextSpan text) {
  const AamvaDescriptor& d = pipeline.descriptor;
  return readHeaderField(text, d.entriesPos, d.entriesLength, kAamvaBadEntryCount, pipeline.entryCount);
}

Status storeIssuerId(AamvaPipeline& pipeline, TextSpan text) {
  TextSpan field;
  if (Status s = issuerIdField(pipeline, text, field); s != kStatusOk) return s;
  setSlotIf(*pipeline.record, SLOT_IIN, field, nullptr, nullptr, '\0');
  return kStatusOk;
}

Status decodeSubfiles(AamvaPipeline& pipeline, TextSpan text) {
  TextSpan designatorText;
  SubfileDesignator designator;
  if (pipeline.findDesignator != nullptr) {
    if (Status s = pipeline.findDesignator(pipeline, text, designatorText); s != kStatusOk) return s;
    if (Status s = callHook(pipeline.parseDesignator, pipeline, text, designatorText, designator); s != kStatusOk) {
      return s;
    }
  }
  TextSpan data;
  if (Status s = callHook(pipeline.locateSubfileData, pipeline, text, designator, data); s != kStatusOk) return s;
  return callHook(pipeline.parseElements, pipeline, data);
}

Status findDesignator(AamvaPipeline& pipeline, TextSpan text, TextSpan& designator) {
  const std::int64_t start = pipeline.designatorStart;
  const std::int64_t count = pipeline.entryCount;
  std::int64_t position = start;
  if (count >= 1 && text.length - start >= kDesignatorSize) {
    for (std::int64_t walked = 0;;) {
      if (subfileTypeAt(text, position)) break;
      position += kDesignatorSize;
      if (++walked == count || text.length - position < kDesignatorSize) break;
    }
  }
  designator = textFrom(text, position);
  return kStatusOk;
}

Status parseDesignator(AamvaPipeline& pipeline, TextSpan text, TextSpan designator, SubfileDesignator& out) {
  if (designator.data == nullptr) return kStatusBadArgument;
  if (designator.length < kDesignatorSize) return kAamvaBadDesignator;
  out = SubfileDesignator{};
  if (subfileTypeAt(designator, 0)) {
    const bool dl = designator.data[0] == 'D';
    out.kind = dl ? kSubfileDl : kSubfileId;
    setSlotText(*pipeline.record, SLOT_DOCUMENT_TYPE, dl ? "DL" : "ID");
  }
  if (!readHeaderNumber(TextSpan{designator.data + 2, 4}, out.offset) || out.offset < 0 || out.offset > text.length) {
    return kAamvaBadDesignator;
  }
  if (!readHeaderNumber(TextSpan{designator.data + 6, 4}, out.length) || out.length < 0) {
    return kAamvaShortSubfile;
  }
  return kStatusOk;
}

std::int64_t subfileMarker(const AamvaPipeline& pipeline, TextSpan text, const SubfileDesignator& designator) {
  if (designator.kind != kSubfileDl && designator.kind != kSubfileId) return -1;
  const std::int64_t position =
      std::int64_t{pipeline.designatorStart} + kDesignatorSize * std::int64_t{pipeline.entryCount};
  if (!subfileTypeAt(text, position)) return -1;
  const bool dl = text.data[position] == 'D';
  return dl == (designator.kind == kSubfileDl) ? position : -1;
}

Status locateSubfileData(AamvaPipeline& pipeline, TextSpan text, const SubfileDesignator& designator, TextSpan& data) {
  if (text.data == nullptr || designator.length < 0 || designator.offset < 0) return kStatusBadArgument;
  std::int64_t start = 0;
  if (const std::int32_t found = findDlDaaBefore(text, designator.offset); found >= 0) {
    start = std::int64_t{found} + 2;
  } else {
    start = std::min<std::int64_t>(designator.offset, text.length);
    // An offset one too small lands on the last digit of the subfile in front; one too large on the "L" of "DL".
    // A subfile that starts exactly at the offset keeps its first element even when the one in front ends in a
    // digit and its terminator.
    if (digitAt(text, start)) ++start;
    if (start >= 2 && !subfileTypeAt(text, start) && !digitAt(text, start - 1) && digitAt(text, start - 2)) --start;
    // Some issuers write an offset of 0, or one far from their subfile; the subfile then opens with its type right
    // behind the directory.
    if (designator.offset == 0 || !subfileTypeAt(text, start)) {
      if (const std::int64_t marker = subfileMarker(pipeline, text, designator); marker >= 0 && marker != start) {
        start = marker;
        if (pipeline.record != nullptr) pipeline.record->repairs |= kRepairSubfileFoundByMarker;
      }
    }
  }
  data = textFrom(text, start);
  if (subfileTypeAt(data, 0)) advanceSpan(&data, 2);
  if (data.length >= 1 && data.data[0] == 'L') advanceSpan(&data, 1);
  return kStatusOk;
}

Status storeElement(AamvaPipeline& pipeline, std::int32_t slot, TextSpan value) {
  storeTrimmedValue(*pipeline.record, slot, value);
  return kStatusOk;
}

}  // namespace quorix
