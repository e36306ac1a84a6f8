# SPDX-License-Identifier: GPL-3.0-or-later
# View > Problems: the findings' places through edits and the text's copy in pieces (no
# display), and the pane and the squiggles driven in the real window.
vr_add_test(problems_logic_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/problems_logic_test.cpp LIBS vr_app)
vr_add_test(problems_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/problems_test.cpp)
