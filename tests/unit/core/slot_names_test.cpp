// Slot names are the constants' own spellings (checked when the table compiles, and shown in every golden dump);
// numbers outside the record have no name.
#include <gtest/gtest.h>
#include <quorix/slot_names.h>

#include <string_view>

#include "core/field_record.h"

namespace quorix {
namespace {

TEST(SlotName, NamesTheSlotsOfTheRecordOnly) {
  for (const std::int32_t slot : {-1, kSlotCount, kSlotCount + 1, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(slot);
    EXPECT_TRUE(slotName(slot).empty());
  }
}

}  // namespace
}  // namespace quorix
