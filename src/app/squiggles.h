// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <utility>
#include <vector>

#include "checker/checker.h"

class ProblemsModel;
class TxtCode;

// Underlines the constructs of the Problems pane's findings in the editor with squiggles
// (Scintilla indicators, one per severity) and shows a finding's message when the mouse
// rests on its construct.
//
// Only the part of the text on screen (and a screen's worth around it) is painted: each
// update of the view brings the squiggles there in line with the findings, changing
// nothing when they already are, so typing costs no more with thousands of findings.
// Squiggles elsewhere move with their text until they are painted again. Indicators
// change neither the text nor its formats, its undo history or its modified flag.
class Squiggles : public QObject {
    Q_OBJECT
public:
    // The editor's indicators for errors, warnings and notes.
    static constexpr int kError = 20;
    static constexpr int kWarning = 21;
    static constexpr int kInfo = 22;
    static int indicatorFor(checker::Severity severity);

    // How long the mouse must rest before the message shows.
    static constexpr int kDwellMs = 500;

    Squiggles(TxtCode* editor, const ProblemsModel* model, QObject* parent = nullptr);
    ~Squiggles() override;

    // Starts or stops following the findings; stopping removes every squiggle.
    void setActive(bool active);
    bool active() const { return active_; }
    // Paints the findings anew (a check's result came): every old squiggle goes.
    void repaint();
    // Brings the squiggles on screen in line with the findings.
    void syncVisible();

    // The stretches of an indicator, as UTF-16 positions [start, end) of the text.
    std::vector<std::pair<int, int>> ranges(int indicator) const;
    // What the tooltip at a UTF-16 position says, one message a line ("" where no finding
    // is); shown as plain text.
    QString tooltipAt(int pos) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clearAll();
    void dwellStart(int position, int x, int y);

    TxtCode* editor_;
    const ProblemsModel* model_;
    bool active_ = false;
    QList<QMetaObject::Connection> watching_;
};
