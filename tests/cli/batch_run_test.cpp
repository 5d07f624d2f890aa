// Batch runs over the golden corpus: whatever the number of jobs, each input's line must be what a fresh instance
// gives for that input alone, in input order, with malformed lines in their place.
#include "cli/batch_run.h"

#include <gtest/gtest.h>
#include <quorix/parser.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/result_dump.h"
#include "unit/support/golden_corpus.h"
#include "unit/support/parse_outcome.h"

namespace quorix {
namespace {

using testing::Instance;

constexpr DateTime kNow{.year = 2030, .month = 1, .day = 15, .hour = 10, .minute = 0, .second = 0};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Every byte as \u00XX, the way a writer that knows nothing of the text would put it.
std::string jsonlLine(std::size_t id, std::string_view text) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string line = "{\"id\": " + std::to_string(id) + ", \"text\": \"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    line += "\\u00";
    line += kHex[byte >> 4];
    line += kHex[byte & 15];
  }
  return line + "\"}";
}

// What a run over this input alone prints, named by its id.
std::string aloneLine(std::size_t id, const std::string& text, const DumpOptions& dump) {
  Instance instance(createInstance());
  const Status status = parseBufferAt(instance.get(), text.data(), static_cast<std::int32_t>(text.size()), kNow);
  return "{\"id\": " + std::to_string(id) + ", " + dumpJsonMembers(*instance, status, dump) + "}";
}

