// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

#include "platform/textfile.h"

class QThread;
class QsciScintilla;
class frmMain;

// A document kept for recovery: what a recovery file holds.
struct RecoveredDocument {
    QString path; // empty for an untitled document
    FileState state;
    QByteArray text; // the editor's bytes: UTF-8 (and stray bytes), line breaks CR LF
};

// Copies the editor's bytes [from, from + count) (UTF-8, line breaks CR LF) straight from
// its buffer to `to`; the buffer's gap is not moved.
void copyEditorBytes(const QsciScintilla* editor, qint64 from, qint64 count, char* to);

// The bytes of a recovery file (its header, then the text), and reading them back
// (false when they are not one).
QByteArray recoveryFileHeader(const QString& path, const FileState& state, qsizetype length);
QByteArray recoveryFileBytes(const QString& path, const FileState& state, const QByteArray& text);
bool parseRecoveryFile(const QByteArray& bytes, RecoveredDocument* document);

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
    // Runs `job` on the writing thread, in the order of the calls.
    void post(std::function<void()> job);

    frmMain* window_;
    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    bool active_ = false;
    bool reported_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 firstChangeMs_ = 0;
    // The copy of the text being taken, from both ends: head_[0, headCopied_) is the
    // start of the editor's text, the last tailCopied_ bytes of tail_ its end.
    bool copying_ = false;
    QByteArray head_;
    QByteArray tail_;
    qint64 headCopied_ = 0;
    qint64 tailCopied_ = 0;
    qint64 lastEdit_ = 0; // where the copy's two ends meet
    QTimer stepTimer_;
    QThread* writer_ = nullptr;
    QObject* writerContext_ = nullptr; // lives on the writing thread
    std::shared_ptr<std::atomic<int>> pending_;
};
