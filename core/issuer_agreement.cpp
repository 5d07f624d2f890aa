// Issuer agreement: rewards a row whose result carries the country and jurisdiction it expects.
#include "core/selection.h"

namespace quorix {

// TODO(#4): compare the derived country and jurisdiction codes once those derivations exist.
std::int32_t issuerAgreement(const DecoderEntry& /*row*/, const FieldRecord& /*record*/, char* /*scratch*/,
                             std::int32_t /*room*/) {
  return 0;
}

}  // namespace quorix
