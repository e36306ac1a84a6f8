#include "search/finder.h"

#include "platform/txtcode.h"

int EditorSearchTarget::textLength() const {
    return editor_->TextLength();
}
int EditorSearchTarget::selStart() const {
    return editor_->SelStart();
}
int EditorSearchTarget::selLength() const {
    return editor_->SelLength();
}

void EditorSearchTarget::select(int start, int length) {
    editor_->SetSelStart(start);
    editor_->SetSelLength(length);
}

void EditorSearchTarget::replaceSelection(const QString& text) {
    editor_->SetSelText(text);
}

int EditorSearchTarget::find(const QString& what, int start, int end, int options) {
    return editor_->Find(what, start, end, options);
}

bool Finder::searchFromTop(SearchTarget& target, const QString& what, int options) {
    if (target.find(what, 0, target.textLength(), options) < 0)
        return false; // NewSearch stays true
    newSearch_ = false;
    return true;
}

bool Finder::searchOnward(SearchTarget& target, int start, const QString& what, int options) {
    if (target.find(what, start, target.textLength(), options) >= 0)
        return true;
    newSearch_ = true;
    return false;
}

bool Finder::findNext(SearchTarget& target, const QString& what, int options) {
    if (newSearch_)
        return searchFromTop(target, what, options);
    return searchOnward(target, target.selStart() + target.selLength(), what, options);
}

bool Finder::selectionIsOccurrence(SearchTarget& target, const QString& what, int options) {
    const int start = target.selStart();
    const int length = target.selLength();
    if (length == 0 || what.isEmpty())
        return false;
    // Ask the editor's own find operation about exactly the selected stretch, so that
    // case folding and word boundaries are the ones the search itself uses.
    const int found = target.find(what, start, start + length, options);
    if (found == start && target.selLength() == length)
        return true;
    if (found >= 0)
        target.select(start, length); // a match inside the selection moved it: put it back
    return false;
}

bool Finder::replace(SearchTarget& target, const QString& what, const QString& replacement,
                     int options, bool* replaced) {
    if (replaced)
        *replaced = false;
    if (newSearch_)
        return searchFromTop(target, what, options);
    if (!selectionIsOccurrence(target, what, options))
        return searchOnward(target, target.selStart() + target.selLength(), what, options);
    target.replaceSelection(replacement);
    if (replaced)
        *replaced = true;
    // The caret stands right after the replacement, nothing selected.
    return searchOnward(target, target.selStart() + target.selLength(), what, options);
}
