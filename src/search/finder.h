// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TxtCode;

// What a search works on: a text with a selection and the editor's find operation.
class SearchTarget {
public:
    virtual ~SearchTarget() = default;
    virtual int textLength() const = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    // Selects `length` characters from `start`.
    virtual void select(int start, int length) = 0;
    // Writes over the selection (insertion over the selection); the caret ends after it.
    virtual void replaceSelection(const QString& text) = 0;
    // Searches [start, end) with option bits 2 whole word, 4 match case; selects and
    // returns the first match, or returns -1 leaving the selection alone.
    virtual int find(const QString& what, int start, int end, int options) = 0;
};

// The document editor as a search target.
class EditorSearchTarget final : public SearchTarget {
public:
    explicit EditorSearchTarget(TxtCode* editor) : editor_(editor) {}
    int textLength() const override;
    int selStart() const override;
    int selLength() const override;
    void select(int start, int length) override;
    void replaceSelection(const QString& text) override;
    int find(const QString& what, int start, int end, int options) override;

private:
    TxtCode* editor_;
};

// The find-next state of the find dialog: where the next search starts (the top of the
// document, or after the current selection) and the two commands that use it.
class Finder {
public:
    // Option bits of the editor's find operation.
    static constexpr int WholeWord = 2;
    static constexpr int MatchCase = 4;

    // True when the next search starts at the top of the document.
    bool NewSearch() const { return newSearch_; }
    // Arms the next search to start at the top (Cancel, closing, a fresh dialog).
    void reset() { newSearch_ = true; }

    // Find Next: selects the next occurrence of `what`; false when there is none (the
    // caller reports it) and the next search then starts at the top.
    bool findNext(SearchTarget& target, const QString& what, int options);

    // Replace: when the selection is an occurrence of `what` under `options` found by the
    // previous search, writes `replacement` over it; then searches on from the caret.
    // Anything else (a fresh search, or a selection that no longer matches because the
    // search text or options changed) searches exactly as Find Next does. Returns
    // whether a next occurrence was found; *replaced tells whether text was replaced.
    bool replace(SearchTarget& target, const QString& what, const QString& replacement, int options,
                 bool* replaced = nullptr);

private:
    bool searchFromTop(SearchTarget& target, const QString& what, int options);
    bool searchOnward(SearchTarget& target, int start, const QString& what, int options);
    static bool selectionIsOccurrence(SearchTarget& target, const QString& what, int options);

    bool newSearch_ = true;
};
