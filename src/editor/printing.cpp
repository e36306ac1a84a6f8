// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/printing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <memory>

namespace printing {

namespace {

std::unique_ptr<QPrinter>& printerSlot() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

// The lines of the text: CR LF, a lone CR and a lone LF each end a line.
QStringList splitLines(const QString& text) {
    QStringList lines;
    const int n = text.size();
    int begin = 0;
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(begin, i - begin);
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        begin = i + 1;
    }
    // The print item ends with a line end of its own, so a final line break adds nothing.
    if (begin < n)
        lines << text.mid(begin);
    return lines;
}

bool printerAvailable(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return printer.isValid() && !printer.printerName().isEmpty();
}

} // namespace

QPrinter& currentPrinter() {
    auto& p = printerSlot();
    if (!p)
        p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *p;
}

void printToPdfFile(const QString& pdfPath) {
    auto& p = printerSlot();
    p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath.isEmpty()) {
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(pdfPath);
    }
}

Outcome printText(QPrinter& printer, const QString& text, const QFont& font, QString* error) {
    auto fail = [error](Outcome o, const QString& why) {
        if (error)
            *error = why;
        return o;
    };
    if (!printerAvailable(printer))
        return fail(Outcome::NoPrinter, QStringLiteral("No printer is available."));

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(Outcome::Failed, QStringLiteral("The printer could not start the job."));

    QFont printFont(font.family());
    printFont.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() : 9.75);
    painter.setFont(printFont);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(printFont, &printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal width = page.width();
    const qreal height = page.height();
    const qreal lineSpacing = metrics.lineSpacing();

    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(8 * metrics.horizontalAdvance(QLatin1Char(' ')));

    qreal y = 0;
    bool ok = true;
    auto advance = [&](qreal lineHeight) {
        // A line that does not fit below the last one goes to a new page (a page always
        // takes at least one line, however tall).
        if (y > 0 && y + lineHeight > height) {
            if (!printer.newPage()) {
                ok = false;
                return false;
            }
            y = 0;
        }
        return true;
    };

    const QStringList lines = splitLines(text);
    for (const QString& line : lines) {
        if (line.isEmpty()) {
            if (!advance(lineSpacing))
                break;
            y += lineSpacing;
            continue;
        }
        QTextLayout layout(line, printFont, &printer);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine tl = layout.createLine(); tl.isValid(); tl = layout.createLine()) {
            tl.setLineWidth(width);
            tl.setPosition(QPointF(0, 0));
        }
        layout.endLayout();
        for (int i = 0; ok && i < layout.lineCount(); ++i) {
            QTextLine tl = layout.lineAt(i);
            const qreal h = qMax(tl.height(), lineSpacing);
            if (!advance(h))
                break;
            tl.draw(&painter, QPointF(0, y));
            y += h;
        }
        if (!ok)
            break;
    }

    const bool ended = painter.end();
    if (!ok || !ended || printer.printerState() == QPrinter::Error)
        return fail(Outcome::Failed, QStringLiteral("The print job failed."));
    return Outcome::Printed;
}

} // namespace printing
