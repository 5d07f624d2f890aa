// The entry points of net.quorix.brevicon.Brevicon: they turn Java arguments into library calls and derived fields
// into Java fields, and hold no state of their own.
#include <jni.h>
#include <quorix/parser.h>
#include <quorix/result_fields.h>
#include <quorix/status.h>

#include <cstddef>
#include <cstdint>
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

// Writes one derived field. A field without a value is left as the caller had it.
Status writeField(JNIEnv* env, jclass cls, jobject result, const ResultField& field, ParserInstance& instance) {
  if (field.flag != nullptr) {
    std::int32_t value = 0;
    if (field.flag(instance.record, &value) != kStatusOk) return kStatusOk;
    jfieldID id = findField(env, cls, field.javaName, "I");
    if (id == nullptr) return kStatusHostError;
    env->SetIntField(result, id, value == 1 ? 1 : 0);
    return kStatusOk;
  }
  char* text = instance.textBuffer;
  if (field.text(instance.record, text, instance.textBufferSize) != kStatusOk || text[0] == '\0') return kStatusOk;
  text[instance.textBufferSize - 1] = '\0';  // whatever a derivation wrote, the reads below stop inside the buffer
  jfieldID id = findField(env, cls, field.javaName, "Ljava/lang/String;");
  if (id == nullptr) return kStatusHostError;
  // NewStringUTF reads modified UTF-8; a stray byte from 128 up would be half a sequence, so it becomes a space,
  // as the parse already does with every such byte it keeps.
  for (char* c = text; *c != '\0'; ++c)
    if (static_cast<unsigned char>(*c) >= 128) *c = ' ';
  jstring value = env->NewStringUTF(text);
  if (value == nullptr) return kStatusHostError;
  env->SetObjectField(result, id, value);
  env->DeleteLocalRef(value);
  return kStatusOk;
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
  return kStatusOk;
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
