// The C interface's image entry points in a library built with the image component: the picture goes to
// parseImage, the winning symbol's result is stored in the handle as a text parse's is, and the symbol is kept.
#include <quorix/image.h>
#include <quorix/quorix.h>

#include <cstring>

#include "core/c_api_handle.h"

namespace quorix {
namespace {

static_assert(QUORIX_PIXEL_GREY == kPixelGrey && QUORIX_PIXEL_RGB == kPixelRgb && QUORIX_PIXEL_RGBA == kPixelRgba);

Status parseImageInto(quorix_parser& parser, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                      std::int32_t rowStride, std::int32_t pixelFormat, const DateTime* now) {
  ImageSymbol symbol;
  const Status status =
      now != nullptr ? parseImageAt(parser.instance, pixels, width, height, rowStride, pixelFormat, &symbol, *now)
                     : parseImage(parser.instance, pixels, width, height, rowStride, pixelFormat, &symbol);
  const Status stored = finishParse(parser, status);
  if (symbol.format[0] != '\0') {
    parser.symbolFormat = symbol.format;
    std::memcpy(parser.symbolPosition, symbol.position, sizeof symbol.position);
  }
  return stored;
}

}  // namespace
}  // namespace quorix

// The shared library compiles its own sources with hidden visibility; the C interface is what it exports.
#pragma GCC visibility push(default)
extern "C" {

int32_t quorix_image_supported(void) { return 1; }

int32_t quorix_parse_image(quorix_parser* parser, const uint8_t* pixels, int32_t width, int32_t height,
                           int32_t row_stride, int32_t pixel_format) {
  if (parser == nullptr) return quorix::kStatusBadArgument;
  quorix::forgetResult(*parser);
  return quorix::parseImageInto(*parser, pixels, width, height, row_stride, pixel_format, nullptr);
}

int32_t quorix_parse_image_at(quorix_parser* parser, const uint8_t* pixels, int32_t width, int32_t height,
                              int32_t row_stride, int32_t pixel_format, const quorix_datetime* now) {
  if (parser == nullptr) return quorix::kStatusBadArgument;
  quorix::forgetResult(*parser);
  if (now == nullptr || !quorix::clockInRange(*now)) return quorix::kStatusBadArgument;
  const quorix::DateTime time = quorix::toDateTime(*now);
  return quorix::parseImageInto(*parser, pixels, width, height, row_stride, pixel_format, &time);
}

}  // extern "C"
#pragma GCC visibility pop
