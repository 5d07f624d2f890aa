// The repairs a parse relied on: texts as scanners really deliver them are read after these mends, and every
// result says which of them it needed, so a caller can tell a clean read from a rescued one.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

namespace quorix {

using RepairSet = std::uint32_t;

inline constexpr RepairSet kRepairSeparatorsRestored = 1u << 0;
inline constexpr RepairSet kRepairLettersTransliterated = 1u << 1;
inline constexpr RepairSet kRepairStrayBytesDropped = 1u << 2;
inline constexpr RepairSet kRepairPrefixRemoved = 1u << 3;
inline constexpr RepairSet kRepairHeaderSeparatorsRepaired = 1u << 4;
inline constexpr RepairSet kRepairSubfileFoundByMarker = 1u << 5;
inline constexpr RepairSet kRepairNewerEditionReadAs2020 = 1u << 6;
// What the normaliser mended in the text the winning decoder read; trimming blanks at either end is no repair.
inline constexpr RepairSet kRepairLeadingBytesSkipped = 1u << 7;
inline constexpr RepairSet kRepairSpelledBytesDecoded = 1u << 8;
inline constexpr RepairSet kRepairTrackJointMended = 1u << 9;
inline constexpr RepairSet kRepairEscapedLineEndsDecoded = 1u << 10;
inline constexpr RepairSet kRepairHeaderRestored = 1u << 11;
inline constexpr RepairSet kRepairLineEndsReduced = 1u << 12;

struct RepairName {
  RepairSet bit;
  std::string_view name;
};

// In bit order; the tool and the bindings list a result's repairs in this order.
// clang-format off
inline constexpr RepairName kRepairNames[] = {
    {kRepairSeparatorsRestored, "separators restored"},
    {kRepairLettersTransliterated, "letters transliterated"},
    {kRepairStrayBytesDropped, "stray bytes dropped"},
    {kRepairPrefixRemoved, "prefix removed"},
    {kRepairHeaderSeparatorsRepaired, "header separators repaired"},
    {kRepairSubfileFoundByMarker, "subfile found by marker"},
    {kRepairNewerEditionReadAs2020, "newer edition read as 2020"},
    {kRepairLeadingBytesSkipped, "leading bytes skipped"},
    {kRepairSpelledBytesDecoded, "spelled-out bytes decoded"},
    {kRepairTrackJointMended, "track joint mended"},
    {kRepairEscapedLineEndsDecoded, "escaped line ends decoded"},
    {kRepairHeaderRestored, "header restored"},
    {kRepairLineEndsReduced, "line ends reduced"},
};
// clang-format on

constexpr bool repairBitsAreInOrder() {
  for (std::size_t i = 0; i < std::size(kRepairNames); ++i)
    if (kRepairNames[i].bit != (RepairSet{1} << i)) return false;
  return true;
}
static_assert(repairBitsAreInOrder());

}  // namespace quorix
