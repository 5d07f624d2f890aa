// The tool built without the image component: --image is refused before any input is read.
#include "cli/image_input.h"

namespace quorix {

bool imageInputBuilt() { return false; }

bool parseImageInput(ParserInstance&, std::string_view, std::string_view, bool, const DumpOptions&, std::string& out,
                     Status& status) {
  out = "this build cannot read images";
  status = kStatusBadArgument;
  return false;
}

}  // namespace quorix
