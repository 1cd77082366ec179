// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The twenty source parameter buttons: one prompt routine driven by a table of rows.

#include "app/source_controls.h"

#include "scene_io/int_syntax.h"

#include <QPushButton>
#include <QStringEncoder>

#include <optional>
#include <string_view>

namespace rs {

namespace {

// What the conversion gives back for text that does not convert; a typed 7296183 is ignored with it.
constexpr std::int32_t kNoNumber = 7296183;

// The typed text as the bytes of the Japanese code page, which is what the conversion reads. Text the
// code page cannot hold gives nothing: such text can never be a number.
std::optional<QByteArray> codePageBytes(const QString& text) {
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid()) {
        // Without the code page only plain ASCII is known to keep its bytes.
        for (const QChar c : text) {
            if (c.unicode() > 0x7F) return std::nullopt;
        }
        return text.toLatin1();
    }
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

void askSourceValue(TForm1& form, const SourceControl& row) {
    // The field opens empty: the current value is not offered for editing.
    QString text;
    if (!form.guard().interaction().queryText(QStringLiteral("入力"), QString::fromUtf16(row.prompt), text)) {
        return;
    }
    const std::optional<QByteArray> bytes = codePageBytes(text);
    if (!bytes) return;
    const std::int32_t value = parseIntOrDefault(
        std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())), kNoNumber);
    if (value == kNoNumber) return;
    form.scene.source(row.source).*row.field = value;
    // The caption shows the text as typed, blanks, sign and hex prefix included.
    (form.*row.button)->setText(QString::fromUtf16(row.prefix) + text);
    nameSourceButton(form, row);
}

const SourceControl& rowOf(void (TForm1::*handler)()) {
    for (const SourceControl& row : sourceControls()) {
        if (row.handler == handler) return row;
    }
    // Every handler below has its row; reaching this is a programming error caught by the tests.
    return sourceControls().front();
}

} // namespace

void TForm1::connectSourcePrompts() {
    for (const SourceControl& row : sourceControls()) {
        connect(this->*row.button, &QPushButton::clicked, this, guarded(row.handler));
    }
}

#define PROMPT_HANDLER(name)                                                                                 \
    void TForm1::name() {                                                                                    \
        askSourceValue(*this, rowOf(&TForm1::name));                                                         \
    }

PROMPT_HANDLER(bt_1_xClick)
PROMPT_HANDLER(bt_1_yClick)
PROMPT_HANDLER(bt_1_aClick)
PROMPT_HANDLER(bt_1_oClick)
PROMPT_HANDLER(bt_1_pClick)
PROMPT_HANDLER(bt_2_xClick)
PROMPT_HANDLER(bt_2_yClick)
PROMPT_HANDLER(bt_2_aClick)
PROMPT_HANDLER(bt_2_oClick)
PROMPT_HANDLER(bt_2_pClick)
PROMPT_HANDLER(bt_3_xClick)
PROMPT_HANDLER(bt_3_yClick)
PROMPT_HANDLER(bt_3_aClick)
PROMPT_HANDLER(bt_3_oClick)
PROMPT_HANDLER(bt_3_pClick)
PROMPT_HANDLER(bt_4_xClick)
PROMPT_HANDLER(bt_4_yClick)
PROMPT_HANDLER(bt_4_aClick)
PROMPT_HANDLER(bt_4_oClick)
PROMPT_HANDLER(bt_4_pClick)

#undef PROMPT_HANDLER

} // namespace rs
