// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <gtest/gtest.h>

#include "app/previewschemeregistration.h"

// GUI tests run real widgets on the display the test command provides.
int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VERRiNDEL"));
    QApplication::setOrganizationName(QStringLiteral("VERRiNDEL"));
    return RUN_ALL_TESTS();
}
