// Test support: one invented document text per decoder family and framing, with the decoder each one must reach.
// No text belongs to a real person.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorix::testing {

struct SampleDocument {
  std::string_view name;
  std::string_view text;
  std::int32_t decoderId;
};

using namespace std::string_view_literals;

// clang-format off
inline constexpr SampleDocument kSampleDocuments[] = {
    {"aamva 2014", "@\n\x1e\rANSI 636014080002DL00410278ZC03190008DLDAQD7654321\nDCSSAMPLE\nDACJANE\nDADANN\n"
                   "DBB03041985\nDBA03042031\nDBD03042023\nDBC2\nDAYGRN\nDAZBRO\nDAU064 IN\nDCAC\nDAG12 ELM ST\n"
                   "DAIFRESNO\nDAJCA\nDAK937210000  \nDCGUSA\nDCLW\nDDK1\nDDL0\r"sv, 41},
    {"aamva 2010, CR LF", "@\r\n\x1e\r\nANSI 636031050001DL00310250DLDAQ123456789\r\nDCSBERG\r\nDACANNA\r\nDADMARIE\r\n"
                          "DAG40 LAKE ST\r\nDAH APT 2\r\nDAIMADISON\r\nDAJWI\r\nDAK53703\r\nDCAD\r\nDBA06302029\r\n"
                          "DBB06301995\r\nDBC2\r\nDBD06302021\r\nDAU066 IN\r\nDAYBLU\r\nDAZRED\r\nDCGUSA\r\n"sv, 38},
    {"stripe, three tracks", "%CAOAKLAND^DOE$JOHN$Q^123 MAIN ST^?;6360141234567=251219800115?"
                             "%!!94612      C B         NONEM510180BROBLU?"sv, 4},
    {"stripe, Australian", "%1^DOE JOHN^12345678^?"sv, 15},
    {"bank track", "%B6360121234567890^DOE/JOHN Q^3104799119800131000000025011500?;6360121234567890=3104?;0123?"sv,
     45},
    {"card record", "@VA9HC00000000000000T123456789DOE/JOHN Q                  19800215M2020011020280215"sv, 44},
    {"cac version 1", "N0A1B2CP00V1V2VMARY                SAMPLE                    B0K5DF02      GS11BC7CBEBQB "sv, 47},
    {"cac version 3", "IDUS3ABCD1ROE ANN                    123456789A987654321XY55180BRBL1992OCT03ABCDE2015JAN01"
                      "2016FEB02ABC1232021MAR012027FEB28USAFMABCDEF12345SGT   ONETWO"sv, 49},
    {"guatemala", "GTM0012345|A|JUAN|CARLOS|PEREZ|GOMEZ|25/12/1980|01/06/2030|1234567890123|"sv, 51},
    {"puerto rico", "123456789-5ago2030-JOSE-NULL-RIVERA-ORTIZ-CIT-X1-Y2-M-7"sv, 52},
    {"panama", "8-123-456|X|MARIA_ISABEL|DE_LEON|a|b|c|d|1/2/1990|01/02/2030|15/03/2020|A|"sv, 53},
    {"south africa", "MOKOENA|THABO JAMES|M|ZA|8001015009087|7 MAR 1985|x|y|07Mar2015"sv, 54},
    {"mexico", "GARCIA LOPEZ JUAN CARLOS Fec Nac. 25/12/1980 Ofna CENTRO Id Doc 123456789"sv, 55},
};
// clang-format on

}  // namespace quorix::testing
