# SPDX-License-Identifier: GPL-3.0-or-later
# View > Line Numbers, Word Wrap and zoom, the full-screen window's numbers, File > Recent Files.
vr_add_test(viewaids_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/viewaids_test.cpp)
