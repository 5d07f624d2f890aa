// Decoder selection: every registry row gets the text, the row that explains most of it wins, and the winner's
// result is what the record holds.
#include "core/selection.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <iterator>

#include "core/normalise.h"
#include "core/transliterate.h"
#include "derive/jurisdiction_corrections.h"

namespace quorix {
namespace {

LetterOptions letterOptions(const DecoderEntry& row) {
  return {.upperCase = row.prepare != prepareCopy, .onePlaceEach = row.readsFixedPlaces};
}

bool hasDecoder(const DecoderEntry& row) {
  return row.prepare != nullptr && (row.decode != nullptr || row.decodeEditing != nullptr);
}

bool hasIssuerExpectation(const DecoderEntry& row) {
  return row.expectedCountry != nullptr || row.expectedJurisdiction != nullptr;
}

// Written without a branch so that the compiler can work on many bytes at once.
void upperCase(char* text, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    text[i] = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 'a' - 'A' : 0));
  }
}

// A place that holds a prepared text, and which prepare function made it; null means nothing usable is there.
struct TextRegion {
  char* data = nullptr;
  PrepareFunction preparedBy = nullptr;
  std::int32_t length = 0;
  MendFunction framingBy = nullptr;  // the mend whose answer for this text framing holds, or null
  RepairSet framing = 0;
  RepairSet prepareRepairs = 0;  // what the prepare function mended to make this text
  bool lettersKnown = false;     // whether mayHoldLetters has been worked out for this text
  bool mayHoldLetters = false;
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
      RepairSet repairs = 0;
      // The normaliser says what it mended; what the plain copy hands on needed no mending.
      const Status s = row.prepare == normaliseInput
                           ? normaliseInputReporting(input_, inputLength_, region->data, room_, &prepared, &repairs)
                           : row.prepare(input_, inputLength_, region->data, room_, &prepared);
      if (s != kStatusOk) return s;
      if (prepared < 0 || prepared > room_) return kStatusBadArgument;
      if (row.prepare != prepareCopy) upperCase(region->data, prepared);
      region->preparedBy = row.prepare;
      region->length = prepared;
      region->framingBy = nullptr;
      region->prepareRepairs = repairs;
      region->lettersKnown = false;
    }
    *text = region->data;
    *length = region->length;
    return kStatusOk;
  }

  // The text a row reads, as runRow makes it ready: prepared, its framing mended and its letters read as ASCII where
  // the row needs that, with what was mended. Rows of one family follow each other with the same needs, so the last
  // view is kept until a text it may rest on changes.
  struct View {
    PrepareFunction prepare = nullptr;
    MendFunction mendFraming = nullptr;
    bool readsFixedPlaces = false;
    const char* text = nullptr;
    std::int32_t length = 0;
    RepairSet repairs = 0;
  };
  [[nodiscard]] const View* keptViewFor(const DecoderEntry& row) const {
    const bool same = view_.prepare == row.prepare && view_.mendFraming == row.mendFraming &&
                      view_.readsFixedPlaces == row.readsFixedPlaces;
    return same && view_.prepare != nullptr ? &view_ : nullptr;
  }
  void keepView(const DecoderEntry& row, const char* text, std::int32_t length, RepairSet repairs) {
    view_ = {row.prepare, row.mendFraming, row.readsFixedPlaces, text, length, repairs};
  }

  // A copy of text that the caller may edit: the text with the NUL behind it, as its prepare left them.
  char* editableCopy(const char* text, std::int32_t length) {
    forget(scratch_);
    if (text != scratch_) std::memcpy(scratch_, text, static_cast<std::size_t>(length) + 1);
    return scratch_;
  }

  // What the row must mend in the framing of its prepared text, worked out once per text and mend.
  RepairSet framingFor(const DecoderEntry& row, const char* text, std::int32_t length) {
    TextRegion* region = regionFor(row.prepare);
    if (region->data != text || region->preparedBy != row.prepare) {
      return row.mendFraming(text, length, room_, nullptr, nullptr);
    }
    if (region->framingBy != row.mendFraming) {
      region->framing = row.mendFraming(text, length, room_, nullptr, nullptr);
      region->framingBy = row.mendFraming;
    }
    return region->framing;
  }

  // A copy of the row's prepared text with its framing mended; length becomes the copy's.
  const char* reframedCopy(const DecoderEntry& row, const char* text, std::int32_t& length) {
    char* copy = editableCopy(text, length);
    (void)row.mendFraming(copy, length, room_, copy, &length);
    return copy;
  }

  // What the row's prepare function mended in the text that textFor last gave for the row.
  RepairSet prepareRepairs(const DecoderEntry& row) {
    const TextRegion* region = regionFor(row.prepare);
    return region->preparedBy == row.prepare ? region->prepareRepairs : 0;
  }

  // Whether the row's text may hold accented letters, worked out once per prepared text.
  bool mayHoldLetters(const DecoderEntry& row, const char* text, std::int32_t length) {
    TextRegion* region = regionFor(row.prepare);
    if (region->data != text || region->preparedBy != row.prepare) return mayHoldAccentedLetters(text, length);
    if (!region->lettersKnown) {
      region->mayHoldLetters = mayHoldAccentedLetters(text, length);
      region->lettersKnown = true;
    }
    return region->mayHoldLetters;
  }

  // A copy of the row's text with its accented letters read as ASCII, as the row reads them; length becomes the
  // copy's, and changed tells whether any letter was rewritten.
  const char* transliteratedCopy(const DecoderEntry& row, const char* text, std::int32_t& length, bool& changed) {
    char* copy = editableCopy(text, length);
    length = transliterateLetters(copy, length, room_, letterOptions(row), &changed);
    copy[length] = '\0';
    return copy;
  }

  // Room for derivations that need the text no more; the same size as the work buffer's room.
  char* scratch() {
    forget(scratch_);
    return scratch_;
  }

 private:
  // The normaliser's text keeps the work buffer; other kinds share the second region.
  TextRegion* regionFor(PrepareFunction prepare) {
    if (regions_[0].preparedBy == prepare) return &regions_[0];
    if (regions_[1].preparedBy == prepare) return &regions_[1];
    return prepare == normaliseInput || regions_[1].data == regions_[0].data ? &regions_[0] : &regions_[1];
  }

  void forget(const char* place) {
    for (TextRegion& region : regions_)
      if (region.data == place) region.preparedBy = nullptr;
    view_ = View{};
  }

  const char* input_;
  std::int32_t inputLength_;
  std::int32_t room_;
  TextRegion regions_[2];
  char* scratch_;
  View view_;
};

