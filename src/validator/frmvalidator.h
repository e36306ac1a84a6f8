// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>

#include "shell/toolwindow.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The validator window: runs the fifteen checks over the editor's text, shows their
// progress and writes the findings into its report box, then sums the run up in a
// message box. A tool window centred over the main window; while it exists the main window
// is disabled.
class frmValidator : public ToolWindow {
    Q_OBJECT
public:
    // Shows the validator (creating it in its design state when it is not loaded) and
    // disables the main window.
    static frmValidator* open(const AppContext& ctx);
    // The loaded validator, or null.
    static frmValidator* instance();

    // The progress of a run.
    QGroupBox* fraProgress = nullptr;
    QLabel* lblScanning = nullptr;
    QProgressBar* barValidate = nullptr;
    bool isRunning() const { return running_; }

    // The report.
    QGroupBox* FraResults = nullptr;
    QPlainTextEdit* txtValidate = nullptr;
    // The report exactly as written, line breaks as CR LF (the box shows it as lines).
    const QString& report() const { return report_; }

    // The buttons and their handlers: close and unload; run the checks.
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdValidate = nullptr;
    void cmdCancel_Click();
    void cmdValidate_Click();

protected:
    // A run finishes before the window may go.
    void closeEvent(QCloseEvent* event) override;

private:
    friend class ToolWindow;
    explicit frmValidator(const AppContext& ctx);

    void createControls();
    // Moves the bar as a check reports it; repaints now and then during a run.
    void showProgress(qsizetype maximum, qsizetype value);
    void refreshDuringRun();

    QString report_;
    bool running_ = false;
    QElapsedTimer sinceRefresh_;
};
