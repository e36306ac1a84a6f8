# SPDX-License-Identifier: GPL-3.0-or-later
# The tag aids: matching pairs, closing and renaming tags, completion; the scanning without a
# display, the Options menu and the keys in the real window.
vr_add_test(tagaids_logic_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tagaids_logic_test.cpp LIBS vr_assist)
vr_add_test(tagaids_window_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tagaids_window_test.cpp LIBS vr_assist)
