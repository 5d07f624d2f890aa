// The native side of the Node.js package: one C parser handle per Parser object, and the batch parse on threads of
// its own, off the event loop. It converts between JavaScript values and the C interface; the rules stay in the
// library, the shaping of results in index.js.
#include <napi.h>
#include <quorix/quorix.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t kStatusBadArgument = -21;
constexpr std::int32_t kFieldCount = 40;
constexpr std::int32_t kExtraCount = 14;  // with the fields, 54 presence bits: two masks
constexpr char kSeparator = '\0';         // never in a value: the library's texts are printable ASCII

// The result of a successful parse as one Latin-1 string, which JavaScript reads into an object in one pass and
// which costs one crossing into JavaScript instead of one per value. Each part ends with a NUL: decoder group, decoder
// id, repair bits, two presence masks (bit i of the first for field i below 32; bit i - 32 of the second for field i
// from 32 and bit 8 + j for extra j), the standard (an empty part when there is none), then the value of each present
// field and extra in their order. Absent values take no part.
void appendNumber(std::string& out, std::int64_t number) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, number);
  out.append(digits, static_cast<std::size_t>(written.ptr - digits));
  out.push_back(kSeparator);
}

// Parses length bytes with parser; on success out holds the encoded result. Returns the parse's status.
std::int32_t parseInto(quorix_parser* parser, const char* data, std::size_t size, const quorix_datetime* now,
                       std::string& out) {
  out.clear();
  // The library takes 32-bit lengths; a larger input is refused as the library refuses a bad argument.
  if (size > INT32_MAX) return kStatusBadArgument;
  const auto length = static_cast<std::int32_t>(size);
  const std::int32_t status =
      now != nullptr ? quorix_parse_at(parser, data, length, now) : quorix_parse(parser, data, length);
  if (status != 0) return status;
  const char* values[kFieldCount + kExtraCount];
  std::uint32_t masks[2] = {0, 0};
  for (std::int32_t i = 0; i < kFieldCount; ++i) values[i] = quorix_field(parser, i);
  for (std::int32_t i = 0; i < kExtraCount; ++i) values[kFieldCount + i] = quorix_extra(parser, quorix_extra_name(i));
  for (std::int32_t i = 0; i < kFieldCount + kExtraCount; ++i) {
    if (values[i] != nullptr) masks[i / 32] |= std::uint32_t{1} << (i % 32);
  }
  appendNumber(out, quorix_decoder_group(parser));
  appendNumber(out, quorix_decoder_id(parser));
  appendNumber(out, quorix_repairs(parser));
  appendNumber(out, masks[0]);
  appendNumber(out, masks[1]);
  const char* standard = quorix_standard(parser);
  if (standard != nullptr) out.append(standard);
  out.push_back(kSeparator);
  // A value's own NUL ends its part.
  static_assert(kSeparator == '\0');
  for (const char* value : values) {
    if (value != nullptr) out.append(value, std::strlen(value) + 1);
  }
  return status;
}

// A string's characters U+0000 to U+00FF are the document's bytes; any other character is refused.
void readLatin1(const Napi::String& text, std::u16string& wide, std::string& bytes) {
  napi_env env = text.Env();
  std::size_t length = 0;
  NAPI_THROW_IF_FAILED_VOID(env, napi_get_value_string_utf16(env, text, nullptr, 0, &length));
  wide.resize(length + 1);
  NAPI_THROW_IF_FAILED_VOID(env, napi_get_value_string_utf16(env, text, wide.data(), wide.size(), &length));
  // Two loops without a branch inside, over plain pointers (a store through the string could change the string as
  // far as the compiler knows), which the compiler runs over many characters at once.
  const char16_t* const from = wide.data();
  unsigned high = 0;
  for (std::size_t i = 0; i < length; ++i) high |= from[i];
  if (high > 0xFF) {
    throw Napi::TypeError::New(env, "a string input may hold only the characters U+0000 to U+00FF, one per byte");
  }
  bytes.resize(length);
  char* const to = bytes.data();
  for (std::size_t i = 0; i < length; ++i) to[i] = static_cast<char>(from[i]);
}

// The bytes of a Buffer (or any Uint8Array) or a Latin-1 string, as a pointer and size valid until the next call
// or until the value is collected; scratch holds a string's bytes.
std::pair<const char*, std::size_t> inputBytes(const Napi::Value& value, std::u16string& wide, std::string& scratch) {
  if (value.IsTypedArray()) {
    const auto array = value.As<Napi::TypedArray>();
    if (array.TypedArrayType() == napi_uint8_array) {
      const auto bytes = value.As<Napi::Uint8Array>();
      // An empty buffer may have no memory at all; it is an empty input, as an empty string is, not a missing one.
      if (bytes.ByteLength() == 0) return {"", 0};
      return {reinterpret_cast<const char*>(bytes.Data()), bytes.ByteLength()};
    }
  } else if (value.IsString()) {
    readLatin1(value.As<Napi::String>(), wide, scratch);
    return {scratch.data(), scratch.size()};
  }
  throw Napi::TypeError::New(value.Env(), "an input is a Buffer or a string");
}

