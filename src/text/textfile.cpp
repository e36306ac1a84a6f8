// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/textfile.h"

#include <QDir>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>
#include <xxhash.h>

#include "text/filenames.h"
#include "text/rtf.h"

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

qint64 nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

FileStamp stampOf(const struct stat& st, quint64 hash) {
    FileStamp s;
    s.valid = true;
    s.size = st.st_size;
    s.modifiedNs = nanoseconds(st.st_mtim);
    s.changedNs = nanoseconds(st.st_ctim);
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

QString notEnoughMemoryReason() {
    return QStringLiteral("There is not enough memory to read it.");
}

// The largest file that can be read: its bytes and its text (two bytes a character) must
// fit in this computer's memory together. A larger one is refused before any of it is read.
qint64 largestReadableFile() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::numeric_limits<qint64>::max();
    return qint64(pages) * pageSize / 3;
}

QString tooLargeReason(qint64 size) {
    return QStringLiteral("It is too large: its %1 bytes need more memory than this computer has.")
        .arg(size);
}

bool readRegularFileOrThrow(const QString& path, QByteArray* bytes, struct stat* st,
                            QString* error);

// Reads a regular file whole; anything else is refused without waiting for it, and so is
// a file too large for the memory.
bool readRegularFile(const QString& path, QByteArray* bytes, struct stat* st, QString* error) {
    try {
        return readRegularFileOrThrow(path, bytes, st, error);
    } catch (const std::bad_alloc&) {
        *error = notEnoughMemoryReason();
        return false;
    }
}

