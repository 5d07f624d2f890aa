// The contest between registry rows, run over small fake registries, and the parse entry's buffer sizing.
#include "core/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/instance.h"
#include "core/normalise.h"
#include "core/transliterate.h"
#include "derive/jurisdiction_corrections.h"
#include "unit/support/golden_corpus.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::slotText;

// Fake prepare: copies the input, so the driver upper-cases what it writes.
Status prepareEcho(const char* input, std::int32_t length, char* out, std::int32_t room, std::int32_t* outLength) {
  const std::int32_t n = length < room ? length : room;
  std::memcpy(out, input, static_cast<std::size_t>(n));
  *outLength = n;
  return kStatusOk;
}
Status prepareFails(const char*, std::int32_t, char*, std::int32_t, std::int32_t* outLength) {
  *outLength = 0;
  return -3;
}

// Fake decoders: each stores what it saw, so a test can tell which one the record came from.
Status decodeOneSlot(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  setSlot(record, SLOT_FULL_NAME, TextSpan{text, length}, nullptr, nullptr, 0);
  return kStatusOk;
}
Status decodeTwoSlots(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  setSlot(record, SLOT_FULL_NAME, TextSpan{text, length}, nullptr, nullptr, 0);
  setSlotText(record, SLOT_CITY, "TWO");
  return kStatusOk;
}
Status decodeNothing(const char*, std::int32_t, FieldRecord&, ParserInstance&) { return kStatusOk; }
Status decodeRejects(const char* text, std::int32_t length, FieldRecord& record, ParserInstance&) {
  setSlot(record, SLOT_FULL_NAME, TextSpan{text, length}, nullptr, nullptr, 0);
  return -1;
}
Status decodeControlBytes(const char*, std::int32_t, FieldRecord& record, ParserInstance&) {
  setSlotText(record, SLOT_FULL_NAME,
              "A\x01"
              "B\x7f"
              "C\x80");
  return kStatusOk;
}

// What the logging decoders were given, in row order; each test clears it first.
std::vector<std::string> seenTexts;

Status decodeLogsAndRejects(const char* text, std::int32_t length, FieldRecord&, ParserInstance&) {
  seenTexts.emplace_back(text, static_cast<std::size_t>(length));
  return -1;
}
// Magnetic stripe id 11 edits its text in place; this one does the same to the first byte and the one behind it.
Status decodeEditsAndRejects(char* text, std::int32_t length, FieldRecord& record, ParserInstance& instance) {
  (void)decodeLogsAndRejects(text, length, record, instance);
  text[0] = '#';
  text[length] = '#';
  return -1;
}
// Accepts with a country code no row expects, so the issuer agreement derives it into its scratch room.
Status decodeLongCountryCode(const char*, std::int32_t, FieldRecord& record, ParserInstance&) {
  setSlotText(record, SLOT_COUNTRY_CODE, std::string(200, 'Q').c_str());
  return kStatusOk;
}

// Runs the contest over the instance's own buffers, where it keeps the prepared texts and the best record in the
// spare buffer, or over a separate work buffer and arena, where it prepares again and runs the winner twice.
struct Contest {
  explicit Contest(bool ownBuffers = false) {
    if (ownBuffers) {
      owned = createInstance();
      EXPECT_EQ(parseBufferAt(owned, "x", 1, DateTime{}), kStatusNoDecoder);  // grows the buffers
    } else {
      EXPECT_EQ(initRecord(local.record, arena.get(), 256), kStatusOk);
    }
  }
  ~Contest() { destroyInstance(owned); }
  Contest(const Contest&) = delete;
  Contest& operator=(const Contest&) = delete;

  ParserInstance& instance() { return owned != nullptr ? *owned : local; }
  Status run(std::span<const DecoderEntry> rows, std::string_view input) {
    char* text = owned != nullptr ? owned->textBuffer : work.data();
    const auto size = owned != nullptr ? owned->textBufferSize : static_cast<std::int32_t>(work.size());
    return selectAndDecodeFrom(rows, input.data(), static_cast<std::int32_t>(input.size()), text, size,
                               &instance().record, instance());
  }

  std::vector<char> work = std::vector<char>(256);
  std::unique_ptr<char[]> arena = std::make_unique<char[]>(256);
  ParserInstance local;
  ParserInstance* owned = nullptr;
};

