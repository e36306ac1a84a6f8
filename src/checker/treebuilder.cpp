// SPDX-License-Identifier: GPL-3.0-or-later
#include "checker/treebuilder.h"

#include <cctype>

#include "checker/elements.h"
#include "checker/text.h"
#include "htmldata/htmldata.h"

namespace checker {
namespace {

using T = Tag;

enum NodeFlag : std::uint8_t {
    kReconstructed = 1,    // made again by the parser from an active formatting element
    kImplied = 2,          // made by the parser without a start tag
    kReported = 4,         // a finding about this element exists already
    kChildReported = 8,    // a finding about what it holds exists already
    kHtmlIntegration = 16, // annotation-xml with HTML inside
};

constexpr int kPendingLimit = 32;

bool in(int name, std::initializer_list<Tag> tags) {
    for (Tag t : tags)
        if (name == int(t))
            return true;
    return false;
}

// A valid custom element name: a lower-case letter first and a hyphen in it.
bool isCustomElementName(const std::u16string& name) {
    if (name.empty() || name[0] < 'a' || name[0] > 'z' || name.find(u'-') == std::u16string::npos)
        return false;
    static const char16_t* const reserved[] = {
        u"annotation-xml", u"color-profile",    u"font-face",      u"font-face-src",
        u"font-face-uri",  u"font-face-format", u"font-face-name", u"missing-glyph"};
    for (const char16_t* r : reserved)
        if (name == r)
            return false;
    for (char16_t c : name)
        if (c == '/' || c == '>' || isSpace(c) || (c >= 'A' && c <= 'Z'))
            return false;
    return true;
}

// RDFa Lite's attributes, which pages use for Open Graph and schema.org data.
bool isRdfaLite(const std::u16string& name) {
    return name == u"property" || name == u"typeof" || name == u"resource" || name == u"vocab" ||
           name == u"prefix";
}

bool startsWith(const std::u16string& s, const char16_t* prefix) {
    return s.rfind(prefix, 0) == 0;
}

} // namespace

TreeBuilder::TreeBuilder(QStringView text, Report& report, PageFacts& facts)
    : m_text(text), m_report(report), m_facts(facts), m_tokenizer(text, report) {
    m_openCount.assign(htmldata::kTagCount, 0);
    m_names.reserve(htmldata::kTagCount + 32);
    m_nameIds.reserve(htmldata::kTagCount * 2);
    for (int i = 0; i < htmldata::kTagCount; ++i) {
        const QLatin1StringView name = htmldata::tagName(Tag(i));
        m_names.push_back(QString(name));
        m_nameIds.emplace(std::u16string(name.begin(), name.end()), i);
    }
    m_foreignObject = intern(u"foreignobject");
    m_desc = intern(u"desc");
    m_mi = intern(u"mi");
    m_mo = intern(u"mo");
    m_mn = intern(u"mn");
    m_ms = intern(u"ms");
    m_mtext = intern(u"mtext");
    m_annotationXml = intern(u"annotation-xml");
    m_mglyph = intern(u"mglyph");
    m_malignmark = intern(u"malignmark");
}

int TreeBuilder::intern(const char16_t* name) {
    return nameId(std::u16string(name));
}

int TreeBuilder::nameId(const std::u16string& lowerName) {
    const auto it = m_nameIds.find(lowerName);
    if (it != m_nameIds.end())
        return it->second;
    const int id = int(m_names.size());
    m_nameIds.emplace(lowerName, id);
    m_names.push_back(toQString(lowerName));
    return id;
}

bool TreeBuilder::run(const std::atomic_bool* cancel) {
    Token t;
    for (unsigned count = 0;; ++count) {
        if (cancel && (count & 15) == 0 && cancel->load(std::memory_order_relaxed))
            return false;
        m_tokenizer.setCdataAllowed(!m_stack.empty() && m_stack.back().ns != Ns::Html);
        m_tokenizer.next(t);
        m_tn = (t.type == Token::StartTag || t.type == Token::EndTag) ? nameId(t.name) : -1;
        process(t);
        if (t.type == Token::EndOfFile)
            return true;
    }
}

// ---------------------------------------------------------------------------------------
// Dispatch

bool TreeBuilder::foreignRulesApply(const Token& t) const {
    if (m_stack.empty() || t.type == Token::EndOfFile)
        return false;
    const Node& n = m_stack.back();
    if (n.ns == Ns::Html)
        return false;
    const bool mathText =
        n.ns == Ns::MathMl &&
        (n.name == m_mi || n.name == m_mo || n.name == m_mn || n.name == m_ms || n.name == m_mtext);
    if (mathText && ((t.type == Token::StartTag && m_tn != m_mglyph && m_tn != m_malignmark) ||
                     t.type == Token::Characters))
        return false;
    if (n.ns == Ns::MathMl && n.name == m_annotationXml && t.type == Token::StartTag &&
        m_tn == id(T::Svg))
        return false;
    const bool htmlIntegration =
        (n.ns == Ns::Svg &&
         (n.name == m_foreignObject || n.name == m_desc || n.name == id(T::Title))) ||
        (n.flags & kHtmlIntegration);
    if (htmlIntegration && (t.type == Token::StartTag || t.type == Token::Characters))
        return false;
    return true;
}

void TreeBuilder::process(Token& t) {
    if (foreignRulesApply(t))
        return foreignContent(t);
    byMode(t);
}

void TreeBuilder::byMode(Token& t) {
    switch (m_mode) {
    case Mode::Initial:
        return initial(t);
    case Mode::BeforeHtml:
        return beforeHtml(t);
    case Mode::BeforeHead:
        return beforeHead(t);
    case Mode::InHead:
        return inHead(t);
    case Mode::InHeadNoscript:
        return inHeadNoscript(t);
    case Mode::AfterHead:
        return afterHead(t);
    case Mode::InBody:
        return inBody(t);
    case Mode::Text:
        return text(t);
    case Mode::InTable:
        return inTable(t);
    case Mode::InCaption:
        return inCaption(t);
    case Mode::InColumnGroup:
        return inColumnGroup(t);
    case Mode::InTableBody:
        return inTableBody(t);
    case Mode::InRow:
        return inRow(t);
    case Mode::InCell:
        return inCell(t);
    case Mode::InSelect:
        return inSelect(t);
    case Mode::InSelectInTable:
        return inSelectInTable(t);
    case Mode::InTemplate:
        return inTemplate(t);
    case Mode::AfterBody:
        return afterBody(t);
    case Mode::InFrameset:
        return inFrameset(t);
    case Mode::AfterFrameset:
        return afterFrameset(t);
    case Mode::AfterAfterBody:
        return afterAfterBody(t);
    }
}

// ---------------------------------------------------------------------------------------
// Findings

QString TreeBuilder::tokenText(const Token& t) const {
    if (t.type == Token::StartTag)
        return startTag(toQString(t.name));
    if (t.type == Token::EndTag)
        return endTag(toQString(t.name));
    return QString();
}

void TreeBuilder::unclosed(Node& n, const QString& message, qsizetype related) {
    n.flags |= kReported;
    m_report.add(RuleId::UnclosedElement, n.offset, n.length, message, related);
}

void TreeBuilder::closedImplicitly(Node& n, const Token& closer) {
    if (n.flags & (kReconstructed | kImplied | kReported))
        return;
    if (n.ns == Ns::Html && hasFlag(n.name, kOptionalEnd))
        return;
    n.flags |= kReported;
    if (closer.type == Token::EndOfFile) {
        m_report.add(
            RuleId::UnclosedElement, n.offset, n.length,
            QStringLiteral("%1 is not closed; the page ends first").arg(startTag(nameOf(n))));
        return;
    }
    const int index = m_report.add(
        RuleId::UnclosedElement, n.offset, n.length,
        QStringLiteral("%1 is not closed before %2").arg(startTag(nameOf(n)), tokenText(closer)),
        closer.offset);
    addPending(n.name, index, closer);
}

void TreeBuilder::addPending(int name, int finding, const Token& closer) {
    if (m_pending.size() >= size_t(kPendingLimit))
        m_pending.erase(m_pending.begin());
    m_pending.push_back({name, finding, closer.offset, closer.end - closer.offset});
}

void TreeBuilder::misplacedDoctype(const Token& t) {
    m_report.add(RuleId::BadDoctype, t.offset, t.end - t.offset,
                 QStringLiteral("A doctype belongs at the very start of the page"));
}

void TreeBuilder::strayEnd(const Token& t, const QString& message) {
    // The end tag of an element that an earlier tag closed: one mistake, told where the
    // element was closed too early.
    for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it) {
        if (it->name != m_tn)
            continue;
        if (it->finding >= 0) {
            Finding& f = m_report.at(it->finding);
            const Rule& r = rules()[size_t(RuleId::MisnestedEndTag)];
            // The tag that closed it, by its name alone ("<a href=...>" reads "<a>").
            QString closer = m_text.mid(it->closer, it->closerLength).toString();
            for (qsizetype k = 0; k < closer.size(); ++k)
                if (isSpace(closer[k].unicode()) || (k > 1 && closer[k] == QLatin1Char('/'))) {
                    closer = closer.left(k) + QLatin1Char('>');
                    break;
                }
            f.rule = r.id;
            f.severity = r.severity;
            f.relatedOffset = f.offset;
            f.offset = it->closer;
            f.length = it->closerLength;
            f.message = QStringLiteral("%1 comes while %2 is still open; its %3 comes later")
                            .arg(closer, startTag(nameOf(m_tn)), endTag(nameOf(m_tn)));
        }
        m_pending.erase(std::next(it).base());
        return;
    }
    m_report.add(RuleId::StrayEndTag, t.offset, t.end - t.offset, message);
}

void TreeBuilder::ignoredStart(const Token& t, const QString& message) {
    m_report.add(RuleId::StrayStartTag, t.offset, t.end - t.offset, message);
    if (!hasFlag(m_tn, kOptionalEnd) || in(m_tn, {T::Td, T::Th, T::Tr, T::Caption}))
        addPending(m_tn, -1, t);
}

void TreeBuilder::notAllowed(const Token& t, const QString& message, Node* parent) {
    if (parent) {
        if (parent->flags & (kChildReported | kReconstructed))
            return;
        parent->flags |= kChildReported;
    }
    const qsizetype at = t.type == Token::Characters ? t.firstNonSpace : t.offset;
    qsizetype length = t.end - at;
    if (t.type == Token::Characters) {
        length = 0;
        while (at + length < t.end && !isSpace(m_text[at + length].unicode()) && length < 40)
            ++length;
    }
    m_report.add(RuleId::NotAllowedHere, at, length, message);
}

void TreeBuilder::misplacedAfterEnd(const Token& t) {
    if (m_afterEndReported)
        return;
    m_afterEndReported = true;
    const qsizetype at = t.type == Token::Characters ? t.firstNonSpace : t.offset;
    m_report.add(RuleId::ContentAfterEnd, at, t.type == Token::Characters ? 1 : t.end - t.offset,
                 QStringLiteral("Content after the end of the body; it belongs before </body>"));
}

