// Parses one file a given number of times with a warm instance, optionally with all 40 derivations: a loop whose
// cost repeats exactly, for counting instructions per parse under callgrind (see bench/instructions.sh).
//
//   parse_loop FILE COUNT [--fields]
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: parse_loop FILE COUNT [--fields]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const long count = std::strtol(argv[2], nullptr, 10);
  const bool fields = argc > 3 && std::string_view(argv[3]) == "--fields";
  quorix::ParserInstance* instance = quorix::createInstance();
  if (instance == nullptr || !in) return 1;
  long accepted = 0;
  for (long i = 0; i < count; ++i) {
    accepted += quorix::parseBuffer(instance, text.data(), static_cast<std::int32_t>(text.size())) == quorix::kStatusOk;
    if (!fields) continue;
    for (const quorix::ResultField& field : quorix::kResultFields) {
      std::int32_t flag = 0;
      (void)(field.text != nullptr ? field.text(instance->record, instance->textBuffer, instance->textBufferSize)
                                   : field.flag(instance->record, &flag));
    }
  }
  std::printf("%ld of %ld parses accepted\n", accepted, count);
  quorix::destroyInstance(instance);
  return 0;
}
