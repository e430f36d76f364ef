# novaxis_add_app(<target> [NO_MANIFEST] <sources>...)
# A Windows program on the library: a WIN32 executable linked to
# Novaxis::novaxis, with a static runtime (it imports system DLLs only), that
# carries the library's resources from NOVAXIS_RESOURCE_DIR (set by the package
# or by this tree): the common-controls 6 manifest, which switches the themed
# look on. NO_MANIFEST leaves them out, for programs that bring their own.
function(novaxis_add_app target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_MANIFEST" "" "")
  if(NOT EXISTS "${NOVAXIS_RESOURCE_DIR}/novaxis.rc")
    message(FATAL_ERROR "novaxis_add_app: no novaxis.rc in '${NOVAXIS_RESOURCE_DIR}'; find_package(Novaxis) first")
  endif()
  set(sources ${arg_UNPARSED_ARGUMENTS})
  if(NOT arg_NO_MANIFEST)
    list(APPEND sources ${NOVAXIS_RESOURCE_DIR}/novaxis.rc)
  endif()
  add_executable(${target} WIN32 ${sources})
  target_link_libraries(${target} PRIVATE Novaxis::novaxis)
  if(MINGW)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()
