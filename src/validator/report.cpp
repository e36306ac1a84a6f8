// SPDX-License-Identifier: GPL-3.0-or-later
#include "validator/report.h"

#include "validator/checks.h"

namespace validator {

QString finishedReport(const QString& findings) {
    return findings.isEmpty() ? QStringLiteral("No Errors Detected!") : findings;
}

QString validationReport(QStringView text) {
    return finishedReport(runAllChecks(text));
}

} // namespace validator
