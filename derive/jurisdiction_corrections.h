// Per-jurisdiction corrections: issuers that write licence numbers, names or addresses in their own layouts get
// hooks that replace the general derivation of those fields.
#pragma once

#include <quorix/status.h>

#include <cstdint>
#include <span>

#include "core/field_record.h"
#include "derive/name_fields.h"

namespace quorix {

// Writes the licence number without terminator into at most capacity bytes; returns the bytes written, below 1
// when it has none.
using LicenseNumberHook = std::int32_t (*)(const FieldRecord& record, char* out, std::int32_t capacity);
// kStatusOk when the hook produced the field into out (NUL-terminated, cut to fit).
using NameHook = Status (*)(const FieldRecord& record, char* out, std::int32_t outSize);
using AddressHook = Status (*)(const FieldRecord& record, const std::int32_t slotList[], std::int32_t slotCount,
                               char* out, std::int32_t outSize);

struct JurisdictionCorrection {
  const char* code = "";
  LicenseNumberHook licenseNumberHook = nullptr;
  NameHook firstNameHook = nullptr;
  NameHook lastNameHook = nullptr;
  NameHook middleNameHook = nullptr;
  AddressHook addressHook = nullptr;
  NameHook nameSuffixHook = nullptr;
  NameHook namePrefixHook = nullptr;
  std::int32_t noDefaultSplitters = 0;
};

// The default row (code "", no hooks, no default splitters) first, then one row per corrected jurisdiction.
extern const std::span<const JurisdictionCorrection> JurisdictionCorrectionTable;

// The row of the record's issuer: the jurisdiction of its IIN when it has one, else its jurisdiction code; the
// default row when neither names a corrected jurisdiction. Never fails. A record that remembers its row (below) is
// not searched again.
[[nodiscard]] const JurisdictionCorrection& findJurisdictionCorrection(const FieldRecord& record);
// Stores the record's row in correctionRow; the parse does this once, for the forty derivations that follow.
void rememberJurisdictionCorrection(FieldRecord& record);
// DefaultNameSplitters for a row that uses them, null otherwise.
[[nodiscard]] const NameSplitters* defaultSplittersFor(const JurisdictionCorrection& row);

// Licence numbers whose first two digits encode a letter (01 is A, 26 is Z). Bounds of -1 mean none; when the
// length fails a bound the number is only stripped of spaces.
std::int32_t formatLicenseWithLetter(const FieldRecord& record, char* out, std::int32_t capacity, std::int32_t min,
                                     std::int32_t max, std::int32_t exact);
std::int32_t formatLicenseOhio(const FieldRecord& record, char* out, std::int32_t capacity);
std::int32_t formatLicenseMinnesota(const FieldRecord& record, char* out, std::int32_t capacity);

// Alabama writes the full name as FIRST,MIDDLE,PREFIX,LAST,SUFFIX.
[[nodiscard]] Status alabamaFirstName(const FieldRecord& record, char* out, std::int32_t outSize);
[[nodiscard]] Status alabamaMiddleName(const FieldRecord& record, char* out, std::int32_t outSize);
[[nodiscard]] Status alabamaNamePrefix(const FieldRecord& record, char* out, std::int32_t outSize);
[[nodiscard]] Status alabamaLastName(const FieldRecord& record, char* out, std::int32_t outSize);
[[nodiscard]] Status alabamaNameSuffix(const FieldRecord& record, char* out, std::int32_t outSize);

// Colorado names: separate elements when present, else the words of the full name with suffixes dropped. Only a
// record from an AAMVA barcode gets them; every other record of the state falls back to the default splitters.
[[nodiscard]] Status coloradoFirstName(const FieldRecord& record, char* out, std::int32_t outSize);
[[nodiscard]] Status coloradoLastName(const FieldRecord& record, char* out, std::int32_t outSize);
[[nodiscard]] Status coloradoMiddleName(const FieldRecord& record, char* out, std::int32_t outSize);

// The address line with the trailing city, jurisdiction and postal code removed, for issuers that print the whole
// address on one line. Succeeds even when nothing is left.
[[nodiscard]] Status oneLineAddress(const FieldRecord& record, const std::int32_t slotList[], std::int32_t slotCount,
                                    char* out, std::int32_t outSize);

}  // namespace quorix
