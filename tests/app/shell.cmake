# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(shell_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_test.cpp)
vr_add_test(preview_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/preview_test.cpp LABELS browser)
# A run of the preview that the tests end without a normal exit.
add_executable(preview_run ${CMAKE_CURRENT_LIST_DIR}/preview_run.cpp)
target_link_libraries(preview_run PRIVATE vr_app)
vr_warnings(preview_run)
target_compile_definitions(preview_test PRIVATE VR_PREVIEW_RUN="$<TARGET_FILE:preview_run>")
add_dependencies(preview_test preview_run)
