/* The C interface's pictures, in a library built with the image component: a card drawn as PDF417 read in every
 * pixel layout and row stride with the fields its text gives, a symbol no decoder accepts, a picture without a
 * symbol, and the argument rules. */
#include <quorix/quorix.h>
#include <stb_image.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"

static const quorix_datetime kNow = {2024, 6, 15, 12, 0, 0};

typedef struct {
  unsigned char* pixels;
  int width;
  int height;
} Picture;

static Picture load(const char* images, const char* name, int bytesPerPixel) {
  char path[4096];
  int channels = 0;
  Picture picture = {NULL, 0, 0};
  snprintf(path, sizeof path, "%s/%s", images, name);
  picture.pixels = stbi_load(path, &picture.width, &picture.height, &channels, bytesPerPixel);
  if (picture.pixels == NULL) {
    fprintf(stderr, "cannot read %s\n", path);
    exit(2);
  }
  return picture;
}

static int sameText(const char* a, const char* b) { return (a == NULL && b == NULL) || (a && b && !strcmp(a, b)); }

/* 1 when both parsers hold the same decoder, edition and fields. */
static int sameResult(const quorix_parser* a, const quorix_parser* b) {
  int32_t i;
  int same = quorix_decoder_group(a) == quorix_decoder_group(b) && quorix_decoder_id(a) == quorix_decoder_id(b) &&
             sameText(quorix_standard(a), quorix_standard(b));
  for (i = 0; i < quorix_field_count(); ++i) {
    if (!sameText(quorix_field(a, i), quorix_field(b, i))) {
      fprintf(stderr, "%s: [%s] against [%s]\n", quorix_field_name(i), quorix_field(a, i), quorix_field(b, i));
      same = 0;
    }
  }
  return same;
}

static char* readText(const char* path, int32_t* length) {
  static char text[1 << 16];
  FILE* file = fopen(path, "rb");
  if (file == NULL) return NULL;
  *length = (int32_t)fread(text, 1, sizeof text, file);
  fclose(file);
  return text;
}

/* The card in grey, RGB and RGBA, each with rows packed and with rows padded, must give its text's result. */
static void checkCard(const char* golden, const char* images) {
  static const int kLayouts[] = {QUORIX_PIXEL_GREY, QUORIX_PIXEL_RGB, QUORIX_PIXEL_RGBA};
  char path[4096];
  int32_t length = 0;
  const char* text;
  size_t layout;
  quorix_parser* fromText = quorix_parser_new();
  quorix_parser* fromImage = quorix_parser_new();
  snprintf(path, sizeof path, "%s/aamva/2016-v9-current-edition.in", golden);
  text = readText(path, &length);
  CHECK(text != NULL && quorix_parse_at(fromText, text, length, &kNow) == 0);

  for (layout = 0; layout < sizeof kLayouts / sizeof kLayouts[0]; ++layout) {
    const int bytes = kLayouts[layout];
    Picture card = load(images, "aamva-2016-card.png", bytes);
    const int32_t packed = card.width * bytes, padded = packed + 7;
    unsigned char* spaced = calloc((size_t)padded * (size_t)card.height, 1);
    int32_t corners[8] = {0}, y, i;
    for (y = 0; y < card.height; ++y) memcpy(spaced + y * padded, card.pixels + y * packed, (size_t)packed);

    CHECK(quorix_parse_image_at(fromImage, card.pixels, card.width, card.height, packed, bytes, &kNow) == 0);
    CHECK(sameResult(fromImage, fromText));
    CHECK(sameText(quorix_symbol_format(fromImage), "PDF417"));
    CHECK(quorix_symbol_position(fromImage, corners) == 0);
    for (i = 0; i < 8; i += 2) CHECK(corners[i] >= 0 && corners[i] < card.width);
    for (i = 1; i < 8; i += 2) CHECK(corners[i] >= 0 && corners[i] < card.height);
    CHECK(corners[0] < corners[2] && corners[1] < corners[7]); /* clockwise from the top left */

    CHECK(quorix_parse_image_at(fromImage, spaced, card.width, card.height, padded, bytes, &kNow) == 0);
    CHECK(sameResult(fromImage, fromText));
    /* A text parse afterwards leaves no symbol behind. */
    CHECK(quorix_parse_at(fromImage, text, length, &kNow) == 0 && quorix_symbol_format(fromImage) == NULL);
    CHECK(quorix_symbol_position(fromImage, corners) == -26);
    free(spaced);
    stbi_image_free(card.pixels);
  }
  quorix_parser_free(fromText);
  quorix_parser_free(fromImage);
}

