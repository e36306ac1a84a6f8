// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

class TxtCode;

namespace assist {

// Completion in the editor: Ctrl+Space opens Scintilla's list of what fits at the caret
// (element names, attributes, attribute values, character references), narrowed as the
// user types, taken with Enter or Tab, closed with Escape. While typing, when switched on,
// the list opens by itself after "<", "&" or a space inside a start tag.
class TagCompletion : public QObject {
    Q_OBJECT
public:
    explicit TagCompletion(TxtCode* editor);

    void setWhileTyping(bool on) { whileTyping_ = on; }
    bool whileTyping() const { return whileTyping_; }

    // Opens (or narrows) the list for the caret's place; closes it when nothing fits.
    void show();
    // The items the list shows now (empty when it is closed).
    QStringList shown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void charAdded(int ch);
    bool active() const;

    TxtCode* editor_;
    bool whileTyping_ = false;
    bool ours_ = false; // the list open is this object's
    QStringList items_;
};

} // namespace assist
