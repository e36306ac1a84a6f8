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
};

// The findings of one check as they are found, in any order.
class Report {
public:
    // Adds a finding and returns its index.
    int add(RuleId rule, qsizetype offset, qsizetype length, const QString& message,
            qsizetype related = -1);
    Finding& at(int index) { return m_findings[size_t(index)]; }
    std::vector<Finding>& findings() { return m_findings; }

private:
    std::vector<Finding> m_findings;
};

} // namespace checker
