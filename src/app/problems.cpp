// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/problems.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>
#include <QSettings>
#include <QThread>
#include <QTreeView>

#include "app/problemsmodel.h"
#include "app/squiggles.h"
#include "editor/txtcode.h"

namespace {
const QString kVisibleKey = QStringLiteral("Problems/visible");
const QString kAreaKey = QStringLiteral("Problems/area");
const QString kFloatingKey = QStringLiteral("Problems/floating");
const QString kGeometryKey = QStringLiteral("Problems/geometry");
const QString kSizeKey = QStringLiteral("Problems/size");

// The places of the rows are read again this long after an edit (not at every key).
constexpr int kPlacesMs = 150;

} // namespace

Problems::Problems(QAction* command, TxtCode* editor, QMainWindow* mainWindow,
                   std::function<QString()> documentPath, std::function<void()> showEditor)
    : command_(command), editor_(editor), mainWindow_(mainWindow),
      documentPath_(std::move(documentPath)), showEditor_(std::move(showEditor)) {
    model_ = new ProblemsModel(this);
    // Lines and columns as the checker counts them: LF, CR LF and a lone CR end a line (as
    // in the editor), a column is a UTF-16 unit.
    model_->setPlaceOf([editor](qsizetype offset) {
        const int line = editor->GetLineFromChar(int(offset));
        return std::pair<qsizetype, qsizetype>(line + 1, offset - editor->LineStart(line) + 1);
    });
    squiggles_ = new Squiggles(editor, model_, this);

    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &Problems::startCheck);
    step_.setSingleShot(true);
    step_.setInterval(0);
    connect(&step_, &QTimer::timeout, this, &Problems::copyStep);
    placesMoved_.setSingleShot(true);
    placesMoved_.setInterval(kPlacesMs);
    // The rows on screen read their places anew (the view asks for nothing else).
    connect(&placesMoved_, &QTimer::timeout, this, [this] {
        if (pane_ && pane_->isVisible())
            pane_->lstProblems->viewport()->update();
    });

    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("problems checker"));
    threadContext_ = new QObject;
    threadContext_->moveToThread(thread_);
    thread_->start();

    command_->setCheckable(true);
    connect(command_, &QAction::toggled, this, &Problems::mnuProblems_Click);
    // Open again when it was open at the end of the last run.
    if (QSettings().value(kVisibleKey, false).toBool())
        command_->setChecked(true);
}

Problems::~Problems() {
    if (open_)
        saveLayout();
    if (cancel_)
        cancel_->store(true);
    thread_->quit();
    thread_->wait();
    delete threadContext_;
    delete thread_;
}

bool Problems::busy() const {
    return pause_.isActive() || copy_.copying() || running_ || again_;
}

void Problems::mnuProblems_Click(bool checked) {
    if (checked && !open_)
        open();
    else if (!checked && open_ && pane_)
        pane_->close(); // ends in paneClosed()
}

void Problems::open() {
    if (!pane_) {
        pane_ = new frmProblems(mainWindow_);
        pane_->lstProblems->setModel(model_);
        const QFontMetrics metrics = pane_->lstProblems->fontMetrics();
        QHeaderView* header = pane_->lstProblems->header();
        header->resizeSection(ProblemsModel::PlaceColumn,
                              metrics.horizontalAdvance(QStringLiteral("000000:0000")));
        header->resizeSection(ProblemsModel::SeverityColumn,
                              metrics.horizontalAdvance(QStringLiteral("warning0000")));
        connect(pane_->lstProblems, &QAbstractItemView::activated, this,
                &Problems::lstProblems_Activated);
        connect(pane_.data(), &frmProblems::closed, this, &Problems::paneClosed);
    }
    open_ = true;
    if (!placed_)
        restoreLayout();
    pane_->show();
    QSettings().setValue(kVisibleKey, true);
    watch(true);
    squiggles_->setActive(true);
    startCheck();
}

void Problems::paneClosed() {
    if (!open_)
        return;
    saveLayout();
    open_ = false;
    QSettings().setValue(kVisibleKey, false);
    watch(false);
    pause_.stop();
    step_.stop();
    placesMoved_.stop();
    copy_.abandon();
    again_ = false;
    if (cancel_)
        cancel_->store(true);
    squiggles_->setActive(false);
    model_->clear();
    command_->setChecked(false);
}

void Problems::watch(bool on) {
    for (const auto& c : watching_)
        disconnect(c);
    watching_.clear();
    if (!on)
        return;
    watching_ << connect(editor_, &QsciScintillaBase::SCN_MODIFIED, this,
                         [this](int position, int type, const char*, int length, int, int, int, int,
                                int, int) { onModified(position, type, length); })
              // Saved under another name: the local links lead elsewhere.
              << connect(mainWindow_, &QWidget::windowTitleChanged, this,
                         [this] { pause_.start(); });
}

