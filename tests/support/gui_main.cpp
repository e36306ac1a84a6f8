// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/previewschemeregistration.h"

namespace {

// Starts an X server of this process's own and points DISPLAY at it; returns its process
// id, or 0 when none could be started (the display the test command gave stays in use).
// Tests check where the keyboard focus is. On a display shared by test processes that run
// in parallel, another process's new window can take the focus at any moment; a display
// of its own keeps each process's windows to themselves.
pid_t startOwnDisplay() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return 0;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return 0;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The server writes its display number to this descriptor once it accepts clients.
        const int out = dup(fds[1]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(out);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        waitpid(pid, nullptr, 0);
        return 0;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    unsetenv("XAUTHORITY");
    return pid;
}

void stopOwnDisplay(pid_t pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

} // namespace

// GUI tests run real widgets on the display the test command provides, or, when the test
// runner sets VR_OWN_DISPLAY, on an X server of their own.
int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    ::testing::InitGoogleTest(&argc, argv);
    pid_t display = 0;
    if (!GTEST_FLAG_GET(list_tests) && qEnvironmentVariableIsSet("VR_OWN_DISPLAY")) {
        // A server that loses the race for a display number gives up; the next try takes
        // another number.
        for (int attempt = 0; attempt < 5 && display == 0; ++attempt)
            display = startOwnDisplay();
        if (display == 0)
            std::fprintf(stderr, "gui_main: no X server of its own; using DISPLAY=%s\n",
                         qgetenv("DISPLAY").constData());
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("VERRiNDEL"));
        QApplication::setOrganizationName(QStringLiteral("VERRiNDEL"));
        result = RUN_ALL_TESTS();
    }
    stopOwnDisplay(display);
    return result;
}
