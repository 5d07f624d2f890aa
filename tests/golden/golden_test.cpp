// The golden corpus: every testdata/golden/<family>/<case>.in is parsed on a fixed clock and dumped with its slots;
// the dump must equal <case>.expected byte for byte. QUORIX_UPDATE_GOLDEN=1 rewrites the expected files instead, so
// a change in behaviour shows up as a diff to review.
#include <gtest/gtest.h>
#include <quorix/repairs.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/result_dump.h"
#include "core/instance.h"
#include "unit/support/parse_outcome.h"

namespace quorix {
namespace {

using testing::Instance;

namespace fs = std::filesystem;

const fs::path kGoldenRoot = QUORIX_GOLDEN_DIR;

// Relative paths of every .in file, e.g. "aamva/2014-organ-donor", sorted so the order is stable.
std::vector<std::string> goldenCases() {
  std::vector<std::string> cases;
  std::error_code error;
  for (fs::recursive_directory_iterator it(kGoldenRoot, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file() && it->path().extension() == ".in") {
      cases.push_back(fs::relative(it->path(), kGoldenRoot).replace_extension().generic_string());
    }
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

bool readFile(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool updating() {
  const char* update = std::getenv("QUORIX_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

// The options a case runs with: every slot, on the clock its expected output names on a first "now=" line (a case
// whose result depends on the date), otherwise on the default one.
DumpOptions optionsFor(std::string_view expected) {
  DumpOptions options{.slots = true, .clock = std::nullopt};
  if (expected.starts_with("now=")) {
    const std::size_t end = expected.find('\n');
    options.clock = parseDateTime(expected.substr(4, end == std::string::npos ? end : end - 4));
  }
  return options;
}

// A case's input and expected output; false when either cannot be read.
bool readCase(const std::string& name, std::string& input, std::string& expected) {
  return readFile((kGoldenRoot / name).concat(".in"), input) &&
         readFile((kGoldenRoot / name).concat(".expected"), expected);
}

Instance parseOn(const std::string& input, const DumpOptions& options,
                                                         Status& status) {
  Instance instance(createInstance());
  status = parseBufferAt(instance.get(), input.data(), static_cast<std::int32_t>(input.size()),
                         options.clock.value_or(kGoldenNow));
  return instance;
}

// Test names allow letters, digits and underscores only.
std::string caseName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, DumpMatchesExpected) {
  const fs::path base = kGoldenRoot / GetParam();
  std::string input;
  ASSERT_TRUE(readFile(fs::path(base).concat(".in"), input)) << "cannot read " << base << ".in";
  const fs::path expectedPath = fs::path(base).concat(".expected");
  std::string expected;
  const bool haveExpected = readFile(expectedPath, expected);

  const DumpOptions options = optionsFor(haveExpected ? expected : "");
  if (haveExpected && expected.starts_with("now=")) {
    ASSERT_TRUE(options.clock.has_value()) << expectedPath << ": the now= line is not YYYY-MM-DDTHH:MM:SS";
  }

  Status status = 0;
  const auto instance = parseOn(input, options, status);
  const std::string actual = dumpText(*instance, status, options);

  if (updating()) {
    if (!haveExpected || actual != expected) {
      std::ofstream out(expectedPath, std::ios::binary | std::ios::trunc);
      out << actual;
      ASSERT_TRUE(out.good()) << "cannot write " << expectedPath;
      std::cout << "rewrote " << expectedPath.generic_string() << "\n";
    }
    return;
  }
  ASSERT_TRUE(haveExpected) << expectedPath << " is missing; QUORIX_UPDATE_GOLDEN=1 writes it, then check it by hand";
  EXPECT_EQ(actual, expected) << "for " << GetParam() << ".in";
}

// The value of the dump line "slot.NNN.<key>=" or "<key>=", or empty.
std::string dumpValue(const std::string& dump, std::string_view key) {
  for (const char* lead : {".", "\n"}) {
    const std::string line = lead + std::string(key) + "=";
    if (const std::size_t at = dump.find(line); at != std::string::npos) {
      const std::size_t from = at + line.size();
      return dump.substr(from, dump.find('\n', from) - from);
    }
  }
  return {};
}

// Where a case's name may stand in its input: the name slots as the decoder stored them, or the derived names.
constexpr const char* kNameKeys[] = {"SLOT_FAMILY_NAME", "SLOT_FIRST_NAME", "SLOT_FULL_NAME", "lastName", "firstName"};

// Latin-1 letters with the ASCII letter they are read as: capitals, then the small letters 0x20 above them.
constexpr std::pair<char, unsigned char> kAccented[] = {{'A', 0xC1}, {'C', 0xC7}, {'E', 0xC9}, {'I', 0xCD},
                                                        {'N', 0xD1}, {'O', 0xD3}, {'U', 0xDA}, {'Y', 0xDD}};

// The input with the first letter of name that has an accented form written with the accent, in Latin-1 or in
// UTF-8; empty when the name does not stand in the input or has no such letter.
std::string withAccentedName(const std::string& input, const std::string& name, bool utf8) {
  if (name.size() < 2) return {};
  const auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
  const auto at = std::search(input.begin(), input.end(), name.begin(), name.end(),
                              [&](char a, char b) { return upper(a) == upper(b); });
  for (auto it = at; at != input.end() && it != at + static_cast<std::ptrdiff_t>(name.size()); ++it) {
    for (const auto& [ascii, accented] : kAccented) {
      if (upper(*it) != ascii) continue;
      const auto latin1 = static_cast<unsigned char>(accented + (*it == ascii ? 0 : 0x20));
      const std::string letter = utf8 ? std::string{static_cast<char>(0xC3), static_cast<char>(latin1 - 0x40)}
                                      : std::string(1, static_cast<char>(latin1));
      std::string out = input;
      out.replace(static_cast<std::size_t>(it - input.begin()), 1, letter);
      return out;
    }
  }
  return {};
}

// A name written with an accent, in either encoding, reads as the name without it: every case whose result has a
// name gives its golden result again, and says that its letters were transliterated.
class GoldenWithAccents : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenWithAccents, ReadsAsWithoutThem) {
  std::string input;
  std::string expected;
  ASSERT_TRUE(readCase(GetParam(), input, expected));
  const DumpOptions options = optionsFor(expected);
  Status status = 0;
  auto plain = parseOn(input, options, status);
  if ((plain->repairs & kRepairLettersTransliterated) != 0) GTEST_SKIP() << "the case carries accents already";
  const std::string plainDump = dumpText(*plain, status, options);
  const auto accentedInput = [&](bool utf8) {
    std::string accented;
    for (const char* key : kNameKeys)
      if (accented.empty()) accented = withAccentedName(input, dumpValue(plainDump, key), utf8);
    return accented;
  };
  if (accentedInput(false).empty()) GTEST_SKIP() << "no name to write with an accent";
  plain->repairs |= kRepairLettersTransliterated;
  const std::string wanted = dumpText(*plain, status, options);
  for (const bool utf8 : {false, true}) {
    SCOPED_TRACE(utf8 ? "UTF-8" : "Latin-1");
    const std::string accented = accentedInput(utf8);
    Status accentedStatus = 0;
    const auto parsed = parseOn(accented, options, accentedStatus);
    EXPECT_EQ(dumpText(*parsed, accentedStatus, options), wanted);
  }
}

std::vector<std::string> casesWithResults() {
  std::vector<std::string> cases = goldenCases();
  std::erase_if(cases, [](const std::string& c) { return c.starts_with("rejected/"); });
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoldenWithAccents, ::testing::ValuesIn(casesWithResults()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenWithAccents);

INSTANTIATE_TEST_SUITE_P(Corpus, Golden, ::testing::ValuesIn(goldenCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

// The dump without its repairs line.
std::string withoutRepairs(std::string dump) {
  if (const std::size_t at = dump.find("\nrepairs="); at != std::string::npos)
    dump.erase(at, dump.find('\n', at + 1) - at);
  return dump;
}

// A scanner that sends its AIM symbology identifier in front of the barcode changes nothing but the repairs: every
// AAMVA card reads as without it, every rejected text stays rejected.
class GoldenBehindPrefix : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenBehindPrefix, ReadsAsWithoutIt) {
  std::string input;
  std::string expected;
  ASSERT_TRUE(readCase(GetParam(), input, expected));
  const DumpOptions options = optionsFor(expected);
  const auto parse = [&](const std::string& text, RepairSet& repairs) {
    Status status = 0;
    const auto instance = parseOn(text, options, status);
    repairs = instance->repairs;
    return dumpText(*instance, status, options);
  };
  RepairSet plain = 0;
  RepairSet prefixed = 0;
  const std::string plainDump = parse(input, plain);
  // A prefix in front of one that uses up the room a scanner's may take is no longer a prefix.
  if ((plain & kRepairPrefixRemoved) != 0) GTEST_SKIP() << "the case carries a prefix already";
  const std::string prefixedDump = parse("]L2" + input, prefixed);
  EXPECT_EQ(withoutRepairs(prefixedDump), withoutRepairs(plainDump));
  if (GetParam().starts_with("rejected/")) {
    EXPECT_EQ(prefixed, 0u);
  } else {
    // Bytes the normaliser would skip in front of the mark are, behind a prefix, part of the prefix.
    EXPECT_EQ(prefixed, (plain & ~kRepairLeadingBytesSkipped) | kRepairPrefixRemoved);
  }
}

std::vector<std::string> aamvaAndRejectedCases() {
  std::vector<std::string> cases = goldenCases();
  std::erase_if(cases, [](const std::string& c) { return !c.starts_with("aamva/") && !c.starts_with("rejected/"); });
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoldenBehindPrefix, ::testing::ValuesIn(aamvaAndRejectedCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenBehindPrefix);

}  // namespace
}  // namespace quorix
