// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagaids.h"

#include <QAction>
#include <QSettings>
#include <functional>

#include "assist/tagcompletion.h"
#include "assist/tagediting.h"
#include "assist/tagmatcher.h"
#include "shell/appcontext.h"
#include "shell/menuactions.h"

namespace assist {

namespace {
// A checkable Options item with its setting: read at start, written at each change, and
// applied both times.
void optionItem(QAction* item, const QString& key, const std::function<void(bool)>& apply) {
    item->setCheckable(true);
    const bool on = QSettings().value(key, false).toBool();
    item->setChecked(on);
    apply(on);
    QObject::connect(item, &QAction::toggled, item, [key, apply](bool checked) {
        QSettings().setValue(key, checked);
        apply(checked);
    });
}
} // namespace

void connectTagAids(const AppContext& ctx, const MenuActions& menus) {
    auto* matcher = new TagMatcher(ctx.txtCode);
    auto* editing = new TagEditing(ctx.txtCode, matcher);
    auto* completion = new TagCompletion(ctx.txtCode);
    optionItem(menus.mnuAutoClose, QStringLiteral("Options/closeTags"),
               [editing](bool on) { editing->setAutoClose(on); });
    optionItem(menus.mnuRenamePair, QStringLiteral("Options/renamePairedTag"),
               [editing](bool on) { editing->setRenamePair(on); });
    optionItem(menus.mnuAutoComplete, QStringLiteral("Options/completeWhileTyping"),
               [completion](bool on) { completion->setWhileTyping(on); });
}

} // namespace assist