// ---------------------------------------------------------------------------------------
// The stack of open elements

bool TreeBuilder::scopeBoundary(const Node& n, Scope scope) const {
    if (scope == Scope::Select)
        return !(n.ns == Ns::Html && (n.name == id(T::Optgroup) || n.name == id(T::Option)));
    if (n.ns == Ns::Html) {
        if (in(n.name, {T::Html, T::Table, T::Template}))
            return true;
        if (scope == Scope::Table)
            return false;
        if (in(n.name, {T::Applet, T::Caption, T::Td, T::Th, T::Marquee, T::Object}))
            return true;
        if (scope == Scope::ListItem && in(n.name, {T::Ol, T::Ul}))
            return true;
        return scope == Scope::Button && n.name == id(T::Button);
    }
    if (scope == Scope::Table)
        return false;
    if (n.ns == Ns::MathMl)
        return n.name == m_mi || n.name == m_mo || n.name == m_mn || n.name == m_ms ||
               n.name == m_mtext || n.name == m_annotationXml;
    return n.name == m_foreignObject || n.name == m_desc || n.name == id(T::Title);
}

int TreeBuilder::inScope(int name, Scope scope) const {
    if (name < htmldata::kTagCount && m_openCount[size_t(name)] == 0)
        return -1;
    for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
        const Node& n = m_stack[size_t(i)];
        if (isHtml(n, name))
            return i;
        if (scopeBoundary(n, scope))
            return -1;
    }
    return -1;
}

int TreeBuilder::headingInScope() const {
    if (!m_openCount[size_t(id(T::H1))] && !m_openCount[size_t(id(T::H2))] &&
        !m_openCount[size_t(id(T::H3))] && !m_openCount[size_t(id(T::H4))] &&
        !m_openCount[size_t(id(T::H5))] && !m_openCount[size_t(id(T::H6))])
        return -1;
    for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
        const Node& n = m_stack[size_t(i)];
        if (n.ns == Ns::Html && hasFlag(n.name, kHeading))
            return i;
        if (scopeBoundary(n, Scope::Default))
            return -1;
    }
    return -1;
}

int TreeBuilder::cellInTableScope() const {
    const int td = inScope(id(T::Td), Scope::Table);
    return td >= 0 ? td : inScope(id(T::Th), Scope::Table);
}

int TreeBuilder::tableSectionInTableScope() const {
    for (Tag t : {T::Tbody, T::Thead, T::Tfoot})
        if (inScope(id(t), Scope::Table) >= 0)
            return 1;
    return -1;
}

int TreeBuilder::indexOf(std::uint32_t serial) const {
    if (!isOnStack(serial))
        return -1;
    for (int i = int(m_stack.size()) - 1; i >= 0; --i)
        if (m_stack[size_t(i)].serial == serial)
            return i;
    return -1;
}

bool TreeBuilder::onStack(int name) const {
    if (name < htmldata::kTagCount)
        return m_openCount[size_t(name)] > 0;
    for (const Node& n : m_stack)
        if (isHtml(n, name))
            return true;
    return false;
}

void TreeBuilder::counted(const Node& n, int delta) {
    if (n.ns == Ns::Html && n.name < htmldata::kTagCount)
        m_openCount[size_t(n.name)] += delta;
    if (n.serial >= m_onStack.size())
        m_onStack.resize(std::max<size_t>(n.serial + 1, m_onStack.size() * 2));
    m_onStack[n.serial] = delta > 0;
}

void TreeBuilder::push(const Node& n) {
    counted(n, 1);
    m_stack.push_back(n);
}

void TreeBuilder::pop() {
    counted(m_stack.back(), -1);
    m_stack.pop_back();
}

void TreeBuilder::removeAt(int index) {
    counted(m_stack[size_t(index)], -1);
    m_stack.erase(m_stack.begin() + index);
}

void TreeBuilder::insertAt(int index, const Node& n) {
    counted(n, 1);
    m_stack.insert(m_stack.begin() + index, n);
}

void TreeBuilder::clearStack() {
    while (!m_stack.empty())
        pop();
}

void TreeBuilder::popTo(int index, const Token& closer) {
    while (int(m_stack.size()) - 1 > index) {
        closedImplicitly(m_stack.back(), closer);
        pop();
    }
    if (index >= 0 && size_t(index) < m_stack.size())
        pop();
}

void TreeBuilder::popUntil(int name, const Token& closer) {
    for (int i = int(m_stack.size()) - 1; i >= 0; --i)
        if (isHtml(m_stack[size_t(i)], name))
            return popTo(i, closer);
}

void TreeBuilder::generateImpliedEndTags(int except) {
    while (!m_stack.empty()) {
        const Node& n = m_stack.back();
        if (n.ns != Ns::Html || n.name == except ||
            !in(n.name,
                {T::Dd, T::Dt, T::Li, T::Optgroup, T::Option, T::P, T::Rb, T::Rp, T::Rt, T::Rtc}))
            return;
        pop();
    }
}

void TreeBuilder::generateImpliedEndTagsThoroughly() {
    while (!m_stack.empty()) {
        const Node& n = m_stack.back();
        if (n.ns != Ns::Html ||
            !in(n.name,
                {T::Caption, T::Colgroup, T::Dd, T::Dt, T::Li, T::Optgroup, T::Option, T::P, T::Rb,
                 T::Rp, T::Rt, T::Rtc, T::Tbody, T::Td, T::Tfoot, T::Th, T::Thead, T::Tr}))
            return;
        pop();
    }
}

void TreeBuilder::clearStackBackTo(std::initializer_list<int> names, const Token& closer) {
    while (!m_stack.empty()) {
        const Node& n = m_stack.back();
        if (n.ns == Ns::Html) {
            for (int name : names)
                if (n.name == name)
                    return;
        }
        closedImplicitly(m_stack.back(), closer);
        pop();
    }
}

void TreeBuilder::closePElement(const Token& closer) {
    generateImpliedEndTags(id(T::P));
    popUntil(id(T::P), closer);
}

void TreeBuilder::resetInsertionMode() {
    for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
        const Node& n = m_stack[size_t(i)];
        const bool last = i == 0;
        if (n.ns != Ns::Html)
            continue;
        switch (Tag(n.name)) {
        case T::Select:
            for (int j = i - 1; j > 0; --j) {
                if (isHtml(m_stack[size_t(j)], id(T::Template)))
                    break;
                if (isHtml(m_stack[size_t(j)], id(T::Table))) {
                    m_mode = Mode::InSelectInTable;
                    return;
                }
            }
            m_mode = Mode::InSelect;
            return;
        case T::Td:
        case T::Th:
            if (!last) {
                m_mode = Mode::InCell;
                return;
            }
            break;
        case T::Tr:
            m_mode = Mode::InRow;
            return;
        case T::Tbody:
        case T::Thead:
        case T::Tfoot:
            m_mode = Mode::InTableBody;
            return;
        case T::Caption:
            m_mode = Mode::InCaption;
            return;
        case T::Colgroup:
            m_mode = Mode::InColumnGroup;
            return;
        case T::Table:
            m_mode = Mode::InTable;
            return;
        case T::Template:
            m_mode = m_templateModes.empty() ? Mode::InBody : m_templateModes.back();
            return;
        case T::Head:
            if (!last) {
                m_mode = Mode::InHead;
                return;
            }
            break;
        case T::Body:
            m_mode = Mode::InBody;
            return;
        case T::Frameset:
            m_mode = Mode::InFrameset;
            return;
        case T::Html:
            m_mode = m_headSeen ? Mode::AfterHead : Mode::BeforeHead;
            return;
        default:
            break;
        }
    }
    m_mode = Mode::InBody;
}

// ---------------------------------------------------------------------------------------
// Elements

TreeBuilder::Node TreeBuilder::makeNode(const Token& t, int name, Ns ns) const {
    Node n;
    n.name = name;
    n.ns = ns;
    n.offset = t.offset;
    n.length = t.type == Token::StartTag ? t.end - t.offset : 0;
    if (t.type == Token::StartTag && t.attributeCount > 0) {
        n.attributesOffset = t.attributes[0].nameOffset;
        n.attributesLength = t.attributes[size_t(t.attributeCount) - 1].end - n.attributesOffset;
    }
    return n;
}

TreeBuilder::Node& TreeBuilder::insertHtml(const Token& t, int name) {
    Node n = makeNode(t, name, Ns::Html);
    n.serial = ++m_serial;
    if (t.type == Token::StartTag) {
        checkPlacement(t, name);
        checkElement(t, name);
        collectFacts(t, name, Ns::Html);
        if (t.selfClosing && !(name < htmldata::kTagCount && htmldata::isVoid(Tag(name)))) {
            n.flags |= kReported;
            m_report.add(RuleId::SelfClosingNonVoid, t.offset, t.end - t.offset,
                         QStringLiteral("\"/>\" does not close %1: it has an end tag, %2")
                             .arg(startTag(nameOf(name)), endTag(nameOf(name))));
        }
    } else {
        n.flags |= kImplied;
    }
    push(n);
    return m_stack.back();
}

void TreeBuilder::insertImplied(int name, qsizetype at) {
    Node n;
    n.name = name;
    n.offset = at;
    n.flags = kImplied;
    n.serial = ++m_serial;
    push(n);
}

void TreeBuilder::insertForeign(const Token& t, Ns ns) {
    Node n = makeNode(t, m_tn, ns);
    n.serial = ++m_serial;
    if (ns == Ns::MathMl && m_tn == m_annotationXml) {
        if (const Attribute* a = t.attribute(u"encoding")) {
            const QString v = value(*a).toLower();
            if (v == QLatin1String("text/html") || v == QLatin1String("application/xhtml+xml"))
                n.flags |= kHtmlIntegration;
        }
    }
    collectFacts(t, m_tn, ns);
    const QStringView name(t.name.data(), qsizetype(t.name.size()));
    if ((ns == Ns::Svg && !htmldata::isSvgElement(name)) ||
        (ns == Ns::MathMl && !htmldata::isMathMlElement(name)))
        m_report.add(RuleId::UnknownElement, t.offset, t.end - t.offset,
                     QStringLiteral("Unknown %1 element %2")
                         .arg(ns == Ns::Svg ? QStringLiteral("SVG") : QStringLiteral("MathML"),
                              startTag(toQString(t.name))));
    if (!t.selfClosing)
        push(n);
}

void TreeBuilder::startRawText(const Token& t, int name, Tokenizer::Content content) {
    insertHtml(t, name);
    m_tokenizer.setContent(content, t.name);
    m_originalMode = m_mode;
    m_mode = Mode::Text;
}

