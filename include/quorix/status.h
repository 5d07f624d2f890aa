// Status codes shared by every part of the library: 0 is success, a negative number a failure.
#pragma once

#include <cstdint>

namespace quorix {

using Status = std::int32_t;

inline constexpr Status kStatusOk = 0;
inline constexpr Status kStatusNoInput = -11;         // null input
inline constexpr Status kStatusNoSlot = -16;          // none of the listed slots is filled
inline constexpr Status kStatusEmptyInput = -17;      // input length below 1
inline constexpr Status kStatusOutputTooSmall = -18;  // a fixed text does not fit
inline constexpr Status kStatusBadArgument = -21;     // missing argument, null pointer, negative length
inline constexpr Status kStatusNoArena = -24;         // record without arena, or buffers that cannot be had
inline constexpr Status kStatusNoDecoder = -25;       // no decoder accepted the input
inline constexpr Status kStatusNoValue = -26;         // a field cannot be derived
inline constexpr Status kStatusHostError = -27;       // a JNI lookup failed
inline constexpr Status kStatusNoBarcode = -28;       // an image holds no barcode that could be read
inline constexpr Status kStatusInputTooLarge = -29;   // the input is longer than the instance's limit
inline constexpr Status kStatusNoImageSupport = -30;  // the library was built without the image component

// What a failed parse means, for people; null for 0 and for the codes a decoder family adds of its own, which
// callers describe with kDecoderFailedText.
constexpr const char* statusText(Status status) {
  switch (status) {
    case kStatusNoInput:
      return "no input was given";
    case kStatusEmptyInput:
      return "the input is empty";
    case kStatusBadArgument:
      return "the input is too large or an argument is out of range";
    case kStatusNoArena:
      return "the parser's buffers could not be allocated";
    case kStatusNoDecoder:
      return "no decoder accepted the input";
    case kStatusNoBarcode:
      return "no barcode found in the image";
    case kStatusInputTooLarge:
      return "the input is longer than the parser's limit";
    case kStatusNoImageSupport:
      return "the library was built without the image component";
    default:
      return nullptr;
  }
}
inline constexpr const char* kDecoderFailedText = "the decoder that recognised the input failed";

}  // namespace quorix
