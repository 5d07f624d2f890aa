// Times a warm instance: one sample per family, parsed alone and with all 40 derivations, a text that every row
// rejects, and rejected texts of growing length. Compare figures only across Release builds on one machine.
//
//   parse_benchmark [--text=FILE]... [benchmark flags]
//
// Each --text adds Text/<file name>: the parse with all derivations over that file, the figure the peer
// comparison in bench/peers/ sets beside the other parsers'.
#include <benchmark/benchmark.h>
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first golden input of a family, in name order, so runs compare like with like.
std::string firstGoldenSample(const std::string& family) {
  const fs::path dir = fs::path(QUORIX_GOLDEN_DIR) / family;
  std::vector<fs::path> inputs;
  if (fs::is_directory(dir)) {
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().extension() == ".in") inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs.empty() ? std::string() : readFile(inputs.front());
}

struct Family {
  const char* name;
  const char* sample;  // a file of bench/samples, or null for the family's first golden input
  quorix::Status expected;
};

// The AAMVA and magnetic stripe samples are the sizes readers deliver (a 480-byte barcode of the 2013 edition, three
// tracks): the golden inputs are kept short on purpose.
constexpr Family kFamilies[] = {
    {"aamva", "aamva-2016-typical.txt", quorix::kStatusOk},
    {"magstripe", "magstripe-three-tracks.txt", quorix::kStatusOk},
    {"card_record", nullptr, quorix::kStatusOk},
    {"cac", nullptr, quorix::kStatusOk},
    {"national_id", nullptr, quorix::kStatusOk},
    {"rejected", "rejected-plain-words.txt", quorix::kStatusNoDecoder},
};

struct Warm {
  quorix::ParserInstance* instance = quorix::createInstance();
  ~Warm() { quorix::destroyInstance(instance); }
  Warm() = default;
  Warm(const Warm&) = delete;
  Warm& operator=(const Warm&) = delete;
};

// What a caller pays after the parse: every field of the shared table into the instance's text buffer.
std::int32_t deriveAll(quorix::ParserInstance& instance) {
  const quorix::FieldRecord& record = quorix::parsedRecord(instance);
  const quorix::DerivationBuffer out = quorix::derivationBuffer(instance);
  std::int32_t derived = 0;
  for (const quorix::ResultField& field : quorix::kResultFields) {
    std::int32_t flag = 0;
    const quorix::Status status =
        field.text != nullptr ? field.text(record, out.data, out.size) : field.flag(record, &flag);
    derived += status == quorix::kStatusOk ? 1 : 0;
  }
  return derived;
}

void runParse(benchmark::State& state, const std::string& text, bool derive, quorix::Status expected) {
  if (text.empty()) {
    state.SkipWithError("no sample");
    return;
  }
  Warm warm;
  const auto length = static_cast<std::int32_t>(text.size());
  // A sample that parses differently than intended would time something else.
  if (quorix::Status status = quorix::parseBuffer(warm.instance, text.data(), length); status != expected) {
    state.SkipWithError(("sample gives status " + std::to_string(status)).c_str());
    return;
  }
  std::int32_t derived = 0;
  for (auto _ : state) {
    const quorix::Status status = quorix::parseBuffer(warm.instance, text.data(), length);
    if (derive && status == quorix::kStatusOk) derived = deriveAll(*warm.instance);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(derived);
  }
  state.counters["fields"] = derived;
  state.counters["bytes"] = static_cast<double>(text.size());
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void registerParse(const std::string& name, const std::string& text, bool derive, quorix::Status expected) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [text, derive, expected](benchmark::State& s) { runParse(s, text, derive, expected); });
}

// A printable text no decoder accepts, of the given length: repeated plain words that start no document's shape.
std::string rejectedText(std::size_t length) {
  const std::string words = readFile(fs::path(QUORIX_BENCH_SAMPLES_DIR) / "rejected-plain-words.txt");
  std::string text;
  text.reserve(length);
  while (!words.empty() && text.size() < length) text += words;
  text.resize(length);
  return text;
}

// Takes the --text=FILE arguments out of argv, so that the benchmark library sees only its own flags.
std::vector<fs::path> takeTextArguments(int& argc, char** argv) {
  constexpr std::string_view kFlag = "--text=";
  std::vector<fs::path> files;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.substr(0, kFlag.size()) == kFlag) {
      files.emplace_back(argument.substr(kFlag.size()));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<fs::path> textFiles = takeTextArguments(argc, argv);
  for (const Family& family : kFamilies) {
    const std::string text = family.sample != nullptr ? readFile(fs::path(QUORIX_BENCH_SAMPLES_DIR) / family.sample)
                                                      : firstGoldenSample(family.name);
    registerParse(std::string("Parse/") + family.name, text, false, family.expected);
    registerParse(std::string("ParseAndDerive/") + family.name, text, true, family.expected);
  }
  for (std::size_t size : {std::size_t{1} << 10, std::size_t{8} << 10, std::size_t{64} << 10})
    registerParse("Rejected/" + std::to_string(size), rejectedText(size), false, quorix::kStatusNoDecoder);
  for (const fs::path& file : textFiles) {
    const std::string text = readFile(file);
    benchmark::RegisterBenchmark(("Text/" + file.filename().string()).c_str(), [text](benchmark::State& s) {
      Warm warm;
      const auto length = static_cast<std::int32_t>(text.size());
      runParse(s, text, true, quorix::parseBuffer(warm.instance, text.data(), length));
    });
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
