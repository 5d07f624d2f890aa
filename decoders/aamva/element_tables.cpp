// The five AAMVA element vocabularies and the scanner that stores a subfile's elements through them.
#include "decoders/aamva/element_tables.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "core/text_utils.h"
#include "decoders/aamva/aamva_pipeline.h"
#include "decoders/aamva/element_rows.h"

namespace quorix {
namespace {

constexpr bool allSlotsInRange(const auto& rows) {
  for (const ElementEntry& row : rows) {
    if (row.slot < 0 || row.slot >= kSlotCount) return false;
  }
  return true;
}

static_assert(std::size(kElementRows2000) == 51 && allSlotsInRange(kElementRows2000));
static_assert(std::size(kElementRows2003) == 36 && allSlotsInRange(kElementRows2003));
static_assert(std::size(kElementRows2009) == 82 && allSlotsInRange(kElementRows2009));
static_assert(std::size(kElementRows2011) == 50 && allSlotsInRange(kElementRows2011));
static_assert(std::size(kElementRows2014) == 50 && allSlotsInRange(kElementRows2014));

// Each table again, ordered by id (rows of one id keep their table order), so that an element's rows stand
// together and the scanner need not walk the whole table for every element.
template <std::size_t N>
constexpr std::array<ElementEntry, N> sortedById(const ElementEntry (&rows)[N]) {
  std::array<ElementEntry, N> sorted{};
  for (std::size_t i = 0; i < N; ++i) sorted[i] = rows[i];
  for (std::size_t i = 1; i < N; ++i) {  // insertion sort: stable, and the tables are short
    const ElementEntry row = sorted[i];
    std::size_t j = i;
    for (; j > 0 && sorted[j - 1].id > row.id; --j) sorted[j] = sorted[j - 1];
    sorted[j] = row;
  }
  return sorted;
}

template <std::size_t N>
constexpr bool isSortedCopyOf(const std::array<ElementEntry, N>& sorted, const ElementEntry (&rows)[N]) {
  for (std::size_t i = 1; i < N; ++i) {
    if (sorted[i - 1].id > sorted[i].id) return false;
  }
  for (const ElementEntry& row : rows) {  // same rows, same count of each
    std::size_t inTable = 0;
    std::size_t inSorted = 0;
    for (const ElementEntry& other : rows) inTable += other.id == row.id && other.slot == row.slot ? 1 : 0;
    for (const ElementEntry& other : sorted) inSorted += other.id == row.id && other.slot == row.slot ? 1 : 0;
    if (inTable != inSorted) return false;
  }
  return true;
}

// Every id in the tables starts with "D" or "P": the second and third letters and that first one choose a cell,
// which holds the first sorted row of the id (kNoRow when none), so an element finds its rows in one step.
constexpr std::int32_t kIndexCells = 2 * 26 * 26;
constexpr std::uint8_t kNoRow = 0xff;

constexpr std::int32_t indexCell(std::int32_t id) {
  const std::int32_t first = (id >> 16) & 0xff;
  const std::int32_t second = ((id >> 8) & 0xff) - 'A';
  const std::int32_t third = (id & 0xff) - 'A';
  if ((first != 'D' && first != 'P') || second < 0 || second >= 26 || third < 0 || third >= 26) return -1;
  return (first == 'D' ? 0 : 26 * 26) + second * 26 + third;
}

template <std::size_t N>
constexpr std::array<std::uint8_t, kIndexCells> indexById(const std::array<ElementEntry, N>& sorted) {
  std::array<std::uint8_t, kIndexCells> index{};
  for (std::uint8_t& cell : index) cell = kNoRow;
  for (std::size_t row = N; row-- > 0;)
    index[static_cast<std::size_t>(indexCell(sorted[row].id))] = static_cast<std::uint8_t>(row);
  return index;
}

template <std::size_t N>
constexpr bool everyIdIndexed(const std::array<ElementEntry, N>& sorted) {
  if (N >= kNoRow) return false;
  for (const ElementEntry& row : sorted)
    if (indexCell(row.id) < 0) return false;
  return true;
}

constexpr auto kSorted2000 = sortedById(kElementRows2000);
constexpr auto kSorted2003 = sortedById(kElementRows2003);
constexpr auto kSorted2009 = sortedById(kElementRows2009);
constexpr auto kSorted2011 = sortedById(kElementRows2011);
constexpr auto kSorted2014 = sortedById(kElementRows2014);
static_assert(isSortedCopyOf(kSorted2000, kElementRows2000) && isSortedCopyOf(kSorted2003, kElementRows2003) &&
              isSortedCopyOf(kSorted2009, kElementRows2009) && isSortedCopyOf(kSorted2011, kElementRows2011) &&
              isSortedCopyOf(kSorted2014, kElementRows2014));
static_assert(everyIdIndexed(kSorted2000) && everyIdIndexed(kSorted2003) && everyIdIndexed(kSorted2009) &&
              everyIdIndexed(kSorted2011) && everyIdIndexed(kSorted2014));
constexpr auto kIndex2000 = indexById(kSorted2000);
constexpr auto kIndex2003 = indexById(kSorted2003);
constexpr auto kIndex2009 = indexById(kSorted2009);
constexpr auto kIndex2011 = indexById(kSorted2011);
constexpr auto kIndex2014 = indexById(kSorted2014);

struct RowsById {
  const ElementEntry* rows = nullptr;
  std::int32_t count = 0;
  const std::uint8_t* firstRow = nullptr;  // the element index of the sorted rows, see indexById
};

template <std::size_t N>
bool sameTable(const ElementEntry* rows, std::int32_t count, const ElementEntry (&table)[N]) {
  return rows == table && count == static_cast<std::int32_t>(N);
}

// The sorted copy of one of the five tables; none for any other rows (they are walked in full).
RowsById sortedRowsOf(const ElementEntry* rows, std::int32_t count) {
  if (sameTable(rows, count, kElementRows2000))
    return {kSorted2000.data(), static_cast<std::int32_t>(kSorted2000.size()), kIndex2000.data()};
  if (sameTable(rows, count, kElementRows2003))
    return {kSorted2003.data(), static_cast<std::int32_t>(kSorted2003.size()), kIndex2003.data()};
  if (sameTable(rows, count, kElementRows2009))
    return {kSorted2009.data(), static_cast<std::int32_t>(kSorted2009.size()), kIndex2009.data()};
  if (sameTable(rows, count, kElementRows2011))
    return {kSorted2011.data(), static_cast<std::int32_t>(kSorted2011.size()), kIndex2011.data()};
  if (sameTable(rows, count, kElementRows2014))
    return {kSorted2014.data(), static_cast<std::int32_t>(kSorted2014.size()), kIndex2014.data()};
  return {};
}

constexpr std::int32_t packedId(TextSpan element) {
  const auto byte = [&](std::int32_t i) {
    return static_cast<std::int32_t>(static_cast<unsigned char>(element.data[i]));
  };
  return (byte(0) << 16) | (byte(1) << 8) | byte(2);
}

// The next terminator from a place on, found by memchr for each terminator byte and looked for again only once the
// scan has passed it: the values between separators, nearly all of a subfile, are not tested byte by byte. A set of
// more distinct bytes than it keeps (no header gives one) leaves it unusable.
class TerminatorFinder {
 public:
  TerminatorFinder(const char* terminators, const char* end) : end_(end) {
    for (; terminators != nullptr && *terminators != '\0'; ++terminators) {
      if (std::find(bytes_, bytes_ + count_, *terminators) != bytes_ + count_) continue;
      if (count_ == kMaxBytes) {
        count_ = -1;
        return;
      }
      bytes_[count_++] = *terminators;
    }
  }
  [[nodiscard]] bool usable() const { return count_ >= 0; }
  // The first terminator at or after at (which is below end), or end when none is left.
  const char* firstFrom(const char* at) {
    const char* first = end_;
    for (std::int32_t i = 0; i < count_; ++i) {
      if (next_[i] == nullptr || next_[i] < at) {
        const void* found = std::memchr(at, bytes_[i], static_cast<std::size_t>(end_ - at));
        next_[i] = found != nullptr ? static_cast<const char*>(found) : end_;
      }
      first = std::min(first, next_[i]);
    }
    return first;
  }

