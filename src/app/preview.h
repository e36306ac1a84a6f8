// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;
class PreviewBrowser;
class PreviewFolder;

// The Preview tab: writes the document to the preview file and shows it in the browser.
// The preview file, "meh.html", lies in a folder private to this run of the editor, which
// goes when the run ends; a folder left by a run that did not end normally is removed when
// the next one starts.
class Preview {
public:
    // The browser is created inside `frame` on first use.
    explicit Preview(QWidget* frame);
    ~Preview();

    // Where the run's private folder may be made, tried in order; by default the per-user
    // runtime folder, then the per-user data folder. An earlier private folder goes.
    void setFolderBases(const QStringList& bases);

    // Writes `text` to the preview file and makes the browser show it as the page of the
    // document at `documentPath` (empty for an untitled document), whose folder its
    // relative addresses resolve in. On a failed write shows a message; the browser then
    // shows an empty page.
    void show(const QString& text, const QString& documentPath = QString());
    // Deletes the preview file (nothing happens when there is none).
    void removeFile();

    PreviewBrowser* browser() const { return view_; }
    // The preview file written last (empty before the first preview).
    QString lastFile() const { return lastFile_; }

private:
    PreviewBrowser* ensureBrowser();

    QWidget* frame_;
    PreviewBrowser* view_ = nullptr;
    QString lastFile_;
    std::unique_ptr<PreviewFolder> folder_;
};
