// Values a parse reads beyond the 40 result fields, each under a fixed name: filled where the document carries it,
// absent otherwise. The tool, the bindings and their tests walk this one list.
#pragma once

#include <quorix/field_record.h>
#include <quorix/result_fields.h>
#include <quorix/status.h>

#include <cstdint>
#include <iterator>
#include <string_view>

namespace quorix {

// The extras write like the text result fields: a NUL-terminated text cut to fit, -26 when the record does not
// hold the value, -21 for a record without arena, a null out or outSize < 1. Dates are MM/DD/YYYY, as the result
// dates; other values are the document's text with non-graphic bytes trimmed from the ends.
Status deriveDocumentDiscriminator(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveUnder18Until(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveUnder19Until(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveUnder21Until(const FieldRecord& record, char* out, std::int32_t outSize);
// The Common Access Card's electronic data interchange person identifier, in decimal digits.
Status deriveCacEdipi(const FieldRecord& record, char* out, std::int32_t outSize);
// Alias names: the later editions' elements first, the 2000 edition's where those are empty.
Status deriveAliasFullName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAliasFamilyName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAliasGivenName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAliasMiddleName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAliasSuffix(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAliasPrefix(const FieldRecord& record, char* out, std::int32_t outSize);
// Name truncation indicators as printed: T truncated, N not truncated, U unknown.
Status deriveFamilyNameTruncation(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveFirstNameTruncation(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveMiddleNameTruncation(const FieldRecord& record, char* out, std::int32_t outSize);

struct ExtraField {
  std::string_view name;
  FieldDerivation text = nullptr;
};

// In the order the tool prints them. Names are never reused: a binding may keep them.
// clang-format off
inline constexpr ExtraField kExtraFields[] = {
    {.name = "documentDiscriminator", .text = deriveDocumentDiscriminator},
    {.name = "under18Until", .text = deriveUnder18Until},
    {.name = "under19Until", .text = deriveUnder19Until},
    {.name = "under21Until", .text = deriveUnder21Until},
    {.name = "cacEdipi", .text = deriveCacEdipi},
    {.name = "aliasFullName", .text = deriveAliasFullName},
    {.name = "aliasFamilyName", .text = deriveAliasFamilyName},
    {.name = "aliasGivenName", .text = deriveAliasGivenName},
    {.name = "aliasMiddleName", .text = deriveAliasMiddleName},
    {.name = "aliasSuffix", .text = deriveAliasSuffix},
    {.name = "aliasPrefix", .text = deriveAliasPrefix},
    {.name = "familyNameTruncation", .text = deriveFamilyNameTruncation},
    {.name = "firstNameTruncation", .text = deriveFirstNameTruncation},
    {.name = "middleNameTruncation", .text = deriveMiddleNameTruncation},
};
// clang-format on
static_assert(std::size(kExtraFields) == 14);

// The extra of that name, written as its derivation writes it; -21 as well for a name not in kExtraFields.
[[nodiscard]] Status deriveExtra(const FieldRecord& record, std::string_view name, char* out, std::int32_t outSize);

}  // namespace quorix