// Only slots the setters wrote since the reset can be filled.
std::int32_t filledSlots(const FieldRecord& record) {
  std::int32_t count = 0;
  for (std::size_t word = 0; word < std::size(record.slotsWritten); ++word) {
    for (std::uint64_t bits = record.slotsWritten[word]; bits != 0; bits &= bits - 1)
      count += record.slots[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))].filled() ? 1 : 0;
  }
  return count;
}

// How many filled slots have a NUL right behind their value in the arena's used part; -1 when a slot lies outside it.
std::int32_t valueEnds(const FieldRecord& record) {
  const std::less_equal<const char*> notAfter;
  const char* const arena = record.arena;
  const char* const end = arena + record.arenaUsed;
  std::int32_t ends = 0;
  for (std::size_t word = 0; word < std::size(record.slotsWritten); ++word) {
    for (std::uint64_t bits = record.slotsWritten[word]; bits != 0; bits &= bits - 1) {
      const FieldSlot& slot = record.slots[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))];
      if (!slot.filled()) continue;
      const char* const behind = slot.text + slot.length;
      if (!notAfter(arena, slot.text) || !notAfter(behind, end)) return -1;
      ends += behind != end && *behind == '\0' ? 1 : 0;
    }
  }
  return ends;
}

// Slot values are printed and handed to Java as text: control bytes and bytes from 127 up become spaces. So does
// a NUL that a reader left inside a value, which would otherwise end the value there; the NULs between values stay.
// Only the slots the setters wrote can be filled, and a value rarely holds a NUL, so each is searched for one.
void sanitiseArena(FieldRecord& record) {
  // Locals, because a store through char* may change any field of the record as far as the compiler knows.
  char* const arena = record.arena;
  const std::int32_t used = record.arenaUsed;
  std::int32_t nuls = 0;
  for (std::int32_t i = 0; i < used; ++i) {
    const auto byte = static_cast<unsigned char>(arena[i]);
    const bool control = byte != 0 && (byte < 32 || byte > 126);
    nuls += byte == 0 ? 1 : 0;
    arena[i] = static_cast<char>(control ? ' ' : byte);
  }
  // When every NUL in the arena is the one behind a value, no value holds one: the setters give each slot a value
  // of its own, so no two slots share the NUL behind theirs.
  if (nuls == valueEnds(record)) return;
  for (std::size_t word = 0; word < std::size(record.slotsWritten); ++word) {
    for (std::uint64_t bits = record.slotsWritten[word]; bits != 0; bits &= bits - 1) {
      FieldSlot& slot = record.slots[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))];
      if (!slot.filled()) continue;
      char* const end = slot.text + slot.length;
      for (char* at = slot.text;
           (at = static_cast<char*>(std::memchr(at, '\0', static_cast<std::size_t>(end - at)))) != nullptr;)
        *at = ' ';
    }
  }
}

