// Test support for the stripe decoders: a record with its own arena, a clock fixed by the test, and the text
// copied into a buffer of exactly its length, so that a read past the end shows up under the sanitizers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/field_record.h"
#include "core/instance.h"
#include "decoders/magstripe/magstripe_pipeline.h"
#include "unit/support/record_builder.h"

namespace quorix::testing {

class StripeFixture {
 public:
  explicit StripeFixture(std::int32_t year = 2024, std::int32_t arenaSize = 4096)
      : arena_(std::make_unique<char[]>(static_cast<std::size_t>(arenaSize))) {
    instance.now = DateTime{.year = year, .month = 6, .day = 15, .hour = 12};
    EXPECT_EQ(initRecord(record, arena_.get(), arenaSize), kStatusOk);
    initMagstripeDecoder(decoder, record, instance);
  }

  // A span over a private copy of text with nothing behind it.
  TextSpan span(std::string_view text) {
    buffers_.push_back(std::make_unique<char[]>(text.empty() ? 1 : text.size()));
    char* copy = buffers_.back().get();
    if (!text.empty()) text.copy(copy, text.size());
    return text.empty() ? TextSpan{} : TextSpan{copy, static_cast<std::int32_t>(text.size())};
  }

  [[nodiscard]] std::string slot(std::int32_t number) const { return slotText(record, number); }
  [[nodiscard]] std::int32_t filledSlots() const { return testing::filledSlots(record); }

  ParserInstance instance;
  FieldRecord record;
  MagstripeDecoder decoder;

 private:
  std::unique_ptr<char[]> arena_;
  std::vector<std::unique_ptr<char[]>> buffers_;
};

inline std::string spanText(TextSpan span) {
  return span.filled() ? std::string(span.data, static_cast<std::size_t>(span.length)) : std::string();
}

}  // namespace quorix::testing
