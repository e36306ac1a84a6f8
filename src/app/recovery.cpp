// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <Qsci/qsciscintilla.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/document.h"
#include "app/frmmain.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/txtcode.h"

namespace {

const QByteArray kMagic = "VERRiNDEL recovery 1\n";

QByteArray line(const char* key, const QByteArray& value) {
    return QByteArray(key) + '=' + value + '\n';
}

QByteArray stampText(const FileStamp& s) {
    return QByteArray::number(s.valid ? 1 : 0) + ' ' + QByteArray::number(s.size) + ' ' +
           QByteArray::number(s.modifiedNs) + ' ' + QByteArray::number(s.inode) + ' ' +
           QByteArray::number(s.device) + ' ' + QByteArray::number(s.hash) + ' ' +
           QByteArray::number(s.takenAtNs);
}

bool parseStamp(const QByteArray& text, FileStamp* s) {
    const QList<QByteArray> f = text.split(' ');
    if (f.size() != 7)
        return false;
    bool ok[7];
    s->valid = f[0].toInt(&ok[0]) == 1;
    s->size = f[1].toLongLong(&ok[1]);
    s->modifiedNs = f[2].toLongLong(&ok[2]);
    s->inode = f[3].toULongLong(&ok[3]);
    s->device = f[4].toULongLong(&ok[4]);
    s->hash = f[5].toULongLong(&ok[5]);
    s->takenAtNs = f[6].toLongLong(&ok[6]);
    return std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; });
}

QString lockPathFor(const QString& folder, const QString& id) {
    return folder + QLatin1Char('/') + id + QStringLiteral(".lock");
}

QByteArray lineBreaksName(const FileForm& form) {
    return form.lfLineBreaks ? "LF" : form.crLineBreaks ? "CR" : "CRLF";
}

// Why the recovery folder cannot be trusted with the text, or empty when it can: it must
// be a folder of this user that no one else may enter. Any other user who can put a file
// or link in it could lead the writes elsewhere or hand back a text of their own.
QString untrustedFolderReason(const QString& folder) {
    const QByteArray native = encodeFileName(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return qt_error_string(errno);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("It is not a folder.");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("It belongs to another user.");
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return qt_error_string(errno);
    return QString();
}

// Reads a recovery file left in the folder: only a regular file of this user, never
// through a link, and without waiting on anything else planted there.
bool readLeftover(const QString& path, QByteArray* bytes) {
    const int fd =
        ::open(encodeFileName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    QFile file;
    struct stat st {};
    const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                      file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    if (!ours) {
        ::close(fd);
        return false;
    }
    *bytes = file.readAll();
    return true;
}

} // namespace

void copyEditorBytes(const QsciScintilla* editor, qint64 from, qint64 count, char* to) {
    // The buffer is two stretches around its gap; each is read where it lies (a range
    // across the gap would make Scintilla move it).
    const qint64 gap = qint64(editor->SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION));
    while (count > 0) {
        const qint64 n = from < gap ? qMin(count, gap - from) : count;
        const auto* p = reinterpret_cast<const char*>(editor->SendScintilla(
            QsciScintillaBase::SCI_GETRANGEPOINTER, (unsigned long)from, (long)n));
        std::memcpy(to, p, size_t(n));
        to += n;
        from += n;
        count -= n;
    }
}

QByteArray recoveryFileHeader(const QString& path, const FileState& state, qsizetype length) {
    QByteArray out = kMagic;
    out += line("path", encodeFileName(path).toPercentEncoding());
    out += line("encoding", encodingName(state.form.encoding).toLatin1());
    out += line("mark", state.form.byteOrderMark ? "1" : "0");
    out += line("stray", state.form.strayBytes ? "1" : "0");
    out += line("linebreaks", lineBreaksName(state.form));
    out += line("stamp", stampText(state.stamp));
    // Apart from the stamp, which earlier versions read as exactly seven numbers.
    out += line("changed", QByteArray::number(state.stamp.changedNs));
    out += line("length", QByteArray::number(length));
    out += '\n';
    return out;
}

QByteArray recoveryFileBytes(const QString& path, const FileState& state, const QByteArray& text) {
    return recoveryFileHeader(path, state, text.size()) + text;
}

