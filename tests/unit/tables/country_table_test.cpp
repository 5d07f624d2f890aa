#include "tables/country_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorix {
namespace {

TextSpan span(std::string_view text) { return TextSpan{text.data(), static_cast<std::int32_t>(text.size())}; }

std::string orNone(const char* text) { return text != nullptr ? std::string(text) : std::string("<none>"); }

TEST(CountryCodeForName, ComparesUpperCasedWholeNames) {
  struct Case {
    const char* name;
    std::string_view code;
  };
  const Case kCases[] = {
      {"Mexico", "MEX"},
      {"U.S.A.", "USA"},         // alias row
      {"cote d'ivoire", "CIV"},  // apostrophe compared as it stands
      {"Congo, the Democratic Republic of the", "COD"},
      {"CONGO", "COG"},              // same start as the longer name, different length
      {"Utopia", "UTO"},             // last row
      {"United States ", "<none>"},  // trailing space: lengths differ
      {"UNITED-STATES", "<none>"},
      {"", "<none>"},
      {"MEX", "<none>"},  // a code is not a name
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(orNone(countryCodeForName(c.name)), c.code);
  }
  EXPECT_EQ(countryCodeForName(nullptr), nullptr);
}

TEST(CountryNameForCode, FirstRowOfTheCodeWins) {
  struct Case {
    std::string_view code;
    std::string_view name;
  };
  constexpr Case kCases[] = {
      {"usa", "UNITED STATES"}, {"VAT", "VATICAN"}, {"ABW", "ARUBA"},  {"UTO", "UTOPIA"},
      {"US", "<none>"},         {"USAA", "<none>"}, {"XYZ", "<none>"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(orNone(countryNameForCode(span(c.code))), c.name);
  }
  EXPECT_EQ(countryNameForCode(TextSpan{}), nullptr);
  EXPECT_EQ(countryNameForCode(TextSpan{"USA", 0}), nullptr);
  // Only the span's own bytes count, not what follows it.
  EXPECT_EQ(orNone(countryNameForCode(TextSpan{"MEXICO", 3})), "MEXICO");
  // Every code, in either case, leads to the first of its rows.
  for (const CountryRow& row : CountryTable) {
    const CountryRow& first = *std::find_if(CountryTable.begin(), CountryTable.end(),
                                            [&](const CountryRow& r) { return std::string_view(r.code) == row.code; });
    std::string lower(row.code);
    for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
    EXPECT_EQ(orNone(countryNameForCode(span(row.code))), first.name) << row.code;
    EXPECT_EQ(orNone(countryNameForCode(span(lower))), first.name) << lower;
    EXPECT_TRUE(isCountryCode(row.code)) << row.code;
    EXPECT_FALSE(isCountryCode(lower.c_str())) << lower;
  }
}

TEST(IsCountryCode, ExactAndCaseSensitive) {
  struct Case {
    const char* text;
    bool known;
  };
  constexpr Case kCases[] = {{"USA", true},   {"usa", false}, {"UTO", true}, {"US", false},
                             {"USAX", false}, {"", false},    {"ZWE", true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(isCountryCode(c.text), c.known);
  }
  EXPECT_FALSE(isCountryCode(nullptr));
}

TEST(CountryTable, KeepsItsAliasesTogether) {
  // Every name leads back to a row with the same code, and every code to a name of that code.
  for (const CountryRow& row : CountryTable) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(orNone(countryCodeForName(row.name)), row.code);
    EXPECT_EQ(orNone(countryCodeForName(countryNameForCode(span(row.code)))), row.code);
  }
}

}  // namespace
}  // namespace quorix