// undefined, or an array [year, month, day, hour, minute, second] of local time.
bool readClock(const Napi::Value& value, quorix_datetime& out) {
  if (value.IsUndefined() || value.IsNull()) return false;
  if (!value.IsArray() || value.As<Napi::Array>().Length() != 6) {
    throw Napi::TypeError::New(value.Env(), "a clock is [year, month, day, hour, minute, second]");
  }
  const auto parts = value.As<Napi::Array>();
  std::int32_t* members[] = {&out.year, &out.month, &out.day, &out.hour, &out.minute, &out.second};
  for (std::uint32_t i = 0; i < 6; ++i) *members[i] = parts.Get(i).As<Napi::Number>().Int32Value();
  return true;
}

Napi::Value toValue(Napi::Env env, std::int32_t status, const std::string& encoded) {
  if (status != 0) return Napi::Number::New(env, status);
  napi_value text = nullptr;
  NAPI_THROW_IF_FAILED(env, napi_create_string_latin1(env, encoded.data(), encoded.size(), &text), Napi::Value());
  return Napi::Value(env, text);
}

quorix_parser* newParser(Napi::Env env) {
  quorix_parser* parser = quorix_parser_new();
  if (parser == nullptr) throw Napi::Error::New(env, "the parser's memory could not be allocated");
  return parser;
}

// A handle for one JavaScript Parser, with its fixed clock if it has one. JavaScript calls it from one thread.
class NativeParser : public Napi::ObjectWrap<NativeParser> {
 public:
  static Napi::Function define(Napi::Env env) {
    return DefineClass(env, "NativeParser", {InstanceMethod<&NativeParser::parse>("parse")});
  }

  explicit NativeParser(const Napi::CallbackInfo& info) : Napi::ObjectWrap<NativeParser>(info) {
    fixed_ = readClock(info[0], clock_);
    parser_ = newParser(info.Env());
  }
  ~NativeParser() override { quorix_parser_free(parser_); }
  NativeParser(const NativeParser&) = delete;
  NativeParser& operator=(const NativeParser&) = delete;

  // parse(input): the status when it is not 0, else the encoded result.
  Napi::Value parse(const Napi::CallbackInfo& info) {
    const auto [data, size] = inputBytes(info[0], wide_, scratch_);
    const std::int32_t status = parseInto(parser_, data, size, fixed_ ? &clock_ : nullptr, encoded_);
    return toValue(info.Env(), status, encoded_);
  }

 private:
  quorix_parser* parser_ = nullptr;
  quorix_datetime clock_{};
  bool fixed_ = false;
  std::u16string wide_;
  std::string scratch_;
  std::string encoded_;
};

// parseMany(inputs, threads, clock): the inputs are copied on the event loop, parsed on up to threads threads of
// the worker's own (one handle each) and resolved, in input order, as statuses and encoded results.
class ParseManyWorker : public Napi::AsyncWorker {
 public:
  ParseManyWorker(Napi::Env env, std::vector<std::string> inputs, std::size_t threads, const quorix_datetime* now)
      : Napi::AsyncWorker(env, "quorix.parseMany"),
        deferred_(Napi::Promise::Deferred::New(env)),
        inputs_(std::move(inputs)),
        statuses_(inputs_.size(), kStatusBadArgument),
        encoded_(inputs_.size()),
        threads_(std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(inputs_.size(), 1))),
        fixed_(now != nullptr) {
    if (now != nullptr) clock_ = *now;
  }

  Napi::Promise promise() const { return deferred_.Promise(); }

  void Execute() override {
    std::vector<quorix_parser*> parsers;
    for (std::size_t i = 0; i < threads_; ++i) {
      quorix_parser* parser = quorix_parser_new();
      if (parser == nullptr) break;
      parsers.push_back(parser);
    }
    if (parsers.empty()) {
      SetError("the parsers' memory could not be allocated");
      return;
    }
    std::atomic<std::size_t> next{0};
    const auto work = [this, &next](quorix_parser* parser) {
      for (std::size_t i = next++; i < inputs_.size(); i = next++) {
        statuses_[i] = parseInto(parser, inputs_[i].data(), inputs_[i].size(), fixed_ ? &clock_ : nullptr, encoded_[i]);
      }
    };
    std::vector<std::thread> pool;
    try {
      for (std::size_t i = 1; i < parsers.size(); ++i) pool.emplace_back(work, parsers[i]);
    } catch (const std::system_error&) {
      // Fewer threads than asked for: those that started and this one share the work.
    }
    work(parsers[0]);
    for (std::thread& thread : pool) thread.join();
    for (quorix_parser* parser : parsers) quorix_parser_free(parser);
  }

  void OnOK() override {
    Napi::Env env = Env();
    Napi::Array results = Napi::Array::New(env, inputs_.size());
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
      results.Set(static_cast<std::uint32_t>(i), toValue(env, statuses_[i], encoded_[i]));
    }
    deferred_.Resolve(results);
  }

  void OnError(const Napi::Error& error) override { deferred_.Reject(error.Value()); }

 private:
  Napi::Promise::Deferred deferred_;
  std::vector<std::string> inputs_;
  std::vector<std::int32_t> statuses_;
  std::vector<std::string> encoded_;
  std::size_t threads_;
  quorix_datetime clock_{};
  bool fixed_;
};

