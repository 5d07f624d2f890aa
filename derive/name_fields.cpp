// Name derivations. Separate name elements win over the full name; the full name is split by the order its
// separators suggest, and a jurisdiction's hooks or default splitters take over where its layout differs.
#include "derive/name_fields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "core/text_utils.h"
#include "derive/derivation_support.h"
#include "derive/jurisdiction_corrections.h"

namespace quorix {
namespace {

constexpr const char* kCleanSeparators = " ,$@\t\n\r";
// The sets every name derivation tests bytes against, built when compiling.
constexpr CharSet kCleanSeparatorSet(kCleanSeparators);
constexpr CharSet kNameTrimSet(NAME_TRIM_SET);
constexpr CharSet kWhiteSpaceSet(kWhiteSpace);
constexpr CharSet kNoBytes("");
constexpr CharSet kSpaceSet(" ");
constexpr CharSet kCommaSet(",");
constexpr CharSet kPartSeparatorSet(NAME_PART_SEPARATORS);
constexpr CharSet kWordSeparatorSet(NAME_WORD_SEPARATORS);
constexpr std::int32_t kMaxNameWords = 16;
constexpr std::int32_t kMaxNameParts = 8;
static_assert(std::extent_v<decltype(NameParts::split)> == kMaxNameParts);

TextSpan trimmedSlot(const FieldRecord& record, std::int32_t slot) {
  TextSpan span = slotSpan(record, slot);
  trimChars(&span, kWhiteSpaceSet);
  return span;
}

TextSpan trimmed(TextSpan span) {
  trimChars(&span, kWhiteSpaceSet);
  return span;
}

TextSpan firstWordOf(TextSpan text, const char* separators) {
  TextSpan token;
  TextSpan rest;
  if (!text.filled()) return TextSpan{};
  nextToken(text, &token, &rest, separators, true);
  return token;
}

// The text behind the first word (and the separator that ends it).
TextSpan afterFirstWord(TextSpan text, const char* separators) {
  TextSpan token;
  TextSpan rest;
  if (!text.filled()) return TextSpan{};
  nextToken(text, &token, &rest, separators, true);
  return rest;
}

Status copyPlain(char* out, std::int32_t outSize, TextSpan span) {
  return wroteText(copyFilteredZ(out, outSize, span, nullptr, nullptr, 0));
}

Status copyCollapsingSpaces(char* out, std::int32_t outSize, TextSpan span) {
  return wroteText(copyFilteredZ(out, outSize, span, kNoBytes, kSpaceSet, 0));
}

// Middle names keep their words apart by commas on some documents: a comma becomes a space.
Status copyMiddle(char* out, std::int32_t outSize, TextSpan span) {
  return wroteText(copyFilteredZ(out, outSize, span, kCommaSet, kSpaceSet, ' '));
}

Status joinWithSpaces(char* out, std::int32_t outSize, const TextSpan* words, std::int32_t count) {
  if (count < 1) return kStatusNoValue;
  return wroteText(joinFilteredZ(out, outSize, words, count, ' ', nullptr, " ", 0));
}

std::int32_t splitWords(TextSpan text, TextSpan* words, std::int32_t maxCount, const CharSet& separators) {
  if (!text.filled()) return 0;
  return splitTokens(text, words, maxCount, separators, 1);
}

// Drops the words that are suffixes, keeping the others in order.
std::int32_t removeSuffixWords(TextSpan* words, std::int32_t count) {
  if (words == nullptr || count < 1) return 0;
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i)
    if (!isNameSuffix(words[i])) words[kept++] = words[i];
  return kept;
}

bool hookSucceeds(NameHook hook, const FieldRecord& record, char* out, std::int32_t outSize) {
  return hook != nullptr && hook(record, out, outSize) == kStatusOk;
}

bool equalsNoneIgnoringCase(TextSpan word) { return compareSpans(word, TextSpan{"NONE", 4}, 1) == 0; }

// The full name split into parts and adjusted; shared (when given) keeps the split for the other name fields.
std::int32_t fullNameParts(TextSpan fullName, TextSpan (&parts)[kMaxNameParts], NameParts* shared) {
  if (shared != nullptr && shared->splitCount >= 0) {
    std::copy_n(shared->split, kMaxNameParts, parts);
    return shared->splitCount;
  }
  const std::int32_t count = adjustNameParts(parts, splitWords(fullName, parts, kMaxNameParts, kPartSeparatorSet));
  if (shared != nullptr) {
    std::copy_n(parts, kMaxNameParts, shared->split);
    shared->splitCount = count;
  }
  return count;
}

// Drops every word that is exactly NONE from single-space-separated words, in place; returns the new length. Issuers
// that write every name field, Alabama among them, put NONE in the empty ones, and it names nobody.
std::int32_t dropNoneWords(char* text, std::int32_t length) {
  std::int32_t written = 0;
  for (std::int32_t read = 0; read < length;) {
    std::int32_t end = read;
    while (end < length && text[end] != ' ') ++end;
    const std::string_view word(text + read, static_cast<std::size_t>(end - read));
    // A kept word only moves left: at least the space in front of it has not been written yet.
    if (!word.empty() && word != "NONE") {
      if (written > 0) text[written++] = ' ';
      std::memmove(text + written, word.data(), word.size());
      written += end - read;
    }
    read = end + 1;
  }
  text[written] = '\0';
  return written;
}

bool isOneWord(const char* text, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i)
    if (kCleanSeparatorSet.has(text[i])) return false;
  return true;
}

