/* The C interface of the library, which every other language binds to: a parser handle, the parse, and the
 * result read back field by field. Valid C11 and C++; every name starts with quorix_. */
#ifndef QUORIX_QUORIX_H
#define QUORIX_QUORIX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A parser with the result of its latest parse. One handle serves one thread at a time; different handles are
 * independent. */
typedef struct quorix_parser quorix_parser;

/* A local date and time: year with century, month 1 to 12, day 1 to 31, hour 0 to 23, minute and second 0 to 59. */
typedef struct quorix_datetime {
  int32_t year;
  int32_t month;
  int32_t day;
  int32_t hour;
  int32_t minute;
  int32_t second;
} quorix_datetime;

/* A new parser, or NULL when it cannot be allocated. Free it with quorix_parser_free. */
quorix_parser* quorix_parser_new(void);
/* Frees the parser and everything its accessors returned; NULL is ignored. */
void quorix_parser_free(quorix_parser* parser);

/* Parses length bytes of text (NUL bytes included; nothing beyond them is read) on the local clock. Returns 0 or a
 * negative status: -21 for a NULL parser, -11 for NULL text, -17 for a length below 1, -25 when no decoder
 * accepted the text. Whatever the status, the previous result is gone; after a failure every field is NULL. */
int32_t quorix_parse(quorix_parser* parser, const char* text, int32_t length);
/* The same parse on a fixed clock, so results that depend on the date are reproducible; -21 for a NULL now or
 * one whose members are out of range. */
int32_t quorix_parse_at(quorix_parser* parser, const char* text, int32_t length, const quorix_datetime* now);

/* The 40 result fields, in the order the command-line tool prints them. */
int32_t quorix_field_count(void);
/* The field's name ("firstName", "HAZMATExpDate", ...), or NULL for an index out of range. */
const char* quorix_field_name(int32_t index);
/* The field's text after the latest parse, NUL-terminated printable ASCII; NULL when the document does not yield
 * it, the index is out of range or parser is NULL. The three indicators read "1" or "0". The text belongs to the
 * parser and stays valid until its next parse or its free. */
const char* quorix_field(const quorix_parser* parser, int32_t index);
/* The same, by field name; NULL for a name that is not a field's. */
const char* quorix_field_by_name(const quorix_parser* parser, const char* name);

/* The indicators' field indices. */
#define QUORIX_FIELD_IS_LIMITED_DURATION_DOCUMENT 35
#define QUORIX_FIELD_IS_ORGAN_DONOR 36
#define QUORIX_FIELD_IS_VETERAN 37
/* 1 or 0 for an indicator the document carries; -1 when it does not, or when index is not an indicator's. */
int32_t quorix_indicator(const quorix_parser* parser, int32_t index);

/* The winning decoder's group (0 AAMVA barcode, 1 magnetic stripe, 2 fixed-position card, 3 Common Access Card,
 * 4 national identity card) and id, 0 or more; -1 when the latest parse failed or there was none. */
int32_t quorix_decoder_group(const quorix_parser* parser);
int32_t quorix_decoder_id(const quorix_parser* parser);
/* The edition or layout the document follows ("AAMVA DL/ID 2014"), or NULL when the decoder names none. Valid like
 * a field's text. */
const char* quorix_standard(const quorix_parser* parser);

/* The repairs the latest parse relied on: bit i stands for quorix_repair_name(i). 0 for a clean read. */
uint32_t quorix_repairs(const quorix_parser* parser);
int32_t quorix_repair_count(void);
/* "separators restored", ...; NULL for an index out of range. */
const char* quorix_repair_name(int32_t index);

/* Values a parse reads beyond the 40 fields ("documentDiscriminator", "under21Until", "aliasFamilyName", ...), in
 * the order the command-line tool prints them. A name, once given, is never reused for another value. */
int32_t quorix_extra_count(void);
/* The extra's name, or NULL for an index out of range. */
const char* quorix_extra_name(int32_t index);
/* The extra's text after the latest parse, like a field's; NULL when the document does not carry it or the name
 * is not an extra's. */
const char* quorix_extra(const quorix_parser* parser, const char* name);

/* Checks of the latest result for the day of on (its time of day does not count). Each returns -21 for a NULL
 * parser or on, or one out of range, and -26 when the latest parse failed. */
/* 1 when the card has expired on that day (it is valid through its expiry day), 0 when not or when the document
 * has no readable expiry date. */
int32_t quorix_is_expired(const quorix_parser* parser, const quorix_datetime* on);
/* 0 with the holder's full years on that day in *years; -26, *years untouched, without a readable birth date or
 * for a day before it; -21 also for a NULL years. */
int32_t quorix_age_on(const quorix_parser* parser, const quorix_datetime* on, int32_t* years);
/* 1 when the holder is at least years old on that day, 0 when not or not known. For 18, 19 and 21 the card's own
 * "under ... until" date answers where it prints one. */
int32_t quorix_is_at_least(const quorix_parser* parser, int32_t years, const quorix_datetime* on);

/* Pictures of a barcode. The library reads them only when it was built with the image component (zxing-cpp); a
 * library built without it still has these functions, and quorix_parse_image then returns -30. */
/* Pixel layouts for quorix_parse_image; the value is the number of bytes per pixel. RGB and RGBA are in that byte
 * order; the alpha byte is ignored. */
#define QUORIX_PIXEL_GREY 1
#define QUORIX_PIXEL_RGB 3
#define QUORIX_PIXEL_RGBA 4
/* 1 when quorix_parse_image reads pictures, 0 when the library was built without the image component. */
int32_t quorix_image_supported(void);
/* Finds PDF417, Code 128 and QR symbols in a picture and parses the bytes each encodes, exactly as encoded; with
 * several, the one whose parse reads the most keeps its result. pixels holds height rows of width pixels, the rows
 * row_stride bytes apart (at least width times the bytes per pixel); nothing else is read. Returns 0, after which the
 * fields are read as after quorix_parse, or a negative status: -28 when no symbol could be read, the parse's status
 * (-25, ...) when no decoder accepted any symbol's text, -30 when the library was built without the image
 * component, -21 for a NULL parser or a width, height, stride or format out of range, -11 for NULL pixels. Whatever
 * the status, the previous result is gone. */
int32_t quorix_parse_image(quorix_parser* parser, const uint8_t* pixels, int32_t width, int32_t height,
                           int32_t row_stride, int32_t pixel_format);
/* The same on a fixed clock; -21 also for a NULL now or one out of range. */
int32_t quorix_parse_image_at(quorix_parser* parser, const uint8_t* pixels, int32_t width, int32_t height,
                              int32_t row_stride, int32_t pixel_format, const quorix_datetime* now);
/* The symbol the latest quorix_parse_image took its bytes from, also when the parse rejected them: "PDF417",
 * "Code128" or "QRCode"; NULL after any other parse and after -28. Valid for the life of the program. */
const char* quorix_symbol_format(const quorix_parser* parser);
/* That symbol's four corners, clockwise from its top left as encoded, in pixels of the picture: x0, y0 to x3, y3
 * in corners and 0; -26, corners untouched, when quorix_symbol_format is NULL; -21 for NULL arguments. */
int32_t quorix_symbol_position(const quorix_parser* parser, int32_t corners[8]);

/* What a status means, for people; never NULL, valid for the life of the program. */
const char* quorix_status_message(int32_t status);
/* The library's version text, "v.MAJOR.MINOR.BUILD". */
const char* quorix_version(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* QUORIX_QUORIX_H */
