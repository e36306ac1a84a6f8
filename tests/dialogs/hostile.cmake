# SPDX-License-Identifier: GPL-3.0-or-later
# Every snippet dialog, find/replace and go-to fed hostile field values through the window.
vr_add_test(hostile_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostile_test.cpp)
