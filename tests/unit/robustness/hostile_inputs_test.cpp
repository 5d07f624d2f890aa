// Hostile and damaged inputs through the whole parse: random marker soup, cut and damaged documents,
// inputs far beyond the first buffer size. Each parse must return a status a caller knows, and every derived
// field must be printable ASCII; under ASan any stray read or write fails here too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/instance.h"
#include "unit/support/golden_corpus.h"
#include "unit/support/parse_outcome.h"

namespace quorix {
namespace {

using testing::Instance;

using testing::goldenDocument;
using testing::goldenDocuments;
using testing::parseAndDerive;
using testing::ParseOutcome;

Instance newInstance() {
  Instance instance(createInstance());
  EXPECT_NE(instance, nullptr);
  return instance;
}

// What the decoders look for, in pieces, so that texts built from them reach deep into every family.
constexpr std::string_view kFragments[] = {
    "@",   "\n",  "\x1e", "\r", "ANSI ", "AAMVA",      "636014", "08", "DL",       "0041", "ID", "DAQ",      "DCS",
    "DAC", "DBB", "%",    "?;", "?",     "^",          "=",      "$",  "{!|1",     "|!}",  "%B", "IDUS",     "IDCV",
    "3",   "N",   "GTM",  "|",  "NULL",  " Fec Nac. ", "Ofna ",  "-",  " Id Doc ", "ZA",   "/",  "19800102", " ",
};

// Readers stop early: every accepted golden document cut at every length, which leaves frames, tracks and fields
// unterminated. This one sweep stands for every family's decoders.
TEST(HostileInputs, EveryCutOfEachDocument) {
  const Instance instance = newInstance();
  for (const auto& document : goldenDocuments()) {
    for (std::size_t length = 0; length <= document.text.size(); ++length) {
      SCOPED_TRACE(std::string(document.name) + " cut at " + std::to_string(length));
      parseAndDerive(*instance, document.text.substr(0, length));
    }
  }
}

// Damaged copies of a document: NULs and high bytes put in, letters and digits swapped, separators kept alone,
// doubled or dropped, case lowered, the text reversed, control bytes spelled out as a reader's log shows them.
std::vector<std::pair<std::string_view, std::string>> damagedCopies(std::string_view text) {
  std::string nulEverywhere, highBit, digitsForLetters, lettersForDigits, separatorsOnly, separatorsDoubled,
      separatorsRemoved, lowerCase, spelled;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool upper = c >= 'A' && c <= 'Z';
    const bool digit = c >= '0' && c <= '9';
    const bool separator = std::string_view("@\n\x1e\r%?;^=$|/-").find(c) != std::string_view::npos;
    nulEverywhere += {c, '\0'};
    highBit += i % 3 == 0 ? static_cast<char>(c | 0x80) : c;
    digitsForLetters += upper ? static_cast<char>('0' + (c - 'A') % 10) : c;
    lettersForDigits += digit ? static_cast<char>('A' + (c - '0')) : c;
    lowerCase += upper ? static_cast<char>(c + ('a' - 'A')) : c;
    if (separator) separatorsOnly += c;
    separatorsDoubled += std::string(separator && c != '@' ? 2 : 1, c);
    if (std::string_view("\n\x1e\r?;^=$|").find(c) == std::string_view::npos) separatorsRemoved += c;
    spelled += c == '\n' ? std::string("[0A]") : c == '\r' ? std::string("[0D]") : std::string(1, c);
  }
  std::string nulInTheMiddle(text);
  nulInTheMiddle.insert(text.size() / 2, 1, '\0');
  return {{"NUL in the middle", nulInTheMiddle},
          {"NUL after every byte", nulEverywhere},
          {"high bit on every third byte", highBit},
          {"high bytes in front", "\x80\xff\xfe\x9b" + std::string(text)},
          {"digits for letters", digitsForLetters},
          {"letters for digits", lettersForDigits},
          {"separators only", separatorsOnly},
          {"separators doubled", separatorsDoubled},
          {"separators removed", separatorsRemoved},
          {"lower case", lowerCase},
          {"reversed", std::string(text.rbegin(), text.rend())},
          {"spelled control bytes", spelled + "[0D]"}};
}

TEST(HostileInputs, DamagedDocuments) {
  const Instance instance = newInstance();
  for (const auto& document : goldenDocuments()) {
    for (const auto& [damage, text] : damagedCopies(document.text)) {
      SCOPED_TRACE(std::string(document.name) + ", " + std::string(damage));
      parseAndDerive(*instance, text);
    }
  }
}

// A lone separator or sentinel, and each of them repeated, is no document.
TEST(HostileInputs, LoneSeparatorsAreRejected) {
  const Instance instance = newInstance();
  constexpr char kSeparators[] = "@\n\x1e\r\x1c%?;^=$|/-_ \0\x80\xff";
  for (const char separator : std::string_view(kSeparators, sizeof kSeparators - 1)) {
    for (const std::size_t count : {1U, 2U, 3U, 64U, 9000U}) {
      SCOPED_TRACE("byte " + std::to_string(static_cast<unsigned char>(separator)) + " x" + std::to_string(count));
      EXPECT_EQ(parseAndDerive(*instance, std::string(count, separator)).status, kStatusNoDecoder);
    }
  }
}

// Leading bytes a reader adds are skipped before the document, however many there are, so a document behind
// megabytes of them must come out exactly as it does alone: nothing of it may be cut or lost as buffers grow.
TEST(HostileInputs, LongInputsReachTheDecodersWhole) {
  const std::string kStretchable[] = {"aamva/2016-v9-current-edition", "aamva/2014-header-crlf-damaged",
                                      "magstripe/three-lines-doubled-track2-sentinel", "cac/v3-layout-b"};
  constexpr std::size_t kSizes[] = {8189, 8190, 8191, 8192, 8193, 8194, 8 << 10, 64 << 10, 1 << 20};
  const Instance grown = newInstance();
  for (const std::string& name : kStretchable) {
    const auto& document = goldenDocument(name);
    const Instance fresh = newInstance();
    const ParseOutcome alone = parseAndDerive(*fresh, document.text);
    ASSERT_EQ(alone.status, kStatusOk) << document.name;
    for (std::size_t i = 0; i < std::size(kSizes); ++i) {
      const char padding = i % 2 == 0 ? '\0' : '\x9b';
      SCOPED_TRACE(std::string(document.name) + " at " + std::to_string(kSizes[i]) + " bytes behind byte " +
                   std::to_string(static_cast<unsigned char>(padding)));
      const std::string text = std::string(kSizes[i] - document.text.size(), padding) + std::string(document.text);
      const ParseOutcome padded = parseAndDerive(*grown, text);
      EXPECT_EQ(padded.status, kStatusOk);
      EXPECT_EQ(padded.fields, alone.fields);
    }
    // Grown buffers keep nothing of the long inputs that could change a short one's result.
    EXPECT_EQ(parseAndDerive(*grown, document.text).fields, alone.fields) << document.name;
  }
}

// Long runs of what decoders scan for: no quadratic blow-up, no overflow, a status and printable results.
TEST(HostileInputs, LongRunsOfMarkers) {
  const Instance instance = newInstance();
  for (const std::string_view fragment : kFragments) {
    SCOPED_TRACE(fragment);
    std::string text;
    while (text.size() < 16 << 10) text += fragment;
    parseAndDerive(*instance, text);
  }
  parseAndDerive(*instance, "@\n\x1e\rANSI 636014080002DL00410278" + std::string(1 << 20, 'D'));
}

// Random bytes drawn mostly from marker fragments, with a fixed seed so that a failure replays; the cuts of every
// golden document above sweep each length of real texts.
TEST(HostileInputs, RandomMarkerMixtures) {
  std::mt19937 random(20240615);
  const Instance instance = newInstance();
  for (std::int32_t round = 0; round < 400; ++round) {
    std::string text;
    const auto pieces = std::uniform_int_distribution<std::int32_t>(1, 60)(random);
    for (std::int32_t i = 0; i < pieces; ++i)
      text += random() % 4 == 0 ? std::string(1, static_cast<char>(random() % 256))
                                : std::string(kFragments[random() % std::size(kFragments)]);
    SCOPED_TRACE("round " + std::to_string(round));
    parseAndDerive(*instance, text);
  }
}

// A reader's stray NUL inside a value used to end the value there, so callers lost the rest of it.
TEST(HostileInputs, NulInsideAValueDoesNotCutIt) {
  const Instance instance = newInstance();
  constexpr char kWithNul[] = "MOKOENA|THABO \0JAMES|M|ZA|8001015009087|7 MAR 1985|x|y|07Mar2015";
  const ParseOutcome outcome = parseAndDerive(*instance, std::string_view(kWithNul, sizeof kWithNul - 1));
  ASSERT_EQ(outcome.status, kStatusOk);
  EXPECT_NE(outcome.fields.find("\nmiddleName=JAMES\n"), std::string::npos) << outcome.fields;
}

}  // namespace
}  // namespace quorix
