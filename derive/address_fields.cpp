// Address, issuer and document derivations. A record may carry only an IIN, only a jurisdiction code, only a
// country name or only a country code; each issuer field fills the gap from the reference tables.
#include "derive/address_fields.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "core/text_utils.h"
#include "derive/derivation_support.h"
#include "derive/jurisdiction_corrections.h"
#include "derive/name_fields.h"
#include "tables/country_table.h"
#include "tables/iin_table.h"
#include "tables/jurisdiction_table.h"

namespace quorix {
namespace {

constexpr std::int32_t kJurisdictionSlots[] = {SLOT_JURISDICTION, SLOT_RES_JURISDICTION};
constexpr std::int32_t kCitySlots[] = {SLOT_CITY, SLOT_RES_CITY};
constexpr std::int32_t kLicenceNumberSlots[] = {SLOT_LICENCE_NUMBER, SLOT_LICENCE_NUMBER_ALT, SLOT_CAC_PERSON_NUMBER,
                                                SLOT_CAC_PERSON_ID};

template <std::size_t N>
TextSpan firstFilled(const FieldRecord& record, const std::int32_t (&slots)[N]) {
  TextSpan span;
  if (firstFilledSlot(record, slots, static_cast<std::int32_t>(N), &span) != kStatusOk) return TextSpan{};
  return span;
}

TextSpan bufferSpan(const char* buffer, std::int32_t size) { return TextSpan{buffer, boundedLength(buffer, size)}; }

Status copyUnchanged(char* out, std::int32_t outSize, TextSpan span) {
  return wroteText(copyFilteredZ(out, outSize, span, nullptr, nullptr, 0));
}

Status copyText(char* out, std::int32_t outSize, const char* text) {
  if (text == nullptr) return kStatusNoValue;
  return wroteText(copyTextZ(out, outSize, text));
}

Status deriveAddressLine(const FieldRecord& record, const std::int32_t* slots, std::int32_t slotCount, char* out,
                         std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (row.addressHook != nullptr && row.addressHook(record, slots, slotCount, out, outSize) == kStatusOk)
    return kStatusOk;
  TextSpan line;
  if (firstFilledSlot(record, slots, slotCount, &line) != kStatusOk) return kStatusNoValue;
  trimOutsideClass(&line, kClassGraphic);
  trimChars(&line, NAME_TRIM_SET);
  return graphicCopy(line, true, out, outSize);
}

Status copyPostalCode(TextSpan code, char* out, std::int32_t outSize) {
  return wroteText(copyFilteredZ(out, outSize, code, nullptr, " ,", 0));
}

// Drops the first word of text and the spaces behind it; a text starting with spaces loses only those.
void dropWord(TextSpan* text) {
  TextSpan word;
  TextSpan rest;
  nextToken(*text, &word, &rest, " ", false);
  trimLeftChars(&rest, " ");
  *text = rest;
}

// Some documents print the whole address on one street line: the postal code is what follows the city and the
// jurisdiction code there. Every round cuts at least the city off the rest, so the search ends on every input.
Status postalCodeFromStreet(const FieldRecord& record, char* out, std::int32_t outSize) {
  const TextSpan street = firstFilled(record, kAddress1Slots);
  if (!street.filled() || outSize < 2) return kStatusNoValue;
  if (deriveCity(record, out, outSize - 1) != kStatusOk) return kStatusNoValue;
  const TextSpan city = bufferSpan(out, outSize - 1);
  const std::int32_t jurisdictionStart = city.length + 1;
  if (!city.filled() || outSize - jurisdictionStart < 2) return kStatusNoValue;
  if (deriveJurisdictionCode(record, out + jurisdictionStart, outSize - jurisdictionStart) != kStatusOk)
    return kStatusNoValue;
  const TextSpan jurisdiction = bufferSpan(out + jurisdictionStart, outSize - jurisdictionStart);

  const std::int32_t bothLength = city.length + jurisdiction.length;
  TextSpan rest = street;
  while (rest.length > bothLength) {
    while (rest.filled() && !rest.view().starts_with(city.view())) dropWord(&rest);
    if (!rest.filled()) return kStatusNoValue;
    advanceSpan(&rest, city.length);
    if (rest.length > jurisdiction.length) {
      TextSpan word;
      nextToken(rest, &word, &rest, " ", true);
      if (word.view() != jurisdiction.view()) continue;
    }
    TextSpan code = rest;
    trimChars(&code, kWhiteSpace);
    if (!code.filled()) return kStatusNoValue;
    if (findFirstNotIf(&code, isAlnumUnderscoreOrSpace) == 0)
      return wroteText(copyFilteredZ(out, outSize, code, nullptr, " ", 0));
  }
  return kStatusNoValue;
}

}  // namespace

Status deriveDocumentType(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  return graphicCopy(slotSpan(record, SLOT_DOCUMENT_TYPE), false, out, outSize);
}

Status deriveJurisdictionCode(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const TextSpan jurisdiction = firstFilled(record, kJurisdictionSlots);
  if (jurisdiction.filled()) return graphicCopy(jurisdiction, false, out, outSize);
  const TextSpan iin = slotSpan(record, SLOT_IIN);
  if (!iin.filled()) return kStatusNoValue;
  return copyText(out, outSize, jurisdictionForIin(iin));
}

Status deriveIin(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const TextSpan iin = slotSpan(record, SLOT_IIN);
  const TextSpan jurisdiction = firstFilled(record, kJurisdictionSlots);
  if (!iin.filled()) return copyText(out, outSize, iinForJurisdiction(jurisdiction));
  if (isKnownIin(iin)) return copyUnchanged(out, outSize, iin);
  // An IIN outside the table may still come with a jurisdiction the table knows.
  if (const char* fromJurisdiction = iinForJurisdiction(jurisdiction); fromJurisdiction != nullptr)
    return copyText(out, outSize, fromJurisdiction);
  return copyUnchanged(out, outSize, iin);
}

Status deriveIssuedBy(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  char iin[kIinBufferSize];
  return deriveIssuedByFromIin(deriveIin(record, iin, kIinBufferSize), iin, out, outSize);
}

Status deriveIssuedByFromIin(Status iinStatus, const char* iin, char* out, std::int32_t outSize) {
  if (out == nullptr || outSize < 1) return kStatusBadArgument;
  if (iinStatus != kStatusOk) return kStatusNoValue;
  return copyText(out, outSize, jurisdictionForIin(bufferSpan(iin, kIinBufferSize)));
}

Status deriveCountry(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveCountrySharing(record, nullptr, out, outSize);
}

Status deriveCountrySharing(const FieldRecord& record, const IssuerParts* parts, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const TextSpan country = slotSpan(record, SLOT_COUNTRY);
  if (country.filled()) return graphicCopy(country, false, out, outSize);
  const TextSpan countryCode = slotSpan(record, SLOT_COUNTRY_CODE);
  if (countryCode.filled()) return copyText(out, outSize, countryNameForCode(countryCode));
  char own[kJurisdictionBufferSize];
  const char* jurisdiction = own;
  Status status = kStatusOk;
  if (parts != nullptr) {
    jurisdiction = parts->jurisdiction;
    status = parts->jurisdictionStatus;
  } else {
    status = deriveJurisdictionCode(record, own, kJurisdictionBufferSize);
  }
  if (status != kStatusOk) return kStatusNoValue;
  return copyText(out, outSize, countryGroupForJurisdiction(bufferSpan(jurisdiction, kJurisdictionBufferSize)));
}

Status deriveCountryCode(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveCountryCodeSharing(record, nullptr, out, outSize);
}

Status deriveCountryCodeSharing(const FieldRecord& record, const IssuerParts* parts, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const TextSpan countryCode = slotSpan(record, SLOT_COUNTRY_CODE);
  if (countryCode.filled()) return copyUnchanged(out, outSize, countryCode);
  char own[kCountryBufferSize];
  const char* country = own;
  Status status = kStatusOk;
  if (parts != nullptr) {
    country = parts->country;
    status = parts->countryStatus;
  } else {
    status = deriveCountry(record, own, kCountryBufferSize);
  }
  if (status != kStatusOk) return kStatusNoValue;
  if (const char* code = countryCodeForName(country); code != nullptr) return copyText(out, outSize, code);
  // The territorial group has a country but no code; a code written where the name belongs is taken as it is.
  if (isCountryCode(country)) return copyText(out, outSize, country);
  return kStatusNoValue;
}

void deriveIssuerParts(const FieldRecord& record, IssuerParts& parts) {
  parts.jurisdictionStatus = deriveJurisdictionCode(record, parts.jurisdiction, kJurisdictionBufferSize);
  parts.countryStatus = deriveCountrySharing(record, &parts, parts.country, kCountryBufferSize);
}

Status takeSharedText(Status status, const char* text, std::int32_t textSize, const FieldRecord& record,
                      FieldDerivation derivation, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  if (status != kStatusOk) return status;
  const std::int32_t length = boundedLength(text, textSize);
  if (length >= textSize - 1 || length >= outSize) return derivation(record, out, outSize);
  std::memcpy(out, text, static_cast<std::size_t>(length));
  out[length] = '\0';
  return kStatusOk;
}

Status deriveLicenseNumber(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (row.licenseNumberHook != nullptr) {
    const std::int32_t capacity = outSize - 1;
    std::int32_t count = capacity > 0 ? row.licenseNumberHook(record, out, capacity) : 0;
    if (count < 1) return kStatusNoValue;
    if (count > capacity) count = capacity;
    out[count] = '\0';
    return kStatusOk;
  }
  const TextSpan number = firstFilled(record, kLicenceNumberSlots);
  if (!number.filled() || outSize < 2) return kStatusNoValue;
  return copyUnchanged(out, outSize - 1, number);
}

Status deriveAddress1(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveAddressLine(record, kAddress1Slots, static_cast<std::int32_t>(std::size(kAddress1Slots)), out, outSize);
}

Status deriveAddress2(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveAddressLine(record, kAddress2Slots, static_cast<std::int32_t>(std::size(kAddress2Slots)), out, outSize);
}

Status deriveCity(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  return graphicCopy(firstFilled(record, kCitySlots), true, out, outSize);
}

Status derivePostalCode(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  if (const TextSpan code = slotSpan(record, SLOT_POSTAL_CODE); code.filled())
    return copyPostalCode(code, out, outSize);
  if (const TextSpan code = slotSpan(record, SLOT_RES_POSTAL_CODE); code.filled())
    return copyPostalCode(code, out, outSize);
  return postalCodeFromStreet(record, out, outSize);
}

}  // namespace quorix
