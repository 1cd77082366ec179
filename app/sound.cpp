// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "app/sound.h"

#include "app/control_bindings.h"
#include "app/ripplescope_icon.xpm"
#include "app/source_controls.h"
#include "ui/group_box.h"
#include "ui/push_button.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <initializer_list>

namespace rs {

namespace {

constexpr int kClientWidth = 974;
constexpr int kClientHeight = 649;

// The caption colours of the source groups, 0x00BBGGRR: lime, fuchsia, yellow, aqua.
constexpr std::array<Colour, kSourceCount + 1> kSourceCaptionColour = {0, 0x0000FF00, 0x00FF00FF, 0x0000FFFF,
                                                                       0x00FFFF00};

const QString kSceneFilter = QStringLiteral("Ripplescopeデータ[*.rsd] (*.rsd)");

QFont windowFont(int pixelSize) {
    QFont font;
    // The first face is the one the layout was measured with; the second is its metric twin on Linux.
    font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(pixelSize);
    return font;
}

template <class Widget, class... Args>
Widget* place(QWidget* parent, const char* name, QRect geometry, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

// The picture in the memory the X server shows it from, where there is such memory.
RasterCanvas pictureIn(X11SharedPixels* screenPixels) {
    if (screenPixels != nullptr) return RasterCanvas(screenPixels->pixels());
    return RasterCanvas();
}

// A control that exists for scene files only: never shown, never focused.
void hideForGood(QWidget* widget) {
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setHidden(true);
}

// Of a set of radio buttons only the checked one is a Tab stop, so Tab lands on the current choice and
// the arrow keys move it; with none checked Tab passes the set by.
void makeTabStopWhileChecked(QRadioButton* radio) {
    const auto sync = [radio] {
        radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    sync();
    QObject::connect(radio, &QRadioButton::toggled, radio, sync);
}

} // namespace

TForm1::TForm1(Interaction& ui, QWidget* parent)
    : QMainWindow(parent), screenPixels_(X11SharedPixels::create()), picture(pictureIn(screenPixels_.get())),
      OpenDialog1(ui, FileDialog::Kind::Open, kSceneFilter),
      SaveDialog1(ui, FileDialog::Kind::Save, kSceneFilter), ui_(ui), guard_(ui) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(QPixmap(ripplescope_icon_xpm));
    setFont(windowFont(12));

    createControls();
    createMenu();
    resize(kClientWidth, kClientHeight + MainMenu1->sizeHint().height());
    setTabOrders();
    wireEvents();
    FormCreate();
}

TForm1::~TForm1() = default;

std::function<void()> TForm1::guarded(void (TForm1::*handler)()) {
    return guard_.wrap([this, handler] { (this->*handler)(); });
}

void TForm1::createControls() {
    // Absolute positions, no layouts: resizing the window moves and stretches nothing.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    graph = place<PictureView>(client, "graph", {8, 8, RasterCanvas::kSize, RasterCanvas::kSize}, picture,
                               screenPixels_.get());
    // For a screen reader: what the picture is, since it cannot be read out.
    graph->setAccessibleName(QStringLiteral("波の図"));
    graph->setAccessibleDescription(QStringLiteral(
        "波源から出る縦波が重なり合って媒質の粒子を動かす様子。601×601ピクセルで、中心が原点、xは右向き、"
        "yは下向き。色の線は各波源による変位の成分、灰色の×は隣の粒子を追い越しうる粒子。"));

    saver = place<LineListBox>(client, "saver", {8, 8, 121, 97});
    hideForGood(saver);

    BitBtn1 = place<PushButton>(client, "BitBtn1", {656, 8, 313, 33}, QStringLiteral("スタート/ストップ"));

    phichanger = place<TrackBar>(client, "phichanger", {8, 616, 601, 33}, Qt::Horizontal);
    phichanger->setInitial(controls.phichanger.minimum, controls.phichanger.maximum,
                           controls.phichanger.position, 5, 15);
    phichanger->setTickPosition(QSlider::TicksBelow);
    phichanger->setTickInterval(15);
    hideForGood(phichanger);

    thetachanger = place<TrackBar>(client, "thetachanger", {616, 8, 33, 601}, Qt::Vertical);
    thetachanger->setInitial(controls.thetachanger.minimum, controls.thetachanger.maximum,
                             controls.thetachanger.position, 5, 15);
    thetachanger->setTickPosition(QSlider::TicksRight);
    thetachanger->setTickInterval(15);
    hideForGood(thetachanger);

