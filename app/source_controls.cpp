// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "app/source_controls.h"

#include <QPushButton>

namespace rs {

#define SOURCE_ROWS(k)                                                                                       \
    SourceControl{&TForm1::bt_##k##_x, &TForm1::bt_##k##_xClick, k,                                          \
                  &WaveSource::x,      u"波源" #k "のx座標は？", u"X:"},                                     \
        SourceControl{&TForm1::bt_##k##_y, &TForm1::bt_##k##_yClick, k,                                      \
                      &WaveSource::y,      u"波源" #k "のy座標は？", u"Y:"},                                 \
        SourceControl{&TForm1::bt_##k##_a, &TForm1::bt_##k##_aClick, k,                                      \
                      &WaveSource::amp,    u"波源" #k "の振幅は？",  u"A:"},                                 \
        SourceControl{&TForm1::bt_##k##_o, &TForm1::bt_##k##_oClick,    k,                                   \
                      &WaveSource::omega,  u"波源" #k "の角振動数は？", u"ω:"},                              \
        SourceControl {                                                                                      \
        &TForm1::bt_##k##_p, &TForm1::bt_##k##_pClick, k, &WaveSource::phase,                                \
            u"波源" #k "の位相差[degree]は？", u"Φ:"                                                        \
    }

namespace {

constexpr std::array<SourceControl, kSourceControlCount> kRows = {
    SOURCE_ROWS(1),
    SOURCE_ROWS(2),
    SOURCE_ROWS(3),
    SOURCE_ROWS(4),
};

// Row i shows field i of the scene file, the order Open and Save use.
constexpr bool inFileOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].source != kSourceFields[i].source || kRows[i].field != kSourceFields[i].field)
            return false;
    }
    return true;
}
static_assert(kRows.size() == kSourceFieldCount && inFileOrder());

} // namespace

const std::array<SourceControl, kSourceControlCount>& sourceControls() {
    return kRows;
}

#undef SOURCE_ROWS

void nameSourceButton(TForm1& form, const SourceControl& row) {
    QPushButton* button = form.*row.button;
    // The prompt's question without its closing "は？" names the field.
    const QString question = QString::fromUtf16(row.prompt);
    const QString shown = button->text().mid(QString::fromUtf16(row.prefix).size());
    button->setAccessibleName(question.chopped(2) + u' ' + shown);
}

} // namespace rs
