// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QIcon>

#include "app/commandline.h"
#include "app/frmmain.h"
#include "app/previewschemeregistration.h"
#include "app/startup.h"

int main(int argc, char* argv[]) {
    // --help, --version, --validate, --check and a wrong option are answered without a window.
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    // The browser of the Preview tab shares OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VERRiNDEL"));
    QApplication::setOrganizationName(QStringLiteral("VERRiNDEL"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.verrindel.editor"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.verrindel.editor")));

    frmMain window;
    // "No" to the close question ends the program at once, whatever else is open.
    QObject::connect(&window, &frmMain::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    window.show();
    // Unsaved text of a run that ended abnormally is offered back; otherwise
    // `verrindel FILE` opens FILE as Open does (a file that cannot be read is reported and
    // the editor stays untitled).
    // The arguments that Qt left (it takes its own options out), every byte of a name kept.
    startDocument(window, commandLineArguments(argc, argv));
    return QApplication::exec();
}
