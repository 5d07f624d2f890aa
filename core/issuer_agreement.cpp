// Issuer agreement: rewards a row whose result carries the country and jurisdiction it expects. A contradiction
// costs more than any record can fill, so such a row wins only when nothing else accepts the text.
#include <quorix/result_fields.h>

#include <cstring>

#include "core/selection.h"

namespace quorix {
namespace {

constexpr std::int32_t kCountryMatch = 100;
constexpr std::int32_t kCountryMismatch = -1000;
constexpr std::int32_t kJurisdictionMatch = 50;
constexpr std::int32_t kJurisdictionMismatch = -500;

// Points for one expectation; nothing when the derivation finds no value.
std::int32_t agreement(FieldDerivation derive, const char* expected, const FieldRecord& record, char* scratch,
                       std::int32_t room, std::int32_t match, std::int32_t mismatch) {
  if (expected == nullptr || derive(record, scratch, room) != kStatusOk) return 0;
  return std::strcmp(scratch, expected) == 0 ? match : mismatch;
}

}  // namespace

std::int32_t issuerAgreement(const DecoderEntry& row, const FieldRecord& record, char* scratch, std::int32_t room) {
  return agreement(deriveCountryCode, row.expectedCountry, record, scratch, room, kCountryMatch, kCountryMismatch) +
         agreement(deriveJurisdictionCode, row.expectedJurisdiction, record, scratch, room, kJurisdictionMatch,
                   kJurisdictionMismatch);
}

}  // namespace quorix