// The records the rows decode into. With a second record (its arena in the spare buffer, as large as the caller's)
// the rows alternate between the two, the best result so far is never overwritten, and the winner's record is
// moved into the caller's at the end instead of running the winner a second time. Decoders are pure functions of
// their text, so the moved record is byte for byte what a second run would leave. The second arena is zero between
// parses, as a reset leaves it.
class ContestRecords {
 public:
  // The second record is the instance's, which every contest leaves reset: made afresh, its 137 slots would be
  // cleared once a parse.
  ContestRecords(FieldRecord& record, char* spareArena, FieldRecord& spare) : record_(record), spare_(spare) {
    spare_.arena = spareArena;
    spare_.arenaSize = spareArena != nullptr ? record.arenaSize : 0;
  }
  ~ContestRecords() {
    if (spare_.arena != nullptr) (void)resetRecord(spare_);
  }
  ContestRecords(const ContestRecords&) = delete;
  ContestRecords& operator=(const ContestRecords&) = delete;

  // The record for the next row: never the one that holds the best result so far.
  FieldRecord& next() {
    last_ = best_ == &record_ && spare_.arena != nullptr ? &spare_ : &record_;
    return *last_;
  }
  // Keeps the record of the last row; false when there is no second record and the winner must run again.
  bool keepLast() {
    best_ = last_;
    return spare_.arena != nullptr;
  }
  // Leaves the kept result, or after a contest without a winner the last row's attempt, in the caller's record.
  void deliver(bool won) {
    const FieldRecord* result = won ? best_ : last_;
    if (result != nullptr && result != &record_) move(*result, record_);
  }

 private:
  // Copies every arena byte the source may have written and repoints the slots at the copy.
  static void move(const FieldRecord& from, FieldRecord& to) {
    (void)resetRecord(to);
    const std::int32_t written = std::clamp(std::max(from.arenaUsed, from.arenaTouched), 0, from.arenaSize);
    std::memcpy(to.arena, from.arena, static_cast<std::size_t>(written));
    // Only the slots the setters wrote can hold anything; the reset left every other slot of to empty.
    const std::less_equal<const char*> notAfter;
    for (std::size_t word = 0; word < std::size(from.slotsWritten); ++word) {
      for (std::uint64_t bits = from.slotsWritten[word]; bits != 0; bits &= bits - 1) {
        const std::size_t i = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
        const FieldSlot& slot = from.slots[i];
        const bool inArena = slot.text != nullptr && notAfter(from.arena, slot.text) &&
                             notAfter(slot.text + slot.length, from.arena + written);
        to.slots[i] = inArena ? FieldSlot{to.arena + (slot.text - from.arena), slot.length} : slot;
      }
    }
    to.group = from.group;
    to.decoderId = from.decoderId;
    to.arenaUsed = from.arenaUsed;
    to.arenaTouched = from.arenaTouched;
    to.repairs = from.repairs;
    std::copy(std::begin(from.slotsWritten), std::end(from.slotsWritten), std::begin(to.slotsWritten));
  }

  FieldRecord& record_;
  FieldRecord& spare_;
  FieldRecord* best_ = nullptr;
  FieldRecord* last_ = nullptr;
};

// What resetRecord leaves: nothing written, nothing derived, no winner named.
bool pristine(const FieldRecord& record) {
  return recordUnwritten(record) && record.group == kGroupNone && record.decoderId == kNoDecoderId &&
         record.repairs == 0 && record.arena != nullptr && record.arenaSize > 0;
}

// The row's text made ready for it, and what was mended to make it so.
Status readyText(const DecoderEntry& row, ContestTexts& texts, const char** ready, std::int32_t* readyLength,
                 RepairSet* mended) {
  const char* text = nullptr;
  std::int32_t length = 0;
  if (Status s = texts.textFor(row, &text, &length); s != kStatusOk) return s;
  RepairSet repairs = texts.prepareRepairs(row);
  // A row that reads its text from a mark scanners damage gets it with that framing mended.
  if (const RepairSet framing = row.mendFraming != nullptr ? texts.framingFor(row, text, length) : 0; framing != 0) {
    text = texts.reframedCopy(row, text, length);
    repairs |= framing;
  }
  // Accented letters are read as ASCII once the framing stands, so a letter byte that stands where a separator or
  // an element id belongs is never taken for a letter.
  if (texts.mayHoldLetters(row, text, length)) {
    bool changed = false;
    text = texts.transliteratedCopy(row, text, length, changed);
    if (changed) repairs |= kRepairLettersTransliterated;
  }
  texts.keepView(row, text, length, repairs);
  *ready = text;
  *readyLength = length;
  *mended = repairs;
  return kStatusOk;
}