QString TreeBuilder::value(const Attribute& a) const {
    if (a.valueOffset < 0)
        return QString();
    const QStringView raw = m_text.mid(a.valueOffset, a.valueEnd - a.valueOffset);
    if (!raw.contains(QLatin1Char('&')))
        return raw.toString();
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size();) {
        if (raw[i] != QLatin1Char('&')) {
            out += raw[i++];
            continue;
        }
        qsizetype j = i + 1;
        if (j < raw.size() && raw[j] == QLatin1Char('#')) {
            ++j;
            const bool hex =
                j < raw.size() && (raw[j] == QLatin1Char('x') || raw[j] == QLatin1Char('X'));
            if (hex)
                ++j;
            const qsizetype digits = j;
            char32_t v = 0;
            while (j < raw.size() &&
                   (hex ? isxdigit(raw[j].unicode()) : isDigit(raw[j].unicode()))) {
                v = qMin<char32_t>(v * (hex ? 16 : 10) +
                                       char32_t(raw[j].digitValue() >= 0
                                                    ? raw[j].digitValue()
                                                    : (raw[j].unicode() | 32) - 'a' + 10),
                                   0x110000);
                ++j;
            }
            if (j == digits) {
                out += raw[i++];
                continue;
            }
            if (j < raw.size() && raw[j] == QLatin1Char(';'))
                ++j;
            if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
                v = 0xFFFD;
            out += QString::fromUcs4(&v, 1);
            i = j;
            continue;
        }
        while (j < raw.size() && isAlnum(raw[j].unicode()))
            ++j;
        const QStringView run = raw.mid(i + 1, j - i - 1);
        if (j < raw.size() && raw[j] == QLatin1Char(';')) {
            if (const auto r = htmldata::characterReference(run)) {
                out += r->characters;
                i = j + 1;
                continue;
            }
        }
        const qsizetype m = htmldata::longestLegacyReference(run);
        if (m > 0 && !(i + 1 + m < raw.size() &&
                       (raw[i + 1 + m] == QLatin1Char('=') || isAlnum(raw[i + 1 + m].unicode())))) {
            out += htmldata::characterReference(run.left(m))->characters;
            i += 1 + m;
            continue;
        }
        out += raw[i++];
    }
    return out;
}

void TreeBuilder::checkElement(const Token& t, int name) {
    const qsizetype length = t.end - t.offset;
    const bool known = name < htmldata::kTagCount && !htmldata::isNonStandard(Tag(name));
    const bool custom = !known && isCustomElementName(t.name);
    if (!known && !custom) {
        m_report.add(RuleId::UnknownElement, t.offset, length,
                     QStringLiteral("Unknown element %1 (a custom element's name has a hyphen)")
                         .arg(startTag(toQString(t.name))));
    } else if (known && htmldata::isObsolete(Tag(name))) {
        m_report.add(RuleId::ObsoleteElement, t.offset, length,
                     QStringLiteral("%1 is obsolete; use CSS or a current element instead")
                         .arg(startTag(nameOf(name))));
    }
    // An embed passes any attribute on to its plugin.
    if (known && name != id(T::Embed)) {
        for (int i = 0; i < t.attributeCount; ++i) {
            const Attribute& a = t.attributes[size_t(i)];
            if (a.name.find_first_of(u"\"'<=") != std::u16string::npos)
                continue; // reported as a fault of the tag's syntax
            const QStringView n(a.name.data(), qsizetype(a.name.size()));
            auto known = m_globalAttributes.find(a.name);
            if (known == m_globalAttributes.end())
                known =
                    m_globalAttributes
                        .emplace(a.name, htmldata::isGlobalAttribute(n) ||
                                             (startsWith(a.name, u"data-") && a.name.size() > 5) ||
                                             startsWith(a.name, u"aria-") || a.name == u"role" ||
                                             isRdfaLite(a.name) ||
                                             (startsWith(a.name, u"on") && a.name.size() > 2) ||
                                             startsWith(a.name, u"xmlns") ||
                                             startsWith(a.name, u"xml:"))
                        .first;
            if (known->second || htmldata::isOwnAttribute(Tag(name), n))
                continue;
            m_report.add(RuleId::UnknownAttribute, a.nameOffset, a.end - a.nameOffset,
                         QStringLiteral("Attribute \"%1\" is not allowed on %2")
                             .arg(toQString(a.name), startTag(nameOf(name))));
        }
    }
    if (name == id(T::Img) && !t.attribute(u"alt"))
        m_report.add(RuleId::MissingAlt, t.offset, length,
                     QStringLiteral("<img> has no alt attribute (use alt=\"\" for a picture that "
                                    "says nothing)"));
    if (name == id(T::Html) && !t.attribute(u"lang"))
        m_report.add(RuleId::MissingLang, t.offset, length,
                     QStringLiteral("<html> has no lang attribute naming the page's language"));
}

bool TreeBuilder::isInteractive(const Token& t, int name) const {
    if (in(name,
           {T::A, T::Button, T::Details, T::Embed, T::Iframe, T::Label, T::Select, T::Textarea}))
        return true;
    if (name == id(T::Input)) {
        const Attribute* type = t.attribute(u"type");
        return !type || value(*type).compare(QLatin1String("hidden"), Qt::CaseInsensitive) != 0;
    }
    if (name == id(T::Audio) || name == id(T::Video))
        return t.attribute(u"controls");
    return name == id(T::Img) && t.attribute(u"usemap");
}

void TreeBuilder::checkPlacement(const Token& t, int name) {
    if (m_foster || m_stack.empty())
        return;
    // Links and buttons hold no interactive elements: a click could not tell which is meant.
    if ((m_openCount[size_t(id(T::A))] > 0 || m_openCount[size_t(id(T::Button))] > 0) &&
        isInteractive(t, name)) {
        for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
            Node& n = m_stack[size_t(i)];
            if (!isHtml(n, id(T::A)) && !isHtml(n, id(T::Button)))
                continue;
            if (!(n.flags & kReconstructed)) {
                notAllowed(t,
                           QStringLiteral("%1 is not allowed inside %2: interactive elements do "
                                          "not nest")
                               .arg(startTag(nameOf(name)), startTag(nameOf(n))),
                           &n);
                return;
            }
            break;
        }
    }
    // The parent whose content model holds: transparent elements pass their parent's on.
    Node* parent = nullptr;
    for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
        Node& n = m_stack[size_t(i)];
        if (n.flags & kReconstructed)
            return;
        parent = &n;
        if (n.ns != Ns::Html || !hasFlag(n.name, kTransparent))
            break;
    }
    if (!parent || parent->ns != Ns::Html || parent->name >= htmldata::kTagCount)
        return; // custom and unknown elements hold anything
    const int p = parent->name;
    const auto child = [&] { return startTag(nameOf(name)); };
    const auto where = [&] { return startTag(nameOf(p)); };
    if (p == id(T::Template))
        return;
    if (name == id(T::Li)) {
        if (!in(p, {T::Ul, T::Ol, T::Menu, T::Dir}))
            notAllowed(t,
                       QStringLiteral("<li> is not allowed inside %1; a list item belongs in "
                                      "<ul>, <ol> or <menu>")
                           .arg(where()),
                       parent);
        return;
    }
    if (name == id(T::Dt) || name == id(T::Dd)) {
        bool ok = p == id(T::Dl);
        if (p == id(T::Div)) {
            const int i = indexOf(parent->serial);
            ok = i > 0 && isHtml(m_stack[size_t(i) - 1], id(T::Dl));
        }
        if (!ok)
            notAllowed(t,
                       QStringLiteral("%1 is not allowed inside %2; it belongs in <dl>")
                           .arg(child(), where()),
                       parent);
        return;
    }
    const bool scriptSupporting = in(name, {T::Script, T::Template});
    if (in(p, {T::Ul, T::Ol, T::Menu})) {
        if (!scriptSupporting)
            notAllowed(t,
                       QStringLiteral("%1 is not allowed directly inside %2; only <li> is")
                           .arg(child(), where()),
                       parent);
        return;
    }
    if (p == id(T::Dl)) {
        if (!scriptSupporting && name != id(T::Div))
            notAllowed(t,
                       QStringLiteral("%1 is not allowed directly inside <dl>; only <dt>, "
                                      "<dd> and <div> are")
                           .arg(child()),
                       parent);
        return;
    }
    // A summary or a legend may hold a heading besides text-level elements.
    const bool heading = hasFlag(name, kHeading) && (p == id(T::Summary) || p == id(T::Legend));
    if (name < htmldata::kTagCount && hasFlag(name, kBlock) && hasFlag(p, kPhrasingOnly) &&
        !heading) {
        notAllowed(t,
                   QStringLiteral("%1 is not allowed inside %2, which holds only text-level "
                                  "elements")
                       .arg(child(), where()),
                   parent);
        return;
    }
    if (hasFlag(name, kMetadataOnly) && m_mode != Mode::InHead && p != id(T::Head))
        notAllowed(t, QStringLiteral("%1 belongs in <head>").arg(child()), nullptr);
}

void TreeBuilder::checkText(const Token& t) {
    if (t.firstNonSpace < 0 || m_stack.empty())
        return;
    Node& n = m_stack.back();
    if (n.ns == Ns::Html && in(n.name, {T::Ul, T::Ol, T::Dl, T::Menu}))
        notAllowed(
            t, QStringLiteral("Text is not allowed directly inside %1").arg(startTag(nameOf(n))),
            &n);
}

void TreeBuilder::collectFacts(const Token& t, int name, Ns ns) {
    for (int i = 0; i < t.attributeCount; ++i) {
        const Attribute& a = t.attributes[size_t(i)];
        if (a.name == u"id" && a.valueOffset >= 0) {
            const QString v = value(a);
            if (v.isEmpty())
                continue;
            const auto it = m_facts.ids.constFind(v);
            if (it == m_facts.ids.constEnd())
                m_facts.ids.insert(v, a.nameOffset);
            else
                m_report.add(RuleId::DuplicateId, a.nameOffset, a.end - a.nameOffset,
                             QStringLiteral("Duplicate id \"%1\"").arg(v), *it);
            continue;
        }
        if (ns != Ns::Html)
            continue;
        if (name == id(T::A) && a.name == u"name") {
            m_facts.anchorNames.insert(value(a));
            continue;
        }
        if (name == id(T::Base) && a.name == u"href") {
            m_facts.hasBase = true;
            continue;
        }
        const bool href = a.name == u"href" && in(name, {T::A, T::Area, T::Link});
        const bool src =
            a.name == u"src" && in(name, {T::Img, T::Script, T::Iframe, T::Embed, T::Source,
                                          T::Audio, T::Video, T::Track, T::Input});
        const bool other = (a.name == u"poster" && name == id(T::Video)) ||
                           (a.name == u"data" && name == id(T::Object));
        if ((href || src || other) && a.valueOffset >= 0)
            m_facts.links.push_back({a.nameOffset, a.end - a.nameOffset, value(a)});
    }
}

