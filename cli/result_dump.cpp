// Golden text and JSON renderings of a parse result.
#include "cli/result_dump.h"

#include <quorix/checks.h>
#include <quorix/extras.h>
#include <quorix/result_fields.h>
#include <quorix/slot_names.h>

#include <cstdio>

namespace quorix {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Golden files are plain ASCII, so a byte a reader smuggled in stays visible and diffable.
void appendEscapedText(std::string& out, std::string_view value) {
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte <= 126) {
      out += c;
    } else {
      out += "\\x";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 15];
    }
  }
}

// Text is single-byte; bytes from 128 up are read as Latin-1 so the output stays valid UTF-8 JSON.
void appendJsonString(std::string& out, std::string_view value) {
  out += '"';
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 32 && byte <= 126) {
      out += c;
    } else {
      out += "\\u00";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 15];
    }
  }
  out += '"';
}

std::string_view slotView(const FieldSlot& slot) {
  return slot.filled() ? std::string_view(slot.text, static_cast<std::size_t>(slot.length)) : std::string_view();
}

// Reads digits [at, at + count) of text as a number; -1 unless they are all digits.
std::int32_t digitsAt(std::string_view text, std::size_t at, std::size_t count) {
  std::int32_t value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

constexpr bool isLeapYear(std::int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int32_t daysInMonth(std::int32_t year, std::int32_t month) {
  constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

void appendSlotLines(std::string& out, const FieldRecord& record) {
  for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
    const std::string_view value = slotView(record.slots[slot]);
    if (value.empty()) continue;
    char number[8];
    std::snprintf(number, sizeof number, "%03d", static_cast<int>(slot));
    out += "slot.";
    out += number;
    out += '.';
    out += slotName(slot);
    out += '=';
    appendEscapedText(out, value);
    out += '\n';
  }
}

// Writes the names of the set's repairs in their fixed order, each passed through appendName, with separator
// between them.
template <typename AppendName>
void appendRepairNames(std::string& out, RepairSet repairs, std::string_view separator, AppendName appendName) {
  std::string_view between;
  for (const RepairName& repair : kRepairNames) {
    if ((repairs & repair.bit) == 0) continue;
    out += between;
    between = separator;
    appendName(out, repair.name);
  }
}

// Runs a text derivation into the instance's text buffer; the text when it yields one.
std::optional<std::string> derivedText(ParserInstance& instance, FieldDerivation derivation) {
  char* out = instance.textBuffer;
  if (out == nullptr || instance.textBufferSize < 1) return std::nullopt;
  if (derivation(instance.record, out, instance.textBufferSize) != kStatusOk || out[0] == '\0') return std::nullopt;
  out[instance.textBufferSize - 1] = '\0';  // the read stops inside the buffer, as the binding's does
  return std::string(out);
}

void appendJsonMember(std::string& out, const char*& separator, std::string_view name) {
  out += separator;
  separator = ", ";
  appendJsonString(out, name);
  out += ": ";
}

}  // namespace

std::vector<DerivedField> deriveResultFields(ParserInstance& instance) {
  std::vector<DerivedField> fields;
  for (const ResultField& field : kResultFields) {
    if (field.flag != nullptr) {
      std::int32_t value = 0;
      if (field.flag(instance.record, &value) == kStatusOk) {
        fields.push_back({.javaName = field.javaName, .text = {}, .flag = value == 1 ? 1 : 0});
      }
      continue;
    }
    if (std::optional<std::string> text = derivedText(instance, field.text)) {
      fields.push_back({.javaName = field.javaName, .text = std::move(*text), .flag = std::nullopt});
    }
  }
  return fields;
}

std::vector<DerivedField> deriveExtraFields(ParserInstance& instance) {
  std::vector<DerivedField> fields;
  for (const ExtraField& field : kExtraFields) {
    if (std::optional<std::string> text = derivedText(instance, field.text)) {
      fields.push_back({.javaName = field.name, .text = std::move(*text), .flag = std::nullopt});
    }
  }
  return fields;
}

std::vector<CheckAnswer> answerChecks(const ParserInstance& instance) {
  const FieldRecord& record = instance.record;
  const DateTime& on = instance.now;
  std::vector<CheckAnswer> answers{{.name = "expired", .value = isExpired(record, on) ? 1 : 0}};
  if (std::int32_t age = 0; ageOn(record, on, &age) == kStatusOk) {
    answers.push_back({.name = "age", .value = age, .isFlag = false});
  }
  answers.push_back({.name = "atLeast18", .value = isAtLeast(record, 18, on) ? 1 : 0});
  answers.push_back({.name = "atLeast19", .value = isAtLeast(record, 19, on) ? 1 : 0});
  answers.push_back({.name = "atLeast21", .value = isAtLeast(record, 21, on) ? 1 : 0});
  return answers;
}

std::string dumpText(ParserInstance& instance, Status status, const DumpOptions& options) {
  std::string out;
  if (options.clock) out += "now=" + formatDateTime(*options.clock) + "\n";
  out += "status=" + std::to_string(status) + "\n";
  if (status != kStatusOk) return out;
  out += "decoder=" + std::to_string(instance.record.group) + "/" + std::to_string(instance.record.decoderId) + "\n";
  if (instance.repairs != 0) {
    out += "repairs=";
    appendRepairNames(out, instance.repairs, ",", [](std::string& text, std::string_view name) { text += name; });
    out += '\n';
  }
  for (const DerivedField& field : deriveResultFields(instance)) {
    out += field.javaName;
    out += '=';
    if (field.flag) {
      out += std::to_string(*field.flag);
    } else {
      appendEscapedText(out, field.text);
    }
    out += '\n';
  }
  if (options.extras) {
    for (const DerivedField& field : deriveExtraFields(instance)) {
      out += "extra.";
      out += field.javaName;
      out += '=';
      appendEscapedText(out, field.text);
      out += '\n';
    }
  }
  if (options.checks) {
    for (const CheckAnswer& answer : answerChecks(instance)) {
      out += "check.";
      out += answer.name;
      out += '=' + std::to_string(answer.value) + '\n';
    }
  }
  if (options.slots) appendSlotLines(out, instance.record);
  return out;
}

std::string dumpJson(ParserInstance& instance, std::string_view file, Status status, const DumpOptions& options) {
  std::string out = "{\"file\": ";
  appendJsonString(out, file);
  return out + ", " + dumpJsonMembers(instance, status, options) + "}";
}

std::string dumpJsonMembers(ParserInstance& instance, Status status, const DumpOptions& options) {
  std::string out = "\"status\": " + std::to_string(status);
  if (status != kStatusOk) {
    out += ", \"error\": ";
    appendJsonString(out, statusMessage(status));
    return out;
  }
  out += ", \"decoder\": {\"group\": " + std::to_string(instance.record.group) +
         ", \"id\": " + std::to_string(instance.record.decoderId) + ", \"standard\": ";
  const std::string_view standard = slotView(instance.record.slots[SLOT_STANDARD]);
  if (standard.empty()) {
    out += "null";
  } else {
    appendJsonString(out, standard);
  }
  out += "}";
  if (instance.repairs != 0) {
    out += ", \"repairs\": [";
    appendRepairNames(out, instance.repairs, ", ",
                      [](std::string& text, std::string_view name) { appendJsonString(text, name); });
    out += "]";
  }
  out += ", \"fields\": {";
  const char* separator = "";
  for (const DerivedField& field : deriveResultFields(instance)) {
    out += separator;
    separator = ", ";
    appendJsonString(out, field.javaName);
    out += ": ";
    if (field.flag) {
      out += std::to_string(*field.flag);
    } else {
      appendJsonString(out, field.text);
    }
  }
  out += "}";
  if (options.extras) {
    out += ", \"extras\": {";
    separator = "";
    for (const DerivedField& field : deriveExtraFields(instance)) {
      appendJsonMember(out, separator, field.javaName);
      appendJsonString(out, field.text);
    }
    out += "}";
  }
  if (options.checks) {
    out += ", \"checks\": {";
    separator = "";
    for (const CheckAnswer& answer : answerChecks(instance)) {
      appendJsonMember(out, separator, answer.name);
      out += answer.isFlag ? (answer.value != 0 ? "true" : "false") : std::to_string(answer.value);
    }
    out += "}";
  }
  if (options.slots) {
    out += ", \"slots\": {";
    separator = "";
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
      const std::string_view value = slotView(instance.record.slots[slot]);
      if (value.empty()) continue;
      out += separator;
      separator = ", ";
      appendJsonString(out, slotName(slot));
      out += ": ";
      appendJsonString(out, value);
    }
    out += "}";
  }
  return out;
}

