# Script mode, in two uses. With PACKAGE_DIR: creates (once) the virtual environment WORK_DIR/venv with the pinned
# requirements of REQUIREMENTS, and installs the package from PACKAGE_DIR into it with a build directory that stays
# between runs. With TESTS: installs REQUIREMENTS (pinned) into that environment when they changed, and runs the
# pytest suite in TESTS.
set(venv ${WORK_DIR}/venv)
set(python ${venv}/bin/python)

if(NOT EXISTS ${python})
  execute_process(COMMAND ${PYTHON} -m venv ${venv} COMMAND_ERROR_IS_FATAL ANY)
endif()
foreach(requirements IN LISTS REQUIREMENTS)
  get_filename_component(name ${requirements} NAME_WE)
  string(MD5 key ${requirements})
  set(stamp ${venv}/${name}-${key}.stamp)
  if(NOT EXISTS ${stamp} OR ${requirements} IS_NEWER_THAN ${stamp})
    execute_process(COMMAND ${python} -m pip install --quiet --disable-pip-version-check -r ${requirements}
                    COMMAND_ERROR_IS_FATAL ANY)
    file(TOUCH ${stamp})
  endif()
endforeach()

if(PACKAGE_DIR)
  # Without build isolation pip uses the pinned backend already in the environment instead of fetching it each run.
  set(ENV{CMAKE_BUILD_PARALLEL_LEVEL} 2)
  execute_process(
    COMMAND ${python} -m pip install --quiet --disable-pip-version-check --no-build-isolation --no-deps
            --force-reinstall --config-settings=build-dir=${WORK_DIR}/wheel-build ${PACKAGE_DIR}
    COMMAND_ERROR_IS_FATAL ANY)
endif()

if(TESTS)
  set(ENV{QUORIX_PARSE} ${TOOL})
  set(ENV{QUORIX_GOLDEN} ${GOLDEN})
  # From the work directory, so the package is imported from the environment and not from the source folder.
  execute_process(COMMAND ${python} -m pytest -q -p no:cacheprovider ${TESTS}
                  WORKING_DIRECTORY ${WORK_DIR} COMMAND_ERROR_IS_FATAL ANY)
endif()
