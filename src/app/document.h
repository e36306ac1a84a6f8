// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include "text/textfile.h"

class QMainWindow;
class TxtCode;
class Cmdg;

// The life of the one open document: New, Open, Save, Save As and the close question.
// The document is the editor's text; its state is its file's path (empty for "Untitled",
// which the window's caption shows through displayNameChanged), the common dialog's file
// name and the editor's modified flag, and the form and stamp of the file it was last
// read from or written to.
class Document : public QObject {
    Q_OBJECT
public:
    Document(QMainWindow* window, TxtCode* editor, Cmdg* cmdg);

    static QString untitled() { return QStringLiteral("Untitled"); }
    // The document's file; empty while it is "Untitled" (a new document keeps that name
    // after Save As, as the caption does).
    const QString& filePath() const { return path_; }
    // The name the caption shows: "Untitled" or the path, with native separators.
    QString displayName() const;
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

signals:
    void displayNameChanged(const QString& name);
    // A file the document was read from by Open (or at start-up) or written to by Save As.
    void fileUsed(const QString& path);

private:
    void setPath(const QString& path);
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
    QString path_;
    FileState file_;
    QString stampedPath_;
};
