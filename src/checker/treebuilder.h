// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <atomic>
#include <string>
#include <unordered_map>
#include <vector>

#include "checker/report.h"
#include "checker/tokenizer.h"

namespace checker {

// A link of the page to check once the whole page is read.
struct Link {
    qsizetype offset = 0; // the attribute's name
    qsizetype length = 0; // the whole attribute
    QString url;          // its value, character references decoded
};

// What the page declares that links may point at, and its links.
struct PageFacts {
    QHash<QString, qsizetype> ids; // each id and the offset of its first attribute
    QSet<QString> anchorNames;     // <a name="...">
    std::vector<Link> links;
    bool hasBase = false; // a <base href> changes what relative links mean
};

// Builds the page's tree as the HTML parser does, without keeping the tree: the stack of
// open elements, the active formatting elements and the insertion modes, which tell
// which elements are open, implied, closed implicitly or misnested. Reports what the
// parser calls errors and what breaks the common content models, once per cause.
class TreeBuilder {
public:
    TreeBuilder(QStringView text, Report& report, PageFacts& facts);
    // Reads the whole page; false when `cancel` stopped it first.
    bool run(const std::atomic_bool* cancel);

    enum class Ns : std::uint8_t { Html, Svg, MathMl };
    enum class Mode : std::uint8_t {
        Initial,
        BeforeHtml,
        BeforeHead,
        InHead,
        InHeadNoscript,
        AfterHead,
        InBody,
        Text,
        InTable,
        InCaption,
        InColumnGroup,
        InTableBody,
        InRow,
        InCell,
        InSelect,
        InSelectInTable,
        InTemplate,
        AfterBody,
        InFrameset,
        AfterFrameset,
        AfterAfterBody,
    };

private:
    struct Node {
        int name = 0;
        Ns ns = Ns::Html;
        std::uint8_t flags = 0;
        std::uint32_t serial = 0;
        qsizetype offset = 0; // its start tag, or the token that implied it
        qsizetype length = 0;
        qsizetype attributesOffset = 0; // the text of its attributes (formatting elements)
        qsizetype attributesLength = 0;
    };
    struct Formatting {
        bool marker = false;
        Node node;
    };
    // An element closed before its end tag came, waiting for that end tag.
    struct Pending {
        int name = 0;
        int finding = -1; // the finding to turn into a misnesting, or -1
        qsizetype closer = 0;
        qsizetype closerLength = 0;
    };

    // Tokens
    void process(Token& t);
    void byMode(Token& t);
    bool foreignRulesApply(const Token& t) const;
    void initial(Token& t);
    void beforeHtml(Token& t);
    void beforeHead(Token& t);
    void inHead(Token& t);
    void inHeadNoscript(Token& t);
    void afterHead(Token& t);
    void inBody(Token& t);
    void inBodyStartTag(Token& t);
    void inBodyEndTag(Token& t);
    void text(Token& t);
    void inTable(Token& t);
    void inCaption(Token& t);
    void inColumnGroup(Token& t);
    void inTableBody(Token& t);
    void inRow(Token& t);
    void inCell(Token& t);
    void inSelect(Token& t);
    void inSelectInTable(Token& t);
    void inTemplate(Token& t);
    void afterBody(Token& t);
    void inFrameset(Token& t);
    void afterFrameset(Token& t);
    void afterAfterBody(Token& t);
    void foreignContent(Token& t);
    void endOfFile(Token& t);

