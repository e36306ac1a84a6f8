// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <Qsci/qsciscintilla.h>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/recoveryfile.h"
#include "editor/txtcode.h"
#include "shell/modaldialogs.h"
#include "text/filenames.h"

namespace {

QString lockPathFor(const QString& folder, const QString& id) {
    return folder + QLatin1Char('/') + id + QStringLiteral(".lock");
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

} // namespace

Recovery::Recovery(frmMain* window, const QString& folder)
    : QObject(window), window_(window), folder_(folder),
      // The process id tells runs apart on one machine; the random part, a reused id.
      id_(QStringLiteral("%1-%2")
              .arg(QCoreApplication::applicationPid())
              .arg(QString::number(QRandomGenerator::global()->generate64(), 36))),
      writer_(std::make_unique<RecoveryWriter>()) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Recovery::keepNow);
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &Recovery::copyStep);
    clock_.start();

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
    writer_.reset();
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

void Recovery::waitForWrites() {
    writer_->waitForWrites();
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
    if (copy_.running())
        return;
    // One file at a time: while the last one is still being written, try again shortly.
    if (writer_->pending() > 0) {
        timer_.start(100);
        return;
    }
    copy_.start(qint64(editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
    copyStep();
}

void Recovery::onEdited(int position, int type, int length) {
    const bool inserted = type & QsciScintillaBase::SC_MOD_INSERTTEXT;
    if (!copy_.running() || !(inserted || (type & QsciScintillaBase::SC_MOD_DELETETEXT)))
        return;
    copy_.edited(position, inserted, length,
                 qint64(window_->txtCode()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)));
}

void Recovery::copyStep() {
    if (!copy_.running())
        return;
    if (!copy_.step(*window_->txtCode(), kStepBudgetMs)) {
        stepTimer_.start(0);
        return;
    }
    RecoveryCopy::Copied copied = copy_.take();

    const Document* doc = window_->document();
    const QString path = doc->filePath();
    FileState state = doc->fileState();
    // The stamp goes along only when it belongs to the document's file.
    if (doc->stampedPath() != path)
        state.stamp = FileStamp();
    const QString target = filePath();
    QPointer<Recovery> self(this);
    writer_->post([path, state, copied = std::move(copied), target, self]() mutable {
        const QByteArray header =
            recoveryFileHeader(path, state, copied.head.size() + copied.tailSize);
        QString failure;
        writePrivateFile(target, {header, copied.head, copied.tailBytes()}, &failure);
        copied = RecoveryCopy::Copied();
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
    copy_.cancel();
    if (!active_)
        return;
    const QString target = filePath();
    writer_->post([target] { QFile::remove(target); });
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
        if (!readRecoveryFile(f.filePath(), &bytes) || !parseRecoveryFile(bytes, &doc))
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
        writer_->post([bytes = std::move(bytes), left, target = filePath()]() mutable {
            if (writePrivateFile(target, {bytes}, nullptr))
                QFile::remove(left);
        });
        waitForWrites();
        return true;
    }
    return false;
}
