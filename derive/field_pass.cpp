// The 40 result fields in one pass over the record. Fields that rest on the same work take it from the field that
// did it first: the full name joins the name parts derived before it, country, country code and jurisdiction share
// one derivation of the issuer, and issuedBy reads the IIN field.
#include <quorix/result_fields.h>

#include <cstring>
#include <iterator>
#include <string_view>

#include "core/instance.h"
#include "derive/address_fields.h"
#include "derive/derivation_support.h"
#include "derive/name_fields.h"

namespace quorix {

void fieldsMustBeListed();  // not constexpr: reaching it is a compile error

namespace {

consteval std::int32_t fieldIndex(FieldDerivation derivation) {
  for (std::size_t i = 0; i < std::size(kResultFields); ++i)
    if (kResultFields[i].text == derivation) return static_cast<std::int32_t>(i);
  fieldsMustBeListed();
  return -1;
}

constexpr std::int32_t kFirstName = fieldIndex(deriveFirstName);
constexpr std::int32_t kMiddleName = fieldIndex(deriveMiddleName);
constexpr std::int32_t kLastName = fieldIndex(deriveLastName);
constexpr std::int32_t kNameSuffix = fieldIndex(deriveNameSuffix);
constexpr std::int32_t kFullName = fieldIndex(deriveFullName);
constexpr std::int32_t kCountryCode = fieldIndex(deriveCountryCode);
constexpr std::int32_t kCountry = fieldIndex(deriveCountry);
constexpr std::int32_t kJurisdictionCode = fieldIndex(deriveJurisdictionCode);
constexpr std::int32_t kIin = fieldIndex(deriveIin);
constexpr std::int32_t kIssuedBy = fieldIndex(deriveIssuedBy);
// A field can only share what came before it.
static_assert(kFirstName < kFullName && kMiddleName < kFullName && kLastName < kFullName && kNameSuffix < kFullName);
static_assert(kIin < kIssuedBy);

// Where the full name finds a part: the order NameParts keeps them in.
constexpr std::int32_t namePartOf(std::int32_t field) {
  if (field == kFirstName) return 0;
  if (field == kMiddleName) return 1;
  if (field == kLastName) return 2;
  if (field == kNameSuffix) return 3;
  return -1;
}

struct SharedWork {
  NameParts names;
  IssuerParts issuer;
  bool issuerDerived = false;
  Status iinStatus = kStatusNoValue;
  bool iinKept = false;  // iin holds the IIN as a buffer of kIinBufferSize bytes would hold it
  char iin[kIinBufferSize] = {};
};

const IssuerParts& issuerOf(const FieldRecord& record, SharedWork& work) {
  if (!work.issuerDerived) deriveIssuerParts(record, work.issuer);
  work.issuerDerived = true;
  return work.issuer;
}

Status deriveSharing(std::int32_t field, const FieldRecord& record, SharedWork& work, char* out, std::int32_t outSize) {
  switch (field) {
    case kFirstName:
      return deriveFirstNameSharing(record, out, outSize, &work.names);
    case kLastName:
      return deriveLastNameSharing(record, out, outSize, &work.names);
    case kMiddleName:
      return deriveMiddleNameSharing(record, out, outSize, &work.names);
    case kFullName:
      return deriveFullNameSharing(record, out, outSize, &work.names);
    case kCountryCode:
      return deriveCountryCodeSharing(record, &issuerOf(record, work), out, outSize);
    case kCountry: {
      const IssuerParts& issuer = issuerOf(record, work);
      return takeSharedText(issuer.countryStatus, issuer.country, kCountryBufferSize, record, deriveCountry, out,
                            outSize);
    }
    case kJurisdictionCode: {
      const IssuerParts& issuer = issuerOf(record, work);
      return takeSharedText(issuer.jurisdictionStatus, issuer.jurisdiction, kJurisdictionBufferSize, record,
                            deriveJurisdictionCode, out, outSize);
    }
    case kIssuedBy:
      if (!work.iinKept) return deriveIssuedBy(record, out, outSize);
      if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
      return deriveIssuedByFromIin(work.iinStatus, work.iin, out, outSize);
    default:
      return kResultFields[field].text(record, out, outSize);
  }
}

// Keeps what later fields take from this one.
void keepShared(std::int32_t field, Status status, const char* out, std::int32_t outSize, SharedWork& work) {
  if (const std::int32_t part = namePartOf(field); part >= 0) {
    rememberNamePart(work.names.parts[part], status, out, outSize);
  } else if (field == kIin) {
    // The IIN fills another buffer the same way unless it reaches the last byte of either; it fails the same way
    // in any buffer of two bytes or more.
    work.iinStatus = status;
    const std::int32_t length = status == kStatusOk ? boundedLength(out, outSize) : 0;
    work.iinKept = outSize >= 2 && length < kIinBufferSize - 1 && length < outSize - 1;
    if (!work.iinKept) return;
    std::memcpy(work.iin, out, static_cast<std::size_t>(length));
    work.iin[length] = '\0';
  }
}

}  // namespace

std::string_view deriveIntoTextBuffer(ParserInstance& instance, FieldDerivation derivation) {
  char* out = instance.textBuffer;
  if (out == nullptr || instance.textBufferSize < 1) return {};
  return textFieldValue(derivation(instance.record, out, instance.textBufferSize), out, instance.textBufferSize).text;
}

FieldValue deriveFieldValue(ParserInstance& instance, const ResultField& field) {
  if (field.flag != nullptr) {
    std::int32_t value = 0;
    if (field.flag(instance.record, &value) != kStatusOk) return {};
    // The indicator is yes only for a 1; any other value the document carries reads as no.
    return {.present = true, .text = {}, .flag = value == 1 ? 1 : 0};
  }
  const std::string_view text = deriveIntoTextBuffer(instance, field.text);
  if (text.empty()) return {};
  return {.present = true, .text = text, .flag = 0};
}

void deriveFieldValues(ParserInstance& instance, FieldValueVisitor visit, void* context) {
  SharedWork work;
  char* out = instance.textBuffer;
  const std::int32_t outSize = instance.textBufferSize;
  for (std::int32_t field = 0; field < static_cast<std::int32_t>(std::size(kResultFields)); ++field) {
    const ResultField& result = kResultFields[field];
    FieldValue value;
    if (result.flag != nullptr) {
      value = deriveFieldValue(instance, result);
    } else if (out != nullptr && outSize >= 1) {
      const Status status = deriveSharing(field, instance.record, work, out, outSize);
      keepShared(field, status, out, outSize, work);
      value = textFieldValue(status, out, outSize);
    }
    visit(context, field, value);
  }
}

}  // namespace quorix
