# Installs the Maven artifact net.quorix:brevicon (java/pom.xml, with the native library of a build tree inside)
# into a scratch local repository, dropping what an earlier run put there. Included by the scripts of the tests
# that consume the artifact; mvn is the Maven command line with that repository set.
function(quorix_install_brevicon mvn repository pom native_dir target_dir)
  file(REMOVE_RECURSE "${repository}/net/quorix" "${target_dir}")
  execute_process(COMMAND ${mvn} -f "${pom}" "-Dquorix.native.dir=${native_dir}" "-Dquorix.maven.target=${target_dir}"
    install RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "mvn install of ${pom} failed (${rc})")
  endif()
endfunction()
