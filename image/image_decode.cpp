// PNG and JPEG decoding through Debian's stb_image, to grey pixels: the barcode reader works on luminance anyway,
// so one byte per pixel is all it needs and a third of the memory.
#include <quorix/image.h>
#include <stb_image.h>

#include <cstdint>
#include <cstring>

namespace quorix {
namespace {

bool isPng(const std::uint8_t* data, std::int32_t length) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return length >= 8 && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

bool isJpeg(const std::uint8_t* data, std::int32_t length) {
  return length >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

// Far beyond any photo of a card, and small enough that width × height cannot overflow an int32.
constexpr int kMaxSide = 20000;

}  // namespace

Status decodeImage(const std::uint8_t* data, std::int32_t length, DecodedImage* image) {
  if (data == nullptr || image == nullptr) return kStatusNoInput;
  *image = {};
  if (!isPng(data, length) && !isJpeg(data, length)) return kStatusBadArgument;
  int width = 0;
  int height = 0;
  int channels = 0;
  if (stbi_info_from_memory(data, length, &width, &height, &channels) == 0 || width < 1 || height < 1 ||
      width > kMaxSide || height > kMaxSide) {
    return kStatusBadArgument;
  }
  stbi_uc* pixels = stbi_load_from_memory(data, length, &width, &height, &channels, 1);
  if (pixels == nullptr) return kStatusBadArgument;  // damaged data, or memory that could not be had
  *image = {.pixels = pixels, .width = width, .height = height};
  return kStatusOk;
}

void releaseImage(DecodedImage* image) {
  if (image == nullptr) return;
  stbi_image_free(image->pixels);
  *image = {};
}

}  // namespace quorix
