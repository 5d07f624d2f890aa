// Test support: parse, derive every result field as the binding does, and check what a caller may rely on.
#include "unit/support/parse_outcome.h"

#include <gtest/gtest.h>
#include <quorix/result_fields.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quorix::testing {
namespace {

bool isPrintable(char c) { return c >= 32 && c <= 126; }

}  // namespace

ParseOutcome parseAndDerive(ParserInstance& instance, std::string_view text) {
  ParseOutcome outcome;
  outcome.status = parseBufferAt(&instance, text.data(), static_cast<std::int32_t>(text.size()), kOutcomeNow);
  const Status refusal = text.empty() ? kStatusEmptyInput : kStatusNoDecoder;
  if (outcome.status != kStatusOk) {
    EXPECT_EQ(outcome.status, refusal) << "a parse returned a status it cannot have";
    return outcome;
  }
  outcome.fields = "decoder=" + std::to_string(instance.record.decoderId) + "\n";
  char* const out = instance.textBuffer;
  const auto outSize = static_cast<std::size_t>(instance.textBufferSize);
  for (const ResultField& field : kResultFields) {
    const std::string name(field.javaName);
    if (field.flag != nullptr) {
      std::int32_t flag = -1;
      if (field.flag(instance.record, &flag) != kStatusOk) continue;
      EXPECT_TRUE(flag == 0 || flag == 1) << name << " gave " << flag;
      outcome.fields += name + "=" + std::to_string(flag) + "\n";
      continue;
    }
    std::memset(out, '#', outSize);
    if (field.text(instance.record, out, instance.textBufferSize) != kStatusOk) continue;
    const auto* nul = static_cast<const char*>(std::memchr(out, '\0', outSize));
    if (nul == nullptr) {
      ADD_FAILURE() << name << " has no NUL inside the buffer";
      continue;
    }
    const std::string value(static_cast<const char*>(out), nul);
    EXPECT_TRUE(std::all_of(value.begin(), value.end(), isPrintable)) << name << " is not printable: " << value;
    outcome.fields += name + "=" + value + "\n";
  }
  return outcome;
}

}  // namespace quorix::testing
