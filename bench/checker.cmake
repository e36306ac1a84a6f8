# SPDX-License-Identifier: GPL-3.0-or-later
# verrindel --check over a generated 10 MB page, against HTML Tidy on the same file.
add_executable(bench_checker ${CMAKE_CURRENT_LIST_DIR}/checker_bench.cpp)
target_link_libraries(bench_checker PRIVATE vr_checker)
target_include_directories(bench_checker PRIVATE ${CMAKE_CURRENT_LIST_DIR})
add_dependencies(bench_checker verrindel)
target_compile_definitions(bench_checker PRIVATE VR_EXECUTABLE="$<TARGET_FILE:verrindel>")
vr_warnings(bench_checker)