TEST(SelectAndDecode, ArgumentsAreCheckedInOrder) {
  Contest contest;
  const DecoderEntry rows[] = {{.group = 0, .id = 1, .prepare = prepareEcho, .decode = decodeOneSlot}};
  FieldRecord noArena;
  EXPECT_EQ(selectAndDecodeFrom(rows, nullptr, 0, nullptr, 0, nullptr, contest.instance()), kStatusNoInput);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 0, nullptr, 0, nullptr, contest.instance()), kStatusEmptyInput);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, nullptr, 8, &contest.instance().record, contest.instance()),
            kStatusBadArgument);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, contest.work.data(), 0, &contest.instance().record, contest.instance()),
            kStatusBadArgument);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, contest.work.data(), 8, nullptr, contest.instance()), kStatusBadArgument);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, contest.work.data(), 8, &noArena, contest.instance()), kStatusNoArena);
}

DecoderEntry row(std::int32_t group, std::int32_t id, DecodeFunction decode, PrepareFunction prepare = prepareEcho) {
  return {.group = group, .id = id, .prepare = prepare, .decode = decode};
}
DecoderEntry fixedPlaces(DecoderEntry entry) {
  entry.readsFixedPlaces = true;
  return entry;
}

TEST(SelectAndDecode, WinnerIsStampedAndKeepsItsRecord) {
  struct Case {
    const char* name;
    std::vector<DecoderEntry> rows;
    Status status;
    std::int32_t group, id;
    std::string_view fullName = "TEXT", city = "";  // after a contest without winner: the last row's attempt
  };
  // clang-format off
  const Case cases[] = {
      {"tie goes to the earlier row", {row(1, 7, decodeOneSlot), row(0, 3, decodeOneSlot)}, kStatusOk, 1, 7},
      {"more filled slots win", {row(1, 7, decodeOneSlot), row(0, 3, decodeTwoSlots)}, kStatusOk, 0, 3, "TEXT", "TWO"},
      {"the best record survives the rows after it",
       {row(1, 7, decodeOneSlot), row(0, 3, decodeTwoSlots), row(2, 9, decodeOneSlot), row(2, 10, decodeRejects),
        row(2, 11, decodeOneSlot)},
       kStatusOk, 0, 3, "TEXT", "TWO"},
      {"a later and better row replaces the best",
       {row(0, 3, decodeOneSlot), row(1, 7, decodeRejects), row(2, 9, decodeTwoSlots), row(2, 10, decodeOneSlot)},
       kStatusOk, 2, 9, "TEXT", "TWO"},
      {"rejecting rows and failing prepares drop out",
       {row(1, 7, decodeRejects), row(2, 8, decodeTwoSlots, prepareFails), row(0, 3, decodeOneSlot)}, kStatusOk, 0, 3},
      {"a row that fills nothing does not win", {row(1, 7, decodeNothing), row(0, 3, decodeOneSlot)}, kStatusOk, 0, 3},
      {"rows without a decoder are skipped", {row(1, 7, nullptr), row(0, 3, decodeOneSlot)}, kStatusOk, 0, 3},
      {"only empty acceptances give no decoder", {row(1, 7, decodeNothing)}, kStatusNoDecoder, 5, 56, ""},
      {"nothing accepts", {row(1, 7, decodeRejects)}, kStatusNoDecoder, 5, 56},
  };
  // clang-format on
  for (const bool ownBuffers : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (ownBuffers ? ", instance buffers" : ", separate buffers"));
      Contest contest(ownBuffers);
      for (int parse = 0; parse < 2; ++parse) {  // the second parse starts from what the first left
        EXPECT_EQ(contest.run(c.rows, "text"), c.status);
        const FieldRecord& record = contest.instance().record;
        EXPECT_EQ(record.group, c.group);
        EXPECT_EQ(record.decoderId, c.id);
        EXPECT_EQ(slotText(record, SLOT_FULL_NAME), c.fullName);
        EXPECT_EQ(slotText(record, SLOT_CITY), c.city);
        EXPECT_TRUE(record.arena == contest.instance().arenaBuffer || contest.owned == nullptr);
      }
    }
  }
}

