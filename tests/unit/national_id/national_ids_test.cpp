// The national identity card decoders, run whole on every national identity card of the golden corpus (which holds
// what each layout stores and where each chain stops): every value lands in the arena, none points into the text.
#include "decoders/national_id/national_ids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/registry.h"
#include "unit/support/golden_corpus.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;
using testing::slotText;

struct Decoded {
  Status status = 0;
  std::string slots;  // "slot=value" of every filled slot in slot order, joined by ";"
};

// Decodes from an exactly sized heap copy, so a read past the end is caught, and wipes the copy before reading the
// record back, so a slot pointing into the text is caught too.
Decoded decode(DecodeFunction decoder, std::string_view text, std::int32_t arenaSize = 8192) {
  auto built = RecordBuilder(arenaSize).build();
  ParserInstance instance;
  const auto copy = std::make_unique<char[]>(text.size());
  std::memcpy(copy.get(), text.data(), text.size());
  Decoded decoded;
  decoded.status = decoder(copy.get(), static_cast<std::int32_t>(text.size()), built.record, instance);
  std::memset(copy.get(), '#', text.size());
  const FieldRecord& record = built.record;
  for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
    const FieldSlot& value = record.slots[slot];
    if (!value.filled()) continue;
    EXPECT_TRUE(value.text >= record.arena && value.text + value.length <= record.arena + record.arenaSize) << slot;
    if (!decoded.slots.empty()) decoded.slots += ';';
    decoded.slots += std::to_string(slot) + "=" + slotText(record, slot);
  }
  return decoded;
}

// The decoder of each national identity card row, by its id.
DecodeFunction decoderFor(std::int32_t id) {
  constexpr DecodeFunction kDecoders[] = {decodeGuatemalaId, decodePuertoRicoId, decodePanamaId, decodeSouthAfricaId,
                                          decodeMexicoId};
  return id >= 51 && id <= 55 ? kDecoders[id - 51] : nullptr;
}

TEST(NationalIds, GoldenCardsDecodeIntoTheArenaFromExactCopies) {
  std::int32_t cards = 0;
  for (const auto& document : testing::goldenDocuments()) {
    const DecodeFunction decoder = decoderFor(document.decoderId);
    // Accented cards reach the decoders transliterated, which the parse does before any of them runs.
    if (decoder == nullptr || document.name.find("accents") != std::string::npos) continue;
    SCOPED_TRACE(document.name);
    ++cards;
    const Decoded decoded = decode(decoder, document.text);
    EXPECT_EQ(decoded.status, kStatusOk);
    EXPECT_FALSE(decoded.slots.empty());
  }
  EXPECT_GT(cards, 20);
}

// A scanner's symbology identifier in front of a Mexican card is read as part of the name, so these two texts are
// kept here rather than as rejected golden cases, which must stay rejected behind one.
TEST(MexicoId, ShortOrLowerCaseNamesAreRejected) {
  for (std::string_view text : {"A Fec Nac. 1/2/1980", "perez juan Fec Nac. 1/2/1980"}) {
    SCOPED_TRACE(text);
    const Decoded decoded = decode(decodeMexicoId, text);
    EXPECT_EQ(decoded.status, kStatusNoDecoder);
    EXPECT_EQ(decoded.slots, "");
  }
}

}  // namespace
}  // namespace quorix
