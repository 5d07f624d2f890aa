// The checks and drivers shared by the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <quorix/result_fields.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "core/registry.h"
#include "decoders/aamva/aamva_framing.h"

namespace quorix::fuzz {
namespace {

bool isPrintable(char c) { return c >= 32 && c <= 126; }

// A text result must end inside its buffer and hold printable ASCII only.
void checkText(const char* out, std::int32_t outSize, std::string_view field) {
  const void* nul = std::memchr(out, '\0', static_cast<std::size_t>(outSize));
  require(nul != nullptr, "no NUL inside the buffer from", field);
  const auto length = static_cast<std::int32_t>(static_cast<const char*>(nul) - out);
  require(std::all_of(out, out + length, isPrintable), "a byte outside printable ASCII from", field);
}

}  // namespace

void require(bool condition, const char* what, std::string_view field) {
  if (condition) return;
  // An empty field has no data pointer, and printf must not see a null one even for zero characters.
  const char* name = field.empty() ? "" : field.data();
  std::fprintf(stderr, "fuzz check failed: %s %.*s\n", what, static_cast<int>(field.size()), name);
  std::abort();
}

bool isRegistryRow(std::int32_t group, std::int32_t decoderId) {
  const auto rows = decoderRegistry();
  return std::any_of(rows.begin(), rows.end(),
                     [&](const DecoderEntry& row) { return row.group == group && row.id == decoderId; });
}

void checkSlots(const FieldRecord& record, bool sanitised) {
  require(record.arenaUsed >= 0 && record.arenaUsed <= record.arenaSize, "the arena is overused");
  for (const FieldSlot& slot : record.slots) {
    if (!slot.filled()) continue;
    require(slot.text >= record.arena && slot.length <= record.arenaUsed &&
                slot.text - record.arena <= record.arenaUsed - slot.length,
            "a slot points outside the used arena");
    if (sanitised) require(std::all_of(slot.text, slot.text + slot.length, isPrintable), "a slot is not printable");
  }
}

void sanitiseArena(FieldRecord& record) {
  for (std::int32_t i = 0; i < record.arenaUsed; ++i) {
    const auto byte = static_cast<unsigned char>(record.arena[i]);
    if (byte != 0 && (byte < 32 || byte > 126)) record.arena[i] = ' ';
  }
  for (FieldSlot& slot : record.slots) {
    if (!slot.filled()) continue;
    std::replace(slot.text, slot.text + slot.length, '\0', ' ');
  }
}

void deriveAll(const FieldRecord& record, std::int32_t outSize) {
  const auto out = std::make_unique<char[]>(static_cast<std::size_t>(outSize));
  for (const ResultField& field : kResultFields) {
    if (field.flag != nullptr) {
      std::int32_t flag = -1;
      const Status status = field.flag(record, &flag);
      require(status <= 0, "a positive status from", field.javaName);
      if (status == kStatusOk) require(flag == 0 || flag == 1, "neither 0 nor 1 from", field.javaName);
      continue;
    }
    // Filled with a printable byte, so a derivation that reports success without writing its NUL is caught.
    std::memset(out.get(), '#', static_cast<std::size_t>(outSize));
    const Status status = field.text(record, out.get(), outSize);
    require(status <= 0, "a positive status from", field.javaName);
    if (status == kStatusOk) checkText(out.get(), outSize, field.javaName);
  }
}

void fuzzFamily(std::int32_t group, const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 20) return;
  const auto length = static_cast<std::int32_t>(size);
  // Exactly the input and its NUL, so ASan reports a decoder that reads past either.
  std::vector<char> text(size + 1);
  if (size > 0) std::memcpy(text.data(), data, size);
  const std::int32_t arenaSize = std::max(length + 2, 8192);
  std::vector<char> arena(static_cast<std::size_t>(arenaSize));
  // The AAMVA rows also read the text with its framing mended, as the parse hands it to them: in a buffer with just
  // the room the mend may grow into.
  std::vector<char> mended(size + 4);
  if (size > 0) std::memcpy(mended.data(), data, size);
  std::int32_t mendedLength = -1;
  if (group == kGroupAamva) {
    (void)reframeAamvaText(text.data(), length, length + 3, AamvaTextKind::kNormalised, mended.data(), &mendedLength);
    require(mendedLength <= length + 3, "the mended text outgrew its room");
  }
  ParserInstance instance;
  instance.now = kFuzzNow;
  for (int pass = 0; pass < (mendedLength >= 0 ? 2 : 1); ++pass) {
    for (const DecoderEntry& row : decoderRegistry()) {
      if (row.group != group || (row.decode == nullptr && row.decodeEditing == nullptr)) continue;
      require(initRecord(instance.record, arena.data(), arenaSize) == kStatusOk, "the record takes no arena");
      const bool plain = pass == 0;
      char* const rowText = plain ? text.data() : mended.data();
      const std::int32_t rowLength = plain ? length : mendedLength;
      // A row that edits its text does so in this buffer, as it would in its copy during a parse.
      const Status status = row.decodeEditing != nullptr
                                ? row.decodeEditing(rowText, rowLength, instance.record, instance)
                                : row.decode(rowText, rowLength, instance.record, instance);
      if (status != kStatusOk) {
        continue;
      }
      instance.record.group = row.group;
      instance.record.decoderId = row.id;
      checkSlots(instance.record, false);
      sanitiseArena(instance.record);
      checkSlots(instance.record, true);
      deriveAll(instance.record, 4096);
      deriveAll(instance.record, 16);
    }
  }
}

}  // namespace quorix::fuzz