// ---------------------------------------------------------------------------------------
// Active formatting elements

void TreeBuilder::pushFormatting(const Node& n) {
    // At most three equal elements (same name and attributes) after the last marker.
    int equal = 0, earliest = -1;
    const QStringView attributes = m_text.mid(n.attributesOffset, n.attributesLength);
    for (int i = int(m_formatting.size()) - 1; i >= 0; --i) {
        const Formatting& f = m_formatting[size_t(i)];
        if (f.marker)
            break;
        if (f.node.name == n.name &&
            m_text.mid(f.node.attributesOffset, f.node.attributesLength) == attributes) {
            ++equal;
            earliest = i;
        }
    }
    if (equal >= 3)
        m_formatting.erase(m_formatting.begin() + earliest);
    m_formatting.push_back({false, n});
}

void TreeBuilder::reconstructFormatting() {
    if (m_formatting.empty())
        return;
    const Formatting& last = m_formatting.back();
    if (last.marker || indexOf(last.node.serial) >= 0)
        return;
    size_t i = m_formatting.size() - 1;
    while (i > 0) {
        const Formatting& f = m_formatting[i - 1];
        if (f.marker || indexOf(f.node.serial) >= 0)
            break;
        --i;
    }
    for (; i < m_formatting.size(); ++i) {
        Node clone = m_formatting[i].node;
        clone.serial = ++m_serial;
        clone.flags = (clone.flags & kReported) | kReconstructed;
        push(clone);
        m_formatting[i].node = clone;
    }
}

void TreeBuilder::clearFormattingToMarker() {
    while (!m_formatting.empty()) {
        const bool marker = m_formatting.back().marker;
        m_formatting.pop_back();
        if (marker)
            return;
    }
}

int TreeBuilder::formattingIndex(std::uint32_t serial) const {
    for (int i = int(m_formatting.size()) - 1; i >= 0; --i)
        if (!m_formatting[size_t(i)].marker && m_formatting[size_t(i)].node.serial == serial)
            return i;
    return -1;
}

int TreeBuilder::formattingAfterMarker(int name) const {
    for (int i = int(m_formatting.size()) - 1; i >= 0; --i) {
        const Formatting& f = m_formatting[size_t(i)];
        if (f.marker)
            return -1;
        if (f.node.name == name)
            return i;
    }
    return -1;
}

