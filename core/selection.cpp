// Decoder selection: every registry row gets the text, the row that explains most of it wins, and the winner runs
// once more so that its result is what the record holds.
#include "core/selection.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>

#include "core/normalise.h"

namespace quorix {
namespace {

// Decoders that write into the text they are given: magnetic stripe id 11 removes its line feeds in place. Each
// of them reads a copy, so the rows after it still see the prepared text.
constexpr std::int32_t kIdsEditingTheirText[] = {11};

bool editsItsText(const DecoderEntry& row) {
  return std::find(std::begin(kIdsEditingTheirText), std::end(kIdsEditingTheirText), row.id) !=
         std::end(kIdsEditingTheirText);
}

bool hasIssuerExpectation(const DecoderEntry& row) {
  return row.expectedCountry != nullptr || row.expectedJurisdiction != nullptr;
}

void upperCase(char* text, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i)
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - ('a' - 'A'));
}

// A place that holds a prepared text, and which prepare function made it; null means nothing usable is there.
struct TextRegion {
  char* data = nullptr;
  PrepareFunction preparedBy = nullptr;
  std::int32_t length = 0;
};

// The texts of one contest. A prepare function is a pure function of the input, so each one runs once and its
// text serves every row that uses it: rows alternate between the normaliser and the plain copy, so the two texts
// live in two regions, and a third takes the issuer agreement's derivations and the copies that editing decoders
// read. Without spare room all three are the work buffer, and a text is prepared again wherever it was
// overwritten.
class ContestTexts {
 public:
  ContestTexts(const char* input, std::int32_t inputLength, char* work, std::int32_t room, char* spare)
      : input_(input), inputLength_(inputLength), room_(room) {
    regions_[0].data = work;
    regions_[1].data = spare != nullptr ? spare : work;
    scratch_ = spare != nullptr ? spare + room + 1 : work;
  }

  // The row's prepared text, upper-cased unless the row copies plainly; the prepare's status when it fails.
  Status textFor(const DecoderEntry& row, const char** text, std::int32_t* length) {
    TextRegion* region = regionFor(row.prepare);
    if (region->preparedBy != row.prepare) {
      forget(region->data);
      std::int32_t prepared = 0;
      if (Status s = row.prepare(input_, inputLength_, region->data, room_, &prepared); s != kStatusOk) return s;
      if (prepared < 0 || prepared > room_) return kStatusBadArgument;
      if (row.prepare != prepareCopy) upperCase(region->data, prepared);
      region->preparedBy = row.prepare;
      region->length = prepared;
    }
    *text = region->data;
    *length = region->length;
    return kStatusOk;
  }

  // A copy of text that the caller may edit: the text with the NUL behind it, as its prepare left them.
  char* editableCopy(const char* text, std::int32_t length) {
    forget(scratch_);
    if (text != scratch_) std::memcpy(scratch_, text, static_cast<std::size_t>(length) + 1);
    return scratch_;
  }

  // Room for derivations that need the text no more; the same size as the work buffer's room.
  char* scratch() {
    forget(scratch_);
    return scratch_;
  }

 private:
  // The normaliser's text keeps the work buffer, where it also stays for the derivations; other kinds share the
  // second region.
  TextRegion* regionFor(PrepareFunction prepare) {
    if (regions_[0].preparedBy == prepare) return &regions_[0];
    if (regions_[1].preparedBy == prepare) return &regions_[1];
    return prepare == normaliseInput || regions_[1].data == regions_[0].data ? &regions_[0] : &regions_[1];
  }

  void forget(const char* place) {
    for (TextRegion& region : regions_)
      if (region.data == place) region.preparedBy = nullptr;
  }

  const char* input_;
  std::int32_t inputLength_;
  std::int32_t room_;
  TextRegion regions_[2];
  char* scratch_;
};

Status runRow(const DecoderEntry& row, ContestTexts& texts, FieldRecord& record, ParserInstance& instance) {
  const char* text = nullptr;
  std::int32_t length = 0;
  if (Status s = texts.textFor(row, &text, &length); s != kStatusOk) return s;
  if (editsItsText(row)) text = texts.editableCopy(text, length);
  if (Status s = resetRecord(record); s != kStatusOk) return s;
  return row.decode(text, length, record, instance);
}

std::int32_t filledSlots(const FieldRecord& record) {
  std::int32_t count = 0;
  for (const FieldSlot& slot : record.slots) count += slot.filled() ? 1 : 0;
  return count;
}

// Slot values are printed and handed to Java as text: control bytes and bytes from 127 up become spaces.
void sanitiseArena(FieldRecord& record) {
  for (std::int32_t i = 0; i < record.arenaUsed; ++i) {
    const auto byte = static_cast<unsigned char>(record.arena[i]);
    if (byte != 0 && (byte < 32 || byte > 126)) record.arena[i] = ' ';
  }
}

// The instance's spare buffer, when it holds two more texts of the work buffer's size and lies apart from it.
char* spareFor(const ParserInstance& instance, const char* work, std::int32_t workSize) {
  const char* spare = instance.spareBuffer;
  if (spare == nullptr || std::int64_t{instance.spareBufferSize} < 2 * std::int64_t{workSize}) return nullptr;
  const bool apart = std::less_equal<const char*>()(spare + instance.spareBufferSize, work) ||
                     std::less_equal<const char*>()(work + workSize, spare);
  return apart ? instance.spareBuffer : nullptr;
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
  ContestTexts texts(input, inputLength, work, room, spareFor(instance, work, workSize));
  const DecoderEntry* best = nullptr;
  std::int32_t bestScore = -9999;
  for (const DecoderEntry& row : rows) {
    if (row.prepare == nullptr || row.decode == nullptr) continue;
    if (runRow(row, texts, *record, instance) != kStatusOk) continue;
    // A decoder that accepts a text but finds nothing in it has not explained it.
    const std::int32_t filled = filledSlots(*record);
    if (filled == 0) continue;
    const std::int32_t score =
        filled + (hasIssuerExpectation(row) ? issuerAgreement(row, *record, texts.scratch(), room) : 0);
    if (score > bestScore) {
      best = &row;
      bestScore = score;
    }
  }
  if (best == nullptr) return kStatusNoDecoder;

  if (Status s = runRow(*best, texts, *record, instance); s != kStatusOk) return s;
  record->group = best->group;
  record->decoderId = best->id;
  sanitiseArena(*record);
  return kStatusOk;
}

}  // namespace quorix
