// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QKeyEvent;
class TxtCode;

namespace assist {

class TagMatcher;

// Two aids that change what a key types, each off until switched on:
// - closing tags: the ">" that ends a start tag writes the element's end tag after the
//   caret, and "</" is completed with the name of the innermost open element and its ">";
// - renaming the partner: a change to the name of a start or end tag is made to the name
//   of its partner too.
// The key and what the aid writes are one undo step. The aids watch the editor's keys
// ahead of it (an event filter) and hand each key on to the editor themselves, so that the
// step can hold both.
class TagEditing : public QObject {
    Q_OBJECT
public:
    TagEditing(TxtCode* editor, TagMatcher* matcher);

    void setAutoClose(bool on) { autoClose_ = on; }
    void setRenamePair(bool on) { renamePair_ = on; }
    bool autoClose() const { return autoClose_; }
    bool renamePair() const { return renamePair_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool closeTag(QKeyEvent* key);
    bool renamePartner(QKeyEvent* key);
    // Hands the key to the editor inside one undo step with what `after` writes then.
    template <class After> void withKey(QKeyEvent* key, After after);

    // The partner whose name follows the name being edited, from the last rename: still
    // valid while both names read the same.
    struct Link {
        qint64 ownName = -1;
        qint64 partnerName = -1;
    };

    TxtCode* editor_;
    TagMatcher* matcher_;
    bool autoClose_ = false;
    bool renamePair_ = false;
    Link link_;
};

} // namespace assist
