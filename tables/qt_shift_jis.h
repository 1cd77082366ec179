// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The text Qt's Shift_JIS decoder (ICU's converter) makes of a scene line's bytes, the way scene
// messages once decoded them: what the decoding table is made from, and what the tests compare with.

#include <QString>
#include <QStringDecoder>

#include <string_view>

namespace rs::qt_reference {

// ICU replaces what it cannot decode with U+001A rather than U+FFFD. Decoding the runs between real
// 0x1A bytes separately keeps the two apart.
inline QString shiftJisText(std::string_view bytes) {
    QString text;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = bytes.find('\x1A', start);
        if (end == std::string_view::npos) end = bytes.size();
        // A lead byte at the very end would be held back waiting for its trail byte and silently lost;
        // a final LF, never a trail byte, forces it out as a bad byte.
        QByteArray run(bytes.data() + start, static_cast<qsizetype>(end - start));
        run.append('\n');
        QString decoded = QStringDecoder("Shift_JIS", QStringConverter::Flag::Stateless).decode(run);
        if (decoded.endsWith(QLatin1Char('\n'))) decoded.chop(1);
        decoded.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
        text += decoded;
        if (end == bytes.size()) break;
        text += QChar(0x1A);
        start = end + 1;
    }
    return text;
}

} // namespace rs::qt_reference
