// Address, issuer and document fields. The issuer derivations fill gaps between IIN, jurisdiction, country name
// and country code from the reference tables.
#pragma once

#include <quorix/field_record.h>
#include <quorix/result_fields.h>

#include <cstdint>

namespace quorix {

// Slot lists, in priority order, of the two address lines; address hooks receive them.
inline constexpr std::int32_t kAddress1Slots[] = {SLOT_STREET_1, SLOT_RES_STREET_1};
inline constexpr std::int32_t kAddress2Slots[] = {SLOT_STREET_2, SLOT_STREET_2_ALT, SLOT_RES_STREET_2};

}  // namespace quorix
