// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editorbuffer.h"

#include <Qsci/qsciscintillabase.h>
#include <cstring>

#include "editor/editorbytes.h"

qint64 EditorBuffer::length() const {
    return qint64(editor_.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}

qint64 EditorBuffer::gap(qint64 length) const {
    return qBound(qint64(0), qint64(editor_.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION)),
                  length);
}

const char* EditorBuffer::at(qint64 from, qint64 count) const {
    // A range that ends at the gap or starts at or after it is read where it lies.
    return reinterpret_cast<const char*>(editor_.SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, (unsigned long)from, (long)count));
}

std::pair<QByteArrayView, QByteArrayView> EditorBuffer::pieces(qint64 from, qint64 to) const {
    const qint64 len = length();
    from = qBound(qint64(0), from, len);
    to = qBound(from, to, len);
    if (to <= from)
        return {};
    const qint64 g = gap(len);
    if (to <= g || from >= g)
        return {QByteArrayView(at(from, to - from), to - from), QByteArrayView()};
    return {QByteArrayView(at(from, g - from), g - from), QByteArrayView(at(g, to - g), to - g)};
}

QString EditorBuffer::text(qint64 from, qint64 to, bool* stray) const {
    const auto [first, second] = pieces(from, to);
    return editorbytes::decode(first, second, stray);
}

QByteArray EditorBuffer::bytes(qint64 from, qint64 to) const {
    const auto [first, second] = pieces(from, to);
    QByteArray out(first.size() + second.size(), Qt::Uninitialized);
    if (!first.isEmpty())
        std::memcpy(out.data(), first.data(), size_t(first.size()));
    if (!second.isEmpty())
        std::memcpy(out.data() + first.size(), second.data(), size_t(second.size()));
    return out;
}

void EditorBuffer::copy(qint64 from, qint64 count, char* to) const {
    const auto [first, second] = pieces(from, from + count);
    Q_ASSERT(first.size() + second.size() == count);
    if (!first.isEmpty())
        std::memcpy(to, first.data(), size_t(first.size()));
    if (!second.isEmpty())
        std::memcpy(to + first.size(), second.data(), size_t(second.size()));
}

qint64 EditorBuffer::lastIndexOf(char c) const {
    const qint64 len = length();
    const qint64 g = gap(len);
    if (g < len) {
        const char* tail = at(g, len - g);
        if (const void* hit = memrchr(tail, c, size_t(len - g)))
            return g + (static_cast<const char*>(hit) - tail);
    }
    if (g > 0) {
        const char* head = at(0, g);
        if (const void* hit = memrchr(head, c, size_t(g)))
            return static_cast<const char*>(hit) - head;
    }
    return -1;
}

QByteArrayView EditorBuffer::contiguous(qint64 from, qint64 to) const {
    const qint64 len = length();
    from = qBound(qint64(0), from, len);
    to = qBound(from, to, len);
    if (to <= from)
        return QByteArrayView();
    return QByteArrayView(at(from, to - from), to - from);
}

QByteArrayView EditorBuffer::whole() const {
    const qint64 len = length();
    if (len == 0)
        return QByteArrayView();
    return QByteArrayView(reinterpret_cast<const char*>(
                              editor_.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER)),
                          len);
}
