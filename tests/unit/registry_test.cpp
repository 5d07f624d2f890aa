// The registry's declarations against the decoders they describe. A row's screen lets the contest skip its decoder,
// so a screen that turns away a text its decoder would read loses a reading without a trace; this holds every
// screened row to that over the whole golden corpus and the cuts and case changes readers make of it.
#include "core/registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/instance.h"
#include "core/normalise.h"
#include "core/transliterate.h"
#include "unit/support/golden_corpus.h"

namespace quorix {
namespace {

std::vector<std::string> screenInputs() {
  std::vector<std::string> inputs;
  for (const std::string& text : testing::goldenTexts()) {
    std::string upper = text;
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    inputs.push_back(upper);
    for (std::size_t cut = 1; cut < text.size(); cut += 1 + cut / 3) inputs.push_back(text.substr(0, cut));
    inputs.push_back(text);
  }
  return inputs;
}

// Each row reads the inputs one after the other into one record.
class Registry : public ::testing::Test {
 protected:
  static constexpr std::int32_t kArenaSize = 1 << 16;
  const std::vector<std::string> inputs = screenInputs();
  const std::unique_ptr<char[]> arena = std::make_unique<char[]>(kArenaSize);
  ParserInstance instance;
};

TEST_F(Registry, NoScreenTurnsAwayATextItsDecoderReads) {
  std::int32_t screened = 0;
  for (const DecoderEntry& row : decoderRegistry()) {
    if (row.screen == nullptr) continue;
    ++screened;
    std::int32_t passed = 0;
    std::int32_t turnedAway = 0;
    for (const std::string& input : inputs) {
      // The text as the row's own preparation gives it; the editing decoders write into it.
      std::string text(input.size() * 2 + 64, '\0');
      std::int32_t length = 0;
      if (row.prepare(input.data(), static_cast<std::int32_t>(input.size()), text.data(),
                      static_cast<std::int32_t>(text.size()) - 1, &length) != kStatusOk)
        continue;
      text.resize(static_cast<std::size_t>(length));
      if (row.prepare != prepareCopy)
        for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      ASSERT_EQ(initRecord(instance.record, arena.get(), kArenaSize), kStatusOk);
      if (row.screen(text.c_str(), length)) {
        ++passed;
        continue;
      }
      ++turnedAway;
      const Status status = row.decodeEditing != nullptr
                                ? row.decodeEditing(text.data(), length, instance.record, instance)
                                : row.decode(text.c_str(), length, instance.record, instance);
      EXPECT_NE(status, kStatusOk) << "row " << row.id << " screens away a text it reads: " << input.substr(0, 60);
    }
    // A screen that passes everything or nothing over the corpus is not being tested here.
    EXPECT_GT(passed, 0) << "row " << row.id;
    EXPECT_GT(turnedAway, 0) << "row " << row.id;
  }
  EXPECT_GT(screened, 0);
}

// The row's whole reading of an input, as the contest gives it the text, but with no screen or mark to skip it.
Status readWholly(const DecoderEntry& row, const std::string& input, FieldRecord& record, ParserInstance& instance) {
  const auto room = static_cast<std::int32_t>(input.size() * 2 + 64);
  std::string text(static_cast<std::size_t>(room) + 1, '\0');
  std::int32_t length = 0;
  if (Status s = row.prepare(input.data(), static_cast<std::int32_t>(input.size()), text.data(), room, &length);
      s != kStatusOk)
    return s;
  if (row.prepare != prepareCopy)
    for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  if (row.mendFraming != nullptr) (void)row.mendFraming(text.data(), length, room, text.data(), &length);
  length =
      transliterateLetters(text.data(), length, room,
                           {.upperCase = row.prepare != prepareCopy, .onePlaceEach = row.readsFixedPlaces}, nullptr);
  text[static_cast<std::size_t>(length)] = '\0';
  return row.decodeEditing != nullptr ? row.decodeEditing(text.data(), length, record, instance)
                                      : row.decode(text.data(), length, record, instance);
}

// A row with a mark is offered only inputs whose prepared text may hold it, so it must read none without it.
TEST_F(Registry, NoRowReadsATextWithoutItsMark) {
  std::int32_t marked = 0;
  for (const DecoderEntry& row : decoderRegistry()) {
    if (row.mark == '\0') continue;
    ++marked;
    std::int32_t without = 0;
    for (const std::string& input : inputs) {
      if (mayPrepareByte(input.data(), static_cast<std::int32_t>(input.size()), row.mark)) continue;
      ++without;
      ASSERT_EQ(initRecord(instance.record, arena.get(), kArenaSize), kStatusOk);
      EXPECT_NE(readWholly(row, input, instance.record, instance), kStatusOk)
          << "row " << row.id << " reads a text without " << row.mark << ": " << input.substr(0, 60);
    }
    EXPECT_GT(without, 0) << "row " << row.id;
  }
  EXPECT_GT(marked, 0);
}

}  // namespace
}  // namespace quorix