    // The stack of open elements
    Node& current() { return m_stack.back(); }
    bool isHtml(const Node& n, int name) const { return n.ns == Ns::Html && n.name == name; }
    bool currentIs(int name) const { return !m_stack.empty() && isHtml(m_stack.back(), name); }
    enum class Scope { Default, ListItem, Button, Table, Select };
    bool scopeBoundary(const Node& n, Scope scope) const;
    int inScope(int name, Scope scope) const; // index in the stack, or -1
    int headingInScope() const;
    int cellInTableScope() const;
    int tableSectionInTableScope() const;
    int indexOf(std::uint32_t serial) const;
    bool onStack(int name) const;
    void push(const Node& n);
    void pop();
    void removeAt(int index);
    void insertAt(int index, const Node& n);
    void clearStack();
    void counted(const Node& n, int delta);
    bool isOnStack(std::uint32_t serial) const {
        return serial < m_onStack.size() && m_onStack[serial];
    }
    // Pops down to and including the entry at `index`; what is popped above it was closed
    // implicitly by the token `closer`.
    void popTo(int index, const Token& closer);
    void popUntil(int name, const Token& closer);
    void closedImplicitly(Node& n, const Token& closer);
    void generateImpliedEndTags(int except = -1);
    void generateImpliedEndTagsThoroughly();
    void clearStackBackTo(std::initializer_list<int> names, const Token& closer);
    void closePElement(const Token& closer);
    void resetInsertionMode();

    // Elements
    Node makeNode(const Token& t, int name, Ns ns) const;
    Node& insertHtml(const Token& t, int name);
    void insertImplied(int name, qsizetype at);
    void insertForeign(const Token& t, Ns ns);
    void startRawText(const Token& t, int name, Tokenizer::Content content);
    void checkElement(const Token& t, int name);
    void checkPlacement(const Token& t, int name);
    bool isInteractive(const Token& t, int name) const;
    void checkText(const Token& t);
    void collectFacts(const Token& t, int name, Ns ns);
    QString value(const Attribute& a) const;

    // Active formatting elements
    void pushFormatting(const Node& n);
    void reconstructFormatting();
    void clearFormattingToMarker();
    int formattingIndex(std::uint32_t serial) const;
    int formattingAfterMarker(int name) const;
    bool adoptionAgency(Token& t);
    void anyOtherEndTag(Token& t);

    // Findings
    QString nameOf(const Node& n) const { return m_names[size_t(n.name)]; }
    QString nameOf(int name) const { return m_names[size_t(name)]; }
    QString tokenText(const Token& t) const;
    void unclosed(Node& n, const QString& message, qsizetype related);
    void strayEnd(const Token& t, const QString& message);
    // A doctype anywhere but at the start of the page.
    void misplacedDoctype(const Token& t);
    void ignoredStart(const Token& t, const QString& message);
    void notAllowed(const Token& t, const QString& message, Node* parent);
    void addPending(int name, int finding, const Token& closer);
    void misplacedAfterEnd(const Token& t);
    bool bodyEndInTable(const Token& t);
    void reportOpenElements(const Token& t);
    int nameId(const std::u16string& lowerName);
    int intern(const char16_t* name);

    QStringView m_text;
    Report& m_report;
    PageFacts& m_facts;
    Tokenizer m_tokenizer;
    std::vector<Node> m_stack;
    // How many HTML elements of each known name are open, and which serials are open: the
    // scope tests answer at once for names that are not open, however deep the stack.
    std::vector<int> m_openCount;
    std::vector<bool> m_onStack;
    std::vector<Formatting> m_formatting;
    std::vector<Mode> m_templateModes;
    std::vector<Pending> m_pending;
    Mode m_mode = Mode::Initial;
    Mode m_originalMode = Mode::InBody;
    int m_tn = -1; // the name of the current tag token
    std::uint32_t m_serial = 0;
    std::uint32_t m_form = 0; // the open form element's serial, or 0
    bool m_headSeen = false;
    bool m_foster = false; // the current token is foster parented
    bool m_afterEndReported = false;
    std::unordered_map<std::u16string, int> m_nameIds;
    std::vector<QString> m_names;
    // Whether an attribute name is valid on every HTML element.
    std::unordered_map<std::u16string, bool> m_globalAttributes;
    // Names of the SVG and MathML elements the parser treats specially.
    int m_foreignObject, m_desc, m_mi, m_mo, m_mn, m_ms, m_mtext, m_annotationXml, m_mglyph,
        m_malignmark;
};

} // namespace checker
