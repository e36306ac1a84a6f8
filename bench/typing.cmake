# SPDX-License-Identifier: GPL-3.0-or-later
# Typing through the real window, on ordinary pages and on long lines, beside the bare
# editor; each <name>_stock is the same program against the system's unpatched QScintilla
# library, the stock anchor.
find_library(VR_STOCK_QSCINTILLA NAMES qscintilla2_qt6)
find_path(VR_STOCK_QSCINTILLA_INCLUDE NAMES Qsci/qsciscintilla.h PATH_SUFFIXES qt6)

function(vr_typing_bench name)
  add_executable(${name} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.cpp
                 ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/typingdriver.h
                 ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/benchutil.h)
  target_link_libraries(${name} PRIVATE vr_app Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  vr_warnings(${name})
  if(VR_STOCK_QSCINTILLA AND VR_STOCK_QSCINTILLA_INCLUDE)
    add_executable(${name}_stock ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.cpp)
    target_compile_definitions(${name}_stock PRIVATE VR_TYPING_STOCK QSCINTILLA_DLL)
    target_include_directories(${name}_stock PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}
                                                     ${VR_STOCK_QSCINTILLA_INCLUDE})
    target_link_libraries(${name}_stock PRIVATE ${VR_STOCK_QSCINTILLA} Qt6::Widgets)
  endif()
endfunction()

vr_typing_bench(bench_typing)
vr_typing_bench(bench_longlines)
