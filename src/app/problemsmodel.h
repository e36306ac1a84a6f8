// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "checker/checker.h"

// One finding of the checker as the Problems pane and the squiggles show it. Its place
// follows the edits made since the text was checked.
struct Problem {
    checker::Severity severity = checker::Severity::Error;
    const char* rule = "";
    QString message;
    qsizetype offset = 0; // UTF-16 offset into the current text
    qsizetype length = 0;
    qsizetype end() const { return offset + length; }
};

// The findings of the current document, sorted by place, as a table: the place
// ("LINE:COLUMN"), the severity and the message. Thousands of rows cost nothing until they
// are shown: a view asks only for the rows it paints. The place is read from the text as
// it is (placeOf) whenever a row is painted, so it follows the edits; a view repainted
// after an edit shows the new places.
class ProblemsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PlaceColumn, SeverityColumn, MessageColumn, ColumnCount };

    // The 1-based line and column of a UTF-16 offset of the current text.
    using PlaceOf = std::function<std::pair<qsizetype, qsizetype>(qsizetype offset)>;

    explicit ProblemsModel(QObject* parent = nullptr);

    // Where the place column reads its line and column; without it, an offset is counted
    // as line 1 (tests of the mapping alone).
    void setPlaceOf(PlaceOf placeOf) { placeOf_ = std::move(placeOf); }

    // Shows the findings of a check of the current text (sorted by place, as the checker
    // gives them).
    void setFindings(std::vector<checker::Finding> findings);
    void clear();

    int size() const { return int(problems_.size()); }
    const Problem& at(int row) const { return problems_[size_t(row)]; }
    const std::vector<Problem>& problems() const { return problems_; }

    // A tooltip that shows these lines as they are: messages quote markup ("<img> has no
    // alt attribute"), which a tooltip would otherwise take for rich text.
    static QString plainTooltip(const QStringList& lines);

    // Follows an edit of the text: `removed` units at `pos` replaced by `inserted` units.
    // A finding after the edit moves with its text; one around it grows or shrinks; one
    // whose whole construct was removed goes. Returns true when a place changed.
    bool textEdited(qsizetype pos, qsizetype removed, qsizetype inserted);

    // The rows whose construct may touch [from, to): a finding of those rows overlaps the
    // stretch when its own range does (callers check); no row outside them does.
    std::pair<int, int> rowsNear(qsizetype from, qsizetype to) const;
    // The messages of the findings whose construct holds the offset, in order.
    QStringList messagesAt(qsizetype pos) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void deleted(qsizetype pos, qsizetype count);
    void inserted(qsizetype pos, qsizetype count);
    // The first row whose finding may reach `pos` or beyond.
    size_t firstReaching(qsizetype pos) const;

    std::vector<Problem> problems_;
    // No finding is longer: rows far enough before a place cannot reach it.
    qsizetype maxLength_ = 0;
    PlaceOf placeOf_;
};
