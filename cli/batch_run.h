// Batch runs of quorix-parse: JSON Lines in, one result line per input out, in input order, parsed on several
// threads with one parser instance each.
#pragma once

#include <quorix/parser.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/input_reader.h"
#include "cli/result_dump.h"

namespace quorix {

inline constexpr std::int32_t kMaxJobs = 64;

struct BatchOptions {
  bool text = false;  // the golden text format, "== ID" before each input, instead of JSON lines
  DumpOptions dump;
  std::int32_t jobs = 1;                    // threads parsing, each with its own instance
  std::size_t maxBytes = kDefaultMaxBytes;  // a longer line is refused, unread
};

struct BatchStreams {
  std::FILE* out = nullptr;                         // one result per input
  std::FILE* messages = nullptr;                    // what is wrong with an input line or a file
  std::FILE* progress = nullptr;                    // a line rewritten in place now and then; null for none
  std::chrono::milliseconds progressInterval{500};  // at least this long between two progress lines
  StopSignals* stop = nullptr;                      // a run stops after the block in flight when one arrives
};

struct BatchSummary {
  std::int64_t parsed = 0;
  std::int64_t rejected = 0;   // no decoder accepted the text, or it failed
  std::int64_t malformed = 0;  // lines that are no input
  std::int64_t tooLarge = 0;   // lines longer than the limit
  std::array<std::int64_t, kGroupNone> parsedByGroup{};
  bool failed = false;  // a file could not be read, output not written, or instances not made
  int stoppedBy = 0;    // the signal that ended the run early, or 0
};

// Parses every JSON line of each file ("-" for standard input). Each input gives one line (or, with text, one
// golden block) in input order, whatever the number of jobs; a malformed or too long line gives a line naming
// file, line and fault (and the id, when it was read), and a message; so does a file that cannot be read, which
// does not stop the others. Output is flushed after each block, and a block ends early when the input stalls.
// Stops when output cannot be written or a stop signal arrives, after writing the block in flight.
BatchSummary runBatch(const std::vector<std::string>& files, const BatchOptions& options, const BatchStreams& streams);

// "N inputs in S s (R per second): P parsed (aamva A, ...), J rejected, M malformed", then ", T too large" when
// there were such lines.
std::string formatSummary(const BatchSummary& summary, double seconds);
// The summary in at most 79 columns, for a progress line that must not wrap.
std::string formatProgress(const BatchSummary& summary, double seconds);

// 128 + the signal after a stop, else kExitTooLarge after a line too long, else 2 after a malformed line or a
// failure, else 1 when an input was rejected, else 0.
int batchExitStatus(const BatchSummary& summary);

// The tool's batch mode: runBatch to standard output and error, with a progress line when standard error is a
// terminal, then the summary on standard error. Returns the exit status.
int runBatchCommand(const std::vector<std::string>& files, const BatchOptions& options, StopSignals* stop);

}  // namespace quorix
