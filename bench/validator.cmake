# SPDX-License-Identifier: GPL-3.0-or-later
# The fifteen validator checks over generated pages, against HTML Tidy on the same file.
add_executable(bench_validator ${CMAKE_CURRENT_LIST_DIR}/validator_bench.cpp)
target_link_libraries(bench_validator PRIVATE vr_validator)
vr_warnings(bench_validator)
