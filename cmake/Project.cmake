# Helpers shared by every folder.

# Every target states its own include folders; sources include project headers by their path from the
# top folder ("browser/store/L1StructuredStorage.h"). Tests, benchmarks and fuzz targets reach the shared
# helpers in tests/fixtures and bench/common through this target.
add_library(vd_fixtures INTERFACE)
target_include_directories(vd_fixtures INTERFACE ${CMAKE_SOURCE_DIR})

# vd_add_test(NAME SOURCES a.cpp b.cpp LIBS x y [ENV K=V ...] [LABELS l ...])
# One GoogleTest executable, registered with ctest as one test.
function(vd_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_link_libraries(${name} PRIVATE vd_fixtures)
  target_compile_definitions(${name} PRIVATE VD_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VD_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set(env QT_QPA_PLATFORM=offscreen ${T_ENV})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" LABELS "unit;${T_LABELS}" TIMEOUT 600)
endfunction()

# vd_add_fuzz(NAME SOURCES a.cpp LIBS x y)
# A libFuzzer target; ctest runs it briefly over its seed corpus in fuzz/corpus/NAME.
set(VD_FUZZ_SECONDS 6 CACHE STRING "Seconds each fuzz target runs under ctest")
function(vd_add_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VD_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_libraries(${name} PRIVATE vd_fixtures)
  set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
  file(MAKE_DIRECTORY ${work})
  set(seeds ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  if(NOT EXISTS ${seeds})
    set(seeds "")
  endif()
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${VD_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10
                   -print_final_stats=0 ${work} ${seeds})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1")
endfunction()

# vd_add_bench(NAME SOURCES a.cpp LIBS x y)
function(vd_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_link_libraries(${name} PRIVATE vd_fixtures)
  target_compile_definitions(${name} PRIVATE VD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()
