// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/squiggles.h"

#include <QEvent>
#include <QToolTip>
#include <algorithm>

#include "app/problemsmodel.h"
#include "editor/txtcode.h"

namespace {

using Sci = QsciScintillaBase;

// A stretch of the screen's lines longer than this (a line of megabytes) is narrowed to
// the part around what the view shows.
constexpr qint64 kWidestWindow = 4 << 20;
constexpr qint64 kReachOnLongLine = 1 << 20;

struct Look {
    int indicator;
    long bgr; // the squiggle's colour, blue-green-red
};
const Look kLooks[] = {
    {Squiggles::kError, 0x1010e0}, {Squiggles::kWarning, 0x0090e8}, {Squiggles::kInfo, 0xe07010}};

} // namespace

int Squiggles::indicatorFor(checker::Severity severity) {
    switch (severity) {
    case checker::Severity::Error:
        return kError;
    case checker::Severity::Warning:
        return kWarning;
    default:
        return kInfo;
    }
}

Squiggles::Squiggles(TxtCode* editor, const ProblemsModel* model, QObject* parent)
    : QObject(parent), editor_(editor), model_(model) {
    for (const Look& look : kLooks) {
        editor_->SendScintilla(Sci::SCI_INDICSETSTYLE, (unsigned long)look.indicator,
                               (long)Sci::INDIC_SQUIGGLEPIXMAP);
        editor_->SendScintilla(Sci::SCI_INDICSETFORE, (unsigned long)look.indicator, look.bgr);
    }
}

Squiggles::~Squiggles() {
    for (const auto& c : watching_)
        disconnect(c);
    if (editor_)
        editor_->viewport()->removeEventFilter(this);
}

void Squiggles::setActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    if (active) {
        watching_ << connect(editor_, &QsciScintillaBase::SCN_UPDATEUI, this,
                             [this](int) { syncVisible(); })
                  << connect(editor_, &QsciScintillaBase::SCN_DWELLSTART, this,
                             &Squiggles::dwellStart)
                  << connect(editor_, &QsciScintillaBase::SCN_DWELLEND, this,
                             [](int, int, int) { QToolTip::hideText(); });
        editor_->viewport()->installEventFilter(this);
        editor_->SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, (unsigned long)kDwellMs);
        syncVisible();
        return;
    }
    for (const auto& c : watching_)
        disconnect(c);
    watching_.clear();
    editor_->viewport()->removeEventFilter(this);
    editor_->SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, (unsigned long)Sci::SC_TIME_FOREVER);
    clearAll();
}

void Squiggles::clearAll() {
    const long length = editor_->SendScintilla(Sci::SCI_GETLENGTH);
    for (const Look& look : kLooks) {
        editor_->SendScintilla(Sci::SCI_SETINDICATORCURRENT, (unsigned long)look.indicator);
        editor_->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, length);
    }
}

void Squiggles::repaint() {
    if (!active_)
        return;
    clearAll();
    syncVisible();
}