// The adoption agency algorithm, on the stack and the list alone (no tree is kept).
// Returns false when the end tag is to be handled as any other end tag.
bool TreeBuilder::adoptionAgency(Token& t) {
    const int subject = m_tn;
    if (currentIs(subject) && formattingIndex(current().serial) < 0) {
        pop();
        return true;
    }
    bool reported = false;
    for (int outer = 0; outer < 8; ++outer) {
        const int fi = formattingAfterMarker(subject);
        if (fi < 0)
            return outer > 0;
        const Node formatting = m_formatting[size_t(fi)].node;
        const int si = indexOf(formatting.serial);
        if (si < 0) {
            // Its element was closed already (by the end tag of an element around it).
            if (!reported && !(formatting.flags & kReconstructed))
                strayEnd(t, QStringLiteral("%1 has no open %2")
                                .arg(tokenText(t), startTag(nameOf(subject))));
            m_formatting.erase(m_formatting.begin() + fi);
            return true;
        }
        if (inScope(subject, Scope::Default) != si) {
            strayEnd(t, QStringLiteral("%1 cannot close %2 here: it is outside the current "
                                       "element")
                            .arg(tokenText(t), startTag(nameOf(subject))));
            return true;
        }
        // The furthest block: the lowest special element above it.
        int fb = -1;
        for (size_t k = size_t(si) + 1; k < m_stack.size(); ++k) {
            const Node& n = m_stack[k];
            if (n.ns != Ns::Html || hasFlag(n.name, kSpecial)) {
                fb = int(k);
                break;
            }
        }
        if (fb < 0) {
            // What is above it closes with it: formatting elements among them are
            // reconstructed later, the others were misnested.
            while (int(m_stack.size()) - 1 > si) {
                Node& n = m_stack.back();
                if (!reported && !(n.flags & (kReconstructed | kImplied | kReported)) &&
                    !(n.ns == Ns::Html && hasFlag(n.name, kOptionalEnd))) {
                    if (formattingIndex(n.serial) >= 0) {
                        n.flags |= kReported;
                        const int index = m_report.add(RuleId::UnclosedElement, n.offset, n.length,
                                                       QStringLiteral("%1 is not closed before %2")
                                                           .arg(startTag(nameOf(n)), tokenText(t)),
                                                       t.offset);
                        addPending(n.name, index, t);
                        // Its clone that the parser makes later is the same mistake.
                        m_formatting[size_t(formattingIndex(n.serial))].node.flags |= kReported;
                    } else {
                        closedImplicitly(n, t);
                    }
                    reported = true;
                }
                pop();
            }
            pop();
            m_formatting.erase(m_formatting.begin() + fi);
            return true;
        }
        if (!reported && !(formatting.flags & kReconstructed)) {
            const Node& block = m_stack[size_t(fb)];
            m_report.add(RuleId::MisnestedEndTag, t.offset, t.end - t.offset,
                         QStringLiteral("%1 comes while %2 inside %3 is still open")
                             .arg(tokenText(t), startTag(nameOf(block)), startTag(nameOf(subject))),
                         formatting.offset);
            reported = true;
        }
        // Formatting elements between it and the furthest block move inside the block as
        // clones; others between them are dropped from the stack.
        int bookmark = fi;
        const std::uint32_t blockSerial = m_stack[size_t(fb)].serial;
        std::uint32_t lastSerial = blockSerial;
        int node = fb;
        for (int inner = 1;; ++inner) {
            --node;
            Node& n = m_stack[size_t(node)];
            if (n.serial == formatting.serial)
                break;
            const int nfi = formattingIndex(n.serial);
            if (inner > 3 && nfi >= 0) {
                m_formatting.erase(m_formatting.begin() + nfi);
                if (nfi < bookmark)
                    --bookmark;
            }
            const int nfi2 = formattingIndex(n.serial);
            if (nfi2 < 0) {
                removeAt(node);
                --fb;
                continue;
            }
            Node clone = n;
            clone.serial = ++m_serial;
            clone.flags |= kReconstructed;
            m_formatting[size_t(nfi2)].node = clone;
            counted(n, -1);
            n = clone;
            counted(n, 1);
            if (lastSerial == blockSerial)
                bookmark = nfi2 + 1;
            lastSerial = clone.serial;
        }
        Node clone = formatting;
        clone.serial = ++m_serial;
        clone.flags |= kReconstructed;
        m_formatting.insert(m_formatting.begin() + bookmark, {false, clone});
        m_formatting.erase(m_formatting.begin() + formattingIndex(formatting.serial));
        removeAt(indexOf(formatting.serial));
        insertAt(indexOf(blockSerial) + 1, clone);
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Before the body

void TreeBuilder::initial(Token& t) {
    if (t.type == Token::Characters && t.firstNonSpace < 0)
        return;
    if (t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype) {
        if (t.name != u"html")
            m_report.add(RuleId::BadDoctype, t.offset, t.end - t.offset,
                         QStringLiteral("The doctype of an HTML page is <!DOCTYPE html>"));
        else if (t.doctypeIds)
            m_report.add(RuleId::ObsoleteDoctype, t.offset, t.end - t.offset,
                         QStringLiteral("Obsolete doctype; today's pages start with "
                                        "<!DOCTYPE html>"));
        m_mode = Mode::BeforeHtml;
        return;
    }
    m_report.add(RuleId::MissingDoctype, 0, m_text.isEmpty() ? 0 : 1,
                 QStringLiteral("The page does not start with <!DOCTYPE html>"));
    m_mode = Mode::BeforeHtml;
    process(t);
}

void TreeBuilder::beforeHtml(Token& t) {
    if (t.type == Token::Doctype) {
        misplacedDoctype(t);
        return;
    }
    if (t.type == Token::Comment || (t.type == Token::Characters && t.firstNonSpace < 0))
        return;
    if (t.type == Token::StartTag && m_tn == id(T::Html)) {
        insertHtml(t, m_tn);
        m_mode = Mode::BeforeHead;
        return;
    }
    if (t.type == Token::EndTag && !in(m_tn, {T::Head, T::Body, T::Html, T::Br})) {
        strayEnd(t, QStringLiteral("Stray end tag %1").arg(tokenText(t)));
        return;
    }
    insertImplied(id(T::Html), t.offset);
    m_mode = Mode::BeforeHead;
    process(t);
}

void TreeBuilder::beforeHead(Token& t) {
    if (t.type == Token::Characters && t.firstNonSpace < 0)
        return;
    if (t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype) {
        misplacedDoctype(t);
        return;
    }
    if (t.type == Token::StartTag && m_tn == id(T::Html))
        return inBody(t);
    if (t.type == Token::StartTag && m_tn == id(T::Head)) {
        insertHtml(t, m_tn);
        m_headSeen = true;
        m_mode = Mode::InHead;
        return;
    }
    if (t.type == Token::EndTag && !in(m_tn, {T::Head, T::Body, T::Html, T::Br})) {
        strayEnd(t, QStringLiteral("Stray end tag %1").arg(tokenText(t)));
        return;
    }
    insertImplied(id(T::Head), t.offset);
    m_headSeen = true;
    m_mode = Mode::InHead;
    process(t);
}

void TreeBuilder::inHead(Token& t) {
    if (t.type == Token::Characters && t.firstNonSpace < 0)
        return;
    if (t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype) {
        misplacedDoctype(t);
        return;
    }
    if (t.type == Token::StartTag) {
        const int n = m_tn;
        if (n == id(T::Html))
            return inBody(t);
        if (in(n, {T::Base, T::Basefont, T::Bgsound, T::Link, T::Meta})) {
            insertHtml(t, n);
            pop();
            return;
        }
        if (n == id(T::Title))
            return startRawText(t, n, Tokenizer::Content::RcData);
        if (n == id(T::Noframes) || n == id(T::Style))
            return startRawText(t, n, Tokenizer::Content::RawText);
        if (n == id(T::Noscript)) {
            insertHtml(t, n);
            m_mode = Mode::InHeadNoscript;
            return;
        }
        if (n == id(T::Script))
            return startRawText(t, n, Tokenizer::Content::ScriptData);
        if (n == id(T::Template)) {
            insertHtml(t, n);
            m_formatting.push_back({true, {}});
            m_mode = Mode::InTemplate;
            m_templateModes.push_back(Mode::InTemplate);
            return;
        }
        if (n == id(T::Head)) {
            ignoredStart(t, QStringLiteral("A second <head> is ignored"));
            return;
        }
    }
    if (t.type == Token::EndTag) {
        const int n = m_tn;
        if (n == id(T::Head)) {
            if (currentIs(n))
                pop();
            m_mode = Mode::AfterHead;
            return;
        }
        if (n == id(T::Template)) {
            const int i = inScope(n, Scope::Table);
            if (!onStack(n) || i < 0) {
                strayEnd(t, QStringLiteral("%1 has no open <template>").arg(tokenText(t)));
                return;
            }
            generateImpliedEndTagsThoroughly();
            popUntil(n, t);
            clearFormattingToMarker();
            if (!m_templateModes.empty())
                m_templateModes.pop_back();
            resetInsertionMode();
            return;
        }
        if (!in(n, {T::Body, T::Html, T::Br})) {
            strayEnd(t, QStringLiteral("Stray end tag %1 in <head>").arg(tokenText(t)));
            return;
        }
    }
    // Anything else ends the head.
    if (currentIs(id(T::Head)))
        pop();
    m_mode = Mode::AfterHead;
    process(t);
}

void TreeBuilder::inHeadNoscript(Token& t) {
    if (t.type == Token::Doctype)
        return inHead(t);
    if (t.type == Token::EndTag && m_tn == id(T::Noscript)) {
        pop();
        m_mode = Mode::InHead;
        return;
    }
    if ((t.type == Token::Characters && t.firstNonSpace < 0) || t.type == Token::Comment ||
        (t.type == Token::StartTag &&
         in(m_tn, {T::Basefont, T::Bgsound, T::Link, T::Meta, T::Noframes, T::Style})))
        return inHead(t);
    if (t.type == Token::StartTag && m_tn == id(T::Html))
        return inBody(t);
    if (t.type == Token::StartTag && (m_tn == id(T::Head) || m_tn == id(T::Noscript))) {
        ignoredStart(t, QStringLiteral("%1 is not allowed inside <noscript>").arg(tokenText(t)));
        return;
    }
    if (t.type == Token::EndTag && m_tn != id(T::Br)) {
        strayEnd(t, QStringLiteral("Stray end tag %1").arg(tokenText(t)));
        return;
    }
    if (t.type != Token::EndOfFile)
        notAllowed(t,
                   t.type == Token::Characters
                       ? QStringLiteral("Text is not allowed in a <noscript> inside <head>")
                       : QStringLiteral("%1 is not allowed in a <noscript> inside <head>")
                             .arg(tokenText(t)),
                   &current());
    addPending(id(T::Noscript), -1, t); // its end tag, if it comes, is the same mistake
    pop();
    m_mode = Mode::InHead;
    process(t);
}

void TreeBuilder::afterHead(Token& t) {
    if ((t.type == Token::Characters && t.firstNonSpace < 0) || t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype)
        return inHead(t);
    if (t.type == Token::StartTag) {
        const int n = m_tn;
        if (n == id(T::Html))
            return inBody(t);
        if (n == id(T::Body)) {
            insertHtml(t, n);
            m_mode = Mode::InBody;
            return;
        }
        if (n == id(T::Frameset)) {
            insertHtml(t, n);
            m_mode = Mode::InFrameset;
            return;
        }
        if (in(n, {T::Base, T::Basefont, T::Bgsound, T::Link, T::Meta, T::Noframes, T::Script,
                   T::Style, T::Template, T::Title})) {
            // Browsers put it back into the head: only title and base must be there.
            if (in(n, {T::Title, T::Base}))
                m_report.add(
                    RuleId::NotAllowedHere, t.offset, t.end - t.offset,
                    QStringLiteral("%1 after </head>; it belongs in <head>").arg(tokenText(t)));
            Node head;
            head.name = id(T::Head);
            head.flags = kImplied;
            head.serial = ++m_serial;
            push(head);
            const std::uint32_t serial = head.serial;
            inHead(t);
            const int i = indexOf(serial);
            if (i >= 0)
                removeAt(i);
            return;
        }
        if (n == id(T::Head)) {
            ignoredStart(t, QStringLiteral("A second <head> is ignored"));
            return;
        }
    }
    if (t.type == Token::EndTag) {
        if (m_tn == id(T::Template))
            return inHead(t);
        if (!in(m_tn, {T::Body, T::Html, T::Br})) {
            strayEnd(t, QStringLiteral("Stray end tag %1").arg(tokenText(t)));
            return;
        }
    }
    insertImplied(id(T::Body), t.offset);
    m_mode = Mode::InBody;
    process(t);
}

// ---------------------------------------------------------------------------------------
// In the body

void TreeBuilder::inBody(Token& t) {
    switch (t.type) {
    case Token::Characters:
        reconstructFormatting();
        checkText(t);
        return;
    case Token::Comment:
        return;
    case Token::Doctype:
        misplacedDoctype(t);
        return;
    case Token::StartTag:
        return inBodyStartTag(t);
    case Token::EndTag:
        return inBodyEndTag(t);
    case Token::EndOfFile:
        return endOfFile(t);
    }
}

void TreeBuilder::inBodyStartTag(Token& t) {
    const int n = m_tn;
    const auto closeP = [&] {
        if (inScope(id(T::P), Scope::Button) >= 0)
            closePElement(t);
    };
    if (n == id(T::Html)) {
        ignoredStart(t, QStringLiteral("A second <html> is ignored"));
        return;
    }
    if (in(n, {T::Base, T::Basefont, T::Bgsound, T::Link, T::Meta, T::Noframes, T::Script, T::Style,
               T::Template, T::Title}))
        return inHead(t);
    if (n == id(T::Body) || n == id(T::Frameset)) {
        ignoredStart(t, QStringLiteral("%1 inside the body is ignored").arg(tokenText(t)));
        return;
    }
    if (in(n,
           {T::Address, T::Article, T::Aside,   T::Blockquote, T::Center,     T::Details, T::Dialog,
            T::Dir,     T::Div,     T::Dl,      T::Fieldset,   T::Figcaption, T::Figure,  T::Footer,
            T::Header,  T::Hgroup,  T::Main,    T::Menu,       T::Nav,        T::Ol,      T::P,
            T::Search,  T::Section, T::Summary, T::Ul})) {
        closeP();
        insertHtml(t, n);
        return;
    }
    if (hasFlag(n, kHeading)) {
        closeP();
        if (!m_stack.empty() && current().ns == Ns::Html && hasFlag(current().name, kHeading)) {
            Node& open = current();
            notAllowed(t,
                       QStringLiteral("%1 is not allowed inside %2; the heading ends here")
                           .arg(tokenText(t), startTag(nameOf(open))),
                       nullptr);
            addPending(open.name, -1, t);
            pop();
        }
        insertHtml(t, n);
        return;
    }
    if (n == id(T::Pre) || n == id(T::Listing)) {
        closeP();
        insertHtml(t, n);
        return;
    }
    if (n == id(T::Form)) {
        if (m_form && !onStack(id(T::Template))) {
            ignoredStart(t, QStringLiteral("A <form> inside another <form> is ignored"));
            return;
        }
        closeP();
        const Node& form = insertHtml(t, n);
        if (!onStack(id(T::Template)))
            m_form = form.serial;
        return;
    }
    if (n == id(T::Li) || n == id(T::Dd) || n == id(T::Dt)) {
        for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
            const Node& node = m_stack[size_t(i)];
            const bool match = n == id(T::Li)
                                   ? isHtml(node, id(T::Li))
                                   : (isHtml(node, id(T::Dd)) || isHtml(node, id(T::Dt)));
            if (match) {
                generateImpliedEndTags(node.name);
                popTo(i, t);
                break;
            }
            if ((node.ns != Ns::Html || hasFlag(node.name, kSpecial)) &&
                !in(node.name, {T::Address, T::Div, T::P}))
                break;
        }
        closeP();
        insertHtml(t, n);
        return;
    }
    if (n == id(T::Plaintext)) {
        closeP();
        insertHtml(t, n);
        m_tokenizer.setContent(Tokenizer::Content::PlainText, t.name);
        return;
    }
    if (n == id(T::Button)) {
        if (const int i = inScope(n, Scope::Default); i >= 0) {
            notAllowed(t, QStringLiteral("<button> is not allowed inside another <button>"),
                       nullptr);
            generateImpliedEndTags();
            popTo(i, t);
        }
        reconstructFormatting();
        insertHtml(t, n);
        return;
    }
    if (n == id(T::A)) {
        const int fi = formattingAfterMarker(n);
        if (fi >= 0) {
            // Links do not nest: browsers end the first one here; what it holds is not a
            // mistake of its own.
            const Node first = m_formatting[size_t(fi)].node;
            const std::uint32_t serial = first.serial;
            Token end;
            end.type = Token::EndTag;
            end.offset = t.offset;
            end.end = t.end;
            end.name = t.name;
            const size_t findings = m_report.findings().size();
            const std::vector<Pending> pending = m_pending;
            adoptionAgency(end);
            m_report.truncate(findings);
            m_pending = pending;
            if (!(first.flags & (kReported | kReconstructed))) {
                const int index =
                    m_report.add(RuleId::UnclosedElement, first.offset, first.length,
                                 QStringLiteral("<a> is not closed before the next <a>"), t.offset);
                addPending(n, index, t);
            }
            const int left = formattingIndex(serial);
            if (left >= 0)
                m_formatting.erase(m_formatting.begin() + left);
            const int si = indexOf(serial);
            if (si >= 0)
                removeAt(si);
        }
        reconstructFormatting();
        pushFormatting(insertHtml(t, n));
        return;
    }
    if (in(n, {T::B, T::Big, T::Code, T::Em, T::Font, T::I, T::S, T::Small, T::Strike, T::Strong,
               T::Tt, T::U})) {
        reconstructFormatting();
        pushFormatting(insertHtml(t, n));
        return;
    }
    if (n == id(T::Nobr)) {
        reconstructFormatting();
        if (inScope(n, Scope::Default) >= 0) {
            Token end = t;
            end.type = Token::EndTag;
            adoptionAgency(end);
            reconstructFormatting();
        }
        pushFormatting(insertHtml(t, n));
        return;
    }
    if (in(n, {T::Applet, T::Marquee, T::Object})) {
        reconstructFormatting();
        insertHtml(t, n);
        m_formatting.push_back({true, {}});
        return;
    }
    if (n == id(T::Table)) {
        closeP();
        insertHtml(t, n);
        m_mode = Mode::InTable;
        return;
    }
    if (in(n, {T::Area, T::Br, T::Embed, T::Img, T::Keygen, T::Wbr, T::Input})) {
        reconstructFormatting();
        insertHtml(t, n);
        pop();
        return;
    }
    if (in(n, {T::Param, T::Source, T::Track})) {
        insertHtml(t, n);
        pop();
        return;
    }
    if (n == id(T::Hr)) {
        closeP();
        insertHtml(t, n);
        pop();
        return;
    }
    if (n == id(T::Image)) {
        reconstructFormatting();
        m_report.add(RuleId::UnknownElement, t.offset, t.end - t.offset,
                     QStringLiteral("<image> is not an element; browsers read it as <img>"));
        Node& img = insertHtml(t, id(T::Img));
        img.flags |= kReported;
        pop();
        return;
    }
    if (n == id(T::Textarea))
        return startRawText(t, n, Tokenizer::Content::RcData);
    if (n == id(T::Xmp)) {
        closeP();
        reconstructFormatting();
        return startRawText(t, n, Tokenizer::Content::RawText);
    }
    if (n == id(T::Iframe) || n == id(T::Noembed))
        return startRawText(t, n, Tokenizer::Content::RawText);
    if (n == id(T::Select)) {
        reconstructFormatting();
        insertHtml(t, n);
        m_mode = (m_mode == Mode::InTable || m_mode == Mode::InCaption ||
                  m_mode == Mode::InTableBody || m_mode == Mode::InRow || m_mode == Mode::InCell)
                     ? Mode::InSelectInTable
                     : Mode::InSelect;
        return;
    }
    if (n == id(T::Optgroup) || n == id(T::Option)) {
        if (currentIs(id(T::Option)))
            pop();
        reconstructFormatting();
        insertHtml(t, n);
        return;
    }
    if (n == id(T::Rb) || n == id(T::Rtc)) {
        if (inScope(id(T::Ruby), Scope::Default) >= 0)
            generateImpliedEndTags();
        insertHtml(t, n);
        return;
    }
    if (n == id(T::Rp) || n == id(T::Rt)) {
        if (inScope(id(T::Ruby), Scope::Default) >= 0)
            generateImpliedEndTags(id(T::Rtc));
        insertHtml(t, n);
        return;
    }
    if (n == id(T::Math) || n == id(T::Svg)) {
        reconstructFormatting();
        checkPlacement(t, n);
        insertForeign(t, n == id(T::Math) ? Ns::MathMl : Ns::Svg);
        return;
    }
    if (in(n, {T::Caption, T::Col, T::Colgroup, T::Frame, T::Head, T::Tbody, T::Td, T::Tfoot, T::Th,
               T::Thead, T::Tr})) {
        ignoredStart(t, n == id(T::Head) || n == id(T::Frame)
                            ? QStringLiteral("%1 inside the body is ignored").arg(tokenText(t))
                            : QStringLiteral("%1 outside a <table> is ignored").arg(tokenText(t)));
        return;
    }
    reconstructFormatting();
    insertHtml(t, n);
}

void TreeBuilder::inBodyEndTag(Token& t) {
    const int n = m_tn;
    const auto stray = [&] {
        return QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n)));
    };
    if (n == id(T::Template))
        return inHead(t);
    if (n == id(T::Body) || n == id(T::Html)) {
        if (inScope(id(T::Body), Scope::Default) < 0) {
            strayEnd(t, stray());
            return;
        }
        reportOpenElements(t);
        m_mode = Mode::AfterBody;
        if (n == id(T::Html))
            process(t);
        return;
    }
    if (in(n, {T::Address,    T::Article, T::Aside,  T::Blockquote, T::Button, T::Center,
               T::Details,    T::Dialog,  T::Dir,    T::Div,        T::Dl,     T::Fieldset,
               T::Figcaption, T::Figure,  T::Footer, T::Header,     T::Hgroup, T::Listing,
               T::Main,       T::Menu,    T::Nav,    T::Ol,         T::Pre,    T::Search,
               T::Section,    T::Summary, T::Ul})) {
        const int i = inScope(n, Scope::Default);
        if (i < 0) {
            strayEnd(t, stray());
            return;
        }
        generateImpliedEndTags();
        popTo(i, t);
        return;
    }
    if (n == id(T::Form)) {
        if (!onStack(id(T::Template))) {
            const std::uint32_t form = m_form;
            m_form = 0;
            const int i = form ? indexOf(form) : -1;
            if (i < 0 || inScope(n, Scope::Default) != i) {
                strayEnd(t, stray());
                return;
            }
            generateImpliedEndTags();
            if (int(m_stack.size()) - 1 != i) {
                Node& open = current();
                if (!(open.flags & (kReconstructed | kImplied | kReported)) &&
                    !hasFlag(open.name, kOptionalEnd)) {
                    open.flags |= kReported;
                    m_report.add(RuleId::MisnestedEndTag, t.offset, t.end - t.offset,
                                 QStringLiteral("</form> comes while %1 inside it is still open")
                                     .arg(startTag(nameOf(open))),
                                 open.offset);
                }
            }
            removeAt(i);
            return;
        }
        const int i = inScope(n, Scope::Default);
        if (i < 0) {
            strayEnd(t, stray());
            return;
        }
        generateImpliedEndTags();
        popTo(i, t);
        return;
    }
    if (n == id(T::P)) {
        if (inScope(n, Scope::Button) < 0) {
            strayEnd(t, QStringLiteral("</p> has no open <p>; browsers add an empty paragraph"));
            insertImplied(n, t.offset);
        }
        closePElement(t);
        return;
    }
    if (n == id(T::Li)) {
        const int i = inScope(n, Scope::ListItem);
        if (i < 0) {
            strayEnd(t, stray());
            return;
        }
        generateImpliedEndTags(n);
        popTo(i, t);
        return;
    }
    if (n == id(T::Dd) || n == id(T::Dt)) {
        const int i = inScope(n, Scope::Default);
        if (i < 0) {
            strayEnd(t, stray());
            return;
        }
        generateImpliedEndTags(n);
        popTo(i, t);
        return;
    }
    if (hasFlag(n, kHeading)) {
        const int i = headingInScope();
        if (i < 0) {
            strayEnd(t, QStringLiteral("%1 has no open heading").arg(tokenText(t)));
            return;
        }
        generateImpliedEndTags();
        if (m_stack[size_t(i)].name != n && int(m_stack.size()) - 1 == i) {
            Node& h = m_stack[size_t(i)];
            m_report.add(RuleId::MisnestedEndTag, t.offset, t.end - t.offset,
                         QStringLiteral("%1 closes %2").arg(tokenText(t), startTag(nameOf(h))),
                         h.offset);
            h.flags |= kReported;
            addPending(h.name, -1, t);
        }
        popTo(i, t);
        return;
    }
    if (hasFlag(n, kFormatting)) {
        if (!adoptionAgency(t))
            anyOtherEndTag(t);
        return;
    }
    if (in(n, {T::Applet, T::Marquee, T::Object})) {
        const int i = inScope(n, Scope::Default);
        if (i < 0) {
            strayEnd(t, stray());
            return;
        }
        generateImpliedEndTags();
        popTo(i, t);
        clearFormattingToMarker();
        return;
    }
    if (n == id(T::Br)) {
        m_report.add(RuleId::StrayEndTag, t.offset, t.end - t.offset,
                     QStringLiteral("</br> is not an end tag; write <br>"));
        reconstructFormatting();
        return;
    }
    anyOtherEndTag(t);
}

