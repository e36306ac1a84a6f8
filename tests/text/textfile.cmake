# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(textfile_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/textfile_test.cpp LIBS vr_text)