// recordFor gives the record to decode into, asked for only once the screen has passed.
template <typename RecordFor>
[[gnu::always_inline]] inline Status runRow(const DecoderEntry& row, ContestTexts& texts, RecordFor recordFor,
                                             ParserInstance& instance) {
  const char* text = nullptr;
  std::int32_t length = 0;
  RepairSet repairs = 0;
  if (const ContestTexts::View* view = texts.keptViewFor(row); view != nullptr) {
    text = view->text;
    length = view->length;
    repairs = view->repairs;
  } else if (Status s = readyText(row, texts, &text, &length, &repairs); s != kStatusOk) {
    return s;
  }
  if (row.screen != nullptr && !row.screen(text, length)) return kStatusNoDecoder;
  FieldRecord& record = recordFor();
  // Most rows turn a text away before writing anything; their record needs no reset.
  if (!pristine(record)) {
    if (Status s = resetRecord(record); s != kStatusOk) return s;
  }
  // A decoder that writes into its text reads a copy, so the rows after it still see the prepared text.
  char* const copy = row.decodeEditing != nullptr ? texts.editableCopy(text, length) : nullptr;
  // The copy holds the screened text byte for byte.
  if (row.screen != nullptr)
    instance.screened = {instance.contestSerial, row.screen, copy != nullptr ? copy : text, length};
  const Status status = copy != nullptr ? row.decodeEditing(copy, length, record, instance)
                                        : row.decode(text, length, record, instance);
  instance.screened = {};
  if (status == kStatusOk) record.repairs |= repairs;
  return status;
}

// The instance's spare buffer, for the contest over the instance's own buffers and record: two texts of the work
// buffer's size, then the second arena. Only the parse writes there, so the arena part stays zero between parses.
char* spareFor(const ParserInstance& instance, const char* work, std::int32_t workSize, const FieldRecord* record) {
  const bool own = work == instance.textBuffer && workSize == instance.textBufferSize && record == &instance.record &&
                   record->arena == instance.arenaBuffer && record->arenaSize == instance.arenaBufferSize;
  const std::int64_t need = 2 * std::int64_t{workSize} + record->arenaSize;
  return own && instance.spareBuffer != nullptr && instance.spareBufferSize >= need ? instance.spareBuffer : nullptr;
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
  char* spare = spareFor(instance, work, workSize, record);
  // Outside the contest the serial is 0, so a decoder called on its own shares nothing.
  struct SerialScope {
    ParserInstance& instance;
    ~SerialScope() { instance.contestSerial = 0; }
  } serialScope{instance};
  instance.contestSerial = ++instance.lastSerial;
  ContestTexts texts(input, inputLength, work, room, spare);
  ContestRecords records(*record, spare != nullptr ? spare + 2 * std::int64_t{workSize} : nullptr,
                         instance.spareRecord);
  const DecoderEntry* best = nullptr;
  bool bestKept = false;
  std::int32_t bestScore = -9999;
  PreparedBytes marks(input, inputLength);
  for (const DecoderEntry& row : rows) {
    if ((row.mark != '\0' && !marks.mayHold(row.mark)) || !hasDecoder(row)) continue;
    FieldRecord* used = nullptr;
    const auto next = [&]() -> FieldRecord& { return *(used = &records.next()); };
    if (runRow(row, texts, next, instance) != kStatusOk) continue;
    FieldRecord& attempt = *used;
    // A decoder that accepts a text but finds nothing in it has not explained it.
    const std::int32_t filled = filledSlots(attempt);
    if (filled == 0) continue;
    const std::int32_t score =
        filled + (hasIssuerExpectation(row) ? issuerAgreement(row, attempt, texts.scratch(), room) : 0);
    if (score > bestScore) {
      best = &row;
      bestKept = records.keepLast();
      bestScore = score;
    }
  }
  records.deliver(best != nullptr && bestKept);
  if (best == nullptr) return kStatusNoDecoder;

  if (!bestKept) {
    if (Status s = runRow(*best, texts, [record]() -> FieldRecord& { return *record; }, instance); s != kStatusOk)
      return s;
  }
  record->group = best->group;
  record->decoderId = best->id;
  instance.repairs |= best->repairs | record->repairs;
  sanitiseArena(*record);
  rememberJurisdictionCorrection(*record);
  return kStatusOk;
}

}  // namespace quorix
