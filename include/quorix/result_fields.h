// The 40 result fields in the order they are derived and written. The JNI binding, the command-line tool and the
// golden files all walk this one list.
#pragma once

#include <quorix/field_record.h>
#include <quorix/parser.h>
#include <quorix/status.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

namespace quorix {

// Writes a NUL-terminated text of at most outSize - 1 bytes into out; 0 on success, -26 when the record does not
// yield the field, -21 for a record without arena, a null out or outSize < 1.
using FieldDerivation = Status (*)(const FieldRecord& record, char* out, std::int32_t outSize);
// Stores 0 or 1 into out; -26 when the record holds no such indicator.
using FlagDerivation = Status (*)(const FieldRecord& record, std::int32_t* out);

Status deriveFirstName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveLastName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveDocumentType(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveCountryCode(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveCountry(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveJurisdictionCode(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveIin(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveMiddleName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveNameSuffix(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveNamePrefix(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveFullName(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAddress1(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveAddress2(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveCity(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveLicenseNumber(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveClassificationCode(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveRestrictionCode(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveRestrictionCodeDescription(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveEndorsementsCode(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveEndorsementCodeDescription(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveExpirationDate(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveHazmatExpDate(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveBirthdate(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveCardRevisionDate(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveGender(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveIssueDate(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveIssuedBy(const FieldRecord& record, char* out, std::int32_t outSize);
Status derivePostalCode(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveEyeColor(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveRace(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveHairColor(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveHeight(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveWeightKg(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveWeightLbs(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveComplianceType(const FieldRecord& record, char* out, std::int32_t outSize);
Status deriveLimitedDurationFlag(const FieldRecord& record, std::int32_t* out);
Status deriveOrganDonorFlag(const FieldRecord& record, std::int32_t* out);
Status deriveVeteranFlag(const FieldRecord& record, std::int32_t* out);
Status deriveVehicleClassCodeDescription(const FieldRecord& record, char* out, std::int32_t outSize);

// One result field: a text field has .text, an int field has .flag.
struct ResultField {
  std::string_view javaName;
  FieldDerivation text = nullptr;
  FlagDerivation flag = nullptr;
};

// clang-format off
inline constexpr ResultField kResultFields[] = {
    {.javaName = "firstName", .text = deriveFirstName},
    {.javaName = "lastName", .text = deriveLastName},
    {.javaName = "documentType", .text = deriveDocumentType},
    {.javaName = "countryCode", .text = deriveCountryCode},
    {.javaName = "country", .text = deriveCountry},
    {.javaName = "jurisdictionCode", .text = deriveJurisdictionCode},
    {.javaName = "iin", .text = deriveIin},
    {.javaName = "middleName", .text = deriveMiddleName},
    {.javaName = "nameSuffix", .text = deriveNameSuffix},
    {.javaName = "namePrefix", .text = deriveNamePrefix},
    {.javaName = "fullName", .text = deriveFullName},
    {.javaName = "address1", .text = deriveAddress1},
    {.javaName = "address2", .text = deriveAddress2},
    {.javaName = "city", .text = deriveCity},
    {.javaName = "licenseNumber", .text = deriveLicenseNumber},
    {.javaName = "classificationCode", .text = deriveClassificationCode},
    {.javaName = "restrictionCode", .text = deriveRestrictionCode},
    {.javaName = "restrictionCodeDescription", .text = deriveRestrictionCodeDescription},
    {.javaName = "endorsementsCode", .text = deriveEndorsementsCode},
    {.javaName = "endorsementCodeDescription", .text = deriveEndorsementCodeDescription},
    {.javaName = "expirationDate", .text = deriveExpirationDate},
    {.javaName = "HAZMATExpDate", .text = deriveHazmatExpDate},
    {.javaName = "birthdate", .text = deriveBirthdate},
    {.javaName = "cardRevisionDate", .text = deriveCardRevisionDate},
    {.javaName = "gender", .text = deriveGender},
    {.javaName = "issueDate", .text = deriveIssueDate},
    {.javaName = "issuedBy", .text = deriveIssuedBy},
    {.javaName = "postalCode", .text = derivePostalCode},
    {.javaName = "eyeColor", .text = deriveEyeColor},
    {.javaName = "race", .text = deriveRace},
    {.javaName = "hairColor", .text = deriveHairColor},
    {.javaName = "height", .text = deriveHeight},
    {.javaName = "weightKG", .text = deriveWeightKg},
    {.javaName = "weightLBS", .text = deriveWeightLbs},
    {.javaName = "complianceType", .text = deriveComplianceType},
    {.javaName = "isLimitedDurationDocument", .flag = deriveLimitedDurationFlag},
    {.javaName = "isOrganDonor", .flag = deriveOrganDonorFlag},
    {.javaName = "isVeteran", .flag = deriveVeteranFlag},
    {.javaName = "vehicleClassCode", .text = deriveClassificationCode},
    {.javaName = "vehicleClassCodeDescription", .text = deriveVehicleClassCodeDescription},
};
// clang-format on
static_assert(std::size(kResultFields) == 40);

// One field's value after a parse, as every binding stores it: a text that is not empty, or an indicator of 0 or 1.
struct FieldValue {
  bool present = false;
  std::string_view text;  // in the instance's text buffer, NUL-terminated; the next derivation overwrites it
  std::int32_t flag = 0;
};

// The value a text derivation left in out[0, outSize) with status: not present unless it succeeded with a text.
inline FieldValue textFieldValue(Status status, char* out, std::int32_t outSize) {
  if (status != kStatusOk || out[0] == '\0') return {};
  out[outSize - 1] = '\0';  // whatever a derivation wrote, the read below stops inside the buffer
  return {.present = true, .text = std::string_view(out, std::strlen(out)), .flag = 0};
}

// Runs a text derivation over instance's record into its text buffer and returns the NUL-terminated text there;
// empty when the record does not yield it.
std::string_view deriveIntoTextBuffer(ParserInstance& instance, FieldDerivation derivation);

// Runs field's derivation over instance's record into its text buffer. Not present when the record does not yield
// the field or yields an empty text.
FieldValue deriveFieldValue(ParserInstance& instance, const ResultField& field);

// Called for each of the 40 fields in kResultFields order, present or not; value.text views the instance's text
// buffer from its start (a caller may edit it there) until the call returns.
using FieldValueVisitor = void (*)(void* context, std::int32_t field, const FieldValue& value);

// All 40 fields of instance's record in one pass: each value is exactly what deriveFieldValue gives for that field,
// while the work fields share (the name parts behind the full name, the issuer behind country, country code,
// jurisdiction and issuedBy) is done once. The text buffer is overwritten.
void deriveFieldValues(ParserInstance& instance, FieldValueVisitor visit, void* context);

}  // namespace quorix
