// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;
class PreviewBrowser;

// The Preview tab: writes the document to the preview file and shows it in the browser.
class Preview {
public:
    // The browser is created inside `frame` on first use.
    explicit Preview(QWidget* frame);

    // Where the preview file goes: "meh.html" in the program's folder, or in the
    // per-user data folder when the program's folder cannot be written.
    QString previewFilePath() const;
    // The folder taken as the program's folder (the executable's by default).
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    // Writes `text` to the preview file and makes the browser show it as the page of the
    // document at `documentPath` (empty for an untitled document), whose folder its
    // relative addresses resolve in. On a failed write shows a message; the browser then
    // shows an empty page.
    void show(const QString& text, const QString& documentPath = QString());
    // Deletes the preview file (nothing happens when there is none).
    void removeFile();

    PreviewBrowser* browser() const { return view_; }
    QString lastFile() const { return lastFile_; }

private:
    PreviewBrowser* ensureBrowser();

    QWidget* frame_;
    PreviewBrowser* view_ = nullptr;
    QString lastFile_;
    QString programFolder_;
};
