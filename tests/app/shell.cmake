# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(shell_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_test.cpp)
vr_add_test(preview_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/preview_test.cpp LABELS browser)
