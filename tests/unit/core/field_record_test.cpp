// The field record: filtered copies, the append rule at the arena's end, the setters' slot checks, reset and the
// first-filled lookup.
#include "core/field_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_utils.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::slotText;

TextSpan span(std::string_view text) { return TextSpan{text.data(), static_cast<std::int32_t>(text.size())}; }

// A record over an arena of the given size, pre-filled so that bytes the setters must not write stand out.
struct ArenaRecord {
  explicit ArenaRecord(std::int32_t size) : arena(static_cast<std::size_t>(size), '#') {
    EXPECT_EQ(initRecord(record, arena.data(), size), kStatusOk);
  }
  std::vector<char> arena;
  FieldRecord record;
};

TEST(CopyFiltered, ExcludeReplaceAndSqueeze) {
  struct Case {
    std::string_view source;
    const char* exclude;
    const char* squeeze;
    char replacement;
    std::int32_t capacity;
    std::string_view copied;
  };
  // clang-format off
  const Case kCases[] = {
      {"A  B", nullptr, " ", 0, 16, "A B"},
      {"A--B", "-", " ", ' ', 16, "A B"},  // the replacement's run collapses too
      {"ABAB", nullptr, "AB", 0, 16, "ABAB"},  // only equal neighbours collapse
      {"ABCDEF", "", "", 0, 3, "ABC"},
      {"---", "-", nullptr, 0, 16, ""},
      {"ABC", nullptr, nullptr, 0, 0, ""},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.source);
    std::string dst(16, '#');
    const std::int32_t n = copyFiltered(dst.data(), c.capacity, span(c.source), c.exclude, c.squeeze, c.replacement);
    EXPECT_EQ(dst.substr(0, static_cast<std::size_t>(n)), c.copied);
    EXPECT_EQ(dst[static_cast<std::size_t>(n)], '#');  // no NUL
  }
  std::string dst(8, '#');
  EXPECT_EQ(copyFilteredIf(dst.data(), 8, span("A\t\tB\x80"), isNotGraphic, isBlank, ' '), 4);
  EXPECT_EQ(dst.substr(0, 4), "A B ");
  EXPECT_EQ(copyFilteredIf(dst.data(), 8, span("A  B"), nullptr, nullptr, ' '), 4);
  EXPECT_EQ(copyFiltered(nullptr, 8, span("AB"), nullptr, nullptr, 0), 0);
}

