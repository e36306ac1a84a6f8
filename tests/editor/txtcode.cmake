# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(txtcode_test GUI NOAPP SOURCES ${CMAKE_CURRENT_LIST_DIR}/txtcode_test.cpp LIBS vr_editor
            Qt6::GuiPrivate)
vr_add_test(editorbytes_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/editorbytes_test.cpp LIBS vr_editor)
