// SPDX-License-Identifier: GPL-3.0-or-later
#include "checker/report.h"

namespace checker {

int Report::add(RuleId rule, qsizetype offset, qsizetype length, const QString& message,
                qsizetype related) {
    if (m_full)
        return -1;
    if (int(m_findings.size()) >= m_limit) {
        m_full = true;
        Finding f;
        const Rule& r = rules()[size_t(RuleId::TooManyFindings)];
        f.severity = r.severity;
        f.rule = r.id;
        f.message = QStringLiteral("More than %1 findings; the rest are not listed").arg(m_limit);
        f.offset = offset;
        m_findings.push_back(std::move(f));
        return -1;
    }
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