void TreeBuilder::anyOtherEndTag(Token& t) {
    const int n = m_tn;
    for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
        Node& node = m_stack[size_t(i)];
        if (isHtml(node, n)) {
            generateImpliedEndTags(n);
            popTo(i, t);
            return;
        }
        if (node.ns != Ns::Html || hasFlag(node.name, kSpecial)) {
            if (n < htmldata::kTagCount && htmldata::isVoid(Tag(n))) {
                strayEnd(t, QStringLiteral("%1 has no end tag; remove %2")
                                .arg(startTag(nameOf(n)), tokenText(t)));
            } else if (onStack(n)) {
                m_report.add(RuleId::MisnestedEndTag, t.offset, t.end - t.offset,
                             QStringLiteral("%1 comes while %2 inside %3 is still open")
                                 .arg(tokenText(t), startTag(nameOf(node)), startTag(nameOf(n))),
                             node.offset);
                // The element it meant stays open: that is the same mistake.
                for (int k = i - 1; k >= 0; --k)
                    if (isHtml(m_stack[size_t(k)], n)) {
                        m_stack[size_t(k)].flags |= kReported;
                        break;
                    }
            } else {
                strayEnd(
                    t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            }
            return;
        }
    }
    strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
}

void TreeBuilder::text(Token& t) {
    if (t.type == Token::Characters) {
        if (t.firstNonSpace >= 0 && isHtml(current(), id(T::Iframe)))
            notAllowed(t, QStringLiteral("Text is not allowed inside <iframe>"), &current());
        return;
    }
    if (t.type == Token::EndOfFile) {
        Node& n = current();
        if (!(n.flags & kReported))
            unclosed(n,
                     QStringLiteral("%1 is not closed: the rest of the page is read as its text")
                         .arg(startTag(nameOf(n))),
                     -1);
        pop();
        m_mode = m_originalMode;
        return process(t);
    }
    pop();
    m_mode = m_originalMode;
}

// ---------------------------------------------------------------------------------------
// Tables

