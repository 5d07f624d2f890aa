// The contest between registry rows, run over small fake registries, and the parse entry's buffer sizing.
#include "core/selection.h"

#include <gtest/gtest.h>
#include <quorix/parser.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/normalise.h"
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

struct Contest {
  std::vector<char> work = std::vector<char>(256);
  std::unique_ptr<char[]> arena = std::make_unique<char[]>(256);
  ParserInstance instance;

  Contest() { EXPECT_EQ(initRecord(instance.record, arena.get(), 256), kStatusOk); }
  Status run(std::span<const DecoderEntry> rows, std::string_view input) {
    return selectAndDecodeFrom(rows, input.data(), static_cast<std::int32_t>(input.size()), work.data(),
                               static_cast<std::int32_t>(work.size()), &instance.record, instance);
  }
};

TEST(SelectAndDecode, ArgumentsAreCheckedInOrder) {
  Contest contest;
  const DecoderEntry rows[] = {{.group = 0, .id = 1, .prepare = prepareEcho, .decode = decodeOneSlot}};
  FieldRecord noArena;
  EXPECT_EQ(selectAndDecodeFrom(rows, nullptr, 0, nullptr, 0, nullptr, contest.instance), kStatusNoInput);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 0, nullptr, 0, nullptr, contest.instance), kStatusEmptyInput);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, nullptr, 8, &contest.instance.record, contest.instance),
            kStatusBadArgument);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, contest.work.data(), 0, &contest.instance.record, contest.instance),
            kStatusBadArgument);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, contest.work.data(), 8, nullptr, contest.instance), kStatusBadArgument);
  EXPECT_EQ(selectAndDecodeFrom(rows, "x", 1, contest.work.data(), 8, &noArena, contest.instance), kStatusNoArena);
}

TEST(SelectAndDecode, WinnerIsStampedAndKeepsItsRecord) {
  struct Case {
    const char* name;
    std::vector<DecoderEntry> rows;
    Status status;
    std::int32_t group, id;
  };
  const Case cases[] = {
      {"tie goes to the earlier row",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = decodeOneSlot},
        {.group = 0, .id = 3, .prepare = prepareEcho, .decode = decodeOneSlot}},
       kStatusOk,
       1,
       7},
      {"more filled slots win",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = decodeOneSlot},
        {.group = 0, .id = 3, .prepare = prepareEcho, .decode = decodeTwoSlots}},
       kStatusOk,
       0,
       3},
      {"rejecting rows and failing prepares drop out",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = decodeRejects},
        {.group = 2, .id = 8, .prepare = prepareFails, .decode = decodeTwoSlots},
        {.group = 0, .id = 3, .prepare = prepareEcho, .decode = decodeOneSlot}},
       kStatusOk,
       0,
       3},
      {"a row that fills nothing does not win",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = decodeNothing},
        {.group = 0, .id = 3, .prepare = prepareEcho, .decode = decodeOneSlot}},
       kStatusOk,
       0,
       3},
      {"rows without a decoder are skipped",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = nullptr},
        {.group = 0, .id = 3, .prepare = prepareEcho, .decode = decodeOneSlot}},
       kStatusOk,
       0,
       3},
      {"only empty acceptances give no decoder",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = decodeNothing}},
       kStatusNoDecoder,
       5,
       56},
      {"nothing accepts",
       {{.group = 1, .id = 7, .prepare = prepareEcho, .decode = decodeRejects}},
       kStatusNoDecoder,
       5,
       56},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Contest contest;
    EXPECT_EQ(contest.run(c.rows, "text"), c.status);
    EXPECT_EQ(contest.instance.record.group, c.group);
    EXPECT_EQ(contest.instance.record.decoderId, c.id);
    if (c.status == kStatusOk) {
      EXPECT_EQ(slotText(contest.instance.record, SLOT_FULL_NAME), "TEXT");
    }
  }
}

TEST(SelectAndDecode, OnlyThePlainCopyKeepsLowerCase) {
  const std::string input = "MiXed case";
  for (const auto& [prepare, expected] :
       {std::pair{PrepareFunction{prepareCopy}, "MiXed case"}, std::pair{PrepareFunction{prepareEcho}, "MIXED CASE"}}) {
    Contest contest;
    const DecoderEntry rows[] = {{.group = 4, .id = 51, .prepare = prepare, .decode = decodeOneSlot}};
    ASSERT_EQ(contest.run(rows, input), kStatusOk);
    EXPECT_EQ(slotText(contest.instance.record, SLOT_FULL_NAME), expected);
  }
}

TEST(SelectAndDecode, ArenaIsSanitisedAfterTheWin) {
  Contest contest;
  const DecoderEntry rows[] = {{.group = 3, .id = 46, .prepare = prepareEcho, .decode = decodeControlBytes}};
  ASSERT_EQ(contest.run(rows, "x"), kStatusOk);
  EXPECT_EQ(slotText(contest.instance.record, SLOT_FULL_NAME), "A B C ");
  const FieldRecord& record = contest.instance.record;
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
