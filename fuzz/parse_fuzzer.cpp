// The whole parse as a caller sees it: one long-lived instance, then every result field, derived once into the
// instance's own text buffer as the binding does and once into 16 bytes, where every text has to be cut.
#include <cstddef>
#include <cstdint>

#include "core/instance.h"
#include "fuzz/fuzz_support.h"

using namespace quorix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One instance for the whole run, so each input also meets what the inputs before it left behind.
  static ParserInstance* const instance = createInstance();
  fuzz::require(instance != nullptr, "no instance");
  if (size > 1 << 20) return 0;
  const Status status =
      parseBufferAt(instance, reinterpret_cast<const char*>(data), static_cast<std::int32_t>(size), fuzz::kFuzzNow);
  if (size == 0) {
    fuzz::require(status == kStatusEmptyInput, "an empty input was not reported as empty");
    return 0;
  }
  fuzz::require(status == kStatusOk || status == kStatusNoDecoder, "a parse returned a status it cannot have");
  if (status != kStatusOk) return 0;
  fuzz::require(fuzz::isRegistryRow(instance->record.group, instance->record.decoderId),
                "the winner is stamped with a group and id that no registry row has");
  fuzz::checkSlots(instance->record, true);
  fuzz::deriveAll(instance->record, instance->textBufferSize);
  fuzz::deriveAll(instance->record, 16);
  return 0;
}
