// The two prepare functions over arbitrary bytes: with the room a parse gives them, and with a room taken from
// the input so that the cut paths run too. The output buffer is exactly room plus the NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/normalise.h"
#include "core/registry.h"
#include "fuzz/fuzz_support.h"

using namespace quorix;

namespace {

// Prepares into a buffer of room + 1 bytes and checks the contract; returns the length written.
std::int32_t prepareInto(PrepareFunction prepare, const char* input, std::int32_t length, std::int32_t room,
                         std::unique_ptr<char[]>& out) {
  out = std::make_unique<char[]>(static_cast<std::size_t>(room) + 1);
  std::int32_t written = -1;
  const Status status = prepare(input, length, out.get(), room, &written);
  if (prepare == prepareCopy && (length < 1 || room < 1)) {
    fuzz::require(status == kStatusBadArgument, "a copy without input or room was not refused");
    return 0;
  }
  fuzz::require(status == kStatusOk, "a prepare function failed on a valid call");
  fuzz::require(written >= 0 && written <= room, "a prepare function wrote more than its room");
  fuzz::require(out[static_cast<std::size_t>(written)] == '\0', "a prepared text has no NUL behind it");
  return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 20) return 0;
  const auto* input = reinterpret_cast<const char*>(data);
  const auto length = static_cast<std::int32_t>(size);
  // The room a parse gives: its text buffer holds the input and two more bytes, and at least 8192.
  const std::int32_t parseRoom = std::max(length + 2, 8192) - 1;
  const std::int32_t shortRoom = size > 0 ? data[0] % (length + 1) : 0;
  std::unique_ptr<char[]> out;

  const std::int32_t copied = prepareInto(prepareCopy, input, length, parseRoom, out);
  fuzz::require(copied == length && std::memcmp(out.get(), input, size) == 0, "a plain copy lost or changed bytes");
  prepareInto(prepareCopy, input, length, shortRoom, out);

  prepareInto(normaliseInput, input, length, parseRoom, out);
  prepareInto(normaliseInput, input, length, shortRoom, out);
  return 0;
}
