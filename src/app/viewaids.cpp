// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/viewaids.h"

#include <QAction>
#include <QColor>
#include <QKeySequence>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <memory>

#include "editor/txtcode.h"

const char* const ViewAids::kLineNumbersKey = "View/LineNumbers";
const char* const ViewAids::kWordWrapKey = "View/WordWrap";
const char* const ViewAids::kZoomKey = "View/Zoom";

namespace {

// The margin that holds the line numbers.
constexpr int kNumberMargin = 0;

// How long after word wrap is switched the caret is kept in view as the view settles.
constexpr int kFollowCaretMs = 1000;

QString key(const char* name) {
    return QString::fromLatin1(name);
}

} // namespace

ViewAids::ViewAids(const MenuActions& menus, TxtCode* editor, QObject* parent)
    : QObject(parent), editor_(editor), lineNumbers_(menus.mnuLineNumbers),
      wordWrap_(menus.mnuWordWrap) {
    using Sci = QsciScintillaBase;
    // The numbers in grey on the window's face, in the editor's own font; the margin never
    // takes a click for itself (a click there selects lines, as the editor does).
    editor_->setMarginLineNumbers(kNumberMargin, true);
    editor_->setMarginsFont(editor_->Font());
    editor_->setMarginsForegroundColor(QColor(0x80, 0x80, 0x80));
    editor_->setMarginsBackgroundColor(QColor(0xF0, 0xF0, 0xF0));

    // The editor shows no annotations. Left visible (QsciScintilla's default), Scintilla
    // lays out the line of every edit once more to fit them, on a wrapped long line a
    // second layout of the whole line for each key.
    editor_->SendScintilla(Sci::SCI_ANNOTATIONSETVISIBLE, (unsigned long)Sci::ANNOTATION_HIDDEN);

    lineNumbers_->setCheckable(true);
    wordWrap_->setCheckable(true);
    // Ctrl+= is Ctrl++ without the Shift that "+" needs on most keyboards.
    menus.mnuZoomIn->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))});

    // The settings of the last run, before anything is connected: restoring them is not a
    // change to write back.
    QSettings settings;
    restoring_ = true;
    setLineNumbers(settings.value(key(kLineNumbersKey), true).toBool());
    setWordWrap(settings.value(key(kWordWrapKey), false).toBool());
    editor_->zoomTo(settings.value(key(kZoomKey), 0).toInt());
    restoring_ = false;
    fitMargin(true);

    connect(lineNumbers_, &QAction::toggled, this, &ViewAids::setLineNumbers);
    connect(wordWrap_, &QAction::toggled, this, &ViewAids::setWordWrap);
    connect(menus.mnuZoomIn, &QAction::triggered, this, &ViewAids::zoomIn);
    connect(menus.mnuZoomOut, &QAction::triggered, this, &ViewAids::zoomOut);
    connect(menus.mnuZoomReset, &QAction::triggered, this, &ViewAids::zoomReset);
    // Every zoom passes here: the menu, the editor's own Ctrl++ and Ctrl+-, Ctrl+wheel.
    connect(editor_, &Sci::SCN_ZOOM, this, &ViewAids::zoomChanged);
    // The line count is Scintilla's own figure: reading it costs nothing, and the margin
    // changes only when the count gains or loses a digit.
    connect(editor_, &QsciScintilla::linesChanged, this, [this] { fitMargin(); });
}

bool ViewAids::showsLineNumbers(const QsciScintilla* editor) {
    return editor->marginType(kNumberMargin) == QsciScintilla::NumberMargin &&
           editor->marginWidth(kNumberMargin) > 0;
}

int ViewAids::digitsFor(int lineCount) {
    int digits = 1;
    for (int n = lineCount; n >= 10; n /= 10)
        ++digits;
    return digits;
}

void ViewAids::setLineNumbers(bool on) {
    if (lineNumbers_->isChecked() != on)
        lineNumbers_->setChecked(on); // comes back here through toggled
    fitMargin(true);
    if (!restoring_)
        QSettings().setValue(key(kLineNumbersKey), on);
}

