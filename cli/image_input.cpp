// quorix-parse --image with the image component: decode, find the symbol, parse, and name the symbol in the output.
#include "cli/image_input.h"

#include <quorix/image.h>

#include <cstdint>
#include <limits>
#include <string>

namespace quorix {
namespace {

std::string positionList(const ImageSymbol& symbol, const char* separator) {
  std::string out;
  for (int i = 0; i < 8; ++i) {
    if (i > 0) out += separator;
    out += std::to_string(symbol.position[i]);
  }
  return out;
}

}  // namespace

bool imageInputBuilt() { return true; }

bool parseImageInput(ParserInstance& instance, std::string_view bytes, std::string_view name, bool text,
                     const DumpOptions& options, std::string& out, Status& status) {
  DecodedImage image;
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
      decodeImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::int32_t>(bytes.size()),
                  &image) != kStatusOk) {
    out = "not a PNG or JPEG image that can be decoded";
    return false;
  }
  ImageSymbol symbol;
  status = options.clock
               ? parseImageAt(&instance, image.pixels, image.width, image.height, image.width, kPixelGrey, &symbol,
                              *options.clock)
               : parseImage(&instance, image.pixels, image.width, image.height, image.width, kPixelGrey, &symbol);
  releaseImage(&image);
  const bool found = symbol.format[0] != '\0';
  if (text) {
    out = dumpText(instance, status, options);
    if (found) {
      out += std::string("image.format=") + symbol.format + "\nimage.position=" + positionList(symbol, ",") + "\n";
    }
    return true;
  }
  out = dumpJson(instance, name, status, options);
  if (found) {
    out.pop_back();  // the closing brace; the image member comes last
    out += std::string(", \"image\": {\"format\": \"") + symbol.format + "\", \"position\": [" +
           positionList(symbol, ", ") + "]}}";
  }
  out += "\n";
  return true;
}

}  // namespace quorix
