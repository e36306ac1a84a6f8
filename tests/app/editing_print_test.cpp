// SPDX-License-Identifier: GPL-3.0-or-later
// Print and Print Setup: what reaches paper is read back from a PDF with pdftotext.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFontInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/frmmain.h"
#include "editor/printing.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

// Runs a poppler tool on a PDF and returns its output.
QString poppler(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString& pdf) {
    return poppler(QStringLiteral("pdftotext"),
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
}

QString withoutBlanks(QString s) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return s.remove(blanks);
}

class PrintTest : public MainWindowTest {
protected:
    void SetUp() override {
        pdf = dir.filePath(QStringLiteral("out.pdf"));
        printing::printToPdfFile(pdf);
        MainWindowTest::SetUp();
    }
    void TearDown() override { printing::printToPdfFile(QString()); }
    void print() { menuItem(*w, "mnuPrint")->trigger(); }

    QString pdf;
};

TEST_F(PrintTest, AnEmptyDocumentHasNoTextToPrint) {
    print();
    ASSERT_EQ(d.messages(), QStringList{QStringLiteral("No text to print!")});
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(d.lastMessage()->buttons, Dialogs::Buttons::Ok);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintTest, OneLinePrintsThatLineInTheEditorFont) {
    editor()->SetText(QStringLiteral("<h1>Hello, printer</h1>"));
    print();
    EXPECT_TRUE(d.messages().isEmpty());
    EXPECT_EQ(pdfText(pdf).trimmed(), QStringLiteral("<h1>Hello, printer</h1>"));
    // The editor's font (Cambria, or the face that stands in for it) is the one embedded.
    const QString family = QFontInfo(editor()->Font()).family().remove(QLatin1Char(' '));
    EXPECT_TRUE(poppler(QStringLiteral("pdffonts"), {pdf}).contains(family))
        << family.toStdString();
}

TEST_F(PrintTest, TwoPagesWithLongLinesReachPaperWholeAndInOrder) {
    // Lines of numbered words, every fifth line far wider than the page, a word wider
    // than the page, blank lines, and enough lines for a second page.
    QStringList lines;
    QStringList words;
    for (int i = 1; i <= 90; ++i) {
        QStringList line;
        const int count = i % 5 == 0 ? 60 : 3;
        for (int k = 1; k <= count; ++k)
            line << QStringLiteral("w%1x%2").arg(i).arg(k);
        words << line;
        lines << line.join(QLatin1Char(' '));
        if (i % 30 == 0)
            lines << QString();
    }
    const QString longWord = QStringLiteral("Z") + QString::number(1234567890).repeated(40);
    lines.insert(10, longWord);
    const QString text = lines.join(kCrLf) + kCrLf;
    editor()->SetText(text);
    editor()->SetModified(false);

    print();
    EXPECT_TRUE(d.messages().isEmpty());
    const QString printed = pdfText(pdf);
    ASSERT_FALSE(printed.isEmpty()) << "pdftotext read nothing";
    EXPECT_GE(printed.count(QLatin1Char('\f')), 2) << "at least two pages";
    // Every character, in order: nothing cut off at the right edge or after a page.
    EXPECT_EQ(withoutBlanks(printed), withoutBlanks(text));
    // Every word whole and in order (the wide word may wrap, so it is left out here).
    QStringList printedWords =
        printed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    printedWords.removeIf([](const QString& s) { return !s.startsWith(QLatin1Char('w')); });
    words.removeAll(longWord);
    EXPECT_EQ(printedWords, words);
    // Long lines wrapped: the printed text has more lines than the document.
    EXPECT_GT(printed.count(QLatin1Char('\n')), lines.size());
    EXPECT_EQ(editor()->Text(), text);
    EXPECT_FALSE(editor()->Modified());
}

TEST_F(PrintTest, AFailedJobSaysSoAndKeepsTheDocument) {
    printing::printToPdfFile(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
    editor()->SetText(QStringLiteral("keep me"));
    editor()->SetModified(true);
    print();
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(
        d.messages().constFirst().startsWith(QStringLiteral("The document could not be printed.")));
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Warning);
    EXPECT_EQ(editor()->Text(), QStringLiteral("keep me"));
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(PrintTest, WithoutAPrinterPrintSaysSo) {
    printing::printToPdfFile(QString());
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    editor()->SetText(QStringLiteral("text"));
    print();
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages().constFirst().startsWith(QStringLiteral("There is no printer")));
    EXPECT_EQ(editor()->Text(), QStringLiteral("text"));
}

TEST_F(PrintTest, ThePrinterChosenInPrintSetupIsTheOnePrintUses) {
    printing::printToPdfFile(QString());
    const QString chosen = dir.filePath(QStringLiteral("chosen.pdf"));
    d.choosePdfPrinter(chosen);
    menuItem(*w, "mnuPrintsetup")->trigger();
    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls.constFirst().kind, ScriptedDialogs::Kind::Printer);
    editor()->SetText(QStringLiteral("to the chosen printer"));
    print();
    EXPECT_TRUE(d.messages().isEmpty());
    EXPECT_EQ(pdfText(chosen).trimmed(), QStringLiteral("to the chosen printer"));
}

} // namespace
