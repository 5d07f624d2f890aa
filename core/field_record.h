// The record as the library writes it: the arena lent by the parser instance, what a reset must clear, and the
// setters, which are its only writers. Decoders, the selection and the derivations include this; callers read a
// record through <quorix/field_record.h>.
#pragma once

#include <quorix/field_record.h>
#include <quorix/repairs.h>
#include <quorix/status.h>

#include <cstdint>

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
  // Which slots the setters have filled since the last reset (bit s % 64 of word s / 64); the reset clears those.
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
std::int32_t copyFilteredIf(char* dst, std::int32_t capacity, TextSpan source, CharPredicate excludeIf,
                            CharPredicate squeezeIf, char replacement);

// The setters append the value behind arenaUsed, cut at the arena end, and repoint the slot; a value that comes out
// empty clears the slot. They return the slot, or null for a slot number outside 0..136.
FieldSlot* setSlot(FieldRecord& record, std::int32_t slot, TextSpan source, const char* excludeChars,
                   const char* squeezeChars, char replacement);
FieldSlot* setSlotIf(FieldRecord& record, std::int32_t slot, TextSpan source, CharPredicate excludeIf,
                     CharPredicate squeezeIf, char replacement);
// setSlotIf with character classes (the bits of the library's class table) for predicates: a byte in none of the
// classes of keep is excluded, and runs of bytes in a class of squeeze are squeezed.
FieldSlot* setSlotKeeping(FieldRecord& record, std::int32_t slot, TextSpan source, std::uint32_t keep,
                          std::uint32_t squeeze, char replacement);
// Null text returns null and changes nothing.
FieldSlot* setSlotText(FieldRecord& record, std::int32_t slot, const char* text);
FieldSlot* setSlotProduced(FieldRecord& record, std::int32_t slot, const void* context, SlotProducer producer);
// Writes YYYYMMDD; with fewer than 8 free arena bytes it returns null and leaves the slot as it was.
FieldSlot* setSlotDate(FieldRecord& record, std::int32_t slot, const DateTime& date);

// What the setters left in a record since its reset, small enough to keep: the written slots, as arena offsets,
// and the arena bytes they may have touched. Given to a freshly reset record of the same arena size it leaves that
// record exactly as the same writes would.
struct RecordSnapshot {
  static constexpr std::int32_t kMaxSlots = 8;
  static constexpr std::int32_t kMaxBytes = 320;  // what a first track's four values take at most
  struct Slot {
    std::int32_t slot = 0;
    std::int32_t offset = -1;  // -1: the slot was written and then cleared
    std::int32_t length = 0;
  };
  std::int32_t arenaSize = 0;
  std::int32_t arenaUsed = 0;
  std::int32_t arenaTouched = 0;
  std::int32_t slotCount = 0;
  Slot slots[kMaxSlots];
  char bytes[kMaxBytes] = {};
};

// Whether no setter has written since the reset: no slot, no arena byte, no correction row found.
[[nodiscard]] inline bool recordUnwritten(const FieldRecord& record) {
  std::uint64_t written = 0;
  for (const std::uint64_t word : record.slotsWritten) written |= word;
  return written == 0 && record.arenaUsed == 0 && record.arenaTouched == 0 && record.correctionRow == -1;
}
// False (snapshot unusable) when the record wrote more than a snapshot holds or a slot points outside its arena.
[[nodiscard]] bool takeSnapshot(const FieldRecord& record, RecordSnapshot& snapshot);
// False, record unchanged, unless the record is unwritten and its arena as large as the snapshot's.
[[nodiscard]] bool restoreSnapshot(const RecordSnapshot& snapshot, FieldRecord& record);

}  // namespace quorix
