# Script mode: copies CLASSES_JAR to OUTPUT, adding LIBRARY as net/quorix/brevicon/native/PLATFORM/<file name>
# (stripped with STRIP when given). Without a PLATFORM the jar carries the classes only. The jar is assembled beside
# OUTPUT and renamed over it, so a failed step never leaves a half-written jar behind.
set(work ${OUTPUT}.work)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(COPY_FILE ${CLASSES_JAR} ${work}/bundle.jar)
if(PLATFORM)
  set(resource net/quorix/brevicon/native/${PLATFORM})
  get_filename_component(library_name ${LIBRARY} NAME)
  # The library's file name carries its version; the resource is found by its plain name.
  string(REGEX REPLACE "\\.so(\\.[0-9]+)*$" ".so" library_name ${library_name})
  file(MAKE_DIRECTORY ${work}/${resource})
  file(COPY_FILE ${LIBRARY} ${work}/${resource}/${library_name})
  if(STRIP)
    execute_process(COMMAND ${STRIP} --strip-unneeded ${work}/${resource}/${library_name} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${STRIP} failed (${rc}) on ${library_name}")
    endif()
  endif()
  execute_process(COMMAND ${JAR_TOOL} --update --file ${work}/bundle.jar -C ${work} ${resource}/${library_name}
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${JAR_TOOL} failed (${rc}) adding ${resource}/${library_name}")
  endif()
endif()
file(RENAME ${work}/bundle.jar ${OUTPUT})
file(REMOVE_RECURSE ${work})
