# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(rtf_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/rtf_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/rtf_testdocs.h LIBS vr_assist)
vr_add_test(rtf_gui_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/rtf_gui_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/rtf_testdocs.h LIBS vr_app)
target_compile_definitions(rtf_gui_test PRIVATE
                           VR_RTF_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures/rtf")
