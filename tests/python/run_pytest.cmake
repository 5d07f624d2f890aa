# Creates (once) a virtual environment with the pinned build and test requirements, installs the package from
# PACKAGE_DIR into it with a build directory that stays between runs, and runs its pytest suite.
set(venv ${WORK_DIR}/venv)
set(python ${venv}/bin/python)
set(requirements ${PACKAGE_DIR}/requirements-dev.txt)
set(stamp ${venv}/requirements.stamp)

if(NOT EXISTS ${python})
  execute_process(COMMAND ${PYTHON} -m venv ${venv} COMMAND_ERROR_IS_FATAL ANY)
endif()
if(NOT EXISTS ${stamp} OR ${requirements} IS_NEWER_THAN ${stamp})
  execute_process(COMMAND ${python} -m pip install --quiet --disable-pip-version-check -r ${requirements}
                  COMMAND_ERROR_IS_FATAL ANY)
  file(TOUCH ${stamp})
endif()

# Without build isolation pip uses the pinned backend already in the environment instead of fetching it each run.
set(ENV{CMAKE_BUILD_PARALLEL_LEVEL} 2)
execute_process(
  COMMAND ${python} -m pip install --quiet --disable-pip-version-check --no-build-isolation --no-deps
          --force-reinstall --config-settings=build-dir=${WORK_DIR}/wheel-build ${PACKAGE_DIR}
  COMMAND_ERROR_IS_FATAL ANY)

set(ENV{QUORIX_PARSE} ${TOOL})
set(ENV{QUORIX_GOLDEN} ${GOLDEN})
# From the work directory, so the package is imported from the environment and not from the source folder.
execute_process(COMMAND ${python} -m pytest -q -p no:cacheprovider ${PACKAGE_DIR}/tests
                WORKING_DIRECTORY ${WORK_DIR} COMMAND_ERROR_IS_FATAL ANY)
