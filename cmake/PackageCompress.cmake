# Run by CPack on the staged tree before it packs: for the Debian package,
# gzip the manual page and the changelog (no timestamps, so the package's
# bytes depend only on its contents).
if(CPACK_GENERATOR STREQUAL "DEB")
  file(GLOB_RECURSE _plain LIST_DIRECTORIES false ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
  list(FILTER _plain INCLUDE REGEX "/(man6/zephran\\.6|doc/zephran/changelog)$")
  foreach(_file ${_plain})
    execute_process(COMMAND gzip -n -9 -f ${_file} RESULT_VARIABLE _status)
    if(NOT _status EQUAL 0)
      message(FATAL_ERROR "gzip could not compress ${_file}")
    endif()
  endforeach()
endif()
