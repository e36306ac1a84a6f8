# SPDX-License-Identifier: GPL-3.0-or-later
# Markup assistance: the pure logic without a display, the commands in the real window.
vr_add_test(markup_logic_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/markup_logic_test.cpp LIBS vr_assist)
vr_add_test(markup_window_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/markup_window_test.cpp LIBS vr_assist)
