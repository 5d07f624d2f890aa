// Instances are independent: threads that each own one, parsing different documents at the same time, get exactly
// what a single thread gets. Built with the tsan preset this also shows that a parse shares no mutable state.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/instance.h"
#include "unit/support/golden_corpus.h"
#include "unit/support/parse_outcome.h"

namespace quorix {
namespace {

using testing::goldenDocuments;
using testing::parseAndDerive;

const std::size_t kDocumentCount = goldenDocuments().size();

// Each document, and the same document behind 70000 reader bytes so that buffers grow while others parse.
std::string inputFor(std::size_t index) {
  const std::string_view text = goldenDocuments()[index % kDocumentCount].text;
  if (index < kDocumentCount) return std::string(text);
  return std::string(70000, '\x01') + std::string(text);
}

TEST(Concurrency, InstancesOnSeveralThreadsMatchOneThread) {
  const std::size_t kInputs = kDocumentCount + 2;  // two of them long
  std::vector<std::string> expected(kInputs);
  {
    ParserInstance* instance = createInstance();
    ASSERT_NE(instance, nullptr);
    for (std::size_t i = 0; i < kInputs; ++i) expected[i] = parseAndDerive(*instance, inputFor(i)).fields;
    destroyInstance(instance);
  }
  for (const std::string& fields : expected) ASSERT_FALSE(fields.empty()) << "every sample must parse";

  constexpr std::int32_t kThreads = 4;
  constexpr std::int32_t kRounds = 12;
  std::atomic<std::int32_t> mismatches{0};
  std::atomic<std::int32_t> parses{0};
  std::vector<std::thread> threads;
  for (std::int32_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ParserInstance* instance = createInstance();
      if (instance == nullptr) return;
      // Every thread starts at another document, so different texts are in flight at once.
      for (std::int32_t round = 0; round < kRounds; ++round) {
        for (std::size_t step = 0; step < kInputs; ++step) {
          const std::size_t i = (step + static_cast<std::size_t>(t) * 3) % kInputs;
          if (parseAndDerive(*instance, inputFor(i)).fields != expected[i]) ++mismatches;
          ++parses;
        }
      }
      destroyInstance(instance);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(parses.load(), kThreads * kRounds * static_cast<std::int32_t>(kInputs));
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace quorix
