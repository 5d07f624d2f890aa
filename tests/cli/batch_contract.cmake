# quorix-parse --jsonl-in end to end: every golden input, written as one JSON line, must give the line a run over
# its file alone gives (named by id instead of file), in input order, with 1 or 3 jobs; and the options' errors.
# Run by ctest with TOOL (the executable), GOLDEN (testdata/golden) and SCRATCH (a directory to write into).
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
set(now --now 2030-01-15T10:00:00)

file(GLOB_RECURSE samples "${GOLDEN}/*.in")
list(SORT samples)
set(jsonl "")
set(alone "")
set(id 0)
foreach(sample IN LISTS samples)
  # Every byte as \u00XX: the printable ones too, so the reader's escapes are what carries the text.
  file(READ "${sample}" hex HEX)
  string(REGEX REPLACE "(..)" "\\\\u00\\1" escaped "${hex}")
  string(APPEND jsonl "{\"id\": ${id}, \"text\": \"${escaped}\"}\n")
  execute_process(COMMAND "${TOOL}" ${now} --slots "${sample}" OUTPUT_VARIABLE line RESULT_VARIABLE rc)
  if(NOT rc MATCHES "^[01]$")
    message(FATAL_ERROR "quorix-parse ${sample} exited ${rc}")
  endif()
  string(FIND "${line}" ", \"status\": " at)
  string(SUBSTRING "${line}" ${at} -1 rest)
  string(APPEND alone "{\"id\": ${id}${rest}")
  math(EXPR id "${id} + 1")
endforeach()
file(WRITE "${SCRATCH}/corpus.jsonl" "${jsonl}")

foreach(jobs 1 3)
  execute_process(COMMAND "${TOOL}" --jsonl-in --jobs ${jobs} ${now} --slots corpus.jsonl WORKING_DIRECTORY "${SCRATCH}"
    OUTPUT_VARIABLE batch ERROR_VARIABLE summary RESULT_VARIABLE rc)
  if(NOT batch STREQUAL alone)
    file(WRITE "${SCRATCH}/alone.txt" "${alone}")
    file(WRITE "${SCRATCH}/batch-${jobs}.txt" "${batch}")
    message(SEND_ERROR "--jobs ${jobs}: the batch output differs from one run per file; compare ${SCRATCH}/alone.txt "
      "with ${SCRATCH}/batch-${jobs}.txt")
  endif()
  if(NOT rc EQUAL 1 OR NOT summary MATCHES "^quorix-parse: ${id} inputs in [0-9.]+ s \\([0-9]+ per second\\): [0-9]+ parsed \\(aamva [1-9]")
    message(SEND_ERROR "--jobs ${jobs}: exit ${rc}, standard error [${summary}]")
  endif()
endforeach()

# Each case: name, expected exit status, regex stdout must match, regex stderr must match, then the arguments.
function(expect name status out err)
  execute_process(COMMAND "${TOOL}" ${ARGN} WORKING_DIRECTORY "${SCRATCH}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc STREQUAL status OR NOT stdout MATCHES "${out}" OR NOT stderr MATCHES "${err}")
    message(SEND_ERROR "${name}: quorix-parse ${ARGN}\n  exit ${rc}, wanted ${status}\n"
      "  stdout: [${stdout}] should match [${out}]\n  stderr: [${stderr}] should match [${err}]")
  endif()
endfunction()

file(WRITE "${SCRATCH}/rejected.jsonl" "{\"id\": 1, \"text\": \"no decoder reads this\"}\n")
file(WRITE "${SCRATCH}/mixed.jsonl" "{\"id\": \"a\", \"text\": \"no decoder reads this\"}\n{\"id\": \"b\" \"text\": \"\"}\n")
expect(jobs-without-jsonl 2 "^$" "--jobs applies to --jsonl-in inputs" --jobs 2 mixed.jsonl)
expect(jobs-zero 2 "^$" "--jobs needs a number from 1 to 64, not '0'" --jsonl-in --jobs 0 mixed.jsonl)
expect(jobs-too-many 2 "^$" "not '65'" --jsonl-in --jobs=65 mixed.jsonl)
expect(jobs-missing 2 "^$" "--jobs needs a number from 1 to 64\n" --jsonl-in mixed.jsonl --jobs)
expect(malformed-line 2
  "^\\{\"id\": \"a\", \"status\": -25, [^\n]*\\}\n\\{\"id\": \"b\", \"file\": \"mixed\\.jsonl\", \"line\": 2, \"error\": \"expected ',' or '}' at column 12\"\\}\n$"
  "^quorix-parse: mixed\\.jsonl:2: expected ',' or '}' at column 12\nquorix-parse: 2 inputs in [^\n]*0 parsed [^\n]*, 1 rejected, 1 malformed\n$"
  --jsonl-in mixed.jsonl)
expect(missing-file 2 "^\\{\"file\": \"missing\\.jsonl\", \"error\": \"No such file or directory\"\\}\n\\{\"id\": 1,"
  "missing\\.jsonl: No such file" --jsonl-in missing.jsonl rejected.jsonl)
# Not a terminal, so no progress line: standard error holds the summary alone.
expect(rejected-only 1 "^\\{\"id\": 1, \"status\": -25" "^quorix-parse: 1 inputs in [^\n]*\n$" --jsonl-in rejected.jsonl)

execute_process(COMMAND "${TOOL}" --jsonl-in --text - INPUT_FILE "${SCRATCH}/mixed.jsonl"
  RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_QUIET)
if(NOT rc EQUAL 2 OR NOT stdout STREQUAL "== \"a\"\nstatus=-25\n== -:2\nmalformed=expected ',' or '}' at column 12\n")
  message(SEND_ERROR "standard input: exit ${rc}, stdout [${stdout}]")
endif()
