// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// File > Open and File > Save: a scene's 37 lines to and from the window's controls and the sources.

#include "app/control_bindings.h"
#include "app/source_controls.h"
#include "model/scene_file.h"
#include "scene_io/scene_writer.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include <string>
#include <vector>

namespace rs {

namespace {

const QString kSceneFileExtension = QStringLiteral(".rsd");

std::string localName(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
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
    for (const std::string& line : sceneFileLines(controls, scene)) {
        saver->addLine(QString::fromStdString(line));
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
    // Each line is applied before the next is read, so a failing line leaves the ones before it in
    // effect, and the controls show them.
    bool opened = false;
    try {
        opened = rs::openSceneFile(name, controls, scene);
    } catch (...) {
        showControls();
        throw;
    }
    showControls();
    return opened;
}

void TForm1::showControls() {
    for (const auto& [bar, value] : trackBars()) {
        (this->*bar)->setPosition((controls.*value).position);
    }
    for (const auto& [radio, value] : radioButtons()) {
        applyChecked(this->*radio, controls.*value);
    }
    for (const auto& [box, value] : checkBoxes()) {
        (this->*box)->setChecked(controls.*value);
    }
    for (std::size_t i = 0; i < kSourceFieldCount; ++i) {
        showSourceText(i);
    }
}

void TForm1::showSourceText(std::size_t i) {
    const SourceControl& row = sourceControls()[i];
    (this->*row.button)
        ->setText(QString::fromUtf16(row.prefix) + QString::fromStdString(controls.sourceText[i]));
    // A screen reader hears the value the caption now shows.
    nameSourceButton(*this, row);
}

} // namespace rs
