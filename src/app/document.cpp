// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document.h"

#include <QDir>
#include <QMainWindow>

#include "editor/txtcode.h"
#include "shell/cmdg.h"
#include "shell/modaldialogs.h"
#include "text/textfile.h"

namespace {
const QString kNoTextToSave = QStringLiteral("No text to save, try entering some first!");
}

Document::Document(QMainWindow* window, TxtCode* editor, Cmdg* cmdg)
    : window_(window), editor_(editor), cmdg_(cmdg) {}

QString Document::fileFilter() {
    return QStringLiteral(
        "HTML Files (*.html;*.htm;*.shtml;*.shtm;*.xhtml;*xht;*.hta)|*.html;*.htm;*.shtml;*.shtm;"
        "*.xhtml;*xht;*.hta|CSS Files (*.css)|*.css|All Files (*.*)|*.*");
}

QString Document::displayName() const {
    return path_.isEmpty() ? untitled() : QDir::toNativeSeparators(path_);
}

void Document::setPath(const QString& path) {
    path_ = QDir::fromNativeSeparators(path);
    emit displayNameChanged(displayName());
}

bool Document::askToKeepChanges() {
    if (!editor_->Modified())
        return true;
    const auto answer =
        dialogs().message(window_, QStringLiteral("Save changes to ") + displayName(), QString(),
                          Dialogs::Buttons::YesNo, Dialogs::Icon::None);
    if (answer != Dialogs::Answer::Yes)
        return true;
    // The user asked to keep the text: go on only when it was saved (or there is none).
    return SaveAs() || editor_->TextLength() == 0;
}

void Document::New() {
    if (!askToKeepChanges())
        return;
    editor_->SetSelStart(0);
    editor_->SetSelLength(editor_->TextLength());
    editor_->SetSelText(QString());
    editor_->setKeepsStrayBytes(false);
    setPath(QString());
    editor_->SetModified(false);
    // A new document is written as UTF-8 without mark, with CR LF.
    file_ = FileState();
    stampedPath_.clear();
}

void Document::Open() {
    if (!askToKeepChanges())
        return;
    cmdg_->DialogTitle = QStringLiteral("Open File");
    cmdg_->Filter = fileFilter();
    const QString previous = cmdg_->FileName;
    if (!cmdg_->ShowOpen())
        return;
    if (!OpenPath(cmdg_->FileName))
        cmdg_->FileName = previous;
}

bool Document::OpenFile(const QString& path) {
    return askToKeepChanges() && OpenPath(path);
}

