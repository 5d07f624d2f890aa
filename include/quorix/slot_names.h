// The name of each slot of the field record, spelled as its SLOT_ constant, for dumps and diagnostics.
#pragma once

#include <quorix/field_record.h>

#include <cstdint>
#include <string_view>

namespace quorix {

// "SLOT_FAMILY_NAME" for 25; empty for a number outside 0..136.
std::string_view slotName(std::int32_t slot);

}  // namespace quorix
