/* The C interface as a C program sees it: the golden corpus read back field by field, and the ownership and
 * argument rules of the handle. Exits non-zero on the first group that fails, after printing what differed. */
#define _POSIX_C_SOURCE 200809L

#include <dirent.h>
#include <quorix/quorix.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"

/* A growing text, enough for one golden dump. */
typedef struct {
  char* data;
  size_t length;
  size_t size;
} Text;

static void append(Text* text, const char* piece, size_t length) {
  if (text->length + length + 1 > text->size) {
    size_t size = text->size > 0 ? text->size : 256;
    while (size < text->length + length + 1) size *= 2;
    text->data = realloc(text->data, size);
    if (text->data == NULL) abort();
    text->size = size;
  }
  memcpy(text->data + text->length, piece, length);
  text->length += length;
  text->data[text->length] = '\0';
}

static void appendText(Text* text, const char* piece) { append(text, piece, strlen(piece)); }

static int readFile(const char* path, Text* out) {
  char chunk[4096];
  size_t got;
  FILE* file = fopen(path, "rb");
  if (file == NULL) return 0;
  out->length = 0;
  appendText(out, "");
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) append(out, chunk, got);
  fclose(file);
  return 1;
}

/* The golden text of the parser's latest result, without the slot lines: what the tool prints without --slots. */
static void dumpResult(const quorix_parser* parser, int32_t status, Text* out) {
  char line[64];
  int32_t i;
  out->length = 0;
  snprintf(line, sizeof line, "status=%d\n", (int)status);
  appendText(out, line);
  if (status != 0) return;
  snprintf(line, sizeof line, "decoder=%d/%d\n", (int)quorix_decoder_group(parser), (int)quorix_decoder_id(parser));
  appendText(out, line);
  if (quorix_repairs(parser) != 0) {
    const char* separator = "repairs=";
    for (i = 0; i < quorix_repair_count(); ++i) {
      if ((quorix_repairs(parser) & (UINT32_C(1) << i)) == 0) continue;
      appendText(out, separator);
      appendText(out, quorix_repair_name(i));
      separator = ",";
    }
    appendText(out, "\n");
  }
  for (i = 0; i < quorix_field_count(); ++i) {
    const char* value = quorix_field(parser, i);
    if (value == NULL) continue;
    appendText(out, quorix_field_name(i));
    appendText(out, "=");
    appendText(out, value);
    appendText(out, "\n");
  }
}

/* Reads "now=YYYY-MM-DDTHH:MM:SS" at the start of an expected file into now; 0 when the case has no such line. */
static int readClock(const char* expected, quorix_datetime* now) {
  int year, month, day, hour, minute, second;
  if (sscanf(expected, "now=%4d-%2d-%2dT%2d:%2d:%2d\n", &year, &month, &day, &hour, &minute, &second) != 6) return 0;
  now->year = year;
  now->month = month;
  now->day = day;
  now->hour = hour;
  now->minute = minute;
  now->second = second;
  return 1;
}

static const quorix_datetime kGoldenNow = {2024, 6, 15, 12, 0, 0};

/* Parses one case and compares with its expected file up to the first slot line. */
static void checkGoldenCase(quorix_parser* parser, const char* inPath, Text* input, Text* expected, Text* actual) {
  char expectedPath[4096];
  const char* body;
  const char* slots;
  size_t bodyLength;
  quorix_datetime now = kGoldenNow;
  int32_t status;
  snprintf(expectedPath, sizeof expectedPath, "%.*s.expected", (int)(strlen(inPath) - 3), inPath);
  if (!readFile(inPath, input) || !readFile(expectedPath, expected)) {
    fprintf(stderr, "cannot read %s or its expected file\n", inPath);
    ++failures;
    return;
  }
  body = expected->data;
  if (readClock(body, &now)) body = strchr(body, '\n') + 1;
  slots = strstr(body, "\nslot.");
  bodyLength = slots != NULL ? (size_t)(slots - body) + 1 : strlen(body);
  status = quorix_parse_at(parser, input->data, (int32_t)input->length, &now);
  dumpResult(parser, status, actual);
  if (actual->length != bodyLength || memcmp(actual->data, body, bodyLength) != 0) {
    fprintf(stderr, "%s differs.\n--- expected\n%.*s--- through the C interface\n%s", inPath, (int)bodyLength, body,
            actual->data);
    ++failures;
  }
}

static int endsWith(const char* text, const char* end) {
  size_t length = strlen(text), endLength = strlen(end);
  return length >= endLength && strcmp(text + length - endLength, end) == 0;
}

