#include "unit/support/record_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quorix::testing {

RecordBuilder::RecordBuilder(std::int32_t arenaSize) : arena_(new char[static_cast<std::size_t>(arenaSize)]) {
  (void)initRecord(record_, arena_.get(), arenaSize);
}

RecordBuilder& RecordBuilder::set(std::int32_t slot, std::string_view value) {
  setSlot(record_, slot, TextSpan{value.data(), static_cast<std::int32_t>(value.size())}, nullptr, nullptr, 0);
  return *this;
}

RecordBuilder& RecordBuilder::group(std::int32_t group) {
  record_.group = group;
  return *this;
}

RecordBuilder& RecordBuilder::decoderId(std::int32_t id) {
  record_.decoderId = id;
  return *this;
}

RecordBuilder::Built RecordBuilder::build() const { return Built{arena_, record_}; }

RecordBuilder::Built recordWith(const Slots& slots, std::int32_t group) {
  RecordBuilder builder;
  builder.group(group);
  for (const auto& [slot, text] : slots) builder.set(slot, text);
  return builder.build();
}

std::string deriveText(FieldDerivation derivation, const FieldRecord& record, std::int32_t outSize) {
  std::vector<char> out(static_cast<std::size_t>(outSize), '\x7f');
  const Status status = derivation(record, out.data(), outSize);
  if (status != kStatusOk) return "<status " + std::to_string(status) + ">";
  return std::string(out.data());
}

std::int32_t filledSlots(const FieldRecord& record) {
  std::int32_t n = 0;
  for (const FieldSlot& s : record.slots) n += s.filled() ? 1 : 0;
  return n;
}

DecodedCopy decodeCopy(DecodeFunction function, std::string_view text, std::int32_t arenaSize, DateTime now) {
  DecodedCopy out{.arena = std::shared_ptr<char[]>(new char[static_cast<std::size_t>(arenaSize)]), .record = {}};
  EXPECT_EQ(initRecord(out.record, out.arena.get(), arenaSize), kStatusOk);
  ParserInstance instance;
  instance.now = now;
  std::vector<char> copy(text.size() + 1, '\0');
  std::copy(text.begin(), text.end(), copy.begin());
  out.status = function(copy.data(), static_cast<std::int32_t>(text.size()), out.record, instance);
  return out;
}

std::string slotText(const FieldRecord& record, std::int32_t slot) {
  if (slot < 0 || slot >= kSlotCount || !record.slots[slot].filled()) return "";
  return std::string(record.slots[slot].text, static_cast<std::size_t>(record.slots[slot].length));
}

}  // namespace quorix::testing
