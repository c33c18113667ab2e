# What `cmake --install` lays out and what CPack packs: the shipped programs and
# tools, their documentation, and for the POSIX build the man pages.
#
# Windows: one folder holding both programs side by side (the cleaner starts
# the menu tool from its own folder), the tools, README.txt and the docs.
# POSIX: bin/, share/man/man1 and share/doc/vorela.
get_property(vorela_programs GLOBAL PROPERTY VORELA_PROGRAMS)

if(WIN32)
  set(vorela_bin_dir .)
  set(vorela_doc_dir docs)
else()
  include(GNUInstallDirs)
  set(vorela_bin_dir ${CMAKE_INSTALL_BINDIR})
  set(vorela_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/vorela)
endif()

install(TARGETS ${vorela_programs} RUNTIME DESTINATION ${vorela_bin_dir})
# What the archives hold, without the tests: scripts/release builds this target,
# and installing or packing does not build the whole tree first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(vorela_release DEPENDS ${vorela_programs})
file(GLOB vorela_docs ${PROJECT_SOURCE_DIR}/docs/*.md)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${vorela_docs} DESTINATION ${vorela_doc_dir})

if(WIN32)
  # Notepad of older systems shows a file with bare line feeds as one line.
  configure_file(${PROJECT_SOURCE_DIR}/cmake/README.txt.in
                 ${CMAKE_BINARY_DIR}/generated/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/generated/README.txt DESTINATION .)
elseif(NOT CMAKE_CROSSCOMPILING AND NOT VORELA_SANITIZE AND NOT VORELA_FUZZ)
  include(${PROJECT_SOURCE_DIR}/cmake/man_pages.cmake)
  vorela_man_pages("${vorela_programs}" ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME vorela)
set(CPACK_PACKAGE_VENDOR vorela)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vorela! menu tool, cleaner and package tools")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "86$")
    set(CPACK_SYSTEM_NAME win32)
  else()
    set(CPACK_SYSTEM_NAME win64)
  endif()
else()
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
