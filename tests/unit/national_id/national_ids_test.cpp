// The national identity card decoders, run whole: what each card layout stores, where each chain stops, and what
// hostile texts do. Every card text here is invented.
#include "decoders/national_id/national_ids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/registry.h"
#include "unit/support/record_builder.h"

namespace quorix {
namespace {

using testing::RecordBuilder;
using testing::slotText;

struct Decoded {
  Status status = 0;
  std::string slots;  // "slot=value" of every filled slot in slot order, joined by ";"
};

// Decodes from an exactly sized heap copy, so a read past the end is caught, and wipes the copy before reading the
// record back, so a slot pointing into the text is caught too.
Decoded decode(DecodeFunction decoder, std::string_view text, std::int32_t arenaSize = 8192) {
  auto built = RecordBuilder(arenaSize).build();
  ParserInstance instance;
  const auto copy = std::make_unique<char[]>(text.size());
  std::memcpy(copy.get(), text.data(), text.size());
  Decoded decoded;
  decoded.status = decoder(copy.get(), static_cast<std::int32_t>(text.size()), built.record, instance);
  std::memset(copy.get(), '#', text.size());
  const FieldRecord& record = built.record;
  for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
    const FieldSlot& value = record.slots[slot];
    if (!value.filled()) continue;
    EXPECT_TRUE(value.text >= record.arena && value.text + value.length <= record.arena + record.arenaSize) << slot;
    if (!decoded.slots.empty()) decoded.slots += ';';
    decoded.slots += std::to_string(slot) + "=" + slotText(record, slot);
  }
  return decoded;
}

struct Case {
  std::string_view text;
  Status status;
  std::string slots;
};

void expectCases(DecodeFunction decoder, std::span<const Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded decoded = decode(decoder, c.text);
    EXPECT_EQ(decoded.status, c.status);
    EXPECT_EQ(decoded.slots, c.slots);
  }
}

constexpr std::string_view kGuatemalaCard = "GTM0012345|A|JUAN|CARLOS|PEREZ|GOMEZ|25/12/1980|01/06/2030|1234567890123|";
constexpr std::string_view kPuertoRicoCard = "123456789-5ago2020-JOSE-NULL-RIVERA-ORTIZ-CIT-X1-Y2-M-7";
constexpr std::string_view kPanamaCard =
    "8-123-456|X|MARIA_ISABEL_SOFIA|DE_LEON|a|b|c|d|1/2/1990|01/02/2030|15/03/2020|A|";
constexpr std::string_view kSouthAfricaCard = "MOKOENA|THABO JAMES|M|ZA|8001015009087|7 MAR 1985|x|y|07Mar2015";
constexpr std::string_view kMexicoCard = "GARCIA LOPEZ JUAN CARLOS Fec Nac. 25/12/1980 Ofna CENTRO Id Doc 123456789";

