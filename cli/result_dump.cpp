// Golden text and JSON renderings of a parse result.
#include "cli/result_dump.h"

#include <quorix/checks.h>
#include <quorix/extras.h>
#include <quorix/result_fields.h>
#include <quorix/slot_names.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "cli/json_bytes.h"

namespace quorix {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// How a byte is written inside a JSON string: as itself (0), after a backslash (1), or as \u00XX (2).
constexpr std::array<std::uint8_t, 256> kJsonEscapes = [] {
  std::array<std::uint8_t, 256> kinds{};
  for (std::size_t byte = 0; byte < kinds.size(); ++byte) kinds[byte] = byte >= 32 && byte <= 126 ? 0 : 2;
  kinds['"'] = kinds['\\'] = 1;
  return kinds;
}();

// Golden files are plain ASCII, so a byte a reader smuggled in stays visible and diffable.
void appendEscapedText(std::string& out, std::string_view value) {
  std::size_t run = 0;  // start of the bytes written as they are
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value[i]);
    if (byte >= 32 && byte <= 126) continue;
    out.append(value.data() + run, i - run);
    const char escape[] = {'\\', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
    out.append(escape, sizeof escape);
    run = i + 1;
  }
  out.append(value.data() + run, value.size() - run);
}

constexpr bool isPlainName(std::string_view name) {
  for (const char c : name)
    if (kJsonEscapes[static_cast<unsigned char>(c)] != 0) return false;
  return true;
}
constexpr bool resultNamesArePlain() {
  for (const ResultField& field : kResultFields)
    if (!isPlainName(field.javaName)) return false;
  return true;
}
static_assert(resultNamesArePlain(), "field names are written into JSON without escaping");

// `, "name": ` for each result field, made when compiling, so that a member's name is not put together per input.
struct MemberName {
  char text[40] = {};
  std::size_t length = 0;
};
constexpr auto kFieldMemberNames = [] {
  std::array<MemberName, std::size(kResultFields)> names{};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string_view name = kResultFields[i].javaName;
    MemberName& member = names[i];
    for (const char c : std::string_view(", \"")) member.text[member.length++] = c;
    for (const char c : name) member.text[member.length++] = c;
    for (const char c : std::string_view("\": ")) member.text[member.length++] = c;
  }
  return names;
}();
constexpr bool fieldNamesFit() {
  for (const ResultField& field : kResultFields)
    if (field.javaName.size() + 6 > sizeof MemberName::text) return false;
  return true;
}
static_assert(fieldNamesFit());
constexpr bool extraNamesArePlain() {
  for (const ExtraField& field : kExtraFields)
    if (!isPlainName(field.name)) return false;
  return true;
}
static_assert(extraNamesArePlain(), "extra names are written into JSON without escaping");
constexpr bool statusTextsArePlain() {
  for (Status status = -64; status <= 0; ++status) {
    const char* text = statusText(status);
    if (text != nullptr && !isPlainName(text)) return false;
  }
  return isPlainName(kDecoderFailedText);
}
static_assert(statusTextsArePlain(), "status messages are written into JSON without escaping");

// Writes value escaped, without quotes, at `at`, which has room for 6 * size bytes; returns the end.
char* putEscaped(char* at, std::string_view value) {
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    switch (kJsonEscapes[byte]) {
      case 0:
        *at++ = static_cast<char>(byte);
        break;
      case 1:
        at[0] = '\\';
        at[1] = static_cast<char>(byte);
        at += 2;
        break;
      default:
        std::memcpy(at, "\\u00", 4);
        at[4] = kHexDigits[byte >> 4];
        at[5] = kHexDigits[byte & 15];
        at += 6;
    }
  }
  return at;
}

