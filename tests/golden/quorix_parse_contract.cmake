# The command-line contract of quorix-parse that scripts depend on: exit statuses, where messages go, output shape.
# Run by ctest with TOOL (the executable), GOLDEN (testdata/golden) and SCRATCH (a directory to write into).
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/rejected.in" "no decoder reads this sentence")
file(WRITE "${SCRATCH}/empty.in" "")

# Each case: name, expected exit status, regex stdout must match, regex stderr must match, then the arguments.
function(expect name status out err)
  execute_process(COMMAND "${TOOL}" ${ARGN} WORKING_DIRECTORY "${SCRATCH}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc STREQUAL status OR NOT stdout MATCHES "${out}" OR NOT stderr MATCHES "${err}")
    message(SEND_ERROR "${name}: quorix-parse ${ARGN}\n  exit ${rc}, wanted ${status}\n"
      "  stdout: [${stdout}] should match [${out}]\n  stderr: [${stderr}] should match [${err}]")
  endif()
endfunction()

expect(version 0 "^v\\.1\\.3\\.0\n$" "^$" --version)
expect(help 0 "^usage: quorix-parse" "^$" --help)
expect(no-files 2 "^$" "no input file given.*usage:" --text)
expect(unknown-option 2 "^$" "unknown option '--xml'" --xml rejected.in)
expect(now-without-time 2 "^$" "--now needs a time" rejected.in --now)
expect(now-not-a-date 2 "^$" "'2024-02-30T00:00:00' is not a valid time" --now 2024-02-30T00:00:00 rejected.in)
# An input that cannot be read has a line of its own in its place, and a message.
expect(missing-file 2 "^\\{\"file\": \"missing\\.in\", \"error\": \"No such file or directory\"\\}\n$"
  "missing\\.in: No such file" missing.in)
expect(directory 2 "^\\{\"file\": \"\\.\", \"error\": \"Is a directory\"\\}\n$" "\\.: Is a directory" .)
expect(directory-text 2 "^== rejected\\.in\nstatus=-25\n== \\.\nerror=Is a directory\n$" "" --text rejected.in .)
set(rejected_json
  "^\\{\"file\": \"rejected\\.in\", \"status\": -25, \"error\": \"no decoder accepted the input\"\\}\n$")
expect(missing-file-beats-rejected 2 "^\\{\"file\": \"rejected\\.in\"[^\n]*\\}\n\\{\"file\": \"missing\\.in\", \"error\""
  "missing\\.in" rejected.in missing.in)
expect(rejected-json 1 "${rejected_json}" "^$" rejected.in)
expect(empty-json 1 "^\\{\"file\": \"empty\\.in\", \"status\": -17, \"error\": \"the input is empty\"\\}\n$"
  "^$" empty.in)
expect(rejected-text 1 "^status=-25\n$" "^$" --text rejected.in)
expect(text-headings 1 "^== rejected\\.in\nstatus=-25\n== empty\\.in\nstatus=-17\n$" "^$" --text rejected.in empty.in)
expect(json-lines 1 "^\\{\"file\": \"rejected\\.in\"[^\n]*\\}\n\\{\"file\": \"empty\\.in\"[^\n]*\\}\n$" "^$"
  --json rejected.in empty.in)
expect(now-line 1 "^now=2030-01-15T10:00:00\nstatus=-25\n$" "^$" --text --now 2030-01-15T10:00:00 rejected.in)
expect(double-dash 1 "^status=-25\n$" "^$" --text -- rejected.in)

execute_process(COMMAND "${TOOL}" --text - INPUT_FILE "${SCRATCH}/rejected.in"
  RESULT_VARIABLE rc OUTPUT_VARIABLE stdout)
if(NOT rc EQUAL 1 OR NOT stdout STREQUAL "status=-25\n")
  message(SEND_ERROR "standard input: exit ${rc}, stdout [${stdout}]; wanted 1 and status=-25")
endif()

# Every golden sample the tool accepts exits 0 and prints one JSON line naming its decoder.
file(GLOB_RECURSE samples "${GOLDEN}/*.in")
foreach(sample IN LISTS samples)
  string(REGEX REPLACE "\\.in$" ".expected" expected "${sample}")
  if(EXISTS "${expected}")
    file(READ "${expected}" expected_text)
    if(expected_text MATCHES "(^|\n)status=0\n")
      set(accepted "^\\{\"file\": [^\n]*\"status\": 0, \"decoder\": \\{\"group\": [0-9], [^\n]*\"fields\": \\{")
      expect("sample ${sample}" 0 "${accepted}[^\n]*\\}\\}\n$" "^$" "${sample}")
    endif()
  endif()
endforeach()
