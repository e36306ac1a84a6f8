# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up with a file, the installed desktop files and the Debian package.
vr_add_test(packaging_startuppath_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/packaging_startuppath_test.cpp LIBS vr_app)
vr_add_test(packaging_startup_test GUI
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/packaging_startup_test.cpp LABELS packaging)

# Installs into a temporary prefix and validates the desktop entry and the metainfo.
add_test(NAME Packaging.InstalledDesktopFiles
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/packaging_check_install.sh ${CMAKE_BINARY_DIR})
# Builds the .deb into a temporary folder, lists it and starts the packaged editor.
add_test(NAME Packaging.DebianPackage
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/packaging_check_deb.sh --build ${CMAKE_BINARY_DIR})
set_tests_properties(Packaging.InstalledDesktopFiles Packaging.DebianPackage
                     PROPERTIES TIMEOUT 300 RUN_SERIAL ON LABELS packaging)

# Every tracked source, script and CMake file carries the licence's SPDX line.
add_test(NAME Packaging.LicenceLines
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/packaging_check_spdx.sh ${PROJECT_SOURCE_DIR})
set_tests_properties(Packaging.LicenceLines PROPERTIES SKIP_RETURN_CODE 77 LABELS packaging)

# The screenshot tool still finds every window it pictures, through the menu commands.
add_test(NAME Packaging.ScreenshotsOfEveryWindow
         COMMAND verrindel_screenshots --all ${CMAKE_CURRENT_BINARY_DIR}/screenshots)
set_tests_properties(Packaging.ScreenshotsOfEveryWindow
                     PROPERTIES TIMEOUT 300 RUN_SERIAL ON LABELS "packaging;browser")
