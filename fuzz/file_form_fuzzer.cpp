// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the decoding of document files. Besides crashes and undefined
// behaviour it checks what saving promises: the form a file was read in can always
// hold its text, a file whose line breaks are all alike comes back byte for byte, and
// any other file (mixed breaks, all written as the most used one) with the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "text/fileform.h"

namespace {
void check(bool ok) {
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedText decoded = decodeFileBytes(bytes);
    const QString text = toCrLf(decoded.text);
    check(decoded.strayBytes == 0 || decoded.form.strayBytes);

    QByteArray out;
    check(encodeFileBytes(text, decoded.form, &out));
    // Every break of one kind (LF, CR LF or lone CR), or none: the very same bytes.
    if (decoded.otherLineBreaks == 0)
        check(out == bytes);

    // Read back: the same text, whenever the bytes are read in the same form.
    const DecodedText again = decodeFileBytes(out);
    if (again.form.encoding == decoded.form.encoding &&
        again.form.strayBytes == decoded.form.strayBytes)
        check(toCrLf(again.text) == text);
    return 0;
}
