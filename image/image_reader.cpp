// Finds the barcodes in an image with zxing-cpp and offers the bytes of each to the parser. The bytes go to the
// parser as the symbol encodes them: a character-set conversion would turn the Latin-1 bytes of a licence into
// UTF-8 pairs that no decoder expects.
#include <ZXing/BarcodeFormat.h>
#include <ZXing/DecodeHints.h>
#include <ZXing/ImageView.h>
#include <ZXing/ReadBarcode.h>
#include <ZXing/Result.h>
#include <quorix/image.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <numbers>
#include <vector>

namespace quorix {
namespace {

constexpr ZXing::BarcodeFormats kSymbolFormats =
    ZXing::BarcodeFormat::PDF417 | ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::QRCode;

const char* formatName(ZXing::BarcodeFormat format) {
  switch (format) {
    case ZXing::BarcodeFormat::PDF417:
      return "PDF417";
    case ZXing::BarcodeFormat::Code128:
      return "Code128";
    case ZXing::BarcodeFormat::QRCode:
      return "QRCode";
    default:
      return "";
  }
}

ZXing::ImageFormat viewFormat(std::int32_t pixelFormat) {
  switch (pixelFormat) {
    case kPixelGrey:
      return ZXing::ImageFormat::Lum;
    case kPixelRgb:
      return ZXing::ImageFormat::RGB;
    case kPixelRgba:
      return ZXing::ImageFormat::RGBX;
    default:
      return ZXing::ImageFormat::None;
  }
}

std::int32_t filledSlots(const FieldRecord& record) {
  std::int32_t count = 0;
  for (std::int32_t slot = 0; slot < kSlotCount; ++slot) count += recordSlot(record, slot).filled() ? 1 : 0;
  return count;
}

// A turn of the picture about its centre. The reader searches in quarter turns only and misses a symbol tilted by
// more than a few degrees, as in a hand-held photo; when it finds nothing, it is shown the picture turned back.
struct Turn {
  double cosine = 1.0;
  double sine = 0.0;
  double centreX = 0.0;
  double centreY = 0.0;
  // Where a point of the turned picture lies in the original one.
  void toOriginal(double x, double y, double& outX, double& outY) const {
    outX = centreX + cosine * (x - centreX) + sine * (y - centreY);
    outY = centreY - sine * (x - centreX) + cosine * (y - centreY);
  }
};

// Degrees tried, in order, after the picture as given has yielded nothing.
constexpr double kTurns[] = {5.0, -5.0, 10.0, -10.0};

void describe(const ZXing::Result& result, const Turn& turn, ImageSymbol* symbol) {
  symbol->format = formatName(result.format());
  const ZXing::Position& corners = result.position();
  for (std::size_t i = 0; i < corners.size(); ++i) {
    double x = 0.0;
    double y = 0.0;
    turn.toOriginal(corners[i].x, corners[i].y, x, y);
    symbol->position[2 * i] = static_cast<std::int32_t>(std::lround(x));
    symbol->position[2 * i + 1] = static_cast<std::int32_t>(std::lround(y));
  }
}

Status parseSymbolBytes(ParserInstance* instance, const ZXing::ByteArray& bytes, const DateTime* now) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return kStatusBadArgument;
  const auto* text = reinterpret_cast<const char*>(bytes.data());
  const auto length = static_cast<std::int32_t>(bytes.size());
  return now != nullptr ? parseBufferAt(instance, text, length, *now) : parseBuffer(instance, text, length);
}

// Offers every symbol found to the parser and keeps the best; kStatusNoBarcode when none was readable.
Status parseBest(ParserInstance* instance, const ZXing::Results& results, const Turn& turn, ImageSymbol* symbol,
                 const DateTime* now) {
  const ZXing::Result* best = nullptr;
  const ZXing::Result* first = nullptr;
  const ZXing::Result* last = nullptr;
  std::int32_t bestScore = -1;
  Status firstStatus = kStatusNoBarcode;
  for (const ZXing::Result& result : results) {
    if (!result.isValid() || result.bytes().empty()) continue;
    const Status status = parseSymbolBytes(instance, result.bytes(), now);
    last = &result;
    if (first == nullptr) {
      first = &result;
      firstStatus = status;
    }
    if (status != kStatusOk) continue;
    const std::int32_t score = filledSlots(parsedRecord(*instance));
    if (score > bestScore) {
      best = &result;
      bestScore = score;
    }
  }
  if (best == nullptr) {
    if (first != nullptr) describe(*first, turn, symbol);
    return firstStatus;
  }
  describe(*best, turn, symbol);
  // The record holds the last symbol's parse; the winner's result must be the one left behind.
  return best == last ? kStatusOk : parseSymbolBytes(instance, best->bytes(), now);
}

std::uint8_t luminance(const std::uint8_t* pixel, std::int32_t pixelFormat) {
  if (pixelFormat == kPixelGrey) return pixel[0];
  return static_cast<std::uint8_t>((306 * pixel[0] + 601 * pixel[1] + 117 * pixel[2]) >> 10);
}

// The picture in grey, turned by the given angle about its centre, bilinear; what turns in from outside is white.
void turnedGrey(const std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t rowStride,
                std::int32_t pixelFormat, const Turn& turn, std::vector<std::uint8_t>& out) {
  out.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF);
  auto at = [&](std::int32_t x, std::int32_t y) {
    return static_cast<double>(
        luminance(pixels + static_cast<std::ptrdiff_t>(y) * rowStride + x * pixelFormat, pixelFormat));
  };
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      double sourceX = 0.0;
      double sourceY = 0.0;
      turn.toOriginal(x, y, sourceX, sourceY);
      const auto x0 = static_cast<std::int32_t>(std::floor(sourceX));
      const auto y0 = static_cast<std::int32_t>(std::floor(sourceY));
      if (x0 < 0 || y0 < 0 || x0 + 1 >= width || y0 + 1 >= height) continue;
      const double fx = sourceX - x0;
      const double fy = sourceY - y0;
      const double top = at(x0, y0) * (1.0 - fx) + at(x0 + 1, y0) * fx;
      const double bottom = at(x0, y0 + 1) * (1.0 - fx) + at(x0 + 1, y0 + 1) * fx;
      out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          static_cast<std::uint8_t>(top * (1.0 - fy) + bottom * fy + 0.5);
    }
  }
}

