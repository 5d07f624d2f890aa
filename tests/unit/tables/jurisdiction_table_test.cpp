#include "tables/jurisdiction_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/iin_table.h"

namespace quorix {
namespace {

TextSpan span(std::string_view text) { return TextSpan{text.data(), static_cast<std::int32_t>(text.size())}; }

std::string orNone(const char* text) { return text != nullptr ? std::string(text) : std::string("<none>"); }

TEST(CountryGroupForJurisdiction, TwoExactBytesOnly) {
  struct Case {
    std::string_view code;
    std::string_view group;
  };
  constexpr Case kCases[] = {
      {"PR", "U.S. Territorial Possessions"},
      {"AL", "United States"},
      {"ZA", "Mexico"},
      {"NL", "Canada"},  // Newfoundland and Labrador's current code shadows Nuevo Leon's
      {"NF", "Canada"},
      {"MEX", "<none>"},  // three bytes
      {"pr", "<none>"},   // case-sensitive
      {"P", "<none>"},
      {"LB", "<none>"},  // a correction code that is no jurisdiction
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(orNone(countryGroupForJurisdiction(span(c.code))), c.group);
  }
  EXPECT_EQ(countryGroupForJurisdiction(TextSpan{}), nullptr);
}

TEST(JurisdictionForIin, ReadsSixBytesAsANumber) {
  struct Case {
    std::string_view iin;
    std::string_view code;
  };
  constexpr Case kCases[] = {
      {"636014", "CA"},     {"63601499", "CA"},                           // only six bytes are read
      {"636000", "VA"},     {"636062", "VI"},      {"636048", "<none>"},  // a row without code
      {"636063", "<none>"},                                               // one past the table
      {"635999", "<none>"}, {"63601", "<none>"},                          // too short
      {" 63601", "<none>"},  // white space counts against the six bytes: 63601
      {"+63602", "<none>"}, {"-636000", "<none>"}, {"ABCDEF", "<none>"},
      {"636O14", "<none>"},  // a letter ends the digits: 636
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.iin);
    EXPECT_EQ(orNone(jurisdictionForIin(span(c.iin))), c.code);
    EXPECT_EQ(isKnownIin(span(c.iin)), c.code != "<none>");
  }
  EXPECT_EQ(jurisdictionForIin(TextSpan{}), nullptr);
  // The span's length limits the read even when more digits follow in memory.
  EXPECT_EQ(jurisdictionForIin(TextSpan{"636014", 5}), nullptr);
}

TEST(IinForJurisdiction, ExactCodesAndSkipsEmptyRows) {
  struct Case {
    std::string_view code;
    std::string_view iin;
  };
  constexpr Case kCases[] = {
      {"VA", "636000"}, {"VI", "636062"},  {"NF", "636016"}, {"NL", "636016"}, {"nl", "<none>"},
      {"V", "<none>"},  {"VAX", "<none>"}, {"PR", "<none>"}, {"", "<none>"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(orNone(iinForJurisdiction(span(c.code))), c.iin);
  }
}

TEST(IinTable, EveryCodedRowIsAKnownJurisdiction) {
  std::int32_t withoutCode = 0;
  for (const IinRow& row : IinTable) {
    if (row.code == nullptr) {
      ++withoutCode;
      continue;
    }
    SCOPED_TRACE(row.text);
    EXPECT_NE(countryGroupForJurisdiction(span(row.code)), nullptr);
    EXPECT_EQ(orNone(iinForJurisdiction(span(row.code))), row.text);
  }
  EXPECT_EQ(withoutCode, 3);
}

}  // namespace
}  // namespace quorix