// cleanNameText of a text without separators, as most names are: the first word is never a dropped suffix, so it
// goes only when it is NONE, and otherwise loses the trimmed bytes at its ends.
Status cleanOneWord(char* text, std::int32_t length) {
  TextSpan word{text, length};
  if (word.view() == "NONE") word.length = 0;
  trimChars(&word, kNameTrimSet);
  if (word.length > 0) std::memmove(text, word.data, static_cast<std::size_t>(word.length));
  text[word.length] = '\0';
  return word.length > 0 ? kStatusOk : kStatusNoValue;
}

}  // namespace

// The suffixes measured once; names are mostly longer than any of them, and such a word is no suffix.
constexpr auto kSuffixViews = [] {
  std::array<std::string_view, std::size(NameSuffixTable)> views{};
  for (std::size_t i = 0; i < views.size(); ++i) views[i] = NameSuffixTable[i];
  return views;
}();
constexpr std::size_t kLongestSuffix = [] {
  std::size_t longest = 0;
  for (std::string_view suffix : kSuffixViews) longest = std::max(longest, suffix.size());
  return longest;
}();

bool isNameSuffix(TextSpan word) {
  const std::string_view text = word.view();
  if (text.size() > kLongestSuffix) return false;
  for (std::string_view suffix : kSuffixViews)
    if (text == suffix) return true;
  return false;
}

namespace {

// Whether cleanNameText leaves a text of several words as it stands, as it does most names: words apart by single
// spaces, none of them NONE or a suffix behind the first, none beginning or ending with a byte it trims.
bool isCleanName(const char* text, std::int32_t length) {
  std::int32_t words = 0;
  for (std::int32_t start = 0; start < length;) {
    std::int32_t end = start;
    while (end < length && !kCleanSeparatorSet.has(text[end])) ++end;
    const TextSpan word{text + start, end - start};
    // An empty word is a separator in front or a doubled one; the splitter keeps no more than kMaxNameWords.
    if (word.length == 0 || ++words > kMaxNameWords) return false;
    if (kNameTrimSet.has(text[start]) || kNameTrimSet.has(text[end - 1])) return false;
    if (word.view() == "NONE" || (words > 1 && isNameSuffix(word))) return false;
    if (end == length) return true;
    if (text[end] != ' ' || end + 1 == length) return false;
    start = end + 1;
  }
  return false;
}

}  // namespace

Status cleanNameText(char* text, std::int32_t size) {
  if (text == nullptr || size < 1) return kStatusBadArgument;
  const std::int32_t length = boundedLength(text, size - 1);
  if (length > 0 && isOneWord(text, length)) return cleanOneWord(text, length);
  if (isCleanName(text, length)) {
    text[length] = '\0';
    return kStatusOk;
  }
  TextSpan words[kMaxNameWords];
  std::int32_t count =
      length > 0 ? splitTokens(TextSpan{text, length}, words, kMaxNameWords, kCleanSeparatorSet, 1) : 0;
  if (count >= 2) count = 1 + removeSuffixWords(words + 1, count - 1);
  const char* const none[] = {"NONE"};
  count = removeSpansMatching(words, count, none, 1);
  // The words only shrink and keep their order, so each one moves left or stays: joining in place is safe.
  std::int32_t written = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    TextSpan word = words[i];
    trimChars(&word, kNameTrimSet);
    if (!word.filled()) continue;
    if (written > 0) text[written++] = ' ';
    std::memmove(text + written, word.data, static_cast<std::size_t>(word.length));
    written += word.length;
  }
  text[written] = '\0';
  return written > 0 ? kStatusOk : kStatusNoValue;
}

