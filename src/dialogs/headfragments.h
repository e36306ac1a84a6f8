// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fragments of the head-snippet dialogs, built from their field values. Field texts
// are taken verbatim (no trimming, no escaping); attribute values stand in single quotes;
// line breaks are CR LF.
namespace fragments {

// "<title>", CR LF, the title, CR LF, "</title>".
QString title(const QString& title);
// The author, keywords and description meta lines, each ended by CR LF; empty fields
// still give their line.
QString meta(const QString& author, const QString& keywords, const QString& description);
// The meta refresh element with its delay and address.
QString refresh(const QString& delay, const QString& url);
// "<!--" comment "-->", with no blanks added inside the markers.
QString comment(const QString& comment);
// The link element of an external stylesheet.
QString externalCss(const QString& url);
// The link element of a favicon.
QString favicon(const QString& url);

} // namespace fragments
