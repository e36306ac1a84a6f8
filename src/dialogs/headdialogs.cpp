// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/headdialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogs/headfragments.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

namespace {

// A body holding the given frames one below the other.
QWidget* column(QWidget* parent, std::initializer_list<QWidget*> frames) {
    auto* body = new QWidget(parent);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* f : frames) {
        f->setParent(body);
        layout->addWidget(f);
    }
    return body;
}

// A frame holding one text box.
QGroupBox* frameWith(QWidget* parent, const char* name, const QString& caption, QLineEdit** box,
                     const char* boxName, const QString& text = QString()) {
    QGroupBox* frame = snippetwidgets::frame(parent, name, caption);
    *box = textBox(frame, boxName, text);
    (new QVBoxLayout(frame))->addWidget(*box);
    return frame;
}

const QString kHttp = QStringLiteral("http://");

} // namespace

// --- frmTitle ---------------------------------------------------------------------------

frmTitle::frmTitle(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmTitle"), QStringLiteral("ADD TiTLE"),
                    Placement::Centred) {
    fraLine = frameWith(this, "fraLine", QStringLiteral("Page Title"), &txtTitle, "txtTitle");
    finishLayout(column(this, {fraLine}));
}

void frmTitle::cmdInsert_Click() {
    if (!checkNotEmpty(txtTitle->text(), QStringLiteral("No title to insert!")))
        return;
    finishInsert(Manner::HiddenAfterInsert);
    insertAfterSelection(fragments::title(txtTitle->text()));
}

// --- frmMeta ----------------------------------------------------------------------------

frmMeta::frmMeta(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmMeta"), QStringLiteral("ADD META TAGS"),
                    Placement::Centred) {
    fraAuthor = frameWith(this, "fraAuthor", QStringLiteral("Author"), &txtAuthor, "txtAuthor");
    fraKeywords =
        frameWith(this, "fraKeywords", QStringLiteral("Keywords"), &txtKeywords, "txtKeywords");
    fraDescription = frameWith(this, "fraDescription", QStringLiteral("Description"),
                               &txtDescription, "txtDescription");
    finishLayout(column(this, {fraAuthor, fraKeywords, fraDescription}));
}

void frmMeta::cmdInsert_Click() {
    const QString fragment =
        fragments::meta(txtAuthor->text(), txtKeywords->text(), txtDescription->text());
    enableMain();
    focusEditor();
    insertOverSelection(fragment);
    unload();
}

// --- frmRefresh -------------------------------------------------------------------------

frmRefresh::frmRefresh(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmRefresh"), QStringLiteral("ADD META REFRESH"),
                    Placement::Centred) {
    fraDelay = frame(this, "fraDelay", QStringLiteral("Delay"));
    lblDelay = label(fraDelay, "lblDelay", QStringLiteral("Delay time in seconds:"));
    txtDelay = textBox(fraDelay, "txtDelay");
    txtDelay->setMinimumWidth(60);
    auto* delayRow = new QHBoxLayout(fraDelay);
    delayRow->addWidget(lblDelay);
    delayRow->addWidget(txtDelay, 1);
    fraRefresh = frameWith(this, "fraRefresh", QStringLiteral("URL"), &txtUrl, "txtUrl", kHttp);
    finishLayout(column(this, {fraDelay, fraRefresh}));
}

void frmRefresh::cmdInsert_Click() {
    // No focus call of its own: unloading hands the focus back to the editor.
    insertOverSelection(fragments::refresh(txtDelay->text(), txtUrl->text()));
    unload();
}

// --- frmComment -------------------------------------------------------------------------

frmComment::frmComment(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmComment"), QStringLiteral("ADD COMMENT"),
                    Placement::Centred) {
    fraComment = frameWith(this, "fraComment", QStringLiteral("Comment"), &txtComment, "txtComment",
                           QStringLiteral("Coded with VERRiNDEL!"));
    finishLayout(column(this, {fraComment}));
}

void frmComment::cmdInsert_Click() {
    if (!checkNotEmpty(txtComment->text(), QStringLiteral("No comment to insert!")))
        return;
    finishInsert(Manner::HiddenAfterInsert);
    insertAfterSelection(fragments::comment(txtComment->text()));
}

// --- frmExternal ------------------------------------------------------------------------

frmExternal::frmExternal(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmExternal"), QStringLiteral("ADD CSS"),
                    Placement::SystemPlaced) {
    fraExternal = frameWith(this, "fraExternal", QStringLiteral("External URL"), &txtExternal,
                            "txtExternal", kHttp);
    finishLayout(column(this, {fraExternal}));
}

void frmExternal::cmdInsert_Click() {
    if (!checkNotEmpty(txtExternal->text(), QStringLiteral("No css to insert!")))
        return;
    finishInsert(Manner::HiddenAfterInsert);
    insertAfterSelection(fragments::externalCss(txtExternal->text()));
}

// --- frmFavicon -------------------------------------------------------------------------

frmFavicon::frmFavicon(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmFavicon"), QStringLiteral("ADD FAViCON"),
                    Placement::SystemPlaced) {
    fraFavicon = frameWith(this, "fraFavicon", QStringLiteral("Favicon URL"), &txtFavicon,
                           "txtFavicon", kHttp);
    finishLayout(column(this, {fraFavicon}));
}

void frmFavicon::cmdInsert_Click() {
    if (!checkNotEmpty(txtFavicon->text(), QStringLiteral("No favicon to insert!")))
        return;
    finishInsert(Manner::HiddenAfterInsert);
    insertAfterSelection(fragments::favicon(txtFavicon->text()));
}
