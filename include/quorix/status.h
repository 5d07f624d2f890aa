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
inline constexpr Status kStatusInputTooLarge = -29;   // the input is longer than the instance's limit

}  // namespace quorix
