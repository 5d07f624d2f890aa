// The first track read once per parse: a stripe row that finds the record an earlier row left for the same track
// must end with exactly the record it would have made by reading the track itself.
#include <gtest/gtest.h>
#include <quorix/parser.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/field_record.h"
#include "core/instance.h"
#include "core/registry.h"
#include "unit/support/golden_corpus.h"

namespace quorix {
namespace {

struct Decoded {
  Status status = kStatusOk;
  std::vector<std::string> slots;
  std::int32_t arenaUsed = 0;
  std::int32_t arenaTouched = 0;
  std::uint64_t written[3] = {};

  bool operator==(const Decoded&) const = default;
};

class Row {
 public:
  explicit Row(const DecoderEntry& row) : row_(row) {}
  [[nodiscard]] std::int32_t id() const { return row_.id; }

  // Decodes text (the selection's buffer, or for a row that edits its text a copy of it, as the selection gives).
  Decoded decode(char* text, std::int32_t length, ParserInstance& instance) {
    std::vector<char> arena(4096);
    FieldRecord record;
    EXPECT_EQ(initRecord(record, arena.data(), static_cast<std::int32_t>(arena.size())), kStatusOk);
    std::vector<char> copy;
    Decoded out;
    if (row_.decodeEditing != nullptr) {
      copy.assign(text, text + length + 1);
      out.status = row_.decodeEditing(copy.data(), length, record, instance);
    } else {
      out.status = row_.decode(text, length, record, instance);
    }
    for (const FieldSlot& slot : record.slots)
      out.slots.emplace_back(slot.text != nullptr ? std::string(slot.text, static_cast<std::size_t>(slot.length)) : "-");
    out.arenaUsed = record.arenaUsed;
    out.arenaTouched = record.arenaTouched;
    std::memcpy(out.written, record.slotsWritten, sizeof out.written);
    return out;
  }

 private:
  const DecoderEntry& row_;
};

std::vector<Row> stripeRows() {
  std::vector<Row> rows;
  for (const DecoderEntry& row : decoderRegistry())
    if (row.group == kGroupMagstripe) rows.emplace_back(row);
  return rows;
}

ParserInstance instanceAt(std::uint64_t serial) {
  ParserInstance instance;
  instance.now = DateTime{.year = 2030, .month = 1, .day = 15, .hour = 10};
  instance.textSerial = serial;
  return instance;
}

TEST(SharedFirstTrack, EveryPairOfStripeRowsLeavesTheRecordOfADecodeAlone) {
  std::vector<Row> rows = stripeRows();
  ASSERT_EQ(rows.size(), 17u);
  std::int32_t compared = 0;
  for (const std::string& golden : testing::goldenTexts()) {
    if (golden.find_first_of("%;") == std::string::npos) continue;
    std::vector<char> text(golden.begin(), golden.end());
    text.push_back('\0');
    const auto length = static_cast<std::int32_t>(golden.size());
    for (Row& second : rows) {
      ParserInstance alone = instanceAt(0);
      const Decoded expected = second.decode(text.data(), length, alone);
      for (Row& first : rows) {
        ParserInstance shared = instanceAt(7);
        (void)first.decode(text.data(), length, shared);
        ASSERT_EQ(second.decode(text.data(), length, shared), expected) << golden;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 17 * 17 * 20);
}

TEST(SharedFirstTrack, ARowThatCutsTheSameTrackReadsNothingAgain) {
  std::string text =
      "%VARICHMOND^SAMPLEFORD$JORDAN$ALEXANDER^1234 EXAMPLE AVENUE APT 5B^?;6360001234567890=290819900412?"
      "%! 232190000  D           NONE1510180BROBRO?";
  const auto length = static_cast<std::int32_t>(text.size());
  std::vector<Row> rows = stripeRows();
  const auto byId = [&rows](std::int32_t id) -> Row& {
    return *std::find_if(rows.begin(), rows.end(), [id](const Row& row) { return row.id() == id; });
  };
  // Ids 4 and 7 cut the same first track from this text, without its closing "^"; id 0 keeps it.
  ParserInstance instance = instanceAt(7);
  ASSERT_EQ(byId(0).decode(text.data(), length, instance).status, kStatusOk);
  ASSERT_EQ(byId(4).decode(text.data(), length, instance).status, kStatusOk);
  const std::int32_t keptAfterFirst = instance.nextKept;
  EXPECT_EQ(keptAfterFirst, 2);
  ASSERT_EQ(byId(7).decode(text.data(), length, instance).status, kStatusOk);
  EXPECT_EQ(instance.nextKept, keptAfterFirst);

  // Under another serial the text may be another: the track is read again.
  instance.textSerial = 8;
  ASSERT_EQ(byId(7).decode(text.data(), length, instance).status, kStatusOk);
  EXPECT_NE(instance.nextKept, keptAfterFirst);
}

TEST(SharedFirstTrack, NothingIsKeptOutsideAContest) {
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  const std::string text = "%VARICHMOND^DOE$JOHN^1 MAIN ST^?;6360001234567890=290819900412?";
  EXPECT_EQ(parseBuffer(instance, text.data(), static_cast<std::int32_t>(text.size())), kStatusOk);
  EXPECT_EQ(instance->textSerial, 0u);
  destroyInstance(instance);
}

}  // namespace
}  // namespace quorix
