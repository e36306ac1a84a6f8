#pragma once

#include <QString>

class QMainWindow;
class TxtCode;
class Cmdg;

// The life of the one open document: New, Open, Save, Save As and the close question.
// The document is the editor's text; its state is the window caption ("Untitled" or the
// opened path), the common dialog's file name and the editor's modified flag.
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

    // The close question. Returns true when the window may close; sets *quitAtOnce when
    // the user chose to end the program without saving.
    bool QueryClose(bool* quitAtOnce);

private:
    // The question asked before New and Open; false when the document must stay.
    bool askToKeepChanges();
    bool writeTo(const QString& path);
    void reportFileError(const QString& what, const QString& path, const QString& reason);

    QMainWindow* window_;
    TxtCode* editor_;
    Cmdg* cmdg_;
};
