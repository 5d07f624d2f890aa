// What the decoder families share about hook tables and variant rows: the rule that an empty hook succeeds, the row
// of a variant table found by its registry id when compiling, and a default hook replaced by a variant's own.
#pragma once

#include <quorix/status.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace quorix {

// An empty hook is skipped and counts as success.
template <typename Hook, typename... Args>
[[nodiscard]] Status callHook(Hook hook, Args&&... args) {
  return hook != nullptr ? hook(std::forward<Args>(args)...) : kStatusOk;
}

// Not constexpr: a variant row asked for an id its table does not list fails to compile.
inline void variantIdIsListedInItsTable() {}

// The index of the row whose id is id. Callers hold it in a constexpr variable, so that an unknown id does not
// compile and an unoptimised build does not search at run time.
template <typename Row, std::size_t N>
constexpr std::size_t variantRow(const Row (&rows)[N], std::int32_t id) {
  for (std::size_t row = 0; row < N; ++row)
    if (rows[row].id == id) return row;
  variantIdIsListedInItsTable();
  return 0;
}

// A variant's hook in place of the default; an empty one keeps the default. Called from plain functions, never from
// a template on the row: there gcc sees a known function and rejects the null check.
template <typename Hook>
constexpr void overrideHook(Hook& hook, Hook replacement) {
  if (replacement != nullptr) hook = replacement;
}

}  // namespace quorix
