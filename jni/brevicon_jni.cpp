// The entry points of net.quorix.brevicon.Brevicon: they turn Java arguments into library calls and derived fields
// into Java fields, and hold no state of their own.
#include <jni.h>
#include <quorix/checks.h>
#include <quorix/extras.h>
#include <quorix/parser.h>
#include <quorix/quorix.h>
#include <quorix/repairs.h>
#include <quorix/result_fields.h>
#include <quorix/status.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "net_quorix_brevicon_Brevicon.h"

namespace quorix {
namespace {

// The handle is the instance's address; 0 means there is none.
ParserInstance* instanceFromHandle(jlong handle) {
  return reinterpret_cast<ParserInstance*>(static_cast<std::intptr_t>(handle));
}

// Field names are compile-time text without a NUL behind them, and GetFieldID wants one.
constexpr std::size_t kLongestJavaName = 32;
static_assert([] {
  for (const ResultField& field : kResultFields)
    if (field.javaName.size() >= kLongestJavaName) return false;
  return true;
}());

jfieldID findField(JNIEnv* env, jclass cls, std::string_view name, const char* signature) {
  char terminated[kLongestJavaName] = {};
  name.copy(terminated, name.size());
  jfieldID id = env->GetFieldID(cls, terminated, signature);
  return env->ExceptionCheck() ? nullptr : id;
}

const char* fieldSignature(const ResultField& field) { return field.flag != nullptr ? "I" : "Ljava/lang/String;"; }

// NewStringUTF reads modified UTF-8 and the bulk result is read as ISO-8859-1; a stray byte from 128 up becomes a
// space in both, as the parse already does with every such byte it keeps, so the two paths give the same strings.
void blankHighBytes(char* text) {
  for (char* c = text; *c != '\0'; ++c)
    if (static_cast<unsigned char>(*c) >= 128) *c = ' ';
}

// The derived text of a text field or extra in the instance's text buffer, or null when it yields none.
const char* derivedText(FieldDerivation derivation, ParserInstance& instance) {
  const DerivationBuffer buffer = derivationBuffer(instance);
  char* text = buffer.data;
  if (derivation(parsedRecord(instance), text, buffer.size) != kStatusOk || text[0] == '\0') return nullptr;
  text[buffer.size - 1] = '\0';  // whatever a derivation wrote, the reads below stop inside the buffer
  blankHighBytes(text);
  return text;
}

// Writes one derived field. A field without a value is left as the caller had it. cachedId, when not null, is
// the field's id in the result's class; null means look it up (which raises NoSuchFieldError when it is missing).
Status writeField(JNIEnv* env, jclass cls, jobject result, const ResultField& field, ParserInstance& instance,
                  jfieldID cachedId = nullptr) {
  if (field.flag != nullptr) {
    std::int32_t value = 0;
    if (field.flag(parsedRecord(instance), &value) != kStatusOk) return kStatusOk;
    jfieldID id = cachedId != nullptr ? cachedId : findField(env, cls, field.javaName, "I");
    if (id == nullptr) return kStatusHostError;
    env->SetIntField(result, id, value == 1 ? 1 : 0);
    return kStatusOk;
  }
  const char* text = derivedText(field.text, instance);
  if (text == nullptr) return kStatusOk;
  jfieldID id = cachedId != nullptr ? cachedId : findField(env, cls, field.javaName, fieldSignature(field));
  if (id == nullptr) return kStatusHostError;
  jstring value = env->NewStringUTF(text);
  if (value == nullptr) return kStatusHostError;
  env->SetObjectField(result, id, value);
  env->DeleteLocalRef(value);
  return kStatusOk;
}

// The bulk result: every value of a parse in one direct buffer, in native byte order, so that Java reads it with
// one copy instead of a JNI call per field. All numbers are int32:
//   needed (bytes the whole result takes), group, decoder id, repair bits, native bytes the instance holds;
//   per result field in kResultFields order: a text as its length (-1: none) and its bytes, a flag as its value
//   (-1: none); the standard's text; per extra in kExtraFields order, a text.
// Nothing is written past the capacity; needed says how much room a complete result wants.
class BulkWriter {
 public:
  BulkWriter(char* out, std::int64_t capacity) : out_(out), capacity_(capacity) {}

