// Once an instance's buffers have grown, a parse must not allocate: operator new is replaced with a counter.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/instance.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(ParseAllocation, WarmInstanceParsesWithoutAllocating) {
  const std::string inputs[] = {
      "@\n\x1e\rANSI 636014040002DL00410278ZC03190008DLDAQD1234567\nDCSSAMPLE\nDACMICHAEL\nDBB01021980\n",
      "%CASAN FRANCISCO^SAMPLE$MICHAEL^123 MAIN ST^?;6360141234567=250119800102?",
      "no decoder explains this text",
      "GTM0012345|A|JUAN|CARLOS|PEREZ|GOMEZ|25/12/1980|01/06/2030|1234567890123|",
      "%VARICHMOND^SAMPLEFORD$JORDAN$ALEXANDER^1234 EXAMPLE AVENUE APT 5B^?;6360001234567890=290819900412?"
      "%! 232190000  D           NONE1510180BROBRO?",
  };
  quorix::ParserInstance* instance = quorix::createInstance();
  ASSERT_NE(instance, nullptr);
  for (const std::string& input : inputs) {
    (void)quorix::parseBuffer(instance, input.data(), static_cast<std::int32_t>(input.size()));
  }
  for (const std::string& input : inputs) {
    const long before = allocations.load();
    (void)quorix::parseBuffer(instance, input.data(), static_cast<std::int32_t>(input.size()));
    EXPECT_EQ(allocations.load() - before, 0) << input;
  }
  quorix::destroyInstance(instance);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
