// Test support for the AAMVA decoders: barcode texts assembled from header, designators and subfiles, and a decode
// run through the registry row of a variant id or through the whole parse.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/field_record.h"
#include "core/instance.h"
#include "core/registry.h"
#include "unit/support/record_builder.h"

namespace quorix::testing {

inline constexpr std::string_view kCompliance = "@\n\x1e\r";  // "@", element separator, record separator, end

// Two digits, zero-padded.
inline std::string twoDigits(int n) {
  char out[8];
  std::snprintf(out, sizeof out, "%02d", n);
  return out;
}

// Any header: compliance mark and separators, file type, issuer number, version, jurisdiction version, entries.
inline std::string headerOf(std::string_view fileType, std::string_view iin, std::string_view version,
                            std::string_view jurisdictionVersion, int entries,
                            std::string_view compliance = kCompliance) {
  return std::string(compliance) + std::string(fileType) + std::string(iin) + std::string(version) +
         std::string(jurisdictionVersion) + twoDigits(entries);
}

// The 21-character header of version 2 and later: file type, issuer number, version, jurisdiction version, entries.
inline std::string standardHeader(int version, int entries, std::string_view iin = "636014") {
  return std::string(kCompliance) + "ANSI " + std::string(iin) + twoDigits(version) + "00" + twoDigits(entries);
}

// The 19-character header of version 1: no jurisdiction version.
inline std::string version1Header(int entries, std::string_view iin = "636014") {
  return std::string(kCompliance) + "ANSI " + std::string(iin) + "01" + twoDigits(entries);
}

struct Subfile {
  std::string type;                   // "DL", "ID", or a jurisdiction's own such as "ZV"
  std::vector<std::string> elements;  // id and value, e.g. "DAQD1234567"
};

// Each subfile: its type, its elements separated by the data element separator, the segment terminator.
inline std::string subfileText(const Subfile& subfile, std::string_view separator = "\n",
                               std::string_view terminator = "\r") {
  std::string out = subfile.type;
  for (std::size_t i = 0; i < subfile.elements.size(); ++i) {
    if (i > 0) out += separator;
    out += subfile.elements[i];
  }
  return out + std::string(terminator);
}

// The header, then a designator per subfile giving its offset (moved by offsetShift, as some readers get it wrong)
// and its length, then the subfiles.
inline std::string aamvaText(const std::string& header, const std::vector<Subfile>& subfiles, int offsetShift = 0) {
  std::vector<std::string> bodies;
  for (const Subfile& s : subfiles) bodies.push_back(subfileText(s));
  std::size_t offset = header.size() + 10 * subfiles.size();
  std::string out = header;
  for (std::size_t i = 0; i < subfiles.size(); ++i) {
    char designator[16];
    std::snprintf(designator, sizeof designator, "%.2s%04zu%04zu", subfiles[i].type.c_str(),
                  offset + static_cast<std::size_t>(offsetShift), bodies[i].size());
    out += designator;
    offset += bodies[i].size();
  }
  for (const std::string& body : bodies) out += body;
  return out;
}

inline const std::vector<std::string> kSampleElements = {"DAQD1234567", "DCSSAMPLE",   "DACJANE", "DADQ",
                                                         "DBB01021990", "DBA01022030", "DAJVA",   "DAG1 MAIN ST"};

inline DecodeFunction aamvaDecoder(std::int32_t id) {
  for (const DecoderEntry& row : decoderRegistry()) {
    if (row.group == kGroupAamva && row.id == id) return row.decode;
  }
  return nullptr;
}

// One decode into a record with its own arena.
struct Decoded {
  std::unique_ptr<char[]> arena = std::make_unique<char[]>(4096);
  FieldRecord record;
  ParserInstance instance;
  Status status = -999;

  Decoded() { (void)initRecord(record, arena.get(), 4096); }
  [[nodiscard]] std::string slot(std::int32_t s) const { return slotText(record, s); }
  [[nodiscard]] std::int32_t filledSlots() const { return testing::filledSlots(record); }
};

inline std::unique_ptr<Decoded> decodeAs(std::int32_t id, std::string_view text) {
  auto run = std::make_unique<Decoded>();
  const DecodeFunction decode = aamvaDecoder(id);
  if (decode != nullptr) {
    run->status = decode(text.data(), static_cast<std::int32_t>(text.size()), run->record, run->instance);
  }
  return run;
}

// The whole parse on a fixed clock: prepare, every row, the best one stamped on the record.
struct Parse {
  ParserInstance* instance = createInstance();
  Status status;
  explicit Parse(std::string_view text)
      : status(parseBufferAt(instance, text.data(), static_cast<std::int32_t>(text.size()),
                             DateTime{2024, 6, 15, 12, 0, 0})) {}
  ~Parse() { destroyInstance(instance); }
  Parse(const Parse&) = delete;
  Parse& operator=(const Parse&) = delete;
  [[nodiscard]] const FieldRecord& record() const { return instance->record; }
  [[nodiscard]] std::string slot(std::int32_t s) const { return slotText(instance->record, s); }
};

}  // namespace quorix::testing
