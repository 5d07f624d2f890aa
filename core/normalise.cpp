// The prepare functions: a plain copy for decoders that need the reader's exact bytes, and the normaliser that
// undoes what readers do to a text (leading junk, spelled-out control bytes, split track joints, damaged AAMVA
// headers, CR LF line ends). Both write only inside the room they are given.
#include "core/normalise.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/text_utils.h"
#include "core/transliterate.h"

namespace quorix {
namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return c - 'a' + 10;
}

constexpr TextSpan literal(std::string_view text) {
  return TextSpan{text.data(), static_cast<std::int32_t>(text.size())};
}

bool matchesAt(const char* text, std::int64_t length, std::int64_t at, TextSpan pattern) {
  return length - at >= pattern.length && text[at] == pattern.data[0] &&
         std::memcmp(text + at, pattern.data, static_cast<std::size_t>(pattern.length)) == 0;
}

// Where pattern first occurs in text[from, length), or -1. Readers' texts hold few of the bytes that patterns start
// with, so the search jumps from one candidate to the next.
std::int64_t findPattern(const char* text, std::int64_t length, std::int64_t from, TextSpan pattern) {
  while (length - from >= pattern.length) {
    const void* hit =
        std::memchr(text + from, pattern.data[0], static_cast<std::size_t>(length - from - pattern.length + 1));
    if (hit == nullptr) return -1;
    const std::int64_t at = static_cast<const char*>(hit) - text;
    if (matchesAt(text, length, at, pattern)) return at;
    from = at + 1;
  }
  return -1;
}

// Reads the text the way a C string would, so only escapes before the first NUL decide.
bool containsSpelledLineEnd(const char* text, std::int32_t n) {
  const void* nul = std::memchr(text, '\0', static_cast<std::size_t>(n));
  const std::int64_t end = nul == nullptr ? n : static_cast<const char*>(nul) - text;
  return findPattern(text, end, 0, literal("[0D]")) >= 0 || findPattern(text, end, 0, literal("[0A]")) >= 0;
}

// Readers that spell control bytes as "[0D]" also pass real ones through as noise: the real ones go first, then
// every "[hh]" becomes its byte (its other three places NUL, removed by the compaction). Accented letters are part
// of the text and stay, to be read as their ASCII letters.
std::int32_t decodeSpelledBytes(char* out, std::int32_t n) {
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    if (static_cast<signed char>(out[i]) > 31) {
      out[kept++] = out[i];
      continue;
    }
    const LetterAt letter = letterAt(out, n, i);
    if (letter.ascii.empty()) continue;
    for (std::int32_t b = 0; b < letter.bytes; ++b) out[kept++] = out[i + b];
    i += letter.bytes - 1;
  }
  out[kept] = '\0';
  for (std::int32_t i = 0; i + 3 < kept; ++i) {
    if (out[i] != '[' || !isHexDigit(out[i + 1]) || !isHexDigit(out[i + 2]) || out[i + 3] != ']') continue;
    out[i] = static_cast<char>(hexValue(out[i + 1]) * 16 + hexValue(out[i + 2]));
    out[i + 1] = out[i + 2] = out[i + 3] = '\0';
  }
  return kept;
}

// Some readers join two tracks with "?*", STX, one byte and a NUL before the next ";"; the joint becomes a plain
// "?;" so the track splitter sees two ordinary sentinels. True when a joint was mended.
bool repairTrackJoints(char* out, std::int32_t n) {
  bool mended = false;
  for (std::int32_t i = 0; i + 6 < n; ++i) {
    const void* mark = std::memchr(out + i, '?', static_cast<std::size_t>(n - 6 - i));
    if (mark == nullptr) return mended;
    i = static_cast<std::int32_t>(static_cast<const char*>(mark) - out);
    if (out[i] != '?' || out[i + 1] != '*' || out[i + 2] != '\x02' || out[i + 3] == '\n' || out[i + 4] != '\0' ||
        out[i + 5] != ';')
      continue;
    out[i + 1] = ';';
    std::memset(out + i + 2, 0, 4);
    mended = true;
  }
  return mended;
}

// Drops the NULs left by the repairs and turns a spelled "\n" or "\r" into its byte; escapes tells whether one was.
std::int32_t compact(char* out, std::int32_t n, bool& escapes) {
  // Most texts have neither: then nothing moves.
  const auto firstOf = [out, n](char c) {
    const void* hit = std::memchr(out, c, static_cast<std::size_t>(n));
    return hit == nullptr ? n : static_cast<std::int32_t>(static_cast<const char*>(hit) - out);
  };
  std::int32_t kept = n > 0 ? std::min(firstOf('\0'), firstOf('\\')) : 0;
  for (std::int32_t i = kept; i < n; ++i) {
    if (out[i] == '\0') continue;
    if (out[i] == '\\' && i + 1 < n && (out[i + 1] == 'n' || out[i + 1] == 'r')) {
      out[kept++] = out[i + 1] == 'n' ? '\n' : '\r';
      escapes = true;
      ++i;
      continue;
    }
    out[kept++] = out[i];
  }
  out[kept] = '\0';
  return kept;
}

