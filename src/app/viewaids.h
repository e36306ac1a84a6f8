// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include "shell/menuactions.h"

class QsciScintilla;
class TxtCode;

// The View menu's aids to reading the editor: line numbers in a margin, word wrap and
// zoom. Each is a property of the view only: the text, its formats and TextRTF stay as
// they are. Each setting is remembered (QSettings) and read again at the next start.
//
// Line numbers are on by default; word wrap is off and the zoom is the editor's own size.
class ViewAids : public QObject {
    Q_OBJECT
public:
    // The keys under which the settings are kept.
    static const char* const kLineNumbersKey;
    static const char* const kWordWrapKey;
    static const char* const kZoomKey;

    ViewAids(const MenuActions& menus, TxtCode* editor, QObject* parent = nullptr);

    // Whether an editor shows its line-number margin; the full-screen window follows it.
    static bool showsLineNumbers(const QsciScintilla* editor);
    // Digits the margin has room for: those of the line count, at least one.
    static int digitsFor(int lineCount);

    void setLineNumbers(bool on);
    void setWordWrap(bool on);
    // The zoom in points added to every font of the editor, within the editor's limits.
    int zoom() const;
    void zoomIn();
    void zoomOut();
    void zoomReset();

private:
    // Gives the margin the width of the line count's digits; nothing when that width holds.
    void fitMargin(bool force = false);
    void zoomChanged();
    // Keeps the caret in view while the view settles after word wrap is switched.
    void followCaret();

    TxtCode* editor_;
    QAction* lineNumbers_;
    QAction* wordWrap_;
    int marginDigits_ = 0;
    QPointer<QObject> follow_; // lives while followCaret keeps the caret in view
    bool restoring_ = false;
};
