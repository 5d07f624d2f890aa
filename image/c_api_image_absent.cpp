// The C interface's image entry points in a library built without the image component: they exist, so that a
// program links against either build, and say that pictures cannot be read here.
#include <quorix/quorix.h>

#include "core/c_api_handle.h"

// The shared library compiles its own sources with hidden visibility; the C interface is what it exports.
#pragma GCC visibility push(default)
extern "C" {

int32_t quorix_image_supported(void) { return 0; }

int32_t quorix_parse_image(quorix_parser* parser, const uint8_t*, int32_t, int32_t, int32_t, int32_t) {
  if (parser == nullptr) return quorix::kStatusBadArgument;
  quorix::forgetResult(*parser);
  return quorix::kStatusNoImageSupport;
}

int32_t quorix_parse_image_at(quorix_parser* parser, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                              const quorix_datetime*) {
  if (parser == nullptr) return quorix::kStatusBadArgument;
  quorix::forgetResult(*parser);
  return quorix::kStatusNoImageSupport;
}

}  // extern "C"
#pragma GCC visibility pop