std::int32_t adjustNameParts(TextSpan parts[], std::int32_t count) {
  if (parts == nullptr || count < 3) return count;
  if (isNameSuffix(parts[1])) {
    for (std::int32_t i = 1; i + 1 < count; ++i) parts[i] = parts[i + 1];
    return count - 1;
  }
  if (isNameSuffix(parts[count - 1])) return count - 1;
  if (parts[1].length == 1) {
    const TextSpan last = parts[count - 1];
    for (std::int32_t i = count - 1; i > 0; --i) parts[i] = parts[i - 1];
    parts[0] = last;
  }
  return count;
}

Status splitFirstName(const FieldRecord& /*record*/, TextSpan fullName, char* out, std::int32_t outSize) {
  TextSpan parts[3];
  const std::int32_t count = splitWords(fullName, parts, 3, kPartSeparatorSet);
  if (count == 3) return copyCollapsingSpaces(out, outSize, trimmed(parts[1]));
  if (count == 2) return copyPlain(out, outSize, firstWordOf(trimmed(parts[1]), " "));
  return copyPlain(out, outSize, firstWordOf(fullName, " "));
}

Status splitLastName(const FieldRecord& /*record*/, TextSpan fullName, char* out, std::int32_t outSize) {
  TextSpan parts[2];
  if (splitWords(fullName, parts, 2, kPartSeparatorSet) == 2)
    return copyCollapsingSpaces(out, outSize, trimmed(parts[0]));
  TextSpan words[kMaxNameWords];
  const std::int32_t count = splitWords(fullName, words, kMaxNameWords, kSpaceSet);
  if (count > 2) return joinWithSpaces(out, outSize, words + 2, count - 2);
  if (count == 2) return copyPlain(out, outSize, words[1]);
  return kStatusNoValue;
}

Status splitMiddleName(const FieldRecord& /*record*/, TextSpan fullName, char* out, std::int32_t outSize) {
  TextSpan parts[3];
  const std::int32_t count = splitWords(fullName, parts, 3, kPartSeparatorSet);
  if (count == 3) return copyCollapsingSpaces(out, outSize, trimmed(parts[2]));
  if (count == 2) {
    const TextSpan rest = trimmed(afterFirstWord(trimmed(parts[1]), " "));
    if (rest.filled()) return copyCollapsingSpaces(out, outSize, rest);
  }
  TextSpan words[kMaxNameWords];
  if (splitWords(fullName, words, kMaxNameWords, kSpaceSet) >= 3) return copyCollapsingSpaces(out, outSize, words[1]);
  return kStatusNoValue;
}

Status deriveFirstName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveFirstNameSharing(record, out, outSize, nullptr);
}

Status deriveFirstNameSharing(const FieldRecord& record, char* out, std::int32_t outSize, NameParts* shared) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  out[0] = '\0';
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (hookSucceeds(row.firstNameHook, record, out, outSize)) return cleanNameText(out, outSize);
  if (copyPlain(out, outSize, trimmedSlot(record, SLOT_FIRST_NAME)) == kStatusOk) return cleanNameText(out, outSize);
  const TextSpan givenFirst = firstWordOf(slotSpan(record, SLOT_GIVEN_NAMES), NAME_WORD_SEPARATORS);
  if (copyPlain(out, outSize, givenFirst) == kStatusOk) return cleanNameText(out, outSize);

  const TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  if (!fullName.filled()) return kStatusNoValue;
  if (const NameSplitters* splitters = defaultSplittersFor(row); splitters != nullptr) {
    if (splitters->first(record, fullName, out, outSize) != kStatusOk) return kStatusNoValue;
    return cleanNameText(out, outSize);
  }
  TextSpan parts[kMaxNameParts];
  const std::int32_t count = fullNameParts(fullName, parts, shared);
  TextSpan chosen;
  if (count > 2) {
    chosen = parts[1];
  } else if (count == 2) {
    chosen = firstWordOf(parts[1], " ");
  } else {
    chosen = firstWordOf(fullName, " ");
  }
  if (copyPlain(out, outSize, chosen) != kStatusOk) return kStatusNoValue;
  return cleanNameText(out, outSize);
}