struct Repair {
  TextSpan pattern;
  TextSpan replacement;
  RepairSet reported;  // what a replacement made by this pass is reported as
};

// The compliance header "@" LF RS CR in the shapes readers damage it into, then the CR LF line ends. The header
// passes run first, so a doubled CR CR LF behind the "@" is read as a header and not as line ends.
// clang-format off
constexpr Repair kRepairs[] = {
    {literal("@\r\r\n\r\r\n"), literal("@\n\x1e\r"), kRepairHeaderRestored},
    {literal("@\r\n\x1e\r\n"), literal("@\n\x1e\r"), kRepairHeaderRestored},
    {literal("@\n \n"),        literal("@\n\x1e\r"), kRepairHeaderRestored},
    {literal("@\n\n"),         literal("@\n\x1e\r"), kRepairHeaderRestored},
    {literal("@\n\r"),         literal("@\n\x1e\r"), kRepairHeaderRestored},
    {literal("\r\r\n"),        literal("\n"),        kRepairLineEndsReduced},
    {literal("\r\n"),          literal("\n"),        kRepairLineEndsReduced},
};
// clang-format on
static_assert(std::size(kRepairs) == 7);
static_assert(kRepairs[0].pattern.length == 7 && kRepairs[1].pattern.length == 6 &&
              kRepairs[4].replacement.length == 4);

// The passes in groups whose patterns begin with the same byte: a text in which no pattern of a group occurs is left
// as it is by every pass of the group, so one search for that byte tells for all of them.
struct RepairGroup {
  std::size_t first = 0;
  std::size_t count = 0;
};
constexpr RepairGroup kRepairGroups[] = {{0, 5}, {5, 2}};
constexpr bool groupsCoverTheRepairs() {
  std::size_t next = 0;
  for (const RepairGroup& group : kRepairGroups) {
    if (group.first != next || group.count < 1) return false;
    for (std::size_t i = group.first; i < group.first + group.count; ++i)
      if (kRepairs[i].pattern.data[0] != kRepairs[group.first].pattern.data[0]) return false;
    next = group.first + group.count;
  }
  return next == std::size(kRepairs);
}
static_assert(groupsCoverTheRepairs());

// Equal or shrinking replacement in one pass: the writer never overtakes the reader, so the search always reads
// bytes not yet written. A text without the pattern is not touched.
std::int32_t replaceShrinking(char* buffer, std::int32_t length, TextSpan pattern, TextSpan replacement,
                              bool& replaced) {
  std::int64_t at = findPattern(buffer, length, 0, pattern);
  if (at < 0) return length;
  replaced = true;
  std::int64_t read = at;
  std::int64_t write = at;
  while (at >= 0) {
    std::memmove(buffer + write, buffer + read, static_cast<std::size_t>(at - read));
    write += at - read;
    std::memcpy(buffer + write, replacement.data, static_cast<std::size_t>(replacement.length));
    write += replacement.length;
    read = at + pattern.length;
    at = findPattern(buffer, length, read, pattern);
  }
  std::memmove(buffer + write, buffer + read, static_cast<std::size_t>(length - read));
  return static_cast<std::int32_t>(write + (length - read));
}

// Growing replacement in one pass: the tail from the first occurrence is parked at the end of the capacity and
// rebuilt forwards. Each replacement uses up part of the free room, so the writer stays behind the reader exactly
// as long as replacements still fit; once one does not, it and all later occurrences stay as they are.
std::int32_t replaceGrowing(char* buffer, std::int32_t length, std::int32_t capacity, TextSpan pattern,
                            TextSpan replacement, bool& replaced) {
  const std::int64_t growth = std::int64_t{replacement.length} - pattern.length;
  std::int64_t room = std::int64_t{capacity} - length;
  if (room < growth) return length;
  const std::int64_t first = findPattern(buffer, length, 0, pattern);
  if (first < 0) return length;
  const std::int64_t tail = length - first;
  std::int64_t read = std::int64_t{capacity} - tail;
  std::memmove(buffer + read, buffer + first, static_cast<std::size_t>(tail));
  std::int64_t write = first;
  while (read < capacity) {
    if (room >= growth && matchesAt(buffer, capacity, read, pattern)) {
      std::memcpy(buffer + write, replacement.data, static_cast<std::size_t>(replacement.length));
      write += replacement.length;
      read += pattern.length;
      room -= growth;
      replaced = true;
    } else {
      buffer[write++] = buffer[read++];
    }
  }
  return static_cast<std::int32_t>(write);
}

