// The C interface: a handle owning a parser instance and the texts of its latest result, which the accessors lend
// out until the next parse. It converts and stores; every rule stays in the C++ library.
#include <quorix/checks.h>
#include <quorix/extras.h>
#include <quorix/quorix.h>
#include <quorix/result_fields.h>

#include <cstring>
#include <iterator>
#include <new>
#include <string_view>

#include "core/c_api_handle.h"

namespace quorix {
namespace {

static_assert(std::string_view("isLimitedDurationDocument") ==
                  kResultFields[QUORIX_FIELD_IS_LIMITED_DURATION_DOCUMENT].javaName &&
              std::string_view("isOrganDonor") == kResultFields[QUORIX_FIELD_IS_ORGAN_DONOR].javaName &&
              std::string_view("isVeteran") == kResultFields[QUORIX_FIELD_IS_VETERAN].javaName);
static_assert(std::size(kRepairNames) <= 32);

// Copies text and a NUL into the value store and returns where it starts; kNoValue when the store cannot grow.
std::int32_t storeValue(quorix_parser& parser, std::string_view text) {
  const std::int64_t need = std::int64_t{parser.valuesUsed} + static_cast<std::int64_t>(text.size()) + 1;
  if (need > INT32_MAX) return kNoValue;
  if (need > parser.valuesSize) {
    std::int64_t size = parser.valuesSize > 0 ? parser.valuesSize : 1024;
    while (size < need) size *= 2;
    if (size > INT32_MAX) size = INT32_MAX;
    char* grown = new (std::nothrow) char[static_cast<std::size_t>(size)];
    if (grown == nullptr) return kNoValue;
    if (parser.valuesUsed > 0) std::memcpy(grown, parser.values, static_cast<std::size_t>(parser.valuesUsed));
    delete[] parser.values;
    parser.values = grown;
    parser.valuesSize = static_cast<std::int32_t>(size);
  }
  const std::int32_t at = parser.valuesUsed;
  if (!text.empty()) std::memcpy(parser.values + at, text.data(), text.size());
  parser.values[at + static_cast<std::int32_t>(text.size())] = '\0';
  parser.valuesUsed = static_cast<std::int32_t>(need);
  return at;
}

// Derives and stores every field of a successful parse; kStatusNoArena, with nothing stored, when memory runs out.
Status storeResult(quorix_parser& parser) {
  ParserInstance& instance = *parser.instance;
  struct Storing {
    quorix_parser& parser;
    bool full = false;
  } storing{.parser = parser};
  deriveFieldValues(
      instance,
      [](void* context, std::int32_t i, const FieldValue& value) {
        auto& to = *static_cast<Storing*>(context);
        if (to.full || !value.present) return;
        const std::string_view text = kResultFields[i].flag != nullptr ? (value.flag == 1 ? "1" : "0") : value.text;
        to.full = (to.parser.fieldAt[i] = storeValue(to.parser, text)) == kNoValue;
      },
      &storing);
  if (storing.full) return kStatusNoArena;
  for (std::int32_t i = 0; i < kExtraCount; ++i) {
    const std::string_view text = deriveIntoTextBuffer(instance, kExtraFields[i].text);
    if (!text.empty() && (parser.extraAt[i] = storeValue(parser, text)) == kNoValue) return kStatusNoArena;
  }
  const FieldSlot& standard = instance.record.slots[SLOT_STANDARD];
  if (standard.filled()) {
    const std::string_view text(standard.text, static_cast<std::size_t>(standard.length));
    if ((parser.standardAt = storeValue(parser, text)) == kNoValue) return kStatusNoArena;
  }
  parser.parsed = true;
  return kStatusOk;
}

// The record a check reads, or null with the status to return.
const FieldRecord* checkedRecord(const quorix_parser* parser, const quorix_datetime* on, Status* status) {
  *status = kStatusOk;
  if (parser == nullptr || on == nullptr || !clockInRange(*on)) {
    *status = kStatusBadArgument;
  } else if (!parser->parsed) {
    *status = kStatusNoValue;
  }
  return *status == kStatusOk ? &parser->instance->record : nullptr;
}

const char* storedText(const quorix_parser* parser, std::int32_t at) {
  return parser != nullptr && parser->parsed && at != kNoValue ? parser->values + at : nullptr;
}

}  // namespace

void forgetResult(quorix_parser& parser) {
  parser.parsed = false;
  parser.valuesUsed = 0;
  parser.standardAt = kNoValue;
  for (std::int32_t& at : parser.fieldAt) at = kNoValue;
  for (std::int32_t& at : parser.extraAt) at = kNoValue;
  parser.symbolFormat = nullptr;
}

Status finishParse(quorix_parser& parser, Status status) {
  if (status == kStatusOk) status = storeResult(parser);
  if (status != kStatusOk) forgetResult(parser);
  return status;
}

bool clockInRange(const quorix_datetime& now) {
  return now.year >= 1 && now.year <= 9999 && now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31 &&
         now.hour >= 0 && now.hour <= 23 && now.minute >= 0 && now.minute <= 59 && now.second >= 0 && now.second <= 59;
}

DateTime toDateTime(const quorix_datetime& time) {
  return {.year = time.year,
          .month = time.month,
          .day = time.day,
          .hour = time.hour,
          .minute = time.minute,
          .second = time.second};
}

}  // namespace quorix

