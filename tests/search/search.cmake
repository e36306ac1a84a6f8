# SPDX-License-Identifier: GPL-3.0-or-later
# Find and replace, go to line: the window-free logic, then both dialogs driven as a user does.
vr_add_test(search_logic_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_logic_test.cpp
            LIBS vr_search)
vr_add_test(search_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_window_test.cpp GUI)
