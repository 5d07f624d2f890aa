// Reading the tool's inputs: whole files or lines, in bulk and bounded in size, handing back what has arrived when
// the input stalls, and noticing SIGINT and SIGTERM while it waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorix {

// Exit status of a run that refused an input larger than its limit (see --max-bytes).
inline constexpr int kExitTooLarge = 3;
inline constexpr std::size_t kDefaultMaxBytes = std::size_t{16} << 20;
inline constexpr std::size_t kLargestMaxBytes = static_cast<std::size_t>(INT32_MAX) - 16;

// SIGINT and SIGTERM, blocked in the process and taken from a descriptor, so that a run stops only between inputs
// and with every line it writes complete.
struct StopSignals {
  int fd = -1;       // a signalfd, or -1 when no signal is watched
  int received = 0;  // the first signal taken, 0 before
};

// Blocks SIGINT and SIGTERM in the calling thread, and in the threads it starts afterwards, and opens the
// descriptor they arrive on. Call it before starting threads. False (nothing changed) when that fails.
bool watchStopSignals(StopSignals& stop);
// Closes the descriptor and unblocks the signals; one that arrived and was not taken is then delivered.
void unwatchStopSignals(StopSignals& stop);
// True when a signal has been taken, now (without waiting) or before. stop may be null.
bool stopRequested(StopSignals* stop);

enum class InputEvent { kData, kTooLong, kStalled, kStopped, kEnd, kError };

struct InputFile {
  int fd = -1;
  bool owned = false;  // closed by closeInput; standard input is not
  StopSignals* stop = nullptr;
  std::string buffer;     // [begin, end) read and not yet handed out
  std::size_t begin = 0;  // start of the next line
  std::size_t scanned = 0;
  std::size_t end = 0;
  std::int64_t line = 0;  // lines handed out, too long ones included
  bool ended = false;
  bool skipping = false;  // inside a line too long to keep, dropped as it arrives
  int error = 0;          // errno of the read that failed
};

// Opens name ("-" is standard input) for reading; 0, or the errno value that says why it cannot be read.
int openInput(const std::string& name, InputFile& file, StopSignals* stop);
void closeInput(InputFile& file);

// The next line without its '\n' (and, on the first line, without a UTF-8 byte-order mark), viewing the file's
// buffer until the next call. kTooLong for a line of more than maxBytes, which is skipped without being kept.
// With mayStall, kStalled when no whole line has arrived within a short wait. kEnd after the last line; kStopped
// when a stop signal came first; kError when reading failed (see error).
InputEvent nextLine(InputFile& file, std::size_t maxBytes, bool mayStall, std::string_view& line);

// The rest of the file (without a leading byte-order mark) as kData, or kTooLong as soon as it exceeds maxBytes,
// kStopped or kError.
InputEvent readWhole(InputFile& file, std::size_t maxBytes, std::string_view& bytes);

}  // namespace quorix
