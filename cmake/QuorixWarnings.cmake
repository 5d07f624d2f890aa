# Warnings for our own targets only: each target links quorix_warnings PRIVATE, so consumers never inherit them.
add_library(quorix_warnings INTERFACE)
target_compile_options(quorix_warnings INTERFACE -Wall -Wextra -Wpedantic -Wconversion -Wshadow
  -Wold-style-cast -Wundef -Wcast-qual -Wimplicit-fallthrough $<$<BOOL:${QUORIX_WERROR}>:-Werror>)