Napi::Value parseMany(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  if (!info[0].IsArray() || !info[1].IsNumber()) throw Napi::TypeError::New(env, "parseMany(inputs, threads)");
  const auto list = info[0].As<Napi::Array>();
  const std::int32_t threads = info[1].As<Napi::Number>().Int32Value();
  if (threads < 1) throw Napi::RangeError::New(env, "threads must be 1 or more");
  quorix_datetime clock{};
  const bool fixed = readClock(info[2], clock);
  std::vector<std::string> inputs(list.Length());
  std::u16string wide;
  std::string scratch;
  for (std::uint32_t i = 0; i < list.Length(); ++i) {
    const auto [data, size] = inputBytes(list.Get(i), wide, scratch);
    inputs[i].assign(data, size);
  }
  auto* worker =
      new ParseManyWorker(env, std::move(inputs), static_cast<std::size_t>(threads), fixed ? &clock : nullptr);
  const Napi::Promise promise = worker->promise();
  worker->Queue();  // the worker deletes itself once it has resolved or rejected
  return promise;
}

// answerChecks(input, clock, on, years): the input is parsed again with the clock of its first parse, which gives
// the same record, and the library answers for the day on: [expired, age or undefined, at least years], or the
// parse's status alone when it fails.
Napi::Value answerChecks(const Napi::CallbackInfo& info) {
  Napi::Env env = info.Env();
  std::u16string wide;
  std::string scratch;
  const auto [data, size] = inputBytes(info[0], wide, scratch);
  quorix_datetime clock{};
  const bool fixed = readClock(info[1], clock);
  quorix_datetime day{};
  if (!readClock(info[2], day)) throw Napi::TypeError::New(env, "a day to answer for is needed");
  const std::int32_t years = info[3].As<Napi::Number>().Int32Value();
  quorix_parser* parser = newParser(env);
  std::string unused;
  const std::int32_t status = parseInto(parser, data, size, fixed ? &clock : nullptr, unused);
  std::int32_t age = 0;
  const std::int32_t expired = quorix_is_expired(parser, &day);
  const std::int32_t ageStatus = quorix_age_on(parser, &day, &age);
  const std::int32_t atLeast = quorix_is_at_least(parser, years, &day);
  quorix_parser_free(parser);
  if (status != 0) return Napi::Number::New(env, status);
  if (expired < 0 || atLeast < 0) throw Napi::RangeError::New(env, "the day is out of range");
  Napi::Array answers = Napi::Array::New(env, 3);
  answers.Set(0u, Napi::Boolean::New(env, expired == 1));
  answers.Set(1u, ageStatus == 0 ? Napi::Number::New(env, age) : env.Undefined());
  answers.Set(2u, Napi::Boolean::New(env, atLeast == 1));
  return answers;
}

template <typename Count, typename Name>
Napi::Array names(Napi::Env env, Count count, Name name) {
  Napi::Array out = Napi::Array::New(env, static_cast<std::size_t>(count()));
  for (std::int32_t i = 0; i < count(); ++i) out.Set(static_cast<std::uint32_t>(i), Napi::String::New(env, name(i)));
  return out;
}

Napi::Object init(Napi::Env env, Napi::Object exports) {
  if (quorix_field_count() != kFieldCount || quorix_extra_count() != kExtraCount) {
    throw Napi::Error::New(env, "the addon was built against another version of the library");
  }
  exports.Set("NativeParser", NativeParser::define(env));
  exports.Set("parseMany", Napi::Function::New<parseMany>(env, "parseMany"));
  exports.Set("answerChecks", Napi::Function::New<answerChecks>(env, "answerChecks"));
  exports.Set("fieldNames", names(env, quorix_field_count, quorix_field_name));
  exports.Set("extraNames", names(env, quorix_extra_count, quorix_extra_name));
  exports.Set("repairNames", names(env, quorix_repair_count, quorix_repair_name));
  exports.Set("statusMessage", Napi::Function::New(env, [](const Napi::CallbackInfo& info) -> Napi::Value {
                return Napi::String::New(info.Env(), quorix_status_message(info[0].As<Napi::Number>().Int32Value()));
              }));
  exports.Set("version", Napi::String::New(env, quorix_version()));
  return exports;
}

}  // namespace

NODE_API_MODULE(quorix_addon, init)
