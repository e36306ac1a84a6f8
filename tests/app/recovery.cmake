# SPDX-License-Identifier: GPL-3.0-or-later
# Recovery of unsaved text: the real editor runs as a child process that the test kills.
vr_add_test(recovery_test GUI SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/recovery_test.cpp)
target_compile_definitions(recovery_test PRIVATE VR_EDITOR_PATH="$<TARGET_FILE:verrindel>")
add_dependencies(recovery_test verrindel)

# Its parts on their own: the file's format, the copy in steps and the writing thread.
vr_add_test(recoveryparts_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/recoveryparts_test.cpp)
