# SPDX-License-Identifier: GPL-3.0-or-later
# Typing through the real window, beside the bare editor; bench_typing_stock is the same
# program against the system's unpatched QScintilla library, the stock anchor.
add_executable(bench_typing ${CMAKE_CURRENT_LIST_DIR}/bench_typing.cpp
               ${CMAKE_CURRENT_LIST_DIR}/typingdriver.h ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_typing PRIVATE vr_app Qt6::Test)
target_include_directories(bench_typing PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_typing)

find_library(VR_STOCK_QSCINTILLA NAMES qscintilla2_qt6)
find_path(VR_STOCK_QSCINTILLA_INCLUDE NAMES Qsci/qsciscintilla.h PATH_SUFFIXES qt6)
if(VR_STOCK_QSCINTILLA AND VR_STOCK_QSCINTILLA_INCLUDE)
  add_executable(bench_typing_stock ${CMAKE_CURRENT_LIST_DIR}/bench_typing.cpp)
  target_compile_definitions(bench_typing_stock PRIVATE VR_TYPING_STOCK QSCINTILLA_DLL)
  target_include_directories(bench_typing_stock PRIVATE ${CMAKE_CURRENT_LIST_DIR}
                                                        ${VR_STOCK_QSCINTILLA_INCLUDE})
  target_link_libraries(bench_typing_stock PRIVATE ${VR_STOCK_QSCINTILLA} Qt6::Widgets)
endif()

add_executable(bench_longlines ${CMAKE_CURRENT_LIST_DIR}/bench_longlines.cpp
               ${CMAKE_CURRENT_LIST_DIR}/typingdriver.h ${CMAKE_CURRENT_LIST_DIR}/benchutil.h)
target_link_libraries(bench_longlines PRIVATE vr_app)
target_include_directories(bench_longlines PRIVATE ${CMAKE_CURRENT_LIST_DIR})
vr_warnings(bench_longlines)
if(TARGET bench_typing_stock)
  add_executable(bench_longlines_stock ${CMAKE_CURRENT_LIST_DIR}/bench_longlines.cpp)
  target_compile_definitions(bench_longlines_stock PRIVATE VR_TYPING_STOCK QSCINTILLA_DLL)
  target_include_directories(bench_longlines_stock PRIVATE ${CMAKE_CURRENT_LIST_DIR}
                                                           ${VR_STOCK_QSCINTILLA_INCLUDE})
  target_link_libraries(bench_longlines_stock PRIVATE ${VR_STOCK_QSCINTILLA} Qt6::Widgets)
endif()
