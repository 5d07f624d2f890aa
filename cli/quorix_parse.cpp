// quorix-parse: parses identity document texts from files or standard input and prints the derived fields, one
// JSON object per line, or the golden text format with --text.
#include <quorix/parser.h>
#include <quorix/status.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch_run.h"
#include "cli/image_input.h"
#include "cli/input_reader.h"
#include "cli/result_dump.h"

namespace {

constexpr int kExitParsed = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: quorix-parse [--json|--text] [--now YYYY-MM-DDTHH:MM:SS] [--slots] [--extras] [--checks]\n"
    "                    [--max-bytes N] FILE...\n"
    "       quorix-parse --jsonl-in [--jobs N] [--json|--text] [--now ...] [--slots] [--max-bytes N] FILE...\n"
    "       quorix-parse --image [--json|--text] [--now ...] [--slots] [--max-bytes N] FILE...\n"
    "       quorix-parse --version\n"
    "Parses each FILE (- for standard input) as the raw text of an identity document and prints its fields.\n"
    "  --json      one JSON object per input, one per line (the default)\n"
    "  --text      the golden text format, a '== FILE' line before each of several inputs\n"
    "  --now       parse as if the local time were TIME, for reproducible dates\n"
    "  --slots     also print every filled slot of the record\n"
    "  --jsonl-in  each FILE holds many inputs, one {\"id\": ..., \"text\": ...} per line, the text a JSON string\n"
    "              with bytes 0x80-0xFF as \\u0080-\\u00FF, other keys ignored; one result per input, in input\n"
    "              order, each named by its id, and a summary on standard error\n"
    "  --jobs N    parse --jsonl-in inputs on N threads (1 to 64, default 1); results and order stay the same\n"
    "  --image     each FILE is a PNG or JPEG picture; the PDF417, Code 128 or QR symbol in it is parsed and named\n"
    "              (status -28 when none can be read)\n"
    "  --max-bytes N  refuse a FILE (with --jsonl-in, a line) longer than N bytes (default 16777216)\n"
    "A file that cannot be read gets a line {\"file\": ..., \"error\": ...} in its place. SIGINT or SIGTERM\n"
    "stops after the inputs in flight, with every line written whole.\n"
    "Exit status: 0 all inputs parsed, 1 some input was not accepted, 2 usage or I/O error or a malformed line,\n"
    "3 an input longer than --max-bytes, 130 or 143 stopped by SIGINT or SIGTERM.\n";

struct Options {
  bool text = false;
  bool version = false;
  bool help = false;
  bool jsonlIn = false;
  bool image = false;
  std::int32_t jobs = 0;  // 0: not given
  std::size_t maxBytes = quorix::kDefaultMaxBytes;
  quorix::DumpOptions dump;
  std::vector<std::string> files;
};

bool complain(const std::string& message) {
  std::fprintf(stderr, "quorix-parse: %s\n", message.c_str());
  return false;
}

// The value of an option given as "--name=value" or "--name value"; nullopt when it has none.
std::optional<std::string_view> optionValue(std::string_view arg, std::string_view name, int argc, char** argv,
                                            int& i) {
  if (arg.size() > name.size()) return arg.substr(name.size() + 1);
  if (i + 1 < argc) return std::string_view(argv[++i]);
  return std::nullopt;
}

// 1 to kMaxJobs written in decimal digits, or 0.
std::int32_t parseJobs(std::string_view text) {
  std::int32_t jobs = 0;
  if (text.empty() || text.size() > 2) return 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    jobs = jobs * 10 + (c - '0');
  }
  return jobs <= quorix::kMaxJobs ? jobs : 0;
}

// 1 to kLargestMaxBytes written in decimal digits, or 0.
std::size_t parseMaxBytes(std::string_view text) {
  std::size_t bytes = 0;
  if (text.empty() || text.size() > 10) return 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    bytes = bytes * 10 + static_cast<std::size_t>(c - '0');
  }
  return bytes <= quorix::kLargestMaxBytes ? bytes : 0;
}

