# SPDX-License-Identifier: GPL-3.0-or-later
# The command line: how it is read, and the program answering it with no display.
vr_add_test(commandline_parse_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/commandline_parse_test.cpp LIBS vr_app)
vr_add_test(commandline_test GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/commandline_test.cpp)
add_dependencies(commandline_test verrindel)
target_compile_definitions(commandline_test PRIVATE
                           VR_EXECUTABLE="$<TARGET_FILE:verrindel>" VR_VERSION="${PROJECT_VERSION}")