    Panel1 = place<QFrame>(client, "Panel1", {656, 48, 313, 497});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);

    createSourceGroups();
    createSettingsGroups();
    for (const SourceControl& row : sourceControls()) {
        nameSourceButton(*this, row);
    }
}

void TForm1::createMenu() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    FileF1 = MainMenu1->addMenu(QStringLiteral("File(&F)"));
    FileF1->setObjectName(QStringLiteral("FileF1"));
    OpenO1 = FileF1->addAction(QStringLiteral("Open(&O)"));
    OpenO1->setObjectName(QStringLiteral("OpenO1"));
    SaveS1 = FileF1->addAction(QStringLiteral("Save(&S)"));
    SaveS1->setObjectName(QStringLiteral("SaveS1"));
    N1 = FileF1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    QuitQ1 = FileF1->addAction(QStringLiteral("Quit(&Q)"));
    QuitQ1->setObjectName(QStringLiteral("QuitQ1"));
}

void TForm1::createSourceGroups() {
    using GroupMember = QGroupBox* TForm1::*;
    using ButtonMember = QPushButton* TForm1::*;
    static constexpr std::array<GroupMember, kSourceCount + 1> groups = {
        nullptr, &TForm1::GroupBox1, &TForm1::GroupBox2, &TForm1::GroupBox3, &TForm1::GroupBox4};
    static constexpr std::array<QPoint, kSourceCount + 1> groupOrigin = {
        QPoint(0, 0), QPoint(8, 8), QPoint(160, 8), QPoint(8, 112), QPoint(160, 112)};
    static constexpr std::array<std::array<ButtonMember, 5>, kSourceCount + 1> buttons = {{
        {},
        {&TForm1::bt_1_x, &TForm1::bt_1_y, &TForm1::bt_1_a, &TForm1::bt_1_o, &TForm1::bt_1_p},
        {&TForm1::bt_2_x, &TForm1::bt_2_y, &TForm1::bt_2_a, &TForm1::bt_2_o, &TForm1::bt_2_p},
        {&TForm1::bt_3_x, &TForm1::bt_3_y, &TForm1::bt_3_a, &TForm1::bt_3_o, &TForm1::bt_3_p},
        {&TForm1::bt_4_x, &TForm1::bt_4_y, &TForm1::bt_4_a, &TForm1::bt_4_o, &TForm1::bt_4_p},
    }};
    struct Field {
        char letter;
        const char16_t* caption;
        QPoint at;
    };
    // (72, 40), right of the A button, stays empty.
    static constexpr std::array<Field, 5> fields = {{{'x', u"X:0", {8, 16}},
                                                     {'y', u"Y:0", {72, 16}},
                                                     {'a', u"A:0", {8, 40}},
                                                     {'o', u"ω:0", {8, 64}},
                                                     {'p', u"Φ:0", {72, 64}}}};

    for (const int k : {4, 2, 1, 3}) {
        const QByteArray name = "GroupBox" + QByteArray::number(k);
        const auto idx = static_cast<std::size_t>(k);
        QGroupBox* group = place<GroupBox>(Panel1, name.constData(), {groupOrigin[idx], QSize(145, 97)},
                                           QStringLiteral("波源") + QString::number(k));
        // Only the caption takes the source colour; the buttons keep the ordinary button text colour.
        QPalette palette = group->palette();
        palette.setColor(QPalette::WindowText, toQColor(kSourceCaptionColour[idx]));
        group->setPalette(palette);
        this->*groups[idx] = group;

        for (std::size_t f = 0; f < fields.size(); ++f) {
            const QByteArray buttonName = "bt_" + QByteArray::number(k) + '_' + fields[f].letter;
            this->*buttons[idx][f] =
                place<PushButton>(group, buttonName.constData(), {fields[f].at, QSize(64, 24)},
                                  QString::fromUtf16(fields[f].caption));
        }
    }
}

