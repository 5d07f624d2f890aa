// The record as the library writes it: the arena lent by the parser instance, what a reset must clear, and the
// setters, which are its only writers. Decoders, the selection and the derivations include this; callers read a
// record through <quorix/field_record.h>.
#pragma once

#include <quorix/field_record.h>
#include <quorix/repairs.h>
#include <quorix/status.h>

#include <cstdint>
#include <cstring>

namespace quorix {

struct FieldRecord {
  std::int32_t group = kGroupNone;
  std::int32_t decoderId = kNoDecoderId;
  FieldSlot slots[kSlotCount] = {};
  char* arena = nullptr;  // lent by the owner, never freed by the record
  std::int32_t arenaSize = 0;
  std::int32_t arenaUsed = 0;
  // How far a producer may have written behind arenaUsed since the last reset; the reset clears up to here.
  std::int32_t arenaTouched = 0;
  // Which slots the setters have committed since the last reset, emptied ones too (bit s % 64 of word s / 64); the
  // reset clears those.
  std::uint64_t slotsWritten[(kSlotCount + 63) / 64] = {};
  // The jurisdiction correction row of this record as the parse found it, so that the derivations need not look it
  // up again each; -1 when unknown. Every setter and reset forgets it.
  std::int32_t correctionRow = -1;
  // What the decoder that filled the record mended in its text; the reset clears it.
  RepairSet repairs = 0;
};

// A character predicate receives a byte as a signed value (bytes from 128 up arrive negative); nonzero means yes.
using CharPredicate = int (*)(signed char c);

// Writes at most room bytes of a value into destination and returns how many it wrote (no NUL that counts).
using SlotProducer = std::int32_t (*)(const void* context, char* destination, std::int32_t room);

// Takes the arena and resets the record; -21 (record unchanged) for a null arena or a size below 1.
[[nodiscard]] Status initRecord(FieldRecord& record, char* arena, std::int32_t arenaSize);

// Group 5, decoder 56, every slot cleared, the whole arena zero again; -21 for a record without arena. Only the
// slots and bytes written since the last reset are cleared: the setters are the only writers, and they keep the rest
// as a reset leaves it.
[[nodiscard]] Status resetRecord(FieldRecord& record);

// Copies source into dst, dropping (or replacing) excluded bytes and collapsing runs of squeezable ones; writes at
// most capacity bytes and no NUL; returns the bytes written.
std::int32_t copyFiltered(char* dst, std::int32_t capacity, TextSpan source, const char* excludeChars,
                          const char* squeezeChars, char replacement);
class CharSet;
// The same with sets made beforehand, for the callers whose sets never change.
std::int32_t copyFiltered(char* dst, std::int32_t capacity, TextSpan source, const CharSet& exclude,
                          const CharSet& squeeze, char replacement);
std::int32_t copyFilteredIf(char* dst, std::int32_t capacity, TextSpan source, CharPredicate excludeIf,
                            CharPredicate squeezeIf, char replacement);
// copyFilteredIf with character classes (the bits of the library's class table) for predicates: a byte in none of
// the classes of keep is excluded, and runs of bytes in a class of squeeze are squeezed.
std::int32_t copyKeeping(char* dst, std::int32_t capacity, TextSpan source, std::uint32_t keep, std::uint32_t squeeze,
                         char replacement);

// The append rule of every setter: point the slot at what was just produced at arenaUsed, then add a NUL when it
// leaves room for one more byte behind it. A value that is cut at the arena end gets no NUL. The slot is one of the
// record's.
inline FieldSlot* commitValue(FieldRecord& record, std::int32_t slot, std::int32_t produced) {
  record.correctionRow = -1;  // the value may change the record's issuer
  FieldSlot& target = record.slots[slot];
  const auto bit = static_cast<std::uint32_t>(slot);
  record.slotsWritten[bit / 64] |= std::uint64_t{1} << (bit % 64);
  if (produced < 1) {
    target = FieldSlot{};
    return &target;
  }
  target.text = record.arena + record.arenaUsed;
  target.length = produced;
  record.arenaUsed += produced;
  if (record.arenaUsed < record.arenaSize - 1) {
    record.arena[record.arenaUsed] = '\0';
    ++record.arenaUsed;
  }
  return &target;
}

// The setters append the value behind arenaUsed, cut at the arena end, and repoint the slot; a value that comes out
// empty clears the slot. They return the slot, or null for a slot number outside 0..136.
// The value as it stands. Inline: every element of a barcode and most values of a stripe are stored this way.
inline FieldSlot* setSlotCopy(FieldRecord& record, std::int32_t slot, TextSpan source) {
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  const std::int32_t room = record.arena == nullptr ? 0 : record.arenaSize - record.arenaUsed;
  const std::int32_t produced = room >= 1 && source.filled() ? (source.length < room ? source.length : room) : 0;
  if (produced > 0) std::memcpy(record.arena + record.arenaUsed, source.data, static_cast<std::size_t>(produced));
  return commitValue(record, slot, produced);
}
FieldSlot* setSlot(FieldRecord& record, std::int32_t slot, TextSpan source, const char* excludeChars,
                   const char* squeezeChars, char replacement);
FieldSlot* setSlotIf(FieldRecord& record, std::int32_t slot, TextSpan source, CharPredicate excludeIf,
                     CharPredicate squeezeIf, char replacement);
// setSlotIf with the classes of copyKeeping.
FieldSlot* setSlotKeeping(FieldRecord& record, std::int32_t slot, TextSpan source, std::uint32_t keep,
                          std::uint32_t squeeze, char replacement);
// Null text returns null and changes nothing.
FieldSlot* setSlotText(FieldRecord& record, std::int32_t slot, const char* text);
FieldSlot* setSlotProduced(FieldRecord& record, std::int32_t slot, const void* context, SlotProducer producer);
// Writes YYYYMMDD; with fewer than 8 free arena bytes it returns null and leaves the slot as it was.
FieldSlot* setSlotDate(FieldRecord& record, std::int32_t slot, const DateTime& date);

// What the setters did to a record from a mark on, apart from what came before: the slots they committed (emptied
// ones too), as offsets from the arena place the mark found free, and the bytes they appended there. Replayed at
// another record's free place it leaves that record as the same setter calls would, as long as neither run comes
// within kSnapshotMargin bytes of its arena's end, where values are cut and dates left out.
struct RecordSnapshot {
  static constexpr std::int32_t kMaxSlots = 12;
  static constexpr std::int32_t kMaxBytes = 320;  // what a track's values take at most
  struct Slot {
    std::int32_t slot = 0;
    std::int32_t offset = -1;  // -1: the slot was emptied
    std::int32_t length = 0;
  };
  std::int32_t arenaUsed = 0;  // the bytes appended
  std::int32_t slotCount = 0;
  Slot slots[kMaxSlots];
  char bytes[kMaxBytes] = {};
};
inline constexpr std::int32_t kSnapshotMargin = 8;

// Where a record stood when its snapshot began: the free place, and the slots committed before, which the mark sets
// aside so that the record's bits name only what comes after it.
struct RecordMark {
  std::int32_t arenaUsed = 0;
  std::int32_t arenaTouched = 0;
  std::uint64_t slotsWritten[(kSlotCount + 63) / 64] = {};
};

// Whether no setter has committed since the reset: no slot, no arena byte, no correction row found.
[[nodiscard]] inline bool recordUnwritten(const FieldRecord& record) {
  std::uint64_t written = 0;
  for (const std::uint64_t word : record.slotsWritten) written |= word;
  return written == 0 && record.arenaUsed == 0 && record.arenaTouched == 0 && record.correctionRow == -1;
}
// Marks where the record stands; closeMark must follow, after takeSnapshot if the work is to be kept.
[[nodiscard]] RecordMark markRecord(FieldRecord& record);
// False (snapshot unusable) when the setters since the mark wrote more than a snapshot holds, came near the arena's
// end, or a producer touched the arena behind what it kept.
[[nodiscard]] bool takeSnapshot(const FieldRecord& record, const RecordMark& mark, RecordSnapshot& snapshot);
// Gives the record back the slots committed before the mark.
void closeMark(FieldRecord& record, const RecordMark& mark);
// Appends the snapshot's work at the record's free place; false, record unchanged, where that would come near the
// arena's end.
[[nodiscard]] bool replaySnapshot(const RecordSnapshot& snapshot, FieldRecord& record);

}  // namespace quorix
