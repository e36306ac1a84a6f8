// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// The report of a validation run, shared by the validator window and the command line.
namespace validator {

// The report of a finished run whose checks found `findings` (their findings in run
// order, each followed by CR LF CR LF; empty when they found nothing): the findings, or
// "No Errors Detected!" when there are none.
QString finishedReport(const QString& findings);

// The report of a run of the fifteen checks over `text`, as the validator window shows it
// at the end of a run over the same text.
QString validationReport(QStringView text);

} // namespace validator
