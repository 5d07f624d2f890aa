// Times a warm instance: one golden sample per family, parsed alone and with all 40 derivations, a text that every
// row rejects, and rejected texts of growing length. Compare figures only across Release builds on one machine.
#include <benchmark/benchmark.h>
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first sample of a family, in name order, so runs compare like with like.
std::string firstSample(const std::string& family) {
  const fs::path dir = fs::path(QUORIX_GOLDEN_DIR) / family;
  std::vector<fs::path> inputs;
  if (fs::is_directory(dir)) {
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().extension() == ".in") inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs.empty() ? std::string() : readFile(inputs.front());
}

struct Warm {
  quorix::ParserInstance* instance = quorix::createInstance();
  ~Warm() { quorix::destroyInstance(instance); }
};

std::int32_t deriveAll(const quorix::ParserInstance& instance) {
  std::int32_t derived = 0;
  for (const quorix::ResultField& field : quorix::kResultFields) {
    std::int32_t flag = 0;
    const quorix::Status status = field.text != nullptr
                                      ? field.text(instance.record, instance.textBuffer, instance.textBufferSize)
                                      : field.flag(instance.record, &flag);
    derived += status == quorix::kStatusOk ? 1 : 0;
  }
  return derived;
}

void runParse(benchmark::State& state, const std::string& text, bool derive) {
  if (text.empty()) {
    state.SkipWithError("no sample");
    return;
  }
  Warm warm;
  const auto length = static_cast<std::int32_t>(text.size());
  quorix::Status status = quorix::parseBuffer(warm.instance, text.data(), length);
  for (auto _ : state) {
    status = quorix::parseBuffer(warm.instance, text.data(), length);
    if (derive && status == quorix::kStatusOk) benchmark::DoNotOptimize(deriveAll(*warm.instance));
    benchmark::DoNotOptimize(status);
  }
  state.counters["status"] = status;
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void registerFamily(const std::string& family) {
  const std::string text = firstSample(family);
  benchmark::RegisterBenchmark(("Parse/" + family).c_str(), [text](benchmark::State& s) { runParse(s, text, false); });
  benchmark::RegisterBenchmark(("ParseAndDerive/" + family).c_str(),
                               [text](benchmark::State& s) { runParse(s, text, true); });
}

// A printable text no decoder accepts, of the given length.
std::string rejectedText(std::size_t length) {
  const std::string pattern = "NOT A DOCUMENT 0123456789 ";
  std::string text;
  text.reserve(length);
  while (text.size() < length) text += pattern;
  text.resize(length);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  for (const char* family : {"aamva", "magstripe", "card_record", "cac", "national_id", "rejected"})
    registerFamily(family);
  for (std::size_t size : {std::size_t{1} << 10, std::size_t{8} << 10, std::size_t{64} << 10}) {
    const std::string text = rejectedText(size);
    benchmark::RegisterBenchmark(("Rejected/" + std::to_string(size)).c_str(),
                                 [text](benchmark::State& s) { runParse(s, text, false); });
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
