// Creating, using and destroying instances returns every byte: a process that makes one parser per document must
// not grow. The heap is measured through the sanitizer's allocator where one is linked, else through glibc.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/instance.h"
#include "unit/support/golden_corpus.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUORIX_SANITIZER_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUORIX_SANITIZER_ALLOCATOR 1
#endif
#ifdef QUORIX_SANITIZER_ALLOCATOR
// Exported by the sanitizer runtimes of both gcc and clang; gcc ships no header declaring it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace quorix {
namespace {

std::size_t heapInUse() {
#ifdef QUORIX_SANITIZER_ALLOCATOR
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // small blocks in the arenas plus the large ones glibc maps on its own
#endif
}

// One instance's life: created, grown by a long input, reused for a short one, destroyed.
bool liveOneInstance(const std::string& longInput, std::string_view shortInput) {
  ParserInstance* instance = createInstance();
  if (instance == nullptr) return false;
  const bool parsed =
      parseBuffer(instance, longInput.data(), static_cast<std::int32_t>(longInput.size())) == kStatusOk &&
      parseBuffer(instance, shortInput.data(), static_cast<std::int32_t>(shortInput.size())) == kStatusOk;
  destroyInstance(instance);
  return parsed;
}

TEST(InstanceMemory, CreateParseDestroyReturnsEveryByte) {
  const std::string_view document = testing::goldenDocuments().front().text;
  const std::string longInput = std::string(20000, '\x01') + std::string(document);
  for (std::int32_t i = 0; i < 20; ++i) ASSERT_TRUE(liveOneInstance(longInput, document));

  // Each life takes about 40 KB of buffers and a record of a few KB, so a leak of either shows as megabytes
  // after 200 lives; the allowance only covers the allocator's own bookkeeping.
  const std::size_t before = heapInUse();
  std::int32_t failures = 0;
  for (std::int32_t i = 0; i < 200; ++i) failures += liveOneInstance(longInput, document) ? 0 : 1;
  const std::size_t after = heapInUse();
  EXPECT_EQ(failures, 0);
  EXPECT_LT(after, before + 64 * 1024) << "the heap grew from " << before << " to " << after << " bytes";
}

TEST(InstanceMemory, LimitRefusesLongInputsBeforeAnyBufferGrows) {
  const std::string_view document = testing::goldenDocuments().front().text;
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  instance->maxInputLength = static_cast<std::int32_t>(document.size());
  EXPECT_EQ(parseBuffer(instance, document.data(), instance->maxInputLength), kStatusOk);
  const std::int32_t grownTo = instance->textBufferSize;
  const std::string longer = std::string(document) + std::string(20000, ' ');
  EXPECT_EQ(parseBuffer(instance, longer.data(), static_cast<std::int32_t>(longer.size())), kStatusInputTooLarge);
  EXPECT_EQ(instance->textBufferSize, grownTo);
  destroyInstance(instance);
}

TEST(InstanceMemory, LargeBuffersAreReleasedAndSmallOnesKept) {
  const std::string_view document = testing::goldenDocuments().front().text;
  ParserInstance* instance = createInstance();
  ASSERT_NE(instance, nullptr);
  instance->maxInputLength = 4 << 20;
  ASSERT_EQ(parseBuffer(instance, document.data(), static_cast<std::int32_t>(document.size())), kStatusOk);
  const char* smallBuffer = instance->textBuffer;
  releaseLargeBuffers(instance);
  EXPECT_EQ(instance->textBuffer, smallBuffer);
  EXPECT_EQ(instance->record.decoderId, testing::goldenDocuments().front().decoderId);

  const std::string longInput = std::string(2 << 20, '\x01') + std::string(document);
  ASSERT_EQ(parseBuffer(instance, longInput.data(), static_cast<std::int32_t>(longInput.size())), kStatusOk);
  EXPECT_GT(instance->textBufferSize, kLargeBufferSize);
  releaseLargeBuffers(instance);
  EXPECT_EQ(instance->textBuffer, nullptr);
  EXPECT_EQ(instance->spareBufferSize, 0);
  EXPECT_EQ(instance->maxInputLength, 4 << 20);
  ASSERT_EQ(parseBuffer(instance, document.data(), static_cast<std::int32_t>(document.size())), kStatusOk);
  EXPECT_LE(instance->textBufferSize, 8192);
  destroyInstance(instance);
}

}  // namespace
}  // namespace quorix