TEST(GuatemalaId, ChainStoresFieldsUntilOneIsMissing) {
  constexpr std::string_view kTail = "PEREZ|25/12/1980|01/06/2030|99|";
  const std::string withoutMiddle = "GTM1|A|JUAN||" + std::string(kTail);
  const std::string junkBeforeFirst = "GTM1|A|12#JUAN|NULL|" + std::string(kTail);
  const Case cases[] = {
      {kGuatemalaCard, 0,
       "6=1234567890123;10=20300601;11=19801225;25=PEREZ GOMEZ;26=JUAN;27=CARLOS;56=Guatemala;87=DL;125=GTM"},
      {withoutMiddle, 0, "6=99;10=20300601;11=19801225;25=PEREZ;26=JUAN;56=Guatemala;87=DL;125=GTM"},
      {junkBeforeFirst, 0, "6=99;10=20300601;11=19801225;25=PEREZ;26=JUAN;56=Guatemala;87=DL;125=GTM"},
      // Early endings keep what was read and lack the country.
      {"GTM1|A|JUAN|CARLOS|", 0, "26=JUAN;27=CARLOS"},
      {"GTM1|A|JUAN|CARLOS|PEREZ|5/12/1980|01/06/2030|99|", 0, "26=JUAN;27=CARLOS"},
      {"GTM1|A|JUAN|CARLOS|PEREZ|25/12/1980|1-6-2030|99|", 0, "11=19801225;25=PEREZ;26=JUAN;27=CARLOS"},
      {"GTM1|A|JUAN|CARLOS|PEREZ|25/12/1980|01/06/2030|12A4|", 0, "10=20300601;11=19801225;25=PEREZ;26=JUAN;27=CARLOS"},
      {"GTM1|A|JUAN|CARLOS|PEREZ|25/12/1980|01/06/2030|", 0, "10=20300601;11=19801225;25=PEREZ;26=JUAN;27=CARLOS"},
      {"GTM1|A|JUAN", kStatusNoDecoder, ""},
      // Only the prefix and the first name reject the card.
      {"gtm0012345|A|JUAN|CARLOS|", kStatusNoDecoder, ""},
      {"GTM1|AB|JUAN|", kStatusNoDecoder, ""},
      {"|GTM1|A|JUAN|", kStatusNoDecoder, ""},
      {"GTM12345", kStatusNoDecoder, ""},
      {"GTM1|A|123|456|", kStatusNoDecoder, ""},
  };
  expectCases(decodeGuatemalaId, cases);
}

TEST(PuertoRicoId, ChainStoresFieldsUntilOneIsMissing) {
  const Case cases[] = {
      {kPuertoRicoCard, 0, "6=123456789;10=20200805;12=M;25=RIVERA ORTIZ;26=JOSE;56=Puerto Rico;125=PRI"},
      {"7-15DIC2031-ANA--DIAZ-CIT-a-b-F-", 0, "6=7;10=20311215;12=F;25=DIAZ;26=ANA;56=Puerto Rico;125=PRI"},
      // Early endings.
      {"7-15XYZ2031-ANA-", 0, "6=7"},
      {"7-5ago20-ANA-", 0, "6=7"},
      {"7-15DIC2031-ANA#-", 0, "6=7;10=20311215"},
      {"7-15DIC2031-ANA-LU#Z-DIAZ-CIT-", 0, "6=7;10=20311215;26=ANA"},
      {"7-15DIC2031-ANA--RIVE", 0, "6=7;10=20311215;26=ANA"},
      {"7-15DIC2031-ANA--RIV1-CIT-", 0, "6=7;10=20311215;26=ANA"},
      {"7-15DIC2031-ANA--RIVERA-ORTIZ-X1-", 0, "6=7;10=20311215;26=ANA"},
      {"7-15DIC2031-ANA--DIAZ-CIT-a-b-", 0, "6=7;10=20311215;25=DIAZ;26=ANA"},
      {"7-15DIC2031-ANA--DIAZ-CIT-a-b-X-", 0, "6=7;10=20311215;25=DIAZ;26=ANA"},
      // Only the licence number rejects the card.
      {"ABC-5ago2020-", kStatusNoDecoder, ""},
      {"123_5ago2020-", kStatusNoDecoder, ""},
  };
  expectCases(decodePuertoRicoId, cases);
}

