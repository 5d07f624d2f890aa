// Reads the golden corpus once per test program.
#include "unit/support/golden_corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorix::testing {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> inputFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(QUORIX_GOLDEN_DIR))
    if (entry.path().extension() == ".in") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// The decoder id of "decoder=G/ID" when the expected output starts with "status=0", else -1.
std::int32_t acceptedBy(const std::string& expected) {
  if (expected.find("status=0\n") == std::string::npos) return -1;
  const std::size_t at = expected.find("\ndecoder=");
  if (at == std::string::npos) return -1;
  const std::size_t slash = expected.find('/', at);
  return slash == std::string::npos ? -1 : std::stoi(expected.substr(slash + 1));
}

}  // namespace

const std::vector<GoldenDocument>& goldenDocuments() {
  static const std::vector<GoldenDocument> documents = [] {
    std::vector<GoldenDocument> accepted;
    for (const fs::path& file : inputFiles()) {
      fs::path expected = file;
      const std::int32_t id = acceptedBy(readFile(expected.replace_extension(".expected")));
      if (id < 0) continue;
      fs::path name = fs::relative(file, QUORIX_GOLDEN_DIR);
      accepted.push_back({name.replace_extension().generic_string(), readFile(file), id});
    }
    return accepted;
  }();
  return documents;
}

const std::vector<std::string>& goldenTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> all;
    for (const fs::path& file : inputFiles()) all.push_back(readFile(file));
    return all;
  }();
  return texts;
}

const GoldenDocument& goldenDocument(const std::string& name) {
  const auto& documents = goldenDocuments();
  const auto found =
      std::find_if(documents.begin(), documents.end(), [&](const GoldenDocument& d) { return d.name == name; });
  if (found == documents.end()) {
    ADD_FAILURE() << "no accepted golden case " << name;
    return documents.front();
  }
  return *found;
}

}  // namespace quorix::testing
