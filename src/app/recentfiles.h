// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMenu;
class QWidget;

// File > Recent Files: the documents opened or saved last, newest first, at most kMost.
//
// The list lives in the settings (QSettings), every name as the bytes the system holds
// (encodeFileName), so that a name that is not UTF-8 opens again. It is read anew each
// time the menu is about to show and before each change, so copies of the program running
// side by side share one list.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMost = 10;
    static const char* const kKey;

    // `open` opens a chosen file as File > Open does once its dialog is answered (the
    // question about unsaved changes included) and returns whether it did.
    RecentFiles(QMenu* menu, QWidget* window, std::function<bool(const QString&)> open);

    // The list with `path` first and no other copy of it, cut to kMost names.
    static QStringList withFirst(QStringList list, const QString& path);
    // The caption of the item at `index` (0-based): its number (a mnemonic up to 9), the
    // file's name, and its folder in parentheses ("1 index.html  (/home/ann/site)"), every
    // ampersand of the name shown as itself.
    static QString caption(int index, const QString& path);

    // The list as the settings hold it now.
    static QStringList files();
    // Puts a document's file first in the list.
    static void add(const QString& path);
    static void remove(const QString& path);
    static void clear();

    // Opens a file of the list as choosing its item does: a file that is gone is taken off
    // the list with a message; any other goes to `open`.
    void choose(const QString& path);

private:
    void fillMenu();

    QMenu* menu_;
    QWidget* window_;
    std::function<bool(const QString&)> open_;
};
