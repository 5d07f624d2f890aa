/* The README's C example: parses a file through the installed header and shared library and prints the fields.
 * Exits 0 when a decoder accepted the text, 1 when none did, 2 when the file cannot be read. */
#include <quorix/quorix.h>
#include <stdio.h>

int main(int argc, char** argv) {
  static char text[1 << 16];
  FILE* file = argc == 2 ? fopen(argv[1], "rb") : NULL;
  if (file == NULL) return 2;
  size_t length = fread(text, 1, sizeof text, file);
  fclose(file);

  quorix_parser* parser = quorix_parser_new();
  if (parser == NULL) return 2;
  int32_t status = quorix_parse(parser, text, (int32_t)length);
  if (status != 0) {
    fprintf(stderr, "%s (status %d)\n", quorix_status_message(status), (int)status);
  } else {
    const char* last = quorix_field_by_name(parser, "lastName"); /* NULL when the document has none */
    printf("%s: %s, decoder %d\n", quorix_version(), last ? last : "-", (int)quorix_decoder_id(parser));
    for (int32_t i = 0; i < quorix_field_count(); ++i) {
      const char* value = quorix_field(parser, i); /* valid until the next parse on this parser */
      if (value != NULL) printf("  %s=%s\n", quorix_field_name(i), value);
    }
  }
  quorix_parser_free(parser);
  return status == 0 ? 0 : 1;
}