TEST(FieldRecordSetters, AppendRuleAtTheEndOfAnEightByteArena) {
  struct Step {
    std::int32_t slot;
    std::string_view value;
    std::string_view stored;
    std::int32_t arenaUsed;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  // clang-format off
  const Case kCases[] = {
      {"cut at the end, no NUL", {{1, "ABCDEFGHIJ", "ABCDEFGH", 8}, {2, "K", "", 8}}},
      {"NUL while it leaves a byte", {{1, "ABCDEF", "ABCDEF", 7}, {2, "XY", "X", 8}, {3, "Z", "", 8}}},
      {"last NUL place stays free", {{1, "ABCDEFG", "ABCDEFG", 7}, {2, "XY", "X", 8}}},
      {"same slot twice", {{4, "AB", "AB", 3}, {4, "CD", "CD", 6}}},
      {"empty value clears", {{4, "AB", "AB", 3}, {4, "", "", 3}}},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ArenaRecord r(8);
    for (const Step& step : c.steps) {
      SCOPED_TRACE(step.value);
      ASSERT_NE(setSlotText(r.record, step.slot, std::string(step.value).c_str()), nullptr);
      EXPECT_EQ(slotText(r.record, step.slot), step.stored);
      EXPECT_EQ(r.record.arenaUsed, step.arenaUsed);
      if (step.stored.empty()) {
        EXPECT_EQ(r.record.slots[step.slot].text, nullptr);
        EXPECT_EQ(r.record.slots[step.slot].length, 0);
      }
    }
  }
}

// The filters are copyFiltered's; the value lands in the arena, never pointing into the source.
TEST(FieldRecordSetters, ValuesAreFilteredCopiesInTheArena) {
  ArenaRecord r(64);
  ASSERT_NE(setSlotText(r.record, 7, "OLD"), nullptr);
  std::string source = "A--B";
  FieldSlot* slot = setSlot(r.record, 7, span(source), "-", " ", ' ');
  ASSERT_EQ(slot, &r.record.slots[7]);
  source.assign(source.size(), '?');
  EXPECT_EQ(slotText(r.record, 7), "A B");
  EXPECT_GE(slot->text, r.arena.data());
  EXPECT_LE(slot->text + slot->length, r.arena.data() + r.arena.size());
  EXPECT_EQ(slot->text[slot->length], '\0');
  EXPECT_EQ(setSlot(r.record, 7, span("---"), "-", nullptr, 0), &r.record.slots[7]);
  EXPECT_FALSE(r.record.slots[7].filled());  // nothing left after the filter clears the slot
}

// The stripe readers filter with classes where they used predicates: both give the same value, every byte through,
// in runs that are squeezed and cut at a small arena's end.
TEST(FieldRecordSetters, ClassFilterGivesWhatThePredicateFilterGives) {
  const struct {
    std::uint32_t keep;
    CharPredicate excluded;
  } kPairs[] = {{kClassToken, isNotTokenChar}, {kClassId, isNotIdChar}};
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += {static_cast<char>(c), static_cast<char>(c), 'A'};
  for (const auto& pair : kPairs) {
    for (const std::int32_t arenaSize : {40, 4096}) {
      ArenaRecord byPredicate(arenaSize);
      ArenaRecord byClass(arenaSize);
      setSlotIf(byPredicate.record, 7, span(bytes), pair.excluded, isBlank, ' ');
      setSlotKeeping(byClass.record, 7, span(bytes), pair.keep, kClassBlank, ' ');
      EXPECT_EQ(slotText(byClass.record, 7), slotText(byPredicate.record, 7));
      EXPECT_EQ(byClass.record.arenaUsed, byPredicate.record.arenaUsed);
    }
  }
}

TEST(FieldRecordSetters, SlotNumbersOutsideTheCatalogueChangeNothing) {
  const DateTime date{.year = 2016, .month = 5, .day = 4};
  auto producer = [](const void*, char* destination, std::int32_t) -> std::int32_t {
    destination[0] = 'P';
    return 1;
  };
  for (const std::int32_t slot : {-1, kSlotCount, 1000, INT32_MIN}) {
    SCOPED_TRACE(slot);
    ArenaRecord r(32);
    const std::vector<char> before = r.arena;
    EXPECT_EQ(setSlot(r.record, slot, span("AB"), nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(setSlotIf(r.record, slot, span("AB"), nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(setSlotText(r.record, slot, "AB"), nullptr);
    EXPECT_EQ(setSlotProduced(r.record, slot, nullptr, producer), nullptr);
    EXPECT_EQ(setSlotDate(r.record, slot, date), nullptr);
    EXPECT_EQ(r.record.arenaUsed, 0);
    EXPECT_EQ(r.arena, before);
  }
  ArenaRecord r(32);
  EXPECT_NE(setSlotText(r.record, kSlotCount - 1, "AB"), nullptr);
  EXPECT_EQ(setSlotText(r.record, 0, nullptr), nullptr);
  EXPECT_EQ(setSlotProduced(r.record, 0, nullptr, nullptr), nullptr);
}

TEST(FieldRecordSetters, ProducerIsHeldToItsRoom) {
  struct Case {
    std::int32_t reported, arenaSize;
    std::string_view stored;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {3, 16, "PPP"},
      {0, 16, ""},
      {99, 7, "PPPP"},
      {-5, 16, ""},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.reported);
    ArenaRecord r(c.arenaSize);
    const auto producer = [](const void* context, char* destination, std::int32_t room) -> std::int32_t {
      std::memset(destination, 'P', static_cast<std::size_t>(room));
      return *static_cast<const std::int32_t*>(context);
    };
    setSlotText(r.record, 3, "AB");  // the producer starts behind a value
    setSlotProduced(r.record, 9, &c.reported, producer);
    EXPECT_EQ(slotText(r.record, 9), c.stored);
    EXPECT_LE(r.record.arenaUsed, r.record.arenaSize);
    // It wrote its whole room, also behind the count it gave: the reset must clear that as well.
    ASSERT_EQ(resetRecord(r.record), kStatusOk);
    EXPECT_EQ(r.arena, std::vector<char>(static_cast<std::size_t>(c.arenaSize), '\0'));
  }
}

TEST(FieldRecordSetters, DatesAreEightDigits) {
  struct Case {
    DateTime date;
    std::int32_t arenaSize;
    std::string_view stored;
  };
  // clang-format off
  constexpr Case kCases[] = {
      {{9999, 12, 31}, 8, "99991231"},  // exactly eight free bytes: no NUL behind
      {{999, 1, 2}, 16, "09990102"},
      {{10000, 100, 0}, 16, "00000000"},  // too wide for its place: zeros
      {{-5, -1, 99}, 16, "-005-199"},     // a sign takes a place of its own
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.stored);
    ArenaRecord r(c.arenaSize);
    ASSERT_NE(setSlotDate(r.record, 21, c.date), nullptr);
    EXPECT_EQ(slotText(r.record, 21), c.stored);
  }
  ArenaRecord r(16);
  ASSERT_NE(setSlotText(r.record, 21, "KEEP"), nullptr);  // 5 bytes used, 11 free
  ASSERT_NE(setSlotText(r.record, 22, "XXXX"), nullptr);  // 10 used, 6 free
  const std::int32_t used = r.record.arenaUsed;
  EXPECT_EQ(setSlotDate(r.record, 21, DateTime{.year = 2016, .month = 5, .day = 4}), nullptr);
  EXPECT_EQ(slotText(r.record, 21), "KEEP");  // too little room: the slot stays as it was
  EXPECT_EQ(r.record.arenaUsed, used);
}

TEST(FieldRecord, ResetClearsEverything) {
  ArenaRecord r(32);
  EXPECT_EQ(r.record.group, 5);
  EXPECT_EQ(r.record.decoderId, 56);
  EXPECT_EQ(r.arena, std::vector<char>(32, '\0'));  // init zeroes the arena

  setSlotText(r.record, 3, "ABC");
  setSlotText(r.record, 136, "XYZ");
  r.record.group = 0;
  r.record.decoderId = 17;
  ASSERT_EQ(resetRecord(r.record), kStatusOk);
  EXPECT_EQ(r.record.group, 5);
  EXPECT_EQ(r.record.decoderId, 56);
  EXPECT_EQ(r.record.arenaUsed, 0);
  EXPECT_EQ(r.arena, std::vector<char>(32, '\0'));
  for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
    EXPECT_EQ(r.record.slots[slot].text, nullptr) << slot;
    EXPECT_EQ(r.record.slots[slot].length, 0) << slot;
  }

  FieldRecord bare;
  EXPECT_EQ(resetRecord(bare), kStatusBadArgument);
  char arena[4];
  EXPECT_EQ(initRecord(bare, nullptr, 4), kStatusBadArgument);
  EXPECT_EQ(initRecord(bare, arena, 0), kStatusBadArgument);
  EXPECT_EQ(bare.arena, nullptr);  // a refused init leaves the record as it was
  EXPECT_EQ(bare.arenaSize, 0);
}

TEST(FieldRecord, FirstFilledSlotFollowsListOrder) {
  struct Case {
    std::vector<std::int32_t> filled;
    std::vector<std::int32_t> list;
    Status status;
    std::string_view value;
  };
  // clang-format off
  const Case kCases[] = {
      {{34}, {4, 34}, kStatusOk, "S34"},
      {{4, 34}, {34, 4}, kStatusOk, "S34"},
      {{}, {4, 34}, kStatusNoSlot, ""},
      {{4}, {}, kStatusNoSlot, ""},
      {{4}, {-1, 137, 4}, kStatusOk, "S4"},  // numbers outside the catalogue are passed over
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.list));
    ArenaRecord r(64);
    for (const std::int32_t slot : c.filled) {
      std::string text = std::to_string(slot);  // gcc 12 warns falsely on "S" + string under -O2
      text.insert(text.begin(), 'S');
      setSlotText(r.record, slot, text.c_str());
    }
    TextSpan out{};
    EXPECT_EQ(firstFilledSlot(r.record, c.list.data(), static_cast<std::int32_t>(c.list.size()), &out), c.status);
    EXPECT_EQ(out.view(), c.value);
  }
}

}  // namespace
}  // namespace quorix
