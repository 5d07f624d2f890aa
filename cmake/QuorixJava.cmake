# The Java side of the library: the jar with the class that declares the natives, and the JNI headers javac
# writes for it. quorix_parser compiles against those headers, so a native signature that drifts from the Java
# declaration fails the build rather than the first call.

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
add_jar(brevicon
  SOURCES ${QUORIX_JAVA_SOURCES}
  OUTPUT_NAME brevicon
  GENERATE_NATIVE_HEADERS brevicon_jni_headers)
install_jar(brevicon DESTINATION share/java)