void TForm1::createSettingsGroups() {
    gr_gensui = place<GroupBox>(Panel1, "gr_gensui", {8, 216, 145, 73}, QStringLiteral("減衰のしかた"));
    gens1 = place<QRadioButton>(gr_gensui, "gens1", {8, 16, 129, 17}, QStringLiteral("距離に反比例"));
    gens2 = place<QRadioButton>(gr_gensui, "gens2", {8, 32, 129, 17}, QStringLiteral("距離の√に反比例"));
    gens0 = place<QRadioButton>(gr_gensui, "gens0", {8, 48, 129, 17}, QStringLiteral("決して減衰しない"));
    for (const auto& [radio, value] : radioButtons()) {
        (this->*radio)->setChecked(controls.*value);
        makeTabStopWhileChecked(this->*radio);
    }

    gr_byouga = place<GroupBox>(Panel1, "gr_byouga", {8, 296, 145, 193}, QStringLiteral("描画のしかた"));
    struct Bar {
        TrackBar* TForm1::*bar;
        const char* name;
        int left;
        TrackBarValue Controls::*value;
        int lineStep, pageStep;
        QLabel* TForm1::*heading;
        const char* headingName;
        QPoint headingAt;
        const char16_t* headingText;
        QLabel* TForm1::*top;
        const char* topName;
        QPoint topAt;
        const char16_t* topText;
        QLabel* TForm1::*bottom;
        const char* bottomName;
        QPoint bottomAt;
        const char16_t* bottomText;
    };
    static const std::array<Bar, 4> bars = {{
        {&TForm1::numpoints,
         "numpoints",
         8,
         &Controls::numpoints,
         1,
         2,
         &TForm1::Label1,
         "Label1",
         {5, 21},
         u"点数",
         &TForm1::Label5,
         "Label5",
         {9, 41},
         u"少",
         &TForm1::Label9,
         "Label9",
         {9, 169},
         u"多"},
        {&TForm1::numzoom,
         "numzoom",
         40,
         &Controls::numzoom,
         1,
         2,
         &TForm1::Label2,
         "Label2",
         {37, 21},
         u"追越",
         &TForm1::Label6,
         "Label6",
         {41, 41},
         u"避",
         &TForm1::Label10,
         "Label10",
         {41, 169},
         u"許"},
        {&TForm1::velocitychanger,
         "velocitychanger",
         72,
         &Controls::velocitychanger,
         1,
         2,
         &TForm1::Label3,
         "Label3",
         {72, 21},
         u"波速",
         &TForm1::Label7,
         "Label7",
         {73, 41},
         u"遅",
         &TForm1::Label11,
         "Label11",
         {73, 169},
         u"速"},
        {&TForm1::fpschanger,
         "fpschanger",
         104,
         &Controls::fpschanger,
         0,
         20,
         &TForm1::Label4,
         "Label4",
         {105, 21},
         u"処理",
         &TForm1::Label8,
         "Label8",
         {105, 41},
         u"忙",
         &TForm1::Label12,
         "Label12",
         {105, 169},
         u"暇"},
    }};
    const QFont endFont = windowFont(16);
    for (const Bar& b : bars) {
        this->*b.heading = place<QLabel>(gr_byouga, b.headingName, {b.headingAt, QSize(24, 12)},
                                         QString::fromUtf16(b.headingText));
        QLabel* top =
            place<QLabel>(gr_byouga, b.topName, {b.topAt, QSize(16, 16)}, QString::fromUtf16(b.topText));
        QLabel* bottom = place<QLabel>(gr_byouga, b.bottomName, {b.bottomAt, QSize(16, 16)},
                                       QString::fromUtf16(b.bottomText));
        top->setFont(endFont);
        bottom->setFont(endFont);
        this->*b.top = top;
        this->*b.bottom = bottom;
        TrackBar* bar = place<TrackBar>(gr_byouga, b.name, {b.left, 56, 25, 113}, Qt::Vertical);
        const TrackBarValue& value = controls.*b.value;
        bar->setInitial(value.minimum, value.maximum, value.position, b.lineStep, b.pageStep);
        // The labels around a bar are not tied to it; a screen reader hears them in its name.
        bar->setAccessibleName(QString::fromUtf16(b.headingText) + u'（' + QString::fromUtf16(b.topText) +
                               u'〜' + QString::fromUtf16(b.bottomText) + u'）');
        this->*b.bar = bar;
    }

    GroupBox5 = place<GroupBox>(Panel1, "GroupBox5", {160, 216, 145, 89}, QStringLiteral("描画するもの"));
    ch_baishitsu = place<QCheckBox>(GroupBox5, "ch_baishitsu", {8, 16, 129, 17}, QStringLiteral("媒質"));
    ch_bashi = place<QCheckBox>(GroupBox5, "ch_bashi", {8, 32, 129, 17}, QStringLiteral("媒質の足"));
    ch_suihei = place<QCheckBox>(GroupBox5, "ch_suihei", {8, 48, 129, 17}, QStringLiteral("描画不能の×印"));
    ch_seibun = place<QCheckBox>(GroupBox5, "ch_seibun", {8, 64, 129, 17}, QStringLiteral("変位の成分"));

    opt = place<GroupBox>(Panel1, "opt", {160, 312, 145, 177}, QStringLiteral("オプション"));
    ch_2cut = place<QCheckBox>(opt, "ch_2cut", {8, 16, 129, 17}, QStringLiteral("波源2つにして高速化"));
    ch_guruguru = place<QCheckBox>(opt, "ch_guruguru", {8, 32, 129, 17}, QStringLiteral("背景バラ色"));
    ch_rect = place<QCheckBox>(opt, "ch_rect", {8, 48, 129, 17}, QStringLiteral("媒質を四角くする"));
    ch_koma = place<QCheckBox>(opt, "ch_koma", {8, 64, 129, 17}, QStringLiteral("コマ送り"));
    for (const auto& [box, value] : checkBoxes()) {
        (this->*box)->setChecked(controls.*value);
    }
}

