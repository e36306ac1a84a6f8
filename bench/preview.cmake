# SPDX-License-Identifier: GPL-3.0-or-later
# A big page on the Preview tab and in the live window, beside the bare engine's file:// load.
add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/bench_preview.cpp ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_preview PRIVATE vr_app Qt6::Test)
target_include_directories(bench_preview PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_preview)
