// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/generatorfragments.h"

#include "dialogs/hexcolor.h"

#include <algorithm>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

namespace fragments {

QString tableWidthAttribute(bool addWidth, const QString& width, bool inPercent) {
    if (!addWidth)
        return QString();
    return QStringLiteral(" width='") + width +
           (inPercent ? QStringLiteral("%'") : QStringLiteral("'"));
}

qint64 tableCellCount(qint32 rows, qint32 columns) {
    return std::max<qint64>(rows, 0) * std::max<qint64>(columns, 1);
}

QString table(const TableLayout& layout, qint32 rows, qint32 columns,
              const QString& widthAttribute) {
    const QString row = QStringLiteral("<tr>") + kCrLf +
                        (QStringLiteral("<td>&nbsp;</td>") + kCrLf).repeated(std::max(columns, 1)) +
                        QStringLiteral("</tr>") + kCrLf;
    QString text = QStringLiteral("<table Align='") + layout.alignment + QLatin1Char('\'') +
                   widthAttribute + QStringLiteral(" Border='") + layout.border +
                   QStringLiteral("' cellpadding='") + layout.padding +
                   QStringLiteral("' cellspacing='") + layout.spacing + QStringLiteral("'>") +
                   kCrLf;
    text += row.repeated(std::max(rows, 0));
    text += QStringLiteral("</table>") + kCrLf;
    return text;
}

QString list(bool ordered, qint32 items) {
    const QString tag = ordered ? QStringLiteral("ol") : QStringLiteral("ul");
    return QLatin1Char('<') + tag + QLatin1Char('>') + kCrLf +
           (QStringLiteral("<li>&nbsp;</li>") + kCrLf).repeated(std::max(items, 0)) +
           QStringLiteral("</") + tag + QLatin1Char('>') + kCrLf;
}

QString colors(const BodyColors& c) {
    QString text = c.useImage ? QStringLiteral("<body background='") + c.imagePath
                              : QStringLiteral("<body bgcolor='") + HexColor(c.background);
    text += QStringLiteral("' text='") + HexColor(c.text) + QStringLiteral("' link='") +
            HexColor(c.link) + QStringLiteral("' alink='") + HexColor(c.activeLink) +
            QStringLiteral("' vlink='") + HexColor(c.visitedLink) + QStringLiteral("'>");
    return text;
}

int choiceOfThree(bool firstSelected, bool thirdSelected) {
    if (firstSelected)
        return 0;
    return thirdSelected ? 2 : 1;
}

QString marquee(const MarqueeFields& f) {
    return QStringLiteral("<marquee align='") + f.align + QStringLiteral("' behavior='") +
           f.behavior + QStringLiteral("' bgcolor='") + HexColor(f.background) +
           QStringLiteral("' direction='") + f.direction + QStringLiteral("' scrollamount='") +
           f.amount + QStringLiteral("' scrolldelay='") + f.delay + QStringLiteral("'>") + f.text +
           QStringLiteral("</marquee>");
}

QString iframe(const IframeFields& f) {
    const QString style = f.removeBorder ? QStringLiteral(" style='border:none;' ") : QString();
    return QStringLiteral("<iframe src='") + f.url + QStringLiteral("' height='") + f.height +
           QStringLiteral("' width='") + f.width + QStringLiteral("' title='") + f.title +
           QLatin1Char('\'') + style + QLatin1Char('>');
}

} // namespace fragments