bool parseRecoveryFile(const QByteArray& bytes, RecoveredDocument* document) {
    if (!bytes.startsWith(kMagic))
        return false;
    const qsizetype end = bytes.indexOf("\n\n", kMagic.size() - 1);
    if (end < 0)
        return false;
    const QList<QByteArray> lines = bytes.mid(kMagic.size(), end - kMagic.size()).split('\n');
    RecoveredDocument d;
    qint64 length = -1;
    int seen = 0;
    for (const QByteArray& l : lines) {
        const qsizetype eq = l.indexOf('=');
        if (eq < 0)
            return false;
        const QByteArray key = l.left(eq), value = l.mid(eq + 1);
        ++seen;
        if (key == "path") {
            d.path = decodeFileName(QByteArray::fromPercentEncoding(value));
        } else if (key == "encoding") {
            if (!encodingFromName(QString::fromLatin1(value), &d.state.form.encoding))
                return false;
        } else if (key == "mark") {
            d.state.form.byteOrderMark = value == "1";
        } else if (key == "stray") {
            d.state.form.strayBytes = value == "1";
        } else if (key == "linebreaks") {
            d.state.form.lfLineBreaks = value == "LF";
            d.state.form.crLineBreaks = value == "CR";
        } else if (key == "stamp") {
            if (!parseStamp(value, &d.state.stamp))
                return false;
        } else if (key == "length") {
            length = value.toLongLong();
        } else if (key == "changed") {
            --seen; // not in files of earlier versions
            d.state.stamp.changedNs = value.toLongLong();
        } else {
            --seen; // a key of a later version: ignored
        }
    }
    d.text = bytes.mid(end + 2);
    if (seen < 7 || length != d.text.size())
        return false;
    *document = std::move(d);
    return true;
}

Recovery::Recovery(frmMain* window, const QString& folder)
    : QObject(window), window_(window), folder_(folder),
      // The process id tells runs apart on one machine; the random part, a reused id.
      id_(QStringLiteral("%1-%2")
              .arg(QCoreApplication::applicationPid())
              .arg(QString::number(QRandomGenerator::global()->generate64(), 36))),
      pending_(std::make_shared<std::atomic<int>>(0)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Recovery::keepNow);
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &Recovery::copyStep);
    clock_.start();

    writer_ = new QThread;
    writer_->setObjectName(QStringLiteral("recovery writer"));
    writerContext_ = new QObject;
    writerContext_->moveToThread(writer_);
    writer_->start(QThread::LowPriority);

    if (!QDir().mkpath(folder_)) {
        reportFailure(QStringLiteral("The folder cannot be made."));
        return;
    }
    const QString untrusted = untrustedFolderReason(folder_);
    if (!untrusted.isEmpty()) {
        reportFailure(untrusted);
        return;
    }
    lock_ = std::make_unique<QLockFile>(lockPathFor(folder_, id_));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        reportFailure(lock_->error() == QLockFile::PermissionError
                          ? QStringLiteral("Permission denied.")
                          : QStringLiteral("The lock file cannot be made."));
        return;
    }
    active_ = true;
    TxtCode* editor = window_->txtCode();
    connect(editor, &QsciScintilla::textChanged, this, &Recovery::onTextChanged);
    connect(editor, &QsciScintilla::modificationChanged, this, &Recovery::onModificationChanged);
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                onEdited(position, type, length);
            });
}

Recovery::~Recovery() {
    timer_.stop();
    stepTimer_.stop();
    // Every write handed over is finished before the file is removed for good.
    while (pending_->load() > 0)
        QThread::msleep(2);
    writer_->quit();
    writer_->wait();
    delete writerContext_;
    delete writer_;
    if (active_) {
        QFile::remove(filePath());
        lock_->unlock();
    }
}

QString Recovery::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/recovery");
}

QString Recovery::filePath() const {
    return folder_ + QLatin1Char('/') + id_ + QStringLiteral(".recovery");
}

void Recovery::post(std::function<void()> job) {
    pending_->fetch_add(1);
    auto pending = pending_;
    QMetaObject::invokeMethod(
        writerContext_,
        [job = std::move(job), pending] {
            job();
            pending->fetch_sub(1);
        },
        Qt::QueuedConnection);
}

void Recovery::waitForWrites() {
    while (pending_->load() > 0)
        QThread::msleep(2);
    // Reports of the writes arrive as queued calls.
    QCoreApplication::processEvents();
}

