# libFuzzer target of the result-file readers (geo/result_files), built with
# clang's address and undefined-behaviour sanitizers when MORNAX_BUILD_FUZZ
# is on; fuzz/run-results.sh builds and runs it for a bounded time.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MORNAX_BUILD_FUZZ needs clang: configure with CXX=clang++")
endif()

set(MORNAX_RESULTS_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined
                              -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

# The GIS room instrumented for coverage and the sanitizers, unless another
# fuzz list made it already.
if(NOT TARGET mornax_geo_fuzz)
  file(GLOB MORNAX_RESULTS_FUZZ_GEO CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/geo/*.cpp)
  add_library(mornax_geo_fuzz STATIC ${MORNAX_RESULTS_FUZZ_GEO})
  target_compile_options(mornax_geo_fuzz PRIVATE ${MORNAX_RESULTS_FUZZ_FLAGS})
  target_include_directories(mornax_geo_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(mornax_geo_fuzz PUBLIC GDAL::GDAL mornax_engine mornax_project)
endif()

add_executable(fuzz_result_files ${CMAKE_CURRENT_LIST_DIR}/result_files_fuzz.cpp)
target_compile_options(fuzz_result_files PRIVATE ${MORNAX_RESULTS_FUZZ_FLAGS})
target_link_options(fuzz_result_files PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_result_files PRIVATE mornax_geo_fuzz)
