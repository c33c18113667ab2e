# vorela_man_pages(PROGRAMS DESTINATION): one man page per program, its body
# the program's own --help text (cmake/man_page.cmake), installed to DESTINATION.
function(vorela_man_pages programs destination)
  set(pages "")
  foreach(program ${programs})
    get_target_property(description ${program} VORELA_DESCRIPTION)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page}
      # Asked for help the programs touch no files; the folders say so if one tried.
      COMMAND ${CMAKE_COMMAND} -E env HOME=/dev/null/no-home XDG_DATA_HOME=/dev/null/no-data
              ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
              -DDESCRIPTION=${description} -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page}
              -P ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
      COMMENT "Man page of ${program}"
      VERBATIM)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(vorela_man_pages ALL DEPENDS ${pages})
  add_dependencies(vorela_release vorela_man_pages)
  install(FILES ${pages} DESTINATION ${destination})
endfunction()
