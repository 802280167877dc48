# Warnings apply to our own code only; third-party headers come in as SYSTEM.
set(KEM_WARNINGS -Wall -Wextra)

# kem_library(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(kem_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KEM_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  if(TAVIRELO_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endif()
endfunction()

# kem_test(<name> SOURCES ... LIBS ... [DISPLAY] [E2E]) - a GoogleTest executable.
# DISPLAY tests need an X server and run under xvfb-run from scripts/test.
# E2E tests start the game on X servers of their own, so they run side by side.
function(kem_test name)
  cmake_parse_arguments(ARG "DISPLAY;E2E" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TAVIRELO_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KEM_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KEM_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
    KEM_TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}"
    KEM_STAGE_DIR="${TAVIRELO_STAGE_DIR}"
    KEM_SOURCE_MEDIA="${TAVIRELO_SOURCE_MEDIA}")
  if(ARG_E2E)
    set(labels e2e)
  elseif(ARG_DISPLAY)
    set(labels display)
  else()
    set(labels unit)
  endif()
  # Tests never wait on a message box, display or not.
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${labels}"
      ENVIRONMENT "XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/xdg-cache"
      ENVIRONMENT_MODIFICATION "TAVIRELO_NO_MESSAGEBOX=set:1")
endfunction()

# kem_fuzzer(<name> SOURCES ... LIBS ...) - a libFuzzer harness, built only
# in the clang fuzz tree. scripts/test runs each one for a bounded number of inputs.
function(kem_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TAVIRELO_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_property(GLOBAL APPEND PROPERTY KEM_FUZZERS ${name})
  add_dependencies(fuzzers ${name})
endfunction()

# kem_benchmark(<name> SOURCES ... LIBS ...) - a Google Benchmark executable.
function(kem_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TAVIRELO_BENCHMARKS OR TAVIRELO_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KEM_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()
