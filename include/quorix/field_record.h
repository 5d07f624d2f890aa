// The field record: 137 numbered text slots that decoders fill and derivations read, all values living in one
// arena lent by the parser instance. Slot numbers are the contract between the two sides.
#pragma once

#include <quorix/status.h>

#include <cstdint>
#include <string_view>

namespace quorix {

// A non-owning view of single-byte text; empty when data is null or length < 1.
struct TextSpan {
  const char* data = nullptr;
  std::int32_t length = 0;

  [[nodiscard]] constexpr bool filled() const { return data != nullptr && length > 0; }
  [[nodiscard]] constexpr std::string_view view() const {
    return filled() ? std::string_view(data, static_cast<std::size_t>(length)) : std::string_view();
  }
};

// A value inside the record's arena. Read it by its length: a NUL usually follows, but not always.
struct FieldSlot {
  char* text = nullptr;
  std::int32_t length = 0;

  [[nodiscard]] constexpr bool filled() const { return text != nullptr && length > 0; }
};

struct DateTime {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
};

inline constexpr std::int32_t kSlotCount = 137;

// DecoderGroup: which family of decoders filled a record.
inline constexpr std::int32_t kGroupAamva = 0;
inline constexpr std::int32_t kGroupMagstripe = 1;
inline constexpr std::int32_t kGroupCardRecord = 2;
inline constexpr std::int32_t kGroupCac = 3;
inline constexpr std::int32_t kGroupNationalId = 4;
inline constexpr std::int32_t kGroupNone = 5;
// Decoder ids run from 0 to 57; this one belongs to no decoder, since it marks a record that none filled.
inline constexpr std::int32_t kNoDecoderId = 56;

// A parse's record, filled by the decoders and read by the derivations. Callers reach it through parsedRecord()
// and read it through the three functions below; what the library keeps beside the slots stays inside it.
struct FieldRecord;

// The family that filled record, kGroupNone when none did.
[[nodiscard]] std::int32_t recordGroup(const FieldRecord& record);
// The id of the decoder that filled record, kNoDecoderId when none did.
[[nodiscard]] std::int32_t recordDecoderId(const FieldRecord& record);
// The value of slot; empty when it is not filled or slot is outside 0..136. It lives until the next parse.
[[nodiscard]] TextSpan recordSlot(const FieldRecord& record, std::int32_t slot);

// clang-format off
inline constexpr std::int32_t SLOT_IIN = 0;
inline constexpr std::int32_t SLOT_FULL_NAME = 1;
inline constexpr std::int32_t SLOT_STREET_1 = 2;
inline constexpr std::int32_t SLOT_CITY = 3;
inline constexpr std::int32_t SLOT_JURISDICTION = 4;
inline constexpr std::int32_t SLOT_POSTAL_CODE = 5;
inline constexpr std::int32_t SLOT_LICENCE_NUMBER = 6;
inline constexpr std::int32_t SLOT_CLASS = 7;
inline constexpr std::int32_t SLOT_RESTRICTIONS = 8;
inline constexpr std::int32_t SLOT_ENDORSEMENTS = 9;
inline constexpr std::int32_t SLOT_EXPIRY_DATE = 10;
inline constexpr std::int32_t SLOT_BIRTH_DATE = 11;
inline constexpr std::int32_t SLOT_SEX = 12;
inline constexpr std::int32_t SLOT_ISSUE_DATE = 13;
inline constexpr std::int32_t SLOT_HEIGHT_FT_IN = 14;
inline constexpr std::int32_t SLOT_WEIGHT_LB = 15;
inline constexpr std::int32_t SLOT_EYE_COLOUR = 16;
inline constexpr std::int32_t SLOT_HAIR_COLOUR = 17;
inline constexpr std::int32_t SLOT_SSN = 18;
inline constexpr std::int32_t SLOT_PERMIT_CLASS = 19;
inline constexpr std::int32_t SLOT_PERMIT_EXPIRY_DATE = 20;
inline constexpr std::int32_t SLOT_PERMIT_ID = 21;
inline constexpr std::int32_t SLOT_PERMIT_ISSUE_DATE = 22;
inline constexpr std::int32_t SLOT_PERMIT_RESTRICTIONS = 23;
inline constexpr std::int32_t SLOT_PERMIT_ENDORSEMENTS = 24;
inline constexpr std::int32_t SLOT_FAMILY_NAME = 25;
inline constexpr std::int32_t SLOT_FIRST_NAME = 26;
inline constexpr std::int32_t SLOT_MIDDLE_NAME = 27;
inline constexpr std::int32_t SLOT_NAME_SUFFIX = 28;
inline constexpr std::int32_t SLOT_NAME_PREFIX = 29;
inline constexpr std::int32_t SLOT_STREET_2_ALT = 30;
inline constexpr std::int32_t SLOT_RES_STREET_1 = 31;
inline constexpr std::int32_t SLOT_RES_STREET_2 = 32;
inline constexpr std::int32_t SLOT_RES_CITY = 33;
inline constexpr std::int32_t SLOT_RES_JURISDICTION = 34;
inline constexpr std::int32_t SLOT_RES_POSTAL_CODE = 35;
inline constexpr std::int32_t SLOT_HEIGHT_CM = 36;
inline constexpr std::int32_t SLOT_WEIGHT_KG = 37;
inline constexpr std::int32_t SLOT_ISSUE_TIMESTAMP = 38;
inline constexpr std::int32_t SLOT_DUPLICATES = 39;
inline constexpr std::int32_t SLOT_MEDICAL_CODES = 40;
inline constexpr std::int32_t SLOT_ORGAN_DONOR = 41;
inline constexpr std::int32_t SLOT_NON_RESIDENT = 42;
inline constexpr std::int32_t SLOT_CUSTOMER_ID = 43;
inline constexpr std::int32_t SLOT_AKA_BIRTH_DATE = 44;
inline constexpr std::int32_t SLOT_AKA_SSN = 45;
inline constexpr std::int32_t SLOT_AKA_FULL_NAME = 46;
inline constexpr std::int32_t SLOT_AKA_FAMILY_NAME = 47;
inline constexpr std::int32_t SLOT_AKA_FIRST_NAME = 48;
inline constexpr std::int32_t SLOT_AKA_MIDDLE_NAME = 49;
inline constexpr std::int32_t SLOT_AKA_SUFFIX = 50;
inline constexpr std::int32_t SLOT_AKA_PREFIX = 51;
inline constexpr std::int32_t SLOT_VEHICLE_CLASS = 52;
inline constexpr std::int32_t SLOT_GIVEN_NAMES = 53;
inline constexpr std::int32_t SLOT_HEIGHT = 54;
inline constexpr std::int32_t SLOT_LICENCE_NUMBER_ALT = 55;
inline constexpr std::int32_t SLOT_COUNTRY = 56;
inline constexpr std::int32_t SLOT_FEDERAL_VEHICLE_CODES = 57;
inline constexpr std::int32_t SLOT_STREET_2 = 58;
inline constexpr std::int32_t SLOT_PLACE_OF_BIRTH = 59;
inline constexpr std::int32_t SLOT_AUDIT_INFO = 60;
inline constexpr std::int32_t SLOT_INVENTORY_CONTROL = 61;
inline constexpr std::int32_t SLOT_ALIAS_FAMILY_NAME = 62;
inline constexpr std::int32_t SLOT_ALIAS_GIVEN_NAME = 63;
inline constexpr std::int32_t SLOT_ALIAS_SUFFIX = 64;
inline constexpr std::int32_t SLOT_WEIGHT_RANGE = 65;
inline constexpr std::int32_t SLOT_RACE = 66;
inline constexpr std::int32_t SLOT_STD_VEHICLE_CLASS = 67;
inline constexpr std::int32_t SLOT_STD_ENDORSEMENTS = 68;
inline constexpr std::int32_t SLOT_STD_RESTRICTIONS = 69;
inline constexpr std::int32_t SLOT_VEHICLE_CLASS_DESC = 70;
inline constexpr std::int32_t SLOT_ENDORSEMENT_DESC = 71;
inline constexpr std::int32_t SLOT_RESTRICTION_DESC = 72;
inline constexpr std::int32_t SLOT_DOCUMENT_DISCRIMINATOR = 73;
inline constexpr std::int32_t SLOT_COUNTRY_ID = 74;
inline constexpr std::int32_t SLOT_FAMILY_NAME_TRUNCATION = 75;
inline constexpr std::int32_t SLOT_FIRST_NAME_TRUNCATION = 76;
inline constexpr std::int32_t SLOT_MIDDLE_NAME_TRUNCATION = 77;
inline constexpr std::int32_t SLOT_BIRTH_DATE_ALT = 78;
inline constexpr std::int32_t SLOT_COMPLIANCE_TYPE = 79;
inline constexpr std::int32_t SLOT_CARD_REVISION_DATE = 80;
inline constexpr std::int32_t SLOT_HAZMAT_EXPIRY_DATE = 81;
inline constexpr std::int32_t SLOT_LIMITED_DURATION = 82;
inline constexpr std::int32_t SLOT_UNDER_18_UNTIL = 83;
inline constexpr std::int32_t SLOT_UNDER_19_UNTIL = 84;
inline constexpr std::int32_t SLOT_UNDER_21_UNTIL = 85;
inline constexpr std::int32_t SLOT_STANDARD = 86;
inline constexpr std::int32_t SLOT_DOCUMENT_TYPE = 87;
inline constexpr std::int32_t SLOT_CAC_BARCODE_VERSION = 88;
inline constexpr std::int32_t SLOT_CAC_PERSON_ID = 89;
inline constexpr std::int32_t SLOT_CAC_PERSON_ID_TYPE = 90;
inline constexpr std::int32_t SLOT_CAC_EDIPI = 91;
inline constexpr std::int32_t SLOT_CAC_PERSONNEL_CATEGORY = 92;
inline constexpr std::int32_t SLOT_CAC_BRANCH = 93;
inline constexpr std::int32_t SLOT_CAC_ENTITLEMENT = 94;
inline constexpr std::int32_t SLOT_CAC_RANK = 95;
inline constexpr std::int32_t SLOT_CAC_PAY_PLAN = 96;
inline constexpr std::int32_t SLOT_CAC_PAY_GRADE = 97;
inline constexpr std::int32_t SLOT_CAC_CARD_INSTANCE = 98;
inline constexpr std::int32_t SLOT_CAC_FIELD_99 = 99;
inline constexpr std::int32_t SLOT_CAC_PERSON_NUMBER = 100;
inline constexpr std::int32_t SLOT_CAC_FIELD_101 = 101;
inline constexpr std::int32_t SLOT_CAC_FIELD_102 = 102;
inline constexpr std::int32_t SLOT_CAC_FIELD_103 = 103;
inline constexpr std::int32_t SLOT_CAC_FIELD_104 = 104;
inline constexpr std::int32_t SLOT_CAC_FIELD_105 = 105;
inline constexpr std::int32_t SLOT_CAC_FIELD_106 = 106;
inline constexpr std::int32_t SLOT_CAC_FIELD_107 = 107;
inline constexpr std::int32_t SLOT_CAC_FIELD_108 = 108;
inline constexpr std::int32_t SLOT_CAC_FIELD_109 = 109;
inline constexpr std::int32_t SLOT_CAC_FIELD_110 = 110;
inline constexpr std::int32_t SLOT_CAC_FIELD_111 = 111;
inline constexpr std::int32_t SLOT_CAC_FIELD_112 = 112;
inline constexpr std::int32_t SLOT_CAC_FIELD_113 = 113;
inline constexpr std::int32_t SLOT_CAC_FIELD_114 = 114;
inline constexpr std::int32_t SLOT_CAC_FIELD_115 = 115;
inline constexpr std::int32_t SLOT_CAC_FIELD_116 = 116;
inline constexpr std::int32_t SLOT_CAC_FIELD_117 = 117;
inline constexpr std::int32_t SLOT_CAC_FIELD_118 = 118;
inline constexpr std::int32_t SLOT_CAC_FIELD_119 = 119;
inline constexpr std::int32_t SLOT_CAC_FIELD_120 = 120;
inline constexpr std::int32_t SLOT_CAC_FIELD_121 = 121;
inline constexpr std::int32_t SLOT_CAC_FIELD_122 = 122;
inline constexpr std::int32_t SLOT_CAC_FIELD_123 = 123;
inline constexpr std::int32_t SLOT_CAC_FIELD_124 = 124;
inline constexpr std::int32_t SLOT_COUNTRY_CODE = 125;
inline constexpr std::int32_t SLOT_VETERAN = 126;
inline constexpr std::int32_t SLOT_CAC_FIELD_127 = 127;
inline constexpr std::int32_t SLOT_CAC_FIELD_128 = 128;
inline constexpr std::int32_t SLOT_CAC_FIELD_129 = 129;
inline constexpr std::int32_t SLOT_CAC_FIELD_130 = 130;
inline constexpr std::int32_t SLOT_RESERVED_131 = 131;
inline constexpr std::int32_t SLOT_CAC_FIELD_132 = 132;
inline constexpr std::int32_t SLOT_CAC_FIELD_133 = 133;
inline constexpr std::int32_t SLOT_CAC_FIELD_134 = 134;
inline constexpr std::int32_t SLOT_CAC_FIELD_135 = 135;
inline constexpr std::int32_t SLOT_CAC_FIELD_136 = 136;
// clang-format on

// The first filled slot of the list, in list order, into out; -16 when count < 1 or none is filled.
[[nodiscard]] Status firstFilledSlot(const FieldRecord& record, const std::int32_t* slots, std::int32_t count,
                                     TextSpan* out);

}  // namespace quorix
