# SPDX-License-Identifier: GPL-3.0-or-later
# The Edit menu, printing and full-screen editing on the real main window.
vr_add_test(editing_menu_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/editing_menu_test.cpp)
vr_add_test(editing_print_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/editing_print_test.cpp)
vr_add_test(editing_fullscreen_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/editing_fullscreen_test.cpp)
