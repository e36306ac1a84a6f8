# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_shell ${CMAKE_CURRENT_LIST_DIR}/bench_shell.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_shell PRIVATE vr_editor)
target_include_directories(bench_shell PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_shell)
