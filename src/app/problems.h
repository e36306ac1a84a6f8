// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

#include "app/editortextcopy.h"
#include "app/frmproblems.h"
#include "checker/checker.h"

class QAction;
class QMainWindow;
class QModelIndex;
class QThread;
class ProblemsModel;
class Squiggles;
class TxtCode;

// The View > Problems command: shows the pane frmProblems with the checker's findings of
// the document and underlines them in the editor; both follow the text a moment after
// the typing pauses. While the pane is closed nothing is checked and nothing underlined.
//
// After a pause the window's thread copies the text in short steps between which typing
// goes on, and a thread of its own checks the copy. Every edit cancels the check under
// way (its findings would be of an older text) and starts the wait again; findings are
// shown only for the text as it is when they arrive. Between checks, the findings shown
// move with the edits (the squiggles with their text, the rows' places with them).
//
// The pane's being open, where it is docked and its size are kept in the settings.
class Problems : public QObject {
    Q_OBJECT
public:
    // How long the typing must pause before the text is checked again.
    static constexpr int kPauseMs = 500;
    // The longest step of the text's copy on the window's thread.
    static constexpr int kStepBudgetMs = 4;

    // `command` is the checkable menu item; `documentPath` gives the document's file
    // (empty while it is untitled) for the checks of local links; `showEditor` brings the
    // editor to the front (the Code tab) before a row puts the caret in it.
    Problems(QAction* command, TxtCode* editor, QMainWindow* mainWindow,
             std::function<QString()> documentPath, std::function<void()> showEditor);
    ~Problems() override;

    // The pane, or nullptr before it was first opened.
    frmProblems* pane() const { return pane_.data(); }
    ProblemsModel* model() const { return model_; }
    Squiggles* squiggles() const { return squiggles_; }
    // True while a check waits for the pause, copies the text or runs.
    bool busy() const;
    // True while a copy of the text is being checked on the checking thread.
    bool checking() const { return running_; }
    // How many checks showed their findings (tests and benchmarks wait for it).
    int checksShown() const { return checksShown_; }
    // What the last check shown cost the window's thread, in milliseconds: the copy of the
    // text (all its steps, and the longest one) and showing the findings.
    struct WindowTime {
        double copy = 0;
        double longestStep = 0;
        double show = 0;
    };
    const WindowTime& windowTime() const { return shownTime_; }

    // Puts the caret at the finding of a row and the focus in the editor.
    void lstProblems_Activated(const QModelIndex& index);

signals:
    // The findings of the current text are shown.
    void checked();

private:
    void mnuProblems_Click(bool checked);
    void open();
    void paneClosed();
    void watch(bool on);
    void onModified(int position, int type, int length);
    void edited(qsizetype pos, qsizetype removed, qsizetype inserted);
    void startCheck();
    void copyStep();
    void finished(quint64 version, const std::shared_ptr<checker::Result>& result);
    void saveLayout() const;
    void restoreLayout();

    QAction* command_;
    TxtCode* editor_;
    QMainWindow* mainWindow_;
    std::function<QString()> documentPath_;
    std::function<void()> showEditor_;
    QPointer<frmProblems> pane_;
    ProblemsModel* model_;
    Squiggles* squiggles_;
    QList<QMetaObject::Connection> watching_;
    bool open_ = false;
    bool placed_ = false; // the pane was docked where the settings say

    QTimer pause_;
    QTimer step_;
    QTimer placesMoved_; // the rows on screen read their places again after edits
    EditorTextCopy copy_;
    quint64 version_ = 0;     // counts the edits of the text
    quint64 copyVersion_ = 0; // the text the copy under way is of
    bool running_ = false;    // a check is on the checking thread
    bool again_ = false;      // a check is wanted once the running one has ended
    std::shared_ptr<std::atomic_bool> cancel_;
    int checksShown_ = 0;
    WindowTime copyTime_;  // of the copy under way or checked
    WindowTime shownTime_; // of the last check shown
    // Where a removal about to happen starts, in UTF-16 units, and how long it is.
    qsizetype removedAt_ = 0;
    qsizetype removedUnits_ = 0;

    QThread* thread_ = nullptr;
    QObject* threadContext_ = nullptr; // lives on the checking thread
};
