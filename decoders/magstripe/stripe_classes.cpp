// The stores of the stripe hooks that filter or format a value before it reaches the record.
#include "decoders/magstripe/stripe_classes.h"

#include <cstdint>

#include "core/text_utils.h"

namespace quorix {
namespace {

std::int32_t freeRoom(const FieldRecord& record) {
  return record.arena == nullptr ? 0 : record.arenaSize - record.arenaUsed;
}

void putDigits(char* out, std::int32_t value, std::int32_t width) {
  for (std::int32_t i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

void storeFiltered(FieldRecord& record, std::int32_t slot, TextSpan value, const StripeFilter& filter) {
  // The runs the hooks cut are at most 255 bytes; anything longer goes through the setter's own filter.
  char filtered[256];
  if (value.length > static_cast<std::int32_t>(sizeof filtered)) {
    setSlotIf(record, slot, value, filter.excludeIf, filter.squeezeIf, filter.replacement);
    return;
  }
  const std::uint32_t keep = filter.keep;
  const std::uint32_t squeeze = filter.squeeze;
  const char replacement = filter.replacement;
  const char* const data = value.filled() ? value.data : nullptr;
  const std::int32_t length = data != nullptr ? value.length : 0;
  std::int32_t written = 0;
  for (std::int32_t i = 0; i < length; ++i) {
    char c = data[i];
    std::uint32_t classes = stripeClassesOf(c);
    if ((classes & keep) == 0) {
      if (replacement == '\0') continue;
      c = replacement;
      classes = stripeClassesOf(c);
    }
    if ((classes & squeeze) != 0 && written > 0 && filtered[written - 1] == c) continue;
    filtered[written++] = c;
  }
  storePlain(record, slot, TextSpan{filtered, written});
}

void storePlain(FieldRecord& record, std::int32_t slot, TextSpan value) {
  setSlot(record, slot, value, nullptr, nullptr, '\0');
}

void storeCheckedDate(FieldRecord& record, std::int32_t slot, const DateTime& date) {
  if (slot < 0 || slot >= kSlotCount || freeRoom(record) < 8) return;
  char digits[8];
  putDigits(digits, date.year, 4);
  putDigits(digits + 4, date.month, 2);
  putDigits(digits + 6, date.day, 2);
  storePlain(record, slot, TextSpan{digits, 8});
}

}  // namespace quorix
