# libFuzzer target for the result-file readers (geo/result_files): built
# when MORNAX_FUZZ is on, with clang, by fuzz/run-results.sh.
add_executable(mornax_results_fuzz ${CMAKE_CURRENT_LIST_DIR}/result_files_fuzz.cpp)
target_link_libraries(mornax_results_fuzz PRIVATE mornax_geo)
target_link_options(mornax_results_fuzz PRIVATE -fsanitize=fuzzer)
