# The command-line contract of quorix-parse --image: output shapes, the no-barcode status, exit statuses, and the
# refusal of a build without the image component. Run by ctest with TOOL, IMAGES (testdata/images), BUILT (ON when
# the component was built) and SCRATCH (a directory to write into).
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/text.png" "ANSI 636014 is a text, not a picture")

# Each case: name, expected exit status, regex stdout must match, regex stderr must match, then the arguments.
function(expect name status out err)
  execute_process(COMMAND "${TOOL}" ${ARGN} WORKING_DIRECTORY "${IMAGES}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc STREQUAL status OR NOT stdout MATCHES "${out}" OR NOT stderr MATCHES "${err}")
    message(SEND_ERROR "${name}: quorix-parse ${ARGN}\n  exit ${rc}, wanted ${status}\n"
      "  stdout: [${stdout}] should match [${out}]\n  stderr: [${stderr}] should match [${err}]")
  endif()
endfunction()

if(NOT BUILT)
  expect(not-built 2 "^$" "--image: this build cannot read images" --image aamva-2016-card.png)
  return()
endif()

set(corners "\\[[0-9]+(, [0-9]+)(, [0-9]+)(, [0-9]+)(, [0-9]+)(, [0-9]+)(, [0-9]+)(, [0-9]+)\\]")
set(no_barcode "\\{\"file\": \"no-barcode\\.png\", \"status\": -28, \"error\": \"no barcode found in the image\"\\}\n")
expect(card-json 0
  "^\\{\"file\": \"aamva-2016-card\\.png\", \"status\": 0, \"decoder\": \\{\"group\": 0, [^\n]*\"fields\": \\{[^\n]*\"lastName\": \"SAMPLE\"[^\n]*\\}, \"image\": \\{\"format\": \"PDF417\", \"position\": ${corners}\\}\\}\n$"
  "^$" --image aamva-2016-card.png)
expect(card-text 0 "^status=0\ndecoder=0/[0-9]+\n.*lastName=SAMPLE\n.*image\\.format=PDF417\nimage\\.position=[0-9]+(,[0-9]+)+\n$"
  "^$" --image --text aamva-2016-card.png)
expect(no-barcode-json 1 "^${no_barcode}$" "^$" --image no-barcode.png)
expect(no-barcode-text 1 "^status=-28\n$" "^$" --image --text no-barcode.png)
expect(rejected-symbol 1
  "^\\{\"file\": \"rejected-code128\\.png\", \"status\": -25, \"error\": \"no decoder accepted the input\", \"image\": \\{\"format\": \"Code128\", \"position\": ${corners}\\}\\}\n$"
  "^$" --image rejected-code128.png)
expect(one-line-each 1 "^\\{\"file\": \"magstripe-track-qr\\.png\", \"status\": 0, [^\n]*\"QRCode\"[^\n]*\n${no_barcode}$" "^$"
  --image magstripe-track-qr.png no-barcode.png)
expect(text-headings 1 "^== no-barcode\\.png\nstatus=-28\n== aamva-2016-card\\.png\nstatus=0\n" "^$"
  --image --text no-barcode.png aamva-2016-card.png)
expect(not-an-image 2 "^$" "text\\.png: not a PNG or JPEG image" --image "${SCRATCH}/text.png")
expect(with-jsonl-in 2 "^$" "--image and --jsonl-in exclude each other" --image --jsonl-in aamva-2016-card.png)
expect(fixed-clock 0 "^now=2030-01-15T10:00:00\nstatus=0\n" "^$" --image --text --now 2030-01-15T10:00:00 aamva-2016-card.png)

execute_process(COMMAND "${TOOL}" --image --text - INPUT_FILE "${IMAGES}/aamva-2016-card.png"
  RESULT_VARIABLE rc OUTPUT_VARIABLE stdout)
if(NOT rc EQUAL 0 OR NOT stdout MATCHES "^status=0\n.*image\\.format=PDF417\n")
  message(SEND_ERROR "standard input: exit ${rc}, stdout [${stdout}]; wanted 0 and a PDF417 result")
endif()
