// Tracks read once per contest: a stripe row that gets what an earlier row's hooks wrote reading the same bytes must
// end with exactly the record it would have made by reading the tracks itself, wherever its arena has room left.
#include <gtest/gtest.h>
#include <quorix/parser.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/field_record.h"
#include "core/instance.h"
#include "core/registry.h"
#include "decoders/magstripe/magstripe_pipeline.h"
#include "unit/support/golden_corpus.h"

namespace quorix {
namespace {

// What a decode leaves: its status, every slot (null ones as "-"), the arena's accounting and the written bits.
using Decoded = std::vector<std::string>;

Decoded decode(const DecoderEntry& row, char* text, std::int32_t length, ParserInstance& instance,
               std::size_t arenaSize = 4096) {
  std::vector<char> arena(arenaSize);
  FieldRecord record;
  EXPECT_EQ(initRecord(record, arena.data(), static_cast<std::int32_t>(arena.size())), kStatusOk);
  // A row that edits its text gets a copy, as the selection gives it.
  std::vector<char> copy(text, text + length + 1);
  const Status status = row.decodeEditing != nullptr ? row.decodeEditing(copy.data(), length, record, instance)
                                                     : row.decode(text, length, record, instance);
  Decoded out = {std::to_string(status), std::to_string(record.arenaUsed), std::to_string(record.arenaTouched)};
  for (const std::uint64_t word : record.slotsWritten) out.push_back(std::to_string(word));
  for (const FieldSlot& slot : record.slots)
    out.emplace_back(slot.text != nullptr ? std::string(slot.text, static_cast<std::size_t>(slot.length)) : "-");
  return out;
}

std::vector<const DecoderEntry*> stripeRows() {
  std::vector<const DecoderEntry*> rows;
  for (const DecoderEntry& row : decoderRegistry())
    if (row.group == kGroupMagstripe) rows.push_back(&row);
  return rows;
}

ParserInstance instanceAt(std::uint64_t serial) {
  ParserInstance instance;
  instance.now = DateTime{.year = 2030, .month = 1, .day = 15, .hour = 10};
  instance.contestSerial = serial;
  return instance;
}

TEST(SharedTracks, EveryPairOfStripeRowsLeavesTheRecordOfADecodeAlone) {
  const std::vector<const DecoderEntry*> rows = stripeRows();
  ASSERT_EQ(rows.size(), 17u);
  std::int32_t compared = 0;
  for (const std::string& golden : testing::goldenTexts()) {
    if (golden.find_first_of("%;") == std::string::npos) continue;
    std::string text = golden;
    const auto length = static_cast<std::int32_t>(text.size());
    // The second row's arena ends where its values are cut or left out, at one of the later tracks or the first.
    for (const std::size_t arenaSize : {std::size_t{4096}, std::size_t{40}, std::size_t{90}}) {
      for (const DecoderEntry* second : rows) {
        ParserInstance alone = instanceAt(0);
        const Decoded expected = decode(*second, text.data(), length, alone, arenaSize);
        for (const DecoderEntry* first : rows) {
          ParserInstance shared = instanceAt(7);
          (void)decode(*first, text.data(), length, shared);
          ASSERT_EQ(decode(*second, text.data(), length, shared, arenaSize), expected) << golden;
          ++compared;
        }
      }
    }
  }
  EXPECT_GT(compared, 3 * 17 * 17 * 20);
}

TEST(SharedTracks, ARowThatCutsTheSameTracksReadsNothingAgain) {
  std::string text =
      "%VARICHMOND^SAMPLEFORD$JORDAN$ALEXANDER^1234 EXAMPLE AVENUE APT 5B^?;6360001234567890=290819900412?"
      "%! 232190000  D           NONE1510180BROBRO?";
  const auto length = static_cast<std::int32_t>(text.size());
  const auto byId = [](std::int32_t id) -> const DecoderEntry& {
    const std::vector<const DecoderEntry*> rows = stripeRows();
    return **std::find_if(rows.begin(), rows.end(), [id](const DecoderEntry* row) { return row->id == id; });
  };
  // Id 4 cuts all three tracks from this text and finds a fields area in track 3.
  ParserInstance instance = instanceAt(7);
  const Decoded first = decode(byId(4), text.data(), length, instance);
  EXPECT_EQ(instance.nextKept, 3);
  EXPECT_EQ(decode(byId(4), text.data(), length, instance), first);
  EXPECT_EQ(instance.nextKept, 3);
  // Another contest reads the three again.
  instance.contestSerial = 8;
  EXPECT_EQ(decode(byId(4), text.data(), length, instance), first);
  EXPECT_EQ(instance.nextKept, 6 % kKeptWorkEntries);
}

// The slots that the licence layout's hooks of one stage write over a span.
using LayoutHooks = std::vector<MagstripeSpanHook MagstripeDecoder::*>;
std::vector<std::string> layoutFields(const LayoutHooks& hooks, const std::string& text) {
  std::vector<char> arena(512);
  FieldRecord record;
  EXPECT_EQ(initRecord(record, arena.data(), static_cast<std::int32_t>(arena.size())), kStatusOk);
  ParserInstance instance = instanceAt(0);
  MagstripeDecoder decoder;
  initMagstripeDecoder(decoder, record, instance);
  for (const auto hook : hooks) (decoder.*hook)(decoder, TextSpan{text.data(), static_cast<std::int32_t>(text.size())});
  std::vector<std::string> out;
  for (const FieldSlot& slot : record.slots)
    out.emplace_back(slot.text != nullptr ? std::string(slot.text, static_cast<std::size_t>(slot.length)) : "-");
  return out;
}

// Rows that cut a track with and without what follows it (an end sentinel, the next track) share its reading only
// because the layout's hooks stop at their reach: whatever stands behind it must change nothing.
TEST(SharedTracks, TheLayoutsHooksReadNothingBehindTheirReach) {
  const LayoutHooks area = {&MagstripeDecoder::readClass,  &MagstripeDecoder::readRestrictions,
                            &MagstripeDecoder::readEndorsements, &MagstripeDecoder::readSex,
                            &MagstripeDecoder::readHeight, &MagstripeDecoder::readWeight,
                            &MagstripeDecoder::readHairColor, &MagstripeDecoder::readEyeColor};
  const LayoutHooks track1 = {&MagstripeDecoder::readJurisdiction, &MagstripeDecoder::readCity,
                              &MagstripeDecoder::readName, &MagstripeDecoder::readAddress};
  const LayoutHooks track2 = {&MagstripeDecoder::readIin, &MagstripeDecoder::readLicenseNumber,
                              &MagstripeDecoder::readDates};
  const auto areaReach = [](const std::string&) { return kLayoutAreaReach; };
  const auto readsTo = [](std::int32_t (*reach)(TextSpan)) {
    return [reach](const std::string& text) {
      return reach(TextSpan{text.data(), static_cast<std::int32_t>(text.size())});
    };
  };
  const auto track1Reach = readsTo(layoutTrack1Reach);
  const auto track2Reach = readsTo(layoutTrack2Reach);
  struct Case {
    const LayoutHooks* hooks;
    std::function<std::int32_t(const std::string&)> reach;
    std::string text;
  };
  const Case cases[] = {
      {&area, areaReach, "D           NONE1510180BROBRO"},
      {&area, areaReach, "CDM  B       HT  F507150BLNGRN"},
      {&area, areaReach, "A1234567890ABCDEFGHI99999ZZZYY"},
      {&track1, track1Reach, "VARICHMOND^SAMPLEFORD$JORDAN$ALEXANDER^1234 EXAMPLE AVENUE APT 5B^"},
      {&track1, track1Reach, "NYNEW YORK CITYDOE$JANE^12 W 4TH ST #5^"},
      // Rests too short for a further code pair, city or name: a longer track must not make them long enough.
      {&track1, track1Reach, "CAAB^DOE$J^1^"},
      {&track1, track1Reach, "TXDALLAS^ROE$R^X^"},
      // No address: bytes behind the name that an address may hold would be one.
      {&track1, track1Reach, "VARICHMOND^DOE$JOHN^"},
      {&track2, track2Reach, "6360001234567890=290819900412"},
      // Licence numbers of 14 to 18 digits carry what is over 13 behind the dates.
      {&track2, track2Reach, "63602512345678901=2508199004121"},
      {&track2, track2Reach, "636025123456789012=250819900412123"},
      {&track2, track2Reach, "6360251234567890123=25081990041212345"},
      // Too short for a licence number: only the dates are read.
      {&track2, track2Reach, "63602=290819900412"},
  };
  for (const Case& c : cases) {
    const std::int32_t reach = c.reach(c.text);
    ASSERT_GT(reach, 0) << c.text;
    const std::string read = c.text.substr(0, static_cast<std::size_t>(reach));
    const std::vector<std::string> expected = layoutFields(*c.hooks, read);
    // The span's own values are found, or the comparison would prove nothing.
    EXPECT_GE(std::count_if(expected.begin(), expected.end(), [](const std::string& v) { return v != "-"; }), 2)
        << read;
    for (const std::string tail : {"?", "BLU", "  99 X?", "?%! 232190000  D", "123456789012345678901234567890",
                                   "=1234", "ZZZZZZZZ", "^?;=%!", "^^^^^^^^^^?", "-.-"}) {
      const std::string longer = read + tail;
      // A tail of digits lengthens the overflow that the reach takes in; it is read then, and that is its reach.
      if (c.reach(longer) != reach) continue;
      EXPECT_EQ(layoutFields(*c.hooks, longer), expected) << read << tail;
    }
  }
}

TEST(SharedTracks, NothingIsKeptOutsideAContest) {
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  const std::string text = "%VARICHMOND^DOE$JOHN^1 MAIN ST^?;6360001234567890=290819900412?";
  EXPECT_EQ(parseBuffer(instance, text.data(), static_cast<std::int32_t>(text.size())), kStatusOk);
  EXPECT_EQ(instance->contestSerial, 0u);
  destroyInstance(instance);
}

}  // namespace
}  // namespace quorix
