# quorix-parse --extras and --checks end to end: what they add, where, and that they add nothing unasked.
# Run by ctest with TOOL (the executable) and GOLDEN (testdata/golden).
set(card "${GOLDEN}/aamva/2014-under-age-dates-and-aliases.in")
set(undated "${GOLDEN}/magstripe/lone-track1.in")

function(run expected)
  execute_process(COMMAND "${TOOL}" ${ARGN} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "${expected}")
    message(SEND_ERROR "quorix-parse ${ARGN}: exit ${rc}, output\n${out}\ndoes not match\n${expected}")
  endif()
endfunction()

# The day the card's under-21 date names is one day after the birthday, so the two disagree on 4 March.
run("\nvehicleClassCode=C\nextra.documentDiscriminator=DOC1234567890\nextra.under18Until=03/04/2022\n\
extra.under19Until=03/04/2023\nextra.under21Until=03/05/2025\nextra.aliasFamilyName=ROE\nextra.aliasGivenName=ANNIE\n\
extra.familyNameTruncation=T\nextra.firstNameTruncation=N\nextra.middleNameTruncation=U\ncheck.expired=0\n\
check.age=21\ncheck.atLeast18=1\ncheck.atLeast19=1\ncheck.atLeast21=0\n$"
  --text --extras --checks --now 2025-03-04T12:00:00 "${card}")
run("\"fields\": {[^}]*}, \"extras\": {\"documentDiscriminator\": \"DOC1234567890\", [^}]*}, \"checks\": {\"expired\": \
true, \"age\": 27, \"atLeast18\": true, \"atLeast19\": true, \"atLeast21\": true}, \"slots\": {"
  --slots --checks --extras --now 2031-03-05T00:00:00 "${card}")
run("\"checks\": {\"expired\": false, \"atLeast18\": false, \"atLeast19\": false, \"atLeast21\": false}}\n$"
  --checks "${undated}")
run("\"fields\": {[^}]*}, \"extras\": {}}\n$" --extras "${undated}")
# Unasked, the output is what it always was.
execute_process(COMMAND "${TOOL}" --text --slots "${card}" OUTPUT_VARIABLE plain)
file(READ "${GOLDEN}/aamva/2014-under-age-dates-and-aliases.expected" golden)
if(NOT plain STREQUAL golden OR plain MATCHES "extra\\.|check\\.")
  message(SEND_ERROR "without --extras and --checks the text differs from the golden file")
endif()
