// The decoder registry. Row order decides ties, so it is part of the contract: a row that comes earlier wins
// when two decoders explain a text equally well.
#include "core/registry.h"

#include <algorithm>
#include <iterator>

#include "core/normalise.h"
#include "decoders/aamva/aamva_framing.h"
#include "decoders/aamva/aamva_variants.h"
#include "decoders/aamva/wedge_reader.h"
#include "decoders/cac/cac_decoders.h"
#include "decoders/card_record/card_records.h"
#include "decoders/magstripe/magstripe_variants.h"
#include "decoders/national_id/national_ids.h"

namespace quorix {
namespace {

// Every AAMVA row reads the text from its compliance mark, with the framing that scanners damage mended; how
// depends on whether the normaliser made the text or it is the reader's exact bytes. Each one's screen wants the
// "@" first, and the mend moves one found near the start there but writes none of its own: "@" is their mark.
template <AamvaTextKind Kind>
RepairSet mendAamva(const char* text, std::int32_t length, std::int32_t room, char* edit, std::int32_t* editedLength) {
  return reframeAamvaText(text, length, room, Kind, edit, editedLength);
}
constexpr MendFunction mendNormalised = mendAamva<AamvaTextKind::kNormalised>;
constexpr MendFunction mendExact = mendAamva<AamvaTextKind::kExact>;

// A row whose decoder has not joined yet has no decode function and never accepts a text.
// clang-format off
constexpr DecoderEntry kRegistry[] = {
    // Magnetic stripes. Each row's mark is a byte its screen insists on (what its text opens with, or the first
    // byte of a part it needs; of two parts, the one that other text holds less often: "%" before ";"), and a text
    // too short for the screen to judge is too short for its splitter.
    {.group = kGroupMagstripe, .id = 0, .prepare = normaliseInput, .decode = decodeMagstripeVariant<0>, .screen = screenMagstripeVariant<0>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 1, .prepare = normaliseInput, .decode = decodeMagstripeVariant<1>, .screen = screenMagstripeVariant<1>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 2, .prepare = normaliseInput, .decode = decodeMagstripeVariant<2>, .screen = screenMagstripeVariant<2>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 4, .prepare = normaliseInput, .decode = decodeMagstripeVariant<4>, .screen = screenMagstripeVariant<4>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 5, .prepare = normaliseInput, .decode = decodeMagstripeVariant<5>, .screen = screenMagstripeVariant<5>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 6, .prepare = normaliseInput, .decode = decodeMagstripeVariant<6>, .screen = screenMagstripeVariant<6>, .mark = '{'},
    {.group = kGroupMagstripe, .id = 9, .prepare = normaliseInput, .decode = decodeMagstripeVariant<9>, .screen = screenMagstripeVariant<9>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 11, .prepare = normaliseInput, .screen = screenMagstripeVariant<11>, .decodeEditing = decodeMagstripeEditing<11>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 3, .prepare = normaliseInput, .decode = decodeMagstripeVariant<3>, .screen = screenMagstripeVariant<3>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 7, .prepare = normaliseInput, .decode = decodeMagstripeVariant<7>, .screen = screenMagstripeVariant<7>, .mark = ';'},
    {.group = kGroupMagstripe, .id = 8, .prepare = normaliseInput, .decode = decodeMagstripeVariant<8>, .expectedCountry = "CAN", .screen = screenMagstripeVariant<8>, .mark = ';'},
    {.group = kGroupMagstripe, .id = 10, .prepare = normaliseInput, .decode = decodeMagstripeVariant<10>, .screen = screenMagstripeVariant<10>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 12, .prepare = normaliseInput, .decode = decodeMagstripeVariant<12>, .screen = screenMagstripeVariant<12>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 13, .prepare = normaliseInput, .decode = decodeMagstripeVariant<13>, .screen = screenMagstripeVariant<13>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 14, .prepare = normaliseInput, .decode = decodeMagstripeVariant<14>, .screen = screenMagstripeVariant<14>, .mark = '6'},
    {.group = kGroupMagstripe, .id = 15, .prepare = normaliseInput, .decode = decodeMagstripeVariant<15>, .expectedCountry = "AUS", .screen = screenMagstripeVariant<15>, .mark = '%'},
    {.group = kGroupMagstripe, .id = 16, .prepare = normaliseInput, .decode = decodeMagstripeVariant<16>, .screen = screenMagstripeVariant<16>, .mark = 'O'},

    // AAMVA barcodes: id 39 ahead of the older editions.
    {.group = kGroupAamva, .id = 39, .prepare = normaliseInput, .decode = decodeAamvaVariant<39>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<39>, .mark = '@'},
    {.group = kGroupAamva, .id = 17, .prepare = normaliseInput, .decode = decodeAamvaVariant<17>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<17>, .mark = '@'},
    {.group = kGroupAamva, .id = 18, .prepare = normaliseInput, .decode = decodeAamvaVariant<18>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<18>, .mark = '@'},
    {.group = kGroupAamva, .id = 19, .prepare = normaliseInput, .decode = decodeAamvaVariant<19>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<19>, .mark = '@'},
    {.group = kGroupAamva, .id = 20, .prepare = normaliseInput, .decode = decodeAamvaVariant<20>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<20>, .mark = '@'},
    {.group = kGroupAamva, .id = 21, .prepare = normaliseInput, .decode = decodeAamvaVariant<21>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<21>, .mark = '@'},
    {.group = kGroupAamva, .id = 22, .prepare = normaliseInput, .decode = decodeAamvaVariant<22>, .expectedJurisdiction = "NC", .mendFraming = mendNormalised, .screen = screenAamvaVariant<22>, .mark = '@'},
    {.group = kGroupAamva, .id = 23, .prepare = normaliseInput, .decode = decodeAamvaVariant<23>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<23>, .mark = '@'},
    {.group = kGroupAamva, .id = 24, .prepare = normaliseInput, .decode = decodeAamvaVariant<24>, .expectedJurisdiction = "AR", .mendFraming = mendNormalised, .screen = screenAamvaVariant<24>, .mark = '@'},
    {.group = kGroupAamva, .id = 25, .prepare = normaliseInput, .decode = decodeAamvaVariant<25>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<25>, .mark = '@'},
    {.group = kGroupAamva, .id = 26, .prepare = normaliseInput, .decode = decodeAamvaVariant<26>, .expectedCountry = "CAN", .mendFraming = mendNormalised, .screen = screenAamvaVariant<26>, .mark = '@'},
    {.group = kGroupAamva, .id = 27, .prepare = prepareCopy, .decode = decodeAamvaVariant<27>, .expectedCountry = "CAN", .expectedJurisdiction = "AB", .mendFraming = mendExact, .screen = screenAamvaVariant<27>, .mark = '@'},
    {.group = kGroupAamva, .id = 28, .prepare = normaliseInput, .decode = decodeAamvaVariant<28>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<28>, .mark = '@'},
    {.group = kGroupAamva, .id = 29, .prepare = normaliseInput, .decode = decodeAamvaVariant<29>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<29>, .mark = '@'},
    {.group = kGroupAamva, .id = 30, .prepare = normaliseInput, .decode = decodeAamvaVariant<30>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<30>, .mark = '@'},
    {.group = kGroupAamva, .id = 31, .prepare = normaliseInput, .decode = decodeAamvaVariant<31>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<31>, .mark = '@'},
    {.group = kGroupAamva, .id = 32, .prepare = normaliseInput, .decode = decodeAamvaVariant<32>, .expectedCountry = "CAN", .expectedJurisdiction = "AB", .mendFraming = mendNormalised, .screen = screenAamvaVariant<32>, .mark = '@'},
    {.group = kGroupAamva, .id = 33, .prepare = prepareCopy, .decode = decodeAamvaVariant<33>, .expectedCountry = "CAN", .expectedJurisdiction = "AB", .mendFraming = mendExact, .screen = screenAamvaVariant<33>, .mark = '@'},
    {.group = kGroupAamva, .id = 34, .prepare = normaliseInput, .decode = decodeAamvaVariant<34>, .expectedCountry = "CAN", .expectedJurisdiction = "AB", .mendFraming = mendNormalised, .screen = screenAamvaVariant<34>, .mark = '@'},
    {.group = kGroupAamva, .id = 35, .prepare = normaliseInput, .decode = decodeAamvaVariant<35>, .expectedJurisdiction = "SL", .mendFraming = mendNormalised, .screen = screenAamvaVariant<35>, .mark = '@'},
    {.group = kGroupAamva, .id = 36, .prepare = normaliseInput, .decode = decodeAamvaVariant<36>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<36>, .mark = '@'},
    {.group = kGroupAamva, .id = 37, .prepare = normaliseInput, .decode = decodeAamvaVariant<37>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<37>, .mark = '@'},
    {.group = kGroupAamva, .id = 38, .prepare = normaliseInput, .decode = decodeAamvaVariant<38>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<38>, .mark = '@'},
    {.group = kGroupAamva, .id = 40, .prepare = normaliseInput, .decode = decodeAamvaVariant<40>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<40>, .mark = '@'},
    {.group = kGroupAamva, .id = 41, .prepare = normaliseInput, .decode = decodeAamvaVariant<41>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<41>, .mark = '@'},
    {.group = kGroupAamva, .id = 42, .prepare = normaliseInput, .decode = decodeAamvaVariant<42>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<42>, .mark = '@'},
    {.group = kGroupAamva, .id = 43, .prepare = normaliseInput, .decode = decodeAamvaVariant<43>, .mendFraming = mendNormalised, .screen = screenAamvaVariant<43>, .mark = '@'},

    // Fixed-position card records.
    {.group = kGroupCardRecord, .id = 44, .prepare = prepareCopy, .decode = decodeCardRecord<44>, .screen = screenCardRecord<44>, .readsFixedPlaces = true},
    {.group = kGroupCardRecord, .id = 45, .prepare = normaliseInput, .decode = decodeCardRecord<45>, .screen = screenCardRecord<45>},

    // Common Access Cards.
    {.group = kGroupCac, .id = 46, .prepare = normaliseInput, .decode = decodeCacVariant<46>, .screen = screenCacVariant<46>, .readsFixedPlaces = true},
    {.group = kGroupCac, .id = 47, .prepare = normaliseInput, .decode = decodeCacVariant<47>, .screen = screenCacVariant<47>, .readsFixedPlaces = true},
    {.group = kGroupCac, .id = 49, .prepare = normaliseInput, .decode = decodeCacVariant<49>, .screen = screenCacVariant<49>, .readsFixedPlaces = true},
    {.group = kGroupCac, .id = 48, .prepare = normaliseInput, .decode = decodeCacVariant<48>, .screen = screenCacVariant<48>, .readsFixedPlaces = true},
    {.group = kGroupCac, .id = 50, .prepare = normaliseInput, .decode = decodeCacVariant<50>, .screen = screenCacVariant<50>, .readsFixedPlaces = true},

    // National identity cards; their decoders need the exact bytes.
    {.group = kGroupNationalId, .id = 51, .prepare = prepareCopy, .decode = decodeGuatemalaId, .expectedCountry = "GTM"},
    {.group = kGroupNationalId, .id = 52, .prepare = prepareCopy, .decode = decodePuertoRicoId, .expectedCountry = "PRI"},
    {.group = kGroupNationalId, .id = 53, .prepare = prepareCopy, .decode = decodePanamaId, .expectedCountry = "PAN", .screen = screenPanamaId},
    {.group = kGroupNationalId, .id = 54, .prepare = prepareCopy, .decode = decodeSouthAfricaId, .expectedCountry = "ZAF", .screen = screenSouthAfricaId},
    {.group = kGroupNationalId, .id = 55, .prepare = prepareCopy, .decode = decodeMexicoId, .expectedCountry = "MEX"},

    // AAMVA barcodes typed by a keyboard-wedge scanner, every separator lost; texts with one are left to the rows
    // above.
    {.group = kGroupAamva, .id = 57, .prepare = normaliseInput, .decode = decodeAamvaWedge, .repairs = kRepairSeparatorsRestored, .mendFraming = mendNormalised, .screen = screenAamvaWedge, .mark = '@'},
};
// clang-format on

constexpr std::int32_t kHighestId = 57;

constexpr bool idsAreUnique() {
  bool seen[kHighestId + 1] = {};
  for (const DecoderEntry& row : kRegistry) {
    if (row.id < 0 || row.id > kHighestId || row.id == kNoDecoderId || seen[row.id]) return false;
    seen[row.id] = true;
  }
  return true;
}
static_assert(std::size(kRegistry) == kRegistryRows);
static_assert(idsAreUnique() && DecoderEntry{}.id == kNoDecoderId);
static_assert(std::none_of(std::begin(kRegistry), std::end(kRegistry),
                           [](const DecoderEntry& row) {
                             return row.decode != nullptr && row.decodeEditing != nullptr;
                           }),
              "a row either reads its text or edits it");

}  // namespace

std::span<const DecoderEntry> decoderRegistry() { return kRegistry; }

}  // namespace quorix
