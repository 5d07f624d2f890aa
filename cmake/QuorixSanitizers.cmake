# QUORIX_SANITIZE=address,undefined instruments everything built here and aborts on the first report.
if(QUORIX_SANITIZE)
  add_compile_options(-fsanitize=${QUORIX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QUORIX_SANITIZE})
endif()

# QUORIX_FUZZ gives libFuzzer coverage of everything built here; only the fuzz targets link its main.
if(QUORIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