std::optional<Options> parseOptions(int argc, char** argv) {
  Options options;
  bool filesOnly = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (filesOnly || arg == "-" || !arg.starts_with("-")) {
      options.files.emplace_back(arg);
    } else if (arg == "--") {
      filesOnly = true;
    } else if (arg == "--json") {
      options.text = false;
    } else if (arg == "--text") {
      options.text = true;
    } else if (arg == "--slots") {
      options.dump.slots = true;
    } else if (arg == "--extras") {
      options.dump.extras = true;
    } else if (arg == "--checks") {
      options.dump.checks = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--jsonl-in") {
      options.jsonlIn = true;
    } else if (arg == "--image") {
      options.image = true;
    } else if (arg == "--jobs" || arg.starts_with("--jobs=")) {
      const std::optional<std::string_view> value = optionValue(arg, "--jobs", argc, argv, i);
      options.jobs = value ? parseJobs(*value) : 0;
      if (options.jobs == 0) {
        complain("--jobs needs a number from 1 to " + std::to_string(quorix::kMaxJobs) +
                 (value ? ", not '" + std::string(*value) + "'" : std::string()));
        return std::nullopt;
      }
    } else if (arg == "--max-bytes" || arg.starts_with("--max-bytes=")) {
      const std::optional<std::string_view> value = optionValue(arg, "--max-bytes", argc, argv, i);
      options.maxBytes = value ? parseMaxBytes(*value) : 0;
      if (options.maxBytes == 0) {
        complain("--max-bytes needs a number from 1 to " + std::to_string(quorix::kLargestMaxBytes) +
                 (value ? ", not '" + std::string(*value) + "'" : std::string()));
        return std::nullopt;
      }
    } else if (arg == "--now" || arg.starts_with("--now=")) {
      const std::optional<std::string_view> value = optionValue(arg, "--now", argc, argv, i);
      if (!value) {
        complain("--now needs a time, YYYY-MM-DDTHH:MM:SS");
        return std::nullopt;
      }
      options.dump.clock = quorix::parseDateTime(*value);
      if (!options.dump.clock) {
        complain("--now: '" + std::string(*value) + "' is not a valid time YYYY-MM-DDTHH:MM:SS");
        return std::nullopt;
      }
    } else {
      complain("unknown option '" + std::string(arg) + "'");
      return std::nullopt;
    }
  }
  if (options.jobs != 0 && !options.jsonlIn) {
    complain("--jobs applies to --jsonl-in inputs");
    return std::nullopt;
  }
  if (options.image && options.jsonlIn) {
    complain("--image and --jsonl-in exclude each other");
    return std::nullopt;
  }
  if (options.image && !quorix::imageInputBuilt()) {
    complain("--image: this build cannot read images (it was built without zxing-cpp)");
    return std::nullopt;
  }
  if (!options.version && !options.help && options.files.empty()) {
    complain("no input file given");
    return std::nullopt;
  }
  return options;
}

bool write(std::string_view text) { return std::fwrite(text.data(), 1, text.size(), stdout) == text.size(); }

// Finds the barcode in one image, parses and prints it; returns its exit status.
int parseImageOne(quorix::ParserInstance& instance, const Options& options, const std::string& name,
                  std::string_view bytes, bool heading) {
  quorix::Status status = quorix::kStatusOk;
  std::string result;
  if (!quorix::parseImageInput(instance, bytes, name, options.text, options.dump, result, status)) {
    complain(name + ": " + result);
    return kExitUsage;
  }
  if (!write(options.text && heading ? "== " + name + "\n" + result : result)) {
    complain("cannot write to standard output");
    return kExitUsage;
  }
  return status == quorix::kStatusOk ? kExitParsed : kExitRejected;
}

