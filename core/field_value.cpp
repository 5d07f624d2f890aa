// One result field's value after a parse, read the same way by the tool and every binding.
#include <quorix/result_fields.h>

#include <cstring>

namespace quorix {

FieldValue deriveFieldValue(ParserInstance& instance, const ResultField& field) {
  if (field.flag != nullptr) {
    std::int32_t value = 0;
    if (field.flag(instance.record, &value) != kStatusOk) return {};
    // The indicator is yes only for a 1; any other value the document carries reads as no.
    return {.present = true, .text = {}, .flag = value == 1 ? 1 : 0};
  }
  const std::string_view text = deriveIntoTextBuffer(instance, field.text);
  if (text.empty()) return {};
  return {.present = true, .text = text, .flag = 0};
}

std::string_view deriveIntoTextBuffer(ParserInstance& instance, FieldDerivation derivation) {
  char* out = instance.textBuffer;
  if (out == nullptr || instance.textBufferSize < 1) return {};
  if (derivation(instance.record, out, instance.textBufferSize) != kStatusOk || out[0] == '\0') return {};
  out[instance.textBufferSize - 1] = '\0';  // whatever a derivation wrote, the read below stops inside the buffer
  return {out, std::strlen(out)};
}

}  // namespace quorix
