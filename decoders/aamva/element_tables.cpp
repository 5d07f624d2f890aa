// The five AAMVA element vocabularies and the scanner that stores a subfile's elements through them.
#include "decoders/aamva/element_tables.h"

#include <iterator>

#include "core/text_utils.h"
#include "decoders/aamva/aamva_pipeline.h"

namespace quorix {
namespace {

constexpr bool allSlotsInRange(const auto& rows) {
  for (const ElementEntry& row : rows) {
    if (row.slot < 0 || row.slot >= kSlotCount) return false;
  }
  return true;
}

// clang-format off
constexpr ElementEntry kRows2000[] = {
    {elementId("DAA"), SLOT_FULL_NAME},
    {elementId("DAB"), SLOT_FAMILY_NAME},
    {elementId("DAC"), SLOT_FIRST_NAME},
    {elementId("DAD"), SLOT_MIDDLE_NAME},
    {elementId("DAE"), SLOT_NAME_SUFFIX},
    {elementId("DAF"), SLOT_NAME_PREFIX},
    {elementId("DAG"), SLOT_STREET_1},
    {elementId("DAH"), SLOT_STREET_2_ALT},
    {elementId("DAI"), SLOT_CITY},
    {elementId("DAJ"), SLOT_JURISDICTION},
    {elementId("DAK"), SLOT_POSTAL_CODE},
    {elementId("DAL"), SLOT_RES_STREET_1},
    {elementId("DAM"), SLOT_RES_STREET_2},
    {elementId("DAN"), SLOT_RES_CITY},
    {elementId("DAO"), SLOT_RES_JURISDICTION},
    {elementId("DAP"), SLOT_RES_POSTAL_CODE},
    {elementId("DAQ"), SLOT_LICENCE_NUMBER},
    {elementId("DAR"), SLOT_CLASS},
    {elementId("DAS"), SLOT_RESTRICTIONS},
    {elementId("DAT"), SLOT_ENDORSEMENTS},
    {elementId("DAU"), SLOT_HEIGHT_FT_IN},
    {elementId("DAV"), SLOT_HEIGHT_CM},
    {elementId("DAW"), SLOT_WEIGHT_LB},
    {elementId("DAX"), SLOT_WEIGHT_KG},
    {elementId("DAY"), SLOT_EYE_COLOUR},
    {elementId("DAZ"), SLOT_HAIR_COLOUR},
    {elementId("DBA"), SLOT_EXPIRY_DATE},
    {elementId("DBB"), SLOT_BIRTH_DATE},
    {elementId("DBC"), SLOT_SEX},
    {elementId("DBD"), SLOT_ISSUE_DATE},
    {elementId("DBE"), SLOT_ISSUE_TIMESTAMP},
    {elementId("DBF"), SLOT_DUPLICATES},
    {elementId("DBG"), SLOT_MEDICAL_CODES},
    {elementId("DBH"), SLOT_ORGAN_DONOR},
    {elementId("DBI"), SLOT_NON_RESIDENT},
    {elementId("DBJ"), SLOT_CUSTOMER_ID},
    {elementId("DBK"), SLOT_SSN},
    {elementId("DBL"), SLOT_AKA_BIRTH_DATE},
    {elementId("DBM"), SLOT_AKA_SSN},
    {elementId("DBN"), SLOT_AKA_FULL_NAME},
    {elementId("DBO"), SLOT_AKA_FAMILY_NAME},
    {elementId("DBP"), SLOT_AKA_FIRST_NAME},
    {elementId("DBQ"), SLOT_AKA_MIDDLE_NAME},
    {elementId("DBR"), SLOT_AKA_SUFFIX},
    {elementId("DBS"), SLOT_AKA_PREFIX},
    {elementId("PAA"), SLOT_PERMIT_CLASS},
    {elementId("PAB"), SLOT_PERMIT_EXPIRY_DATE},
    {elementId("PAC"), SLOT_PERMIT_ID},
    {elementId("PAD"), SLOT_PERMIT_ISSUE_DATE},
    {elementId("PAE"), SLOT_PERMIT_RESTRICTIONS},
    {elementId("PAF"), SLOT_PERMIT_ENDORSEMENTS},
};

constexpr ElementEntry kRows2003[] = {
    {elementId("DAA"), SLOT_FULL_NAME},
    {elementId("DAG"), SLOT_STREET_1},
    {elementId("DAH"), SLOT_STREET_2},
    {elementId("DAI"), SLOT_CITY},
    {elementId("DAJ"), SLOT_JURISDICTION},
    {elementId("DAK"), SLOT_POSTAL_CODE},
    {elementId("DAQ"), SLOT_LICENCE_NUMBER_ALT},
    {elementId("DAU"), SLOT_HEIGHT},
    {elementId("DAY"), SLOT_EYE_COLOUR},
    {elementId("DAZ"), SLOT_HAIR_COLOUR},
    {elementId("DBA"), SLOT_EXPIRY_DATE},
    {elementId("DBB"), SLOT_BIRTH_DATE},
    {elementId("DBC"), SLOT_SEX},
    {elementId("DBD"), SLOT_ISSUE_DATE},
    {elementId("DBG"), SLOT_ALIAS_GIVEN_NAME},
    {elementId("DBN"), SLOT_ALIAS_FAMILY_NAME},
    {elementId("DBS"), SLOT_ALIAS_SUFFIX},
    {elementId("DCA"), SLOT_VEHICLE_CLASS},
    {elementId("DCB"), SLOT_RESTRICTIONS},
    {elementId("DCD"), SLOT_ENDORSEMENTS},
    {elementId("DCE"), SLOT_WEIGHT_RANGE},
    {elementId("DCG"), SLOT_COUNTRY},
    {elementId("DCH"), SLOT_FEDERAL_VEHICLE_CODES},
    {elementId("DCI"), SLOT_PLACE_OF_BIRTH},
    {elementId("DCJ"), SLOT_AUDIT_INFO},
    {elementId("DCK"), SLOT_INVENTORY_CONTROL},
    {elementId("DCL"), SLOT_RACE},
    {elementId("DCM"), SLOT_STD_VEHICLE_CLASS},
    {elementId("DCN"), SLOT_STD_ENDORSEMENTS},
    {elementId("DCO"), SLOT_STD_RESTRICTIONS},
    {elementId("DCP"), SLOT_VEHICLE_CLASS_DESC},
    {elementId("DCQ"), SLOT_ENDORSEMENT_DESC},
    {elementId("DCR"), SLOT_RESTRICTION_DESC},
    {elementId("DCS"), SLOT_FAMILY_NAME},
    {elementId("DCT"), SLOT_GIVEN_NAMES},
    {elementId("DCU"), SLOT_NAME_SUFFIX},
};

constexpr ElementEntry kRows2009[] = {
    {elementId("DAA"), SLOT_FULL_NAME},
    {elementId("DAB"), SLOT_FAMILY_NAME},
    {elementId("DAC"), SLOT_FIRST_NAME},
    {elementId("DAD"), SLOT_MIDDLE_NAME},
    {elementId("DAE"), SLOT_NAME_SUFFIX},
    {elementId("DAF"), SLOT_NAME_PREFIX},
    {elementId("DAG"), SLOT_STREET_1},
    {elementId("DAH"), SLOT_STREET_2},
    {elementId("DAI"), SLOT_CITY},
    {elementId("DAJ"), SLOT_JURISDICTION},
    {elementId("DAK"), SLOT_POSTAL_CODE},
    {elementId("DAL"), SLOT_RES_STREET_1},
    {elementId("DAM"), SLOT_RES_STREET_2},
    {elementId("DAN"), SLOT_RES_CITY},
    {elementId("DAO"), SLOT_RES_JURISDICTION},
    {elementId("DAP"), SLOT_RES_POSTAL_CODE},
    {elementId("DAQ"), SLOT_LICENCE_NUMBER},
    {elementId("DAR"), SLOT_CLASS},
    {elementId("DAS"), SLOT_RESTRICTIONS},
    {elementId("DAT"), SLOT_ENDORSEMENTS},
    {elementId("DAU"), SLOT_HEIGHT},
    {elementId("DAU"), SLOT_HEIGHT_FT_IN},  // the second height row: one element fills both slots
    {elementId("DAV"), SLOT_HEIGHT_CM},
    {elementId("DAW"), SLOT_WEIGHT_LB},
    {elementId("DAX"), SLOT_WEIGHT_KG},
    {elementId("DAY"), SLOT_EYE_COLOUR},
    {elementId("DAZ"), SLOT_HAIR_COLOUR},
    {elementId("DBA"), SLOT_EXPIRY_DATE},
    {elementId("DBB"), SLOT_BIRTH_DATE},
    {elementId("DBC"), SLOT_SEX},
    {elementId("DBD"), SLOT_ISSUE_DATE},
    {elementId("DBE"), SLOT_ISSUE_TIMESTAMP},
    {elementId("DBF"), SLOT_DUPLICATES},
    {elementId("DBG"), SLOT_ALIAS_GIVEN_NAME},
    {elementId("DBH"), SLOT_ORGAN_DONOR},
    {elementId("DBI"), SLOT_NON_RESIDENT},
    {elementId("DBJ"), SLOT_CUSTOMER_ID},
    {elementId("DBK"), SLOT_SSN},
    {elementId("DBL"), SLOT_AKA_BIRTH_DATE},
    {elementId("DBM"), SLOT_AKA_SSN},
    {elementId("DBN"), SLOT_ALIAS_FAMILY_NAME},
    {elementId("DBO"), SLOT_AKA_FAMILY_NAME},
    {elementId("DBP"), SLOT_AKA_FIRST_NAME},
    {elementId("DBQ"), SLOT_AKA_MIDDLE_NAME},
    {elementId("DBR"), SLOT_AKA_SUFFIX},
    {elementId("DBS"), SLOT_ALIAS_SUFFIX},
    {elementId("DCA"), SLOT_VEHICLE_CLASS},
    {elementId("DCB"), SLOT_RESTRICTIONS},
    {elementId("DCD"), SLOT_ENDORSEMENTS},
    {elementId("DCE"), SLOT_WEIGHT_RANGE},
    {elementId("DCF"), SLOT_DOCUMENT_DISCRIMINATOR},
    {elementId("DCG"), SLOT_COUNTRY_ID},
    {elementId("DCH"), SLOT_FEDERAL_VEHICLE_CODES},
    {elementId("DCI"), SLOT_PLACE_OF_BIRTH},
    {elementId("DCJ"), SLOT_AUDIT_INFO},
    {elementId("DCK"), SLOT_INVENTORY_CONTROL},
    {elementId("DCL"), SLOT_RACE},
    {elementId("DCM"), SLOT_STD_VEHICLE_CLASS},
    {elementId("DCN"), SLOT_STD_ENDORSEMENTS},
    {elementId("DCO"), SLOT_STD_RESTRICTIONS},
    {elementId("DCP"), SLOT_VEHICLE_CLASS_DESC},
    {elementId("DCQ"), SLOT_ENDORSEMENT_DESC},
    {elementId("DCR"), SLOT_RESTRICTION_DESC},
    {elementId("DCS"), SLOT_FAMILY_NAME},
    {elementId("DCT"), SLOT_GIVEN_NAMES},
    {elementId("DCU"), SLOT_NAME_SUFFIX},
    {elementId("DDA"), SLOT_COMPLIANCE_TYPE},
    {elementId("DDB"), SLOT_CARD_REVISION_DATE},
    {elementId("DDC"), SLOT_HAZMAT_EXPIRY_DATE},
    {elementId("DDD"), SLOT_LIMITED_DURATION},
    {elementId("DDE"), SLOT_FAMILY_NAME_TRUNCATION},
    {elementId("DDF"), SLOT_FIRST_NAME_TRUNCATION},
    {elementId("DDG"), SLOT_MIDDLE_NAME_TRUNCATION},
    {elementId("DDH"), SLOT_UNDER_18_UNTIL},
    {elementId("DDI"), SLOT_UNDER_19_UNTIL},
    {elementId("DDJ"), SLOT_UNDER_21_UNTIL},
    {elementId("PAA"), SLOT_PERMIT_CLASS},
    {elementId("PAB"), SLOT_PERMIT_EXPIRY_DATE},
    {elementId("PAC"), SLOT_PERMIT_ID},
    {elementId("PAD"), SLOT_PERMIT_ISSUE_DATE},
    {elementId("PAE"), SLOT_PERMIT_RESTRICTIONS},
    {elementId("PAF"), SLOT_PERMIT_ENDORSEMENTS},
};

constexpr ElementEntry kRows2011[] = {
    {elementId("DAC"), SLOT_FIRST_NAME},
    {elementId("DAD"), SLOT_MIDDLE_NAME},
    {elementId("DAG"), SLOT_STREET_1},
    {elementId("DAH"), SLOT_STREET_2},
    {elementId("DAI"), SLOT_CITY},
    {elementId("DAJ"), SLOT_JURISDICTION},
    {elementId("DAK"), SLOT_POSTAL_CODE},
    {elementId("DAQ"), SLOT_LICENCE_NUMBER},
    {elementId("DAU"), SLOT_HEIGHT},
    {elementId("DAW"), SLOT_WEIGHT_LB},
    {elementId("DAX"), SLOT_WEIGHT_KG},
    {elementId("DAY"), SLOT_EYE_COLOUR},
    {elementId("DAZ"), SLOT_HAIR_COLOUR},
    {elementId("DBA"), SLOT_EXPIRY_DATE},
    {elementId("DBB"), SLOT_BIRTH_DATE_ALT},
    {elementId("DBC"), SLOT_SEX},
    {elementId("DBD"), SLOT_ISSUE_DATE},
    {elementId("DBG"), SLOT_ALIAS_GIVEN_NAME},
    {elementId("DBN"), SLOT_ALIAS_FAMILY_NAME},
    {elementId("DBS"), SLOT_ALIAS_SUFFIX},
    {elementId("DCA"), SLOT_VEHICLE_CLASS},
    {elementId("DCB"), SLOT_RESTRICTIONS},
    {elementId("DCD"), SLOT_ENDORSEMENTS},
    {elementId("DCE"), SLOT_WEIGHT_RANGE},
    {elementId("DCF"), SLOT_DOCUMENT_DISCRIMINATOR},
    {elementId("DCG"), SLOT_COUNTRY_ID},
    {elementId("DCI"), SLOT_PLACE_OF_BIRTH},
    {elementId("DCJ"), SLOT_AUDIT_INFO},
    {elementId("DCK"), SLOT_INVENTORY_CONTROL},
    {elementId("DCL"), SLOT_RACE},
    {elementId("DCM"), SLOT_STD_VEHICLE_CLASS},
    {elementId("DCN"), SLOT_STD_ENDORSEMENTS},
    {elementId("DCO"), SLOT_STD_RESTRICTIONS},
    {elementId("DCP"), SLOT_VEHICLE_CLASS_DESC},
    {elementId("DCQ"), SLOT_ENDORSEMENT_DESC},
    {elementId("DCR"), SLOT_RESTRICTION_DESC},
    {elementId("DCS"), SLOT_FAMILY_NAME},
    {elementId("DCU"), SLOT_NAME_SUFFIX},
    {elementId("DDA"), SLOT_COMPLIANCE_TYPE},
    {elementId("DDB"), SLOT_CARD_REVISION_DATE},
    {elementId("DDC"), SLOT_HAZMAT_EXPIRY_DATE},
    {elementId("DDD"), SLOT_LIMITED_DURATION},
    {elementId("DDE"), SLOT_FAMILY_NAME_TRUNCATION},
    {elementId("DDF"), SLOT_FIRST_NAME_TRUNCATION},
    {elementId("DDG"), SLOT_MIDDLE_NAME_TRUNCATION},
    {elementId("DDH"), SLOT_UNDER_18_UNTIL},
    {elementId("DDI"), SLOT_UNDER_19_UNTIL},
    {elementId("DDJ"), SLOT_UNDER_21_UNTIL},
};

constexpr ElementEntry kRows2014[] = {
    {elementId("DAC"), SLOT_FIRST_NAME},
    {elementId("DAD"), SLOT_MIDDLE_NAME},
    {elementId("DAG"), SLOT_STREET_1},
    {elementId("DAH"), SLOT_STREET_2},
    {elementId("DAI"), SLOT_CITY},
    {elementId("DAJ"), SLOT_JURISDICTION},
    {elementId("DAK"), SLOT_POSTAL_CODE},
    {elementId("DAQ"), SLOT_LICENCE_NUMBER},
    {elementId("DAU"), SLOT_HEIGHT},
    {elementId("DAW"), SLOT_WEIGHT_LB},
    {elementId("DAX"), SLOT_WEIGHT_KG},
    {elementId("DAY"), SLOT_EYE_COLOUR},
    {elementId("DAZ"), SLOT_HAIR_COLOUR},
    {elementId("DBA"), SLOT_EXPIRY_DATE},
    {elementId("DBB"), SLOT_BIRTH_DATE_ALT},
    {elementId("DBC"), SLOT_SEX},
    {elementId("DBD"), SLOT_ISSUE_DATE},
    {elementId("DBG"), SLOT_ALIAS_GIVEN_NAME},
    {elementId("DBN"), SLOT_ALIAS_FAMILY_NAME},
    {elementId("DBS"), SLOT_ALIAS_SUFFIX},
    {elementId("DCA"), SLOT_VEHICLE_CLASS},
    {elementId("DCB"), SLOT_RESTRICTIONS},
    {elementId("DCD"), SLOT_ENDORSEMENTS},
    {elementId("DCE"), SLOT_WEIGHT_RANGE},
    {elementId("DCF"), SLOT_DOCUMENT_DISCRIMINATOR},
    {elementId("DCG"), SLOT_COUNTRY_ID},
    {elementId("DCI"), SLOT_PLACE_OF_BIRTH},
    {elementId("DCJ"), SLOT_AUDIT_INFO},
    {elementId("DCK"), SLOT_INVENTORY_CONTROL},
    {elementId("DCL"), SLOT_RACE},
    {elementId("DCM"), SLOT_STD_VEHICLE_CLASS},
    {elementId("DCN"), SLOT_STD_ENDORSEMENTS},
    {elementId("DCO"), SLOT_STD_RESTRICTIONS},
    {elementId("DCP"), SLOT_VEHICLE_CLASS_DESC},
    {elementId("DCQ"), SLOT_ENDORSEMENT_DESC},
    {elementId("DCR"), SLOT_RESTRICTION_DESC},
    {elementId("DCS"), SLOT_FAMILY_NAME},
    {elementId("DCU"), SLOT_NAME_SUFFIX},
    {elementId("DDA"), SLOT_COMPLIANCE_TYPE},
    {elementId("DDB"), SLOT_CARD_REVISION_DATE},
    {elementId("DDC"), SLOT_HAZMAT_EXPIRY_DATE},
    {elementId("DDD"), SLOT_LIMITED_DURATION},
    {elementId("DDE"), SLOT_FAMILY_NAME_TRUNCATION},
    {elementId("DDF"), SLOT_FIRST_NAME_TRUNCATION},
    {elementId("DDG"), SLOT_MIDDLE_NAME_TRUNCATION},
    {elementId("DDH"), SLOT_UNDER_18_UNTIL},
    {elementId("DDI"), SLOT_UNDER_19_UNTIL},
    {elementId("DDJ"), SLOT_UNDER_21_UNTIL},
    {elementId("DDK"), SLOT_ORGAN_DONOR},
    {elementId("DDL"), SLOT_VETERAN},
};

// clang-format on

static_assert(std::size(kRows2000) == 51 && allSlotsInRange(kRows2000));
static_assert(std::size(kRows2003) == 36 && allSlotsInRange(kRows2003));
static_assert(std::size(kRows2009) == 82 && allSlotsInRange(kRows2009));
static_assert(std::size(kRows2011) == 48 && allSlotsInRange(kRows2011));
static_assert(std::size(kRows2014) == 50 && allSlotsInRange(kRows2014));

constexpr std::int32_t packedId(TextSpan element) {
  const auto byte = [&](std::int32_t i) {
    return static_cast<std::int32_t>(static_cast<unsigned char>(element.data[i]));
  };
  return (byte(0) << 16) | (byte(1) << 8) | byte(2);
}

}  // namespace

// Only ever called while a table is being compiled, where any call is an error; at run time it is never reached.
void elementIdsAreThreeCapitalLetters() {}

constinit const ElementTable ElementTable2000{static_cast<std::int32_t>(std::ssize(kRows2000)), kRows2000};
constinit const ElementTable ElementTable2003{static_cast<std::int32_t>(std::ssize(kRows2003)), kRows2003};
constinit const ElementTable ElementTable2009{static_cast<std::int32_t>(std::ssize(kRows2009)), kRows2009};
constinit const ElementTable ElementTable2011{static_cast<std::int32_t>(std::ssize(kRows2011)), kRows2011};
constinit const ElementTable ElementTable2014{static_cast<std::int32_t>(std::ssize(kRows2014)), kRows2014};

Status scanElements(AamvaPipeline& pipeline, TextSpan data, const char* terminators, const ElementEntry* rows,
                    std::int32_t rowCount) {
  if (data.data == nullptr || data.length < 4) return kAamvaShortSubfile;
  TextSpan rest = data;
  while (rest.length >= 1) {
    TextSpan element;
    const std::int32_t before = rest.length;
    nextToken(rest, &element, &rest, terminators, true);
    if (element.data != nullptr && element.length > 2 && rows != nullptr) {
      const std::int32_t id = packedId(element);
      const TextSpan value{element.data + 3, element.length - 3};
      // Every matching row stores: the 2009 table gives the height element two slots.
      for (std::int32_t i = 0; i < rowCount; ++i) {
        if (rows[i].id == id) (void)callHook(pipeline.storeElement, pipeline, rows[i].slot, value);
      }
    }
    if (rest.length >= before) break;  // a tokeniser that consumed nothing would spin here forever
  }
  return kStatusOk;
}

Status parseElementsWithTable(AamvaPipeline& pipeline, TextSpan data, const ElementTable& table,
                              ElementTerminators terminators) {
  if (data.data == nullptr) return kStatusBadArgument;
  const char set[3] = {pipeline.dataElementSeparator,
                       terminators == ElementTerminators::kSeparatorAndSegmentEnd ? pipeline.segmentTerminator : '\0',
                       '\0'};
  return callHook(pipeline.scanElements, pipeline, data, set, table.rows, table.count);
}

}  // namespace quorix
