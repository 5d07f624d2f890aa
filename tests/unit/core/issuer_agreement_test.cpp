// Issuer agreement on its own, and its weight in the contest between rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/instance.h"
#include "core/normalise.h"
#include "core/selection.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;

using Slots = std::vector<std::pair<std::int32_t, std::string_view>>;

TEST(IssuerAgreement, PointsForEachExpectation) {
  struct Case {
    std::string_view label;
    const char* country;
    const char* jurisdiction;
    Slots slots;
    std::int32_t points;
  };
  const Case kCases[] = {
      {"no expectation", nullptr, nullptr, {{SLOT_COUNTRY_CODE, "USA"}}, 0},
      {"country matches", "CAN", nullptr, {{SLOT_COUNTRY_CODE, "CAN"}}, 100},
      {"country contradicts", "CAN", nullptr, {{SLOT_COUNTRY_CODE, "USA"}}, -1000},
      {"both match", "CAN", "AB", {{SLOT_COUNTRY_CODE, "CAN"}, {SLOT_JURISDICTION, "AB"}}, 150},
      {"both from the jurisdiction alone", "CAN", "AB", {{SLOT_JURISDICTION, "AB"}}, 150},
      {"both contradict", "CAN", "AB", {{SLOT_JURISDICTION, "NY"}}, -1500},
      {"country only contradicts", "CAN", "AB", {{SLOT_COUNTRY_CODE, "USA"}, {SLOT_JURISDICTION, "AB"}}, -950},
      {"jurisdiction only contradicts", "CAN", "AB", {{SLOT_JURISDICTION, "ON"}}, -400},
      {"lower-case jurisdiction", nullptr, "AB", {{SLOT_JURISDICTION, "ab"}}, -500},
      {"jurisdiction from the IIN", nullptr, "NC", {{SLOT_IIN, "636004"}}, 50},
      {"no jurisdiction found", nullptr, "NC", {{SLOT_FULL_NAME, "SMITH,JOHN"}}, 0},
      {"territory has no country code", "CAN", nullptr, {{SLOT_JURISDICTION, "PR"}}, 0},
      {"country name", "MEX", nullptr, {{SLOT_COUNTRY, "MEXICO"}}, 100},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    RecordBuilder builder;
    for (const auto& [slot, text] : c.slots) builder.set(slot, text);
    const auto record = builder.build();
    const DecoderEntry row{.expectedCountry = c.country, .expectedJurisdiction = c.jurisdiction};
    std::vector<char> work(64);
    EXPECT_EQ(issuerAgreement(row, record, work.data(), static_cast<std::int32_t>(work.size()) - 1), c.points);
  }
}

TEST(IssuerAgreement, UnusableScratchCountsAsNoValue) {
  const auto record = RecordBuilder().set(SLOT_COUNTRY_CODE, "USA").set(SLOT_JURISDICTION, "NY").build();
  const DecoderEntry row{.expectedCountry = "CAN", .expectedJurisdiction = "AB"};
  char scratch[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(issuerAgreement(row, record, nullptr, 16), 0);
  EXPECT_EQ(issuerAgreement(row, record, scratch, 0), 0);
  EXPECT_EQ(issuerAgreement(row, record, scratch, 1), 0);  // room for the terminator only
  EXPECT_EQ(scratch[1], '#');
}

// Five slots and a US issuer.
Status decodeUnitedStates(const char*, std::int32_t, FieldRecord& record, ParserInstance&) {
  for (const std::int32_t slot : {SLOT_FIRST_NAME, SLOT_FAMILY_NAME, SLOT_CITY, SLOT_STREET_1})
    setSlotText(record, slot, "X");
  setSlotText(record, SLOT_COUNTRY_CODE, "USA");
  return kStatusOk;
}
// Two slots and an Alberta issuer.
Status decodeAlberta(const char*, std::int32_t, FieldRecord& record, ParserInstance&) {
  setSlotText(record, SLOT_JURISDICTION, "AB");
  setSlotText(record, SLOT_FIRST_NAME, "X");
  return kStatusOk;
}
// One slot, no issuer.
Status decodeOneSlot(const char*, std::int32_t, FieldRecord& record, ParserInstance&) {
  setSlotText(record, SLOT_FIRST_NAME, "X");
  return kStatusOk;
}
// Twenty slots, no issuer.
Status decodeTwentySlots(const char*, std::int32_t, FieldRecord& record, ParserInstance&) {
  for (std::int32_t slot = 100; slot < 120; ++slot) setSlotText(record, slot, "X");
  return kStatusOk;
}

struct Contest {
  std::vector<char> work = std::vector<char>(512);
  std::unique_ptr<char[]> arena = std::make_unique<char[]>(512);
  ParserInstance instance;

  Contest() { EXPECT_EQ(initRecord(instance.record, arena.get(), 512), kStatusOk); }
  // The id of the winning row, or the failing status.
  std::int32_t winner(std::span<const DecoderEntry> rows) {
    const Status status = selectAndDecodeFrom(rows, "TEXT", 4, work.data(), static_cast<std::int32_t>(work.size()),
                                              &instance.record, instance);
    return status == kStatusOk ? instance.record.decoderId : status;
  }
};

TEST(IssuerAgreement, DecidesTheContest) {
  const DecoderEntry canadaUs{
      .group = 0, .id = 1, .prepare = prepareCopy, .decode = decodeUnitedStates, .expectedCountry = "CAN"};
  const DecoderEntry plainOne{.group = 0, .id = 2, .prepare = prepareCopy, .decode = decodeOneSlot};
  const DecoderEntry albertaAb{.group = 0,
                               .id = 3,
                               .prepare = prepareCopy,
                               .decode = decodeAlberta,
                               .expectedCountry = "CAN",
                               .expectedJurisdiction = "AB"};
  const DecoderEntry plainTwenty{.group = 0, .id = 4, .prepare = prepareCopy, .decode = decodeTwentySlots};
  struct Case {
    std::string_view label;
    std::vector<DecoderEntry> rows;
    std::int32_t winner;
  };
  const Case kCases[] = {
      {"contradicting row loses to any other", {canadaUs, plainOne}, 2},
      {"contradicting row loses even when earlier", {plainOne, canadaUs}, 2},
      {"contradicting row still wins alone", {canadaUs}, 1},
      {"matching issuer outweighs filled slots", {plainTwenty, albertaAb}, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    Contest contest;
    EXPECT_EQ(contest.winner(c.rows), c.winner);
  }
}

}  // namespace
}  // namespace quorix