// What stands in the output for an input that cannot be parsed at all, and its exit status.
int refuse(const Options& options, const std::string& name, bool heading, const std::string& error, int exitStatus) {
  complain(name + ": " + error);
  std::string out;
  if (options.text) {
    if (heading) out = "== " + name + "\n";
    out += "error=" + error + "\n";
  } else {
    out = "{\"file\": " + quorix::jsonString(name) + ", \"error\": " + quorix::jsonString(error) + "}\n";
  }
  if (!write(out)) complain("cannot write to standard output");
  return exitStatus;
}

// Parses and prints one input; returns its exit status, or 128 + the signal that stopped the run.
int parseOne(quorix::ParserInstance& instance, const Options& options, const std::string& name, bool heading,
             quorix::StopSignals* stop) {
  quorix::InputFile file;
  if (const int error = quorix::openInput(name, file, stop); error != 0) {
    return refuse(options, name, heading, std::strerror(error), kExitUsage);
  }
  std::string_view bytes;
  const quorix::InputEvent event = quorix::readWhole(file, options.maxBytes, bytes);
  quorix::closeInput(file);
  if (event == quorix::InputEvent::kStopped) return 128 + stop->received;
  if (event == quorix::InputEvent::kError) return refuse(options, name, heading, std::strerror(file.error), kExitUsage);
  if (event == quorix::InputEvent::kTooLong) {
    return refuse(options, name, heading,
                  "the input is longer than " + std::to_string(options.maxBytes) + " bytes (see --max-bytes)",
                  quorix::kExitTooLarge);
  }
  if (options.image) return parseImageOne(instance, options, name, bytes, heading);
  const auto length = static_cast<std::int32_t>(bytes.size());
  const quorix::Status status = options.dump.clock
                                    ? quorix::parseBufferAt(&instance, bytes.data(), length, *options.dump.clock)
                                    : quorix::parseBuffer(&instance, bytes.data(), length);
  std::string out;
  if (options.text) {
    if (heading) out = "== " + name + "\n";
    out += quorix::dumpText(instance, status, options.dump);
  } else {
    out = quorix::dumpJson(instance, name, status, options.dump) + "\n";
  }
  if (!write(out)) {
    complain("cannot write to standard output");
    return kExitUsage;
  }
  return status == quorix::kStatusOk ? kExitParsed : kExitRejected;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parseOptions(argc, argv);
  if (!options) {
    std::fputs(kUsage.data(), stderr);
    return kExitUsage;
  }
  if (options->help) return write(kUsage) ? kExitParsed : kExitUsage;
  if (options->version) return write(std::string(quorix::kVersionText) + "\n") ? kExitParsed : kExitUsage;
  quorix::StopSignals stop;
  const bool watched = quorix::watchStopSignals(stop);  // without it, a signal ends the run as it always could
  quorix::StopSignals* const stopSignals = watched ? &stop : nullptr;
  if (options->jsonlIn) {
    return quorix::runBatchCommand(options->files,
                                   {.text = options->text,
                                    .dump = options->dump,
                                    .jobs = std::max(options->jobs, std::int32_t{1}),
                                    .maxBytes = options->maxBytes},
                                   stopSignals);
  }

  quorix::ParserInstance* instance = quorix::createInstance();
  if (instance == nullptr) {
    complain("cannot allocate a parser instance");
    return kExitUsage;
  }
  int exitStatus = kExitParsed;
  for (const std::string& name : options->files) {
    const int result = parseOne(*instance, *options, name, options->files.size() > 1, stopSignals);
    if (result > exitStatus) exitStatus = result;
    if (quorix::stopRequested(stopSignals)) {
      exitStatus = 128 + stop.received;
      break;
    }
  }
  quorix::destroyInstance(instance);
  if (std::fflush(stdout) != 0) {
    complain("cannot write to standard output");
    return kExitUsage;
  }
  return exitStatus;
}
