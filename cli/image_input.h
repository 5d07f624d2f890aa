// quorix-parse --image: each input is a PNG or JPEG picture of a barcode, read by the optional image component.
#pragma once

#include <quorix/parser.h>
#include <quorix/status.h>

#include <string>
#include <string_view>

#include "cli/result_dump.h"

namespace quorix {

// Whether this build of the tool can read images at all.
bool imageInputBuilt();

// Decodes one image, parses the barcode it finds and sets out to the result as dumpText (text) or dumpJson prints it,
// plus the symbol's format and corners; status is the parse status. False when the bytes are not an image this
// build reads; out then says why.
bool parseImageInput(ParserInstance& instance, std::string_view bytes, std::string_view name, bool text,
                     const DumpOptions& options, std::string& out, Status& status);

}  // namespace quorix
