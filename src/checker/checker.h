// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <atomic>
#include <functional>
#include <vector>

// The located HTML checker: reads a page as a browser's HTML parser does and reports each
// mistake where it is, once per cause. Pure logic (Qt Core), safe to run on any thread over
// a copy of the text.
namespace checker {

enum class Severity { Error, Warning, Info };

// One mistake. Offsets are UTF-16 code units into the checked text; lines and columns
// count from 1 (LF, CR LF and a lone CR each end a line; a column is one code unit, so a
// tab is one and a character outside the BMP two).
struct Finding {
    Severity severity = Severity::Error;
    const char* rule = ""; // stable id ("unclosed-element")
    QString message;
    qsizetype offset = 0; // first code unit of the construct at fault
    qsizetype length = 0; // its length (0 only for a missing doctype of an empty page and
                          // for the note that findings were left out)
    qsizetype line = 1;
    qsizetype column = 1;
    // Another place the finding refers to (the first of two duplicate ids, the end tag
    // that closed an unclosed element), or -1; with its line and column.
    qsizetype relatedOffset = -1;
    qsizetype relatedLine = 0;
    qsizetype relatedColumn = 0;
};

struct Options {
    // The page's own file, for the checks of local links (files that exist, fragments
    // that name an id); empty: the page is not saved and links are not checked.
    QString pagePath;
    // Reads a linked local page whose ids a #fragment names; false when it cannot. When
    // unset, the file is read as UTF-8.
    std::function<bool(const QString& path, QString* text)> readPage;
    // Set by another thread to stop the check soon; the result then says it was cancelled.
    const std::atomic_bool* cancel = nullptr;
    // At most this many findings are kept (a page of thousands of stray "<" would otherwise
    // fill the memory); one more finding then says that the rest were left out.
    int maxFindings = 100000;
};

struct Result {
    std::vector<Finding> findings; // sorted by place
    bool cancelled = false;
};

// Checks a page.
Result check(QStringView text, const Options& options = {});

// "error", "warning" or "info".
const char* severityName(Severity severity);

// The rules, for documentation and filters: id, severity and what it means.
struct Rule {
    const char* id;
    Severity severity;
    const char* summary;
};
const std::vector<Rule>& rules();

} // namespace checker
