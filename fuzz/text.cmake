# SPDX-License-Identifier: GPL-3.0-or-later
# The pure code that takes the user's text: the validator's checks, the highlighter's
# colour steps, the date formatter and the readings of typed numbers.
vr_add_fuzzer(validator_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/validator_checks_fuzzer.cpp
              ${PROJECT_SOURCE_DIR}/src/validator/checks.cpp LIBS Qt6::Core)
vr_add_fuzzer(syntax_ranges SOURCES ${CMAKE_CURRENT_LIST_DIR}/syntax_ranges_fuzzer.cpp
              ${PROJECT_SOURCE_DIR}/src/assist/syntaxranges.cpp LIBS Qt6::Core qscintilla)
vr_add_fuzzer(date_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/date_format_fuzzer.cpp
              ${PROJECT_SOURCE_DIR}/src/dialogs/dateformat.cpp LIBS Qt6::Core)
vr_add_fuzzer(number_reading SOURCES ${CMAKE_CURRENT_LIST_DIR}/number_reading_fuzzer.cpp
              ${PROJECT_SOURCE_DIR}/src/dialogs/numberinput.cpp LIBS vr_search)
vr_add_fuzzer(editor_positions SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_positions_fuzzer.cpp
              LIBS vr_editor)