bool readRegularFileOrThrow(const QString& path, QByteArray* bytes, struct stat* st,
                            QString* error) {
    const QByteArray native = encodeFileName(path);
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
    const qint64 largest = largestReadableFile();
    if (st->st_size > largest) {
        *error = tooLargeReason(st->st_size);
        return false;
    }
    // The size is a hint: files of /proc say 0, and a file may grow while we read.
    QByteArray out(qMax<qint64>(st->st_size, 0) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used > largest) {
            *error = tooLargeReason(used);
            return false;
        }
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

bool statPath(const QByteArray& path, struct stat* st) {
    return ::stat(path.constData(), st) == 0;
}

bool statPath(const QString& path, struct stat* st) {
    return statPath(encodeFileName(path), st);
}

// The folder part of a path ("." for a bare name) and its last part.
QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The file a path names in the end: a symbolic link (or a chain of them) is followed to
// its target; a link to nothing yet gives the name it points to, which a write creates.
QByteArray finalTarget(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    if (char* real = ::realpath(path.constData(), nullptr)) {
        QByteArray resolved(real);
        std::free(real);
        return resolved;
    }
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
    if (n <= 0 || n >= target.size())
        return path;
    target.truncate(n);
    return target.startsWith('/') ? target : folderOf(path) + '/' + target;
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

// Creates a new file `folder`/.<name>.<tag>-<random>, never through a link; its name goes
// to *name. Unless `mode` says otherwise it is private (0600), so that nothing of the
// text it will hold can be read by anyone else before its permissions are set. Returns
// the descriptor, or -1 with errno set.
int createIn(const QByteArray& folder, const QByteArray& name, const char* tag, QByteArray* path,
             mode_t mode = 0600) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = folder + "/." + name + '.' + tag + '-' +
                QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd =
            ::open(path->constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The same, beside the file `target`.
int createBeside(const QByteArray& target, const char* tag, QByteArray* path, mode_t mode = 0600) {
    return createIn(folderOf(target), nameOf(target), tag, path, mode);
}

enum class Replaced { Done, Failed, InPlaceInstead };

// Replaces the file through a temporary file beside it, renamed over it only when the
// whole text is written and synced, so that a failed write never touches the old file.
// Written with the system calls themselves, so that a failure names its real reason
// (no space left, read-only file system, permission denied).
// An existing file that this way would lose its owner, group or access list, or whose
// folder refuses a new file while the file itself may be written, is to be written in
// place instead.
Replaced replaceFile(const QByteArray& path, const QByteArray& bytes, QString* error) {
    // A symbolic link stays a link: its target is replaced.
    const QByteArray target = finalTarget(path);
    struct stat old {};
    const bool existed = statPath(target, &old);
    if (existed && !S_ISREG(old.st_mode)) {
        *error = notRegularReason(old.st_mode);
        return Replaced::Failed;
    }
    if (existed && ::access(target.constData(), W_OK) != 0) {
        *error = qt_error_string(errno);
        return Replaced::Failed;
    }
    // An access list says more than the permission bits: a new file would lose it (and
    // give the owning group what the list's mask allows to others).
    if (existed && ::getxattr(target.constData(), "system.posix_acl_access", nullptr, 0) > 0)
        return Replaced::InPlaceInstead;
    QByteArray temp;
    // A new file is made as any new file is (the umask decides); the copy of an existing
    // one is private until it carries the old file's owner and permissions.
    const int fd = createBeside(target, "new", &temp, existed ? 0600 : 0666);
    if (fd < 0) {
        if (existed && (errno == EACCES || errno == EPERM))
            return Replaced::InPlaceInstead;
        *error = qt_error_string(errno);
        return Replaced::Failed;
    }
    int failure = 0;
    if (existed) {
        // The owner and group first (a change of owner clears the set-id bits), then the
        // permissions, all before a byte of the text is written.
        const bool sameOwner = ::fchown(fd, old.st_uid, old.st_gid) == 0;
        if (!sameOwner) {
            ::close(fd);
            ::unlink(temp.constData());
            return Replaced::InPlaceInstead;
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            failure = errno;
    }
    if (!failure && !writeAll(fd, bytes.constData(), bytes.size()))
        failure = errno;
    if (!failure && !syncFile(fd))
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (!failure && ::rename(temp.constData(), target.constData()) != 0)
        failure = errno;
    if (failure) {
        ::unlink(temp.constData());
        *error = qt_error_string(failure);
        return Replaced::Failed;
    }
    return Replaced::Done;
}

// Writes over a file in place, so that every name of it sees the new text and it keeps
// its owner, group and permissions. Its old content is first copied aside, into a private
// file (0600) beside it or, when its folder refuses one, in the temporary folder; a failed
// write puts it back.
bool writeInPlace(const QByteArray& path, const QByteArray& bytes, QString* error) {
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    struct stat st {};
    const bool unknown = ::fstat(fd, &st) != 0;
    if (unknown || !S_ISREG(st.st_mode)) {
        *error = unknown ? qt_error_string(errno) : notRegularReason(st.st_mode);
        ::close(fd);
        return false;
    }
    QByteArray asideName;
    int aside = createBeside(path, "old", &asideName);
    // A folder we may not write in still lets us write the file itself: the copy goes to
    // the temporary folder instead, under a name that tells nothing of the file.
    if (aside < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        aside = createIn(encodeFileName(QDir::tempPath()), "verrindel", "old", &asideName);
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
                      .arg(QDir::toNativeSeparators(decodeFileName(asideName)));
    }
    return false;
}

// Writes bytes to the file at path: replaced through a temporary file, or in place when
// it has several names or a replacement cannot keep it as it was.
bool writeFileBytes(const QByteArray& path, const QByteArray& bytes, QString* error) {
    struct stat st {};
    if (statPath(path, &st) && S_ISREG(st.st_mode) && st.st_nlink > 1)
        return writeInPlace(path, bytes, error);
    switch (replaceFile(path, bytes, error)) {
    case Replaced::Done:
        return true;
    case Replaced::InPlaceInstead:
        return writeInPlace(path, bytes, error);
    default:
        return false;
    }
}

} // namespace

quint64 hashBytes(const char* data, qsizetype size) {
    return XXH3_64bits(data, size_t(size));
}

namespace {

// Reads a document file; a text file's text is decoded by `decode` (which fills in the
// form and counts of result.state).
template <class Decode> LoadedFile readDocument(const QString& path, Decode decode) {
    LoadedFile result;
    QByteArray bytes;
    struct stat st {};
    if (!readRegularFile(path, &bytes, &st, &result.errorString))
        return result;
    result.state.stamp = stampOf(st, hashBytes(bytes.constData(), bytes.size()));
    try {
        if (bytes.startsWith("{\\rtf")) {
            result.rich = true;
            result.content = QString::fromLatin1(bytes);
            result.ok = true;
            return result;
        }
        decode(bytes, &result);
        result.ok = true;
    } catch (const std::bad_alloc&) {
        result = LoadedFile();
        result.errorString = notEnoughMemoryReason();
    }
    return result;
}

void takeForm(const DecodedText& decoded, LoadedFile* result) {
    result->state.form = decoded.form;
    result->state.strayBytes = decoded.strayBytes;
    result->state.otherLineBreaks = decoded.otherLineBreaks;
}

} // namespace

LoadedFile readDocumentFile(const QString& path) {
    return readDocument(path, [](QByteArray& bytes, LoadedFile* result) {
        DecodedText decoded = decodeFileBytes(bytes);
        bytes = QByteArray();
        takeForm(decoded, result);
        result->content = toCrLf(decoded.text);
    });
}

LoadedFile readDocumentFileInPieces(const QString& path, const EditorBytesSink& sink,
                                    qsizetype pieceSize) {
    return readDocument(path, [&](QByteArray& bytes, LoadedFile* result) {
        takeForm(decodeFileBytesInPieces(bytes, sink, pieceSize), result);
    });
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
    if (!writeFileBytes(encodeFileName(path), bytes, &error)) {
        if (errorString)
            *errorString = error;
        return false;
    }
    state->switchedToUtf8 = false;
    struct stat st {};
    state->stamp =
        statPath(path, &st) ? stampOf(st, hashBytes(bytes.constData(), bytes.size())) : FileStamp();
    return true;
}

bool writePrivateFile(const QString& path, std::initializer_list<QByteArrayView> pieces,
                      QString* errorString) {
    const QByteArray target = encodeFileName(path);
    QByteArray temp;
    const int fd = createBeside(target, "new", &temp);
    int failure = fd < 0 ? errno : 0;
    for (const QByteArrayView& piece : pieces) {
        if (!failure && !writeAll(fd, piece.data(), piece.size()))
            failure = errno;
    }
    if (!failure && !syncFile(fd))
        failure = errno;
    if (fd >= 0 && ::close(fd) != 0 && !failure)
        failure = errno;
    // rename() replaces whatever has the name, a link included, and follows nothing.
    if (!failure && ::rename(temp.constData(), target.constData()) != 0)
        failure = errno;
    if (!failure)
        return true;
    if (fd >= 0)
        ::unlink(temp.constData());
    if (errorString)
        *errorString = qt_error_string(failure);
    return false;
}

bool writeDocumentFile(const QString& path, const QString& text, QString* errorString) {
    QString error;
    const QByteArray bytes = text.toUtf8();
    if (writeFileBytes(encodeFileName(path), bytes, &error))
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
    // A program that writes in place may put the old modification time back (rsync
    // --inplace -t, touch -r), but not the change time, which only the system sets.
    const bool sameFile = st.st_ino == stamp.inode && st.st_dev == stamp.device;
    const bool sameTimes =
        nanoseconds(st.st_mtim) == stamp.modifiedNs && nanoseconds(st.st_ctim) == stamp.changedNs;
    const bool racy =
        stamp.takenAtNs - qMax(stamp.modifiedNs, stamp.changedNs) < kTimestampGranularityNs;
    if (sameFile && sameTimes && !racy)
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
