// The image front end over pixel buffers: the choice among several symbols and what it reports. Every pixel layout
// with packed and padded rows is in the C interface's image test, which calls this front end.
#include <gtest/gtest.h>
#include <quorix/image.h>
#include <quorix/parser.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {
namespace {

namespace fs = std::filesystem;

const fs::path kImages = QUORIX_IMAGE_DIR;
const fs::path kGolden = QUORIX_GOLDEN_DIR;
constexpr DateTime kNow{.year = 2024, .month = 6, .day = 15, .hour = 12, .minute = 0, .second = 0};

struct InstanceDeleter {
  void operator()(ParserInstance* instance) const { destroyInstance(instance); }
};
using Instance = std::unique_ptr<ParserInstance, InstanceDeleter>;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A grey picture, one byte per pixel, rows without padding.
struct Grey {
  std::vector<std::uint8_t> pixels;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

Grey loadGrey(const std::string& name) {
  const std::string bytes = readFile(kImages / name);
  DecodedImage image;
  if (decodeImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::int32_t>(bytes.size()),
                  &image) != kStatusOk) {
    ADD_FAILURE() << "cannot decode " << name;
    return {};
  }
  Grey grey{.pixels = {image.pixels, image.pixels + image.width * image.height},
            .width = image.width,
            .height = image.height};
  releaseImage(&image);
  return grey;
}

// The offset of pixel (x, y) in rows of the given length.
std::size_t offset(std::int32_t x, std::int32_t y, std::int32_t row) { return static_cast<std::size_t>(y * row + x); }

// Both pictures on one white canvas, left then right, with a gap so that neither reads into the other.
Grey sideBySide(const Grey& left, const Grey& right) {
  constexpr std::int32_t kGap = 40;
  Grey canvas{.pixels = {}, .width = left.width + kGap + right.width, .height = std::max(left.height, right.height)};
  canvas.pixels.assign(static_cast<std::size_t>(canvas.width * canvas.height), 0xFF);
  for (std::int32_t y = 0; y < left.height; ++y) {
    std::memcpy(&canvas.pixels[offset(0, y, canvas.width)], &left.pixels[offset(0, y, left.width)],
                static_cast<std::size_t>(left.width));
  }
  for (std::int32_t y = 0; y < right.height; ++y) {
    std::memcpy(&canvas.pixels[offset(left.width + kGap, y, canvas.width)], &right.pixels[offset(0, y, right.width)],
                static_cast<std::size_t>(right.width));
  }
  return canvas;
}

Status parseGrey(ParserInstance* instance, const Grey& grey, ImageSymbol* symbol) {
  return parseImageAt(instance, grey.pixels.data(), grey.width, grey.height, grey.width, kPixelGrey, symbol, kNow);
}

std::vector<std::string> slotsOf(const ParserInstance& instance) {
  std::vector<std::string> slots;
  for (std::int32_t slot = 0; slot < kSlotCount; ++slot)
    slots.emplace_back(recordSlot(parsedRecord(instance), slot).view());
  return slots;
}

// Every slot of the record the text itself gives, so that an image result can be compared slot by slot.
std::vector<std::string> slotsOfText(const fs::path& sample) {
  const std::string text = readFile(sample);
  Instance instance(createInstance());
  EXPECT_EQ(parseBufferAt(instance.get(), text.data(), static_cast<std::int32_t>(text.size()), kNow), kStatusOk);
  return slotsOf(*instance);
}

// The symbol's four corners lie inside the picture.
void expectCornersInside(const ImageSymbol& symbol, std::int32_t width, std::int32_t height) {
  for (int i = 0; i < 8; i += 2) {
    EXPECT_GE(symbol.position[i], 0);
    EXPECT_LT(symbol.position[i], width);
    EXPECT_GE(symbol.position[i + 1], 0);
    EXPECT_LT(symbol.position[i + 1], height);
  }
}

const fs::path kCardText = kGolden / "aamva" / "2016-v9-current-edition.in";
const fs::path kTrackText = kGolden / "magstripe" / "australian-track1-given-name-first.in";

TEST(ParseImage, MoreFilledSlotsWinWhicheverSymbolIsFoundFirst) {
  const Grey card = loadGrey("aamva-2016-card.png");
  const Grey track = loadGrey("magstripe-track-qr.png");
  const std::vector<std::string> cardSlots = slotsOfText(kCardText);
  for (const bool cardFirst : {true, false}) {
    const Grey both = cardFirst ? sideBySide(card, track) : sideBySide(track, card);
    Instance instance(createInstance());
    ImageSymbol symbol;
    ASSERT_EQ(parseGrey(instance.get(), both, &symbol), kStatusOk) << "card first: " << cardFirst;
    EXPECT_STREQ(symbol.format, "PDF417") << "card first: " << cardFirst;
    EXPECT_EQ(slotsOf(*instance), cardSlots) << "card first: " << cardFirst;
    // The corners are those of the card's symbol, wherever it was placed.
    const std::int32_t left = cardFirst ? 0 : track.width;
    EXPECT_GE(symbol.position[0], left);
    EXPECT_LE(symbol.position[2], left + card.width + 40);
  }
}

TEST(ParseImage, ATiltedPhotoIsReadAndItsCornersGivenInThePhoto) {
  const Grey tilted = loadGrey("aamva-2016-card-tilted-7.png");
  Instance instance(createInstance());
  ImageSymbol symbol;
  ASSERT_EQ(parseGrey(instance.get(), tilted, &symbol), kStatusOk);
  EXPECT_STREQ(symbol.format, "PDF417");
  EXPECT_EQ(slotsOf(*instance), slotsOfText(kCardText));
  // The top edge falls to the right by the tilt, 7 degrees clockwise: tan 7° is 0.123.
  const double slope = static_cast<double>(symbol.position[3] - symbol.position[1]) /
                       static_cast<double>(symbol.position[2] - symbol.position[0]);
  EXPECT_NEAR(slope, 0.123, 0.02);
  expectCornersInside(symbol, tilted.width, tilted.height);
}

TEST(ParseImage, AnAcceptedSymbolBeatsARejectedOne) {
  const Grey both = sideBySide(loadGrey("rejected-code128.png"), loadGrey("magstripe-track-qr.png"));
  Instance instance(createInstance());
  ImageSymbol symbol;
  ASSERT_EQ(parseGrey(instance.get(), both, &symbol), kStatusOk);
  EXPECT_STREQ(symbol.format, "QRCode");
  EXPECT_EQ(slotsOf(*instance), slotsOfText(kTrackText));
}

TEST(ParseImage, NoSymbolIsNoBarcodeAndNamesNone) {
  Grey blank{.pixels = std::vector<std::uint8_t>(400 * 300, 0xFF), .width = 400, .height = 300};
  for (std::size_t i = 0; i < blank.pixels.size(); i += 7) blank.pixels[i] = 0x20;  // texture, no symbol
  Instance instance(createInstance());
  ImageSymbol symbol;
  symbol.format = "stale";
  EXPECT_EQ(parseGrey(instance.get(), blank, &symbol), kStatusNoBarcode);
  EXPECT_STREQ(symbol.format, "");
}

// The strides, layouts and sizes it refuses and a rejected symbol's name are checked through the C interface; a
// missing instance or symbol never gets there.
TEST(ParseImage, RefusesMissingBuffers) {
  const std::uint8_t pixels[16] = {};
  Instance instance(createInstance());
  ImageSymbol symbol;
  EXPECT_EQ(parseImage(instance.get(), nullptr, 4, 4, 4, kPixelGrey, &symbol), kStatusNoInput);
  EXPECT_EQ(parseImage(nullptr, pixels, 4, 4, 4, kPixelGrey, &symbol), kStatusNoInput);
  EXPECT_EQ(parseImage(instance.get(), pixels, 4, 4, 4, kPixelGrey, nullptr), kStatusNoInput);
}

TEST(DecodeImage, RefusesWhatIsNotAWholePngOrJpeg) {
  const std::string png = readFile(kImages / "aamva-2016-card.png");
  const std::string text = readFile(kCardText);
  for (const std::string_view bytes :
       {std::string_view(text), std::string_view(png).substr(0, png.size() / 2), std::string_view(png).substr(0, 8),
        std::string_view("\xFF\xD8\xFF\xE0 not really", 15)}) {
    DecodedImage image;
    EXPECT_EQ(decodeImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::int32_t>(bytes.size()),
                          &image),
              kStatusBadArgument)
        << bytes.size() << " bytes";
    EXPECT_EQ(image.pixels, nullptr);
  }
}

}  // namespace
}  // namespace quorix