 private:
  static constexpr std::int32_t kMaxBytes = 4;
  const char* end_;
  char bytes_[kMaxBytes] = {};
  const char* next_[kMaxBytes] = {};
  std::int32_t count_ = 0;
};

}  // namespace

// Only ever called while a table is being compiled, where any call is an error; at run time it is never reached.
void elementIdsAreThreeCapitalLetters() {}

constinit const ElementTable ElementTable2000{static_cast<std::int32_t>(std::ssize(kElementRows2000)), kElementRows2000};
constinit const ElementTable ElementTable2003{static_cast<std::int32_t>(std::ssize(kElementRows2003)), kElementRows2003};
constinit const ElementTable ElementTable2009{static_cast<std::int32_t>(std::ssize(kElementRows2009)), kElementRows2009};
constinit const ElementTable ElementTable2011{static_cast<std::int32_t>(std::ssize(kElementRows2011)), kElementRows2011};
constinit const ElementTable ElementTable2014{static_cast<std::int32_t>(std::ssize(kElementRows2014)), kElementRows2014};

Status scanElements(AamvaPipeline& pipeline, TextSpan data, const char* terminators, const ElementEntry* rows,
                    std::int32_t rowCount) {
  if (data.data == nullptr || data.length < 4) return kAamvaShortSubfile;
  const CharSet stop(terminators);  // built once per subfile: the scanner tests every byte against it
  const RowsById sorted = rows != nullptr ? sortedRowsOf(rows, rowCount) : RowsById{};
  const char* at = data.data;
  const char* const end = data.data + data.length;
  TerminatorFinder ahead(terminators, end);
  const bool plainStore = pipeline.storeElement == storeElement && pipeline.record != nullptr;
  while (at < end) {
    // An element runs from the first byte that is no terminator to the next terminator, which goes with it.
    while (at < end && stop.has(*at)) ++at;
    const char* const start = at;
    if (ahead.usable()) {
      at = ahead.firstFrom(at);
    } else {
      while (at < end && !stop.has(*at)) ++at;
    }
    const TextSpan element{start, static_cast<std::int32_t>(at - start)};
    if (at < end) ++at;
    if (element.length > 2 && rows != nullptr) {
      const std::int32_t id = packedId(element);
      const TextSpan value{element.data + 3, element.length - 3};
      // Every matching row stores: the 2009 table gives the height element two slots.
      if (sorted.rows != nullptr) {
        const std::int32_t cell = indexCell(id);
        std::int32_t row = cell < 0 ? sorted.count : sorted.firstRow[cell];
        for (; row < sorted.count && sorted.rows[row].id == id; ++row) {
          if (plainStore)
            storeTrimmedValue(*pipeline.record, sorted.rows[row].slot, value);
          else
            (void)callHook(pipeline.storeElement, pipeline, sorted.rows[row].slot, value);
        }
      } else {
        for (std::int32_t i = 0; i < rowCount; ++i) {
          if (rows[i].id == id) (void)callHook(pipeline.storeElement, pipeline, rows[i].slot, value);
        }
      }
    }
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
