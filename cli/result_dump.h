// The one text format for parse results: the golden files and `quorix-parse --text` print it, and the JSON lines
// of `quorix-parse` carry the same fields in the same order.
#pragma once

#include <quorix/field_record.h>
#include <quorix/parser.h>
#include <quorix/status.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {

inline constexpr DateTime kGoldenNow{.year = 2024, .month = 6, .day = 15, .hour = 12, .minute = 0, .second = 0};

struct DumpOptions {
  bool slots = false;             // also list every filled slot
  bool extras = false;            // also list the extra values the record holds
  bool checks = false;            // also answer the expiry and age checks for the parse's own date
  std::optional<DateTime> clock;  // printed as the first line, "now=...", when the parse ran on a fixed clock
};

// One derived result field: text for the 37 text fields, flag for the three indicators.
struct DerivedField {
  std::string_view javaName;
  std::string text;
  std::optional<std::int32_t> flag;
};

// A check answered for one day: a yes (1) or no (0), or, when isFlag is false, a number (the age).
struct CheckAnswer {
  std::string_view name;
  std::int32_t value = 0;
  bool isFlag = true;
};

// Runs the 40 derivations over the instance's record, as the binding does, and keeps those that yield a value. The
// instance's text buffer is overwritten.
std::vector<DerivedField> deriveResultFields(ParserInstance& instance);

// The extras the record holds, in kExtraFields order, as name and text. The instance's text buffer is overwritten.
std::vector<DerivedField> deriveExtraFields(ParserInstance& instance);

// "expired", "age" (absent when unknown), "atLeast18", "atLeast19", "atLeast21" for the day of parseTime(instance).
std::vector<CheckAnswer> answerChecks(const ParserInstance& instance);

// The golden text of one parse: "status=S", then, for status 0, "decoder=G/I", the derived fields, with
// options.extras "extra.NAME=value", with options.checks "check.NAME=value" (flags as 0 and 1) and with
// options.slots "slot.NNN.NAME=value" for each filled slot. Bytes outside 32..126 appear as \xHH.
std::string dumpText(ParserInstance& instance, Status status, const DumpOptions& options);
void appendDumpText(std::string& out, ParserInstance& instance, Status status, const DumpOptions& options);

// One JSON object, without a line end: file, status, then decoder and fields, or an error message.
std::string dumpJson(ParserInstance& instance, std::string_view file, Status status, const DumpOptions& options);
// dumpJson's members after "file", without braces, for a caller that names its input otherwise.
std::string dumpJsonMembers(ParserInstance& instance, Status status, const DumpOptions& options);
// dumpJsonMembers appended to out, which a caller reuses for input after input.
void appendJsonMembers(std::string& out, ParserInstance& instance, Status status, const DumpOptions& options);

// value as a JSON string in quotes; bytes from 128 up are read as Latin-1.
std::string jsonString(std::string_view value);
void appendJsonString(std::string& out, std::string_view value);

// What a parse status means, for people.
std::string statusMessage(Status status);

// "YYYY-MM-DDTHH:MM:SS", validated field by field; nullopt for anything else.
std::optional<DateTime> parseDateTime(std::string_view text);
std::string formatDateTime(const DateTime& time);
void appendDateTime(std::string& out, const DateTime& time);

}  // namespace quorix