// Appends prefix as it is and value as a JSON string, growing out once. Most values need no escape, so their
// leading plain run is copied in one piece and only the rest is sized for the worst.
void appendJsonMember(std::string& out, std::string_view prefix, std::string_view value) {
  const std::size_t plain = plainJsonPrefix(value);
  const std::size_t start = out.size();
  out.resize(start + prefix.size() + plain + 6 * (value.size() - plain) + 2);
  char* at = out.data() + start;
  at = std::copy(prefix.begin(), prefix.end(), at);  // an empty view may hold no pointer, which memcpy must not see
  *at++ = '"';
  at = std::copy_n(value.begin(), plain, at);
  at = putEscaped(at, value.substr(plain));
  *at++ = '"';
  out.resize(static_cast<std::size_t>(at - out.data()));
}

// appendJsonMember for a result field, whose name is one of kFieldMemberNames: its fixed-size text is copied whole,
// which the compiler does without a call.
void appendFieldMember(std::string& out, const MemberName& name, std::size_t skip, std::string_view value) {
  constexpr std::size_t kShortValue = 120;
  if (value.size() > kShortValue || plainJsonPrefix(value) != value.size()) {
    appendJsonMember(out, std::string_view(name.text + skip, name.length - skip), value);
    return;
  }
  char member[sizeof name.text + kShortValue + 2];
  std::memcpy(member, name.text, sizeof name.text);
  char* at = member + name.length;
  *at++ = '"';
  std::memcpy(at, value.data(), value.size());
  at += value.size();
  *at++ = '"';
  out.append(member + skip, static_cast<std::size_t>(at - member) - skip);
}

void appendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, static_cast<std::size_t>(end.ptr - digits));
}

// Runs the 40 derivations in their order and calls visit(javaName, text, flag) for each that yields a value: text
// viewing the instance's text buffer until the next derivation, or flag for the three indicators.
template <typename Visit>
void visitResultFields(ParserInstance& instance, Visit visit) {
  const FieldValueVisitor onField = [](void* context, std::int32_t index, const FieldValue& value) {
    if (!value.present) return;
    const ResultField& field = kResultFields[index];
    Visit& inner = *static_cast<Visit*>(context);
    if (field.flag != nullptr) {
      inner(field.javaName, std::string_view(), std::optional<std::int32_t>(value.flag));
    } else {
      inner(field.javaName, value.text, std::optional<std::int32_t>());
    }
  };
  deriveFieldValues(instance, onField, &visit);
}

// Calls visit(name, text) for each extra the record holds, in kExtraFields order; text views the instance's text
// buffer until the next derivation.
template <typename Visit>
void visitExtraFields(ParserInstance& instance, Visit visit) {
  for (const ExtraField& field : kExtraFields) {
    const std::string_view text = deriveIntoTextBuffer(instance, field.text);
    if (!text.empty()) visit(field.name, text);
  }
}

// Calls visit(answer) for "expired", "age" (when known), "atLeast18", "atLeast19" and "atLeast21", for the day of
// parseTime(instance).
template <typename Visit>
void visitCheckAnswers(const ParserInstance& instance, Visit visit) {
  const FieldRecord& record = parsedRecord(instance);
  const DateTime on = parseTime(instance);
  visit(CheckAnswer{.name = "expired", .value = isExpired(record, on) ? 1 : 0});
  if (std::int32_t age = 0; ageOn(record, on, &age) == kStatusOk) {
    visit(CheckAnswer{.name = "age", .value = age, .isFlag = false});
  }
  visit(CheckAnswer{.name = "atLeast18", .value = isAtLeast(record, 18, on) ? 1 : 0});
  visit(CheckAnswer{.name = "atLeast19", .value = isAtLeast(record, 19, on) ? 1 : 0});
  visit(CheckAnswer{.name = "atLeast21", .value = isAtLeast(record, 21, on) ? 1 : 0});
}

// `, "name": ` (without the comma for the first member) in one piece, for names that need no escaping.
template <typename AppendValue>
void appendPlainMember(bool& first, std::string_view name, AppendValue appendValue) {
  char key[80];
  const std::size_t skip = first ? 2 : 0;
  first = false;
  const std::size_t length = std::min(name.size(), sizeof key - 6);
  std::memcpy(key, ", \"", 3);
  std::memcpy(key + 3, name.data(), length);
  std::memcpy(key + 3 + length, "\": ", 3);
  appendValue(std::string_view(key + skip, length + 6 - skip));
}

