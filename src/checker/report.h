// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "checker/checker.h"

namespace checker {

// The rules in the order of the table of rules().
enum class RuleId {
    MissingDoctype,
    BadDoctype,
    ObsoleteDoctype,
    DuplicateAttribute,
    EofInTag,
    EofInComment,
    BadComment,
    BogusComment,
    BadCharacterReference,
    MissingSemicolon,
    BadTag,
    UnescapedLessThan,
    SelfClosingNonVoid,
    UnclosedElement,
    MisnestedEndTag,
    StrayEndTag,
    StrayStartTag,
    NotAllowedHere,
    ContentAfterEnd,
    UnknownElement,
    ObsoleteElement,
    UnknownAttribute,
    MissingAlt,
    DuplicateId,
    MissingLang,
    MissingFile,
    MissingFragment,
    TooManyFindings,
};

// The findings of one check as they are found, in any order.
class Report {
public:
    explicit Report(int limit = 100000) : m_limit(limit) {}
    // Adds a finding and returns its index, or -1 when the limit was reached (the first
    // finding past it is replaced by one that says so).
    int add(RuleId rule, qsizetype offset, qsizetype length, const QString& message,
            qsizetype related = -1);
    Finding& at(int index) { return m_findings[size_t(index)]; }
    std::vector<Finding>& findings() { return m_findings; }
    // Drops the findings from index `size` on.
    void truncate(size_t size) {
        if (size < m_findings.size()) {
            m_findings.resize(size);
            m_full = false;
        }
    }

private:
    std::vector<Finding> m_findings;
    int m_limit;
    bool m_full = false;
};

} // namespace checker
