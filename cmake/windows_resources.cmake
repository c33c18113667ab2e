# vorela_windows_resources(TARGET DESCRIPTION text [EXTRA_RC file] [DEPENDS files...]):
# gives a Windows executable its version block and application manifest, both
# generated from the one project version, so Explorer, installers and
# `--version` always agree. EXTRA_RC names an .rc file of the program's own
# resources; it is included from the generated file (its paths are relative
# to src/platform) and DEPENDS lists the files it pulls in.
function(vorela_windows_resources target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;EXTRA_RC" "DEPENDS" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  enable_language(RC)
  set(patch ${PROJECT_VERSION_PATCH})
  if(patch STREQUAL "")
    set(patch 0)
  endif()
  set(VORELA_RC_NAME ${target})
  set(VORELA_RC_DESCRIPTION "${ARG_DESCRIPTION}")
  set(VORELA_RC_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${patch},0")
  set(VORELA_RC_VERSION_DOTS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${patch}.0")
  set(out_dir ${CMAKE_BINARY_DIR}/generated/resources)
  set(VORELA_RC_MANIFEST ${out_dir}/${target}.manifest)
  set(VORELA_RC_EXTRA "")
  if(ARG_EXTRA_RC)
    set(VORELA_RC_EXTRA "#include \"${ARG_EXTRA_RC}\"")
  endif()
  set(win32 ${PROJECT_SOURCE_DIR}/src/platform/win32)
  configure_file(${win32}/vorela.manifest.in ${VORELA_RC_MANIFEST} @ONLY)
  configure_file(${win32}/program.rc.in ${out_dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${out_dir}/${target}.rc)
  set(deps ${VORELA_RC_MANIFEST} ${ARG_DEPENDS})
  if(ARG_EXTRA_RC)
    list(APPEND deps ${PROJECT_SOURCE_DIR}/src/platform/${ARG_EXTRA_RC})
  endif()
  set_source_files_properties(${out_dir}/${target}.rc PROPERTIES
    COMPILE_OPTIONS "-I${PROJECT_SOURCE_DIR}/src/platform"
    OBJECT_DEPENDS "${deps}")
endfunction()
