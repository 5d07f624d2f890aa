// The parser instance: its clock snapshot and the two buffers that every parse reuses and only ever grows.
#include "core/instance.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <new>

#include "core/selection.h"

namespace quorix {
namespace {

constexpr std::int64_t kMinimumBufferSize = 8192;

// Working out the local time costs more than rejecting a text, so a batch of parses within one second asks once.
DateTime localNow(ParserInstance& instance) {
  DateTime now;
  const std::time_t seconds = std::time(nullptr);
  if (seconds == instance.clockSecond) return instance.clockTime;
  std::tm local{};
  if (seconds == static_cast<std::time_t>(-1) || localtime_r(&seconds, &local) == nullptr) return now;
  now.year = local.tm_year + 1900;
  now.month = local.tm_mon + 1;
  now.day = local.tm_mday;
  now.hour = local.tm_hour;
  now.minute = local.tm_min;
  now.second = local.tm_sec;
  instance.clockSecond = seconds;
  instance.clockTime = now;
  return now;
}

// Makes the text and arena buffers hold at least need bytes and the spare buffer three times that. New buffers are
// allocated before the old ones go, so a failed allocation leaves the instance, and the record's arena, exactly
// as they were.
Status ensureBuffers(ParserInstance& instance, std::int32_t need) {
  // The spare buffer only speeds a parse up; an input too long for it parses without it.
  const std::int64_t spareNeed = 3 * std::int64_t{need};
  const bool withSpare = spareNeed <= INT32_MAX;
  const bool spareFits = !withSpare || (instance.spareBuffer != nullptr && spareNeed <= instance.spareBufferSize);
  if (instance.textBuffer != nullptr && instance.arenaBuffer != nullptr && spareFits &&
      need <= instance.textBufferSize && need <= instance.arenaBufferSize) {
    return kStatusOk;
  }
  const auto size = static_cast<std::size_t>(need);
  char* text = new (std::nothrow) char[size];
  char* arena = new (std::nothrow) char[size];
  // Zeroed once: its last part is the contest's second arena, which a parse leaves as zero as it found it.
  char* spare = withSpare ? new (std::nothrow) char[static_cast<std::size_t>(spareNeed)]() : nullptr;
  if (text == nullptr || arena == nullptr || (withSpare && spare == nullptr)) {
    delete[] text;
    delete[] arena;
    delete[] spare;
    return kStatusNoArena;
  }
  delete[] instance.textBuffer;
  delete[] instance.arenaBuffer;
  delete[] instance.spareBuffer;
  instance.textBuffer = text;
  instance.arenaBuffer = arena;
  instance.spareBuffer = spare;
  instance.textBufferSize = need;
  instance.arenaBufferSize = need;
  instance.spareBufferSize = withSpare ? static_cast<std::int32_t>(spareNeed) : 0;
  return initRecord(instance.record, arena, need);
}

}  // namespace

ParserInstance* createInstance() { return new (std::nothrow) ParserInstance{}; }

void destroyInstance(ParserInstance* instance) {
  if (instance == nullptr) return;
  delete[] instance->textBuffer;
  delete[] instance->arenaBuffer;
  delete[] instance->spareBuffer;
  delete instance;
}

void releaseLargeBuffers(ParserInstance* instance) {
  if (instance == nullptr || std::max(instance->textBufferSize, instance->arenaBufferSize) <= kLargeBufferSize) return;
  delete[] instance->textBuffer;
  delete[] instance->arenaBuffer;
  delete[] instance->spareBuffer;
  const ParserInstance kept = *instance;
  *instance = ParserInstance{};
  instance->now = kept.now;
  instance->maxInputLength = kept.maxInputLength;
}

Status parseBuffer(ParserInstance* instance, const char* input, std::int32_t inputLength) {
  if (instance == nullptr) return kStatusBadArgument;
  return parseBufferAt(instance, input, inputLength, localNow(*instance));
}

Status parseBufferAt(ParserInstance* instance, const char* input, std::int32_t inputLength, const DateTime& now) {
  if (instance == nullptr) return kStatusBadArgument;
  instance->now = now;
  instance->repairs = 0;
  if (instance->maxInputLength > 0 && inputLength > instance->maxInputLength) return kStatusInputTooLarge;
  // The normaliser keeps one byte for its NUL and the driver one more, so two bytes beyond the input make sure
  // that no input byte is cut.
  const std::int64_t need = std::max<std::int64_t>(std::int64_t{inputLength} + 2, kMinimumBufferSize);
  if (need > INT32_MAX) return kStatusBadArgument;
  if (Status s = ensureBuffers(*instance, static_cast<std::int32_t>(need)); s != kStatusOk) return s;
  return selectAndDecode(input, inputLength, instance->textBuffer, instance->textBufferSize, &instance->record,
                         *instance);
}

const FieldRecord& parsedRecord(const ParserInstance& instance) { return instance.record; }
RepairSet parsedRepairs(const ParserInstance& instance) { return instance.repairs; }
DateTime parseTime(const ParserInstance& instance) { return instance.now; }
void setMaxInputLength(ParserInstance& instance, std::int32_t maxLength) {
  instance.maxInputLength = std::max(maxLength, 0);
}
DerivationBuffer derivationBuffer(ParserInstance& instance) {
  return {.data = instance.textBuffer, .size = instance.textBufferSize};
}
std::int64_t heldBytes(const ParserInstance& instance) {
  return std::int64_t{instance.textBufferSize} + instance.arenaBufferSize + instance.spareBufferSize +
         std::int64_t{sizeof(ParserInstance)};
}

}  // namespace quorix
