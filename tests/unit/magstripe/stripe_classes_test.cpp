// The class table of the stripe hooks stands in for the core predicates, its scanners for the core scanners and its
// stores for the slot setters' filters: each must give the same answer byte for byte.
#include "decoders/magstripe/stripe_classes.h"

#include <gtest/gtest.h>
#include <quorix/field_record.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/text_utils.h"
#include "decoders/magstripe/magstripe_pipeline.h"

namespace quorix {
namespace {

// Where a span points, relative to the text it was cut from, so that empty spans compare by position too.
std::string where(TextSpan span, const char* base) {
  if (span.data == nullptr) return "null";
  return std::to_string(span.data - base) + "+" + std::to_string(span.length);
}

TEST(StripeClasses, EveryClassIsItsCorePredicateForAll256Bytes) {
  const struct {
    const char* name;
    std::uint32_t bit;
    CharPredicate predicate;
  } kClasses[] = {
      {"code", kClassCode, isAlnumOrUnderscore},
      {"city", kClassCity, isCityChar},
      {"name", kClassName, isNameChar},
      {"address", kClassAddress, isAddressChar},
      {"street", kClassStreet, isStreetChar},
      {"token", kClassToken, isTokenChar},
      {"word", kClassWord, isWordChar},
      {"id", kClassId, isIdChar},
      {"blank", kClassBlank, isBlank},
      {"space", kClassSpace, isStripeSpace},
      {"digit", kClassDigit, isStripeDigit},
      {"letter", kClassLetter, isStripeLetter},
      {"upper or space", kClassUpperOrSpace, isUpperOrSpace},
      {"digit or space", kClassDigitOrSpace, isDigitOrSpace},
  };
  for (const auto& cls : kClasses) {
    SCOPED_TRACE(cls.name);
    for (int byte = 0; byte < 256; ++byte) {
      const auto c = static_cast<char>(byte);
      ASSERT_EQ(inClass(c, cls.bit), cls.predicate(static_cast<signed char>(c)) != 0) << "byte " << byte;
    }
  }
}

TEST(StripeClasses, EverySetHoldsExactlyItsBytes) {
  const struct {
    std::uint32_t bit;
    std::string_view bytes;
  } kSets[] = {
      {kSetCityTrim, "-.'/\\ \t$^?"}, {kSetAddressTrim, "_-'\\/"}, {kSetLineBreak, "\r\n"},
      {kSetLineEdge, "\r\n "},        {kSetQuoteOrSpace, " \""},   {kSetCaret, "^"},
      {kSetBlankSpace, " "},          {kSetTrack3Sentinel, "%#+"},
  };
  for (const auto& set : kSets) {
    SCOPED_TRACE(std::string(set.bytes));
    for (int byte = 0; byte < 256; ++byte) {
      const auto c = static_cast<char>(byte);
      ASSERT_EQ(inClass(c, set.bit), set.bytes.find(c) != std::string_view::npos) << "byte " << byte;
    }
  }
}

// The texts the scanners meet: runs at the start, in the middle and at the end, short runs before long ones, runs
// longer than the cap, high bytes.
// clang-format off
const std::string_view kScanTexts[] = {
    "", "A", "AB", "A^", "^A", "A^BC^D", "CAOAKLAND^DOE$JOHN^1 MAIN", "^^^^^", "A-B C.D/E", "1234567=25", "12 34^",
    "\x80\xff" "AB", "AB\x80" "CD", "A^B^C^D^EFGHIJKLMNOPQRSTUVWXYZ", "  X  ", "X", "_9", "$$$$A$$",
    "12345678901234567890123"};
// clang-format on

TEST(StripeClasses, ScannersKeepTheCoreRulesForRunsThatCount) {
  const struct {
    std::uint32_t bit;
    CharPredicate predicate;
  } kPairs[] = {{kClassCode, isAlnumOrUnderscore},
                {kClassCity, isCityChar},
                {kClassName, isNameChar},
                {kClassDigit, isStripeDigit}};
  const std::int32_t kLimits[][2] = {{1, 1}, {1, 13}, {2, 2}, {2, 15}, {5, 11}, {7, 19}, {1, 255}};
  for (std::string_view text : kScanTexts) {
    const TextSpan span{text.empty() ? nullptr : text.data(), static_cast<std::int32_t>(text.size())};
    for (const auto& pair : kPairs) {
      for (const auto& limit : kLimits) {
        SCOPED_TRACE(std::string(text) + " " + std::to_string(limit[0]) + ".." + std::to_string(limit[1]));
        TextSpan coreRun{}, coreRest{}, run{}, rest{};
        EXPECT_EQ(leadingRunOf(span, pair.bit, limit[0], limit[1], &run, &rest),
                  leadingRunIf(span, pair.predicate, limit[0], limit[1], &coreRun, &coreRest) != 0);
        EXPECT_EQ(where(run, text.data()), where(coreRun, text.data()));
        EXPECT_EQ(where(rest, text.data()), where(coreRest, text.data()));
        run = rest = coreRun = coreRest = TextSpan{};
        EXPECT_EQ(findRunOf(span, pair.bit, limit[0], limit[1], &run, &rest),
                  findRunIf(span, pair.predicate, limit[0], limit[1], &coreRun, &coreRest) != 0);
        EXPECT_EQ(where(run, text.data()), where(coreRun, text.data()));
        EXPECT_EQ(where(rest, text.data()), where(coreRest, text.data()));
      }
    }
  }
}

TEST(StripeClasses, TrimsKeepTheCoreTrims) {
  for (std::string_view text : kScanTexts) {
    SCOPED_TRACE(std::string(text));
    const TextSpan span{text.empty() ? nullptr : text.data(), static_cast<std::int32_t>(text.size())};
    TextSpan mine = span, core = span;
    trimClass(&mine, kSetCityTrim);
    trimChars(&core, "-.'/\\ \t$^?");
    EXPECT_EQ(where(mine, text.data()), where(core, text.data()));
    mine = core = span;
    trimLeftClass(&mine, kSetCaret);
    trimLeftChars(&core, "^");
    EXPECT_EQ(where(mine, text.data()), where(core, text.data()));
    mine = core = span;
    trimClass(&mine, kClassSpace);
    trimIf(&core, isStripeSpace);
    EXPECT_EQ(where(mine, text.data()), where(core, text.data()));
    mine = core = span;
    trimOutsideClass(&mine, kClassToken);
    trimIf(&core, isNotTokenChar);
    EXPECT_EQ(where(mine, text.data()), where(core, text.data()));
  }
}

// Two records with arenas of the same size, one written by the stripe store and one by the setter.
struct RecordPair {
  explicit RecordPair(std::int32_t arenaSize)
      : mineArena(std::make_unique<char[]>(static_cast<std::size_t>(arenaSize))),
        coreArena(std::make_unique<char[]>(static_cast<std::size_t>(arenaSize))) {
    EXPECT_EQ(initRecord(mine, mineArena.get(), arenaSize), kStatusOk);
    EXPECT_EQ(initRecord(core, coreArena.get(), arenaSize), kStatusOk);
  }
  void expectSame() const {
    ASSERT_EQ(mine.arenaUsed, core.arenaUsed);
    EXPECT_EQ(std::memcmp(mine.arena, core.arena, static_cast<std::size_t>(mine.arenaUsed)), 0);
    EXPECT_EQ(mine.slotsWritten[0], core.slotsWritten[0]);
    for (std::int32_t i = 0; i < kSlotCount; ++i) {
      EXPECT_EQ(mine.slots[i].length, core.slots[i].length) << "slot " << i;
      EXPECT_EQ(mine.slots[i].text == nullptr ? -1 : mine.slots[i].text - mine.arena,
                core.slots[i].text == nullptr ? -1 : core.slots[i].text - core.arena)
          << "slot " << i;
    }
  }
  std::unique_ptr<char[]> mineArena, coreArena;
  FieldRecord mine, core;
};

TEST(StripeClasses, FilteredStoreWritesWhatTheSetterWould) {
  const StripeFilter kFilters[] = {{kClassWord, kClassBlank, ' ', isNotWordChar, isBlank},
                                   {kClassToken, kClassBlank, ' ', isNotTokenChar, isBlank},
                                   {kClassId, kClassBlank, ' ', isNotIdChar, isBlank},
                                   {kClassDigit, kClassSpace, '\0', isNotDigit, isStripeSpace}};
  std::string longValue;
  for (int i = 0; i < 40; ++i) longValue += "12 MAIN$$ST  ";  // 520 bytes: the setter's own filter takes it
  const std::string_view kValues[] = {"",          "OAKLAND",  "SAN  JOSE$", "123 MAIN ST$APT 4",         "$$$",
                                      "\x80X\x80", "  A  B  ", longValue,    std::string_view("A\0BC", 4)};
  for (const std::int32_t arenaSize : {4096, 9, 2}) {
    for (const StripeFilter& filter : kFilters) {
      for (std::string_view value : kValues) {
        SCOPED_TRACE(std::to_string(arenaSize) + " " + std::string(value.substr(0, 20)));
        RecordPair records(arenaSize);
        const TextSpan span{value.empty() ? nullptr : value.data(), static_cast<std::int32_t>(value.size())};
        // A value already in the arena first, so the new one lands behind it.
        storePlain(records.mine, SLOT_CLASS, TextSpan{"C", 1});
        setSlot(records.core, SLOT_CLASS, TextSpan{"C", 1}, nullptr, nullptr, '\0');
        storeFiltered(records.mine, SLOT_CITY, span, filter);
        setSlotIf(records.core, SLOT_CITY, span, filter.excludeIf, filter.squeezeIf, filter.replacement);
        records.expectSame();
      }
    }
  }
}

TEST(StripeClasses, CheckedDateStoreWritesWhatTheSetterWould) {
  const DateTime kDates[] = {{.year = 1980, .month = 1, .day = 15},
                             {.year = 9999, .month = 12, .day = 31},
                             {.year = 1000, .month = 2, .day = 1}};
  // 8 bytes do not fit behind "C" and its NUL in an arena of 9; the setter then writes nothing at all.
  for (const std::int32_t arenaSize : {4096, 11, 10, 9}) {
    for (const DateTime& date : kDates) {
      SCOPED_TRACE(std::to_string(arenaSize) + " " + std::to_string(date.year));
      RecordPair records(arenaSize);
      storePlain(records.mine, SLOT_CLASS, TextSpan{"C", 1});
      setSlot(records.core, SLOT_CLASS, TextSpan{"C", 1}, nullptr, nullptr, '\0');
      records.mine.correctionRow = records.core.correctionRow = 7;
      storeCheckedDate(records.mine, SLOT_BIRTH_DATE, date);
      setSlotDate(records.core, SLOT_BIRTH_DATE, date);
      records.expectSame();
      EXPECT_EQ(records.mine.correctionRow, records.core.correctionRow);
    }
  }
}

}  // namespace
}  // namespace quorix
