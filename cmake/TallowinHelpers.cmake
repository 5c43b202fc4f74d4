# Adds every immediate subdirectory of the current source directory that has
# a CMakeLists.txt, so each subsystem owns its own build file.
function(tallowin_add_subdirectories)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# tallowin_add_test(NAME name SOURCES ... LIBS ...)
# One GoogleTest executable; its tests are registered with CTest. No test
# sees the display of the session that runs them: a print dialog shows only
# where a test asks for one. The cache of font matches the tests fill lives
# in the build tree, never in the user's cache folder.
function(tallowin_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  tallowin_warnings(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES ENVIRONMENT "TALLOWIN_LIBDIR=${TALLOWIN_LIB_DIR}"
    DISCOVERY_TIMEOUT 60)
  # A list-valued property does not pass through the discovery intact, so it
  # is set on the discovered tests by a script CTest reads after them.
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_environment.cmake)
  file(WRITE ${script} "if(DEFINED ${T_NAME}_TESTS)
  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES ENVIRONMENT_MODIFICATION
    \"LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp:print_suppressions=0;DISPLAY=unset:;WAYLAND_DISPLAY=unset:;PAPERSIZE=unset:;PAPERCONF=set:/nonexistent/papersize;CUPS_SERVER=set:/nonexistent/cups.sock;LPDEST=unset:;PRINTER=unset:;XDG_CACHE_HOME=set:${CMAKE_BINARY_DIR}/tests/cache\")
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# tallowin_add_fuzzer(NAME name SOURCES ... LIBS ... CORPUS dir)
# With TALLOWIN_FUZZ the target is a libFuzzer binary. Otherwise it is linked
# with a small driver that replays the committed corpus, registered as a test.
function(tallowin_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(TALLOWIN_FUZZ)
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    if(BUILD_TESTING)
      add_test(NAME ${F_NAME}.replay COMMAND ${F_NAME} ${F_CORPUS})
      set_tests_properties(${F_NAME}.replay PROPERTIES ENVIRONMENT
        "TALLOWIN_LIBDIR=${TALLOWIN_LIB_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp:print_suppressions=0;XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/tests/cache")
    endif()
  endif()
endfunction()
