// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/problemsmodel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

ProblemsModel::ProblemsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProblemsModel::setFindings(std::vector<checker::Finding> findings) {
    beginResetModel();
    problems_.clear();
    problems_.reserve(findings.size());
    maxLength_ = 0;
    for (checker::Finding& f : findings) {
        Problem p;
        p.severity = f.severity;
        p.rule = f.rule;
        p.message = std::move(f.message);
        p.offset = f.offset;
        p.length = qMax<qsizetype>(0, f.length);
        maxLength_ = qMax(maxLength_, p.length);
        problems_.push_back(std::move(p));
    }
    // The checker sorts by place; a stable sort keeps its order among equal places.
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const Problem& a, const Problem& b) { return a.offset < b.offset; });
    endResetModel();
}

QString ProblemsModel::plainTooltip(const QStringList& lines) {
    QStringList escaped;
    for (const QString& line : lines)
        escaped << line.toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>%1</p>")
        .arg(escaped.join(QStringLiteral("<br>")));
}

void ProblemsModel::clear() {
    if (problems_.empty())
        return;
    beginResetModel();
    problems_.clear();
    maxLength_ = 0;
    endResetModel();
}

size_t ProblemsModel::firstReaching(qsizetype pos) const {
    // Rows are sorted by offset and none is longer than maxLength_.
    const qsizetype from = pos - maxLength_;
    return size_t(std::lower_bound(problems_.begin(), problems_.end(), from,
                                   [](const Problem& p, qsizetype o) { return p.offset < o; }) -
                  problems_.begin());
}

bool ProblemsModel::textEdited(qsizetype pos, qsizetype removed, qsizetype inserted) {
    if (problems_.empty() || (removed <= 0 && inserted <= 0))
        return false;
    // Nothing after the edit, nothing around it: no place changes.
    if (problems_.back().offset + maxLength_ < pos)
        return false;
    if (removed > 0)
        deleted(pos, removed);
    if (inserted > 0)
        this->inserted(pos, inserted);
    return true;
}

void ProblemsModel::deleted(qsizetype pos, qsizetype count) {
    const qsizetype stop = pos + count;
    std::vector<int> gone;
    for (size_t i = firstReaching(pos); i < problems_.size(); ++i) {
        Problem& p = problems_[i];
        if (p.offset >= stop) {
            p.offset -= count;
            continue;
        }
        const qsizetype end = p.end();
        if (p.length > 0 ? end <= pos : p.offset <= pos)
            continue; // wholly before the removed stretch
        const qsizetype newEnd = end <= pos ? end : (end >= stop ? end - count : pos);
        const qsizetype newOffset = qMin(p.offset, pos);
        // A construct removed whole takes its finding with it.
        if (p.length > 0 && newEnd <= newOffset) {
            gone.push_back(int(i));
            continue;
        }
        p.offset = newOffset;
        p.length = newEnd - newOffset;
    }
    // Removed from the back, in runs of neighbouring rows.
    for (size_t k = gone.size(); k > 0;) {
        const int last = gone[--k];
        int first = last;
        while (k > 0 && gone[k - 1] == first - 1)
            first = gone[--k];
        beginRemoveRows(QModelIndex(), first, last);
        problems_.erase(problems_.begin() + first, problems_.begin() + last + 1);
        endRemoveRows();
    }
}

void ProblemsModel::inserted(qsizetype pos, qsizetype count) {
    for (size_t i = firstReaching(pos); i < problems_.size(); ++i) {
        Problem& p = problems_[i];
        if (p.offset >= pos) {
            p.offset += count; // text put in front of the construct
        } else if (p.end() > pos) {
            p.length += count; // into the construct
            maxLength_ = qMax(maxLength_, p.length);
        }
    }
}

std::pair<int, int> ProblemsModel::rowsNear(qsizetype from, qsizetype to) const {
    const size_t first = firstReaching(from);
    const auto last = std::lower_bound(problems_.begin() + qsizetype(first), problems_.end(), to,
                                       [](const Problem& p, qsizetype o) { return p.offset < o; });
    return {int(first), int(last - problems_.begin())};
}

QStringList ProblemsModel::messagesAt(qsizetype pos) const {
    QStringList out;
    const auto [first, last] = rowsNear(pos, pos + 1);
    for (int i = first; i < last; ++i) {
        const Problem& p = problems_[size_t(i)];
        const bool holds = p.length > 0 ? (p.offset <= pos && pos < p.end()) : p.offset == pos;
        if (holds)
            out << p.message;
    }
    return out;
}

int ProblemsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

int ProblemsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {
QColor severityColor(checker::Severity s) {
    switch (s) {
    case checker::Severity::Error:
        return QColor(0xc0, 0x10, 0x10);
    case checker::Severity::Warning:
        return QColor(0xa0, 0x60, 0x00);
    default:
        return QColor(0x10, 0x50, 0xb0);
    }
}
} // namespace

QVariant ProblemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size())
        return QVariant();
    const Problem& p = at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case PlaceColumn: {
            const auto [line, column] =
                placeOf_ ? placeOf_(p.offset) : std::pair<qsizetype, qsizetype>(1, p.offset + 1);
            return QStringLiteral("%1:%2").arg(line).arg(column);
        }
        case SeverityColumn:
            return QString::fromLatin1(checker::severityName(p.severity));
        case MessageColumn:
            return p.message;
        }
        break;
    case Qt::ToolTipRole:
        return plainTooltip(
            {QStringLiteral("%1 [%2]").arg(p.message, QString::fromLatin1(p.rule))});
    case Qt::ForegroundRole:
        if (index.column() == SeverityColumn)
            return QBrush(severityColor(p.severity));
        break;
    default:
        break;
    }
    return QVariant();
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case PlaceColumn:
        return QStringLiteral("Place");
    case SeverityColumn:
        return QStringLiteral("Severity");
    case MessageColumn:
        return QStringLiteral("Message");
    }
    return QVariant();
}
