// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recoveryfile.h"

#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/filenames.h"

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

QByteArray lineBreaksName(const FileForm& form) {
    return form.lfLineBreaks ? "LF" : form.crLineBreaks ? "CR" : "CRLF";
}

} // namespace

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

// Reads a recovery file left in the folder: only a regular file of this user, never
// through a link, and without waiting on anything else planted there.
bool readRecoveryFile(const QString& path, QByteArray* bytes) {
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
