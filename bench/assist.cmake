# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_assist ${CMAKE_CURRENT_LIST_DIR}/bench_assist.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_assist PRIVATE vr_assist)
target_include_directories(bench_assist PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_assist)
