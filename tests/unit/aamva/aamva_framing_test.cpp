// Mending the framing of AAMVA texts: scanner prefixes, stray high bytes, damaged header separators.
#include "decoders/aamva/aamva_framing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {
namespace {

using namespace std::string_literals;

const std::string kHeader = "ANSI 636014080001DL00310022";
const std::string kBody = "DLDAQ1\nDCSMAMMA\nDAG2 MAIN\r";
const std::string kClean = "@\n\x1e\r" + kHeader + kBody;

struct Mended {
  RepairSet repairs = 0;
  std::string text;
};

// Mends a copy of text in place with room bytes; checks that the answer without editing is the same and that
// nothing is written past room + 1 bytes.
Mended mend(const std::string& text, AamvaTextKind kind = AamvaTextKind::kNormalised, std::int32_t room = 4096) {
  const auto length = static_cast<std::int32_t>(text.size());
  std::vector<char> buffer(static_cast<std::size_t>(std::max(room, length)) + 1 + 8, '#');
  std::copy(text.begin(), text.end(), buffer.begin());
  std::int32_t edited = -1;
  const RepairSet asked = reframeAamvaText(text.data(), length, room, kind, nullptr, nullptr);
  const RepairSet repairs = reframeAamvaText(buffer.data(), length, room, kind, buffer.data(), &edited);
  EXPECT_EQ(asked, repairs);
  for (std::size_t i = buffer.size() - 8; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '#');
  if (repairs == 0) {
    EXPECT_EQ(edited, -1);
    EXPECT_EQ(std::string(buffer.data(), text.size()), text) << "left untouched";
    return {0, text};
  }
  EXPECT_LE(edited, room);
  EXPECT_EQ(buffer[static_cast<std::size_t>(edited)], '\0');
  return {repairs, std::string(buffer.data(), static_cast<std::size_t>(edited))};
}

// The shapes a golden case reads whole (aamva/2014-prefix-*, 2014-header-separators-*, the stray-byte cases,
// rejected/aamva-prefix-17-bytes) are not repeated here.
TEST(ReframeAamvaText, MendsWhatScannersDamage) {
  const RepairSet kPrefix = kRepairPrefixRemoved;
  const RepairSet kStray = kRepairStrayBytesDropped;
  const RepairSet kHead = kRepairHeaderSeparatorsRepaired;
  struct Case {
    std::string name;
    std::string text;
    RepairSet repairs;
    std::string mended;
  };
  const Case kCases[] = {
      {"clean", kClean, 0, kClean},
      {"no file-type word", "]L2@\n\x1e\rXNSI 6360" + kBody, 0, ""},
      {"no separator in the header, some in the body", "@" + kHeader + kBody, kHead, kClean},
      {"body separated by carriage returns", "@AC" + kHeader + "DLDAQ1\rDCSX\r", kHead,
       "@\r\x1e\n" + kHeader + "DLDAQ1\rDCSX\r"},
      {"letters, but no separator to take instead", "@AC" + kHeader + "DLDAQ1", 0, ""},
      {"short header of control bytes is a known layout", "@\n\x1e" + kHeader + kBody, 0, ""},
      {"record separator 6 is a known layout", "@\n6\r" + kHeader + kBody, 0, ""},
      {"a letter for the record separator cuts nothing", "@\nX\r" + kHeader + kBody, 0, ""},
      {"a letter for the segment terminator", "@\n\x1eM" + kHeader + kBody, kHead, kClean},
      {"five bytes with a letter", "@\n\x1e\r\nX" + kHeader + kBody, kHead, kClean},
      {"high byte in the header", "@\n\x1e\r\xD4" + kHeader + kBody, kStray, kClean},
      {"high byte in the directory",
       "@\n\x1e\rANSI 6360\xD4"
       "14080001DL0031\x90"
       "0022" +
           kBody,
       kStray, kClean},
      {"high byte inside an id",
       "@\n\x1e\r" + kHeader +
           "DLDAQ1\nD\xD4"
           "CSMAMMA\nDAG2 MAIN\r",
       kStray, kClean},
      {"high byte in front of an id",
       "@\n\x1e\r" + kHeader +
           "DLDAQ1\n\xC9\xC9"
           "DCSMAMMA\nDAG2 MAIN\r",
       kStray, kClean},
      {"C1 controls touching separators",
       "@\n\x1e\r" + kHeader +
           "DLDAQ1\x90\n\x90"
           "DCSMAMMA\x85\x85\nDAG2 MAIN\r",
       kStray, kClean},
      {"high bytes inside values stay", "@\n\x1e\r" + kHeader + "DLDAQ1\nDCSM\xC9MMA\x90X\nDAG2 \xA0MAIN\r", 0, ""},
      {"high byte behind a separator but no id",
       "@\n\x1e\r" + kHeader +
           "DLDAQ1\n\xC9"
           "12\r",
       0, ""},
      {"everything at once",
       "]L2@\n\xDC"
       "6M" +
           kHeader +
           "DLDAQ1\n\xD4"
           "DCSMAMMA\nDAG2 MAIN\r",
       kPrefix | kStray | kHead, kClean},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Mended m = mend(c.text);
    EXPECT_EQ(m.repairs, c.repairs);
    EXPECT_EQ(m.text, c.repairs == 0 ? c.text : c.mended);
  }
}

TEST(ReframeAamvaText, ExactBytesKeepWhatTheNormaliserWouldMend) {
  const std::string stray = "@\x90\n\x90\x90\n\x90" + kHeader + kBody;
  EXPECT_EQ(mend(stray, AamvaTextKind::kExact).text, "@\n\n" + kHeader + kBody);
  EXPECT_EQ(mend("@\n\n" + kHeader + kBody, AamvaTextKind::kExact).repairs, 0u);
  // Ids of the exact bytes keep their case.
  EXPECT_EQ(mend("@\n\x1e\r" + kHeader +
                     "DLDAQ1\nd\xD4"
                     "cs\r",
                 AamvaTextKind::kExact)
                .text,
            "@\n\x1e\r" + kHeader + "DLDAQ1\ndcs\r");
}

TEST(ReframeAamvaText, LeavesTheTextWhenTheMendDoesNotFit) {
  const std::string grows = "@" + kHeader + kBody;  // three separators are inserted
  const auto length = static_cast<std::int32_t>(grows.size());
  EXPECT_EQ(mend(grows, AamvaTextKind::kNormalised, length + 3).repairs, kRepairHeaderSeparatorsRepaired);
  EXPECT_EQ(mend(grows, AamvaTextKind::kNormalised, length + 2).repairs, 0u);
  EXPECT_EQ(reframeAamvaText(nullptr, 4, 10, AamvaTextKind::kNormalised, nullptr, nullptr), 0u);
  EXPECT_EQ(reframeAamvaText("]@AN", 0, 10, AamvaTextKind::kNormalised, nullptr, nullptr), 0u);
}

// Long runs of what the mend looks at, and random bytes around the shapes it knows: it stays in its buffer, and
// the answer without editing is the one the edit gives.
TEST(ReframeAamvaText, HostileTexts) {
  const std::string runs[] = {
      "]L2@\n" + std::string(100000, '\x90') + kHeader + kBody,
      "@AC" + kHeader + "DLDAQ1\n" + std::string(100000, '\x90') + "\n",
      "@AC" + kHeader + std::string(100000, '\n') + "DCS",
      "@AC" + kHeader + std::string(50000, '1') + std::string(50000, '\xD4'),
      "@" + std::string(16, '\x90') + "ANSI" + std::string(100000, 'D'),
  };
  for (const std::string& text : runs) (void)mend(text);
  std::mt19937 random(19);
  const std::string pieces[] = {"@", "ANSI ", "AAMVA", "\n", "\r", "\x1e", "\x90", "\xD4", "DL00310022", "DCS", "6"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      text +=
          random() % 3 == 0 ? std::string(1, static_cast<char>(random() % 256)) : pieces[random() % std::size(pieces)];
    }
    if (text.empty()) continue;
    (void)mend(text, random() % 2 == 0 ? AamvaTextKind::kExact : AamvaTextKind::kNormalised,
               static_cast<std::int32_t>(text.size() + random() % 4));
  }
}

}  // namespace
}  // namespace quorix