Status readAndParse(ParserInstance* instance, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                    std::int32_t rowStride, std::int32_t pixelFormat, ImageSymbol* symbol, const DateTime* now) {
  const ZXing::ImageFormat format = viewFormat(pixelFormat);
  if (instance == nullptr || pixels == nullptr || symbol == nullptr) return kStatusNoInput;
  if (format == ZXing::ImageFormat::None || width < 1 || height < 1 ||
      rowStride < static_cast<std::int64_t>(width) * pixelFormat) {
    return kStatusBadArgument;
  }
  *symbol = {};
  const ZXing::DecodeHints hints =
      ZXing::DecodeHints().setFormats(kSymbolFormats).setTryHarder(true).setTryRotate(true);
  const Status status =
      parseBest(instance, ZXing::ReadBarcodes(ZXing::ImageView(pixels, width, height, format, rowStride), hints),
                Turn{}, symbol, now);
  if (status != kStatusNoBarcode) return status;

  std::vector<std::uint8_t> turned;
  for (const double degrees : kTurns) {
    const double radians = degrees * std::numbers::pi / 180.0;
    const Turn turn{.cosine = std::cos(radians),
                    .sine = std::sin(radians),
                    .centreX = (width - 1) / 2.0,
                    .centreY = (height - 1) / 2.0};
    turnedGrey(pixels, width, height, rowStride, pixelFormat, turn, turned);
    const ZXing::ImageView view(turned.data(), width, height, ZXing::ImageFormat::Lum, width);
    if (const Status s = parseBest(instance, ZXing::ReadBarcodes(view, hints), turn, symbol, now);
        s != kStatusNoBarcode) {
      return s;
    }
  }
  return kStatusNoBarcode;
}

Status guardedParse(ParserInstance* instance, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                    std::int32_t rowStride, std::int32_t pixelFormat, ImageSymbol* symbol, const DateTime* now) {
  // zxing-cpp reports a failed allocation by throwing; it must not cross into callers built without exceptions.
  try {
    return readAndParse(instance, pixels, width, height, rowStride, pixelFormat, symbol, now);
  } catch (const std::bad_alloc&) {
    return kStatusNoArena;
  } catch (...) {
    return kStatusNoBarcode;  // the reader gave up on the image: nothing readable came out of it
  }
}

}  // namespace

Status parseImage(ParserInstance* instance, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                  std::int32_t rowStride, std::int32_t pixelFormat, ImageSymbol* symbol) {
  return guardedParse(instance, pixels, width, height, rowStride, pixelFormat, symbol, nullptr);
}

Status parseImageAt(ParserInstance* instance, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                    std::int32_t rowStride, std::int32_t pixelFormat, ImageSymbol* symbol, const DateTime& now) {
  return guardedParse(instance, pixels, width, height, rowStride, pixelFormat, symbol, &now);
}

}  // namespace quorix
