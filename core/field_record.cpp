// The field record's reset, filtered copies and slot setters. Every value is appended to the arena behind
// arenaUsed and never moved, so slots stay valid until the next reset.
#include "core/field_record.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <iterator>

#include "core/char_classes.h"
#include "core/text_utils.h"

namespace quorix {
namespace {

bool validSlot(std::int32_t slot) { return slot >= 0 && slot < kSlotCount; }

char* freePlace(FieldRecord& record) { return record.arena == nullptr ? nullptr : record.arena + record.arenaUsed; }
std::int32_t freeRoom(const FieldRecord& record) {
  return record.arena == nullptr ? 0 : record.arenaSize - record.arenaUsed;
}

bool noSet(const char* set) { return set == nullptr || *set == '\0'; }

// The filter loop of both copies: Excluded and Squeezed answer for one byte; plain says that neither ever does, so
// the bytes are copied as they are.
template <typename Excluded, typename Squeezed>
std::int32_t filterInto(char* dst, std::int32_t capacity, TextSpan source, Excluded excluded, Squeezed squeezed,
                        char replacement, bool plain) {
  if (dst == nullptr || capacity < 1 || !source.filled()) return 0;
  if (plain) {
    const std::int32_t n = std::min(source.length, capacity);
    std::memcpy(dst, source.data, static_cast<std::size_t>(n));
    return n;
  }
  // The byte written last is kept in a local: read back from dst, it would be loaded again after every store.
  std::int32_t written = 0;
  char last = '\0';
  for (std::int32_t i = 0; i < source.length && written < capacity; ++i) {
    char c = source.data[i];
    if (excluded(c)) {
      if (replacement == '\0') continue;
      c = replacement;
    }
    if (written > 0 && last == c && squeezed(c)) continue;
    dst[written++] = c;
    last = c;
  }
  return written;
}

}  // namespace

Status initRecord(FieldRecord& record, char* arena, std::int32_t arenaSize) {
  if (arena == nullptr || arenaSize < 1) return kStatusBadArgument;
  record.arena = arena;
  record.arenaSize = arenaSize;
  // A fresh arena holds whatever the allocator left, and the slots may point into a former one: clear all once.
  record.arenaTouched = arenaSize;
  std::memset(static_cast<void*>(record.slots), 0, sizeof record.slots);
  return resetRecord(record);
}

// A parse resets the record once per registry row, and most rows reject a text after setting a slot or two: the
// reset costs only what the last decoder wrote.
Status resetRecord(FieldRecord& record) {
  if (record.arena == nullptr || record.arenaSize < 1) return kStatusBadArgument;
  record.group = kGroupNone;
  record.decoderId = kNoDecoderId;
  for (std::size_t word = 0; word < std::size(record.slotsWritten); ++word) {
    for (std::uint64_t bits = record.slotsWritten[word]; bits != 0; bits &= bits - 1)
      record.slots[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))] = FieldSlot{};
    record.slotsWritten[word] = 0;
  }
  const std::int32_t written = std::clamp(std::max(record.arenaUsed, record.arenaTouched), 0, record.arenaSize);
  if (written > 0) std::memset(record.arena, 0, static_cast<std::size_t>(written));
  record.arenaUsed = 0;
  record.arenaTouched = 0;
  record.correctionRow = -1;
  record.repairs = 0;
  return kStatusOk;
}

std::int32_t copyFiltered(char* dst, std::int32_t capacity, TextSpan source, const char* excludeChars,
                          const char* squeezeChars, char replacement) {
  const auto never = [](char) { return false; };
  if (noSet(excludeChars) && noSet(squeezeChars)) return filterInto(dst, capacity, source, never, never, 0, true);
  // Made sets once per copy: the names and addresses filtered this way are tested byte by byte.
  return copyFiltered(dst, capacity, source, CharSet(excludeChars), CharSet(squeezeChars), replacement);
}

std::int32_t copyFiltered(char* dst, std::int32_t capacity, TextSpan source, const CharSet& exclude,
                          const CharSet& squeeze, char replacement) {
  return filterInto(
      dst, capacity, source, [&exclude](char c) { return exclude.has(c); },
      [&squeeze](char c) { return squeeze.has(c); }, replacement, false);
}

