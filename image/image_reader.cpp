// Finds the barcodes in an image with zxing-cpp and offers the bytes of each to the parser. The bytes go to the
// parser as the symbol encodes them: a character-set conversion would turn the Latin-1 bytes of a licence into
// UTF-8 pairs that no decoder expects.
#include <quorix/image.h>

#include <ZXing/BarcodeFormat.h>
#include <ZXing/DecodeHints.h>
#include <ZXing/ImageView.h>
#include <ZXing/ReadBarcode.h>
#include <ZXing/Result.h>

#include <cstdint>
#include <limits>
#include <new>
#include <string>

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
  for (const FieldSlot& slot : record.slots) count += slot.filled() ? 1 : 0;
  return count;
}

void describe(const ZXing::Result& result, ImageSymbol* symbol) {
  symbol->format = formatName(result.format());
  const ZXing::Position& corners = result.position();
  for (int i = 0; i < 4; ++i) {
    symbol->position[2 * i] = corners[i].x;
    symbol->position[2 * i + 1] = corners[i].y;
  }
}

Status parseSymbolBytes(ParserInstance* instance, const ZXing::ByteArray& bytes, const DateTime* now) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return kStatusBadArgument;
  const auto* text = reinterpret_cast<const char*>(bytes.data());
  const auto length = static_cast<std::int32_t>(bytes.size());
  return now != nullptr ? parseBufferAt(instance, text, length, *now) : parseBuffer(instance, text, length);
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
  const ZXing::ImageView view(pixels, width, height, format, rowStride);
  const ZXing::Results results = ZXing::ReadBarcodes(
      view, ZXing::DecodeHints().setFormats(kSymbolFormats).setTryHarder(true).setTryRotate(true));

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
    const std::int32_t score = filledSlots(instance->record);
    if (score > bestScore) {
      best = &result;
      bestScore = score;
    }
  }
  if (best == nullptr) {
    if (first != nullptr) describe(*first, symbol);
    return firstStatus;
  }
  describe(*best, symbol);
  // The record holds the last symbol's parse; the winner's result must be the one left behind.
  return best == last ? kStatusOk : parseSymbolBytes(instance, best->bytes(), now);
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
