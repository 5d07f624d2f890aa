// The 40 result fields in one pass over the record. Fields that rest on the same work take it from the field that
// did it first: the full name joins the name parts derived before it, country, country code and jurisdiction share
// one derivation of the issuer, issuedBy reads the IIN field, and vehicleClassCode repeats classificationCode.
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

// The first field derived by derivation, or with again, the last.
consteval std::int32_t fieldIndex(FieldDerivation derivation, bool again = false) {
  std::int32_t found = -1;
  for (std::size_t i = 0; i < std::size(kResultFields); ++i) {
    if (kResultFields[i].text != derivation) continue;
    found = static_cast<std::int32_t>(i);
    if (!again) return found;
  }
  if (found < 0) fieldsMustBeListed();
  return found;
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
constexpr std::int32_t kClassification = fieldIndex(deriveClassificationCode);
constexpr std::int32_t kVehicleClass = fieldIndex(deriveClassificationCode, true);
// A field can only share what came before it.
static_assert(kFirstName < kFullName && kMiddleName < kFullName && kLastName < kFullName && kNameSuffix < kFullName);
static_assert(kIin < kIssuedBy && kClassification < kVehicleClass);

// Where the full name finds a part: the order NameParts keeps them in.
constexpr std::int32_t namePartOf(std::int32_t field) {
  if (field == kFirstName) return 0;
  if (field == kMiddleName) return 1;
  if (field == kLastName) return 2;
  if (field == kNameSuffix) return 3;
  return -1;
}

// A short text field as a later field takes it.
struct KeptText {
  Status status = kStatusNoValue;
  bool kept = false;  // text holds the value as a buffer of kIinBufferSize bytes, or of the pass's size, would hold it
  char text[kIinBufferSize] = {};
  std::int32_t length = 0;  // of text, without its NUL

  // A value fills another buffer the same way unless it reaches the last byte of either; it fails the same way in
  // any buffer of two bytes or more.
  void keep(Status derived, const char* out, std::int32_t outSize) {
    status = derived;
    length = derived == kStatusOk ? boundedLength(out, outSize) : 0;
    kept = outSize >= 2 && length < kIinBufferSize - 1 && length < outSize - 1;
    if (!kept) return;
    std::memcpy(text, out, static_cast<std::size_t>(length));
    text[length] = '\0';
  }
};

struct SharedWork {
  NameParts names;
  IssuerParts issuer;
  bool issuerDerived = false;
  KeptText iin;
  KeptText classification;
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
      if (!work.iin.kept) return deriveIssuedBy(record, out, outSize);
      if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
      return deriveIssuedByFromIin(work.iin.status, work.iin.text, out, outSize);
    case kVehicleClass:
      // The same derivation into a buffer of the same size: the kept value is what it would write again.
      if (!work.classification.kept) return deriveClassificationCode(record, out, outSize);
      if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
      std::memcpy(out, work.classification.text, static_cast<std::size_t>(work.classification.length) + 1);
      return work.classification.status;
    default:
      return kResultFields[field].text(record, out, outSize);
  }
}

// Keeps what later fields take from this one.
void keepShared(std::int32_t field, Status status, const char* out, std::int32_t outSize, SharedWork& work) {
  if (const std::int32_t part = namePartOf(field); part >= 0) {
    rememberNamePart(work.names.parts[part], status, out, outSize);
  } else if (field == kIin) {
    work.iin.keep(status, out, outSize);
  } else if (field == kClassification) {
    work.classification.keep(status, out, outSize);
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
