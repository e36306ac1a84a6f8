# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_recovery ${CMAKE_CURRENT_LIST_DIR}/bench_recovery.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_recovery PRIVATE vr_app)
target_include_directories(bench_recovery PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_recovery)