TEST(PanamaId, TwelveFieldsAndDateChain) {
  const Case cases[] = {
      {kPanamaCard, 0,
       "6=8-123-456;7=A;10=20300201;11=19900201;13=20200315;25=DE LEON;26=MARIA;27=ISABEL SOFIA;"
       "56=Republic of Panama;87=DL;125=PAN"},
      {"1||ANA_LUZ|RUIZ|||||01/12/1990|1/2/2030|3/4/2020||ignored|", 0,
       "6=1;10=20300201;11=19901201;13=20200403;25=RUIZ;26=ANA;27=LUZ;56=Republic of Panama;87=DL;125=PAN"},
      {"1||ANA_LUZ|RUIZ|||||01/12/1990|1/2/2030|3/4/2020|", kStatusNoDecoder, ""},
      {"1||ANA_LUZ|RUIZ|||||01/12/1990|2030-02-01|3/4/2020||", kStatusNoDecoder,
       "6=1;11=19901201;25=RUIZ;26=ANA;27=LUZ;56=Republic of Panama;87=DL;125=PAN"},
      {"1||ANA_LUZ|RUIZ|||||1/2/19901|1/2/2030|3/4/2020||", kStatusNoDecoder,
       "6=1;25=RUIZ;26=ANA;27=LUZ;56=Republic of Panama;87=DL;125=PAN"},
      {"1||ANA|RUIZ|||||1/2/1990|1/2/2030|3/4/2020||", kStatusNoDecoder,
       "6=1;10=20300201;11=19900201;13=20200403;25=RUIZ;26=ANA;56=Republic of Panama;87=DL;125=PAN"},
      {"1||ANA_|RUIZ|||||1/2/1990|1/2/2030|3/4/2020||", kStatusNoDecoder,
       "6=1;10=20300201;11=19900201;13=20200403;25=RUIZ;26=ANA;56=Republic of Panama;87=DL;125=PAN"},
      {"||_LUZ||||||1/2/1990|1/2/2030|3/4/2020||", 0,
       "10=20300201;11=19900201;13=20200403;27=LUZ;56=Republic of Panama;87=DL;125=PAN"},
  };
  expectCases(decodePanamaId, cases);
}

TEST(SouthAfricaId, NineFieldsGivenNamesAndDates) {
  constexpr std::string_view kCountry = "56=Republic of South Africa;87=ID;125=ZAF";
  const std::string card =
      "6=8001015009087;11=19850307;12=M;13=20150307;25=MOKOENA;26=THABO;27=JAMES;" + std::string(kCountry);
  const std::string oneName = "11=19850307;13=20150307;25=DLAMINI;26=THABO;" + std::string(kCountry);
  const std::string middleNames = "11=19850307;13=20150307;25=DLAMINI;26=THABO;27=JAMES PETER;" + std::string(kCountry);
  const Case cases[] = {
      {kSouthAfricaCard, 0, card},
      // A doubled space or a third given name keeps every name.
      {"  DLAMINI |THABO  JAMES   PETER||||07 MAR 1985|||7 mar 2015|extra", 0, middleNames},
      {"DLAMINI|THABO JAMES PETER ||||07 MAR 1985|||7 mar 2015", 0, middleNames},
      {"  DLAMINI |THABO||||07 MAR 1985|||7 mar 2015", kStatusNoDecoder, oneName},
      {"  DLAMINI |THABO ||||07 MAR 1985|||7 mar 2015", kStatusNoDecoder, oneName},
      {"DLAMINI|THABO JAMES||||07 MARCH 1985|||7 mar 2015", kStatusNoDecoder,
       "25=DLAMINI;26=THABO;27=JAMES;" + std::string(kCountry)},
      {"DLAMINI|THABO JAMES||||07 MAR 1985|||07 MAR 85", kStatusNoDecoder,
       "11=19850307;25=DLAMINI;26=THABO;27=JAMES;" + std::string(kCountry)},
      {"DLAMINI|THABO JAMES||||07 MAR 1985|||", kStatusNoDecoder, ""},
      {"DLAMINI|THABO JAMES||||07 MAR 1985||", kStatusNoDecoder, ""},
  };
  expectCases(decodeSouthAfricaId, cases);
}