TEST(SelectAndDecode, EveryRowReadsItsPreparedTextUntouched) {
  // The kinds alternate as in the registry; an editing decoder and an issuer agreement run between the readers.
  const DecoderEntry rows[] = {
      {.group = 1, .id = 0, .prepare = normaliseInput, .decode = decodeLogsAndRejects},
      {.group = 0, .id = 27, .prepare = prepareCopy, .decode = decodeLogsAndRejects},
      {.group = 1, .id = 11, .prepare = normaliseInput, .decodeEditing = decodeEditsAndRejects},
      {.group = 1, .id = 3, .prepare = normaliseInput, .decode = decodeLogsAndRejects},
      {.group = 0, .id = 26, .prepare = normaliseInput, .decode = decodeLongCountryCode, .expectedCountry = "CAN"},
      {.group = 0, .id = 28, .prepare = normaliseInput, .decode = decodeLogsAndRejects},
      {.group = 0, .id = 33, .prepare = prepareCopy, .decode = decodeLogsAndRejects},
      {.group = 0, .id = 27, .prepare = prepareCopy, .decode = decodeLongCountryCode, .expectedCountry = "CAN"},
      {.group = 0, .id = 34, .prepare = prepareCopy, .decode = decodeLogsAndRejects},
      {.group = 0, .id = 35, .prepare = normaliseInput, .decode = decodeLogsAndRejects},
  };
  const std::string input = "\x01 mixed Case\r\n";
  const std::string normalised = "MIXED CASE";
  const std::vector<std::string> expected = {normalised, input, normalised, normalised,
                                             normalised, input, input,      normalised};
  for (const bool ownBuffers : {false, true}) {
    SCOPED_TRACE(ownBuffers ? "instance buffers" : "separate buffers");
    Contest contest(ownBuffers);
    for (int parse = 0; parse < 2; ++parse) {
      seenTexts.clear();
      ASSERT_EQ(contest.run(rows, input), kStatusOk);
      EXPECT_EQ(seenTexts, expected);
      EXPECT_EQ(contest.instance().record.decoderId, 26);
      EXPECT_EQ(slotText(contest.instance().record, SLOT_COUNTRY_CODE), std::string(200, 'Q'));
    }
  }
}

// A row's repairs count only when it wins.
TEST(SelectAndDecode, OnlyTheWinningRowsRepairsAreReported) {
  DecoderEntry repairing = row(0, 57, decodeOneSlot);
  repairing.repairs = kRepairSeparatorsRestored;
  const std::pair<std::vector<DecoderEntry>, RepairSet> kCases[] = {
      {{repairing, row(0, 3, decodeTwoSlots)}, 0},
      {{repairing, row(1, 7, decodeRejects)}, kRepairSeparatorsRestored},
  };
  for (const auto& [rows, repairs] : kCases) {
    Contest contest;
    EXPECT_EQ(contest.run(rows, "text"), kStatusOk);
    EXPECT_EQ(contest.instance().repairs, repairs);
  }
}

// Every row reads accented letters as ASCII: capitals after the normaliser, case kept after the plain copy, one
// letter per place for the rows that cut fields at fixed places. The winner reports only what its own text needed.
TEST(SelectAndDecode, EveryRowReadsAccentedLettersAsAscii) {
  const std::string input =
      "\x01 Jos\xC3\xA9 Stra\xDF"
      "e\r\n";
  struct Case {
    DecoderEntry winner;
    RepairSet repairs;
  };
  const Case kCases[] = {
      {row(4, 51, decodeOneSlot, prepareCopy), kRepairLettersTransliterated},
      {row(1, 0, decodeOneSlot, normaliseInput), kRepairLettersTransliterated | kRepairLeadingBytesSkipped},
  };
  for (const bool ownBuffers : {false, true}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(::testing::Message() << (ownBuffers ? "instance buffers" : "separate buffers") << ", winner "
                                        << c.winner.id);
      const DecoderEntry rows[] = {
          row(1, 0, decodeLogsAndRejects, normaliseInput),
          row(0, 27, decodeLogsAndRejects, prepareCopy),
          fixedPlaces(row(2, 44, decodeLogsAndRejects, prepareCopy)),
          fixedPlaces(row(3, 46, decodeLogsAndRejects, normaliseInput)),
          row(1, 3, decodeLogsAndRejects, normaliseInput),
          c.winner,
      };
      Contest contest(ownBuffers);
      for (int parse = 0; parse < 2; ++parse) {
        seenTexts.clear();
        ASSERT_EQ(contest.run(rows, input), kStatusOk);
        const std::vector<std::string> expected = {"JOSE STRASSE", "\x01 Jose Strasse\r\n", "\x01 Jose Strase\r\n",
                                                   "JOSE STRASE", "JOSE STRASSE"};
        EXPECT_EQ(seenTexts, expected);
        EXPECT_EQ(contest.instance().record.decoderId, c.winner.id);
        EXPECT_EQ(contest.instance().repairs, c.repairs);
        contest.instance().repairs = 0;  // as a parse entry would clear it
      }
    }
  }
}