using quorix::kExtraCount;
using quorix::kFieldCount;

extern "C" {

quorix_parser* quorix_parser_new(void) {
  auto* parser = new (std::nothrow) quorix_parser;
  if (parser == nullptr) return nullptr;
  parser->instance = quorix::createInstance();
  if (parser->instance == nullptr) {
    delete parser;
    return nullptr;
  }
  quorix::forgetResult(*parser);
  return parser;
}

void quorix_parser_free(quorix_parser* parser) {
  if (parser == nullptr) return;
  quorix::destroyInstance(parser->instance);
  delete[] parser->values;
  delete parser;
}

int32_t quorix_parse(quorix_parser* parser, const char* text, int32_t length) {
  if (parser == nullptr) return quorix::kStatusBadArgument;
  quorix::forgetResult(*parser);
  return quorix::finishParse(*parser, quorix::parseBuffer(parser->instance, text, length));
}

int32_t quorix_parse_at(quorix_parser* parser, const char* text, int32_t length, const quorix_datetime* now) {
  if (parser == nullptr) return quorix::kStatusBadArgument;
  quorix::forgetResult(*parser);
  if (now == nullptr || !quorix::clockInRange(*now)) return quorix::kStatusBadArgument;
  return quorix::finishParse(*parser, quorix::parseBufferAt(parser->instance, text, length, quorix::toDateTime(*now)));
}

int32_t quorix_field_count(void) { return kFieldCount; }

const char* quorix_field_name(int32_t index) {
  // The names are string literals, so a NUL follows each view.
  return index >= 0 && index < kFieldCount ? quorix::kResultFields[index].javaName.data() : nullptr;
}

const char* quorix_field(const quorix_parser* parser, int32_t index) {
  if (parser == nullptr || index < 0 || index >= kFieldCount) return nullptr;
  return quorix::storedText(parser, parser->fieldAt[index]);
}

const char* quorix_field_by_name(const quorix_parser* parser, const char* name) {
  if (name == nullptr) return nullptr;
  for (std::int32_t i = 0; i < kFieldCount; ++i)
    if (quorix::kResultFields[i].javaName == name) return quorix_field(parser, i);
  return nullptr;
}

int32_t quorix_indicator(const quorix_parser* parser, int32_t index) {
  if (index < 0 || index >= kFieldCount || quorix::kResultFields[index].flag == nullptr) return -1;
  const char* text = quorix_field(parser, index);
  return text == nullptr ? -1 : (text[0] == '1' ? 1 : 0);
}

int32_t quorix_decoder_group(const quorix_parser* parser) {
  return parser != nullptr && parser->parsed ? parser->instance->record.group : -1;
}

int32_t quorix_decoder_id(const quorix_parser* parser) {
  return parser != nullptr && parser->parsed ? parser->instance->record.decoderId : -1;
}

const char* quorix_standard(const quorix_parser* parser) {
  return parser != nullptr ? quorix::storedText(parser, parser->standardAt) : nullptr;
}

uint32_t quorix_repairs(const quorix_parser* parser) {
  return parser != nullptr && parser->parsed ? parser->instance->repairs : 0;
}

int32_t quorix_repair_count(void) { return static_cast<int32_t>(std::size(quorix::kRepairNames)); }

const char* quorix_repair_name(int32_t index) {
  return index >= 0 && index < quorix_repair_count() ? quorix::kRepairNames[index].name.data() : nullptr;
}

int32_t quorix_extra_count(void) { return kExtraCount; }

const char* quorix_extra_name(int32_t index) {
  return index >= 0 && index < kExtraCount ? quorix::kExtraFields[index].name.data() : nullptr;
}

const char* quorix_extra(const quorix_parser* parser, const char* name) {
  if (parser == nullptr || name == nullptr) return nullptr;
  // Bindings ask with the names quorix_extra_name lent them, which a pointer comparison finds: comparing every
  // name's text cost as much as deriving several extras.
  for (std::int32_t i = 0; i < kExtraCount; ++i)
    if (quorix::kExtraFields[i].name.data() == name) return quorix::storedText(parser, parser->extraAt[i]);
  for (std::int32_t i = 0; i < kExtraCount; ++i)
    if (quorix::kExtraFields[i].name == name) return quorix::storedText(parser, parser->extraAt[i]);
  return nullptr;
}

int32_t quorix_is_expired(const quorix_parser* parser, const quorix_datetime* on) {
  quorix::Status status = quorix::kStatusOk;
  const quorix::FieldRecord* record = quorix::checkedRecord(parser, on, &status);
  if (record == nullptr) return status;
  return quorix::isExpired(*record, quorix::toDateTime(*on)) ? 1 : 0;
}

int32_t quorix_age_on(const quorix_parser* parser, const quorix_datetime* on, int32_t* years) {
  quorix::Status status = quorix::kStatusOk;
  const quorix::FieldRecord* record = quorix::checkedRecord(parser, on, &status);
  if (record == nullptr) return status;
  return quorix::ageOn(*record, quorix::toDateTime(*on), years);
}

int32_t quorix_is_at_least(const quorix_parser* parser, int32_t years, const quorix_datetime* on) {
  quorix::Status status = quorix::kStatusOk;
  const quorix::FieldRecord* record = quorix::checkedRecord(parser, on, &status);
  if (record == nullptr) return status;
  return quorix::isAtLeast(*record, years, quorix::toDateTime(*on)) ? 1 : 0;
}

const char* quorix_symbol_format(const quorix_parser* parser) {
  return parser != nullptr ? parser->symbolFormat : nullptr;
}

int32_t quorix_symbol_position(const quorix_parser* parser, int32_t corners[8]) {
  if (parser == nullptr || corners == nullptr) return quorix::kStatusBadArgument;
  if (parser->symbolFormat == nullptr) return quorix::kStatusNoValue;
  std::memcpy(corners, parser->symbolPosition, sizeof parser->symbolPosition);
  return quorix::kStatusOk;
}

const char* quorix_status_message(int32_t status) {
  if (status == quorix::kStatusOk) return "the input was parsed";
  const char* text = quorix::statusText(status);
  return text != nullptr ? text : quorix::kDecoderFailedText;
}

const char* quorix_version(void) { return quorix::kVersionText; }

}  // extern "C"
