# QUORIX_SANITIZE=address,undefined instruments everything built here and aborts on the first report.
if(QUORIX_SANITIZE)
  add_compile_options(-fsanitize=${QUORIX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QUORIX_SANITIZE})
endif()