void appendStatusMessage(std::string& out, Status status);

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
    const std::string_view value = recordSlot(record, slot).view();
    if (value.empty()) continue;
    static_assert(kSlotCount <= 1000, "slot numbers are written in three digits");
    const char number[] = {'s',
                           'l',
                           'o',
                           't',
                           '.',
                           static_cast<char>('0' + slot / 100),
                           static_cast<char>('0' + slot / 10 % 10),
                           static_cast<char>('0' + slot % 10)};
    out.append(number, sizeof number);
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

}  // namespace

std::vector<DerivedField> deriveResultFields(ParserInstance& instance) {
  std::vector<DerivedField> fields;
  visitResultFields(instance, [&](std::string_view javaName, std::string_view text, std::optional<std::int32_t> flag) {
    fields.push_back({.javaName = javaName, .text = std::string(text), .flag = flag});
  });
  return fields;
}

std::vector<DerivedField> deriveExtraFields(ParserInstance& instance) {
  std::vector<DerivedField> fields;
  visitExtraFields(instance, [&](std::string_view name, std::string_view text) {
    fields.push_back({.javaName = name, .text = std::string(text), .flag = std::nullopt});
  });
  return fields;
}

std::vector<CheckAnswer> answerChecks(const ParserInstance& instance) {
  std::vector<CheckAnswer> answers;
  visitCheckAnswers(instance, [&](const CheckAnswer& answer) { answers.push_back(answer); });
  return answers;
}

void appendDumpText(std::string& out, ParserInstance& instance, Status status, const DumpOptions& options) {
  if (options.clock) {
    out += "now=";
    appendDateTime(out, *options.clock);
    out += '\n';
  }
  out += "status=";
  appendNumber(out, status);
  out += '\n';
  if (status != kStatusOk) return;
  out += "decoder=";
  appendNumber(out, recordGroup(parsedRecord(instance)));
  out += '/';
  appendNumber(out, recordDecoderId(parsedRecord(instance)));
  out += '\n';
  if (parsedRepairs(instance) != 0) {
    out += "repairs=";
    appendRepairNames(out, parsedRepairs(instance), ",",
                      [](std::string& text, std::string_view name) { text += name; });
    out += '\n';
  }
  visitResultFields(instance, [&](std::string_view javaName, std::string_view text, std::optional<std::int32_t> flag) {
    out += javaName;
    out += '=';
    if (flag) {
      appendNumber(out, *flag);
    } else {
      appendEscapedText(out, text);
    }
    out += '\n';
  });
  if (options.extras) {
    visitExtraFields(instance, [&](std::string_view name, std::string_view text) {
      out += "extra.";
      out += name;
      out += '=';
      appendEscapedText(out, text);
      out += '\n';
    });
  }
  if (options.checks) {
    visitCheckAnswers(instance, [&](const CheckAnswer& answer) {
      out += "check.";
      out += answer.name;
      out += '=';
      appendNumber(out, answer.value);
      out += '\n';
    });
  }
  if (options.slots) appendSlotLines(out, parsedRecord(instance));
}

std::string dumpText(ParserInstance& instance, Status status, const DumpOptions& options) {
  std::string out;
  appendDumpText(out, instance, status, options);
  return out;
}

std::string dumpJson(ParserInstance& instance, std::string_view file, Status status, const DumpOptions& options) {
  std::string out = "{\"file\": ";
  appendJsonString(out, file);
  out += ", ";
  appendJsonMembers(out, instance, status, options);
  out += '}';
  return out;
}

std::string dumpJsonMembers(ParserInstance& instance, Status status, const DumpOptions& options) {
  std::string out;
  appendJsonMembers(out, instance, status, options);
  return out;
}

