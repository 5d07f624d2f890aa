// Test support: a record that owns its arena, and a helper that runs a derivation into a string.
#pragma once

#include <quorix/result_fields.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/field_record.h"
#include "core/instance.h"
#include "core/registry.h"

namespace quorix::testing {

// A record with its own arena; set slots fluently, then build().
class RecordBuilder {
 public:
  explicit RecordBuilder(std::int32_t arenaSize = 8192);
  RecordBuilder& set(std::int32_t slot, std::string_view value);
  RecordBuilder& group(std::int32_t group);
  RecordBuilder& decoderId(std::int32_t id);
  // The record stays valid as long as the builder's arena does: build() hands the arena over with it.
  struct Built {
    std::shared_ptr<char[]> arena;
    FieldRecord record;
    operator const FieldRecord&() const { return record; }
  };
  [[nodiscard]] Built build() const;

 private:
  std::shared_ptr<char[]> arena_;
  FieldRecord record_;
};

// A record holding these slots, filled by group.
using Slots = std::vector<std::pair<std::int32_t, std::string_view>>;
RecordBuilder::Built recordWith(const Slots& slots, std::int32_t group = kGroupNone);

// What deriveText gives for the statuses the derivation tests expect most.
inline constexpr std::string_view kNoValue = "<status -26>";
inline constexpr std::string_view kTooSmall = "<status -18>";

// Runs a text derivation into a generous buffer: the text on success, "<status N>" otherwise.
std::string deriveText(FieldDerivation derivation, const FieldRecord& record, std::int32_t outSize = 1024);

// The slot's text, or "" when the slot is empty.
std::string slotText(const FieldRecord& record, std::int32_t slot);

// How many slots hold a value.
std::int32_t filledSlots(const FieldRecord& record);

// One decode of a copy of text (and a NUL) held in a buffer of just that size, so that a read past the end shows
// under ASan, into a record with an arena of its own.
struct DecodedCopy {
  std::shared_ptr<char[]> arena;
  FieldRecord record;
  Status status = kStatusOk;
  [[nodiscard]] std::string slot(std::int32_t n) const { return slotText(record, n); }
};
DecodedCopy decodeCopy(DecodeFunction function, std::string_view text, std::int32_t arenaSize = 4096,
                   DateTime now = DateTime{});

}  // namespace quorix::testing