// The contest as plainly as it can be written: every row prepares its own text into the one work buffer, the
// issuer agreement takes the same buffer as scratch, and the winner runs a second time.
Status plainContest(std::string_view input, std::vector<char>& work, FieldRecord& record, ParserInstance& instance) {
  const auto inputLength = static_cast<std::int32_t>(input.size());
  const auto room = static_cast<std::int32_t>(work.size()) - 1;
  const auto run = [&](const DecoderEntry& row) -> Status {
    std::int32_t length = 0;
    RepairSet repairs = 0;
    const Status prepared =
        row.prepare == normaliseInput
            ? normaliseInputReporting(input.data(), inputLength, work.data(), room, &length, &repairs)
            : row.prepare(input.data(), inputLength, work.data(), room, &length);
    if (prepared != kStatusOk) return prepared;
    if (row.prepare != prepareCopy)
      for (char& c : std::span(work.data(), static_cast<std::size_t>(length)))
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (row.mendFraming != nullptr) repairs |= row.mendFraming(work.data(), length, room, work.data(), &length);
    bool changed = false;
    length =
        transliterateLetters(work.data(), length, room,
                             {.upperCase = row.prepare != prepareCopy, .onePlaceEach = row.readsFixedPlaces}, &changed);
    if (changed) repairs |= kRepairLettersTransliterated;
    work[static_cast<std::size_t>(length)] = '\0';
    EXPECT_EQ(resetRecord(record), kStatusOk);
    // No early tests here: the fast contest skips a row on its screen, so agreeing with this one proves the screens.
    const Status status = row.decodeEditing != nullptr ? row.decodeEditing(work.data(), length, record, instance)
                                                       : row.decode(work.data(), length, record, instance);
    if (status == kStatusOk) record.repairs |= repairs;
    return status;
  };
  const DecoderEntry* best = nullptr;
  std::int32_t bestScore = -9999;
  for (const DecoderEntry& row : decoderRegistry()) {
    if (row.prepare == nullptr || (row.decode == nullptr && row.decodeEditing == nullptr) || run(row) != kStatusOk)
      continue;
    std::int32_t filled = 0;
    for (const FieldSlot& slot : record.slots) filled += slot.filled() ? 1 : 0;
    if (filled == 0) continue;
    const std::int32_t score = filled + issuerAgreement(row, record, work.data(), room);
    if (score > bestScore) {
      best = &row;
      bestScore = score;
    }
  }
  if (best == nullptr) return kStatusNoDecoder;
  if (Status s = run(*best); s != kStatusOk) return s;
  record.group = best->group;
  record.decoderId = best->id;
  for (std::int32_t i = 0; i < record.arenaUsed; ++i)
    if (record.arena[i] != 0 && (static_cast<unsigned char>(record.arena[i]) < 32 || record.arena[i] > 126))
      record.arena[i] = ' ';
  return kStatusOk;
}

// The golden inputs and readers' variations of them: lower case, CR LF and spelled line ends, cuts, doubling, a
// scanner's prefix.
std::vector<std::string> contestInputs() {
  std::vector<std::string> inputs;
  for (const std::string& text : testing::goldenTexts()) {
    if (text.empty()) continue;
    std::string lower = text;
    std::string crlf;
    std::string spelled;
    for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    for (const char c : text) {
      crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
      spelled += c == '\n' ? std::string("[0A]") : std::string(1, c);
    }
    for (std::string variant : {text, lower, crlf, spelled, text.substr(0, text.size() / 2), text + text, "]L2" + text})
      if (!variant.empty()) inputs.push_back(std::move(variant));
  }
  inputs.push_back(std::string(9000, 'z') + inputs.front());  // grows the buffers halfway through
  return inputs;
}

