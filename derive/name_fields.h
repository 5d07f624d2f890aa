// Name fields: first, last, middle, suffix, prefix and full name, from separate name elements or by splitting the
// full name, with the per-jurisdiction hooks deciding first where a jurisdiction has them.
#pragma once

#include <quorix/result_fields.h>
#include <quorix/status.h>

#include <cstdint>
#include <iterator>

#include "core/field_record.h"

namespace quorix {

inline constexpr const char* NAME_PART_SEPARATORS = ",$@";
inline constexpr const char* NAME_WORD_SEPARATORS = " ,$@";
inline constexpr const char* NAME_TRIM_SET = " ,$@\\/-^\t\n\r";

// Whole words compared exactly. "4TH" stands twice (harmless, the first match wins) and "V" is missing on purpose:
// a lone V behind a name is taken for an initial.
// clang-format off
inline constexpr const char* NameSuffixTable[] = {
    "JR", "SR", "JR.", "SR.", "II", "III", "IV", "MD", "PHD", "PH.D", "M.D.", "4TH",
    "2ND", "3RD", "1ST", "4TH", "VI", "5TH", "6TH", "7TH", "VII", "8TH", "VIII", "9TH",
};
// clang-format on
static_assert(std::size(NameSuffixTable) == 24);
inline constexpr std::int32_t kNameSuffixCount = static_cast<std::int32_t>(std::size(NameSuffixTable));

[[nodiscard]] bool isNameSuffix(TextSpan word);

// Splits the NUL-terminated text in text[0, size) into words, drops suffix words after the first and every "NONE",
// trims NAME_TRIM_SET from each word and joins them with single spaces in place. kStatusNoValue when no word is
// left (text is then empty), kStatusBadArgument for a null text or size < 1.
[[nodiscard]] Status cleanNameText(char* text, std::int32_t size);

// Suffix-aware adjustment of the parts of a full name split on NAME_PART_SEPARATORS: a suffix in the second or
// last place is removed; FIRST,M,LAST is rotated to LAST,FIRST,M. Returns the new count.
std::int32_t adjustNameParts(TextSpan parts[], std::int32_t count);

// Full-name splitters for the jurisdictions of the correction table; no suffix handling.
using NameSplitter = Status (*)(const FieldRecord& record, TextSpan fullName, char* out, std::int32_t outSize);
struct NameSplitters {
  NameSplitter first = nullptr;
  NameSplitter last = nullptr;
  NameSplitter middle = nullptr;
};

[[nodiscard]] Status splitFirstName(const FieldRecord& record, TextSpan fullName, char* out, std::int32_t outSize);
[[nodiscard]] Status splitLastName(const FieldRecord& record, TextSpan fullName, char* out, std::int32_t outSize);
[[nodiscard]] Status splitMiddleName(const FieldRecord& record, TextSpan fullName, char* out, std::int32_t outSize);

inline constexpr NameSplitters DefaultNameSplitters{
    .first = splitFirstName, .last = splitLastName, .middle = splitMiddleName};

// A name field derived once, to be joined into the full name without deriving it again: the status, and on success
// the text unless it was too long to keep (known is then false).
struct NamePart {
  bool known = false;
  Status status = kStatusNoValue;
  std::int32_t length = 0;
  char text[256];
};
// First, middle and last name and suffix, in the order the full name joins them, and the full name split into its
// parts (splitCount -1 until split), which the first, middle and last name would each split alike.
struct NameParts {
  NamePart parts[4];
  std::int32_t splitCount = -1;
  TextSpan split[8];
};

// deriveFirstName, deriveLastName and deriveMiddleName, splitting the full name at most once across calls that
// share parts (null: on their own).
[[nodiscard]] Status deriveFirstNameSharing(const FieldRecord& record, char* out, std::int32_t outSize,
                                            NameParts* shared);
[[nodiscard]] Status deriveLastNameSharing(const FieldRecord& record, char* out, std::int32_t outSize,
                                           NameParts* shared);
[[nodiscard]] Status deriveMiddleNameSharing(const FieldRecord& record, char* out, std::int32_t outSize,
                                             NameParts* shared);

// Keeps a part as its derivation left it in text[0, textSize).
void rememberNamePart(NamePart& part, Status status, const char* text, std::int32_t textSize);

// The length of the longest name slot a name field is made from: no name field, and nothing a name derivation
// writes on its way, is longer.
[[nodiscard]] std::int32_t longestNameSlot(const FieldRecord& record);

// deriveFullName, taking the parts from parts (null for none) where they were derived with the same outSize.
[[nodiscard]] Status deriveFullNameSharing(const FieldRecord& record, char* out, std::int32_t outSize,
                                           const NameParts* parts);

}  // namespace quorix
