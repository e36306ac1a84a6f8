// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/completionlist.h"

#include <algorithm>

#include "htmldata/htmldata.h"

namespace assist {

namespace {
const QStringList& elementNames() {
    static const QStringList names = [] {
        QStringList all;
        for (const QString& name : htmldata::elementNames()) {
            const auto tag = htmldata::tagFromName(name);
            if (tag && !htmldata::isObsolete(*tag) && !htmldata::isNonStandard(*tag))
                all << name;
        }
        return all;
    }();
    return names;
}

const QStringList& referenceNames() {
    static const QStringList names = [] {
        QStringList all;
        const int n = htmldata::characterReferenceCount();
        all.reserve(n);
        for (int i = 0; i < n; ++i)
            all << QString(htmldata::characterReferenceAt(i).name) + QLatin1Char(';');
        return all;
    }();
    return names;
}

// Link types of rel (a, area, form, link), which the value tables leave out: the names of
// the HTML standard's list of link types.
QStringList linkTypes() {
    return QStringLiteral("alternate author bookmark canonical dns-prefetch external help icon "
                          "license manifest modulepreload next nofollow noopener noreferrer "
                          "opener pingback preconnect prefetch preload prev search stylesheet tag")
        .split(QLatin1Char(' '));
}

QStringList attributeNames(const QByteArray& element) {
    QStringList all = htmldata::globalAttributes();
    if (const auto tag = htmldata::tagFromName(QString::fromLatin1(element)))
        all += htmldata::attributesOf(*tag);
    all.sort();
    all.removeDuplicates();
    return all;
}
} // namespace

QStringList completionItems(const tagscan::CompletionContext& context, const QString& typed) {
    QStringList all;
    Qt::CaseSensitivity cs = Qt::CaseInsensitive;
    switch (context.kind) {
    case tagscan::CompletionContext::None:
        return QStringList();
    case tagscan::CompletionContext::ElementName:
        all = elementNames();
        break;
    case tagscan::CompletionContext::AttributeName:
        all = attributeNames(context.element);
        break;
    case tagscan::CompletionContext::AttributeValue:
        all = htmldata::enumeratedValues(QString::fromLatin1(context.element),
                                         QString::fromLatin1(context.attribute));
        if (all.isEmpty() && context.attribute == "rel")
            all = linkTypes();
        all.removeAll(QString());
        break;
    case tagscan::CompletionContext::CharacterReference:
        all = referenceNames();
        cs = Qt::CaseSensitive;
        break;
    }
    QStringList offered;
    for (const QString& item : all)
        if (item.startsWith(typed, cs))
            offered << item;
    // The order Scintilla's list needs to find what is typed: by character code.
    std::sort(offered.begin(), offered.end());
    return offered;
}

} // namespace assist
