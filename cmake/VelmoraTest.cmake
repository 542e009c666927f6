# One Qt Test executable per unit, registered in one place.
#   velmora_add_test(tst_frames SOURCES tst_frames.cpp)            core test
#   velmora_add_test(tst_window SOURCES tst_window.cpp UI)         needs the widgets
# A core test links every GUI-free library (through velmora_testsupport), a UI test the
# application's library and with it every window. UI tests are left out of the core-only
# (fuzzing) build.
function(velmora_add_test name)
  cmake_parse_arguments(ARG "UI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ARG_UI AND VELMORA_CORE_ONLY)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE velmora_testsupport Qt6::Test ${ARG_LIBS})
  if(ARG_UI)
    target_link_libraries(${name} PRIVATE velmora_app)
    velmora_use_precompiled_headers(${name} ui)
  else()
    velmora_use_precompiled_headers(${name} core)
  endif()
  # A test's class is moc'ed into its own source, which leaves the generated moc file empty:
  # loading the precompiled header there would cost more than the file itself.
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/mocs_compilation.cpp
    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  # Line tables only for the tests' own code: a failing test's backtrace and a sanitizer's
  # report keep their functions and lines, and a test compiles in a sixth to a fifth less
  # time. The libraries under test keep full debug information.
  if(CMAKE_BUILD_TYPE MATCHES "^(RelWithDebInfo|Debug)$" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${name} PRIVATE -g1)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()