void Recovery::onTextChanged() {
    if (!active_)
        return;
    const qint64 now = clock_.elapsed();
    if (!timer_.isActive())
        firstChangeMs_ = now;
    const qint64 due = qMin(now + kIdleDelayMs, firstChangeMs_ + kMaxDelayMs);
    timer_.start(int(qMax<qint64>(0, due - now)));
}

void Recovery::onModificationChanged(bool modified) {
    if (!modified)
        discard();
}

void Recovery::keepNow() {
    TxtCode* editor = window_->txtCode();
    if (!editor->Modified()) {
        discard();
        return;
    }
    // A copy under way takes in every later change anyway.
    if (copying_)
        return;
    // One file at a time: while the last one is still being written, try again shortly.
    if (pending_->load() > 0) {
        timer_.start(100);
        return;
    }
    copying_ = true;
    head_ = QByteArray();
    tail_ = QByteArray();
    headCopied_ = tailCopied_ = 0;
    lastEdit_ = qint64(window_->txtCode()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    copyStep();
}

void Recovery::onEdited(int position, int type, int length) {
    const bool inserted = type & QsciScintillaBase::SC_MOD_INSERTTEXT;
    if (!copying_ || !(inserted || (type & QsciScintillaBase::SC_MOD_DELETETEXT)))
        return;
    // The head stays good up to the edit; the tail from the end of what was put in (or
    // from where text was taken out), counted from the end of the text.
    const qint64 total =
        qint64(window_->txtCode()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    headCopied_ = qMin(headCopied_, qint64(position));
    const qint64 after = position + (inserted ? length : 0);
    tailCopied_ = qMin(tailCopied_, qMax<qint64>(0, total - after));
    lastEdit_ = after;
}

void Recovery::copyStep() {
    if (!copying_)
        return;
    TxtCode* editor = window_->txtCode();
    const qint64 length = qint64(editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    // Room for some typing during the copy; memory is only touched as it is filled.
    const qint64 room = length + length / 64 + 65536;
    if (head_.size() < length)
        head_.resize(room);
    if (tail_.size() < length) {
        // The tail lies at the end of its buffer; a bigger buffer takes it along.
        QByteArray bigger(room, Qt::Uninitialized);
        std::memcpy(bigger.data() + room - tailCopied_,
                    tail_.constData() + tail_.size() - tailCopied_, size_t(tailCopied_));
        tail_ = std::move(bigger);
    }
    // The copy grows from both ends towards the place of the last edit, where typing goes
    // on: an edit there leaves both ends as they are.
    constexpr qint64 kPiece = 256 << 10;
    QElapsedTimer step;
    step.start();
    for (;;) {
        const qint64 gapStart = headCopied_, gapEnd = length - tailCopied_;
        if (gapEnd - gapStart <= kPiece) {
            copyEditorBytes(editor, gapStart, gapEnd - gapStart, head_.data() + gapStart);
            headCopied_ = gapEnd;
            break;
        }
        if (step.elapsed() >= kStepBudgetMs) {
            stepTimer_.start(0);
            return;
        }
        const qint64 edit = qBound(gapStart, lastEdit_, gapEnd);
        if (edit - gapStart >= gapEnd - edit) {
            copyEditorBytes(editor, gapStart, kPiece, head_.data() + gapStart);
            headCopied_ += kPiece;
        } else {
            copyEditorBytes(editor, gapEnd - kPiece, kPiece,
                            tail_.data() + tail_.size() - tailCopied_ - kPiece);
            tailCopied_ += kPiece;
        }
    }
    copying_ = false;
    head_.truncate(headCopied_);
    QByteArray text = std::move(head_);
    // The tail stays at the end of its buffer; its size tells where it starts.
    const qint64 tailSize = tailCopied_;
    QByteArray tail = std::move(tail_);
    head_ = QByteArray();
    tail_ = QByteArray();

    const Document* doc = window_->document();
    const QString caption = window_->windowTitle();
    const QString path = caption == Document::untitled() ? QString() : caption;
    FileState state = doc->fileState();
    // The stamp goes along only when it belongs to the file the caption names.
    if (doc->stampedPath() != path)
        state.stamp = FileStamp();
    const QString target = filePath();
    QPointer<Recovery> self(this);
    post([path, state, text = std::move(text), tail = std::move(tail), tailSize, target,
          self]() mutable {
        const QByteArray header = recoveryFileHeader(path, state, text.size() + tailSize);
        QString failure;
        writePrivateFile(
            target,
            {header, text, QByteArrayView(tail.constData() + tail.size() - tailSize, tailSize)},
            &failure);
        text = QByteArray();
        tail = QByteArray();
        if (!failure.isEmpty()) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, failure] {
                    if (self)
                        self->reportFailure(failure);
                },
                Qt::QueuedConnection);
        }
    });
}

