# SPDX-License-Identifier: GPL-3.0-or-later
# The cost of a key press at 10 MB with the live preview window closed and open.
add_executable(bench_livepreview ${CMAKE_CURRENT_LIST_DIR}/bench_livepreview.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_livepreview PRIVATE vr_app Qt6::Test)
target_include_directories(bench_livepreview PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_livepreview)
