// Parses a text through the installed headers and library; exits 0 when the library answers as documented.
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <cstdio>
#include <cstring>

int main() {
  quorix::ParserInstance* instance = quorix::createInstance();
  if (instance == nullptr) return 1;
  const char text[] = "not a document";
  const quorix::Status status = quorix::parseBuffer(instance, text, static_cast<std::int32_t>(std::strlen(text)));
  std::printf("%s status=%d fields=%zu\n", quorix::kVersionText, status, std::size(quorix::kResultFields));
  quorix::destroyInstance(instance);
  return status == quorix::kStatusNoDecoder ? 0 : 1;
}
