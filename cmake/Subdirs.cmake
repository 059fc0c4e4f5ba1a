# zephran_add_subdirectories(): adds every folder directly below the calling
# CMakeLists.txt's folder that has a CMakeLists.txt of its own, in name order.
# tools/, tests/ and bench/ take their parts this way, so a new tool, test
# area or benchmark needs no edit of the list above it.
function(zephran_add_subdirectories)
  file(GLOB _entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_entry ${_entries})
    if(IS_DIRECTORY ${_entry} AND EXISTS ${_entry}/CMakeLists.txt)
      add_subdirectory(${_entry})
    endif()
  endforeach()
endfunction()
