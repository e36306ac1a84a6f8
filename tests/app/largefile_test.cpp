// SPDX-License-Identifier: GPL-3.0-or-later
// A hundred-megabyte page, opened, edited, highlighted, validated and saved as a user does
// it, with the memory the editor needs for it bounded by ten times the file's size.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <iostream>
#include <sys/resource.h>

#include "app/frmmain.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "validator/frmvalidator.h"

namespace {

constexpr qint64 kTarget = 100LL * 1024 * 1024;

const QByteArray kHead = "<html>\r\n<head>\r\n<title>Large</title>\r\n</head>\r\n<body>\r\n";
const QByteArray kTail = "</body>\r\n</html>\r\n";

// Ordinary markup lines, every element closed, until the file holds about `target` bytes.
qint64 writeLargePage(const QString& path, qint64 target) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return -1;
    qint64 written = f.write(kHead);
    QByteArray chunk;
    chunk.reserve(1 << 22);
    for (qint64 line = 1; written + kTail.size() < target; ++line) {
        chunk += "<p class='row'>Line ";
        chunk += QByteArray::number(line);
        chunk += " has <b>bold</b>, <i>italic</i> and a <a href='page.html'>link</a>.</p>\r\n";
        if (chunk.size() >= (1 << 22) || written + chunk.size() + kTail.size() >= target) {
            written += f.write(chunk);
            chunk.clear();
        }
    }
    written += f.write(kTail);
    return f.flush() ? written : -1;
}

qint64 peakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024; // kilobytes on Linux
}

// Compares the file with `expected` followed by `extra`, a chunk at a time.
bool fileIs(const QString& path, const QString& expected, const QByteArray& extra) {
    QFile a(path), b(expected);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    if (a.size() != b.size() + extra.size()) {
        std::cerr << "saved " << a.size() << " bytes, expected " << b.size() + extra.size() << '\n';
        return false;
    }
    for (qint64 at = 0; !b.atEnd(); at += 1 << 22) {
        const QByteArray y = b.read(1 << 22);
        const QByteArray x = a.read(y.size());
        if (x != y) {
            qsizetype i = 0;
            while (i < x.size() && i < y.size() && x[i] == y[i])
                ++i;
            std::cerr << "first difference at byte " << at + i << ": saved \""
                      << x.mid(i, 40).toStdString() << "\", expected \""
                      << y.mid(i, 40).toStdString() << "\"\n";
            return false;
        }
    }
    return a.read(extra.size() + 1) == extra;
}

class LargeFile : public MainWindowTest {};

TEST_F(LargeFile, OpensStaysEditableHighlightsValidatesAndSavesWithinTenTimesItsSize) {
    const QString page = dir.filePath(QStringLiteral("large.html"));
    const QString original = dir.filePath(QStringLiteral("original.html"));
    const qint64 size = writeLargePage(page, kTarget);
    ASSERT_GE(size, kTarget - 200);
    ASSERT_TRUE(QFile::copy(page, original));

    // The peak after each step, for the log: which step needs the memory.
    auto mark = [](const char* step) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        qint64 now = 0;
        if (statm.open(QIODevice::ReadOnly))
            now = statm.readAll().split(' ').value(1).toLongLong() * 4096;
        std::cerr << step << ": peak " << peakResidentBytes() / (1024 * 1024) << " MB, now "
                  << now / (1024 * 1024) << " MB\n";
    };
    mark("generated");
    TxtCode* ed = editor();

    d.chooseFile(page);
    menuItem(*w, "mnuOpen")->trigger();
    ASSERT_TRUE(d.messages().isEmpty()) << d.messages().join(u'\n').toStdString();
    ASSERT_EQ(ed->TextLength(), size);
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("large.html")));
    EXPECT_FALSE(ed->Modified());

    mark("opened");
    // A character typed at the end of the document through the editor itself.
    ed->SetSelStart(ed->TextLength());
    ed->SetFocus();
    QTest::keyClick(ed, Qt::Key_Z);
    ASSERT_EQ(ed->TextLength(), size + 1);
    EXPECT_TRUE(ed->Modified());

    mark("typed");
    // Highlight Syntax colours the whole document: the first tag in the tag colour,
    // the text after it not.
    menuItem(*w, "mnuHighlight")->trigger();
    EXPECT_TRUE(d.messages().isEmpty()) << d.messages().join(u'\n').toStdString();
    EXPECT_EQ(ed->TextLength(), size + 1);
    const int lastTag = int(size) - int(kTail.size()) + 2; // inside "</body>"
    EXPECT_NE(ed->formatAt(1).color, ed->formatAt(int(size) - 1).color);
    EXPECT_EQ(ed->formatAt(1).color, ed->formatAt(lastTag).color);

    mark("highlighted");
    // Validate: the validator's own button runs the checks; the summary box follows.
    menuItem(*w, "mnuValidate")->trigger();
    frmValidator* v = frmValidator::instance();
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(waitUntil([v] { return v->isVisible(); }));
    QTest::mouseClick(v->cmdValidate, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([v] { return !v->isRunning(); }, 600000));
    ASSERT_EQ(d.messages().size(), 1);
    // Every character of the document went through the fifteen checks.
    const qint64 checked = size + 1;
    EXPECT_TRUE(d.messages().first().endsWith(
        QStringLiteral("I've checked %1(Char) X 15(sections) = %2 Characters..")
            .arg(checked)
            .arg(checked * 15)))
        << d.messages().first().toStdString();
    v->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w->isEnabled());

    mark("validated");
    // Save writes the document back: the original bytes and the typed character.
    d.clear();
    menuItem(*w, "mnuSave")->trigger();
    EXPECT_TRUE(d.messages().isEmpty()) << d.messages().join(u'\n').toStdString();
    EXPECT_FALSE(ed->Modified());

    mark("saved");
    const qint64 peak = peakResidentBytes();
    EXPECT_LE(peak, 10 * size) << "peak resident memory " << peak / (1024 * 1024) << " MB";
    ed->SetText(QString()); // nothing to ask about when the window closes
    ed->SetModified(false);
    EXPECT_TRUE(fileIs(page, original, "z"));
}

} // namespace