Status deriveLastName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveLastNameSharing(record, out, outSize, nullptr);
}

Status deriveLastNameSharing(const FieldRecord& record, char* out, std::int32_t outSize, NameParts* shared) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  out[0] = '\0';
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (hookSucceeds(row.lastNameHook, record, out, outSize)) return cleanNameText(out, outSize);
  if (copyPlain(out, outSize, trimmedSlot(record, SLOT_FAMILY_NAME)) == kStatusOk) return cleanNameText(out, outSize);

  const TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  if (!fullName.filled()) return kStatusNoValue;
  if (const NameSplitters* splitters = defaultSplittersFor(row); splitters != nullptr)
    return splitters->last(record, fullName, out, outSize);
  TextSpan parts[kMaxNameParts];
  if (fullNameParts(fullName, parts, shared) >= 2) return copyCollapsingSpaces(out, outSize, trimmed(parts[0]));
  TextSpan words[kMaxNameParts];
  const std::int32_t count = removeSuffixWords(words, splitWords(fullName, words, kMaxNameParts, kSpaceSet));
  if (count > 2) return joinWithSpaces(out, outSize, words + 2, count - 2);
  if (count == 2) return copyCollapsingSpaces(out, outSize, words[1]);
  return kStatusNoValue;
}

Status deriveMiddleName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveMiddleNameSharing(record, out, outSize, nullptr);
}

Status deriveMiddleNameSharing(const FieldRecord& record, char* out, std::int32_t outSize, NameParts* shared) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  out[0] = '\0';
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (hookSucceeds(row.middleNameHook, record, out, outSize)) return kStatusOk;
  if (copyMiddle(out, outSize, trimmedSlot(record, SLOT_MIDDLE_NAME)) == kStatusOk &&
      cleanNameText(out, outSize) == kStatusOk)
    return kStatusOk;
  const TextSpan givenRest = trimmed(afterFirstWord(slotSpan(record, SLOT_GIVEN_NAMES), NAME_WORD_SEPARATORS));
  if (givenRest.filled() && copyMiddle(out, outSize, givenRest) == kStatusOk &&
      cleanNameText(out, outSize) == kStatusOk)
    return kStatusOk;

  const TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  if (!fullName.filled()) return kStatusNoValue;
  if (const NameSplitters* splitters = defaultSplittersFor(row); splitters != nullptr) {
    if (splitters->middle(record, fullName, out, outSize) != kStatusOk) return kStatusNoValue;
    return cleanNameText(out, outSize) == kStatusOk ? kStatusOk : kStatusNoValue;
  }
  TextSpan parts[kMaxNameParts];
  const std::int32_t partCount = fullNameParts(fullName, parts, shared);
  if (partCount > 2) return copyMiddle(out, outSize, trimmed(parts[2]));
  TextSpan words[kMaxNameParts];
  if (partCount == 2) {
    const std::int32_t count = splitWords(parts[1], words, kMaxNameParts, kSpaceSet);
    if (count < 2) return kStatusNoValue;
    return joinWithSpaces(out, outSize, words + 1, count - 1);
  }
  std::int32_t count = splitWords(fullName, words, kMaxNameParts, kSpaceSet);
  if (count < 3) return kStatusNoValue;
  count = 1 + removeSuffixWords(words + 1, count - 1);
  // FIRST LAST with only a suffix behind it has no middle name: word 2 is the last name then.
  if (count < 3) return kStatusNoValue;
  return copyMiddle(out, outSize, words[1]);
}

