// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVector>
#include <QWidget>
#include <vector>

class QTextBlock;
class ScreenBox;

// The line numbers of the full-screen box, in a margin at its left.
//
// The box does not hold one line of the document per block: lines are grouped into blocks
// joined by line separators, and a long line is cut into several blocks, each after the
// first marked as continuing it. A number therefore stands beside each layout line that
// starts a line of the document, whatever block it is in; a wrapped or continued line has
// one number. The count of lines starting in each block is kept and updated for the
// blocks an edit touches, so painting costs the lines in view, not the document.
class ScreenNumbers : public QWidget {
    Q_OBJECT
public:
    explicit ScreenNumbers(ScreenBox* box);

    // A number in view and where it stands: the top of its layout line, in the margin.
    struct Shown {
        int number = 0;
        int y = 0;
        bool operator==(const Shown& o) const { return number == o.number && y == o.y; }
    };
    // The numbers the margin shows now, top to bottom.
    QVector<Shown> shownNumbers();
    // The number of lines of the box's document.
    int lineCount();
    // The margin's width: the digits of the line count and half a digit either side.
    int marginWidth();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Walks the lines in view: for each layout line that starts a line of the document,
    // its number and its top in the margin's coordinates.
    template <class Visit> void forEachShown(int bottom, Visit visit);
    void contentsChange(int position, int removed, int added);
    // Lines of the document that start in a block.
    int linesStartingIn(const QTextBlock& block) const;
    // Lines of the document that start before a block.
    int linesBefore(int blockNumber);
    void recount();
    void fit();

    ScreenBox* box_;
    std::vector<int> perBlock_; // lines starting in each block
    std::vector<int> before_;   // running sums of perBlock_, valid for the first beforeValid_
    size_t beforeValid_ = 0;
    int total_ = 0;
    bool stale_ = true; // perBlock_ is to be counted again from the whole document
    int width_ = 0;
};
