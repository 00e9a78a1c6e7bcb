# olm_library(<folder> [DEPS targets...])
# One static library per source folder, built from every .cpp in it.
function(olm_library name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(olm_${name} STATIC ${srcs})
  target_include_directories(olm_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(olm_${name} PUBLIC olm_options ${A_DEPS})
endfunction()

# olm_test(<folder> [DEPS targets...])
# One GoogleTest program per test folder, built from every .cpp in it.
function(olm_test name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(test_${name} ${srcs})
  target_link_libraries(test_${name} PRIVATE olm_test_support ${A_DEPS} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60)
endfunction()

# olm_bench(<name> [DEPS targets...]) : a Google Benchmark program bench_<name>.
function(olm_bench name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  add_executable(bench_${name} ${CMAKE_CURRENT_SOURCE_DIR}/bench_${name}.cpp)
  target_link_libraries(bench_${name} PRIVATE olm_options ${A_DEPS} benchmark::benchmark)
endfunction()
