// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recentfiles.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <cerrno>
#include <sys/stat.h>

#include "shell/modaldialogs.h"
#include "text/filenames.h"

const char* const RecentFiles::kKey = "RecentFiles";

namespace {

// The list in the settings, read afresh from the file that other running copies write.
QStringList readList(QSettings& settings) {
    settings.sync();
    QStringList list;
    for (const QVariant& v : settings.value(QString::fromLatin1(RecentFiles::kKey)).toList()) {
        const QByteArray bytes = v.toByteArray();
        if (!bytes.isEmpty() && list.size() < RecentFiles::kMost)
            list << decodeFileName(bytes);
    }
    return list;
}

void writeList(QSettings& settings, const QStringList& list) {
    QVariantList bytes;
    for (const QString& path : list)
        bytes << encodeFileName(path);
    if (bytes.isEmpty())
        settings.remove(QString::fromLatin1(RecentFiles::kKey));
    else
        settings.setValue(QString::fromLatin1(RecentFiles::kKey), bytes);
    settings.sync();
}

// Whether the system says that no file has this name any more (not merely that it cannot
// be read: opening it then says why).
bool isGone(const QString& path) {
    struct stat st;
    if (::stat(encodeFileName(path).constData(), &st) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

QString shown(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

RecentFiles::RecentFiles(QMenu* menu, QWidget* window, std::function<bool(const QString&)> open)
    : QObject(menu), menu_(menu), window_(window), open_(std::move(open)) {
    connect(menu_, &QMenu::aboutToShow, this, &RecentFiles::fillMenu);
    fillMenu();
}

QStringList RecentFiles::withFirst(QStringList list, const QString& path) {
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kMost)
        list.removeLast();
    return list;
}

QString RecentFiles::caption(int index, const QString& path) {
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(slash + 1);
    const QString folder = slash < 0    ? QString()
                           : slash == 0 ? QStringLiteral("/")
                                        : path.left(slash);
    // The number is the item's mnemonic: 1 to 9 by their digit, the tenth by its 0.
    const QString number = index < 9 ? QLatin1Char('&') + QString::number(index + 1)
                                     : QString::number(index + 1).insert(1, QLatin1Char('&'));
    return number + QLatin1Char(' ') + shown(quotedFileName(name)) + QStringLiteral("  (") +
           shown(quotedFileName(QDir::toNativeSeparators(folder))) + QLatin1Char(')');
}

QStringList RecentFiles::files() {
    QSettings settings;
    return readList(settings);
}

void RecentFiles::add(const QString& path) {
    if (path.isEmpty())
        return;
    QSettings settings;
    writeList(settings, withFirst(readList(settings), QDir::cleanPath(path)));
}

void RecentFiles::remove(const QString& path) {
    QSettings settings;
    QStringList list = readList(settings);
    list.removeAll(path);
    writeList(settings, list);
}

void RecentFiles::clear() {
    QSettings settings;
    writeList(settings, {});
}

void RecentFiles::fillMenu() {
    menu_->clear();
    const QStringList list = files();
    for (int i = 0; i < list.size(); ++i) {
        const QString path = list[i];
        QAction* item = menu_->addAction(caption(i, path));
        item->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
        connect(item, &QAction::triggered, this, [this, path] { choose(path); });
    }
    menu_->addSeparator();
    QAction* clearList = menu_->addAction(QStringLiteral("Clear List"));
    clearList->setObjectName(QStringLiteral("mnuRecentClear"));
    clearList->setEnabled(!list.isEmpty());
    connect(clearList, &QAction::triggered, this, [this] {
        clear();
        fillMenu();
    });
}

void RecentFiles::choose(const QString& path) {
    if (isGone(path)) {
        remove(path);
        fillMenu();
        dialogs().message(window_,
                          QStringLiteral("The file %1 no longer exists. It is taken off the "
                                         "list of recent files.")
                              .arg(QDir::toNativeSeparators(path)),
                          QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    // Opening puts it first again (the document reports every file it opens).
    open_(path);
}
