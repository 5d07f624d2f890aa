# Script mode: install BUILD_DIR into WORK_DIR/prefix, then build SOURCE_DIR's consumers against it and run them.
# With CC, a C program links the shared library. With JAVAC and JAVA, the Java consumer runs with the installed jar alone: no library path, no LD_LIBRARY_PATH.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGV}")
  endif()
endfunction()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
# A sanitizer build's static library needs the same runtime in the consumer.
set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=${SANITIZE}")
endif()

# find_package(quorix_parser) and the imported quorix::core.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_CXX_COMPILER=${CXX}
    -DCMAKE_BUILD_TYPE=${CONFIG} -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${flags}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)

# pkg-config, from a copy of the tree moved elsewhere: the .pc file must find its prefix wherever it lies.
find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
file(COPY ${prefix}/ DESTINATION ${WORK_DIR}/moved)
execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${WORK_DIR}/moved/lib/pkgconfig
    ${PKG_CONFIG} --cflags --libs quorix_parser
  OUTPUT_VARIABLE pc_flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
string(FIND "${pc_flags}" "-I${WORK_DIR}/moved/" include_at)
string(FIND "${pc_flags}" "-L${WORK_DIR}/moved/" lib_at)
string(FIND "${pc_flags}" "${prefix}" original_at)
if(NOT result EQUAL 0 OR include_at EQUAL -1 OR lib_at EQUAL -1 OR NOT original_at EQUAL -1)
  message(FATAL_ERROR "pkg-config (${result}) gave [${pc_flags}], not the moved tree's directories")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
run(${CXX} -std=c++20 ${flags} ${SOURCE_DIR}/consumer.cpp ${pc_flags} -o ${WORK_DIR}/consumer-pkg-config)
run(${WORK_DIR}/consumer-pkg-config)

# The shared library Java loads, under the name its SONAME gives.
if(NOT EXISTS ${prefix}/lib/libquorix_parser.so.1)
  message(FATAL_ERROR "the shared library was not installed under its SONAME")
endif()
if(READELF)
  execute_process(COMMAND ${READELF} -d ${prefix}/lib/libquorix_parser.so.1 OUTPUT_VARIABLE dynamic)
  if(NOT dynamic MATCHES "Library soname: \\[libquorix_parser\\.so\\.1\\]")
    message(FATAL_ERROR "libquorix_parser.so.1 does not carry the SONAME libquorix_parser.so.1")
  endif()
  # Only the C interface and the JNI entry points are exported; a C++ name there would become part of the ABI.
  execute_process(COMMAND ${READELF} --dyn-syms -W ${prefix}/lib/libquorix_parser.so.1 OUTPUT_VARIABLE symbols)
  string(REPLACE "\n" ";" symbols "${symbols}")
  set(exported 0)
  foreach(line IN LISTS symbols)
    if(line MATCHES " (GLOBAL|WEAK) +DEFAULT +[0-9]+ ([^ @]+)")
      set(name ${CMAKE_MATCH_2})
      if(NOT name MATCHES "^(quorix_|Java_)")
        message(FATAL_ERROR "libquorix_parser.so.1 exports ${name}")
      endif()
      math(EXPR exported "${exported} + 1")
    endif()
  endforeach()
  if(exported LESS 20)
    message(FATAL_ERROR "libquorix_parser.so.1 exports only ${exported} symbols, not the C interface")
  endif()
endif()

# A C program with the installed header and the shared library alone.
if(CC)
  # Linked by the C++ driver, which a sanitizer build's library needs for the C++ parts of its runtimes.
  run(${CC} -std=c11 -Wall -Wextra -Werror -pedantic ${flags} -c ${SOURCE_DIR}/consumer.c -I${prefix}/include
      -o ${WORK_DIR}/consumer-c.o)
  run(${CXX} ${flags} ${WORK_DIR}/consumer-c.o -L${prefix}/lib -lquorix_parser -Wl,-rpath,${prefix}/lib
      -o ${WORK_DIR}/consumer-c)
  run(${WORK_DIR}/consumer-c ${GOLDEN_SAMPLE})
endif()

if(JAVAC)
  set(jar ${prefix}/share/java/brevicon.jar)
  if(NOT EXISTS ${jar})
    message(FATAL_ERROR "the jar was not installed as ${jar}")
  endif()
  run(${JAVAC} -d ${WORK_DIR}/java -cp ${jar} ${SOURCE_DIR}/Consumer.java)
  run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
      ${JAVA} -Djava.library.path=${WORK_DIR}/nowhere -cp ${jar}:${WORK_DIR}/java Consumer)
endif()
