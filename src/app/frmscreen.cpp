// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmscreen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <new>

#include "app/screennumbers.h"
#include "app/viewaids.h"
#include "editor/txtcode.h"
#include "shell/modaldialogs.h"

namespace {

// 30 twips at 15 twips a pixel.
constexpr int kEdge = 2;
// Lines of the document in one block of the text box.
constexpr int kLinesPerBlock = 32;
// Characters of a long line in one block: cut after a space within kCutReach beyond.
constexpr int kLongLinePiece = 32768;
constexpr int kCutReach = 256;

} // namespace

frmScreen::frmScreen(QWidget* mainWindow, TxtCode* txtCode)
    : QDialog(mainWindow, Qt::Window | Qt::FramelessWindowHint), mainWindow_(mainWindow),
      txtCode_(txtCode) {
    setObjectName(QStringLiteral("frmScreen"));
    setWindowTitle(QStringLiteral("FULL SCREEN"));
    setModal(true);
    resize(321, 267); // 4815 x 4005 twips

    txtScreen = new ScreenBox(this);
    txtScreen->setObjectName(QStringLiteral("txtScreen"));
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(9.75);
    txtScreen->setFont(font);
    txtScreen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtScreen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtScreen->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtScreen->setGeometry(0, 0, 321, 265); // 4815 x 3975 twips
    txtScreen->installEventFilter(this);
    // Line numbers as the main window's editor shows them, or none.
    if (txtCode && ViewAids::showsLineNumbers(txtCode))
        new ScreenNumbers(txtScreen);

    replaceText = [](TxtCode* editor, const QString& text) { editor->SetText(text); };
}

frmScreen::~frmScreen() = default;

QString frmScreen::toScreenText(const QString& documentText, bool* grouped, QVector<int>* continued,
                                QVector<KeptChar>* kept) {
    // Each line break (CR LF, or a lone CR or LF) ends a line of the box. The box keeps
    // a paragraph per block and adding blocks is its slow part, so lines go into blocks of
    // kLinesPerBlock, joined by line separators; a document that holds separator
    // characters of its own gets one block per line, so that they come back unchanged.
    // (Paragraph separators given to `kept` are objects in the box, not separators.)
    const int n = documentText.size();
    const QChar* in = documentText.constData();
    bool group = true;
    for (int i = 0; i < n && group; ++i)
        group = in[i] != QChar::LineSeparator && (kept || in[i] != QChar::ParagraphSeparator);
    if (grouped)
        *grouped = group;
    QString out(n + (continued ? n / kLongLinePiece + 1 : 0), Qt::Uninitialized);
    QChar* o = out.data();
    int line = 0;
    int block = 0;
    int column = 0; // characters since the last line break or cut
    for (int i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && in[i + 1] == QLatin1Char('\n'))
                ++i;
            const bool newBlock = !group || ++line % kLinesPerBlock == 0;
            *o++ = newBlock ? QChar(QLatin1Char('\n')) : QChar(QChar::LineSeparator);
            block += newBlock;
            column = 0;
            continue;
        }
        if (continued && column >= kLongLinePiece && !c.isLowSurrogate() &&
            (in[i - 1] == QLatin1Char(' ') || column >= kLongLinePiece + kCutReach)) {
            *o++ = QLatin1Char('\n');
            continued->append(++block);
            column = 0;
        }
        if (kept && ScreenBox::keptAsObject(c.unicode())) {
            kept->append({int(o - out.constData()), c.unicode()});
            *o++ = QChar::ObjectReplacementCharacter;
        } else {
            *o++ = c;
        }
        ++column;
    }
    out.truncate(int(o - out.constData()));
    return out;
}

