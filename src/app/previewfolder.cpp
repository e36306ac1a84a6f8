// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString lockPathFor(const QString& base, const QString& id) {
    return base + QLatin1Char('/') + id + QStringLiteral(".lock");
}

QString systemError(int error) {
    return qt_error_string(error);
}

// Makes `path` a folder of this user's that only this user can enter: made when missing,
// refused when it is a link, another user's or not a folder.
bool privateFolder(const QString& path, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        *error = systemError(errno);
        return false;
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        *error = systemError(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        *error = QStringLiteral("%1 is not a folder of this user's.").arg(path);
        return false;
    }
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0) {
        *error = systemError(errno);
        return false;
    }
    return true;
}

} // namespace

PreviewFolder::PreviewFolder(QStringList bases) : bases_(std::move(bases)) {}

PreviewFolder::~PreviewFolder() {
    if (path_.isEmpty())
        return;
    QDir(path_).removeRecursively();
    lock_->unlock();
}

QStringList PreviewFolder::defaultBases() {
    QStringList bases;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        bases << runtime + QStringLiteral("/verrindel-preview");
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (!data.isEmpty())
        bases << data + QStringLiteral("/preview");
    return bases;
}

void PreviewFolder::removeLeftovers(const QString& base) {
    const QDir dir(base);
    if (base.isEmpty() || !dir.exists())
        return;
    // A run still going holds its lock; a successful lock of a dead run's file removes it
    // on unlock.
    const QStringList folders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden);
    for (const QString& id : folders) {
        QLockFile owner(lockPathFor(base, id));
        owner.setStaleLockTime(0);
        if (!owner.tryLock(0))
            continue;
        QDir(dir.filePath(id)).removeRecursively();
        owner.unlock();
    }
    const QStringList locks = dir.entryList({QStringLiteral("*.lock")}, QDir::Files);
    for (const QString& name : locks) {
        if (dir.exists(name.chopped(5)))
            continue;
        QLockFile owner(dir.filePath(name));
        owner.setStaleLockTime(0);
        if (owner.tryLock(0))
            owner.unlock();
    }
}

QString PreviewFolder::path(QString* error) {
    if (!path_.isEmpty())
        return path_;
    QString reason = QStringLiteral("There is no folder for it.");
    for (const QString& base : bases_) {
        if (makeIn(base, &reason))
            return path_;
    }
    if (error)
        *error = reason;
    return QString();
}

bool PreviewFolder::makeIn(const QString& base, QString* error) {
    QDir().mkpath(QFileInfo(base).absolutePath());
    if (!privateFolder(base, error))
        return false;
    // The process id tells runs apart on one machine; the random part, a reused id.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString id = QStringLiteral("%1-%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(QString::number(QRandomGenerator::global()->generate64(), 36));
        auto lock = std::make_unique<QLockFile>(lockPathFor(base, id));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            *error = QStringLiteral("The lock file cannot be made.");
            continue;
        }
        const QString folder = base + QLatin1Char('/') + id;
        // The lock is there first, so that no other start takes the folder for a leftover.
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0) {
            *error = systemError(errno);
            lock->unlock();
            continue;
        }
        lock_ = std::move(lock);
        path_ = folder;
        return true;
    }
    return false;
}

bool PreviewFolder::writeFile(const QString& name, const QByteArray& bytes, QString* error) {
    QString reason;
    const QString folder = path(&reason);
    if (folder.isEmpty()) {
        *error = reason;
        return false;
    }
    const QByteArray target = QFile::encodeName(folder + QLatin1Char('/') + name);
    const int fd =
        ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = systemError(errno);
        return false;
    }
    bool ok = ::fchmod(fd, 0600) == 0;
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO;
        ok = n > 0;
        p += ok ? n : 0;
        left -= ok ? n : 0;
    }
    const int writeError = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        *error = systemError(errno);
        return false;
    }
    if (!ok)
        *error = systemError(writeError);
    return ok;
}
