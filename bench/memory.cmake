# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_memory ${CMAKE_CURRENT_LIST_DIR}/bench_memory.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_memory PRIVATE vr_app)
target_include_directories(bench_memory PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_memory)