std::string jsonString(std::string_view value) {
  std::string out;
  appendJsonString(out, value);
  return out;
}

std::string statusMessage(Status status) {
  switch (status) {
    case kStatusNoInput:
      return "no input was given";
    case kStatusEmptyInput:
      return "the input is empty";
    case kStatusBadArgument:
      return "the input is too large or an argument is out of range";
    case kStatusNoArena:
      return "the parser's buffers could not be allocated";
    case kStatusNoDecoder:
      return "no decoder accepted the input";
    default:
      return "the decoder that recognised the input failed with status " + std::to_string(status);
  }
}

std::optional<DateTime> parseDateTime(std::string_view text) {
  // YYYY-MM-DDTHH:MM:SS
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  const DateTime time{.year = digitsAt(text, 0, 4),
                      .month = digitsAt(text, 5, 2),
                      .day = digitsAt(text, 8, 2),
                      .hour = digitsAt(text, 11, 2),
                      .minute = digitsAt(text, 14, 2),
                      .second = digitsAt(text, 17, 2)};
  if (time.year < 1 || time.month < 1 || time.month > 12 || time.day < 1 ||
      time.day > daysInMonth(time.year, time.month) || time.hour < 0 || time.hour > 23 || time.minute < 0 ||
      time.minute > 59 || time.second < 0 || time.second > 59) {
    return std::nullopt;
  }
  return time;
}

std::string formatDateTime(const DateTime& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", static_cast<int>(time.year),
                static_cast<int>(time.month), static_cast<int>(time.day), static_cast<int>(time.hour),
                static_cast<int>(time.minute), static_cast<int>(time.second));
  return text;
}

}  // namespace quorix
