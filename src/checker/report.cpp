// SPDX-License-Identifier: GPL-3.0-or-later
#include "checker/report.h"

namespace checker {

int Report::add(RuleId rule, qsizetype offset, qsizetype length, const QString& message,
                qsizetype related) {
    const Rule& r = rules()[size_t(rule)];
    Finding f;
    f.severity = r.severity;
    f.rule = r.id;
    f.message = message;
    f.offset = offset;
    f.length = length;
    f.relatedOffset = related;
    m_findings.push_back(std::move(f));
    return int(m_findings.size()) - 1;
}

} // namespace checker