bool Document::OpenPath(const QString& path) {
    FileState loaded;
    {
        // The file's text goes as soon as the editor holds it, before any message below.
        const LoadedFile read = editor_->readFile(path);
        if (!read.ok) {
            reportFileError(QStringLiteral("open"), path, read.errorString);
            return false;
        }
        loaded = read.state;
    }
    cmdg_->FileName = path;
    setPath(path);
    editor_->SetModified(false);
    file_ = loaded;
    stampedPath_ = path;
    emit fileUsed(path);
    if (loaded.strayBytes > 0) {
        dialogs().inform(window_,
                         QStringLiteral("The file %1 holds %2 byte(s) that are not valid UTF-8. "
                                        "Each is shown as its value (such as xE9) and kept "
                                        "as it is when the file is saved.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(loaded.strayBytes),
                         QString(), Dialogs::Icon::Information);
    }
    if (loaded.otherLineBreaks > 0) {
        // Saving writes one kind of break: the user learns it now, not from the file.
        const QString kind = loaded.form.lfLineBreaks   ? QStringLiteral("LF")
                             : loaded.form.crLineBreaks ? QStringLiteral("CR")
                                                        : QStringLiteral("CR LF");
        dialogs().inform(window_,
                         QStringLiteral("The file %1 ends its lines in more than one way. When "
                                        "it is saved, every line break is written as %2, the "
                                        "break most of its lines use; %3 line break(s) change.")
                             .arg(QDir::toNativeSeparators(path), kind)
                             .arg(loaded.otherLineBreaks),
                         QString(), Dialogs::Icon::Information);
    }
    return true;
}

void Document::restore(const QByteArray& editorBytes, const QString& path, const FileState& state) {
    editor_->setEditorBytes(editorBytes, state.form.strayBytes);
    setPath(path);
    if (!path.isEmpty())
        cmdg_->FileName = path;
    file_ = state;
    stampedPath_ = path;
    editor_->SetModified(true);
}

bool Document::Save() {
    if (path_.isEmpty()) {
        // A cancelled or failed Save As leaves everything as it was.
        if (!SaveAs() && editor_->TextLength() > 0)
            return false;
    }
    if (editor_->TextLength() == 0) {
        dialogs().inform(window_, kNoTextToSave);
        return false;
    }
    if (cmdg_->FileName.isEmpty())
        return SaveAs();
    if (!writeTo(cmdg_->FileName))
        return false;
    editor_->SetModified(false);
    return true;
}

bool Document::SaveAs() {
    if (editor_->TextLength() == 0) {
        dialogs().inform(window_, kNoTextToSave);
        return false;
    }
    cmdg_->DialogTitle = QStringLiteral("Save File");
    cmdg_->Filter = fileFilter();
    const QString previous = cmdg_->FileName;
    if (!cmdg_->ShowSave())
        return false;
    if (!writeTo(cmdg_->FileName)) {
        cmdg_->FileName = previous;
        return false;
    }
    editor_->SetModified(false);
    emit fileUsed(cmdg_->FileName);
    return true;
}

bool Document::QueryClose(bool* quitAtOnce) {
    *quitAtOnce = false;
    const auto answer =
        dialogs().message(window_, QStringLiteral("Do you want to save the changes?"),
                          programTitle(), Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Warning);
    switch (answer) {
    case Dialogs::Answer::Yes:
        // The window closes only when the text is safe (saved, or there is none).
        return Save() || editor_->TextLength() == 0;
    case Dialogs::Answer::No:
        *quitAtOnce = true;
        return true;
    default:
        return false;
    }
}

bool Document::mayOverwrite(const QString& path) {
    if (path != stampedPath_ || !file_.stamp.valid)
        return true;
    QString reason;
    const FileChange change = fileChangeSince(path, file_.stamp, &reason);
    // A file deleted meanwhile is simply written again.
    if (change == FileChange::Unchanged || change == FileChange::Missing)
        return true;
    // What cannot be read to compare may have been changed too: the user decides.
    const QString what =
        change == FileChange::Changed
            ? QStringLiteral("The file %1 was changed by another program since it was opened.")
                  .arg(QDir::toNativeSeparators(path))
            : QStringLiteral("The file %1 cannot be read to tell whether another program "
                             "changed it since it was opened:\n%2")
                  .arg(QDir::toNativeSeparators(path), reason);
    const auto answer =
        dialogs().message(window_, what + QStringLiteral("\n\nDo you want to overwrite it?"),
                          QString(), Dialogs::Buttons::YesNo, Dialogs::Icon::Warning);
    return answer == Dialogs::Answer::Yes;
}

bool Document::writeTo(const QString& path) {
    if (!mayOverwrite(path))
        return false;
    QString error;
    FileState written = file_;
    bool asText = true;
    const QByteArray bytes = editor_->fileBytes(written.form, &asText);
    const bool ok = asText ? writeDocumentFile(path, editor_->Text(), &written, &error)
                           : writeDocumentBytes(path, bytes, &written, &error);
    if (!ok) {
        reportFileError(QStringLiteral("save"), path, error);
        return false;
    }
    file_ = written;
    stampedPath_ = path;
    if (written.switchedToUtf8) {
        // Told once: from now on the document's form is UTF-8.
        file_.switchedToUtf8 = false;
        dialogs().inform(window_,
                         QStringLiteral("The text holds characters that Windows-1252 cannot "
                                        "store. The file %1 is now saved as UTF-8, so that "
                                        "nothing is lost.")
                             .arg(QDir::toNativeSeparators(path)),
                         QString(), Dialogs::Icon::Information);
    }
    return true;
}

void Document::reportFileError(const QString& what, const QString& path, const QString& reason) {
    dialogs().message(window_,
                      QStringLiteral("Cannot %1 the file %2:\n%3")
                          .arg(what, QDir::toNativeSeparators(path), reason),
                      programTitle(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}