void Squiggles::syncVisible() {
    if (!active_)
        return;
    // The lines on screen, and as many before and after them (a resize or a short scroll
    // shows them without waiting for this to run again).
    const long lines = editor_->SendScintilla(Sci::SCI_GETLINECOUNT);
    const long top = editor_->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long shown = qMax(1L, long(editor_->SendScintilla(Sci::SCI_LINESONSCREEN)));
    const long firstLine =
        editor_->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, (unsigned long)qMax(0L, top - shown));
    const long lastLine =
        editor_->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, (unsigned long)(top + 2 * shown));
    const qint64 length = editor_->SendScintilla(Sci::SCI_GETLENGTH);
    qint64 from = editor_->SendScintilla(Sci::SCI_POSITIONFROMLINE, (unsigned long)firstLine);
    qint64 to = lastLine + 1 < lines ? qint64(editor_->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                                                     (unsigned long)(lastLine + 1)))
                                     : length;
    if (to - from > kWidestWindow) {
        const QSize size = editor_->viewport()->size();
        const qint64 left = editor_->SendScintilla(Sci::SCI_POSITIONFROMPOINT, 0UL, 0L);
        const qint64 right = editor_->SendScintilla(
            Sci::SCI_POSITIONFROMPOINT, (unsigned long)size.width(), long(size.height()));
        from = qMax(from, qMin(left, right) - kReachOnLongLine);
        to = qMin(to, qMax(left, right) + kReachOnLongLine);
    }
    const int unitFrom = editor_->toCharPos(from);
    const int unitTo = editor_->toCharPos(to);
    // Back to bytes from the units: the window's ends fall on characters.
    from = editor_->toBytePos(unitFrom);
    to = editor_->toBytePos(unitTo);

    // The stretches each indicator should have in the window.
    std::vector<std::pair<qint64, qint64>> wanted[3];
    const auto [first, last] = model_->rowsNear(unitFrom, unitTo);
    for (int row = first; row < last; ++row) {
        const Problem& p = model_->at(row);
        if (p.length == 0 || p.end() <= unitFrom || p.offset >= unitTo)
            continue;
        const qint64 a = editor_->toBytePos(int(p.offset));
        const qint64 b = editor_->toBytePos(int(p.end()));
        if (b > a)
            wanted[indicatorFor(p.severity) - kError].push_back({a, b});
    }
    for (const Look& look : kLooks) {
        auto& stretches = wanted[look.indicator - kError];
        std::sort(stretches.begin(), stretches.end());
        editor_->SendScintilla(Sci::SCI_SETINDICATORCURRENT, (unsigned long)look.indicator);
        // Filling what is already filled and clearing what is clear change nothing (and
        // repaint nothing).
        qint64 clearFrom = from;
        for (const auto& [a, b] : stretches) {
            if (a > clearFrom)
                editor_->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, (unsigned long)clearFrom,
                                       long(qMin(a, to) - clearFrom));
            if (b > clearFrom) {
                const qint64 start = qMax(a, clearFrom);
                editor_->SendScintilla(Sci::SCI_INDICATORFILLRANGE, (unsigned long)start,
                                       long(b - start));
                clearFrom = b;
            }
        }
        if (clearFrom < to)
            editor_->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, (unsigned long)clearFrom,
                                   long(to - clearFrom));
    }
}

std::vector<std::pair<int, int>> Squiggles::ranges(int indicator) const {
    std::vector<std::pair<int, int>> out;
    const long length = editor_->SendScintilla(Sci::SCI_GETLENGTH);
    long pos = 0;
    while (pos < length) {
        const long end =
            editor_->SendScintilla(Sci::SCI_INDICATOREND, (unsigned long)indicator, pos);
        const bool on =
            editor_->SendScintilla(Sci::SCI_INDICATORVALUEAT, (unsigned long)indicator, pos) != 0;
        const long stop = end > pos ? end : length;
        if (on)
            out.push_back({editor_->toCharPos(pos), editor_->toCharPos(stop)});
        pos = stop;
    }
    return out;
}

QString Squiggles::tooltipAt(int pos) const {
    return model_->messagesAt(pos).join(QLatin1Char('\n'));
}

void Squiggles::dwellStart(int position, int x, int y) {
    // The character under the mouse (the dwell's own position is the nearest caret place).
    long at =
        editor_->SendScintilla(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, (unsigned long)x, long(y));
    if (at < 0)
        at = position;
    if (at < 0)
        return;
    const QString text = tooltipAt(editor_->toCharPos(at));
    if (text.isEmpty())
        return;
    QWidget* view = editor_->viewport();
    QToolTip::showText(view->mapToGlobal(QPoint(x, y)),
                       ProblemsModel::plainTooltip(text.split(QLatin1Char('\n'))), view);
}

bool Squiggles::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        syncVisible();
    return QObject::eventFilter(watched, event);
}
