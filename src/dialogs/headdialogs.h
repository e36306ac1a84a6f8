// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;

// The dialogs that write head-section elements and comments.

// "ADD TiTLE": the page title; hidden after Insert.
class frmTitle : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmTitle(const AppContext& ctx);
    QGroupBox* fraLine;
    QLineEdit* txtTitle;

protected:
    void cmdInsert_Click() override;
};

// "ADD META TAGS": author, keywords and description; closed after Insert.
class frmMeta : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmMeta(const AppContext& ctx);
    QGroupBox* fraAuthor;
    QLineEdit* txtAuthor;
    QGroupBox* fraKeywords;
    QLineEdit* txtKeywords;
    QGroupBox* fraDescription;
    QLineEdit* txtDescription;

protected:
    void cmdInsert_Click() override;
};

// "ADD META REFRESH": delay and address; closed after Insert.
class frmRefresh : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmRefresh(const AppContext& ctx);
    QGroupBox* fraDelay;
    QLabel* lblDelay;
    QLineEdit* txtDelay;
    QGroupBox* fraRefresh;
    QLineEdit* txtUrl;

protected:
    void cmdInsert_Click() override;
};

// "ADD COMMENT": an HTML comment; hidden after Insert.
class frmComment : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmComment(const AppContext& ctx);
    QGroupBox* fraComment;
    QLineEdit* txtComment;

protected:
    void cmdInsert_Click() override;
};

// "ADD CSS": the link to an external stylesheet; hidden after Insert.
class frmExternal : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmExternal(const AppContext& ctx);
    QGroupBox* fraExternal;
    QLineEdit* txtExternal;

protected:
    void cmdInsert_Click() override;
};

// "ADD FAViCON": the link to the page's icon; hidden after Insert.
class frmFavicon : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmFavicon(const AppContext& ctx);
    QGroupBox* fraFavicon;
    QLineEdit* txtFavicon;

protected:
    void cmdInsert_Click() override;
};
