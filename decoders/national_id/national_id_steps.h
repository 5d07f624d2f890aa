// The steps behind the national identity card decoders, open to the unit tests: the chains for Guatemala, Puerto
// Rico and Mexico, the date reader of the South African card, and the searches that turn other texts away early.
#pragma once

#include <quorix/status.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/field_record.h"

namespace quorix {

// Each step recognises one field at the front of rest, stores it, consumes it and names its successor. A step that
// finds its field missing or malformed names none; its status says whether the card is still accepted.
struct StepResult;
using DecodeStep = StepResult (*)(FieldRecord&, TextSpan& rest);
struct StepResult {
  DecodeStep next = nullptr;
  Status status = kStatusOk;
};  // {} ends the chain

// Runs the chain from first over text while the steps succeed and name a successor; returns the last step's status
// (-21 without a first step). A null text or a length below 1 reaches the first step as an empty span.
[[nodiscard]] Status runSteps(DecodeStep first, FieldRecord& record, const char* text, std::int32_t length);

// Guatemala, in chain order. Only the prefix and the first name fail the card (-25).
StepResult guatemalaPrefix(FieldRecord& record, TextSpan& rest);
StepResult guatemalaFirstName(FieldRecord& record, TextSpan& rest);
StepResult guatemalaMiddleName(FieldRecord& record, TextSpan& rest);
StepResult guatemalaFamilyNames(FieldRecord& record, TextSpan& rest);
StepResult guatemalaBirthDate(FieldRecord& record, TextSpan& rest);
StepResult guatemalaExpiryDate(FieldRecord& record, TextSpan& rest);
StepResult guatemalaLicenceNumber(FieldRecord& record, TextSpan& rest);
StepResult guatemalaCountry(FieldRecord& record, TextSpan& rest);

// Puerto Rico, in chain order. Only the licence number fails the card (-25).
StepResult puertoRicoLicenceNumber(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoExpiryDate(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoFirstName(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoMiddleName(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoFamilyNames(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoSkippedFields(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoSex(FieldRecord& record, TextSpan& rest);
StepResult puertoRicoCountry(FieldRecord& record, TextSpan& rest);

// Mexico: the decoder context of a step is the record it fills, so its steps share the chain type and runner.
using MexicoStep = DecodeStep;
StepResult parseNameAndBirthDate(FieldRecord& record, TextSpan& rest);
StepResult parseOfficeAndDocumentNumber(FieldRecord& record, TextSpan& rest);
StepResult setMexicoConstants(FieldRecord& record, TextSpan& rest);

// The first needle in haystack at or behind from, or npos: what findSpan finds, but candidates are the places of the
// needle's last byte that is no space, since the markers open with the commonest byte of a card.
std::size_t findMarker(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Whether splitting the text at "|" gives at least count fields as splitTokens counts them without skipping empty
// ones, so the split decoders turn a text away before they cut a field of it.
bool holdsBarFields(const char* text, std::int32_t length, std::int32_t count);

// Reads "7 MAR 1985" or "07MAR1985" (month letters in any case) into slot as YYYYMMDD: 1 when stored, 0 when the
// text is no such date (nothing is written then).
int parseDayMonthNameYear(FieldRecord& record, std::int32_t slot, TextSpan text);

}  // namespace quorix
