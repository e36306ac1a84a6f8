# SPDX-License-Identifier: GPL-3.0-or-later
# Find Next, go to line and entering full screen on large documents.
add_executable(bench_editing ${CMAKE_CURRENT_LIST_DIR}/bench_editing.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_editing PRIVATE vr_app Qt6::Test)
target_include_directories(bench_editing PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_editing)