static int checkGoldenCorpus(const char* root) {
  Text input = {0}, expected = {0}, actual = {0};
  int cases = 0;
  struct dirent* family;
  DIR* families = opendir(root);
  quorix_parser* parser = quorix_parser_new();
  CHECK(families != NULL && parser != NULL);
  if (families == NULL || parser == NULL) return 0;
  while ((family = readdir(families)) != NULL) {
    char familyPath[2048];
    struct dirent* entry;
    DIR* files;
    if (family->d_name[0] == '.') continue;
    snprintf(familyPath, sizeof familyPath, "%s/%s", root, family->d_name);
    if ((files = opendir(familyPath)) == NULL) continue;
    while ((entry = readdir(files)) != NULL) {
      char inPath[4096];
      if (!endsWith(entry->d_name, ".in")) continue;
      snprintf(inPath, sizeof inPath, "%s/%s", familyPath, entry->d_name);
      checkGoldenCase(parser, inPath, &input, &expected, &actual);
      ++cases;
    }
    closedir(files);
  }
  closedir(families);
  quorix_parser_free(parser);
  free(input.data);
  free(expected.data);
  free(actual.data);
  return cases;
}

static const char kLicence[] =
    "@\n\x1e\rANSI 636020030002DL00410183ZC02240029DLDAQD1234567\nDCSMORALES\nDCTELENA MARIA\nDBA20300412\n"
    "DBB19850412\nDBC2\nDAG77 PALM AVE\nDAIPHOENIX\nDAJAZ\nDAK850010000\nDCF123\nDCGUSA\nDDEN\nDDFN\nDDGN\r"
    "ZCZCAY\nZCB\r";

static void checkArguments(void) {
  quorix_parser* parser = quorix_parser_new();
  quorix_datetime badMonth = kGoldenNow;
  const int32_t length = (int32_t)strlen(kLicence);
  badMonth.month = 13;

  CHECK(quorix_parse(NULL, kLicence, length) == -21);
  CHECK(quorix_parse_at(NULL, kLicence, length, &kGoldenNow) == -21);
  CHECK(quorix_parse(parser, NULL, length) == -11);
  CHECK(quorix_parse(parser, kLicence, 0) == -17);
  CHECK(quorix_parse(parser, kLicence, -1) == -17);
  CHECK(quorix_parse_at(parser, kLicence, length, NULL) == -21);
  CHECK(quorix_parse_at(parser, kLicence, length, &badMonth) == -21);
  CHECK(quorix_field(parser, 0) == NULL && quorix_decoder_id(parser) == -1);

  /* Readers of a NULL handle answer as for a parser without a result. */
  CHECK(quorix_field(NULL, 0) == NULL && quorix_field_by_name(NULL, "lastName") == NULL);
  CHECK(quorix_standard(NULL) == NULL && quorix_repairs(NULL) == 0);
  CHECK(quorix_decoder_id(NULL) == -1 && quorix_decoder_group(NULL) == -1);
  CHECK(quorix_indicator(NULL, QUORIX_FIELD_IS_ORGAN_DONOR) == -1);
  quorix_parser_free(NULL);

  CHECK(quorix_parse(parser, kLicence, length) == 0);
  CHECK(quorix_field(parser, -1) == NULL && quorix_field(parser, quorix_field_count()) == NULL);
  CHECK(quorix_field_name(-1) == NULL && quorix_field_name(quorix_field_count()) == NULL);
  CHECK(quorix_field_by_name(parser, "lastname") == NULL && quorix_field_by_name(parser, NULL) == NULL);
  CHECK(quorix_indicator(parser, 0) == -1 && quorix_indicator(parser, -1) == -1);
  CHECK(quorix_repair_name(-1) == NULL && quorix_repair_name(quorix_repair_count()) == NULL);
  quorix_parser_free(parser);
}

