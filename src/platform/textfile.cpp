// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <xxhash.h>

#include "platform/rtf.h"

namespace {

// Within this much of a write, a file's time may not have moved for a second write
// (coarse clocks, and file systems that keep two seconds): size and time alone do not
// prove such a file unchanged.
constexpr qint64 kTimestampGranularityNs = 2'000'000'000;

qint64 nowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

FileStamp stampOf(const struct stat& st, quint64 hash) {
    FileStamp s;
    s.valid = true;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    s.hash = hash;
    s.takenAtNs = nowNs();
    return s;
}

QString notRegularReason(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("It is a folder, not a file.");
    if (S_ISFIFO(mode))
        return QStringLiteral("It is a named pipe, not a regular file.");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket, not a regular file.");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("It is a device, not a regular file.");
    return QStringLiteral("It is not a regular file.");
}

// Reads a regular file whole; anything else is refused without waiting for it.
bool readRegularFile(const QString& path, QByteArray* bytes, struct stat* st, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, st) != 0) {
        *error = qt_error_string(errno);
        return false;
    }
    if (!S_ISREG(st->st_mode)) {
        *error = notRegularReason(st->st_mode);
        return false;
    }
    // The size is a hint: files of /proc say 0, and a file may grow while we read.
    QByteArray out(qMax<qint64>(st->st_size, 0) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used == out.size())
            out.resize(out.size() + qMax<qsizetype>(out.size() / 2, 65536));
        const ssize_t got = ::read(fd, out.data() + used, size_t(out.size() - used));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            *error = qt_error_string(errno);
            return false;
        }
        if (got == 0)
            break;
        used += got;
    }
    out.truncate(used);
    *bytes = std::move(out);
    return true;
}

bool statPath(const QString& path, struct stat* st) {
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

// Writes all of bytes to fd; false with errno set on failure.
bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size_t(qMin<qsizetype>(size, 1 << 30)));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += put;
        size -= put;
    }
    return true;
}

// Copies everything of `from` to `to`, both from their start; false with errno set.
bool copyAll(int from, int to) {
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0)
        return false;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(from, chunk.data(), size_t(chunk.size()));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!writeAll(to, chunk.constData(), got))
            return false;
    }
}