/* A readable symbol that no decoder accepts, and a picture with none; each drops the previous result. */
static void checkMisses(const char* images) {
  quorix_parser* parser = quorix_parser_new();
  Picture card = load(images, "aamva-2016-card.png", 1);
  Picture rejected = load(images, "rejected-code128.png", 1);
  Picture empty = load(images, "no-barcode.png", 1);
  int32_t corners[8] = {-1, -1, -1, -1, -1, -1, -1, -1};

  CHECK(quorix_parse_image(parser, card.pixels, card.width, card.height, card.width, 1) == 0);
  CHECK(quorix_parse_image(parser, rejected.pixels, rejected.width, rejected.height, rejected.width, 1) == -25);
  CHECK(sameText(quorix_symbol_format(parser), "Code128") && quorix_symbol_position(parser, corners) == 0);
  CHECK(corners[2] > corners[0]);
  CHECK(quorix_decoder_id(parser) == -1 && quorix_field_by_name(parser, "lastName") == NULL);

  CHECK(quorix_parse_image(parser, empty.pixels, empty.width, empty.height, empty.width, 1) == -28);
  CHECK(quorix_symbol_format(parser) == NULL && quorix_symbol_position(parser, corners) == -26);
  CHECK(strcmp(quorix_status_message(-28), "no barcode found in the image") == 0);
  stbi_image_free(card.pixels);
  stbi_image_free(rejected.pixels);
  stbi_image_free(empty.pixels);
  quorix_parser_free(parser);
}

static void checkArguments(void) {
  static const uint8_t pixels[16] = {0};
  quorix_parser* parser = quorix_parser_new();
  const quorix_datetime badNow = {2024, 13, 1, 0, 0, 0};
  CHECK(quorix_image_supported() == 1);
  CHECK(quorix_parse_image(NULL, pixels, 4, 4, 4, QUORIX_PIXEL_GREY) == -21);
  CHECK(quorix_parse_image(parser, NULL, 4, 4, 4, QUORIX_PIXEL_GREY) == -11);
  CHECK(quorix_parse_image(parser, pixels, 4, 4, 3, QUORIX_PIXEL_GREY) == -21); /* stride below a row */
  CHECK(quorix_parse_image(parser, pixels, 2, 2, 8, 2) == -21);                 /* no such layout */
  CHECK(quorix_parse_image(parser, pixels, 0, 4, 4, QUORIX_PIXEL_GREY) == -21);
  CHECK(quorix_parse_image(parser, pixels, 1, 4, 3, QUORIX_PIXEL_RGBA) == -21);
  CHECK(quorix_parse_image_at(parser, pixels, 4, 4, 4, QUORIX_PIXEL_GREY, NULL) == -21);
  CHECK(quorix_parse_image_at(parser, pixels, 4, 4, 4, QUORIX_PIXEL_GREY, &badNow) == -21);
  CHECK(quorix_parse_image(parser, pixels, 4, 4, 4, QUORIX_PIXEL_GREY) == -28); /* blank */
  quorix_parser_free(parser);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: quorix_c_image_test GOLDEN_DIR IMAGES_DIR\n");
    return 2;
  }
  checkCard(argv[1], argv[2]);
  checkMisses(argv[2]);
  checkArguments();
  printf("pictures through the C interface: %d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
