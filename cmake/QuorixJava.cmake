# The Java side of the library: the jar with the class that declares the natives, and the JNI headers javac
# writes for it. quorix_parser compiles against those headers, so a native signature that drifts from the Java
# declaration fails the build rather than the first call. The jar users ship also carries quorix_parser itself.
include(GNUInstallDirs)

# FindJNI looks under JAVA_HOME; a machine that only has javac on its PATH still has a JDK behind it.
if(NOT DEFINED ENV{JAVA_HOME} AND NOT DEFINED JAVA_HOME)
  find_program(QUORIX_JAVAC javac)
  if(QUORIX_JAVAC)
    file(REAL_PATH "${QUORIX_JAVAC}" _quorix_javac_real)
    get_filename_component(_quorix_java_bin "${_quorix_javac_real}" DIRECTORY)
    get_filename_component(_quorix_java_home "${_quorix_java_bin}" DIRECTORY)
    set(JAVA_HOME "${_quorix_java_home}")
    set(ENV{JAVA_HOME} "${_quorix_java_home}")
  endif()
endif()

find_package(Java 11 REQUIRED COMPONENTS Development Runtime)
# Headers only: the library is loaded by a running JVM and never links libjvm itself.
find_package(JNI REQUIRED OPTIONAL_COMPONENTS JVM)
include(UseJava)

set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -Werror --release 11)
file(GLOB QUORIX_JAVA_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/java/src/main/java/net/quorix/brevicon/*.java)
# The classes alone: javac writes the JNI headers quorix_parser compiles against, so this jar is built before the
# library and cannot carry it. Doclint fails the build when a public or protected member lacks its Javadoc.
block()
  list(APPEND CMAKE_JAVA_COMPILE_FLAGS -Xdoclint:all/protected)
  add_jar(brevicon_classes
    SOURCES ${QUORIX_JAVA_SOURCES}
    OUTPUT_NAME brevicon-classes
    GENERATE_NATIVE_HEADERS brevicon_jni_headers)
endblock()

# The jar users ship: the classes plus, on the one platform we build for, the native library as a resource that
# Brevicon extracts when java.library.path does not have it.
get_target_property(QUORIX_CLASSES_JAR brevicon_classes JAR_FILE)
set(QUORIX_JAR ${PROJECT_BINARY_DIR}/brevicon.jar)
set(QUORIX_NATIVE_PLATFORM "")
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(QUORIX_NATIVE_PLATFORM linux-x86_64)
endif()
add_custom_command(OUTPUT ${QUORIX_JAR}
  COMMAND ${CMAKE_COMMAND} -DCLASSES_JAR=${QUORIX_CLASSES_JAR} -DJAR_TOOL=${Java_JAR_EXECUTABLE}
          -DLIBRARY=$<TARGET_FILE:quorix_parser> -DPLATFORM=${QUORIX_NATIVE_PLATFORM}
          -DSTRIP=$<$<NOT:$<CONFIG:Debug>>:${CMAKE_STRIP}> -DOUTPUT=${QUORIX_JAR}
          -P ${PROJECT_SOURCE_DIR}/cmake/QuorixBundleJar.cmake
  DEPENDS brevicon_classes ${QUORIX_CLASSES_JAR} quorix_parser ${PROJECT_SOURCE_DIR}/cmake/QuorixBundleJar.cmake
  COMMENT "Bundling the native library into brevicon.jar"
  VERBATIM)
add_custom_target(brevicon ALL DEPENDS ${QUORIX_JAR})
# add_jar's INCLUDE_JARS and our tests read the jar's path from this property, as from a jar add_jar made.
set_target_properties(brevicon PROPERTIES JAR_FILE ${QUORIX_JAR})
install(FILES ${QUORIX_JAR} DESTINATION ${CMAKE_INSTALL_DATADIR}/java)
