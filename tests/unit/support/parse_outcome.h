// Test support: an owned instance, and a parse followed by the 40 derivations, run the way the binding runs them, as
// one comparable text.
#pragma once

#include <quorix/status.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/instance.h"

namespace quorix::testing {

// The moment every outcome is parsed at, so that results do not depend on the day the tests run.
inline constexpr DateTime kOutcomeNow{.year = 2024, .month = 6, .day = 15, .hour = 12, .minute = 0, .second = 0};

// An instance destroyed with its owner.
struct InstanceDeleter {
  void operator()(ParserInstance* instance) const { destroyInstance(instance); }
};
using Instance = std::unique_ptr<ParserInstance, InstanceDeleter>;

struct ParseOutcome {
  Status status = kStatusOk;
  // "decoder=N" and then one "name=value" line per derived field in derivation order; empty when status != 0.
  std::string fields;
};

// Parses text with the instance, then derives every result field into the instance's text buffer. Adds a test
// failure for a status other than 0 or the no-decoder status (or the empty-input status for an empty text), and
// for any derived text that is not NUL-terminated inside the buffer or holds a byte outside printable ASCII.
ParseOutcome parseAndDerive(ParserInstance& instance, std::string_view text);

}  // namespace quorix::testing
