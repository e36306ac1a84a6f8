#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <xxhash.h>

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

// Replaces the file through a temporary file beside it, renamed over it on success.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // The reason of a failed write is taken at once: after the temporary file is removed
    // the device no longer knows it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        *error = qt_error_string(errno);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// Copies what is left of `from` (from its start) to `to`; false on a failed read or write.
bool copyContent(QFile& from, QFile& to, QString* error) {
    if (!from.seek(0) || !to.seek(0)) {
        *error = from.errorString();
        return false;
    }
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = from.read(chunk.data(), chunk.size());
        if (got < 0) {
            *error = from.errorString();
            return false;
        }
        if (got == 0)
            break;
        if (to.write(chunk.constData(), got) != got) {
            *error = to.errorString();
            return false;
        }
    }
    if (!to.flush()) {
        *error = to.errorString();
        return false;
    }
    return true;
}

// Writes over a file with several names in place, so that every name sees the new text.
// Its old content is first copied aside; a failed write puts it back.
bool writeInPlace(const QString& path, const QByteArray& bytes, QString* error) {
    QFile target(path);
    if (!target.open(QIODevice::ReadWrite)) {
        *error = target.errorString();
        return false;
    }
    const QFileInfo info(path);
    QTemporaryFile aside(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                         QStringLiteral(".old-XXXXXX"));
    if (!aside.open()) {
        *error = aside.errorString();
        return false;
    }
    if (!copyContent(target, aside, error) || ::fsync(aside.handle()) != 0) {
        if (error->isEmpty())
            *error = qt_error_string(errno);
        return false;
    }
    const qint64 oldSize = target.size();
    bool ok = target.seek(0) && target.write(bytes) == bytes.size() && target.flush() &&
              target.resize(bytes.size());
    if (ok && ::fsync(target.handle()) != 0 && errno != EINVAL) {
        *error = qt_error_string(errno);
        ok = false;
    } else if (!ok) {
        *error = target.errorString();
    }
    if (ok)
        return true;
    QString restoreError;
    if (!target.resize(0) || !copyContent(aside, target, &restoreError) ||
        !target.resize(oldSize)) {
        // The old content stays in the copy beside the file.
        aside.setAutoRemove(false);
        *error += QStringLiteral("\nThe old content could not be put back; it is kept in %1.")
                      .arg(QDir::toNativeSeparators(aside.fileName()));
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

bool writeDocumentFile(const QString& path, const QString& text, FileState* state,
                       QString* errorString) {
    QString error;
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
    struct stat st {};
    const bool linked = statPath(path, &st) && S_ISREG(st.st_mode) && st.st_nlink > 1;
    const bool ok = linked ? writeInPlace(path, bytes, &error) : replaceFile(path, bytes, &error);
    if (!ok) {
        if (errorString)
            *errorString = error;
        return false;
    }
    state->form = form;
    state->switchedToUtf8 = switched;
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

FileChange fileChangeSince(const QString& path, const FileStamp& stamp) {
    struct stat st {};
    if (!statPath(path, &st))
        return errno == ENOENT || errno == ENOTDIR ? FileChange::Missing : FileChange::Changed;
    if (!stamp.valid || st.st_size != stamp.size)
        return FileChange::Changed;
    const qint64 modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    const bool sameFile = st.st_ino == stamp.inode && st.st_dev == stamp.device;
    const bool racy = stamp.takenAtNs - stamp.modifiedNs < kTimestampGranularityNs;
    if (sameFile && modifiedNs == stamp.modifiedNs && !racy)
        return FileChange::Unchanged;
    QByteArray bytes;
    QString error;
    if (!readRegularFile(path, &bytes, &st, &error))
        return FileChange::Changed;
    return bytes.size() == stamp.size && hashBytes(bytes.constData(), bytes.size()) == stamp.hash
               ? FileChange::Unchanged
               : FileChange::Changed;
}
