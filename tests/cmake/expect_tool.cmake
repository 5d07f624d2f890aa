# The contract scripts' one check: runs TOOL with the arguments in EXPECT_DIR (SCRATCH unless set) and fails the
# test unless the exit status and both streams are as given.
# Each case: name, expected exit status, regex stdout must match, regex stderr must match, then the arguments.
function(expect name status out err)
  if(NOT DEFINED EXPECT_DIR)
    set(EXPECT_DIR "${SCRATCH}")
  endif()
  execute_process(COMMAND "${TOOL}" ${ARGN} WORKING_DIRECTORY "${EXPECT_DIR}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc STREQUAL status OR NOT stdout MATCHES "${out}" OR NOT stderr MATCHES "${err}")
    message(SEND_ERROR "${name}: quorix-parse ${ARGN}\n  exit ${rc}, wanted ${status}\n"
      "  stdout: [${stdout}] should match [${out}]\n  stderr: [${stderr}] should match [${err}]")
  endif()
endfunction()