std::int32_t copyFilteredIf(char* dst, std::int32_t capacity, TextSpan source, CharPredicate excludeIf,
                            CharPredicate squeezeIf, char replacement) {
  return filterInto(
      dst, capacity, source,
      [excludeIf](char c) { return excludeIf != nullptr && excludeIf(static_cast<signed char>(c)) != 0; },
      [squeezeIf](char c) { return squeezeIf != nullptr && squeezeIf(static_cast<signed char>(c)) != 0; }, replacement,
      excludeIf == nullptr && squeezeIf == nullptr);
}

// The class table answers inline where a predicate would be a call per byte: the stripe readers filter every name
// and address this way, once per row that reads the tracks, and the derivations every value they clean.
std::int32_t copyKeeping(char* dst, std::int32_t capacity, TextSpan source, std::uint32_t keep, std::uint32_t squeeze,
                         char replacement) {
  return filterInto(
      dst, capacity, source, [keep](char c) { return !inClass(c, keep); },
      [squeeze](char c) { return inClass(c, squeeze); }, replacement, false);
}

FieldSlot* setSlot(FieldRecord& record, std::int32_t slot, TextSpan source, const char* excludeChars,
                   const char* squeezeChars, char replacement) {
  if (!validSlot(slot)) return nullptr;
  if (noSet(excludeChars) && noSet(squeezeChars)) return setSlotCopy(record, slot, source);
  const std::int32_t produced =
      copyFiltered(freePlace(record), freeRoom(record), source, excludeChars, squeezeChars, replacement);
  return commitValue(record, slot, produced);
}

FieldSlot* setSlotIf(FieldRecord& record, std::int32_t slot, TextSpan source, CharPredicate excludeIf,
                     CharPredicate squeezeIf, char replacement) {
  if (!validSlot(slot)) return nullptr;
  if (excludeIf == nullptr && squeezeIf == nullptr) return setSlotCopy(record, slot, source);
  const std::int32_t produced =
      copyFilteredIf(freePlace(record), freeRoom(record), source, excludeIf, squeezeIf, replacement);
  return commitValue(record, slot, produced);
}

FieldSlot* setSlotKeeping(FieldRecord& record, std::int32_t slot, TextSpan source, std::uint32_t keep,
                          std::uint32_t squeeze, char replacement) {
  if (!validSlot(slot)) return nullptr;
  return commitValue(record, slot, copyKeeping(freePlace(record), freeRoom(record), source, keep, squeeze, replacement));
}

FieldSlot* setSlotText(FieldRecord& record, std::int32_t slot, const char* text) {
  if (text == nullptr) return nullptr;
  const std::size_t length = std::strlen(text);
  const auto clamped = static_cast<std::int32_t>(length > 0x7fffffff ? 0x7fffffff : length);
  return setSlot(record, slot, TextSpan{text, clamped}, nullptr, nullptr, 0);
}

FieldSlot* setSlotProduced(FieldRecord& record, std::int32_t slot, const void* context, SlotProducer producer) {
  if (producer == nullptr || !validSlot(slot)) return nullptr;
  const std::int32_t room = freeRoom(record);
  // A producer may write anywhere in its room, also behind the count it returns (a trimmed tail).
  if (room > 0) record.arenaTouched = std::max(record.arenaTouched, record.arenaUsed + room);
  std::int32_t produced = room > 0 ? producer(context, freePlace(record), room) : 0;
  if (produced > room) produced = room;  // a producer that overreports must not move arenaUsed past the end
  return commitValue(record, slot, produced);
}

namespace {

// "00" to "99", so that a pair of digits is one copy.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

void putDigitPair(std::int32_t value, char* place) {
  std::memcpy(place, kDigitPairs.data() + 2 * value, 2);
}

// A date field in its fixed width. Every stripe row and every licence stores two or three dates, so the common
// case, a value that fits, is written a pair of digits at a time here; anything else goes the general way.
void writeDateField(std::int32_t value, char* place, std::int32_t width, std::int32_t limit) {
  if (value >= 0 && value < limit) {
    if (width == 4) {
      putDigitPair(value / 100, place);
      putDigitPair(value % 100, place + 2);
      return;
    }
    if (width == 2) return putDigitPair(value, place);
  }
  // A field too wide for its place is written as zeros, so the value is always eight characters long.
  if (formatDecimal(value, place, width, kFormatFixedWidth) != width)
    std::memset(place, '0', static_cast<std::size_t>(width));
}

}  // namespace

