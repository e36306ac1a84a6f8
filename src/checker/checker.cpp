// SPDX-License-Identifier: GPL-3.0-or-later
#include "checker/checker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

#include "checker/report.h"
#include "checker/tokenizer.h"
#include "checker/treebuilder.h"

namespace checker {
namespace {

// The ids and <a name> targets of a linked page.
struct Targets {
    bool read = false;
    QSet<QString> names;
};

Targets targetsOf(const QString& text, const std::atomic_bool* cancel) {
    Report ignored;
    PageFacts facts;
    TreeBuilder builder(text, ignored, facts);
    builder.run(cancel);
    Targets t;
    t.read = true;
    for (auto it = facts.ids.cbegin(); it != facts.ids.cend(); ++it)
        t.names.insert(it.key());
    for (const QString& name : std::as_const(facts.anchorNames))
        t.names.insert(name);
    return t;
}

bool readUtf8(const QString& path, QString* text) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(f.readAll());
    return true;
}

bool isPage(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm") ||
           suffix == QLatin1String("xhtml");
}

// Local links: files that exist, and #fragments that name an id of the page they lead to.
void checkLinks(const PageFacts& facts, const Options& options, Report& report) {
    const auto hasTarget = [](const QSet<QString>& names, const QHash<QString, qsizetype>* ids,
                              const QString& fragment) {
        return (ids && ids->contains(fragment)) || names.contains(fragment);
    };
    const bool saved = !options.pagePath.isEmpty() && !facts.hasBase;
    const QDir folder = QFileInfo(options.pagePath).absoluteDir();
    QHash<QString, Targets> linked;
    QHash<QString, bool> exists;
    for (size_t i = 0; i < facts.links.size(); ++i) {
        if (options.cancel && (i & 63) == 0 && options.cancel->load(std::memory_order_relaxed))
            return;
        const Link& link = facts.links[i];
        const QString url = link.url.trimmed();
        const qsizetype hash = url.indexOf(QLatin1Char('#'));
        const QString fragment =
            hash >= 0 ? QUrl::fromPercentEncoding(url.mid(hash + 1).toUtf8()) : QString();
        QString location = hash >= 0 ? url.left(hash) : url;
        // As browsers read URLs of files and web pages, a backslash is a slash.
        location.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const qsizetype query = location.indexOf(QLatin1Char('?'));
        if (query >= 0)
            location.truncate(query);
        if (location.isEmpty()) {
            if (hash < 0 || fragment.isEmpty() ||
                fragment.compare(QLatin1String("top"), Qt::CaseInsensitive) == 0 || facts.hasBase ||
                url.indexOf(QLatin1Char('?')) >= 0)
                continue;
            if (!hasTarget(facts.anchorNames, &facts.ids, fragment))
                report.add(RuleId::MissingFragment, link.offset, link.length,
                           QStringLiteral("No element with id \"%1\" in this page").arg(fragment));
            continue;
        }
        if (!saved)
            continue;
        // Only relative references and file: URLs name local files.
        const QUrl parsed(location);
        QString path;
        if (parsed.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0) {
            path = parsed.toLocalFile();
        } else {
            if (!parsed.scheme().isEmpty() || location.startsWith(QLatin1String("//")) ||
                location.startsWith(QLatin1Char('/')) || location.startsWith(QLatin1Char('\\')))
                continue;
            path = folder.filePath(QUrl::fromPercentEncoding(location.toUtf8()));
        }
        const QFileInfo info(path);
        auto known = exists.find(path);
        if (known == exists.end())
            known = exists.insert(path, info.exists());
        if (!*known) {
            report.add(RuleId::MissingFile, link.offset, link.length,
                       QStringLiteral("\"%1\" leads to a file that does not exist").arg(location));
            continue;
        }
        if (fragment.isEmpty() || !info.isFile() || !isPage(path))
            continue;
        const QString key = info.absoluteFilePath();
        auto it = linked.find(key);
        if (it == linked.end()) {
            QString text;
            const bool ok = options.readPage ? options.readPage(key, &text) : readUtf8(key, &text);
            it = linked.insert(key, ok ? targetsOf(text, options.cancel) : Targets());
        }
        if (it->read && !it->names.contains(fragment))
            report.add(
                RuleId::MissingFragment, link.offset, link.length,
                QStringLiteral("No element with id \"%1\" in \"%2\"").arg(fragment, location));
    }
}

// Lines and columns of every finding (sorted by offset) in one pass over the text.
void placeFindings(QStringView text, std::vector<Finding>& findings) {
    struct Place {
        qsizetype offset;
        qsizetype* line;
        qsizetype* column;
    };
    std::vector<Place> places;
    places.reserve(findings.size() * 2);
    for (Finding& f : findings) {
        places.push_back({f.offset, &f.line, &f.column});
        if (f.relatedOffset >= 0)
            places.push_back({f.relatedOffset, &f.relatedLine, &f.relatedColumn});
    }
    std::stable_sort(places.begin(), places.end(),
                     [](const Place& a, const Place& b) { return a.offset < b.offset; });
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    qsizetype line = 1, lineStart = 0, i = 0;
    for (const Place& p : places) {
        const qsizetype target = std::min(p.offset, n);
        for (; i < target; ++i) {
            const char16_t c = s[i];
            if (c == '\n' || (c == '\r' && !(i + 1 < n && s[i + 1] == '\n'))) {
                ++line;
                lineStart = i + 1;
            }
        }
        *p.line = line;
        *p.column = p.offset - lineStart + 1;
    }
}

} // namespace