static void checkResultLifetime(void) {
  static const char kRejected[] = "not a document at all";
  quorix_parser* parser = quorix_parser_new();
  quorix_parser* other = quorix_parser_new();
  const char* lastName;
  static const char kMore[] = "DAU070 IN\nDAYBRO\r";
  const int32_t length = (int32_t)strlen(kLicence);
  char *exact, *longer;
  Text exactDump = {0}, longerDump = {0};

  CHECK(quorix_parse(parser, kLicence, length) == 0);
  lastName = quorix_field_by_name(parser, "lastName");
  CHECK(lastName != NULL && strcmp(lastName, "MORALES") == 0);
  CHECK(quorix_field(parser, 1) == lastName);
  CHECK(strcmp(quorix_field_name(1), "lastName") == 0);
  CHECK(quorix_decoder_group(parser) == 0 && quorix_decoder_id(parser) >= 0);
  CHECK(quorix_standard(parser) != NULL && strncmp(quorix_standard(parser), "AAMVA DL/ID", 11) == 0);
  CHECK(quorix_indicator(parser, QUORIX_FIELD_IS_ORGAN_DONOR) == -1);
  CHECK(quorix_repairs(parser) == 0);

  /* Another handle's parses leave this one's texts as they were. */
  CHECK(quorix_parse(other, kRejected, (int32_t)strlen(kRejected)) == -25);
  CHECK(strcmp(lastName, "MORALES") == 0 && quorix_field(parser, 1) == lastName);

  /* A rejected parse takes the earlier result away. */
  CHECK(quorix_parse(parser, kRejected, (int32_t)strlen(kRejected)) == -25);
  CHECK(quorix_field(parser, 1) == NULL && quorix_standard(parser) == NULL);
  CHECK(quorix_decoder_id(parser) == -1 && quorix_decoder_group(parser) == -1);

  /* The length is obeyed: a copy with no byte behind it (the sanitizer builds catch a read past it), and the
   * same text followed by more elements that the length leaves out, give the same result. */
  exact = malloc((size_t)length);
  longer = malloc((size_t)length + sizeof kMore);
  CHECK(exact != NULL && longer != NULL);
  memcpy(exact, kLicence, (size_t)length);
  memcpy(longer, kLicence, (size_t)length);
  memcpy(longer + length, kMore, sizeof kMore);
  CHECK(quorix_parse(parser, exact, length) == 0);
  dumpResult(parser, 0, &exactDump);
  CHECK(quorix_parse(parser, longer, (int32_t)strlen(longer)) == 0);
  dumpResult(parser, 0, &longerDump);
  CHECK(strcmp(exactDump.data, longerDump.data) != 0);
  CHECK(quorix_parse(parser, longer, length) == 0);
  dumpResult(parser, 0, &longerDump);
  CHECK(strcmp(exactDump.data, longerDump.data) == 0);
  free(exact);
  free(longer);
  free(exactDump.data);
  free(longerDump.data);
  quorix_parser_free(other);
  quorix_parser_free(parser);
}

/* Bytes from 0x80 up, inside a document and as a whole input, never reach a field. */
static void checkHighBytes(void) {
  quorix_parser* parser = quorix_parser_new();
  char text[sizeof kLicence];
  char high[128];
  char* name;
  int32_t i;
  memcpy(text, kLicence, sizeof kLicence);
  name = strstr(text, "ELENA");
  name[1] = (char)0xC9; /* an accented capital E as Latin-1 writes it */
  name[3] = (char)0xFF;
  CHECK(quorix_parse(parser, text, (int32_t)strlen(text)) == 0);
  for (i = 0; i < quorix_field_count(); ++i) {
    const unsigned char* value = (const unsigned char*)quorix_field(parser, i);
    for (; value != NULL && *value != '\0'; ++value) CHECK(*value >= 32 && *value <= 126);
  }
  CHECK(quorix_field_by_name(parser, "firstName") != NULL);
  for (i = 0; i < 128; ++i) high[i] = (char)(0x80 + i);
  CHECK(quorix_parse(parser, high, (int32_t)sizeof high) == -25);
  quorix_parser_free(parser);
}

static quorix_datetime day(int32_t year, int32_t month, int32_t dayOfMonth) {
  quorix_datetime on = {0, 0, 0, 0, 0, 0};
  on.year = year;
  on.month = month;
  on.day = dayOfMonth;
  return on;
}

