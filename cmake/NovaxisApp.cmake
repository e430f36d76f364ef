# novaxis_add_app(<target> [NO_MANIFEST] <sources>...)
# A Windows program on the library: a WIN32 executable linked to novaxis
# that carries the library's resources (the common-controls 6 manifest).
# NO_MANIFEST leaves the manifest out, for programs that bring their own.
set(NOVAXIS_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../src/res CACHE INTERNAL "")

function(novaxis_add_app target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_MANIFEST" "" "")
  set(sources ${arg_UNPARSED_ARGUMENTS})
  if(NOT arg_NO_MANIFEST)
    list(APPEND sources ${NOVAXIS_RESOURCE_DIR}/novaxis.rc)
  endif()
  add_executable(${target} WIN32 ${sources})
  target_link_libraries(${target} PRIVATE novaxis)
endfunction()
