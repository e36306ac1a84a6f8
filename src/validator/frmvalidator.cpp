// SPDX-License-Identifier: GPL-3.0-or-later
#include "validator/frmvalidator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>

#include "editor/txtcode.h"
#include "shell/modaldialogs.h"
#include "validator/checks.h"
#include "validator/report.h"
#include "validator/summary.h"

namespace {

// Design sizes are in twips, 15 to a pixel.
constexpr int px(int twips) {
    return twips / 15;
}

// Longest stretch without repainting while a run is busy, in milliseconds.
constexpr qint64 kRefreshInterval = 40;

// The hourglass for as long as it lives.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    void restore() {
        if (active) {
            QApplication::restoreOverrideCursor();
            active = false;
        }
    }
    bool active = true;
};

} // namespace

frmValidator* frmValidator::open(const AppContext& ctx) {
    return ToolWindow::open<frmValidator>(ctx);
}

frmValidator* frmValidator::instance() {
    return ToolWindow::instance<frmValidator>();
}

frmValidator::frmValidator(const AppContext& ctx)
    : ToolWindow(ctx, QStringLiteral("frmValidator"), QStringLiteral("VALiDATOR"),
                 Shape{Placement::CentredOnMainWindow}) {
    createControls();
}

void frmValidator::createControls() {
    fraProgress = new QGroupBox(QStringLiteral("Progress"), this);
    fraProgress->setObjectName(QStringLiteral("fraProgress"));
    fraProgress->setMinimumSize(px(4575), px(1095));
    lblScanning = new QLabel(fraProgress);
    lblScanning->setObjectName(QStringLiteral("lblScanning"));
    barValidate = new QProgressBar(fraProgress);
    barValidate->setObjectName(QStringLiteral("barValidate"));
    barValidate->setTextVisible(false);
    barValidate->setRange(0, 100);
    barValidate->setValue(0);
    auto* progressColumn = new QVBoxLayout(fraProgress);
    progressColumn->addWidget(lblScanning);
    progressColumn->addWidget(barValidate);

    FraResults = new QGroupBox(QStringLiteral("Results"), this);
    FraResults->setObjectName(QStringLiteral("FraResults"));
    FraResults->setMinimumSize(px(4575), px(1215));
    txtValidate = new QPlainTextEdit(FraResults);
    txtValidate->setObjectName(QStringLiteral("txtValidate"));
    txtValidate->setReadOnly(true);
    txtValidate->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtValidate->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A long report must stay readable to its end.
    txtValidate->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtValidate->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtValidate->setFixedSize(px(4335), px(855));
    auto* resultsColumn = new QVBoxLayout(FraResults);
    resultsColumn->addWidget(txtValidate);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdValidate = new QPushButton(QStringLiteral("Validate"), this);
    cmdValidate->setObjectName(QStringLiteral("cmdValidate"));
    for (QPushButton* b : {cmdCancel, cmdValidate}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(px(1080));
    }
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdValidate, &QPushButton::clicked, this, [this] { cmdValidate_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdValidate);
    auto* column = new QVBoxLayout(this);
    column->addWidget(fraProgress);
    column->addWidget(FraResults);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void frmValidator::cmdCancel_Click() {
    if (!running_)
        unload();
}

void frmValidator::closeEvent(QCloseEvent* event) {
    // A run finishes before the window may go; afterwards closing unloads it like Cancel.
    if (running_) {
        event->ignore();
        return;
    }
    ToolWindow::closeEvent(event);
}

void frmValidator::showProgress(qsizetype maximum, qsizetype value) {
    const int max = int(std::min<qsizetype>(maximum, INT_MAX));
    if (max <= 0) {
        // An empty text: a range of 0..0 would show the busy animation; show an empty bar.
        barValidate->setRange(0, 1);
        barValidate->setValue(0);
    } else {
        if (barValidate->minimum() != 0 || barValidate->maximum() != max)
            barValidate->setRange(0, max);
        barValidate->setValue(int(std::min<qsizetype>(value, max)));
    }
    refreshDuringRun();
}

void frmValidator::refreshDuringRun() {
    // Repaint the bar and the captions now and then; user input waits for the run's end.
    if (sinceRefresh_.isValid() && sinceRefresh_.elapsed() < kRefreshInterval)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRefresh_.start();
}

void frmValidator::cmdValidate_Click() {
    if (running_ || isUnloaded())
        return;
    running_ = true;
    QPointer<frmValidator> self(this);

    report_.clear();
    txtValidate->clear();
    WaitCursor hourglass;
    cmdValidate->setEnabled(false);
    cmdCancel->setEnabled(false);
    barValidate->setRange(0, 100);
    barValidate->setValue(0);
    QElapsedTimer clock;
    clock.start();
    lblScanning->setText(QStringLiteral("Scanning..."));
    sinceRefresh_.invalidate();

    // The text cannot change during the run: the main window and the buttons are disabled
    // and user input is held back until the end.
    const QString text = ctx().txtCode ? ctx().txtCode->Text() : QString();
    const validator::Progress progress = [this](qsizetype maximum, qsizetype value) {
        showProgress(maximum, value);
    };
    for (const validator::CheckStep& step : validator::validationChecks()) {
        setWindowTitle(QString::fromLatin1(step.caption));
        refreshDuringRun();
        const QString findings = step.check(text, progress);
        if (!findings.isEmpty()) {
            report_ += findings;
            txtValidate->setPlainText(report_);
        }
    }

    lblScanning->setText(QStringLiteral("Finished..."));
    setWindowTitle(QStringLiteral("Finished..."));
    if (report_.isEmpty()) {
        report_ = validator::finishedReport(report_);
        txtValidate->setPlainText(report_);
    }
    QApplication::beep();
    hourglass.restore();
    const double minutes = double(clock.nsecsElapsed()) / 60e9;

    const qint64 n = ctx().txtCode ? ctx().txtCode->TextLength() : 0;
    dialogs().message(this, validator::summaryText(validator::formatMinutes(minutes), n),
                      QStringLiteral("VALiDATOR"), Dialogs::Buttons::Ok,
                      Dialogs::Icon::Information);
    if (!self)
        return;
    cmdValidate->setEnabled(true);
    cmdCancel->setEnabled(true);
    running_ = false;
}
