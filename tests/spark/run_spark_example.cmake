# Installs the Maven artifact into a scratch local repository, then builds examples/spark/ against it and runs its
# check: the job over a Parquet dataset of the golden texts on a local master, row by row against a parse on one
# thread. Maven fetches Spark into the same repository on the first run. Run by ctest with MVN, POM (java/pom.xml),
# NATIVE_DIR, EXAMPLE (examples/spark), GOLDEN and WORK_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/../install/maven_install.cmake)
set(mvn "${MVN}" -B -q -Dstyle.color=never "-Dmaven.repo.local=${WORK_DIR}/repository")
quorix_install_brevicon("${mvn}" "${WORK_DIR}/repository" "${POM}" "${NATIVE_DIR}" "${WORK_DIR}/brevicon")
file(REMOVE_RECURSE "${WORK_DIR}/example" "${WORK_DIR}/data")
string(TIMESTAMP start "%s")
execute_process(COMMAND ${mvn} -f "${EXAMPLE}/pom.xml" "-Dexample.target=${WORK_DIR}/example" test-compile
  exec:exec@verify "-Dgolden=${GOLDEN}" "-Dwork=${WORK_DIR}/data" RESULT_VARIABLE rc)
string(TIMESTAMP end "%s")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the Spark example's check failed (${rc})")
endif()
math(EXPR seconds "${end} - ${start}")
message(STATUS "the Spark example built and ran in ${seconds} s")
