// Parses one file, or every *.in file under a directory in turn, a given number of times with a warm instance,
// optionally with all 40 derivations: a loop whose cost repeats exactly, for counting instructions per parse under
// callgrind (see bench/instructions.sh). A directory is how batch runs are weighed against the parses they make.
//
//   parse_loop FILE|DIRECTORY COUNT [--fields]
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The file itself, or the directory's *.in files in path order, the order bench/make_batch_input.cmake takes them.
std::vector<std::string> readTexts(const std::filesystem::path& path) {
  if (!std::filesystem::is_directory(path)) return {readFile(path)};
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
    if (entry.is_regular_file() && entry.path().extension() == ".in") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> texts;
  for (const auto& file : paths) texts.push_back(readFile(file));
  return texts;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: parse_loop FILE|DIRECTORY COUNT [--fields]\n");
    return 2;
  }
  if (!std::filesystem::exists(argv[1])) return 1;
  const std::vector<std::string> texts = readTexts(argv[1]);
  const long count = std::strtol(argv[2], nullptr, 10);
  const bool fields = argc > 3 && std::string_view(argv[3]) == "--fields";
  quorix::ParserInstance* instance = quorix::createInstance();
  if (instance == nullptr || texts.empty()) return 1;
  long accepted = 0;
  for (long i = 0; i < count; ++i) {
    for (const std::string& text : texts) {
      accepted +=
          quorix::parseBuffer(instance, text.data(), static_cast<std::int32_t>(text.size())) == quorix::kStatusOk;
      if (!fields) continue;
      // As the bindings read them: all 40 in one pass.
      quorix::deriveFieldValues(
          *instance, [](void* /*context*/, std::int32_t /*field*/, const quorix::FieldValue& /*value*/) {}, nullptr);
    }
  }
  std::printf("%ld of %ld parses accepted\n", accepted, count * static_cast<long>(texts.size()));
  quorix::destroyInstance(instance);
  return 0;
}