  void putInt(std::int32_t value) { put(&value, sizeof value); }
  void putText(const char* text) {
    if (text == nullptr) return putInt(-1);
    const std::size_t length = std::strlen(text);
    putInt(static_cast<std::int32_t>(length));
    put(text, length);
  }
  // A slot's bytes, read by length, with what blankHighBytes would blank blanked (and a NUL too).
  void putSpan(const char* data, std::int32_t length) {
    putInt(length);
    for (std::int32_t i = 0; i < length; ++i) {
      const char byte = static_cast<unsigned char>(data[i]) >= 128 || data[i] == '\0' ? ' ' : data[i];
      put(&byte, 1);
    }
  }
  [[nodiscard]] std::int64_t used() const { return used_; }
  void putIntAt(std::int64_t at, std::int32_t value) {
    if (at + std::int64_t{sizeof value} <= capacity_) std::memcpy(out_ + at, &value, sizeof value);
  }

 private:
  void put(const void* data, std::size_t size) {
    if (used_ + static_cast<std::int64_t>(size) <= capacity_) std::memcpy(out_ + used_, data, size);
    used_ += static_cast<std::int64_t>(size);
  }

  char* out_;
  std::int64_t capacity_;
  std::int64_t used_ = 0;
};

// Writes the latest result into out; returns the bytes it needs (more than capacity: nothing usable was written)
// or, above INT32_MAX, -21.
jint writeBulkResult(ParserInstance& instance, char* out, std::int64_t capacity) {
  BulkWriter writer(out, capacity);
  writer.putInt(0);
  const FieldRecord& record = parsedRecord(instance);
  writer.putInt(recordGroup(record));
  writer.putInt(recordDecoderId(record));
  writer.putInt(static_cast<std::int32_t>(parsedRepairs(instance)));
  writer.putInt(static_cast<std::int32_t>(std::min<std::int64_t>(heldBytes(instance), INT32_MAX)));
  struct Fields {
    BulkWriter& writer;
    char* textBuffer;
  } fields{.writer = writer, .textBuffer = derivationBuffer(instance).data};
  deriveFieldValues(
      instance,
      [](void* context, std::int32_t i, const FieldValue& value) {
        auto& to = *static_cast<Fields*>(context);
        if (kResultFields[i].flag != nullptr) return to.writer.putInt(value.present ? value.flag : -1);
        if (!value.present) return to.writer.putInt(-1);
        blankHighBytes(to.textBuffer);  // the value's text, which starts the buffer
        to.writer.putText(to.textBuffer);
      },
      &fields);
  const TextSpan standard = recordSlot(record, SLOT_STANDARD);
  if (standard.filled()) {
    writer.putSpan(standard.data, standard.length);
  } else {
    writer.putInt(-1);
  }
  for (const ExtraField& extra : kExtraFields) writer.putText(derivedText(extra.text, instance));
  if (writer.used() > INT32_MAX) return kStatusBadArgument;
  const auto needed = static_cast<jint>(writer.used());
  writer.putIntAt(0, needed);
  return needed;
}

// The bulk result of the latest parse of a C interface handle (the image path parses through one), in the layout
// writeBulkResult gives; the handle keeps no byte count of its own, so that slot is 0.
jint writeBulkResult(const quorix_parser* parser, char* out, std::int64_t capacity) {
  BulkWriter writer(out, capacity);
  const auto putText = [&writer](const char* text) {
    if (text == nullptr) return writer.putInt(-1);
    writer.putSpan(text, static_cast<std::int32_t>(std::strlen(text)));
  };
  writer.putInt(0);
  writer.putInt(quorix_decoder_group(parser));
  writer.putInt(quorix_decoder_id(parser));
  writer.putInt(static_cast<std::int32_t>(quorix_repairs(parser)));
  writer.putInt(0);
  for (std::int32_t i = 0; i < quorix_field_count(); ++i) {
    if (kResultFields[i].flag != nullptr) {
      writer.putInt(quorix_indicator(parser, i));
    } else {
      putText(quorix_field(parser, i));
    }
  }
  putText(quorix_standard(parser));
  for (std::int32_t i = 0; i < quorix_extra_count(); ++i) putText(quorix_extra(parser, quorix_extra_name(i)));
  if (writer.used() > INT32_MAX) return kStatusBadArgument;
  const auto needed = static_cast<jint>(writer.used());
  writer.putIntAt(0, needed);
  return needed;
}

quorix_parser* imageParserFromHandle(jlong handle) {
  return reinterpret_cast<quorix_parser*>(static_cast<std::intptr_t>(handle));
}

// A clock value from Java: YYYYMMDDhhmmss, or -1 for the local clock.
DateTime dateTimeFromJava(jlong now) {
  return {.year = static_cast<std::int32_t>(now / 10000000000),
          .month = static_cast<std::int32_t>(now / 100000000 % 100),
          .day = static_cast<std::int32_t>(now / 1000000 % 100),
          .hour = static_cast<std::int32_t>(now / 10000 % 100),
          .minute = static_cast<std::int32_t>(now / 100 % 100),
          .second = static_cast<std::int32_t>(now % 100)};
}

Status parseAt(ParserInstance& instance, const char* input, jint length, jlong now) {
  if (now < 0) return parseBuffer(&instance, input, length);
  return parseBufferAt(&instance, input, length, dateTimeFromJava(now));
}

// A Java String[] of the names, or null with an exception pending.
jobjectArray stringArray(JNIEnv* env, const std::string_view* names, std::size_t count) {
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  jobjectArray array = env->NewObjectArray(static_cast<jsize>(count), stringClass, nullptr);
  env->DeleteLocalRef(stringClass);
  for (std::size_t i = 0; array != nullptr && i < count; ++i) {
    char terminated[64] = {};
    names[i].copy(terminated, std::min(names[i].size(), sizeof terminated - 1));
    jstring name = env->NewStringUTF(terminated);
    if (name == nullptr) return nullptr;
    env->SetObjectArrayElement(array, static_cast<jsize>(i), name);
    env->DeleteLocalRef(name);
  }
  return array;
}

}  // namespace
}  // namespace quorix

