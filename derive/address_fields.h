// Address, issuer and document fields. The issuer derivations fill gaps between IIN, jurisdiction, country name
// and country code from the reference tables.
#pragma once

#include <quorix/result_fields.h>
#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"

namespace quorix {

// Slot lists, in priority order, of the two address lines; address hooks receive them.
inline constexpr std::int32_t kAddress1Slots[] = {SLOT_STREET_1, SLOT_RES_STREET_1};
inline constexpr std::int32_t kAddress2Slots[] = {SLOT_STREET_2, SLOT_STREET_2_ALT, SLOT_RES_STREET_2};

// Intermediate results are derived into buffers of these sizes; a longer one is cut.
inline constexpr std::int32_t kIinBufferSize = 32;
inline constexpr std::int32_t kJurisdictionBufferSize = 16;
inline constexpr std::int32_t kCountryBufferSize = 64;

// The issuer as country, countryCode and jurisdictionCode share it: the jurisdiction code and the country derived
// into buffers of the sizes above, as each of those fields derives them on its own way to its result.
struct IssuerParts {
  Status jurisdictionStatus = kStatusNoValue;
  char jurisdiction[kJurisdictionBufferSize] = {};
  Status countryStatus = kStatusNoValue;
  char country[kCountryBufferSize] = {};
};

void deriveIssuerParts(const FieldRecord& record, IssuerParts& parts);

// deriveCountry and deriveCountryCode over parts already derived (null: derived here).
[[nodiscard]] Status deriveCountrySharing(const FieldRecord& record, const IssuerParts* parts, char* out,
                                          std::int32_t outSize);
[[nodiscard]] Status deriveCountryCodeSharing(const FieldRecord& record, const IssuerParts* parts, char* out,
                                              std::int32_t outSize);
// deriveIssuedBy from the IIN as deriveIin left it in a buffer of kIinBufferSize bytes, with its status.
[[nodiscard]] Status deriveIssuedByFromIin(Status iinStatus, const char* iin, char* out, std::int32_t outSize);

// A field that was derived before into text[0, textSize) with status: taken as it is when it did not reach the end
// of that buffer (so nothing was cut) and fits out, else derived again into out. A failure is taken as it is, which
// holds for derivations that fail only when there is nothing to copy or a lookup finds nothing.
[[nodiscard]] Status takeSharedText(Status status, const char* text, std::int32_t textSize, const FieldRecord& record,
                                    FieldDerivation derivation, char* out, std::int32_t outSize);

}  // namespace quorix