// A mend that rewrites every text it is given, so a test can tell who read the mended one.
RepairSet mendToMended(const char*, std::int32_t, std::int32_t, char* edit, std::int32_t* editedLength) {
  if (edit != nullptr) {
    std::memcpy(edit, "MENDED", 7);
    *editedLength = 6;
  }
  return kRepairSeparatorsRestored;
}

// Rows that follow each other with the same needs share the text made ready for them; a row with other needs gets
// its own, and one made in the scratch room is made again once an editing decoder or the issuer agreement has
// written there.
TEST(SelectAndDecode, EachRowReadsTheTextItsOwnNeedsMake) {
  DecoderEntry mending = row(1, 0, decodeLogsAndRejects, normaliseInput);
  mending.mendFraming = mendToMended;
  const DecoderEntry rows[] = {
      mending,
      row(1, 3, decodeLogsAndRejects, normaliseInput),
      fixedPlaces(row(3, 46, decodeLogsAndRejects, normaliseInput)),
      row(1, 4, decodeLogsAndRejects, normaliseInput),
      {.group = 1, .id = 11, .prepare = normaliseInput, .decodeEditing = decodeEditsAndRejects},
      row(1, 5, decodeLogsAndRejects, normaliseInput),
      {.group = 0, .id = 26, .prepare = normaliseInput, .decode = decodeLongCountryCode, .expectedCountry = "CAN"},
      row(1, 6, decodeLogsAndRejects, normaliseInput),
      mending,
  };
  const std::string input = "Stra\xDF" "e\r\n";
  const std::vector<std::string> expected = {"MENDED",   "STRASSE", "STRASE", "STRASSE",
                                             "STRASSE",  "STRASSE", "STRASSE", "MENDED"};
  for (const bool ownBuffers : {false, true}) {
    SCOPED_TRACE(ownBuffers ? "instance buffers" : "separate buffers");
    Contest contest(ownBuffers);
    seenTexts.clear();
    ASSERT_EQ(contest.run(rows, input), kStatusOk);
    EXPECT_EQ(seenTexts, expected);
  }
}

TEST(ParseBuffer, GivesWhatThePlainContestGives) {
  const DateTime now{.year = 2024, .month = 6, .day = 15, .hour = 12};
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  const std::vector<std::string> inputs = contestInputs();
  ASSERT_GT(inputs.size(), 100u);
  std::int32_t accepted = 0;
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.substr(0, 60));
    const Status status = parseBufferAt(instance, input.data(), static_cast<std::int32_t>(input.size()), now);
    const auto size = static_cast<std::size_t>(instance->textBufferSize);
    std::vector<char> work(size);
    std::vector<char> arena(size, '#');
    ParserInstance plain;
    plain.now = now;
    ASSERT_EQ(initRecord(plain.record, arena.data(), static_cast<std::int32_t>(size)), kStatusOk);
    ASSERT_EQ(plainContest(input, work, plain.record, plain), status);
    accepted += status == kStatusOk ? 1 : 0;

    const FieldRecord& fast = instance->record;
    EXPECT_EQ(fast.group, plain.record.group);
    EXPECT_EQ(fast.decoderId, plain.record.decoderId);
    EXPECT_EQ(fast.arenaUsed, plain.record.arenaUsed);
    EXPECT_EQ(fast.repairs, plain.record.repairs);
    EXPECT_TRUE(std::equal(arena.begin(), arena.end(), fast.arena, fast.arena + fast.arenaSize)) << "arena bytes";
    EXPECT_EQ(&findJurisdictionCorrection(fast), &findJurisdictionCorrection(plain.record));  // looked up afresh
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
      const FieldSlot& a = fast.slots[slot];
      const FieldSlot& b = plain.record.slots[slot];
      EXPECT_EQ(a.length, b.length) << slot;
      EXPECT_EQ(a.text == nullptr ? -1 : a.text - fast.arena, b.text == nullptr ? -1 : b.text - arena.data()) << slot;
    }
  }
  EXPECT_GT(accepted, 50);
  destroyInstance(instance);
}

