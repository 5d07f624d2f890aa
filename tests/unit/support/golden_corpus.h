// Test support: the golden corpus as the unit tests read it, every accepted case with the decoder its expected
// output names, so that robustness and concurrency sweeps cover whatever documents the corpus holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorix::testing {

struct GoldenDocument {
  std::string name;  // the case's path below testdata/golden, without extension
  std::string text;
  std::int32_t decoderId;
};

// The accepted cases (status 0), sorted by name; rejected/ and every other failing case are left out.
const std::vector<GoldenDocument>& goldenDocuments();

// Every .in text of the corpus, accepted or not, sorted by path.
const std::vector<std::string>& goldenTexts();

// The accepted case of that name; fails the calling test when there is none.
const GoldenDocument& goldenDocument(const std::string& name);

}  // namespace quorix::testing