// replaceAll, telling whether anything was replaced.
std::int32_t replaceReporting(char* buffer, std::int32_t length, std::int32_t capacity, TextSpan pattern,
                              TextSpan replacement, bool& replaced) {
  if (buffer == nullptr || length < 1) return length < 0 ? 0 : length;
  if (!pattern.filled() || !replacement.filled()) return length;
  if (replacement.length <= pattern.length) return replaceShrinking(buffer, length, pattern, replacement, replaced);
  return replaceGrowing(buffer, length, capacity, pattern, replacement, replaced);
}

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether any pattern of the group occurs in text.
bool groupOccurs(const char* text, std::int64_t length, const RepairGroup& group) {
  const char first = kRepairs[group.first].pattern.data[0];
  for (const char* at = text; (at = static_cast<const char*>(std::memchr(at, first, static_cast<std::size_t>(
                                   length - (at - text))))) != nullptr;
       ++at) {
    for (std::size_t i = group.first; i < group.first + group.count; ++i)
      if (matchesAt(text, length, at - text, kRepairs[i].pattern)) return true;
  }
  return false;
}

}  // namespace

Status prepareCopy(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                   std::int32_t* outLength) {
  if (input == nullptr || inputLength < 1 || out == nullptr || outRoom < 1) return kStatusBadArgument;
  const std::int32_t n = inputLength < outRoom ? inputLength : outRoom;
  std::memcpy(out, input, static_cast<std::size_t>(n));
  out[n] = '\0';  // the caller's room excludes this byte; it keeps the copy readable as a C string
  if (outLength != nullptr) *outLength = n;
  return kStatusOk;
}

Status normaliseInput(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                      std::int32_t* outLength) {
  return normaliseInputReporting(input, inputLength, out, outRoom, outLength, nullptr);
}

Status normaliseInputReporting(const char* input, std::int32_t inputLength, char* out, std::int32_t outRoom,
                               std::int32_t* outLength, RepairSet* repairs) {
  if (outLength != nullptr) *outLength = 0;
  if (repairs != nullptr) *repairs = 0;
  if (out == nullptr || outRoom < 0) return kStatusOk;
  out[0] = '\0';
  RepairSet made = 0;
  TextSpan text{input, inputLength};
  const TextSpan whole = text;
  trimLeftIf(&text, isNotPrintable);
  // Line ends and blanks in front of a text are as harmless as those behind it; other bytes there are a reader's.
  if (text.data != nullptr && std::any_of(whole.data, text.data, [](char c) { return !isBlank(c); }))
    made |= kRepairLeadingBytesSkipped;
  std::int32_t n = copyFiltered(out, outRoom - 1, text, "", nullptr, '\0');
  out[n] = '\0';
  if (containsSpelledLineEnd(out, n)) {
    n = decodeSpelledBytes(out, n);
    made |= kRepairSpelledBytesDecoded;
  }
  if (n > 6 && repairTrackJoints(out, n)) made |= kRepairTrackJointMended;
  bool escapes = false;
  n = compact(out, n, escapes);
  if (escapes) made |= kRepairEscapedLineEndsDecoded;
  n = trimBufferChars(out, n, " \r\n");
  out[n] = '\0';
  for (const RepairGroup& group : kRepairGroups) {
    if (n < 1 || !groupOccurs(out, n, group)) continue;
    for (std::size_t i = group.first; i < group.first + group.count; ++i) {
      const Repair& repair = kRepairs[i];
      bool replaced = false;
      n = replaceReporting(out, n, outRoom, repair.pattern, repair.replacement, replaced);
      out[n] = '\0';
      if (replaced) made |= repair.reported;
    }
  }
  if (outLength != nullptr) *outLength = n;
  if (repairs != nullptr) *repairs = made;
  return kStatusOk;
}

bool PreparedBytes::holds(char c) const { return std::memchr(input_, c, static_cast<std::size_t>(length_)) != nullptr; }

bool PreparedBytes::spelled() {
  if (spelled_ == Answer::kNotAsked) spelled_ = holds('[') ? Answer::kYes : Answer::kNo;
  return spelled_ == Answer::kYes;
}

bool PreparedBytes::accented() {
  if (accented_ == Answer::kNotAsked) accented_ = mayHoldAccentedLetters(input_, length_) ? Answer::kYes : Answer::kNo;
  return accented_ == Answer::kYes;
}

bool PreparedBytes::answer(char c) {
  bool may = false;
  if (input_ == nullptr || length_ < 1) {
    may = false;
  } else if (static_cast<unsigned char>(c) < 0x20) {
    // Control bytes are what the normaliser writes in place of line ends and damaged header runs.
    may = true;
  } else {
    // A spelled byte "[hh]" may become any byte; capitals come from small letters, and letters of either case from
    // accented ones.
    const bool capital = c >= 'A' && c <= 'Z';
    const bool letter = capital || (c >= 'a' && c <= 'z');
    may = holds(c) || spelled() || (capital && holds(static_cast<char>(c - 'A' + 'a'))) || (letter && accented());
  }
  bytes_[static_cast<unsigned char>(c)] = may ? Answer::kYes : Answer::kNo;
  return may;
}

std::int32_t replaceAll(char* buffer, std::int32_t length, std::int32_t capacity, TextSpan pattern,
                        TextSpan replacement) {
  bool replaced = false;
  return replaceReporting(buffer, length, capacity, pattern, replacement, replaced);
}

}  // namespace quorix
