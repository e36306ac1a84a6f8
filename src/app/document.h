// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

#include "platform/textfile.h"

class QMainWindow;
class TxtCode;
class Cmdg;

// The life of the one open document: New, Open, Save, Save As and the close question.
// The document is the editor's text; its state is the window caption ("Untitled" or the
// opened path), the common dialog's file name and the editor's modified flag, and the
// form and stamp of the file it was last read from or written to.
class Document {
public:
    Document(QMainWindow* window, TxtCode* editor, Cmdg* cmdg);

    static QString untitled() { return QStringLiteral("Untitled"); }
    // The document's file as the caption names it; empty while the caption is "Untitled".
    QString filePath() const;
    static QString fileFilter();

    void New();
    void Open();
    // Each returns true when the text was written.
    bool Save();
    bool SaveAs();
    // Loads a file as Open does after its dialog; false (with a message) on failure.
    bool OpenPath(const QString& path);
    // Opens a file chosen elsewhere than in the dialog (File > Recent Files): the question
    // of Open about unsaved changes first, then OpenPath.
    bool OpenFile(const QString& path);

    // Told the path of every file the document is read from or written to by the user's
    // Open or Save As (and the file given at start-up).
    std::function<void(const QString&)> fileUsed;

    // The close question. Returns true when the window may close; sets *quitAtOnce when
    // the user chose to end the program without saving.
    bool QueryClose(bool* quitAtOnce);

    // The form the document is written in (encoding, mark, line breaks).
    const FileForm& form() const { return file_.form; }
    // The file whose stamp the document holds (the last one read or written), or empty.
    const QString& stampedPath() const { return stampedPath_; }
    const FileState& fileState() const { return file_; }

    // Puts back a document kept for recovery: its text (the editor's bytes, stray bytes of
    // the file among them), the caption (its path, or "Untitled"), its form and stamp; the
    // modified flag is set, the file is untouched.
    void restore(const QByteArray& editorBytes, const QString& path, const FileState& state);

private:
    // The question asked before New and Open; false when the document must stay.
    bool askToKeepChanges();
    bool writeTo(const QString& path);
    // Before writing over the file last read or written: false when it was changed by
    // another program and the user chose not to overwrite it.
    bool mayOverwrite(const QString& path);
    void reportFileError(const QString& what, const QString& path, const QString& reason);

    QMainWindow* window_;
    TxtCode* editor_;
    Cmdg* cmdg_;
    FileState file_;
    QString stampedPath_;
};
