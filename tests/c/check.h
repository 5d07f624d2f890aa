/* The check of the C test programs: a failed condition is printed with its line and counted in failures, and the
 * program goes on, so one run shows every difference. Each program includes it once. */
#ifndef QUORIX_TESTS_C_CHECK_H
#define QUORIX_TESTS_C_CHECK_H

#include <stdio.h>

static int failures = 0;

#define CHECK(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

#endif /* QUORIX_TESTS_C_CHECK_H */