// fsync, where the file system offers it.
bool syncFile(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

// Creates a new hidden file beside `target` (".name.<tag>-<random>"); its name goes to
// *name. Returns the descriptor, or -1 with errno set.
int createBeside(const QString& target, const char* tag, QByteArray* name) {
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = QFile::encodeName(
            QStringLiteral("%1/.%2.%3-%4")
                .arg(info.absolutePath(), info.fileName(), QLatin1String(tag),
                     QString::number(QRandomGenerator::global()->generate(), 36)));
        const int fd = ::open(name->constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Replaces the file through a temporary file beside it, renamed over it only when the
// whole text is written and synced, so that a failed write never touches the old file.
// Written with the system calls themselves, so that a failure names its real reason
// (no space left, read-only file system, permission denied).
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    // A symbolic link stays a link: its target is replaced.
    const QFileInfo info(path);
    QString target = path;
    if (info.isSymLink()) {
        // The end of a chain of links; a link to nothing yet creates the file it names.
        target = info.canonicalFilePath();
        if (target.isEmpty())
            target = info.symLinkTarget();
    }
    struct stat old {};
    const bool existed = statPath(target, &old);
    if (existed && !S_ISREG(old.st_mode)) {
        *error = notRegularReason(old.st_mode);
        return false;
    }
    if (existed && ::access(QFile::encodeName(target).constData(), W_OK) != 0) {
        *error = qt_error_string(errno);
        return false;
    }
    QByteArray temp;
    const int fd = createBeside(target, "new", &temp);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    int failure = 0;
    if (!writeAll(fd, bytes.constData(), bytes.size()))
        failure = errno;
    if (!failure && existed) {
        // The new file takes over the old one's permissions and, where allowed, owner.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
            // Keeping our own ownership is all that is possible.
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            failure = errno;
    }
    if (!failure && !syncFile(fd))
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (!failure && ::rename(temp.constData(), QFile::encodeName(target).constData()) != 0)
        failure = errno;
    if (failure) {
        ::unlink(temp.constData());
        *error = qt_error_string(failure);
        return false;
    }
    return true;
}

// Writes over a file with several names in place, so that every name sees the new text.
// Its old content is first copied aside; a failed write puts it back.
bool writeInPlace(const QString& path, const QByteArray& bytes, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    QByteArray asideName;
    int aside = createBeside(path, "old", &asideName);
    // A folder we may not write in still lets us write the file itself: the copy goes to
    // the temporary folder instead.
    if (aside < 0 && errno == EACCES)
        aside = createBeside(QDir::temp().filePath(QFileInfo(path).fileName()), "old", &asideName);
    if (aside < 0) {
        *error = qt_error_string(errno);
        ::close(fd);
        return false;
    }
    int failure = 0;
    if (!copyAll(fd, aside) || !syncFile(aside)) {
        // Nothing was changed yet.
        failure = errno;
        ::close(aside);
        ::unlink(asideName.constData());
        ::close(fd);
        *error = qt_error_string(failure);
        return false;
    }
    if (::lseek(fd, 0, SEEK_SET) < 0 || !writeAll(fd, bytes.constData(), bytes.size()) ||
        ::ftruncate(fd, bytes.size()) != 0 || !syncFile(fd))
        failure = errno;
    bool keepAside = false;
    if (failure) {
        const bool restored = ::ftruncate(fd, 0) == 0 && copyAll(aside, fd) && syncFile(fd);
        keepAside = !restored;
    }
    ::close(aside);
    ::close(fd);
    if (!keepAside)
        ::unlink(asideName.constData());
    if (!failure)
        return true;
    *error = qt_error_string(failure);
    if (keepAside) {
        *error += QStringLiteral("\nThe old content could not be put back; it is kept in %1.")
                      .arg(QDir::toNativeSeparators(QFile::decodeName(asideName)));
    }
    return false;
}

} // namespace

quint64 hashBytes(const char* data, qsizetype size) {
    return XXH3_64bits(data, size_t(size));
}

LoadedFile readDocumentFile(const QString& path) {
    LoadedFile result;
    QByteArray bytes;
    struct stat st {};
    if (!readRegularFile(path, &bytes, &st, &result.errorString))
        return result;
    result.ok = true;
    result.state.stamp = stampOf(st, hashBytes(bytes.constData(), bytes.size()));
    if (bytes.startsWith("{\\rtf")) {
        result.rich = true;
        result.content = QString::fromLatin1(bytes);
        return result;
    }
    DecodedText decoded = decodeFileBytes(bytes);
    bytes = QByteArray();
    result.state.form = decoded.form;
    result.state.strayBytes = decoded.strayBytes;
    result.content = toCrLf(decoded.text);
    return result;
}

bool readDocumentText(const QString& path, QString* text, QString* errorString) {
    const LoadedFile f = readDocumentFile(path);
    if (!f.ok) {
        if (errorString)
            *errorString = f.errorString;
        return false;
    }
    if (text)
        *text = f.rich ? rtf::read(f.content).text : f.content;
    return true;
}

bool writeDocumentFile(const QString& path, const QString& text, FileState* state,
                       QString* errorString) {
    QByteArray bytes;
    FileForm form = state->form;
    bool switched = false;
    if (!encodeFileBytes(text, form, &bytes)) {
        // Windows-1252 cannot hold the text: UTF-8 keeps every character.
        form.encoding = FileForm::Encoding::Utf8;
        form.byteOrderMark = false;
        form.strayBytes = false;
        encodeFileBytes(text, form, &bytes);
        switched = true;
    }
    if (!writeDocumentBytes(path, bytes, state, errorString))
        return false;
    state->form = form;
    state->switchedToUtf8 = switched;
    return true;
}

bool writeDocumentBytes(const QString& path, const QByteArray& bytes, FileState* state,
                        QString* errorString) {
    QString error;
    struct stat st {};
    const bool linked = statPath(path, &st) && S_ISREG(st.st_mode) && st.st_nlink > 1;
    const bool ok = linked ? writeInPlace(path, bytes, &error) : replaceFile(path, bytes, &error);
    if (!ok) {
        if (errorString)
            *errorString = error;
        return false;
    }
    state->switchedToUtf8 = false;
    state->stamp =
        statPath(path, &st) ? stampOf(st, hashBytes(bytes.constData(), bytes.size())) : FileStamp();
    return true;
}

bool writeDocumentFile(const QString& path, const QString& text, QString* errorString) {
    QString error;
    const QByteArray bytes = text.toUtf8();
    if (replaceFile(path, bytes, &error))
        return true;
    if (errorString)
        *errorString = error;
    return false;
}

FileChange fileChangeSince(const QString& path, const FileStamp& stamp, QString* reason) {
    struct stat st {};
    if (!statPath(path, &st)) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileChange::Missing;
        if (reason)
            *reason = qt_error_string(errno);
        return FileChange::Unreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        if (reason)
            *reason = notRegularReason(st.st_mode);
        return FileChange::Unreadable;
    }
    if (!stamp.valid || st.st_size != stamp.size)
        return FileChange::Changed;
    const qint64 modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    const bool sameFile = st.st_ino == stamp.inode && st.st_dev == stamp.device;
    const bool racy = stamp.takenAtNs - stamp.modifiedNs < kTimestampGranularityNs;
    if (sameFile && modifiedNs == stamp.modifiedNs && !racy)
        return FileChange::Unchanged;
    QByteArray bytes;
    QString error;
    if (!readRegularFile(path, &bytes, &st, &error)) {
        if (reason)
            *reason = error;
        return FileChange::Unreadable;
    }
    return bytes.size() == stamp.size && hashBytes(bytes.constData(), bytes.size()) == stamp.hash
               ? FileChange::Unchanged
               : FileChange::Changed;
}
