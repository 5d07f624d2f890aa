// The extra values: slots the 40 result fields leave unread, passed on with the least change that makes them safe
// to print.
#include <quorix/extras.h>

#include <initializer_list>

#include "core/text_utils.h"
#include "derive/date_fields.h"
#include "derive/derivation_support.h"

namespace quorix {
namespace {

[[nodiscard]] Status extraText(const FieldRecord& record, std::initializer_list<std::int32_t> slots, char* out,
                               std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  out[0] = '\0';
  for (const std::int32_t slot : slots) {
    TextSpan text = slotSpan(record, slot);
    trimOutsideClass(&text, kClassGraphic);
    if (text.filled()) return graphicCopy(text, false, out, outSize);
  }
  return kStatusNoValue;
}

// A date that does not read as one is left out rather than passed on: callers compare these dates.
[[nodiscard]] Status extraDate(const FieldRecord& record, std::int32_t slot, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  out[0] = '\0';
  DocumentDate date;
  if (parseDocumentDate(slotSpan(record, slot), &date) != 0) return kStatusNoValue;
  if (outSize < 11) return kStatusOutputTooSmall;
  out[formatDocumentDate(date, out)] = '\0';
  return kStatusOk;
}

}  // namespace

Status deriveDocumentDiscriminator(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_DOCUMENT_DISCRIMINATOR}, out, outSize);
}

Status deriveUnder18Until(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraDate(record, SLOT_UNDER_18_UNTIL, out, outSize);
}

Status deriveUnder19Until(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraDate(record, SLOT_UNDER_19_UNTIL, out, outSize);
}

Status deriveUnder21Until(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraDate(record, SLOT_UNDER_21_UNTIL, out, outSize);
}

Status deriveCacEdipi(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_CAC_EDIPI}, out, outSize);
}

Status deriveAliasFullName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_AKA_FULL_NAME}, out, outSize);
}

Status deriveAliasFamilyName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_ALIAS_FAMILY_NAME, SLOT_AKA_FAMILY_NAME}, out, outSize);
}

Status deriveAliasGivenName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_ALIAS_GIVEN_NAME, SLOT_AKA_FIRST_NAME}, out, outSize);
}

Status deriveAliasMiddleName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_AKA_MIDDLE_NAME}, out, outSize);
}

Status deriveAliasSuffix(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_ALIAS_SUFFIX, SLOT_AKA_SUFFIX}, out, outSize);
}

Status deriveAliasPrefix(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_AKA_PREFIX}, out, outSize);
}

Status deriveFamilyNameTruncation(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_FAMILY_NAME_TRUNCATION}, out, outSize);
}

Status deriveFirstNameTruncation(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_FIRST_NAME_TRUNCATION}, out, outSize);
}

Status deriveMiddleNameTruncation(const FieldRecord& record, char* out, std::int32_t outSize) {
  return extraText(record, {SLOT_MIDDLE_NAME_TRUNCATION}, out, outSize);
}

Status deriveExtra(const FieldRecord& record, std::string_view name, char* out, std::int32_t outSize) {
  for (const ExtraField& field : kExtraFields)
    if (field.name == name) return field.text(record, out, outSize);
  return kStatusBadArgument;
}

}  // namespace quorix
