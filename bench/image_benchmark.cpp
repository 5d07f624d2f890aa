// Times the image front end on a photo-like 1600 x 1000 PNG (bench/make_card_photo.sh): the whole chain per image,
// and its three parts, PNG decoding, finding and reading the symbol, and parsing the symbol's bytes.
//
//   image_benchmark [--image=FILE] [benchmark flags]
#include <benchmark/benchmark.h>
#include <quorix/image.h>
#include <quorix/parser.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

std::string gImagePath = QUORIX_BENCH_PHOTO;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Photo {
  std::string png = readFile(gImagePath);
  quorix::DecodedImage pixels;
  quorix::ParserInstance* instance = quorix::createInstance();
  std::string symbolText;  // the bytes the symbol carries, as the parser received them

  Photo() {
    if (quorix::decodeImage(data(), size(), &pixels) != quorix::kStatusOk) return;
    quorix::ImageSymbol symbol;
    if (quorix::parseImage(instance, pixels.pixels, pixels.width, pixels.height, pixels.width, quorix::kPixelGrey,
                           &symbol) != quorix::kStatusOk) {
      return;
    }
    // The symbol of the photo is the barcode text of bench/samples; the parse of it is timed on its own.
    symbolText = readFile(QUORIX_BENCH_SAMPLES_DIR "/aamva-2016-typical.txt");
  }
  ~Photo() {
    quorix::releaseImage(&pixels);
    quorix::destroyInstance(instance);
  }
  [[nodiscard]] const std::uint8_t* data() const { return reinterpret_cast<const std::uint8_t*>(png.data()); }
  [[nodiscard]] std::int32_t size() const { return static_cast<std::int32_t>(png.size()); }
  [[nodiscard]] bool ready() const { return !symbolText.empty(); }
};

Photo& photo() {
  static Photo shared;
  return shared;
}

void skipUnlessReady(benchmark::State& state) {
  if (!photo().ready()) state.SkipWithError(("no readable photo at " + gImagePath).c_str());
}

// PNG in, fields out: what `quorix-parse --image` does per file, less the output.
void BM_WholeChain(benchmark::State& state) {
  skipUnlessReady(state);
  Photo& p = photo();
  for (auto _ : state) {
    quorix::DecodedImage image;
    quorix::ImageSymbol symbol;
    quorix::Status status = quorix::decodeImage(p.data(), p.size(), &image);
    if (status == quorix::kStatusOk) {
      status = quorix::parseImage(p.instance, image.pixels, image.width, image.height, image.width, quorix::kPixelGrey,
                                  &symbol);
    }
    quorix::releaseImage(&image);
    benchmark::DoNotOptimize(status);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WholeChain)->Unit(benchmark::kMillisecond);

void BM_DecodePng(benchmark::State& state) {
  skipUnlessReady(state);
  Photo& p = photo();
  for (auto _ : state) {
    quorix::DecodedImage image;
    benchmark::DoNotOptimize(quorix::decodeImage(p.data(), p.size(), &image));
    quorix::releaseImage(&image);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

// Finding and reading the symbol, then the parse; the parse's own share is BM_ParseSymbolText.
void BM_FindAndParse(benchmark::State& state) {
  skipUnlessReady(state);
  Photo& p = photo();
  for (auto _ : state) {
    quorix::ImageSymbol symbol;
    benchmark::DoNotOptimize(quorix::parseImage(p.instance, p.pixels.pixels, p.pixels.width, p.pixels.height,
                                                p.pixels.width, quorix::kPixelGrey, &symbol));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindAndParse)->Unit(benchmark::kMillisecond);

void BM_ParseSymbolText(benchmark::State& state) {
  skipUnlessReady(state);
  Photo& p = photo();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        quorix::parseBuffer(p.instance, p.symbolText.data(), static_cast<std::int32_t>(p.symbolText.size())));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseSymbolText)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--image=")) {
      gImagePath = std::string(arg.substr(8));
    } else {
      std::fprintf(stderr, "image_benchmark: unknown argument '%s'\n", argv[i]);
      return 2;
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
