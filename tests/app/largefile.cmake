# SPDX-License-Identifier: GPL-3.0-or-later
# A document of a hundred megabytes through the main window.
vr_add_test(largefile_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/largefile_test.cpp LABELS slow)
