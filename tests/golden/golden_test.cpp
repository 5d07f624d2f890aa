// The golden corpus: every testdata/golden/<family>/<case>.in is parsed on a fixed clock and dumped with its slots;
// the dump must equal <case>.expected byte for byte. QUORIX_UPDATE_GOLDEN=1 rewrites the expected files instead, so
// a change in behaviour shows up as a diff to review.
#include <gtest/gtest.h>
#include <quorix/parser.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli/result_dump.h"

namespace quorix {
namespace {

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

struct InstanceDeleter {
  void operator()(ParserInstance* instance) const { destroyInstance(instance); }
};

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, DumpMatchesExpected) {
  const fs::path base = kGoldenRoot / GetParam();
  std::string input;
  ASSERT_TRUE(readFile(fs::path(base).concat(".in"), input)) << "cannot read " << base << ".in";
  const fs::path expectedPath = fs::path(base).concat(".expected");
  std::string expected;
  const bool haveExpected = readFile(expectedPath, expected);

  // A case whose result depends on the date names its clock on the first line; the rest run on the default one.
  DumpOptions options{.slots = true, .clock = std::nullopt};
  if (haveExpected && expected.starts_with("now=")) {
    const std::size_t end = expected.find('\n');
    options.clock = parseDateTime(std::string_view(expected).substr(4, end == std::string::npos ? end : end - 4));
    ASSERT_TRUE(options.clock.has_value()) << expectedPath << ": the now= line is not YYYY-MM-DDTHH:MM:SS";
  }

  std::unique_ptr<ParserInstance, InstanceDeleter> instance(createInstance());
  ASSERT_NE(instance, nullptr);
  const Status status = parseBufferAt(instance.get(), input.data(), static_cast<std::int32_t>(input.size()),
                                      options.clock.value_or(kGoldenNow));
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

// Test names allow letters, digits and underscores only.
std::string caseName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, Golden, testing::ValuesIn(goldenCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

// The dump without its repairs line.
std::string withoutRepairs(std::string dump) {
  if (const std::size_t at = dump.find("\nrepairs="); at != std::string::npos)
    dump.erase(at, dump.find('\n', at + 1) - at);
  return dump;
}

// A scanner that sends its AIM symbology identifier in front of the barcode changes nothing but the repairs: every
// AAMVA card reads as without it, every rejected text stays rejected.
class GoldenBehindPrefix : public testing::TestWithParam<std::string> {};

TEST_P(GoldenBehindPrefix, ReadsAsWithoutIt) {
  std::string input;
  ASSERT_TRUE(readFile((kGoldenRoot / GetParam()).concat(".in"), input));
  std::string expected;
  ASSERT_TRUE(readFile((kGoldenRoot / GetParam()).concat(".expected"), expected));
  DumpOptions options{.slots = true, .clock = std::nullopt};
  if (expected.starts_with("now=")) options.clock = parseDateTime(std::string_view(expected).substr(4, 19));
  const auto parse = [&](const std::string& text, RepairSet& repairs) {
    std::unique_ptr<ParserInstance, InstanceDeleter> instance(createInstance());
    const Status status = parseBufferAt(instance.get(), text.data(), static_cast<std::int32_t>(text.size()),
                                        options.clock.value_or(kGoldenNow));
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
    EXPECT_EQ(prefixed, plain | kRepairPrefixRemoved);
  }
}

std::vector<std::string> aamvaAndRejectedCases() {
  std::vector<std::string> cases = goldenCases();
  std::erase_if(cases, [](const std::string& c) { return !c.starts_with("aamva/") && !c.starts_with("rejected/"); });
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoldenBehindPrefix, testing::ValuesIn(aamvaAndRejectedCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenBehindPrefix);

}  // namespace
}  // namespace quorix
