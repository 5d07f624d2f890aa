// The 40 derivations over records no decoder would write: the input is a list of slot assignments, so every slot
// can hold any printable text, in any combination, under any registry row's group and id.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/field_record.h"
#include "core/instance.h"
#include "core/registry.h"
#include "fuzz/fuzz_support.h"

using namespace quorix;

// Input: a byte choosing the registry row, then entries of slot byte, length byte and that many value bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::vector<char> arena(8192);
  FieldRecord record;
  fuzz::require(initRecord(record, arena.data(), static_cast<std::int32_t>(arena.size())) == kStatusOk, "no arena");
  // The record names a registry row, as after a parse, or no decoder at all, as after a reset.
  const auto rows = decoderRegistry();
  if (const std::size_t row = data[0] % (rows.size() + 1); row < rows.size()) {
    record.group = rows[row].group;
    record.decoderId = rows[row].id;
  }
  std::size_t at = 1;
  while (at + 2 <= size) {
    const std::int32_t slot = data[at] % kSlotCount;
    const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
    const TextSpan value{reinterpret_cast<const char*>(data + at + 2), static_cast<std::int32_t>(length)};
    setSlot(record, slot, value, nullptr, nullptr, '\0');
    at += 2 + length;
  }
  // Decoders' values reach the derivations only after selection has made them printable.
  fuzz::sanitiseArena(record);
  fuzz::checkSlots(record, true);
  fuzz::deriveAll(record, 4096);
  fuzz::deriveAll(record, 16);
  fuzz::deriveAll(record, 1);
  return 0;
}