Status deriveNameSuffix(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const TextSpan suffix = trimmedSlot(record, SLOT_NAME_SUFFIX);
  if (suffix.filled()) return equalsNoneIgnoringCase(suffix) ? kStatusNoValue : copyPlain(out, outSize, suffix);
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (hookSucceeds(row.nameSuffixHook, record, out, outSize)) return kStatusOk;

  TextSpan name = slotSpan(record, SLOT_FULL_NAME);
  if (!name.filled()) name = slotSpan(record, SLOT_FAMILY_NAME);
  if (!name.filled()) return kStatusNoValue;
  TextSpan words[kMaxNameWords];
  const std::int32_t count = splitWords(name, words, kMaxNameWords, kWordSeparatorSet);
  // A suffix is never the first word of a name, unless a separator stands before it.
  const std::int32_t first = count > 0 && words[0].data == name.data ? 1 : 0;
  for (std::int32_t i = first; i < count; ++i)
    if (isNameSuffix(words[i])) return copyPlain(out, outSize, words[i]);
  return kStatusNoValue;
}

Status deriveNamePrefix(const FieldRecord& record, char* out, std::int32_t outSize) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  const JurisdictionCorrection& row = findJurisdictionCorrection(record);
  if (hookSucceeds(row.namePrefixHook, record, out, outSize)) return kStatusOk;
  return copyPlain(out, outSize, trimmedSlot(record, SLOT_NAME_PREFIX));
}

Status deriveFullName(const FieldRecord& record, char* out, std::int32_t outSize) {
  return deriveFullNameSharing(record, out, outSize, nullptr);
}

std::int32_t longestNameSlot(const FieldRecord& record) {
  constexpr std::int32_t kNameSlots[] = {SLOT_FULL_NAME,   SLOT_FAMILY_NAME, SLOT_FIRST_NAME,
                                         SLOT_MIDDLE_NAME, SLOT_NAME_SUFFIX, SLOT_GIVEN_NAMES};
  std::int32_t longest = 0;
  for (const std::int32_t slot : kNameSlots) longest = std::max(longest, slotSpan(record, slot).length);
  return longest;
}

Status deriveFullNameSharing(const FieldRecord& record, char* out, std::int32_t outSize, const NameParts* parts) {
  if (!derivationArgumentsValid(record, out, outSize)) return kStatusBadArgument;
  TextSpan fullName = slotSpan(record, SLOT_FULL_NAME);
  trimChars(&fullName, kNameTrimSet);
  if (fullName.filled()) {
    if (outSize < 2) return kStatusNoValue;
    const std::int32_t copied = copyFilteredZ(out, outSize - 1, fullName, kPartSeparatorSet, kSpaceSet, ' ');
    if (copied > 1 && dropNoneWords(out, copied - 1) > 0) return kStatusOk;
  }

  // Each part goes into the room the earlier ones left, behind one separating space. A part derived before is
  // taken as it is when that room cannot have cut it: no part grows beyond the longest name slot.
  constexpr FieldDerivation kParts[] = {deriveFirstName, deriveMiddleName, deriveLastName, deriveNameSuffix};
  static_assert(std::size(kParts) == std::extent_v<decltype(NameParts::parts)>);
  const std::int32_t longest = parts != nullptr ? longestNameSlot(record) : 0;
  std::int32_t length = 0;
  out[0] = '\0';
  for (std::size_t i = 0; i < std::size(kParts); ++i) {
    const std::int32_t start = length > 0 ? length + 1 : 0;
    const std::int32_t room = outSize - start;
    if (room < 2) break;
    std::int32_t partLength = 0;
    if (parts != nullptr && parts->parts[i].known && room >= longest + 2) {
      const NamePart& part = parts->parts[i];
      partLength = part.status == kStatusOk ? part.length : 0;
      if (partLength > 0) std::memcpy(out + start, part.text, static_cast<std::size_t>(partLength));
    } else if (kParts[i](record, out + start, room) == kStatusOk) {
      partLength = boundedLength(out + start, room);
    }
    if (partLength > 0) {
      if (start > 0) out[length] = ' ';
      length = start + partLength;
    }
    out[length] = '\0';
  }
  return length > 0 ? kStatusOk : kStatusNoValue;
}

void rememberNamePart(NamePart& part, Status status, const char* text, std::int32_t textSize) {
  part.known = false;
  part.status = status;
  part.length = 0;
  if (status != kStatusOk) {
    part.known = true;
    return;
  }
  const std::int32_t length = boundedLength(text, textSize);
  if (length >= static_cast<std::int32_t>(sizeof part.text)) return;  // too long to keep: derived again if needed
  std::memcpy(part.text, text, static_cast<std::size_t>(length));
  part.length = length;
  part.known = true;
}

}  // namespace quorix
