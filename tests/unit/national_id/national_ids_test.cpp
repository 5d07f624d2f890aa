// The national identity card decoders. What each card layout stores and where each chain stops is in the golden
// corpus, and the fuzz replay runs every golden text through every national decoder from an exact copy; here are
// the texts the golden corpus cannot hold.
#include "decoders/national_id/national_ids.h"

#include <gtest/gtest.h>

#include <string_view>

#include "unit/support/record_builder.h"

namespace quorix {
namespace {

// A scanner's symbology identifier in front of a Mexican card is read as part of the name, so these two texts are
// kept here rather than as rejected golden cases, which must stay rejected behind one.
TEST(MexicoId, ShortOrLowerCaseNamesAreRejected) {
  for (std::string_view text : {"A Fec Nac. 1/2/1980", "perez juan Fec Nac. 1/2/1980"}) {
    SCOPED_TRACE(text);
    auto built = testing::RecordBuilder().build();
    ParserInstance instance;
    EXPECT_EQ(decodeMexicoId(text.data(), static_cast<std::int32_t>(text.size()), built.record, instance),
              kStatusNoDecoder);
    EXPECT_EQ(built.record.arenaUsed, 0);
  }
}

}  // namespace
}  // namespace quorix
