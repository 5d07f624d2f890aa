// The framing of an AAMVA barcode text as scanners really deliver it: a configured prefix before the compliance
// mark, bytes from 0x80 up in the header and element ids, and header separators replaced by letters. Every AAMVA
// row reads the text with these mended, and the result names what was mended.
#pragma once

#include <quorix/repairs.h>

#include <cstdint>

namespace quorix {

// Whether the text went through the normaliser, whose header repairs are then applied again once stray bytes no
// longer hide the damaged header, or is the reader's exact bytes.
enum class AamvaTextKind { kNormalised, kExact };

// Scanners put at most this many bytes of their own in front of the compliance mark.
inline constexpr std::int32_t kMaxScannerPrefix = 16;

// The repairs the text needs to be read from its compliance mark with the separators its body uses; 0 when it is
// read as it stands, or when the mended text would not fit in room bytes. With edit non-null (holding the same
// length bytes as text, or being text itself, with room + 1 bytes of space), the mended text is written there in
// place, NUL-terminated, and its length stored in editedLength; edit is left untouched when the result is 0.
[[nodiscard]] RepairSet reframeAamvaText(const char* text, std::int32_t length, std::int32_t room, AamvaTextKind kind,
                                         char* edit, std::int32_t* editedLength);

}  // namespace quorix
