// Stands in for libFuzzer where it is not linked: runs a fuzz target once over every file named on the command
// line and every file below a named folder, so ordinary and sanitizer builds replay the corpus and the
// regression inputs through the same checks the fuzzer applies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files to replay, in a stable order; false when a named path does not exist or cannot be listed.
bool collectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
  std::error_code error;
  if (fs::is_regular_file(path, error)) {
    inputs.push_back(path);
    return true;
  }
  if (!fs::is_directory(path, error)) return false;
  for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error))
    if (it->is_regular_file(error)) inputs.push_back(it->path());
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (collectInputs(argv[i], inputs)) continue;
    std::fprintf(stderr, "cannot read %s\n", argv[i]);
    return 2;
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "%s\n", input.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
  // Nothing to replay means a wrong path, not a pass.
  return inputs.empty() ? 1 : 0;
}