const char* severityName(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Info:
        return "info";
    }
    return "error";
}

const std::vector<Rule>& rules() {
    using S = Severity;
    // In the order of RuleId.
    static const std::vector<Rule> table = {
        {"missing-doctype", S::Error, "The page does not start with <!DOCTYPE html>."},
        {"bad-doctype", S::Error, "A doctype that is not <!DOCTYPE html>, or one after the start."},
        {"obsolete-doctype", S::Warning, "An HTML 4 or XHTML doctype with public or system ids."},
        {"duplicate-attribute", S::Error,
         "An attribute given twice in one tag; browsers keep the first."},
        {"eof-in-tag", S::Error, "The page ends inside a tag or the doctype."},
        {"eof-in-comment", S::Error, "The page ends inside a comment or CDATA section."},
        {"bad-comment", S::Error,
         "<!--> or <!---> ending a comment at once, --!>, or <!-- inside a comment."},
        {"bogus-comment", S::Error, "<?...>, <!...> or </ followed by no name: read as a comment."},
        {"bad-character-reference", S::Error,
         "&#0;, a surrogate, a noncharacter, a control character, a code point out of range, no "
         "digits, or an unknown name."},
        {"missing-semicolon", S::Error, "A character reference without its closing semicolon."},
        {"bad-tag", S::Error,
         "A tag's syntax: a quote or < in an attribute name, no space between attributes, a stray "
         "/, attributes on an end tag."},
        {"unescaped-less-than", S::Error, "A < that does not start a tag; write &lt;."},
        {"self-closing-non-void", S::Error,
         "<div/> and the like: the slash does not close an element that has an end tag."},
        {"unclosed-element", S::Error,
         "An element whose end tag is required is closed by something else or by the end of the "
         "page."},
        {"misnested-end-tag", S::Error,
         "An end tag comes while an element inside its element is still open."},
        {"stray-end-tag", S::Error,
         "An end tag with no open element of its name (</p> with no <p> open)."},
        {"stray-start-tag", S::Error,
         "A start tag the browser ignores where it stands (<td> outside a table, a second <body>, "
         "a form in a form)."},
        {"not-allowed-here", S::Error,
         "An element or text where its parent does not allow it (lists, tables, select, blocks "
         "inside text-level elements)."},
        {"content-after-end", S::Error, "Text or elements after </body> or </html>."},
        {"unknown-element", S::Error,
         "An element the HTML standard does not define, whose name is not a custom element's (with "
         "a hyphen)."},
        {"obsolete-element", S::Warning,
         "An element the HTML standard calls obsolete (center, font, marquee...)."},
        {"unknown-attribute", S::Error,
         "An attribute that is neither the element's own nor global, data-*, aria-* or an event "
         "handler."},
        {"missing-alt", S::Error, "<img> without an alt attribute."},
        {"duplicate-id", S::Error, "Two elements with the same id."},
        {"missing-lang", S::Info, "<html> without a lang attribute."},
        {"missing-file", S::Warning,
         "A local href or src that names a file that does not exist (saved pages only)."},
        {"missing-fragment", S::Warning, "A #fragment that names no id of the page it leads to."},
        {"too-many-findings", S::Warning,
         "The page has more findings than are kept; the rest are left out."},
    };
    return table;
}

Result check(QStringView text, const Options& options) {
    Result result;
    Report report(std::max(options.maxFindings, 0));
    PageFacts facts;
    {
        TreeBuilder builder(text, report, facts);
        if (!builder.run(options.cancel)) {
            result.cancelled = true;
            return result;
        }
    }
    checkLinks(facts, options, report);
    if (options.cancel && options.cancel->load(std::memory_order_relaxed)) {
        result.cancelled = true;
        return result;
    }
    std::vector<Finding>& findings = report.findings();
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
    placeFindings(text, findings);
    result.findings = std::move(findings);
    return result;
}

} // namespace checker