using quorix::kStatusBadArgument;
using quorix::kStatusHostError;
using quorix::kStatusNoInput;
using quorix::kStatusOk;

extern "C" {

// 0 when the instance cannot be allocated; the Java class turns that into an error.
JNIEXPORT jlong JNICALL Java_net_quorix_brevicon_Brevicon_createNativeInstance(JNIEnv*, jclass) {
  return static_cast<jlong>(reinterpret_cast<std::intptr_t>(quorix::createInstance()));
}

JNIEXPORT void JNICALL Java_net_quorix_brevicon_Brevicon_destroyNativeInstance(JNIEnv*, jclass, jlong handle) {
  quorix::destroyInstance(quorix::instanceFromHandle(handle));
}

// Arguments are checked before anything is read: a null buffer or one that is not direct gives -11, a missing
// instance or result object, or a length beyond the buffer's capacity, -21. On -27 the Java exception stays pending.
JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeParse(JNIEnv* env, jclass, jlong handle, jobject result,
                                                                     jobject buffer, jint length) {
  quorix::ParserInstance* instance = quorix::instanceFromHandle(handle);
  if (instance == nullptr) return kStatusBadArgument;
  if (buffer == nullptr) return kStatusNoInput;
  if (result == nullptr) return kStatusBadArgument;
  const auto* input = static_cast<const char*>(env->GetDirectBufferAddress(buffer));
  if (input == nullptr) return kStatusNoInput;
  if (static_cast<jlong>(length) > env->GetDirectBufferCapacity(buffer)) return kStatusBadArgument;

  if (quorix::Status status = quorix::parseBuffer(instance, input, length); status != kStatusOk) return status;

  jclass cls = env->GetObjectClass(result);
  if (env->ExceptionCheck() || cls == nullptr) return kStatusHostError;
  for (const quorix::ResultField& field : quorix::kResultFields) {
    if (quorix::Status status = quorix::writeField(env, cls, result, field, *instance); status != kStatusOk) {
      env->DeleteLocalRef(cls);
      return status;
    }
  }
  env->DeleteLocalRef(cls);
  quorix::releaseLargeBuffers(instance);
  return kStatusOk;
}

// The id of each result field in cls, in kResultFields order; 0 where cls lacks the field (the lookup's error is
// cleared: it is raised again by the parse that needs the field).
JNIEXPORT jlongArray JNICALL Java_net_quorix_brevicon_Brevicon_nativeFieldIds(JNIEnv* env, jclass, jclass cls) {
  constexpr auto kCount = static_cast<jsize>(std::size(quorix::kResultFields));
  jlong ids[kCount] = {};
  for (jsize i = 0; i < kCount && cls != nullptr; ++i) {
    const quorix::ResultField& field = quorix::kResultFields[i];
    jfieldID id = quorix::findField(env, cls, field.javaName, quorix::fieldSignature(field));
    if (env->ExceptionCheck()) env->ExceptionClear();
    ids[i] = static_cast<jlong>(reinterpret_cast<std::intptr_t>(id));
  }
  jlongArray array = env->NewLongArray(kCount);
  if (array != nullptr) env->SetLongArrayRegion(array, 0, kCount, ids);
  return array;
}

// nativeParse with the field ids of nativeFieldIds for the result's class and a clock (YYYYMMDDhhmmss, or -1 for
// the local one). A field with a value and id 0 is looked up by name, so its NoSuchFieldError stays pending (-27).
JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeParseFields(JNIEnv* env, jclass, jlong handle,
                                                                           jobject result, jobject buffer, jint length,
                                                                           jlongArray fieldIds, jlong now) {
  quorix::ParserInstance* instance = quorix::instanceFromHandle(handle);
  if (instance == nullptr) return kStatusBadArgument;
  if (buffer == nullptr) return kStatusNoInput;
  constexpr auto kCount = static_cast<jsize>(std::size(quorix::kResultFields));
  if (result == nullptr || fieldIds == nullptr || env->GetArrayLength(fieldIds) != kCount) return kStatusBadArgument;
  const auto* input = static_cast<const char*>(env->GetDirectBufferAddress(buffer));
  if (input == nullptr) return kStatusNoInput;
  if (static_cast<jlong>(length) > env->GetDirectBufferCapacity(buffer)) return kStatusBadArgument;
  jlong ids[kCount];
  env->GetLongArrayRegion(fieldIds, 0, kCount, ids);

  if (quorix::Status status = quorix::parseAt(*instance, input, length, now); status != kStatusOk) return status;

  jclass cls = env->GetObjectClass(result);
  if (env->ExceptionCheck() || cls == nullptr) return kStatusHostError;
  quorix::Status status = kStatusOk;
  for (jsize i = 0; i < kCount && status == kStatusOk; ++i) {
    auto* id = reinterpret_cast<jfieldID>(static_cast<std::intptr_t>(ids[i]));
    status = quorix::writeField(env, cls, result, quorix::kResultFields[i], *instance, id);
  }
  env->DeleteLocalRef(cls);
  if (status == kStatusOk) quorix::releaseLargeBuffers(instance);
  return status;
}

// Parses and writes the bulk result into out (a direct buffer). 0 when the parse succeeded: the result is complete
// when its first int32 is at most out's capacity, else call nativeWriteResult with a buffer that large. Otherwise
// the parse's status; -11 and -21 as nativeParse, checked before anything is read.
JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeParseInto(JNIEnv* env, jclass, jlong handle,
                                                                         jobject buffer, jint length, jobject out,
                                                                         jlong now) {
  quorix::ParserInstance* instance = quorix::instanceFromHandle(handle);
  if (instance == nullptr) return kStatusBadArgument;
  if (buffer == nullptr) return kStatusNoInput;
  if (out == nullptr) return kStatusBadArgument;
  const auto* input = static_cast<const char*>(env->GetDirectBufferAddress(buffer));
  auto* result = static_cast<char*>(env->GetDirectBufferAddress(out));
  if (input == nullptr) return kStatusNoInput;
  const jlong capacity = env->GetDirectBufferCapacity(out);
  if (result == nullptr || capacity < 4 || static_cast<jlong>(length) > env->GetDirectBufferCapacity(buffer)) {
    return kStatusBadArgument;
  }

  if (quorix::Status status = quorix::parseAt(*instance, input, length, now); status != kStatusOk) return status;
  const jint needed = quorix::writeBulkResult(*instance, result, capacity);
  if (needed < 0) return needed;
  if (needed <= capacity) quorix::releaseLargeBuffers(instance);
  return kStatusOk;
}

// Writes the latest result again, into a buffer grown as nativeParseInto asked; returns the bytes it took, or -21.
JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeWriteResult(JNIEnv* env, jclass, jlong handle,
                                                                           jobject out) {
  quorix::ParserInstance* instance = quorix::instanceFromHandle(handle);
  auto* result = out != nullptr ? static_cast<char*>(env->GetDirectBufferAddress(out)) : nullptr;
  if (instance == nullptr || result == nullptr) return kStatusBadArgument;
  const jint needed = quorix::writeBulkResult(*instance, result, env->GetDirectBufferCapacity(out));
  quorix::releaseLargeBuffers(instance);
  return needed;
}

// Inputs longer than maxLength are refused with -29; 0 lifts the limit.
JNIEXPORT void JNICALL Java_net_quorix_brevicon_Brevicon_nativeSetMaxInputLength(JNIEnv*, jclass, jlong handle,
                                                                                 jint maxLength) {
  if (quorix::ParserInstance* instance = quorix::instanceFromHandle(handle); instance != nullptr) {
    quorix::setMaxInputLength(*instance, maxLength);
  }
}

// Pictures are parsed through a C interface handle of their own, made on the first picture: it carries the
// image component where the library was built with it, and says -30 where not.
JNIEXPORT jboolean JNICALL Java_net_quorix_brevicon_Brevicon_nativeImageSupported(JNIEnv*, jclass) {
  return quorix_image_supported() == 1 ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jlong JNICALL Java_net_quorix_brevicon_Brevicon_createImageParser(JNIEnv*, jclass) {
  return static_cast<jlong>(reinterpret_cast<std::intptr_t>(quorix_parser_new()));
}

JNIEXPORT void JNICALL Java_net_quorix_brevicon_Brevicon_destroyImageParser(JNIEnv*, jclass, jlong handle) {
  quorix_parser_free(quorix::imageParserFromHandle(handle));
}

// Parses the picture in pixels (a direct buffer of height rows, rowStride bytes apart) and writes the bulk result
// into out as nativeParseInto does, the symbol's corners into corners (8 ints) and returns the status; 0 with a
// result larger than out: call nativeWriteImageResult. -11 and -21 for arguments, checked before anything is read.
JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeParseImageInto(JNIEnv* env, jclass, jlong handle,
                                                                              jobject pixels, jint width, jint height,
                                                                              jint rowStride, jint pixelFormat,
                                                                              jobject out, jlong now,
                                                                              jintArray corners) {
  quorix_parser* parser = quorix::imageParserFromHandle(handle);
  if (parser == nullptr || out == nullptr || corners == nullptr || env->GetArrayLength(corners) != 8) {
    return kStatusBadArgument;
  }
  if (pixels == nullptr) return kStatusNoInput;
  const auto* data = static_cast<const std::uint8_t*>(env->GetDirectBufferAddress(pixels));
  auto* result = static_cast<char*>(env->GetDirectBufferAddress(out));
  if (data == nullptr) return kStatusNoInput;
  const jlong capacity = env->GetDirectBufferCapacity(out);
  if (result == nullptr || capacity < 4 || height < 1 || rowStride < 1 ||
      static_cast<jlong>(height) * rowStride > env->GetDirectBufferCapacity(pixels)) {
    return kStatusBadArgument;
  }
  quorix::Status status = quorix::kStatusOk;
  if (now < 0) {
    status = quorix_parse_image(parser, data, width, height, rowStride, pixelFormat);
  } else {
    const quorix::DateTime t = quorix::dateTimeFromJava(now);
    const quorix_datetime time{t.year, t.month, t.day, t.hour, t.minute, t.second};
    status = quorix_parse_image_at(parser, data, width, height, rowStride, pixelFormat, &time);
  }
  jint position[8] = {};
  if (quorix_symbol_position(parser, position) == kStatusOk) env->SetIntArrayRegion(corners, 0, 8, position);
  if (status != kStatusOk) return status;
  const jint needed = quorix::writeBulkResult(parser, result, capacity);
  return needed < 0 ? needed : kStatusOk;
}

JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeWriteImageResult(JNIEnv* env, jclass, jlong handle,
                                                                                jobject out) {
  quorix_parser* parser = quorix::imageParserFromHandle(handle);
  auto* result = out != nullptr ? static_cast<char*>(env->GetDirectBufferAddress(out)) : nullptr;
  if (parser == nullptr || result == nullptr) return kStatusBadArgument;
  return quorix::writeBulkResult(parser, result, env->GetDirectBufferCapacity(out));
}

// The latest picture's symbol format ("PDF417", ...), or null when none was read.
JNIEXPORT jstring JNICALL Java_net_quorix_brevicon_Brevicon_nativeSymbolFormat(JNIEnv* env, jclass, jlong handle) {
  const char* format = quorix_symbol_format(quorix::imageParserFromHandle(handle));
  return format != nullptr ? env->NewStringUTF(format) : nullptr;
}

JNIEXPORT jobjectArray JNICALL Java_net_quorix_brevicon_Brevicon_nativeRepairNames(JNIEnv* env, jclass) {
  std::string_view names[std::size(quorix::kRepairNames)];
  for (std::size_t i = 0; i < std::size(names); ++i) names[i] = quorix::kRepairNames[i].name;
  return quorix::stringArray(env, names, std::size(names));
}

JNIEXPORT jobjectArray JNICALL Java_net_quorix_brevicon_Brevicon_nativeExtraNames(JNIEnv* env, jclass) {
  std::string_view names[std::size(quorix::kExtraFields)];
  for (std::size_t i = 0; i < std::size(names); ++i) names[i] = quorix::kExtraFields[i].name;
  return quorix::stringArray(env, names, std::size(names));
}

// The checks over a card's dates, each a YYYYMMDD number or 0 for none.
JNIEXPORT jboolean JNICALL Java_net_quorix_brevicon_Brevicon_nativeIsExpired(JNIEnv*, jclass, jint expiry, jint on) {
  return quorix::isExpired(quorix::CardDates{.expiry = expiry}, on) ? JNI_TRUE : JNI_FALSE;
}

// The age, or -1 when it is not known.
JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeAgeOn(JNIEnv*, jclass, jint birth, jint on) {
  std::int32_t age = 0;
  return quorix::ageOn(quorix::CardDates{.birth = birth}, on, &age) == kStatusOk ? age : -1;
}

JNIEXPORT jboolean JNICALL Java_net_quorix_brevicon_Brevicon_nativeIsAtLeast(JNIEnv*, jclass, jint years, jint on,
                                                                             jint birth, jint under18, jint under19,
                                                                             jint under21) {
  const quorix::CardDates dates{
      .birth = birth, .under18Until = under18, .under19Until = under19, .under21Until = under21};
  return quorix::isAtLeast(dates, years, on) ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeGetMajorVersion(JNIEnv*, jclass) {
  return quorix::kMajorVersion;
}

JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeGetMinorVersion(JNIEnv*, jclass) {
  return quorix::kMinorVersion;
}

JNIEXPORT jint JNICALL Java_net_quorix_brevicon_Brevicon_nativeGetBuildVersion(JNIEnv*, jclass) {
  return quorix::kBuildVersion;
}

JNIEXPORT jstring JNICALL Java_net_quorix_brevicon_Brevicon_nativeGetVersion(JNIEnv* env, jclass) {
  return env->NewStringUTF(quorix::kVersionText);
}

}  // extern "C"