void appendJsonMembers(std::string& out, ParserInstance& instance, Status status, const DumpOptions& options) {
  out += "\"status\": ";
  appendNumber(out, status);
  if (status != kStatusOk) {
    out += ", \"error\": \"";
    appendStatusMessage(out, status);  // plain ASCII without quotes or backslashes: nothing to escape
    out += '"';
    return;
  }
  out += ", \"decoder\": {\"group\": ";
  appendNumber(out, recordGroup(parsedRecord(instance)));
  out += ", \"id\": ";
  appendNumber(out, recordDecoderId(parsedRecord(instance)));
  out += ", \"standard\": ";
  const std::string_view standard = recordSlot(parsedRecord(instance), SLOT_STANDARD).view();
  if (standard.empty()) {
    out += "null";
  } else {
    appendJsonString(out, standard);
  }
  out += "}";
  if (parsedRepairs(instance) != 0) {
    out += ", \"repairs\": [";
    appendRepairNames(out, parsedRepairs(instance), ", ",
                      [](std::string& text, std::string_view name) { appendJsonString(text, name); });
    out += "]";
  }
  out += ", \"fields\": {";
  struct FieldMembers {
    std::string& out;
    bool first = true;
  } members{out};
  const FieldValueVisitor appendField = [](void* context, std::int32_t index, const FieldValue& value) {
    if (!value.present) return;
    FieldMembers& to = *static_cast<FieldMembers*>(context);
    const MemberName& name = kFieldMemberNames[static_cast<std::size_t>(index)];
    const std::size_t skip = to.first ? 2 : 0;  // the first member has no comma in front
    to.first = false;
    if (kResultFields[index].flag != nullptr) {
      to.out.append(name.text + skip, name.length - skip);
      appendNumber(to.out, value.flag);
    } else {
      appendFieldMember(to.out, name, skip, value.text);
    }
  };
  deriveFieldValues(instance, appendField, &members);
  out += "}";
  bool first = true;
  if (options.extras) {
    out += ", \"extras\": {";
    first = true;
    visitExtraFields(instance, [&](std::string_view name, std::string_view text) {
      appendPlainMember(first, name, [&](std::string_view prefix) { appendJsonMember(out, prefix, text); });
    });
    out += "}";
  }
  if (options.checks) {
    out += ", \"checks\": {";
    first = true;
    visitCheckAnswers(instance, [&](const CheckAnswer& answer) {
      appendPlainMember(first, answer.name, [&](std::string_view prefix) {
        out += prefix;
        if (answer.isFlag) {
          out += answer.value != 0 ? "true" : "false";
        } else {
          appendNumber(out, answer.value);
        }
      });
    });
    out += "}";
  }
  if (options.slots) {
    out += ", \"slots\": {";
    std::string_view separator;
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
      const std::string_view value = recordSlot(parsedRecord(instance), slot).view();
      if (value.empty()) continue;
      out += separator;
      separator = ", ";
      appendJsonString(out, slotName(slot));
      out += ": ";
      appendJsonString(out, value);
    }
    out += "}";
  }
}

// Text is single-byte; bytes from 128 up are read as Latin-1 so the output stays valid UTF-8 JSON.
void appendJsonString(std::string& out, std::string_view value) { appendJsonMember(out, {}, value); }

std::string jsonString(std::string_view value) {
  std::string out;
  appendJsonString(out, value);
  return out;
}

namespace {

void appendStatusMessage(std::string& out, Status status) {
  if (const char* text = statusText(status); text != nullptr) {
    out += text;
    return;
  }
  out += kDecoderFailedText;
  out += " with status ";
  appendNumber(out, status);
}

}  // namespace

std::string statusMessage(Status status) {
  std::string out;
  appendStatusMessage(out, status);
  return out;
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

void appendDateTime(std::string& out, const DateTime& time) {
  char text[64];
  const int length =
      std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", static_cast<int>(time.year),
                    static_cast<int>(time.month), static_cast<int>(time.day), static_cast<int>(time.hour),
                    static_cast<int>(time.minute), static_cast<int>(time.second));
  out.append(text, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(sizeof text) - 1)));
}

std::string formatDateTime(const DateTime& time) {
  std::string out;
  appendDateTime(out, time);
  return out;
}

}  // namespace quorix
