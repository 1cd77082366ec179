// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// File > Open and File > Save: a scene's 37 lines to and from the window's controls and the sources.

#include "app/source_controls.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"
#include "scene_io/scene_writer.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace rs {

namespace {

const QString kSceneFileExtension = QStringLiteral(".rsd");

std::string localName(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

// Only a regular file (after links) counts: a device or a FIFO would never end or never answer, and
// reading either would hang the window.
bool isExistingFile(const std::string& name) {
    struct stat st {};
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Checking a radio button clears its siblings; clearing one touches nothing else, which an
// auto-exclusive button only allows with the exclusivity lifted for the moment.
void applyChecked(QRadioButton* radio, bool checked) {
    if (checked) {
        radio->setChecked(true);
        return;
    }
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
}

} // namespace

void TForm1::SaveS1Click() {
    if (!SaveDialog1.execute()) {
        return;
    }
    QString name = SaveDialog1.fileName();
    // Case matters: "scene.RSD" is saved as "scene.RSD.rsd".
    if (!name.endsWith(kSceneFileExtension, Qt::CaseSensitive)) {
        name += kSceneFileExtension;
        SaveDialog1.setFileName(name);
    }

    saver->clear();
    for (const TrackBar* bar : {thetachanger, phichanger, numpoints, numzoom, velocitychanger, fpschanger}) {
        saver->addLine(QString::fromStdString(formatSceneInteger(bar->position())));
    }
    for (const QAbstractButton* option :
         std::initializer_list<const QAbstractButton*>{gens1, gens2, gens0, ch_baishitsu, ch_bashi, ch_suihei,
                                                       ch_seibun, ch_2cut, ch_guruguru, ch_rect, ch_koma}) {
        saver->addLine(QString::fromStdString(formatSceneBoolean(option->isChecked())));
    }
    for (const SourceControl& row : sourceControls()) {
        saver->addLine(QString::fromStdString(formatSceneInteger(scene.source(row.source).*row.field)));
    }

    std::vector<std::string> lines;
    for (const QString& line : saver->lines()) {
        lines.push_back(line.toStdString());
    }
    writeSceneLines(localName(name), lines, saveBlockWriter);
}

void TForm1::OpenO1Click() {
    if (!OpenDialog1.execute()) {
        return;
    }
    // A typed name of a file that does not exist is ignored without a word.
    openSceneFile(OpenDialog1.fileName());
}

bool TForm1::openSceneFile(const QString& fileName) {
    return openSceneFile(localName(fileName));
}

bool TForm1::openSceneFile(const std::string& name) {
    if (!isExistingFile(name)) {
        return false;
    }
    // Each line is applied before the next is read, so a failing line leaves the ones before it in
    // effect; the reader closes the file on every way out.
    SceneLineReader reader(name);

    for (TrackBar* bar : {thetachanger, phichanger, numpoints, numzoom}) {
        bar->setPosition(parseSceneInteger(reader.readLine()));
    }
    const std::int32_t velocity = parseSceneInteger(reader.readLine());
    // The bar clamps and runs its change handler only when it moves; the speed must follow the bar in
    // every case, or a 0 (division by zero in the model) or an out-of-range speed could remain.
    velocitychanger->setPosition(velocity);
    setWaveSpeed(scene, velocitychanger->position());
    fpschanger->setPosition(parseSceneInteger(reader.readLine()));

    for (QRadioButton* radio : {gens1, gens2, gens0}) {
        applyChecked(radio, parseSceneBoolean(reader.readLine()));
    }
    for (QCheckBox* box :
         {ch_baishitsu, ch_bashi, ch_suihei, ch_seibun, ch_2cut, ch_guruguru, ch_rect, ch_koma}) {
        box->setChecked(parseSceneBoolean(reader.readLine()));
    }

    for (const SourceControl& row : sourceControls()) {
        const SceneLine line = reader.readLine();
        scene.source(row.source).*row.field = parseSceneInteger(line);
        // The caption shows the text as read ("+7" stays "+7"); it converted, so it is plain ASCII. Of a
        // line longer than any caption can show it keeps the first 64 KiB, marked as cut.
        QString caption = QString::fromUtf16(row.prefix) + QString::fromLatin1(line.text());
        if (line.cut()) caption += QChar(0x2026);
        (this->*row.button)->setText(caption);
        nameSourceButton(*this, row);
    }
    reader.close();
    return true;
}

} // namespace rs
