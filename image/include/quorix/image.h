// The image front end: finds a barcode in a picture of a document and parses the bytes it encodes. Only present
// when the library was built with the optional image component (target quorix::image).
#pragma once

#include <quorix/field_record.h>
#include <quorix/parser.h>
#include <quorix/status.h>

#include <cstdint>

namespace quorix {

// How the pixels of an image buffer are laid out; the value is the number of bytes per pixel.
inline constexpr std::int32_t kPixelGrey = 1;
inline constexpr std::int32_t kPixelRgb = 3;
inline constexpr std::int32_t kPixelRgba = 4;

// The symbol whose bytes became the parse: its kind ("PDF417", "Code128", "QRCode") and its corners, clockwise
// from the top-left corner of the symbol as encoded, in pixels of the image.
struct ImageSymbol {
  const char* format = "";
  std::int32_t position[8] = {};
};

// Finds PDF417, Code 128 and QR symbols in the image and parses each symbol's bytes exactly as encoded. An image in
// which nothing is found is searched again turned by 5 and 10 degrees either way, for photos taken at a slant. With
// several symbols the one whose parse fills the most slots wins, the first found on a tie, and its result stays in
// parsedRecord(*instance). kStatusNoBarcode when no symbol can be read; the parse status of the first symbol when the
// parser accepts none of them (symbol then names that one). rowStride is in bytes and at least width × pixelFormat.
[[nodiscard]] Status parseImage(ParserInstance* instance, const std::uint8_t* pixels, std::int32_t width,
                                std::int32_t height, std::int32_t rowStride, std::int32_t pixelFormat,
                                ImageSymbol* symbol);
// The same with a given clock, so that results depending on the date are reproducible.
[[nodiscard]] Status parseImageAt(ParserInstance* instance, const std::uint8_t* pixels, std::int32_t width,
                                  std::int32_t height, std::int32_t rowStride, std::int32_t pixelFormat,
                                  ImageSymbol* symbol, const DateTime& now);

// A PNG or JPEG file decoded to grey pixels, one byte each, rows without padding.
struct DecodedImage {
  std::uint8_t* pixels = nullptr;  // owned; release with releaseImage
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Decodes a PNG or JPEG held in memory; kStatusBadArgument for other or damaged data or pixels that cannot be had.
[[nodiscard]] Status decodeImage(const std::uint8_t* data, std::int32_t length, DecodedImage* image);
void releaseImage(DecodedImage* image);

}  // namespace quorix