std::string readAll(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

std::vector<std::string> readLines(std::FILE* file) {
  std::vector<std::string> lines;
  std::istringstream in(readAll(file));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct RunResult {
  std::vector<std::string> out;
  std::vector<std::string> messages;
  BatchSummary summary;
};

RunResult run(const std::vector<std::string>& files, const BatchOptions& options) {
  const File out(std::tmpfile());
  const File messages(std::tmpfile());
  RunResult result;
  result.summary = runBatch(files, options, {.out = out.get(), .messages = messages.get(), .progress = nullptr});
  result.out = readLines(out.get());
  result.messages = readLines(messages.get());
  return result;
}

std::string writeFile(const std::string& name, const std::vector<std::string>& lines) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream file(path, std::ios::binary);
  for (const std::string& line : lines) file << line << '\n';
  return path;
}

TEST(RunBatch, AnyNumberOfJobsGivesEachInputsOwnResultInOrder) {
  // Enough copies of the corpus for several blocks, each input with a different neighbour each time round, so
  // that a result leaking from one parse into the next on the same instance shows.
  const std::vector<std::string>& corpus = testing::goldenTexts();
  ASSERT_GT(corpus.size(), 20u);
  std::vector<std::string> texts;
  for (std::size_t round = 0; round < 30; ++round) {
    for (std::size_t i = 0; i < corpus.size(); ++i) texts.push_back(corpus[(i * (round + 1)) % corpus.size()]);
  }
  std::vector<std::string> lines;
  std::vector<std::string> expected;
  const DumpOptions dump{.slots = true, .clock = kNow};
  for (std::size_t id = 0; id < texts.size(); ++id) {
    lines.push_back(jsonlLine(id, texts[id]));
    expected.push_back(aloneLine(id, texts[id], dump));
  }
  const std::string path = writeFile("batch_corpus.jsonl", lines);
  std::int64_t parsed = -1;
  for (const std::int32_t jobs : {1, 3}) {
    SCOPED_TRACE(jobs);
    const RunResult result = run({path}, {.text = false, .dump = dump, .jobs = jobs});
    ASSERT_EQ(result.out.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(result.out[i], expected[i]) << "input " << i;
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(result.summary.parsed + result.summary.rejected, static_cast<std::int64_t>(texts.size()));
    EXPECT_GT(result.summary.rejected, 0);  // the corpus holds rejected inputs
    if (parsed >= 0) {
      EXPECT_EQ(result.summary.parsed, parsed);
    }
    parsed = result.summary.parsed;
    std::int64_t byGroup = 0;
    for (const std::int64_t count : result.summary.parsedByGroup) byGroup += count;
    EXPECT_EQ(byGroup, result.summary.parsed);
    EXPECT_EQ(batchExitStatus(result.summary), 1);
  }
}

TEST(RunBatch, MalformedLinesKeepTheirPlaceAndAreNamed) {
  const std::string accepted = testing::goldenDocuments().front().text;
  const std::vector<std::string> lines = {
      jsonlLine(1, "no decoder reads this sentence"),
      "",  // blank lines are no inputs but still count as lines
      R"({"id": 2, "text": "\u0100"})",
      jsonlLine(3, accepted),
      R"({"id": 4, "text": "unclosed)",
  };
  const std::string path = writeFile("batch_malformed.jsonl", lines);
  for (const std::int32_t jobs : {1, 4}) {
    SCOPED_TRACE(jobs);
    const RunResult result = run({path, path}, {.text = false, .dump = {.slots = false, .clock = kNow}, .jobs = jobs});
    ASSERT_EQ(result.out.size(), 8u);
    for (const std::size_t round : {0u, 4u}) {
      EXPECT_EQ(result.out[round + 0], R"({"id": 1, "status": -25, "error": "no decoder accepted the input"})");
      EXPECT_EQ(result.out[round + 1], "{\"id\": 2, \"file\": \"" + path +
                                           "\", \"line\": 3, \"error\": \"U+0100 is not a byte: a text holds "
                                           "characters U+0000 to U+00FF at column 20\"}");
      EXPECT_EQ(result.out[round + 2], aloneLine(3, accepted, {.slots = false, .clock = kNow}));
      EXPECT_EQ(result.out[round + 3], "{\"id\": 4, \"file\": \"" + path +
                                           "\", \"line\": 5, \"error\": \"the string is not closed at column 28\"}");
    }
    ASSERT_EQ(result.messages.size(), 4u);
    EXPECT_EQ(result.messages[0], "quorix-parse: " + path +
                                      ":3: U+0100 is not a byte: a text holds characters "
                                      "U+0000 to U+00FF at column 20");
    EXPECT_EQ(result.summary.malformed, 4);
    EXPECT_EQ(result.summary.rejected, 2);
    EXPECT_EQ(result.summary.parsed, 2);
    EXPECT_EQ(batchExitStatus(result.summary), 2);
  }
}

TEST(RunBatch, TextFormatHeadsEachInputWithItsId) {
  const std::string path = writeFile(
      "batch_text.jsonl", {R"({"id": "a-1", "text": "no decoder reads this"})", R"({"id": 2, "text": ""})", "{"});
  const RunResult result = run({path}, {.text = true, .dump = {.slots = false, .clock = kNow}, .jobs = 2});
  const std::vector<std::string> expected = {R"(== "a-1")",
                                             "now=2030-01-15T10:00:00",
                                             "status=-25",
                                             "== 2",
                                             "now=2030-01-15T10:00:00",
                                             "status=-17",
                                             "== " + path + ":3",
                                             "malformed=expected a key in double quotes at column 2"};
  EXPECT_EQ(result.out, expected);
}

TEST(RunBatch, AnUnreadableFileIsNamedAndTheOthersStillRun) {
  const std::string path = writeFile("batch_one.jsonl", {R"({"id": 1, "text": "no decoder reads this"})"});
  const RunResult result = run({::testing::TempDir() + "missing.jsonl", path}, {.text = false, .dump = {}, .jobs = 2});
  ASSERT_EQ(result.out.size(), 2u);
  EXPECT_EQ(result.out[0],
            "{\"file\": \"" + ::testing::TempDir() + "missing.jsonl\", \"error\": \"No such file or directory\"}");
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_NE(result.messages[0].find("missing.jsonl: No such file"), std::string::npos) << result.messages[0];
  EXPECT_TRUE(result.summary.failed);
  EXPECT_EQ(batchExitStatus(result.summary), 2);
}

TEST(RunBatch, ProgressIsRewrittenInPlaceAndErasedAtTheEnd) {
  // One block of inputs each for 1 job, so with no wait between them every block shows its line.
  std::vector<std::string> lines(1100, R"({"id": 1, "text": "no decoder reads this"})");
  const std::string path = writeFile("batch_progress.jsonl", lines);
  const File out(std::tmpfile());
  const File progress(std::tmpfile());
  const BatchSummary summary =
      runBatch({path}, {.text = false, .dump = {}, .jobs = 1},
               {.out = out.get(), .messages = out.get(), .progress = progress.get(), .progressInterval = {}});
  EXPECT_EQ(summary.rejected, 1100);
  const std::string shown = readAll(progress.get());
  for (const std::string_view count :
       {"\rquorix-parse: 512 in ", "\rquorix-parse: 1024 in ", "\rquorix-parse: 1100 in "}) {
    EXPECT_NE(shown.find(count), std::string::npos) << count;
  }
  EXPECT_EQ(shown.find('\n'), std::string::npos) << "a progress line must not scroll";
  EXPECT_TRUE(shown.ends_with("\r\x1b[K")) << shown;
}

TEST(FormatSummary, CountsByFamilyAndRate) {
  BatchSummary summary;
  summary.parsed = 5;
  summary.rejected = 2;
  summary.malformed = 1;
  summary.parsedByGroup = {3, 0, 0, 2, 0};
  EXPECT_EQ(formatSummary(summary, 2.0),
            "8 inputs in 2.00 s (4 per second): 5 parsed (aamva 3, magstripe 0, card_record 0, cac 2, national_id 0), "
            "2 rejected, 1 malformed");
  EXPECT_EQ(batchExitStatus(BatchSummary{}), 0);
  summary.tooLarge = 4;
  EXPECT_TRUE(formatSummary(summary, 2.0).ends_with(", 2 rejected, 1 malformed, 4 too large"));
  EXPECT_EQ(batchExitStatus(summary), kExitTooLarge);
  summary.stoppedBy = 15;
  EXPECT_EQ(batchExitStatus(summary), 143);
}

TEST(FormatProgress, FitsEightyColumnsWhateverTheCounts) {
  BatchSummary summary;
  EXPECT_EQ(formatProgress(summary, 0.0), "quorix-parse: 0 in 0 s (0/s): 0 parsed, 0 rejected, 0 bad");
  summary.parsed = 7;
  summary.rejected = 2;
  summary.malformed = 1;
  summary.tooLarge = 1;
  EXPECT_EQ(formatProgress(summary, 2.0), "quorix-parse: 11 in 2 s (6/s): 7 parsed, 2 rejected, 2 bad");
  summary.parsed = summary.rejected = summary.malformed = 999'999'999'999;
  EXPECT_LE(formatProgress(summary, 1e-3).size(), 79u);
}

}  // namespace
}  // namespace quorix