TEST(ParseBuffer, LeavesTheSecondArenaZero) {
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  const std::string input = "%CASAN FRANCISCO^SAMPLE$MICHAEL^123 MAIN ST^?;6360141234567=250119800102?";
  ASSERT_EQ(parseBufferAt(instance, input.data(), static_cast<std::int32_t>(input.size()), DateTime{2024, 6, 15}),
            kStatusOk);
  ASSERT_EQ(instance->spareBufferSize, 3 * instance->textBufferSize);
  const char* secondArena = instance->spareBuffer + 2 * instance->textBufferSize;
  EXPECT_EQ(std::count(secondArena, secondArena + instance->arenaBufferSize, '\0'), instance->arenaBufferSize);
  destroyInstance(instance);
}

TEST(SelectAndDecode, ArenaIsSanitisedAfterTheWin) {
  Contest contest;
  const DecoderEntry rows[] = {{.group = 3, .id = 46, .prepare = prepareEcho, .decode = decodeControlBytes}};
  ASSERT_EQ(contest.run(rows, "x"), kStatusOk);
  EXPECT_EQ(slotText(contest.instance().record, SLOT_FULL_NAME), "A B C ");
  const FieldRecord& record = contest.instance().record;
  for (std::int32_t i = 0; i < record.arenaUsed; ++i) {
    const auto byte = static_cast<unsigned char>(record.arena[i]);
    EXPECT_TRUE(byte == 0 || (byte >= 32 && byte <= 126)) << "arena byte " << i;
  }
}

TEST(ParseBuffer, BuffersGrowOnlyAndHoldEveryInputByte) {
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  const DateTime now{.year = 2024, .month = 6, .day = 15, .hour = 12};
  struct Step {
    std::int32_t inputLength, bufferSize;
  };
  // An input of 8191 bytes or more needs two bytes beyond itself: the normaliser's NUL and the driver's.
  constexpr Step kSteps[] = {{5000, 8192}, {8190, 8192}, {8191, 8193}, {10000, 10002}, {300, 10002}};
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.inputLength);
    const std::string input(static_cast<std::size_t>(step.inputLength), 'z');
    EXPECT_EQ(parseBufferAt(instance, input.data(), step.inputLength, now), kStatusNoDecoder);
    EXPECT_EQ(instance->textBufferSize, step.bufferSize);
    EXPECT_EQ(instance->arenaBufferSize, step.bufferSize);
    EXPECT_EQ(instance->record.arena, instance->arenaBuffer);
    EXPECT_EQ(instance->record.arenaSize, step.bufferSize);
    EXPECT_EQ(instance->now.year, 2024);

    // Both prepare kinds must deliver the last input byte to a decoder.
    std::string marked = input;
    marked.back() = 'Q';
    for (PrepareFunction prepare : {PrepareFunction{prepareCopy}, PrepareFunction{normaliseInput}}) {
      const DecoderEntry rows[] = {{.group = 0, .id = 1, .prepare = prepare, .decode = decodeOneSlot}};
      ASSERT_EQ(selectAndDecodeFrom(rows, marked.data(), step.inputLength, instance->textBuffer,
                                    instance->textBufferSize, &instance->record, *instance),
                kStatusOk);
      const std::string stored = slotText(instance->record, SLOT_FULL_NAME);
      EXPECT_EQ(stored.size(), static_cast<std::size_t>(step.inputLength));
      EXPECT_EQ(stored.back(), 'Q');
    }
  }
  destroyInstance(instance);
}

TEST(ParseBuffer, RefusesWhatItCannotParse) {
  EXPECT_EQ(parseBuffer(nullptr, "x", 1), kStatusBadArgument);
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(parseBuffer(instance, nullptr, 1), kStatusNoInput);
  EXPECT_EQ(parseBuffer(instance, "x", 0), kStatusEmptyInput);
  EXPECT_EQ(parseBuffer(instance, "x", -5), kStatusEmptyInput);
  EXPECT_GT(instance->now.year, 2000);  // the clock is sampled even when the input is refused
  EXPECT_EQ(parseBuffer(instance, "nothing explains this", 21), kStatusNoDecoder);
  destroyInstance(instance);
  destroyInstance(nullptr);
}

}  // namespace
}  // namespace quorix