void Recovery::discard() {
    timer_.stop();
    stepTimer_.stop();
    copying_ = false;
    head_ = QByteArray();
    tail_ = QByteArray();
    if (!active_)
        return;
    const QString target = filePath();
    post([target] { QFile::remove(target); });
}

void Recovery::reportFailure(const QString& reason) {
    // Told once a run; editing goes on as before.
    if (reported_)
        return;
    reported_ = true;
    dialogs().message(window_,
                      QStringLiteral("Unsaved text cannot be kept for recovery in %1:\n%2\n\n"
                                     "Editing goes on; save your work to keep it.")
                          .arg(QDir::toNativeSeparators(folder_), reason),
                      QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

bool Recovery::offerLeftovers() {
    if (!active_)
        return false;
    // Half-written copies of runs that ended during a write (".<id>.recovery.new-...").
    const QStringList partial = QDir(folder_).entryList({QStringLiteral(".*.recovery.new-*")},
                                                        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : partial) {
        const QString id = name.mid(1, name.indexOf(QStringLiteral(".recovery.new-")) - 1);
        QLockFile dead(lockPathFor(folder_, id));
        dead.setStaleLockTime(0);
        if (id != id_ && dead.tryLock(0)) {
            QFile::remove(folder_ + QLatin1Char('/') + name);
            dead.unlock();
        }
    }
    // Lock files of runs that ended without a normal exit but had nothing unsaved: a
    // successful lock of a dead run's file removes it on unlock.
    const QStringList locks = QDir(folder_).entryList({QStringLiteral("*.lock")}, QDir::Files);
    for (const QString& name : locks) {
        const QString id = name.chopped(5);
        if (id == id_ ||
            QFile::exists(folder_ + QLatin1Char('/') + id + QStringLiteral(".recovery")))
            continue;
        QLockFile dead(lockPathFor(folder_, id));
        dead.setStaleLockTime(0);
        if (dead.tryLock(0))
            dead.unlock();
    }
    // Links are not listed, and not followed if one takes a file's place meanwhile.
    const QFileInfoList files = QDir(folder_).entryInfoList(
        {QStringLiteral("*.recovery")}, QDir::Files | QDir::NoSymLinks, QDir::Time);
    for (const QFileInfo& f : files) {
        const QString id = f.completeBaseName();
        if (id == id_)
            continue;
        // A run still going holds its lock (and so does another start asking about it).
        QLockFile owner(lockPathFor(folder_, id));
        owner.setStaleLockTime(0);
        if (!owner.tryLock(0))
            continue;
        QByteArray bytes;
        RecoveredDocument doc;
        if (!readLeftover(f.filePath(), &bytes) || !parseRecoveryFile(bytes, &doc))
            continue; // not one of ours, or damaged: left alone
        const QString name =
            doc.path.isEmpty() ? Document::untitled() : QDir::toNativeSeparators(doc.path);
        const auto answer =
            dialogs().message(window_,
                              QStringLiteral("The program ended without saving the document %1.\n\n"
                                             "Do you want to restore the unsaved text?")
                                  .arg(name),
                              QString(), Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
        if (answer != Dialogs::Answer::Yes) {
            QFile::remove(f.filePath());
            continue;
        }
        // The text's bytes as kept: every character comes back, a U+FEFF at the start and
        // a file's stray bytes included.
        window_->document()->restore(doc.text, doc.path, doc.state);
        doc = RecoveredDocument();
        // A copy becomes this run's own file until the next write replaces it; the left
        // file goes once the copy is safe. (A rename would take over whatever the left
        // name leads to.)
        const QString left = f.filePath();
        post([bytes = std::move(bytes), left, target = filePath()]() mutable {
            if (writePrivateFile(target, {bytes}, nullptr))
                QFile::remove(left);
        });
        waitForWrites();
        return true;
    }
    return false;
}
