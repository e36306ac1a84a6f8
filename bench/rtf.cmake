# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_rtf ${CMAKE_CURRENT_LIST_DIR}/bench_rtf.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_rtf PRIVATE vr_assist)
target_include_directories(bench_rtf PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_rtf)
