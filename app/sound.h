// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The main window: every control of the program, the scene state and the picture, and the handlers.
// Construction, layout and wiring live in sound.cpp; the handlers of each command group in their own
// sound_*.cpp file.

#include "draw/raster_canvas.h"
#include "model/controls.h"
#include "scene_io/scene_writer.h"
#include "sim/frame_renderer.h"
#include "sim/scene.h"
#include "ui/dispatch_guard.h"
#include "ui/file_dialog.h"
#include "ui/interaction.h"
#include "ui/interval_timer.h"
#include "ui/line_list_box.h"
#include "ui/picture_view.h"
#include "ui/track_bar.h"
#include "ui/x11_shared_pixels.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace rs {

class TForm1 final : public QMainWindow {
  public:
    // Builds every control with its initial value, then runs FormCreate. The modal dialogs and the
    // error box go through ui, which must outlive the window.
    explicit TForm1(Interaction& ui, QWidget* parent = nullptr);
    ~TForm1() override;

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Runs handler through the dispatch guard: whatever it throws ends up in the error box.
    std::function<void()> guarded(void (TForm1::*handler)());
    DispatchGuard& guard() { return guard_; }

    // The values no control holds: sources 1 to 4, their speed and the frame clock.
    Scene scene;
    // What the controls hold. Every control writes its changes here, and shows what Open puts here;
    // frames, the tick and Save read it.
    Controls controls;

  private:
    // The memory the X server shows the picture from, where there is such memory (else null, and the
    // picture keeps its own). Declared before picture: made before it, destroyed after it.
    std::unique_ptr<X11SharedPixels> screenPixels_;

  public:
    // The 601x601 picture that graph shows. Whatever draws on it calls graph->beginDrawing() first and
    // graph->showFrame() once the frame is whole.
    RasterCanvas picture;

    IntervalTimer Timer1;
    FileDialog OpenDialog1;
    FileDialog SaveDialog1;

    PictureView* graph = nullptr;
    LineListBox* saver = nullptr;
    QPushButton* BitBtn1 = nullptr;
    TrackBar* phichanger = nullptr;
    TrackBar* thetachanger = nullptr;
    QFrame* Panel1 = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* FileF1 = nullptr;
    QAction* OpenO1 = nullptr;
    QAction* SaveS1 = nullptr;
    QAction* N1 = nullptr;
    QAction* QuitQ1 = nullptr;

    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QPushButton* bt_1_x = nullptr;
    QPushButton* bt_1_y = nullptr;
    QPushButton* bt_1_a = nullptr;
    QPushButton* bt_1_o = nullptr;
    QPushButton* bt_1_p = nullptr;
    QPushButton* bt_2_x = nullptr;
    QPushButton* bt_2_y = nullptr;
    QPushButton* bt_2_a = nullptr;
    QPushButton* bt_2_o = nullptr;
    QPushButton* bt_2_p = nullptr;
    QPushButton* bt_3_x = nullptr;
    QPushButton* bt_3_y = nullptr;
    QPushButton* bt_3_a = nullptr;
    QPushButton* bt_3_o = nullptr;
    QPushButton* bt_3_p = nullptr;
    QPushButton* bt_4_x = nullptr;
    QPushButton* bt_4_y = nullptr;
    QPushButton* bt_4_a = nullptr;
    QPushButton* bt_4_o = nullptr;
    QPushButton* bt_4_p = nullptr;

    QGroupBox* gr_gensui = nullptr;
    QRadioButton* gens1 = nullptr;
    QRadioButton* gens2 = nullptr;
    QRadioButton* gens0 = nullptr;

    QGroupBox* gr_byouga = nullptr;
    TrackBar* numpoints = nullptr;
    TrackBar* numzoom = nullptr;
    TrackBar* velocitychanger = nullptr;
    TrackBar* fpschanger = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;

    QGroupBox* GroupBox5 = nullptr;
    QCheckBox* ch_baishitsu = nullptr;
    QCheckBox* ch_bashi = nullptr;
    QCheckBox* ch_suihei = nullptr;
    QCheckBox* ch_seibun = nullptr;

    QGroupBox* opt = nullptr;
    QCheckBox* ch_2cut = nullptr;
    QCheckBox* ch_guruguru = nullptr;
    QCheckBox* ch_rect = nullptr;
    QCheckBox* ch_koma = nullptr;

    // Creation: white picture, then the start-up scene.
    void FormCreate();
    // File > Quit: ends the event loop with exit code 0, no questions asked.
    void QuitQ1Click();

    // Animation (sound_animation.cpp).
    // The display settings as the controls hold them now.
    FrameSettings frameSettings() const;
    // Renders the frame at scene.simTime into picture, then lets graph show it.
    void drawall();
    void BitBtn1Click();
    void Timer1Timer();
    void fpschangerChange();
    void velocitychangerChange();

    // Source parameter prompts (sound_prompts.cpp).
    void bt_1_xClick();
    void bt_1_yClick();
    void bt_1_aClick();
    void bt_1_oClick();
    void bt_1_pClick();
    void bt_2_xClick();
    void bt_2_yClick();
    void bt_2_aClick();
    void bt_2_oClick();
    void bt_2_pClick();
    void bt_3_xClick();
    void bt_3_yClick();
    void bt_3_aClick();
    void bt_3_oClick();
    void bt_3_pClick();
    void bt_4_xClick();
    void bt_4_yClick();
    void bt_4_aClick();
    void bt_4_oClick();
    void bt_4_pClick();

    // Scene files (sound_files.cpp).
    void OpenO1Click();
    void SaveS1Click();
    // Open without the dialog: false, and nothing changed, when the name is not an existing regular
    // file; otherwise applies the file line by line and lets the scene file's errors escape.
    bool openSceneFile(const QString& fileName);
    // The same with the name's bytes as the file system takes them (the exporter's names).
    bool openSceneFile(const std::string& fileNameBytes);
    // Sets every control to what controls holds, running the track bars' change handlers where a
    // bar moves.
    void showControls();
    // Source button i (in scene-file order) shows its prefix and controls.sourceText[i].
    void showSourceText(std::size_t i);
    // The scene the command line names, opened as Open opens a chosen one: a name that is not an
    // existing file is ignored, and the scene file's errors end in the error box.
    void openNamedScene(const std::string& fileNameBytes);
    // How Save hands its block to the file; empty writes it directly. Tests make it stop short.
    SceneBlockWriter saveBlockWriter;

  private:
    void createControls();
    void createMenu();
    void createSourceGroups();
    void createSettingsGroups();
    void setTabOrders();
    void wireEvents();
    void bindControls();
    void connectSourcePrompts(); // sound_prompts.cpp

    Interaction& ui_;
    DispatchGuard guard_;
    // Keeps the clock-free terms of the scene between frames.
    FrameRenderer renderer_;
};

} // namespace rs