/* The extras and checks of a card that prints its own under-21 date a day after the 21st birthday. */
static void checkExtrasAndChecks(const char* golden) {
  char path[4096];
  Text input = {0};
  int32_t years = -1;
  quorix_parser* parser = quorix_parser_new();
  const quorix_datetime birthday21 = day(2025, 3, 4), under21Until = day(2025, 3, 5);
  const quorix_datetime expiryDay = day(2031, 3, 4), afterExpiry = day(2031, 3, 5), beforeBirth = day(2004, 3, 3);
  quorix_datetime badDay = day(2025, 2, 0);
  snprintf(path, sizeof path, "%s/aamva/2014-under-age-dates-and-aliases.in", golden);
  CHECK(readFile(path, &input));
  CHECK(quorix_is_expired(parser, &expiryDay) == -26); /* nothing parsed yet */
  CHECK(quorix_parse_at(parser, input.data, (int32_t)input.length, &kGoldenNow) == 0);

  CHECK(quorix_extra_count() > 0 && quorix_extra_name(quorix_extra_count()) == NULL && quorix_extra_name(-1) == NULL);
  CHECK(strcmp(quorix_extra(parser, "under21Until"), "03/05/2025") == 0);
  CHECK(strcmp(quorix_extra(parser, "aliasFamilyName"), "ROE") == 0);
  CHECK(quorix_extra(parser, "aliasFullName") == NULL && quorix_extra(parser, "lastName") == NULL);
  CHECK(quorix_extra(parser, NULL) == NULL && quorix_extra(NULL, "aliasFamilyName") == NULL);
  /* The names the library lends and copies of them ask for the same extra. */
  for (int32_t i = 0; i < quorix_extra_count(); ++i) {
    char copy[64];
    snprintf(copy, sizeof copy, "%s", quorix_extra_name(i));
    CHECK(quorix_extra(parser, copy) == quorix_extra(parser, quorix_extra_name(i)));
  }

  CHECK(quorix_is_expired(parser, &expiryDay) == 0 && quorix_is_expired(parser, &afterExpiry) == 1);
  CHECK(quorix_age_on(parser, &birthday21, &years) == 0 && years == 21);
  CHECK(quorix_is_at_least(parser, 21, &birthday21) == 0 && quorix_is_at_least(parser, 21, &under21Until) == 1);
  CHECK(quorix_is_at_least(parser, 20, &birthday21) == 1);
  years = -1;
  CHECK(quorix_age_on(parser, &beforeBirth, &years) == -26 && years == -1);
  CHECK(quorix_age_on(parser, &birthday21, NULL) == -21);
  CHECK(quorix_is_expired(parser, NULL) == -21 && quorix_is_expired(NULL, &expiryDay) == -21);
  CHECK(quorix_is_at_least(parser, 21, &badDay) == -21);

  CHECK(quorix_parse(parser, "not a document", 14) == -25);
  CHECK(quorix_extra(parser, "under21Until") == NULL && quorix_is_at_least(parser, 18, &birthday21) == -26);
  quorix_parser_free(parser);
  free(input.data);
}

/* The image entry points exist in every build; without the component they refuse and drop the previous result. */
static void checkImageEntryPoints(void) {
  static const uint8_t pixels[16] = {0};
  int32_t corners[8] = {0};
  quorix_parser* parser = quorix_parser_new();
  CHECK(quorix_symbol_format(NULL) == NULL && quorix_symbol_position(NULL, corners) == -21);
  CHECK(quorix_parse_at(parser, kLicence, (int32_t)strlen(kLicence), &kGoldenNow) == 0);
  CHECK(quorix_symbol_format(parser) == NULL && quorix_symbol_position(parser, corners) == -26);
  CHECK(quorix_symbol_position(parser, NULL) == -21);
  CHECK(quorix_parse_image(NULL, pixels, 4, 4, 4, QUORIX_PIXEL_GREY) == -21);
  if (quorix_image_supported() == 0) {
    CHECK(quorix_parse_image(parser, pixels, 4, 4, 4, QUORIX_PIXEL_GREY) == -30);
    CHECK(quorix_field_by_name(parser, "lastName") == NULL && quorix_decoder_id(parser) == -1);
    CHECK(quorix_parse_image_at(parser, pixels, 4, 4, 4, QUORIX_PIXEL_GREY, &kGoldenNow) == -30);
  } else {
    CHECK(quorix_image_supported() == 1);
  }
  CHECK(strcmp(quorix_status_message(-30), "the library was built without the image component") == 0);
  quorix_parser_free(parser);
}

static void checkTexts(const char* version) {
  int32_t i;
  CHECK(strcmp(quorix_version(), version) == 0);
  CHECK(strcmp(quorix_status_message(-25), "no decoder accepted the input") == 0);
  CHECK(strcmp(quorix_status_message(-3), "the decoder that recognised the input failed") == 0);
  CHECK(quorix_status_message(0) != NULL && quorix_status_message(-17) != NULL);
  CHECK(quorix_field_count() == 40);
  for (i = 0; i < quorix_repair_count(); ++i) CHECK(quorix_repair_name(i) != NULL && quorix_repair_name(i)[0] != 0);
}

int main(int argc, char** argv) {
  int cases;
  if (argc != 3) {
    fprintf(stderr, "usage: quorix_c_test GOLDEN_DIR VERSION\n");
    return 2;
  }
  cases = checkGoldenCorpus(argv[1]);
  CHECK(cases > 50);
  checkArguments();
  checkResultLifetime();
  checkHighBytes();
  checkExtrasAndChecks(argv[1]);
  checkImageEntryPoints();
  checkTexts(argv[2]);
  printf("%d golden cases through the C interface; %d failures\n", cases, failures);
  return failures == 0 ? 0 : 1;
}
