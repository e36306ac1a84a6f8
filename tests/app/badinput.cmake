# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(badinput_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/badinput_test.cpp LABELS root)
