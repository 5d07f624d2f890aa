# Script mode, in two steps. STEP=install: lays the package out in WORK_DIR/node_modules/quorix-parser from the
# files of PACKAGE_DIR, installs its pinned dependencies there with npm when package.json changed, and builds the
# addon with cmake-js into the package's build folder, which stays between runs. STEP=test: runs the package's
# tests from WORK_DIR, so they load the package as a user's code would.
set(package ${WORK_DIR}/node_modules/quorix-parser)

if(STEP STREQUAL "install")
  file(MAKE_DIRECTORY ${package})
  foreach(file package.json index.js index.mjs index.d.ts)
    file(COPY_FILE ${PACKAGE_DIR}/${file} ${package}/${file} ONLY_IF_DIFFERENT)
  endforeach()
  set(stamp ${package}/node_modules/dependencies.stamp)
  if(NOT EXISTS ${stamp} OR ${PACKAGE_DIR}/package.json IS_NEWER_THAN ${stamp})
    execute_process(COMMAND ${NPM} install --ignore-scripts --no-audit --no-fund --no-package-lock --loglevel=error
                    WORKING_DIRECTORY ${package} COMMAND_ERROR_IS_FATAL ANY)
    file(TOUCH ${stamp})
  endif()
  execute_process(
    COMMAND ${NODE} ${package}/node_modules/cmake-js/bin/cmake-js compile --directory ${PACKAGE_DIR}
            --out ${package}/build --parallel 2 --cmake-path ${CMAKE_COMMAND} --log-level error
            --CDNODE_ADDON_API_DIR=${package}/node_modules/node-addon-api
    COMMAND_ERROR_IS_FATAL ANY)
elseif(STEP STREQUAL "test")
  file(MAKE_DIRECTORY ${WORK_DIR}/test)
  file(GLOB tests ${PACKAGE_DIR}/test/*.test.js)
  foreach(file IN LISTS tests)
    get_filename_component(name ${file} NAME)
    file(COPY_FILE ${file} ${WORK_DIR}/test/${name} ONLY_IF_DIFFERENT)
    list(APPEND copies ${WORK_DIR}/test/${name})
  endforeach()
  set(ENV{QUORIX_PARSE} ${TOOL})
  set(ENV{QUORIX_GOLDEN} ${GOLDEN})
  execute_process(COMMAND ${NODE} --test ${copies} WORKING_DIRECTORY ${WORK_DIR} COMMAND_ERROR_IS_FATAL ANY)
else()
  message(FATAL_ERROR "STEP is install or test")
endif()
