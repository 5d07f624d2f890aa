// One input of a batch run: a line of JSON Lines, {"id": ..., "text": ...}, whose text is a JSON string in which
// the characters U+0000 to U+00FF stand for the bytes 0x00 to 0xFF of the document.
#pragma once

#include <string>
#include <string_view>

namespace quorix {

struct JsonlInput {
  std::string id;    // the id's JSON text as written: a string with its quotes, or a number
  std::string text;  // the document's bytes
};

// Reads one line into input. False on anything but an object holding once each a string or number "id" and a
// string "text", beside other keys with any JSON values, which are ignored; error then says what is wrong and at
// which column (from 1), input.id holds the id when it came before the fault (else it is empty), and input.text holds
// nothing to rely on.
bool parseJsonlLine(std::string_view line, JsonlInput& input, std::string& error);

// True for a line holding only JSON whitespace; such lines are not inputs.
bool isBlankLine(std::string_view line);

}  // namespace quorix
