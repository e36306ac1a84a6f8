vr_add_test(rtf_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/rtf_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/rtf_testdocs.h LIBS vr_assist)
