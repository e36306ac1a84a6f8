// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include "platform/appcontext.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The validator window: runs the fifteen checks over the editor's text, shows their
// progress and writes the findings into its report box, then sums the run up in a
// message box. It exists at most once; while it exists the main window is disabled.
class frmValidator : public QWidget {
    Q_OBJECT
public:
    // Shows the validator (creating it in its design state when it is not loaded) and
    // disables the main window.
    static frmValidator* open(const AppContext& ctx);
    // The loaded validator, or null.
    static frmValidator* instance();
    ~frmValidator() override;

    // The handlers of the two buttons: close and unload; run the checks.
    void cmdCancel_Click();
    void cmdValidate_Click();

    // Hides and discards the window and enables the main window again.
    void unload();

    bool isRunning() const { return running_; }
    // The report exactly as written, line breaks as CR LF (the box shows it as lines).
    const QString& report() const { return report_; }

    QGroupBox* fraProgress = nullptr;
    QLabel* lblScanning = nullptr;
    QProgressBar* barValidate = nullptr;
    QGroupBox* FraResults = nullptr;
    QPlainTextEdit* txtValidate = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdValidate = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmValidator(const AppContext& ctx);

    void createControls();
    // Moves the bar as a check reports it; repaints now and then during a run.
    void showProgress(qsizetype maximum, qsizetype value);
    void refreshDuringRun();

    QPointer<QMainWindow> frmMain_;
    AppContext ctx_;
    QString report_;
    bool running_ = false;
    bool unloaded_ = false;
    QElapsedTimer sinceRefresh_;
};