FieldSlot* setSlotDate(FieldRecord& record, std::int32_t slot, const DateTime& date) {
  if (!validSlot(slot) || freeRoom(record) < 8) return nullptr;
  char* place = freePlace(record);
  writeDateField(date.year, place, 4, 10000);
  writeDateField(date.month, place + 4, 2, 100);
  writeDateField(date.day, place + 6, 2, 100);
  return commitValue(record, slot, 8);
}

std::int32_t recordGroup(const FieldRecord& record) { return record.group; }
std::int32_t recordDecoderId(const FieldRecord& record) { return record.decoderId; }
TextSpan recordSlot(const FieldRecord& record, std::int32_t slot) {
  if (slot < 0 || slot >= kSlotCount || !record.slots[slot].filled()) return {};
  return TextSpan{record.slots[slot].text, record.slots[slot].length};
}

Status firstFilledSlot(const FieldRecord& record, const std::int32_t* slots, std::int32_t count, TextSpan* out) {
  if (slots == nullptr || count < 1) return kStatusNoSlot;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!validSlot(slots[i]) || !record.slots[slots[i]].filled()) continue;
    if (out != nullptr) *out = TextSpan{record.slots[slots[i]].text, record.slots[slots[i]].length};
    return kStatusOk;
  }
  return kStatusNoSlot;
}

RecordMark markRecord(FieldRecord& record) {
  RecordMark mark{.arenaUsed = record.arenaUsed, .arenaTouched = record.arenaTouched};
  std::copy(std::begin(record.slotsWritten), std::end(record.slotsWritten), std::begin(mark.slotsWritten));
  std::fill(std::begin(record.slotsWritten), std::end(record.slotsWritten), 0);
  return mark;
}

void closeMark(FieldRecord& record, const RecordMark& mark) {
  for (std::size_t word = 0; word < std::size(record.slotsWritten); ++word)
    record.slotsWritten[word] |= mark.slotsWritten[word];
}

bool takeSnapshot(const FieldRecord& record, const RecordMark& mark, RecordSnapshot& snapshot) {
  const std::int32_t appended = record.arenaUsed - mark.arenaUsed;
  if (record.arena == nullptr || mark.arenaUsed < 0 || appended < 0 || appended > RecordSnapshot::kMaxBytes ||
      record.arenaUsed > record.arenaSize - kSnapshotMargin || record.arenaTouched != mark.arenaTouched) {
    return false;
  }
  const char* const base = record.arena + mark.arenaUsed;
  // Counted in a local: a store into the slots might change the count as far as the compiler knows.
  std::int32_t count = 0;
  for (std::size_t word = 0; word < std::size(record.slotsWritten); ++word) {
    for (std::uint64_t bits = record.slotsWritten[word]; bits != 0; bits &= bits - 1) {
      const auto i = static_cast<std::int32_t>(word * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
      const FieldSlot& slot = record.slots[i];
      const std::ptrdiff_t offset = slot.text != nullptr ? slot.text - base : -1;
      if (count == RecordSnapshot::kMaxSlots) return false;
      if (slot.text != nullptr && (offset < 0 || slot.length < 0 || offset + slot.length > appended)) return false;
      snapshot.slots[count++] = {i, static_cast<std::int32_t>(offset), slot.length};
    }
  }
  snapshot.slotCount = count;
  snapshot.arenaUsed = appended;
  std::memcpy(snapshot.bytes, base, static_cast<std::size_t>(appended));
  return true;
}

bool replaySnapshot(const RecordSnapshot& snapshot, FieldRecord& record) {
  if (record.arena == nullptr || record.arenaUsed < 0 ||
      record.arenaUsed > record.arenaSize - kSnapshotMargin - snapshot.arenaUsed) {
    return false;
  }
  char* const base = record.arena + record.arenaUsed;
  const std::int32_t appended = snapshot.arenaUsed;
  const std::int32_t count = snapshot.slotCount;
  std::memcpy(base, snapshot.bytes, static_cast<std::size_t>(appended));
  for (std::int32_t i = 0; i < count; ++i) {
    const RecordSnapshot::Slot slot = snapshot.slots[i];
    record.slots[slot.slot] = slot.offset < 0 ? FieldSlot{} : FieldSlot{base + slot.offset, slot.length};
    const auto bit = static_cast<std::uint32_t>(slot.slot);
    record.slotsWritten[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
  record.arenaUsed += appended;
  if (count > 0) record.correctionRow = -1;
  return true;
}

}  // namespace quorix