void ViewAids::fitMargin(bool force) {
    using Sci = QsciScintillaBase;
    if (!lineNumbers_->isChecked()) {
        marginDigits_ = 0;
        editor_->setMarginWidth(kNumberMargin, 0);
        return;
    }
    const int digits = digitsFor(int(editor_->SendScintilla(Sci::SCI_GETLINECOUNT)));
    if (digits == marginDigits_ && !force)
        return;
    marginDigits_ = digits;
    // Room for the digits and half a digit on either side, in the margin's font as zoomed.
    const QByteArray nines(digits + 1, '9');
    const long width = editor_->SendScintilla(
        Sci::SCI_TEXTWIDTH, (unsigned long)Sci::STYLE_LINENUMBER, nines.constData());
    editor_->setMarginWidth(kNumberMargin, int(width));
}

void ViewAids::setWordWrap(bool on) {
    using Sci = QsciScintillaBase;
    if (wordWrap_->isChecked() != on)
        wordWrap_->setChecked(on);
    const long mode = on ? Sci::SC_WRAP_WORD : Sci::SC_WRAP_NONE;
    if (editor_->SendScintilla(Sci::SCI_GETWRAPMODE) != mode) {
        // The line at the top stays at the top. Scintilla wraps the lines in view at once
        // and the others a slice at a time while the window is idle, keeping the top line
        // where it is as lines above it change their height; the editor's layout cache
        // stays as it is (QsciScintilla::setWrapMode would cache every line's layout).
        const long top = editor_->SendScintilla(
            Sci::SCI_DOCLINEFROMVISIBLE, editor_->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
        const long caretLine = editor_->SendScintilla(
            Sci::SCI_LINEFROMPOSITION, editor_->SendScintilla(Sci::SCI_GETCURRENTPOS));
        const long onScreen = editor_->SendScintilla(Sci::SCI_LINESONSCREEN);
        const bool caretInView = caretLine >= top && caretLine < top + qMax(1L, onScreen);
        editor_->SendScintilla(Sci::SCI_SETWRAPMODE, (unsigned long)mode);
        // Until the editor is laid out again every line is one line high (wrap newly on),
        // or heights are cleared at the next layout (wrap off): either way the top line's
        // number is its place.
        editor_->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, (unsigned long)top);
        if (caretInView)
            followCaret();
    }
    if (!restoring_)
        QSettings().setValue(key(kWordWrapKey), on);
}

void ViewAids::followCaret() {
    using Sci = QsciScintillaBase;
    // Once the lines in view are laid out at their new heights, the caret is brought back
    // into view if they pushed it out. The view's width may still change then (the scroll
    // bars come or go with the wrap), and the caret's line, wrapped again at that width, may
    // push the caret out once more: for a moment, after each paint the caret is brought back
    // while out of view, until the user scrolls or the moment is over. The connections live
    // as long as `follow`.
    delete follow_;
    follow_ = new QObject(this);
    QObject* const follow = follow_;
    auto first = std::make_shared<bool>(true);
    connect(editor_, &Sci::SCN_PAINTED, follow, [this, first] {
        const long caret = editor_->SendScintilla(Sci::SCI_GETCURRENTPOS);
        const long y = editor_->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, caret);
        const long height = editor_->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL);
        if (*first || y < 0 || y + height > editor_->viewport()->height())
            editor_->SendScintilla(Sci::SCI_SCROLLCARET);
        *first = false;
    });
    // At once: a paint may come before a later deletion would.
    connect(editor_->verticalScrollBar(), &QAbstractSlider::actionTriggered, follow,
            [this] { delete follow_; });
    QTimer::singleShot(kFollowCaretMs, follow, [follow] { follow->deleteLater(); });
}

int ViewAids::zoom() const {
    return int(editor_->SendScintilla(QsciScintillaBase::SCI_GETZOOM));
}

void ViewAids::zoomIn() {
    editor_->SendScintilla(QsciScintillaBase::SCI_ZOOMIN);
}

void ViewAids::zoomOut() {
    editor_->SendScintilla(QsciScintillaBase::SCI_ZOOMOUT);
}

void ViewAids::zoomReset() {
    editor_->zoomTo(0);
}

void ViewAids::zoomChanged() {
    // The margin's numbers are zoomed with the text: its width follows.
    fitMargin(true);
    if (!restoring_)
        QSettings().setValue(key(kZoomKey), zoom());
}