void TreeBuilder::inTable(Token& t) {
    if (bodyEndInTable(t))
        return;
    const int n = m_tn;
    if (t.type == Token::Characters) {
        if (t.firstNonSpace >= 0 && !m_stack.empty() && current().ns == Ns::Html &&
            in(current().name, {T::Table, T::Tbody, T::Template, T::Tfoot, T::Thead, T::Tr})) {
            Node* table = nullptr;
            for (int i = int(m_stack.size()) - 1; i >= 0 && !table; --i)
                if (isHtml(m_stack[size_t(i)], id(T::Table)))
                    table = &m_stack[size_t(i)];
            notAllowed(t,
                       QStringLiteral("Text is not allowed inside %1 outside a cell; browsers "
                                      "move it before the table")
                           .arg(startTag(nameOf((current().flags & kImplied) ? id(T::Table)
                                                                             : current().name))),
                       table ? table : &current());
            m_foster = true;
            inBody(t);
            m_foster = false;
            return;
        }
        if (t.firstNonSpace < 0)
            return;
    }
    if (t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype)
        return inBody(t);
    if (t.type == Token::StartTag) {
        if (n == id(T::Caption)) {
            clearStackBackTo({id(T::Table), id(T::Template), id(T::Html)}, t);
            m_formatting.push_back({true, {}});
            insertHtml(t, n);
            m_mode = Mode::InCaption;
            return;
        }
        if (n == id(T::Colgroup)) {
            clearStackBackTo({id(T::Table), id(T::Template), id(T::Html)}, t);
            insertHtml(t, n);
            m_mode = Mode::InColumnGroup;
            return;
        }
        if (n == id(T::Col)) {
            clearStackBackTo({id(T::Table), id(T::Template), id(T::Html)}, t);
            insertImplied(id(T::Colgroup), t.offset);
            m_mode = Mode::InColumnGroup;
            return process(t);
        }
        if (in(n, {T::Tbody, T::Tfoot, T::Thead})) {
            clearStackBackTo({id(T::Table), id(T::Template), id(T::Html)}, t);
            insertHtml(t, n);
            m_mode = Mode::InTableBody;
            return;
        }
        if (in(n, {T::Td, T::Th, T::Tr})) {
            clearStackBackTo({id(T::Table), id(T::Template), id(T::Html)}, t);
            insertImplied(id(T::Tbody), t.offset);
            m_mode = Mode::InTableBody;
            return process(t);
        }
        if (n == id(T::Table)) {
            const int i = inScope(n, Scope::Table);
            notAllowed(t,
                       QStringLiteral("A <table> cannot start directly inside a <table>; the "
                                      "first table ends here"),
                       nullptr);
            if (i < 0)
                return;
            popTo(i, t);
            resetInsertionMode();
            return process(t);
        }
        if (in(n, {T::Style, T::Script, T::Template}))
            return inHead(t);
        if (n == id(T::Input)) {
            const Attribute* type = t.attribute(u"type");
            if (type && value(*type).compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0) {
                insertHtml(t, n);
                pop();
                return;
            }
        }
        if (n == id(T::Form)) {
            if (m_form || onStack(id(T::Template))) {
                ignoredStart(t, QStringLiteral("A <form> inside another <form> is ignored"));
                return;
            }
            insertHtml(t, n);
            pop();
            return;
        }
    }
    if (t.type == Token::EndTag) {
        if (n == id(T::Table)) {
            const int i = inScope(n, Scope::Table);
            if (i < 0) {
                strayEnd(t, QStringLiteral("</table> has no open <table>"));
                return;
            }
            popTo(i, t);
            resetInsertionMode();
            return;
        }
        if (in(n, {T::Body, T::Caption, T::Col, T::Colgroup, T::Html, T::Tbody, T::Td, T::Tfoot,
                   T::Th, T::Thead, T::Tr})) {
            strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        if (n == id(T::Template))
            return inHead(t);
    }
    if (t.type == Token::EndOfFile)
        return inBody(t);
    // Anything else is moved before the table by browsers.
    if (t.type == Token::StartTag) {
        Node* table = nullptr;
        for (int i = int(m_stack.size()) - 1; i >= 0 && !table; --i)
            if (isHtml(m_stack[size_t(i)], id(T::Table)))
                table = &m_stack[size_t(i)];
        notAllowed(
            t,
            QStringLiteral("%1 is not allowed inside %2 outside a cell; browsers move it "
                           "before the table")
                .arg(tokenText(t), startTag(nameOf((current().flags & kImplied) ? id(T::Table)
                                                                                : current().name))),
            table ? table : &current());
    }
    m_foster = true;
    inBody(t);
    m_foster = false;
}

bool TreeBuilder::bodyEndInTable(const Token& t) {
    if (t.type != Token::EndTag || (m_tn != id(T::Body) && m_tn != id(T::Html)))
        return false;
    // The table, or what is open in it, is not closed: browsers ignore this end tag.
    reportOpenElements(t);
    return true;
}

void TreeBuilder::reportOpenElements(const Token& t) {
    for (Node& open : m_stack)
        if (!(open.ns == Ns::Html && hasFlag(open.name, kOptionalEnd)) &&
            !(open.flags & (kReconstructed | kImplied | kReported)))
            unclosed(open,
                     QStringLiteral("%1 is not closed before %2")
                         .arg(startTag(nameOf(open)), tokenText(t)),
                     t.offset);
}

void TreeBuilder::inCaption(Token& t) {
    if (bodyEndInTable(t))
        return;
    const int n = m_tn;
    const bool tableStart =
        t.type == Token::StartTag &&
        in(n, {T::Caption, T::Col, T::Colgroup, T::Tbody, T::Td, T::Tfoot, T::Th, T::Thead, T::Tr});
    if ((t.type == Token::EndTag && (n == id(T::Caption) || n == id(T::Table))) || tableStart) {
        const int i = inScope(id(T::Caption), Scope::Table);
        if (i < 0) {
            strayEnd(t, QStringLiteral("%1 has no open <caption>").arg(tokenText(t)));
            return;
        }
        generateImpliedEndTags();
        popTo(i, t);
        clearFormattingToMarker();
        m_mode = Mode::InTable;
        if (n != id(T::Caption) || t.type == Token::StartTag)
            process(t);
        return;
    }
    if (t.type == Token::EndTag && in(n, {T::Body, T::Col, T::Colgroup, T::Html, T::Tbody, T::Td,
                                          T::Tfoot, T::Th, T::Thead, T::Tr})) {
        strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
        return;
    }
    inBody(t);
}

void TreeBuilder::inColumnGroup(Token& t) {
    const int n = m_tn;
    if ((t.type == Token::Characters && t.firstNonSpace < 0) || t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype)
        return inBody(t);
    if (t.type == Token::StartTag && n == id(T::Html))
        return inBody(t);
    if (t.type == Token::StartTag && n == id(T::Col)) {
        insertHtml(t, n);
        pop();
        return;
    }
    if (t.type == Token::EndTag && n == id(T::Colgroup)) {
        if (!currentIs(id(T::Colgroup))) {
            strayEnd(t, QStringLiteral("</colgroup> has no open <colgroup>"));
            return;
        }
        pop();
        m_mode = Mode::InTable;
        return;
    }
    if (t.type == Token::EndTag && n == id(T::Col)) {
        strayEnd(t, QStringLiteral("<col> has no end tag; remove </col>"));
        return;
    }
    if ((t.type == Token::StartTag || t.type == Token::EndTag) && n == id(T::Template))
        return inHead(t);
    if (t.type == Token::EndOfFile)
        return inBody(t);
    if (!currentIs(id(T::Colgroup))) {
        if (t.type == Token::EndTag)
            strayEnd(t, QStringLiteral("Stray end tag %1").arg(tokenText(t)));
        return;
    }
    pop();
    m_mode = Mode::InTable;
    process(t);
}

void TreeBuilder::inTableBody(Token& t) {
    if (bodyEndInTable(t))
        return;
    const int n = m_tn;
    const std::initializer_list<int> context = {id(T::Tbody), id(T::Tfoot), id(T::Thead),
                                                id(T::Template), id(T::Html)};
    if (t.type == Token::StartTag && n == id(T::Tr)) {
        clearStackBackTo(context, t);
        insertHtml(t, n);
        m_mode = Mode::InRow;
        return;
    }
    if (t.type == Token::StartTag && (n == id(T::Td) || n == id(T::Th))) {
        notAllowed(t, QStringLiteral("%1 must be inside <tr>").arg(tokenText(t)), nullptr);
        clearStackBackTo(context, t);
        insertImplied(id(T::Tr), t.offset);
        m_mode = Mode::InRow;
        return process(t);
    }
    if (t.type == Token::EndTag && in(n, {T::Tbody, T::Tfoot, T::Thead})) {
        if (inScope(n, Scope::Table) < 0) {
            strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        clearStackBackTo(context, t);
        pop();
        m_mode = Mode::InTable;
        return;
    }
    if ((t.type == Token::StartTag &&
         in(n, {T::Caption, T::Col, T::Colgroup, T::Tbody, T::Tfoot, T::Thead})) ||
        (t.type == Token::EndTag && n == id(T::Table))) {
        if (tableSectionInTableScope() < 0) {
            if (t.type == Token::EndTag)
                strayEnd(t, QStringLiteral("</table> has no open <table>"));
            return;
        }
        clearStackBackTo(context, t);
        pop();
        m_mode = Mode::InTable;
        return process(t);
    }
    if (t.type == Token::EndTag &&
        in(n, {T::Body, T::Caption, T::Col, T::Colgroup, T::Html, T::Td, T::Th, T::Tr})) {
        strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
        return;
    }
    inTable(t);
}

void TreeBuilder::inRow(Token& t) {
    if (bodyEndInTable(t))
        return;
    const int n = m_tn;
    const std::initializer_list<int> context = {id(T::Tr), id(T::Template), id(T::Html)};
    if (t.type == Token::StartTag && (n == id(T::Td) || n == id(T::Th))) {
        clearStackBackTo(context, t);
        insertHtml(t, n);
        m_mode = Mode::InCell;
        m_formatting.push_back({true, {}});
        return;
    }
    const bool closesRow =
        (t.type == Token::StartTag &&
         in(n, {T::Caption, T::Col, T::Colgroup, T::Tbody, T::Tfoot, T::Thead, T::Tr})) ||
        (t.type == Token::EndTag && (n == id(T::Table) || n == id(T::Tr)));
    if (closesRow) {
        if (inScope(id(T::Tr), Scope::Table) < 0) {
            if (t.type == Token::EndTag)
                strayEnd(
                    t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        clearStackBackTo(context, t);
        pop();
        m_mode = Mode::InTableBody;
        if (!(t.type == Token::EndTag && n == id(T::Tr)))
            process(t);
        return;
    }
    if (t.type == Token::EndTag && in(n, {T::Tbody, T::Tfoot, T::Thead})) {
        if (inScope(n, Scope::Table) < 0) {
            strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        if (inScope(id(T::Tr), Scope::Table) < 0)
            return;
        clearStackBackTo(context, t);
        pop();
        m_mode = Mode::InTableBody;
        return process(t);
    }
    if (t.type == Token::EndTag &&
        in(n, {T::Body, T::Caption, T::Col, T::Colgroup, T::Html, T::Td, T::Th})) {
        strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
        return;
    }
    inTable(t);
}

void TreeBuilder::inCell(Token& t) {
    if (bodyEndInTable(t))
        return;
    const int n = m_tn;
    const auto closeCell = [&] {
        generateImpliedEndTags();
        const int i = cellInTableScope();
        if (i >= 0)
            popTo(i, t);
        clearFormattingToMarker();
        m_mode = Mode::InRow;
    };
    if (t.type == Token::EndTag && (n == id(T::Td) || n == id(T::Th))) {
        const int i = inScope(n, Scope::Table);
        if (i < 0) {
            strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        generateImpliedEndTags();
        popTo(i, t);
        clearFormattingToMarker();
        m_mode = Mode::InRow;
        return;
    }
    if (t.type == Token::StartTag && in(n, {T::Caption, T::Col, T::Colgroup, T::Tbody, T::Td,
                                            T::Tfoot, T::Th, T::Thead, T::Tr})) {
        if (cellInTableScope() < 0)
            return;
        closeCell();
        return process(t);
    }
    if (t.type == Token::EndTag && in(n, {T::Body, T::Caption, T::Col, T::Colgroup, T::Html})) {
        strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
        return;
    }
    if (t.type == Token::EndTag && in(n, {T::Table, T::Tbody, T::Tfoot, T::Thead, T::Tr})) {
        if (inScope(n, Scope::Table) < 0) {
            strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        closeCell();
        return process(t);
    }
    inBody(t);
}

// ---------------------------------------------------------------------------------------
// Select, template, after the body, frames

void TreeBuilder::inSelect(Token& t) {
    const int n = m_tn;
    switch (t.type) {
    case Token::Characters:
    case Token::Comment:
        return;
    case Token::Doctype:
        return inBody(t);
    case Token::EndOfFile:
        return inBody(t);
    case Token::StartTag:
        if (n == id(T::Html))
            return inBody(t);
        if (n == id(T::Option)) {
            if (currentIs(id(T::Option)))
                pop();
            insertHtml(t, n);
            return;
        }
        if (n == id(T::Optgroup) || n == id(T::Hr)) {
            if (currentIs(id(T::Option)))
                pop();
            if (currentIs(id(T::Optgroup)))
                pop();
            insertHtml(t, n);
            if (n == id(T::Hr))
                pop();
            return;
        }
        if (in(n, {T::Select, T::Input, T::Keygen, T::Textarea})) {
            const int i = inScope(id(T::Select), Scope::Select);
            notAllowed(t,
                       QStringLiteral("%1 is not allowed inside <select>; the select ends here")
                           .arg(tokenText(t)),
                       nullptr);
            if (i < 0)
                return;
            m_stack[size_t(i)].flags |= kReported;
            addPending(id(T::Select), -1, t);
            popTo(i, t);
            resetInsertionMode();
            if (n != id(T::Select))
                process(t);
            return;
        }
        if (n == id(T::Script) || n == id(T::Template))
            return inHead(t);
        notAllowed(
            t,
            QStringLiteral("%1 is not allowed inside <select>; browsers drop it").arg(tokenText(t)),
            nullptr);
        addPending(n, -1, t);
        return;
    case Token::EndTag:
        if (n == id(T::Optgroup)) {
            if (currentIs(id(T::Option)) && m_stack.size() > 1 &&
                isHtml(m_stack[m_stack.size() - 2], id(T::Optgroup)))
                pop();
            if (currentIs(id(T::Optgroup)))
                pop();
            else
                strayEnd(t, QStringLiteral("</optgroup> has no open <optgroup>"));
            return;
        }
        if (n == id(T::Option)) {
            if (currentIs(id(T::Option)))
                pop();
            else
                strayEnd(t, QStringLiteral("</option> has no open <option>"));
            return;
        }
        if (n == id(T::Select)) {
            const int i = inScope(n, Scope::Select);
            if (i < 0) {
                strayEnd(t, QStringLiteral("</select> has no open <select>"));
                return;
            }
            popTo(i, t);
            resetInsertionMode();
            return;
        }
        if (n == id(T::Template))
            return inHead(t);
        strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
        return;
    }
}

void TreeBuilder::inSelectInTable(Token& t) {
    const int n = m_tn;
    if ((t.type == Token::StartTag || t.type == Token::EndTag) &&
        in(n, {T::Caption, T::Table, T::Tbody, T::Tfoot, T::Thead, T::Tr, T::Td, T::Th})) {
        if (t.type == Token::EndTag && inScope(n, Scope::Table) < 0) {
            strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
            return;
        }
        const int select = inScope(id(T::Select), Scope::Select);
        if (t.type == Token::StartTag) {
            notAllowed(t,
                       QStringLiteral("%1 is not allowed inside <select>; the select ends here")
                           .arg(tokenText(t)),
                       nullptr);
            if (select >= 0) {
                m_stack[size_t(select)].flags |= kReported;
                addPending(id(T::Select), -1, t);
            }
        } else if (select >= 0) {
            closedImplicitly(m_stack[size_t(select)], t);
        }
        popUntil(id(T::Select), t);
        resetInsertionMode();
        return process(t);
    }
    inSelect(t);
}

void TreeBuilder::inTemplate(Token& t) {
    const int n = m_tn;
    if (t.type == Token::Characters || t.type == Token::Comment || t.type == Token::Doctype)
        return inBody(t);
    if ((t.type == Token::StartTag &&
         in(n, {T::Base, T::Basefont, T::Bgsound, T::Link, T::Meta, T::Noframes, T::Script,
                T::Style, T::Template, T::Title})) ||
        (t.type == Token::EndTag && n == id(T::Template)))
        return inHead(t);
    if (t.type == Token::StartTag) {
        Mode mode = Mode::InBody;
        if (in(n, {T::Caption, T::Colgroup, T::Tbody, T::Tfoot, T::Thead}))
            mode = Mode::InTable;
        else if (n == id(T::Col))
            mode = Mode::InColumnGroup;
        else if (n == id(T::Tr))
            mode = Mode::InTableBody;
        else if (n == id(T::Td) || n == id(T::Th))
            mode = Mode::InRow;
        if (!m_templateModes.empty())
            m_templateModes.back() = mode;
        m_mode = mode;
        return process(t);
    }
    if (t.type == Token::EndTag) {
        strayEnd(t, QStringLiteral("%1 has no open %2").arg(tokenText(t), startTag(nameOf(n))));
        return;
    }
    // The end of the page inside a template: every open element is reported there.
    endOfFile(t);
}

void TreeBuilder::afterBody(Token& t) {
    if ((t.type == Token::Characters && t.firstNonSpace < 0) ||
        (t.type == Token::StartTag && m_tn == id(T::Html)))
        return inBody(t);
    if (t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype)
        return inBody(t);
    if (t.type == Token::EndTag && m_tn == id(T::Html)) {
        m_mode = Mode::AfterAfterBody;
        return;
    }
    if (t.type == Token::EndOfFile)
        return endOfFile(t);
    if (t.type == Token::EndTag && m_tn == id(T::Body))
        return; // a second </body>: browsers ignore it
    misplacedAfterEnd(t);
    m_mode = Mode::InBody;
    process(t);
}

void TreeBuilder::afterAfterBody(Token& t) {
    if (t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype || (t.type == Token::Characters && t.firstNonSpace < 0) ||
        (t.type == Token::StartTag && m_tn == id(T::Html)))
        return inBody(t);
    if (t.type == Token::EndOfFile)
        return endOfFile(t);
    if (t.type == Token::EndTag && (m_tn == id(T::Html) || m_tn == id(T::Body)))
        return;
    misplacedAfterEnd(t);
    m_mode = Mode::InBody;
    process(t);
}

void TreeBuilder::inFrameset(Token& t) {
    const int n = m_tn;
    if (t.type == Token::StartTag && n == id(T::Frameset)) {
        insertHtml(t, n);
        return;
    }
    if (t.type == Token::EndTag && n == id(T::Frameset)) {
        if (currentIs(id(T::Html)))
            strayEnd(t, QStringLiteral("</frameset> has no open <frameset>"));
        else
            pop();
        if (!currentIs(id(T::Frameset)))
            m_mode = Mode::AfterFrameset;
        return;
    }
    if (t.type == Token::StartTag && n == id(T::Frame)) {
        insertHtml(t, n);
        pop();
        return;
    }
    if (t.type == Token::StartTag && n == id(T::Noframes))
        return inHead(t);
    if (t.type == Token::EndOfFile)
        return endOfFile(t);
    if (t.type == Token::StartTag)
        ignoredStart(t, QStringLiteral("%1 is not allowed in a <frameset>").arg(tokenText(t)));
    else if (t.type == Token::EndTag)
        strayEnd(t, QStringLiteral("Stray end tag %1").arg(tokenText(t)));
}

void TreeBuilder::afterFrameset(Token& t) {
    if (t.type == Token::EndTag && m_tn == id(T::Html))
        return;
    if (t.type == Token::StartTag && m_tn == id(T::Noframes))
        return inHead(t);
    if (t.type == Token::EndOfFile)
        return endOfFile(t);
    if (t.type == Token::StartTag)
        ignoredStart(t, QStringLiteral("%1 after the frameset is ignored").arg(tokenText(t)));
}

// ---------------------------------------------------------------------------------------
// SVG and MathML

void TreeBuilder::foreignContent(Token& t) {
    const int n = m_tn;
    if (t.type == Token::Characters || t.type == Token::Comment)
        return;
    if (t.type == Token::Doctype) {
        misplacedDoctype(t);
        return;
    }
    if (t.type == Token::StartTag) {
        const bool breakout =
            in(n, {T::B,      T::Big,    T::Blockquote, T::Body,    T::Br,    T::Center, T::Code,
                   T::Dd,     T::Div,    T::Dl,         T::Dt,      T::Em,    T::Embed,  T::H1,
                   T::H2,     T::H3,     T::H4,         T::H5,      T::H6,    T::Head,   T::Hr,
                   T::I,      T::Img,    T::Li,         T::Listing, T::Menu,  T::Meta,   T::Nobr,
                   T::Ol,     T::P,      T::Pre,        T::Ruby,    T::S,     T::Small,  T::Span,
                   T::Strong, T::Strike, T::Sub,        T::Sup,     T::Table, T::Tt,     T::U,
                   T::Ul,     T::Var}) ||
            (n == id(T::Font) &&
             (t.attribute(u"color") || t.attribute(u"face") || t.attribute(u"size")));
        if (breakout) {
            Node& foreign = current();
            notAllowed(
                t,
                QStringLiteral("%1 is not allowed inside %2; browsers end the %3 here")
                    .arg(tokenText(t), startTag(nameOf(foreign)),
                         foreign.ns == Ns::Svg ? QStringLiteral("SVG") : QStringLiteral("MathML")),
                nullptr);
            while (!m_stack.empty() && current().ns != Ns::Html &&
                   !(current().ns == Ns::MathMl &&
                     (current().name == m_mi || current().name == m_mo || current().name == m_mn ||
                      current().name == m_ms || current().name == m_mtext)) &&
                   !(current().ns == Ns::Svg &&
                     (current().name == m_foreignObject || current().name == m_desc ||
                      current().name == id(T::Title))) &&
                   !(current().flags & kHtmlIntegration)) {
                // Their end tags, if they come, are part of the same mistake.
                addPending(current().name, -1, t);
                pop();
            }
            return process(t);
        }
        insertForeign(t, current().ns);
        return;
    }
    // An end tag: it closes the nearest foreign element of its name.
    for (int i = int(m_stack.size()) - 1; i > 0; --i) {
        Node& node = m_stack[size_t(i)];
        if (node.ns == Ns::Html)
            return byMode(t);
        if (node.name == n) {
            if (i != int(m_stack.size()) - 1)
                m_report.add(RuleId::MisnestedEndTag, t.offset, t.end - t.offset,
                             QStringLiteral("%1 comes while %2 inside it is still open")
                                 .arg(tokenText(t), startTag(nameOf(current()))),
                             current().offset);
            while (int(m_stack.size()) - 1 > i) {
                current().flags |= kReported;
                pop();
            }
            pop();
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------
// The end of the page

void TreeBuilder::endOfFile(Token& t) {
    // Browsers close whatever is open (templates included); each element whose end tag
    // is required is reported once.
    for (Node& n : m_stack)
        closedImplicitly(n, t);
    clearStack();
}

} // namespace checker