void TForm1::setTabOrders() {
    // Tab walks the window in this order, which differs from the order of creation (source group 4
    // comes first there, and "媒質の足" comes last in its group here).
    const std::initializer_list<QWidget*> chain = {
        BitBtn1,   bt_1_x,      bt_1_y,          bt_1_a,     bt_1_o,       bt_1_p,    bt_2_x,    bt_2_y,
        bt_2_a,    bt_2_o,      bt_2_p,          bt_3_x,     bt_3_y,       bt_3_a,    bt_3_o,    bt_3_p,
        bt_4_x,    bt_4_y,      bt_4_a,          bt_4_o,     bt_4_p,       gens1,     gens2,     gens0,
        numpoints, numzoom,     velocitychanger, fpschanger, ch_baishitsu, ch_suihei, ch_seibun, ch_bashi,
        ch_2cut,   ch_guruguru, ch_rect,         ch_koma,
    };
    QWidget* previous = nullptr;
    for (QWidget* widget : chain) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

void TForm1::wireEvents() {
    connect(QuitQ1, &QAction::triggered, this, guarded(&TForm1::QuitQ1Click));
    connect(OpenO1, &QAction::triggered, this, guarded(&TForm1::OpenO1Click));
    connect(SaveS1, &QAction::triggered, this, guarded(&TForm1::SaveS1Click));

    // Animation, source prompts and scene files connect here, each through guarded():
    // BitBtn1 click, Timer1 tick, fpschanger and velocitychanger changes, the twenty bt_*_* clicks,
    // OpenO1 and SaveS1.
    connect(BitBtn1, &QPushButton::clicked, this, guarded(&TForm1::BitBtn1Click));
    Timer1.setOnTimer(guarded(&TForm1::Timer1Timer));
    bindControls();
    connectSourcePrompts();
}

void TForm1::bindControls() {
    // Each control writes what it now holds into controls before a handler of its own runs.
    for (const auto& binding : trackBars()) {
        TrackBar* bar = this->*binding.first;
        TrackBarValue Controls::*value = binding.second;
        std::function<void()> handler;
        if (bar == fpschanger) handler = guarded(&TForm1::fpschangerChange);
        if (bar == velocitychanger) handler = guarded(&TForm1::velocitychangerChange);
        bar->setOnChange([this, bar, value, handler] {
            (controls.*value).position = bar->position();
            if (handler) handler();
        });
    }
    for (const auto& binding : radioButtons()) {
        bool Controls::*value = binding.second;
        connect(this->*binding.first, &QRadioButton::toggled, this,
                [this, value](bool on) { controls.*value = on; });
    }
    for (const auto& binding : checkBoxes()) {
        bool Controls::*value = binding.second;
        connect(this->*binding.first, &QCheckBox::toggled, this,
                [this, value](bool on) { controls.*value = on; });
    }
}

void TForm1::FormCreate() {
    graph->beginDrawing();
    picture.setBrushColour(kWhite);
    picture.fillRect(0, 0, RasterCanvas::kSize, RasterCanvas::kSize);
    graph->showFrame();
    resetScene(scene);
}

void TForm1::openNamedScene(const std::string& fileNameBytes) {
    guard_.run([this, &fileNameBytes] { openSceneFile(fileNameBytes); });
}

void TForm1::QuitQ1Click() {
    // Like the quit message: the loop ends once this handler has returned.
    QCoreApplication::exit(0);
}

} // namespace rs
