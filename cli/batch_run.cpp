// Batch runs: inputs are read a block at a time, the block is parsed by the jobs, each claiming a few inputs at a
// time with its own instance, and the results are written in input order before the next block is read.
#include "cli/batch_run.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>

#include "cli/jsonl_input.h"

namespace quorix {
namespace {

constexpr std::string_view kGroupNames[] = {"aamva", "magstripe", "card_record", "cac", "national_id"};
static_assert(std::size(kGroupNames) == kGroupNone);

// Large enough that starting the jobs costs little against a block, small enough to keep memory flat.
constexpr std::size_t kInputsPerJobAndBlock = 512;
// Claiming a few inputs at once keeps the jobs off each other's cache line without unbalancing the block's end.
constexpr std::size_t kInputsPerClaim = 16;
constexpr std::size_t kLargestText = static_cast<std::size_t>(INT32_MAX) - 16;

struct BatchItem {
  std::int64_t line = 0;
  JsonlInput input;
  std::string error;  // set for a malformed line
  bool tooLarge = false;
  std::string output;
  Status status = kStatusOk;
  std::int32_t group = kGroupNone;
};

struct Block {
  std::vector<BatchItem> items;
  std::size_t count = 0;  // items in use; the rest keep their buffers for later blocks
  std::string_view file;
  const BatchOptions* options = nullptr;
  std::atomic<std::size_t> next{0};
};

std::string malformedOutput(const Block& block, const BatchItem& item) {
  if (block.options->text) {
    return "== " + std::string(block.file) + ":" + std::to_string(item.line) + "\nmalformed=" + item.error + "\n";
  }
  const std::string id = item.input.id.empty() ? std::string() : "\"id\": " + item.input.id + ", ";
  return "{" + id + "\"file\": " + jsonString(block.file) + ", \"line\": " + std::to_string(item.line) +
         ", \"error\": " + jsonString(item.error) + "}\n";
}

// What stands in the output for a file that cannot be read.
std::string fileErrorOutput(const BatchOptions& options, std::string_view file, int error) {
  if (options.text) return "== " + std::string(file) + "\nerror=" + std::strerror(error) + "\n";
  return "{\"file\": " + jsonString(file) + ", \"error\": " + jsonString(std::strerror(error)) + "}\n";
}

// Parses one input with the job's instance and renders its result, exactly as a run over that input alone would.
void parseItem(ParserInstance& instance, const Block& block, BatchItem& item) {
  if (!item.error.empty()) {
    item.output = malformedOutput(block, item);
    return;
  }
  const BatchOptions& options = *block.options;
  const auto length = static_cast<std::int32_t>(item.input.text.size());
  item.status = options.dump.clock ? parseBufferAt(&instance, item.input.text.data(), length, *options.dump.clock)
                                   : parseBuffer(&instance, item.input.text.data(), length);
  item.group = item.status == kStatusOk ? recordGroup(parsedRecord(instance)) : kGroupNone;
  // The item's buffer keeps its capacity from block to block, so a warm run writes without allocating.
  std::string& out = item.output;
  out.clear();
  if (options.text) {
    out += "== ";
    out += item.input.id;
    out += '\n';
    appendDumpText(out, instance, item.status, options.dump);
  } else {
    out += "{\"id\": ";
    out += item.input.id;
    out += ", ";
    appendJsonMembers(out, instance, item.status, options.dump);
    out += "}\n";
  }
}

// One job: claims inputs until the block is done. The block outlives every job, which the caller joins.
void runJob(ParserInstance* instance, Block* block) {
  while (true) {
    const std::size_t start = block->next.fetch_add(kInputsPerClaim, std::memory_order_relaxed);
    if (start >= block->count) return;
    const std::size_t end = std::min(start + kInputsPerClaim, block->count);
    for (std::size_t i = start; i < end; ++i) parseItem(*instance, *block, block->items[i]);
  }
}

void parseBlock(Block& block, const std::vector<ParserInstance*>& instances) {
  block.next.store(0, std::memory_order_relaxed);
  std::vector<std::thread> helpers;
  const std::size_t wanted = std::min(instances.size(), (block.count + kInputsPerClaim - 1) / kInputsPerClaim);
  for (std::size_t job = 1; job < wanted; ++job) {
    try {
      helpers.emplace_back(runJob, instances[job], &block);
    } catch (const std::system_error&) {
      break;  // fewer threads only make the block slower; this thread still parses all that is left
    }
  }
  runJob(instances[0], &block);
  for (std::thread& helper : helpers) helper.join();
}

// Fills the block with up to limit inputs, fewer when the input stalls after the first. kData when the block is
// full, else what ended it.
InputEvent readBlock(InputFile& source, Block& block, std::size_t limit) {
  block.count = 0;
  const std::size_t maxBytes = block.options->maxBytes;
  while (block.count < limit) {
    std::string_view line;
    const InputEvent event = nextLine(source, maxBytes, block.count > 0, line);
    if (event != InputEvent::kData && event != InputEvent::kTooLong) return event;
    if (event == InputEvent::kData && isBlankLine(line)) continue;
    if (block.items.size() <= block.count) block.items.emplace_back();
    BatchItem& item = block.items[block.count++];
    item.line = source.line;
    item.error.clear();
    item.tooLarge = event == InputEvent::kTooLong;
    item.status = kStatusOk;
    item.group = kGroupNone;
    if (item.tooLarge) {
      item.input.id.clear();
      item.error = "the line is longer than " + std::to_string(maxBytes) + " bytes (see --max-bytes)";
    } else if (parseJsonlLine(line, item.input, item.error) && item.input.text.size() > kLargestText) {
      item.error = "the text is too large to parse";
    }
  }
  return InputEvent::kData;
}

bool writeAll(std::FILE* out, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

struct Progress {
  std::FILE* stream = nullptr;
  std::chrono::milliseconds interval;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point shown = start;
  bool written = false;

  void show(const BatchSummary& summary) {
    if (stream == nullptr) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - shown < interval) return;
    shown = now;
    written = true;
    const double seconds = std::chrono::duration<double>(now - start).count();
    std::fprintf(stream, "\r%s", formatProgress(summary, seconds).c_str());
    std::fflush(stream);
  }
  // Erases the line, so that a message or the summary starts on a clean one.
  void clear() {
    if (written) std::fputs("\r\x1b[K", stream);
    written = false;
  }
};

// Writes a block's results in order and counts them; false when the output cannot be written.
bool writeBlock(const Block& block, const BatchStreams& streams, BatchSummary& summary, Progress& progress) {
  for (std::size_t i = 0; i < block.count; ++i) {
    const BatchItem& item = block.items[i];
    if (!writeAll(streams.out, item.output)) return false;
    if (!item.error.empty()) {
      ++(item.tooLarge ? summary.tooLarge : summary.malformed);
      progress.clear();
      std::fprintf(streams.messages, "quorix-parse: %.*s:%lld: %s\n", static_cast<int>(block.file.size()),
                   block.file.data(), static_cast<long long>(item.line), item.error.c_str());
    } else if (item.status != kStatusOk) {
      ++summary.rejected;
    } else {
      ++summary.parsed;
      if (item.group >= 0 && item.group < kGroupNone) ++summary.parsedByGroup[static_cast<std::size_t>(item.group)];
    }
  }
  return true;
}

// Names a file that cannot be read, in the output where its results would be and on the messages stream.
bool reportFileError(const std::string& name, int error, const BatchOptions& options, const BatchStreams& streams,
                     BatchSummary& summary, Progress& progress) {
  progress.clear();
  std::fprintf(streams.messages, "quorix-parse: %s: %s\n", name.c_str(), std::strerror(error));
  summary.failed = true;
  return writeAll(streams.out, fileErrorOutput(options, name, error));
}

// One file's inputs, block by block; false when the run must stop.
bool runFile(const std::string& name, Block& block, const std::vector<ParserInstance*>& instances,
             const BatchStreams& streams, BatchSummary& summary, Progress& progress) {
  InputFile source;
  bool writable = true;
  if (const int error = openInput(name, source, streams.stop); error != 0) {
    writable = reportFileError(name, error, *block.options, streams, summary, progress);
  } else {
    block.file = name;
    InputEvent end = InputEvent::kData;
    while (writable && end != InputEvent::kEnd && end != InputEvent::kError && end != InputEvent::kStopped) {
      end = readBlock(source, block, kInputsPerJobAndBlock * instances.size());
      parseBlock(block, instances);
      writable = writeBlock(block, streams, summary, progress) && std::fflush(streams.out) == 0;
      progress.show(summary);
      if (stopRequested(streams.stop)) end = InputEvent::kStopped;
    }
    if (writable && end == InputEvent::kError) {
      writable = reportFileError(name, source.error, *block.options, streams, summary, progress);
    }
    closeInput(source);
  }
  if (!writable) {
    progress.clear();
    std::fputs("quorix-parse: cannot write to standard output\n", streams.messages);
    summary.failed = true;
  }
  if (stopRequested(streams.stop)) summary.stoppedBy = streams.stop->received;
  return writable && summary.stoppedBy == 0;
}

}  // namespace

BatchSummary runBatch(const std::vector<std::string>& files, const BatchOptions& options, const BatchStreams& streams) {
  BatchSummary summary;
  std::vector<ParserInstance*> instances;
  for (std::int32_t job = 0; job < std::clamp(options.jobs, 1, kMaxJobs); ++job) {
    ParserInstance* instance = createInstance();
    if (instance == nullptr) break;
    instances.push_back(instance);
  }
  if (static_cast<std::int32_t>(instances.size()) < std::clamp(options.jobs, 1, kMaxJobs)) {
    std::fputs("quorix-parse: cannot allocate a parser instance for each job\n", streams.messages);
    summary.failed = true;
  } else {
    Block block;
    block.options = &options;
    Progress progress{.stream = streams.progress, .interval = streams.progressInterval};
    for (const std::string& name : files) {
      if (!runFile(name, block, instances, streams, summary, progress)) break;
    }
    progress.clear();
  }
  for (ParserInstance* instance : instances) destroyInstance(instance);
  return summary;
}

std::string formatSummary(const BatchSummary& summary, double seconds) {
  const std::int64_t inputs = summary.parsed + summary.rejected + summary.malformed + summary.tooLarge;
  char timing[96];
  std::snprintf(timing, sizeof timing, " in %.2f s (%.0f per second)", seconds,
                seconds > 0 ? static_cast<double>(inputs) / seconds : 0.0);
  std::string out = std::to_string(inputs) + " inputs" + timing + ": " + std::to_string(summary.parsed) + " parsed (";
  for (std::size_t group = 0; group < std::size(kGroupNames); ++group) {
    if (group > 0) out += ", ";
    out += std::string(kGroupNames[group]) + " " + std::to_string(summary.parsedByGroup[group]);
  }
  out += "), " + std::to_string(summary.rejected) + " rejected, " + std::to_string(summary.malformed) + " malformed";
  if (summary.tooLarge > 0) out += ", " + std::to_string(summary.tooLarge) + " too large";
  return out;
}

std::string formatProgress(const BatchSummary& summary, double seconds) {
  const std::int64_t inputs = summary.parsed + summary.rejected + summary.malformed + summary.tooLarge;
  char line[256];
  std::snprintf(line, sizeof line, "quorix-parse: %lld in %.0f s (%.0f/s): %lld parsed, %lld rejected, %lld bad",
                static_cast<long long>(inputs), seconds, seconds > 0 ? static_cast<double>(inputs) / seconds : 0.0,
                static_cast<long long>(summary.parsed), static_cast<long long>(summary.rejected),
                static_cast<long long>(summary.malformed + summary.tooLarge));
  return std::string(line).substr(0, 79);
}

int batchExitStatus(const BatchSummary& summary) {
  if (summary.stoppedBy != 0) return 128 + summary.stoppedBy;
  if (summary.tooLarge > 0) return kExitTooLarge;
  if (summary.failed || summary.malformed > 0) return 2;
  return summary.rejected > 0 ? 1 : 0;
}

int runBatchCommand(const std::vector<std::string>& files, const BatchOptions& options, StopSignals* stop) {
  const auto start = std::chrono::steady_clock::now();
  const BatchStreams streams{
      .out = stdout, .messages = stderr, .progress = ::isatty(STDERR_FILENO) ? stderr : nullptr, .stop = stop};
  BatchSummary summary = runBatch(files, options, streams);
  if (std::fflush(stdout) != 0 && !summary.failed) {
    std::fputs("quorix-parse: cannot write to standard output\n", stderr);
    summary.failed = true;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (summary.stoppedBy != 0) {
    std::fprintf(stderr, "quorix-parse: stopped by %s after the inputs in flight\n",
                 summary.stoppedBy == SIGINT ? "SIGINT" : "SIGTERM");
  }
  std::fprintf(stderr, "quorix-parse: %s\n", formatSummary(summary, seconds).c_str());
  return batchExitStatus(summary);
}

}  // namespace quorix
