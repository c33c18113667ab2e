# Helpers shared by every CMakeLists.txt of the tree.
include(GoogleTest)

set(VORELA_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# vorela_library(NAME DIR [DEPS ...]): a static library from every .cpp of DIR
# (and of DIR/<backend> when it exists). New files are picked up without editing.
function(vorela_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(EXISTS ${dir}/${VORELA_BACKEND})
    file(GLOB backend_srcs CONFIGURE_DEPENDS ${dir}/${VORELA_BACKEND}/*.cpp)
    list(APPEND srcs ${backend_srcs})
  endif()
  if(NOT srcs)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${VORELA_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# vorela_test(NAME SOURCES ... [LIBS ...] [NULL_GRAPHICS]): a GoogleTest executable
# whose cases are discovered when ctest runs (under Wine in the Windows build).
# NULL_GRAPHICS: tests that make real windows run under Wine in prefixes with the
# null graphics driver (no X server); discovery uses the same emulator.
function(vorela_test name)
  cmake_parse_arguments(ARG "NO_MAIN;NULL_GRAPHICS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_NULL_GRAPHICS AND CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                          "env;VORELA_WINE_GRAPHICS=null;${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${VORELA_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} vorela_test_support GTest::gmock GTest::gtest)
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 120
                       ENVIRONMENT "VORELA_TEST_BIN=${CMAKE_BINARY_DIR}/bin")
endfunction()

# vorela_program(NAME SOURCES ... LIBS ...): a shipped program, placed in bin/.
function(vorela_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VORELA_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  # With every C++ library linked in (VORELA_STATIC_LIBS), the C++ runtime can
  # be too: two shared objects fewer to load and relocate at each start. Not
  # under the sanitizers, whose runtime takes the place of parts of it.
  if(NOT WIN32 AND VORELA_STATIC_LIBS AND NOT VORELA_SANITIZE AND NOT VORELA_FUZZ)
    target_link_options(${name} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
