// The AAMVA data element vocabularies: which slot each element id lands in, one table per family of editions, and
// the scanner that cuts a subfile into elements and stores the ones its table knows.
#pragma once

#include <quorix/status.h>

#include <cstdint>
#include <type_traits>

#include "core/field_record.h"

namespace quorix {

struct AamvaPipeline;

// An element id packs its three characters into the low bytes, the first one most significant.
struct ElementEntry {
  std::int32_t id = 0;
  std::int32_t slot = 0;
};

struct ElementTable {
  std::int32_t count = 0;
  const ElementEntry* rows = nullptr;
};

void elementIdsAreThreeCapitalLetters();  // not constexpr: reaching it is a compile error
constexpr std::int32_t elementId(const char (&id)[4]) {
  for (int i = 0; i < 3; ++i) {
    if (std::is_constant_evaluated() && (id[i] < 'A' || id[i] > 'Z')) elementIdsAreThreeCapitalLetters();
  }
  return (id[0] << 16) | (id[1] << 8) | id[2];
}

// Named by the oldest edition that uses them.
extern const ElementTable ElementTable2000;
extern const ElementTable ElementTable2003;
extern const ElementTable ElementTable2009;
extern const ElementTable ElementTable2011;
extern const ElementTable ElementTable2014;

// Cuts data into elements ended by any character of terminators (NUL-terminated) and hands every element whose id
// matches a row to the pipeline's storeElement, once per matching row. -10 when data holds fewer than 4 characters.
[[nodiscard]] Status scanElements(AamvaPipeline& pipeline, TextSpan data, const char* terminators,
                                  const ElementEntry* rows, std::int32_t rowCount);

// Which header separators end an element.
enum class ElementTerminators { kSeparatorAndSegmentEnd, kSeparatorOnly };

// What every variant's parseElements does: -21 for data without a pointer, else the status of the pipeline's
// scanElements over table, with the terminator set built from the separators the header gave.
[[nodiscard]] Status parseElementsWithTable(AamvaPipeline& pipeline, TextSpan data, const ElementTable& table,
                                            ElementTerminators terminators);

}  // namespace quorix
