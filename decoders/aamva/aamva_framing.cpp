// Mends the framing of AAMVA texts: where the compliance mark stands, which bytes before the file-type word are the
// separators, and which bytes from 0x80 up a reader slipped into the header and the element ids.
#include "decoders/aamva/aamva_framing.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "core/transliterate.h"

namespace quorix {
namespace {

// Bytes between the compliance mark and the file-type word that a damaged header may hold.
constexpr std::int32_t kMaxSeparatorRun = 16;

unsigned char byteOf(char c) { return static_cast<unsigned char>(c); }
bool isHigh(char c) { return byteOf(c) >= 0x80; }
bool isControl(char c) { return byteOf(c) < 0x20; }
// No letter of Latin-1 or the first byte of a UTF-8 letter lies here; readers use these as their own markers.
bool isC1Control(char c) { return byteOf(c) >= 0x80 && byteOf(c) < 0xA0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }
// The exact-byte rows see the case the card has.
bool isLetter(char c) { return isCapital(c) || (c >= 'a' && c <= 'z'); }

bool wordAt(const char* text, std::int32_t length, std::int32_t at, std::string_view word) {
  return at + std::ssize(word) <= length && std::string_view(text + at, word.size()) == word;
}

// Where the file-type word ("ANSI", "AAMVA", or "AMVA" with one "A" lost) starts behind the mark, or -1.
std::int32_t fileTypeWord(const char* text, std::int32_t length, std::int32_t mark, std::int32_t& wordLength) {
  const std::int32_t last = std::min(length - 1, mark + 1 + kMaxSeparatorRun);
  for (std::int32_t at = mark + 1; at <= last; ++at) {
    for (const std::string_view word :
         {std::string_view("ANSI"), std::string_view("AAMVA"), std::string_view("AMVA")}) {
      if (!wordAt(text, length, at, word)) continue;
      wordLength = static_cast<std::int32_t>(word.size());
      return at;
    }
  }
  return -1;
}

// The end of the header numbers and subfile designators (two capitals and eight digits each) behind the word, high
// bytes among them passed over: where the first subfile's type stands.
std::int32_t directoryEnd(const char* text, std::int32_t length, std::int32_t from) {
  std::int32_t at = from;
  while (at < length && (isDigit(text[at]) || text[at] == ' ' || isHigh(text[at]))) ++at;
  for (;;) {
    std::int32_t next = at;
    std::int32_t read = 0;
    while (next < length && read < 10) {
      const char c = text[next];
      if (!isHigh(c)) {
        if (read < 2 ? !isCapital(c) : !isDigit(c)) break;
        ++read;
      }
      ++next;
    }
    if (read < 10) return at;
    at = next;
  }
}

// Behind a separator: the end of an element id (a letter, then two letters or digits) that high bytes precede or
// split; from itself when no such id stands there.
std::int32_t strayIdEnd(const char* text, std::int32_t length, std::int32_t from) {
  std::int32_t at = from;
  std::int32_t found = 0;
  bool stray = false;
  while (at < length && found < 3) {
    const char c = text[at++];
    if (isHigh(c)) {
      stray = true;
      continue;
    }
    if (found == 0 ? !isLetter(c) : !isLetter(c) && !isDigit(c)) return from;
    ++found;
  }
  return found == 3 && stray ? at : from;
}

// Calls keep for every byte of text[from, length) that is not stray and returns how many were dropped: high bytes
// in the header numbers and directory (before directory), high bytes in front of or inside an element id behind a
// separator, and runs of C1 controls touching a separator. Values keep their bytes. Reads only from the current
// byte on, so keep may write into text behind it.
template <typename Keep>
std::int32_t keepStructure(const char* text, std::int32_t length, std::int32_t from, std::int32_t directory,
                           Keep keep) {
  std::int32_t dropped = 0;
  std::int32_t dropUntil = directory;
  bool afterSeparator = false;
  for (std::int32_t i = from; i < length;) {
    const char c = text[i];
    if (!isHigh(c)) {
      keep(c);
      ++i;
      afterSeparator = isControl(c);
      if (afterSeparator && i >= directory) dropUntil = std::max(dropUntil, strayIdEnd(text, length, i));
      continue;
    }
    if (i < dropUntil) {
      ++dropped;
      ++i;
      continue;
    }
    // A letter in UTF-8 ends in a byte that looks like a C1 control; it is a value's letter, not a stray byte.
    if (const LetterAt letter = letterAt(text, length, i); letter.bytes == 2 && !letter.ascii.empty()) {
      keep(c);
      keep(text[i + 1]);
      i += 2;
      afterSeparator = false;
      continue;
    }
    std::int32_t end = i;
    while (end < length && isC1Control(text[end])) ++end;
    if (end == i) {
      keep(c);
      ++i;
    } else if (afterSeparator || (end < length && isControl(text[end]))) {
      dropped += end - i;
      i = end;
    } else {
      for (; i < end; ++i) keep(text[i]);
    }
    afterSeparator = false;
  }
  return dropped;
}

// The separator the body puts in front of its element ids: the control byte that most often stands before a "D"
// and two capitals (high bytes passed over); '\0' when none does.
char bodySeparator(const char* text, std::int32_t length, std::int32_t from) {
  std::array<std::int32_t, 32> counts{};
  for (std::int32_t i = from; i < length; ++i) {
    if (!isControl(text[i]) || text[i] == '\0') continue;
    std::int32_t id = i + 1;
    while (id < length && id - i <= 4 && isHigh(text[id])) ++id;
    if (id + 3 <= length && text[id] == 'D' && isCapital(text[id + 1]) && isCapital(text[id + 2])) {
      ++counts[byteOf(text[i])];
    }
  }
  const auto best = std::max_element(counts.begin(), counts.end());
  return *best > 0 ? static_cast<char>(best - counts.begin()) : '\0';
}

// The separator runs that the normaliser turns into line feed, record separator, carriage return.
bool normaliserMendsHeader(std::string_view separators) {
  constexpr std::string_view kDamaged[] = {"\r\r\n\r\r\n", "\r\n\x1e\r\n", "\n \n", "\n\n", "\n\r"};
  return std::find(std::begin(kDamaged), std::end(kDamaged), separators) != std::end(kDamaged);
}

// Whether the separators in front of the file-type word would cut the values where no element ends. A three-byte
// header cuts at its first and third byte, a two-byte one (a layout that lost one) at both; a record separator that
// is a letter cuts nothing. A header with one separator or none is read by no layout.
bool separatorsDamaged(std::string_view separators) {
  const auto letter = [&](std::size_t at) { return !isControl(separators[at]); };
  switch (separators.size()) {
    case 0:
    case 1:
      return true;
    case 2:
      return letter(0) || letter(1);
    case 3:
      return letter(0) || letter(2);
    default:
      return std::any_of(separators.begin(), separators.end(), [](char c) { return !isControl(c); });
  }
}

struct FramingPlan {
  std::int32_t word = -1;       // where the file-type word stands in the text
  std::int32_t directory = -1;  // where the directory ends
  std::array<char, kMaxSeparatorRun> head = {};
  std::int32_t headLength = 0;  // separators written between the mark and the word
  std::int32_t length = 0;      // of the mended text
  std::int32_t shift = 0;       // how far the text moves right before the mend, when the header grows
  RepairSet repairs = 0;
};

FramingPlan planFraming(const char* text, std::int32_t length, AamvaTextKind kind) {
  FramingPlan plan;
  const auto* found = static_cast<const char*>(
      std::memchr(text, '@', static_cast<std::size_t>(std::min(length, kMaxScannerPrefix + 1))));
  if (found == nullptr) return plan;
  const auto mark = static_cast<std::int32_t>(found - text);
  std::int32_t wordLength = 0;
  plan.word = fileTypeWord(text, length, mark, wordLength);
  if (plan.word < 0) return plan;
  // Where the directory ends matters only to a text that needs mending, which most do not.
  const auto directory = [&] {
    if (plan.directory < 0) plan.directory = directoryEnd(text, length, plan.word + wordLength);
    return plan.directory;
  };

  bool strayInHead = false;
  for (std::int32_t i = mark + 1; i < plan.word; ++i) {
    if (isHigh(text[i])) {
      strayInHead = true;
    } else {
      plan.head[static_cast<std::size_t>(plan.headLength++)] = text[i];
    }
  }
  const std::string_view kept(plan.head.data(), static_cast<std::size_t>(plan.headLength));
  char separator = '\0';
  if (kind == AamvaTextKind::kNormalised && strayInHead && normaliserMendsHeader(kept)) {
    separator = '\n';
  } else if (separatorsDamaged(kept)) {
    // The body's own separator frames the text instead.
    separator = bodySeparator(text, length, directory());
    if (separator != '\0') plan.repairs |= kRepairHeaderSeparatorsRepaired;
  }
  if (separator != '\0') {
    plan.head = {separator, '\x1e', separator == '\r' ? '\n' : '\r'};
    plan.headLength = 3;
  }

  // Most texts hold no byte from 0x80 up at all; one pass that the compiler can widen tells.
  unsigned char any = 0;
  for (std::int32_t i = plan.word; i < length; ++i) any = static_cast<unsigned char>(any | byteOf(text[i]));
  const std::int32_t dropped =
      isHigh(static_cast<char>(any)) ? keepStructure(text, length, plan.word, directory(), [](char) {}) : 0;
  if (mark > 0) plan.repairs |= kRepairPrefixRemoved;
  if (strayInHead || dropped > 0) plan.repairs |= kRepairStrayBytesDropped;
  if (plan.repairs != 0) (void)directory();
  plan.length = 1 + plan.headLength + (length - plan.word) - dropped;
  plan.shift = std::max(1 + plan.headLength - plan.word, 0);
  return plan;
}

}  // namespace

RepairSet reframeAamvaText(const char* text, std::int32_t length, std::int32_t room, AamvaTextKind kind, char* edit,
                           std::int32_t* editedLength) {
  if (text == nullptr || length < 1 || room < 1) return 0;
  const FramingPlan plan = planFraming(text, length, kind);
  if (plan.repairs == 0 || plan.length > room || std::int64_t{length} + plan.shift > room) return 0;
  if (edit == nullptr) return plan.repairs;

  // The mended text is never written ahead of the byte being read: a header that grows moves the text right first.
  if (plan.shift > 0) std::memmove(edit + plan.shift, edit, static_cast<std::size_t>(length));
  const char* source = edit + plan.shift;
  std::int32_t written = 1 + plan.headLength;
  (void)keepStructure(source, length, plan.word, plan.directory, [&](char c) { edit[written++] = c; });
  edit[0] = '@';
  std::memcpy(edit + 1, plan.head.data(), static_cast<std::size_t>(plan.headLength));
  edit[written] = '\0';
  if (editedLength != nullptr) *editedLength = written;
  return plan.repairs;
}

}  // namespace quorix