QString frmScreen::fromScreenText(const QString& raw, bool grouped) {
    // Block ends, and the line separators that joined lines into blocks, become CR LF.
    int breaks = 0;
    for (QChar c : raw)
        breaks += c == QChar::ParagraphSeparator || c == QLatin1Char('\n') ||
                  (grouped && c == QChar::LineSeparator);
    QString out(raw.size() + breaks, Qt::Uninitialized);
    QChar* o = out.data();
    for (QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QLatin1Char('\n') ||
            (grouped && c == QChar::LineSeparator)) {
            *o++ = QLatin1Char('\r');
            *o++ = QLatin1Char('\n');
        } else {
            *o++ = c;
        }
    }
    return out;
}

QString frmScreen::screenDocumentText() const {
    // Line breaks are the only '\n' the box's text can hold.
    return txtScreen->keptText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void frmScreen::takeDocument() {
    QVector<int> continued;
    QVector<KeptChar> kept;
    const QString raw = toScreenText(txtCode_->Text(), &grouped_, &continued, &kept);
    txtScreen->setSeparatorsJoinLines(grouped_);
    txtScreen->setKeptText(raw, kept);
    QTextDocument* doc = txtScreen->document();
    for (int number : continued)
        doc->findBlockByNumber(number).setUserState(ScreenBox::kContinuesLine);
    loadedRaw_ = doc->toRawText();
    Form_Load();
}

void frmScreen::Form_Load() {
    setWindowTitle(mainWindow_ ? mainWindow_->windowTitle() : QString());
    // Cover the screen that holds the main window, starting just beyond its top and left
    // edges and ending at its right and bottom edges.
    QScreen* screen = mainWindow_ && mainWindow_->screen() ? mainWindow_->screen()
                                                           : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect s = screen->geometry();
        setGeometry(s.x() - kEdge, s.y() - kEdge, s.width() + kEdge, s.height() + kEdge);
    }
    Form_Resize();
}

void frmScreen::Form_Resize() {
    // The text box fills the window but for a strip at the right and bottom.
    txtScreen->setGeometry(0, 0, qMax(0, width() - kEdge), qMax(0, height() - kEdge));
}

void frmScreen::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

bool frmScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtScreen && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmScreen::done(int result) {
    // Every way of closing passes here (Esc, the platform's close, reject).
    Form_Unload();
    QDialog::done(result);
}

void frmScreen::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    const QString raw = txtScreen->document()->toRawText();
    if (raw == loadedRaw_)
        return; // unchanged: the document, its colours and its flag stay as they are
    if (copyBack(screenDocumentText()))
        txtScreen->clear();
}

bool frmScreen::copyBack(const QString& text) {
    // Keep the document so that a failed replacement leaves it as it was.
    const RichDocument before = txtCode_->richDocument();
    const bool wasModified = txtCode_->Modified();
    // The stray bytes of the file, which the text alone does not tell from stand-ins.
    const bool keepsStrayBytes = txtCode_->keepsStrayBytes();
    const QByteArray beforeBytes = keepsStrayBytes ? txtCode_->editorBytes() : QByteArray();
    bool failed = false;
    try {
        replaceText(txtCode_, text);
        failed = txtCode_->SendScintilla(QsciScintillaBase::SCI_GETSTATUS) != 0 ||
                 txtCode_->TextLength() != text.size();
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (!failed) {
        txtCode_->SetModified(true);
        return true;
    }
    txtCode_->SendScintilla(QsciScintillaBase::SCI_SETSTATUS, 0UL);
    try {
        if (keepsStrayBytes)
            txtCode_->setEditorBytes(beforeBytes, true);
        txtCode_->setRichDocument(before);
        txtCode_->SetModified(wasModified);
    } catch (const std::bad_alloc&) {
    }
    dialogs().message(this, QStringLiteral("File is too large!!"), QString(), Dialogs::Buttons::Ok,
                      Dialogs::Icon::Warning);
    return false;
}

void frmScreen::enterFullScreen(QWidget* mainWindow, TxtCode* txtCode) {
    frmScreen screen(mainWindow, txtCode);
    screen.takeDocument();
    screen.exec();
}