void Problems::onModified(int position, int type, int length) {
    using Sci = QsciScintillaBase;
    // Positions are taken while they are valid: a removal's before it happens.
    if (type & Sci::SC_MOD_BEFOREDELETE) {
        removedAt_ = editor_->toCharPos(position);
        removedUnits_ = editor_->toCharPos(qint64(position) + length) - removedAt_;
    } else if (type & Sci::SC_MOD_DELETETEXT) {
        edited(removedAt_, removedUnits_, 0);
    } else if (type & Sci::SC_MOD_INSERTTEXT) {
        const int at = editor_->toCharPos(position);
        edited(at, 0, editor_->toCharPos(qint64(position) + length) - at);
    }
}

void Problems::edited(qsizetype pos, qsizetype removed, qsizetype inserted) {
    ++version_;
    if (model_->textEdited(pos, removed, inserted) && !placesMoved_.isActive())
        placesMoved_.start();
    // What is being copied or checked is an older text now.
    if (copy_.copying()) {
        copy_.abandon();
        step_.stop();
    }
    if (running_ && cancel_)
        cancel_->store(true);
    pause_.start();
}

void Problems::startCheck() {
    pause_.stop();
    if (!open_)
        return;
    if (running_) {
        // One check at a time (one copy of the text): this one follows when it ends.
        again_ = true;
        cancel_->store(true);
        return;
    }
    copy_.abandon();
    copyVersion_ = version_;
    copyTime_ = WindowTime();
    QElapsedTimer clock;
    clock.start();
    copy_.start(editor_, editor_->TextLength());
    copyTime_.copy = clock.nsecsElapsed() / 1e6;
    copyStep();
}

void Problems::copyStep() {
    if (!copy_.copying() || copyVersion_ != version_)
        return;
    QElapsedTimer clock;
    clock.start();
    const bool done = copy_.step(kStepBudgetMs);
    const double ms = clock.nsecsElapsed() / 1e6;
    copyTime_.copy += ms;
    copyTime_.longestStep = qMax(copyTime_.longestStep, ms);
    if (!done) {
        step_.start();
        return;
    }
    running_ = true;
    cancel_ = std::make_shared<std::atomic_bool>(false);
    auto text = std::make_shared<QString>(copy_.take());
    const quint64 version = copyVersion_;
    const QString pagePath = documentPath_();
    QMetaObject::invokeMethod(
        threadContext_,
        [this, text, version, pagePath, cancel = cancel_] {
            checker::Options options;
            options.pagePath = pagePath;
            options.cancel = cancel.get();
            auto result = std::make_shared<checker::Result>(checker::check(*text, options));
            *text = QString(); // the copy goes before the findings travel
            QMetaObject::invokeMethod(
                this, [this, version, result] { finished(version, result); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void Problems::finished(quint64 version, const std::shared_ptr<checker::Result>& result) {
    running_ = false;
    // Only the findings of the text as it is now are shown.
    if (open_ && !result->cancelled && version == version_) {
        QElapsedTimer clock;
        clock.start();
        QTreeView* list = pane_->lstProblems;
        const int scroll = list->verticalScrollBar()->value();
        const int current = list->currentIndex().row();
        model_->setFindings(std::move(result->findings));
        placesMoved_.stop();
        if (current >= 0 && model_->size() > 0)
            list->setCurrentIndex(model_->index(qMin(current, model_->size() - 1), 0));
        list->verticalScrollBar()->setValue(scroll);
        squiggles_->repaint();
        shownTime_ = copyTime_;
        shownTime_.show = clock.nsecsElapsed() / 1e6;
        ++checksShown_;
        emit checked();
    }
    if (again_) {
        again_ = false;
        startCheck();
    }
}

void Problems::lstProblems_Activated(const QModelIndex& index) {
    if (!index.isValid() || index.row() >= model_->size())
        return;
    const qsizetype offset = model_->at(index.row()).offset;
    if (showEditor_)
        showEditor_();
    editor_->SetSelStart(int(offset));
    mainWindow_->activateWindow();
    editor_->SetFocus();
}

void Problems::saveLayout() const {
    if (!pane_)
        return;
    QSettings settings;
    const Qt::DockWidgetArea area = mainWindow_->dockWidgetArea(pane_);
    settings.setValue(kAreaKey, int(area));
    settings.setValue(kFloatingKey, pane_->isFloating());
    settings.setValue(kGeometryKey, pane_->saveGeometry());
    settings.setValue(kSizeKey, pane_->lstProblems->size());
}

void Problems::restoreLayout() {
    placed_ = true;
    QSettings settings;
    auto area = Qt::DockWidgetArea(settings.value(kAreaKey, int(Qt::BottomDockWidgetArea)).toInt());
    if (area != Qt::LeftDockWidgetArea && area != Qt::RightDockWidgetArea &&
        area != Qt::TopDockWidgetArea)
        area = Qt::BottomDockWidgetArea;
    // Laid out at the size it had: docked, the pane takes what its list asks for.
    pane_->setPreferredListSize(settings.value(kSizeKey).toSize());
    mainWindow_->addDockWidget(area, pane_);
    if (settings.value(kFloatingKey, false).toBool()) {
        pane_->setFloating(true);
        pane_->restoreGeometry(settings.value(kGeometryKey).toByteArray());
    }
}
