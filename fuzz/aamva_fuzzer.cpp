// The AAMVA barcode decoders, each offered every input directly, so a decoder is exercised even where another row would
// win the contest.
#include <cstddef>
#include <cstdint>

#include "core/instance.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quorix::fuzz::fuzzFamily(quorix::kGroupAamva, data, size);
  return 0;
}
