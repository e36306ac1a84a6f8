// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

// A folder private to one running editor, for the copies of the page that the Preview tab
// shows. It lies in a base folder of the user's own (mode 0700), is itself mode 0700 and
// named after the run, and its files are mode 0600: no other user and no other running
// copy of the editor reads or replaces them. The run holds <id>.lock beside it for as long
// as it runs; the folder goes when the run ends, and a folder left by a run that did not
// end normally is removed at the next start (removeLeftovers).
class PreviewFolder {
public:
    // `bases` are tried in order when the folder is first needed.
    explicit PreviewFolder(QStringList bases = defaultBases());
    // Removes the folder, its files and the lock.
    ~PreviewFolder();
    PreviewFolder(const PreviewFolder&) = delete;
    PreviewFolder& operator=(const PreviewFolder&) = delete;

    // The per-user runtime folder's "verrindel-preview", then the per-user data folder's
    // "preview" (where there is no runtime folder).
    static QStringList defaultBases();
    // Removes the folders in `base` whose run has ended without removing them (its lock
    // can be taken), with their locks.
    static void removeLeftovers(const QString& base);

    // The folder, made on the first call; empty when no base could hold it (*error then
    // says why).
    QString path(QString* error = nullptr);
    // Writes `bytes` to the file `name` in the folder (made 0600, replacing an earlier
    // one, never through a link). False with the system's reason in *error on failure.
    bool writeFile(const QString& name, const QByteArray& bytes, QString* error);

private:
    bool makeIn(const QString& base, QString* error);

    QStringList bases_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};
