// Decoder selection: every registry row gets the text, the row that explains most of it wins, and the winner runs
// once more so that its result is what the record holds.
#include "core/selection.h"

#include "core/normalise.h"

namespace quorix {
namespace {

// Prepares the row's text into work; rows other than the plain copy read it upper-cased.
Status prepareRow(const DecoderEntry& row, const char* input, std::int32_t inputLength, char* work, std::int32_t room,
                  std::int32_t* preparedLength) {
  *preparedLength = 0;
  if (Status s = row.prepare(input, inputLength, work, room, preparedLength); s != kStatusOk) return s;
  if (*preparedLength < 0 || *preparedLength > room) return kStatusBadArgument;
  if (row.prepare != prepareCopy) {
    for (std::int32_t i = 0; i < *preparedLength; ++i)
      if (work[i] >= 'a' && work[i] <= 'z') work[i] = static_cast<char>(work[i] - ('a' - 'A'));
  }
  return kStatusOk;
}

Status runRow(const DecoderEntry& row, const char* input, std::int32_t inputLength, char* work, std::int32_t room,
              FieldRecord& record, ParserInstance& instance) {
  std::int32_t preparedLength = 0;
  if (Status s = prepareRow(row, input, inputLength, work, room, &preparedLength); s != kStatusOk) return s;
  if (Status s = resetRecord(record); s != kStatusOk) return s;
  return row.decode(work, preparedLength, record, instance);
}

std::int32_t filledSlots(const FieldRecord& record) {
  std::int32_t count = 0;
  for (const FieldSlot& slot : record.slots) count += slot.filled() ? 1 : 0;
  return count;
}

// Slot values are printed and handed to Java as text: control bytes and bytes from 127 up become spaces. So does
// a NUL that a reader left inside a value, which would otherwise end the value there; the NULs between values stay.
void sanitiseArena(FieldRecord& record) {
  for (std::int32_t i = 0; i < record.arenaUsed; ++i) {
    const auto byte = static_cast<unsigned char>(record.arena[i]);
    if (byte != 0 && (byte < 32 || byte > 126)) record.arena[i] = ' ';
  }
  for (FieldSlot& slot : record.slots) {
    if (!slot.filled()) continue;
    for (std::int32_t i = 0; i < slot.length; ++i)
      if (slot.text[i] == '\0') slot.text[i] = ' ';
  }
}

}  // namespace

Status selectAndDecode(const char* input, std::int32_t inputLength, char* work, std::int32_t workSize,
                       FieldRecord* record, ParserInstance& instance) {
  return selectAndDecodeFrom(decoderRegistry(), input, inputLength, work, workSize, record, instance);
}

Status selectAndDecodeFrom(std::span<const DecoderEntry> rows, const char* input, std::int32_t inputLength, char* work,
                           std::int32_t workSize, FieldRecord* record, ParserInstance& instance) {
  if (input == nullptr) return kStatusNoInput;
  if (inputLength < 1) return kStatusEmptyInput;
  if (work == nullptr || workSize < 1 || record == nullptr) return kStatusBadArgument;
  if (record->arena == nullptr || record->arenaSize < 1) return kStatusNoArena;

  const std::int32_t room = workSize - 1;
  const DecoderEntry* best = nullptr;
  std::int32_t bestScore = -9999;
  for (const DecoderEntry& row : rows) {
    if (row.prepare == nullptr || row.decode == nullptr) continue;
    if (runRow(row, input, inputLength, work, room, *record, instance) != kStatusOk) continue;
    // A decoder that accepts a text but finds nothing in it has not explained it.
    const std::int32_t filled = filledSlots(*record);
    if (filled == 0) continue;
    const std::int32_t score = filled + issuerAgreement(row, *record, work, room);
    if (score > bestScore) {
      best = &row;
      bestScore = score;
    }
  }
  if (best == nullptr) return kStatusNoDecoder;

  if (Status s = runRow(*best, input, inputLength, work, room, *record, instance); s != kStatusOk) return s;
  record->group = best->group;
  record->decoderId = best->id;
  sanitiseArena(*record);
  return kStatusOk;
}

}  // namespace quorix
