# Installs the Maven artifact into a scratch local repository, then builds and runs a consumer that depends on
# net.quorix:brevicon alone, over a golden sample; the decoder and fields must be those the tool prints.
# Run by ctest with MVN, POM (java/pom.xml), NATIVE_DIR, CONSUMER, WORK_DIR, TOOL and SAMPLE.
include(${CMAKE_CURRENT_LIST_DIR}/maven_install.cmake)
file(REMOVE_RECURSE "${WORK_DIR}/consumer")
set(mvn "${MVN}" -B -q -Dstyle.color=never "-Dmaven.repo.local=${WORK_DIR}/repository")
quorix_install_brevicon("${mvn}" "${WORK_DIR}/repository" "${POM}" "${NATIVE_DIR}" "${WORK_DIR}/brevicon")
execute_process(COMMAND ${mvn} -f "${CONSUMER}/pom.xml" "-Dconsumer.target=${WORK_DIR}/consumer" compile exec:java
  "-Dexec.args=${SAMPLE}" OUTPUT_VARIABLE out RESULT_VARIABLE rc)
# Maven 3.8 colours even quiet batch output.
string(ASCII 27 escape)
string(REGEX REPLACE "${escape}\\[[0-9;]*m" "" out "${out}")
execute_process(COMMAND "${TOOL}" "${SAMPLE}" OUTPUT_VARIABLE line)
string(REGEX MATCH "\"group\": ([0-9]+), \"id\": ([0-9]+)" decoder "${line}")
set(expected "decoder=${CMAKE_MATCH_1}/${CMAKE_MATCH_2}\n")
string(REGEX MATCH "\"fields\": ({[^}]*})" fields "${line}")
string(APPEND expected "${CMAKE_MATCH_1}\n")
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "the Maven consumer exited ${rc} and printed\n${out}\ninstead of\n${expected}")
endif()
