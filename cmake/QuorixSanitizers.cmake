# QUORIX_SANITIZE=address,undefined instruments everything built here and aborts on the first report.
if(QUORIX_SANITIZE)
  add_compile_options(-fsanitize=${QUORIX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QUORIX_SANITIZE})
endif()

# QUORIX_FUZZ gives libFuzzer coverage of everything built here; only the fuzz targets link its main.
if(QUORIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# QUORIX_COVERAGE instruments everything built here for gcov; the coverage_report target sums up the library's
# own folders after the tests ran. gcov adds to the counters an earlier run left, so coverage_reset clears them
# before the tests: a second run would otherwise count what tests since dropped once covered.
option(QUORIX_COVERAGE "Build with gcc line and branch coverage" OFF)
if(QUORIX_COVERAGE)
  add_compile_options(--coverage -fprofile-update=atomic)
  add_link_options(--coverage)
  add_custom_target(coverage_report
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/coverage_report ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}
    USES_TERMINAL)
  add_custom_target(coverage_reset COMMAND lcov --quiet --zerocounters --directory ${PROJECT_BINARY_DIR})
endif()
