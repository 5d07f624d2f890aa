// The Common Access Card pipeline behind the five decoders: the field layouts, the hook table and the pieces of it
// that are worth testing on their own (base-32 numbers, the field splitter).
#pragma once

#include <quorix/status.h>

#include <cstdint>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix {

inline constexpr Status kStatusCacVersion = -7;    // the version character is not the decoder's
inline constexpr Status kStatusCacLayout = -14;    // slot 99 names the other version 3 layout
inline constexpr Status kStatusCacHeader = -20;    // header missing, or too short for the skip
inline constexpr Status kStatusCacFieldCut = -25;  // the text ends inside a field
inline constexpr Status kStatusCacBadDigit = -11;  // a base-32 field holds a character outside the alphabet

// One field of a layout: the slot it fills and its width in characters. Fields follow each other without gaps.
struct CacField {
  std::int32_t slot = 0;
  std::int32_t width = 0;
};

struct CacLayout {
  std::int32_t count = 0;
  const CacField* rows = nullptr;
};

extern const CacLayout CacLayoutV1;   // 17 fields, 89 characters from the first character of the text
extern const CacLayout CacLayoutV3A;  // 30 fields, 182 characters behind the nine-character header
extern const CacLayout CacLayoutV3B;  // 28 fields, 142 characters behind the header
extern const CacLayout CacLayoutV3C;  // 25 fields, 184 characters behind the header

struct CacPipeline;
using CacDecodeHook = Status (*)(CacPipeline& pipeline, const char* text, std::int32_t length);
using CacTextHook = Status (*)(CacPipeline& pipeline, TextSpan text);
using CacSplitHook = Status (*)(CacPipeline& pipeline, TextSpan body, const CacField* layout, std::int32_t fieldCount);
using CacStoreHook = Status (*)(CacPipeline& pipeline, std::int32_t slot, TextSpan field);

// One decode's hook table, on the decode function's stack; it owns nothing. An empty hook succeeds.
struct CacPipeline {
  FieldRecord* record = nullptr;
  ParserInstance* instance = nullptr;
  const char* versionText = nullptr;  // the version character the header must carry, or empty for any
  const CacField* layout = nullptr;
  std::int32_t fieldCount = 0;
  CacDecodeHook decode = nullptr;
  CacTextHook checkHeader = nullptr;
  CacTextHook splitBody = nullptr;
  CacSplitHook splitFields = nullptr;
  CacStoreHook storeField = nullptr;
};

// Clears the pipeline and installs the defaults: the driver, the "IDUS" header test, the nine-character skip, the
// field splitter and the plain store. Always 0.
[[nodiscard]] Status initCacPipeline(CacPipeline& pipeline, const char* versionText, const CacField* layout,
                                     std::int32_t fieldCount, FieldRecord& record, ParserInstance& instance);

// Cuts body into the layout's consecutive fields and stores each: 0 when the rows are done or the body runs out at a
// field boundary or inside the last field, -25 when it ends inside an earlier field (the fields before stay
// stored), -21 on a bad argument.
[[nodiscard]] Status splitCacFields(CacPipeline& pipeline, TextSpan body, const CacField* layout,
                                    std::int32_t fieldCount);

// Reads a base-32 field (digits "0"-"9", "A"-"V", most significant first, stopping at "="): 0 and the value, or
// -11 for an empty field, a character outside the alphabet or a value beyond 64 bits.
[[nodiscard]] Status readBase32(TextSpan field, std::uint64_t* value);

}  // namespace quorix