TEST(MexicoId, NameDateOfficeAndNumber) {
  constexpr std::string_view kConstants = "56=Mexico;87=ID";
  const auto with = [&](std::string_view slots) { return std::string(slots) + ";" + std::string(kConstants); };
  const Case cases[] = {
      {kMexicoCard, 0,
       "1=GARCIA LOPEZ JUAN CARLOS;3=CENTRO;6=123456789;11=19801225;25=GARCIA LOPEZ;26=JUAN;27=CARLOS;56=Mexico;87=ID"},
      {"PEREZ JUAN Fec Nac. 1/2/1980\nLOPEZ ANA Fec Nac. 3/4/1990", 0, with("1=LOPEZ ANA;11=19900304;25=LOPEZ;26=ANA")},
      {"PEREZ JUAN Fec Nac. 1/2/1980\nX Fec Nac. 3/4/1990", 0, with("1=PEREZ JUAN;11=19800102;25=PEREZ;26=JUAN")},
      // A rejected occurrence does not end the search.
      {"X Fec Nac. 1/2/1980 PEREZ JUAN Fec Nac. 3/4/1990", 0, with("1=PEREZ JUAN;11=19900304;25=PEREZ;26=JUAN")},
      {"PEREZ JUAN Fec Nac. 1-2-1980 LOPEZ ANA Fec Nac. 3/4/1990", 0, with("1=LOPEZ ANA;11=19900304;25=LOPEZ;26=ANA")},
      {"x#1 PEREZ JUAN  Fec Nac. 1/2/1980", 0, with("1=PEREZ JUAN;11=19800102;25=PEREZ;26=JUAN")},
      // The office needs both its marker and a number.
      {"PEREZ JUAN Fec Nac. 1/2/1980 Ofna CENTRO Id Doc ABC", 0, with("1=PEREZ JUAN;11=19800102;25=PEREZ;26=JUAN")},
      {"PEREZ JUAN Fec Nac. 1/2/1980 CENTRO Id Doc 42", 0, with("1=PEREZ JUAN;11=19800102;25=PEREZ;26=JUAN")},
      {"PEREZ JUAN Fec Nac. 1/2/1980 Ofna  Id Doc 42", 0, with("1=PEREZ JUAN;11=19800102;25=PEREZ;26=JUAN")},
      {"PEREZ Fec Nac. 1/2/1980", 0, with("1=PEREZ;11=19800102")},
      // A first number that cannot be a month makes the date day first; every other date keeps the written order.
      {"PEREZ Fec Nac. 25/12/1980", 0, with("1=PEREZ;11=19801225")},
      {"PEREZ Fec Nac. 12/25/1980", 0, with("1=PEREZ;11=19801225")},
      {"PEREZ Fec Nac. 13/13/1980", 0, with("1=PEREZ;11=19801313")},
      {"PEREZ Fec Nac. 1/13/1980", 0, with("1=PEREZ;11=19800113")},
      {"PEREZ Fec Nac. 31/0/1980", 0, with("1=PEREZ;11=19803100")},
      // Particles join the family name; a word that only starts like one does not.
      {"JUAN DE LA ROSA Fec Nac. 1/2/1980", 0, with("1=JUAN DE LA ROSA;11=19800102;25=JUAN DE LA ROSA")},
      {"JUAN CARLOS PEREZ DE LA ROSA Fec Nac. 1/2/1980", 0,
       with("1=JUAN CARLOS PEREZ DE LA ROSA;11=19800102;25=PEREZ DE LA ROSA;26=JUAN;27=CARLOS")},
      {"JUAN PEREZ de la ROSA Fec Nac. 1/2/1980", 0,
       with("1=JUAN PEREZ de la ROSA;11=19800102;25=PEREZ de la ROSA;26=JUAN")},
      {"JUAN DESIREE LOPEZ Fec Nac. 1/2/1980", 0, with("1=JUAN DESIREE LOPEZ;11=19800102;25=JUAN;26=DESIREE;27=LOPEZ")},
      {"JUAN PEREZ DES Fec Nac. 1/2/1980", 0, with("1=JUAN PEREZ DES;11=19800102;25=JUAN;26=PEREZ;27=DES")},
      {"PEREZ   JUAN Fec Nac. 1/2/1980", 0, with("1=PEREZ   JUAN;11=19800102;25=PEREZ;26=JUAN")},
      // Only the name and birth date reject the card.
      {"", kStatusNoDecoder, ""},
      {"PEREZ JUAN fec nac. 1/2/1980", kStatusNoDecoder, ""},
      {"A Fec Nac. 1/2/1980", kStatusNoDecoder, ""},
      {"perez juan Fec Nac. 1/2/1980", kStatusNoDecoder, ""},
      {"PEREZ JUAN Fec Nac. 1/2/80", kStatusNoDecoder, ""},
  };
  expectCases(decodeMexicoId, cases);
}

}  // namespace
}  // namespace quorix
