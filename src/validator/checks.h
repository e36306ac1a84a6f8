// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <functional>

// The fifteen counting checks of a validation run, as plain functions of a text.
//
// Every check scans the text position by position (positions 1..N): at each position it
// tests its patterns case-insensitively against the characters starting there, so that
// overlapping occurrences all count and a pattern running past the end never matches.
// A check returns its findings, each followed by CR LF CR LF, in the check's report order;
// an empty result means it found nothing.
namespace validator {

// Progress of a scan: called with the scan's maximum (N) and the last position scanned.
// The first call gives value 0, the last gives the maximum; in between at most a few
// hundred calls, with increasing values.
using Progress = std::function<void(qsizetype maximum, qsizetype value)>;

using CheckFn = QString (*)(QStringView text, const Progress& progress);

// Balance of "<" and ">".
QString cTag(QStringView text, const Progress& progress = {});
// One opening and one closing tag of html, head, title and body.
QString cHTML(QStringView text, const Progress& progress = {});
QString cHEAD(QStringView text, const Progress& progress = {});
QString cTITLE(QStringView text, const Progress& progress = {});
QString cBODY(QStringView text, const Progress& progress = {});
// Opening against closing tags of the elements whose names have 1..8 and 10 letters.
QString cOne(QStringView text, const Progress& progress = {});
QString cTwo(QStringView text, const Progress& progress = {});
QString cThree(QStringView text, const Progress& progress = {});
QString cFour(QStringView text, const Progress& progress = {});
QString cFive(QStringView text, const Progress& progress = {});
QString cSix(QStringView text, const Progress& progress = {});
QString cSeven(QStringView text, const Progress& progress = {});
QString cEight(QStringView text, const Progress& progress = {});
QString cTen(QStringView text, const Progress& progress = {});
// Comment openers "<!--" against closers "-->".
QString cCom(QStringView text, const Progress& progress = {});

// One check of a run: the window caption shown while it runs, and the check.
struct CheckStep {
    const char* caption;
    CheckFn check;
};

// The fifteen checks in the order a run calls them.
const std::array<CheckStep, 15>& validationChecks();

// All fifteen checks over `text`, their findings concatenated in run order.
QString runAllChecks(QStringView text);

} // namespace validator
