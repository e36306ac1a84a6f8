// SPDX-License-Identifier: GPL-3.0-or-later
// A run of the editor's preview that does not end normally, for the tests of what the next
// start clears away. It prints the path of its preview copy on one line, then:
//   preview_run --leave BASE   ends at once, leaving its private folder in BASE behind;
//   preview_run --show TEXT    shows TEXT on the Preview tab of a main window (the folders
//                              by default) and waits to be killed.
#include <QApplication>
#include <QTabBar>
#include <cstdio>
#include <unistd.h>

#include "app/frmmain.h"
#include "app/preview.h"
#include "app/previewfolder.h"
#include "app/previewschemeregistration.h"
#include "editor/txtcode.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const QByteArray mode = argv[1];
    if (mode == "--leave") {
        QCoreApplication app(argc, argv);
        PreviewFolder folder({QString::fromLocal8Bit(argv[2])});
        QString error;
        if (!folder.writeFile(QStringLiteral("meh.html"), "left", &error))
            return 1;
        std::printf("%s\n", qPrintable(folder.path() + QStringLiteral("/meh.html")));
        std::fflush(stdout);
        ::_exit(0); // as a crash would: nothing is cleared away
    }
    if (mode != "--show")
        return 2;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VERRiNDEL"));
    QApplication::setOrganizationName(QStringLiteral("VERRiNDEL"));
    frmMain window;
    window.show();
    window.txtCode()->SetText(QString::fromLocal8Bit(argv[2]));
    window.tsMain()->setCurrentIndex(1);
    std::printf("%s\n", qPrintable(window.preview()->lastFile()));
    std::fflush(stdout);
    return QApplication::exec();
}
