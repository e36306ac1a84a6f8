// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "app/recoverycopy.h"
#include "app/recoveryfile.h"
#include "app/recoverywriter.h"

class frmMain;

// Keeps the main window's unsaved text in a recovery file, so that a crash, a kill or a
// power cut loses at most the last seconds of typing.
//
// Each run owns one file, <id>.recovery, in the recovery folder, and holds <id>.lock for
// as long as it runs. While the document has unsaved changes the file is rewritten a
// moment after typing pauses, and never later than kMaxDelayMs after the first change
// not yet kept. The window's thread only copies the editor's bytes, in steps of at most
// kStepBudgetMs between which typing goes on; the copy grows from both ends of the text
// towards the place of the last edit, so typing there does not undo it (an edit in a
// part already copied sends that end back). The file is written on a thread of its own,
// as a new private file (mode 0600) renamed over the old one, so that nothing planted in
// the folder can lead the write elsewhere. The file is removed when the
// document is saved or replaced (the modified flag goes off), and when the run ends
// normally (the user answered the close question).
//
// The folder must belong to this user; it is made private (0700). Leftovers are read only
// when they are regular files of this user, never through a link.
class Recovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kIdleDelayMs = 1000;
    static constexpr int kMaxDelayMs = 4000;
    static constexpr int kStepBudgetMs = 4;

    // Starts keeping the window's document in `folder` (created, mode 0700).
    explicit Recovery(frmMain* window, const QString& folder = defaultFolder());
    // The run ended normally: its file and lock are removed.
    ~Recovery() override;

    // The user's data folder + "/recovery".
    static QString defaultFolder();

    // Offers each recovery file left by a run that did not end normally and whose owner
    // is no longer running, newest first, until the user restores one. Yes puts the text
    // back into the window (the file on disk is untouched); No deletes the recovery file.
    // Returns true when a document was restored.
    bool offerLeftovers();

    // This run's recovery file.
    QString filePath() const;
    // True while recovery files can be written (the folder and the lock were made).
    bool active() const { return active_; }
    // Waits until every write and removal handed to the writing thread is done.
    void waitForWrites();

private:
    void onTextChanged();
    void onModificationChanged(bool modified);
    void keepNow();
    void copyStep();
    void onEdited(int position, int type, int length);
    void discard();
    void reportFailure(const QString& reason);

    frmMain* window_;
    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    bool active_ = false;
    bool reported_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 firstChangeMs_ = 0;
    RecoveryCopy copy_;
    QTimer stepTimer_;
    std::unique_ptr<RecoveryWriter> writer_;
};
