#include "app/form1.h"

#include <algorithm>  // for min
#include <utility>    // for pair

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>  // for translate
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "app/elidedlabel.h"
#include "app/patternschematic.h"
#include "app/simulationpanel.h"
#include "app/translations.h"
#include "library/libraryoperations.h"
#include "measure/viewport.h"

namespace saed::app {

using model::Field;

namespace {

QLabel* makeLabel(const QString& text, QWidget* parent = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}


}  // namespace

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

Form1::Form1(MainModel& model, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_prompts(prompts) {
    setWindowTitle(QCoreApplication::translate("saed::app::Form1", "saedindex 电子衍射花样标定"));
    buildTabs();
    bindModel();
    connectIndexing();
    connectCalculator();
    connectLibrary();
    connectMeasure();
    connectStore();
    connectExports();
    connectSimulation();
    startUp();
    connect(&m_model, &MainModel::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text); });
    // As large as the table wants, but never beyond the screen, its title bar and frame included.
    const QRect available = screen()->availableGeometry();
    resize(std::min(1360, available.width() - 8), std::min(860, available.height() - 40));
}

// A screening still going stops first, while every widget it reaches through the model is there;
// its report goes back to how it was.
Form1::~Form1() {
    delete m_screening;
    delete m_rankingWindow;
}

void Form1::buildTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(buildMeasurementTab(),
                   QCoreApplication::translate("saed::app::Form1", "斑点测量"));
    m_tabs->addTab(buildIndexingTab(), QCoreApplication::translate("saed::app::Form1", "标定计算"));
    m_tabs->addTab(buildSimulationTab(),
                   QCoreApplication::translate("saed::app::Form1", "衍射模拟"));
    m_tabs->addTab(buildOrientationTab(), QCoreApplication::translate("saed::app::Form1", "倾转与取向"));
    buildLanguageMenu();
    setCentralWidget(m_tabs);
}

void Form1::buildLanguageMenu() {
    // A small button beside the tabs, so the choice costs the window no height.
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("LanguageButton"));
    button->setText(QCoreApplication::translate("saed::app::Form1", "语言"));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    auto* menu = new QMenu(button);
    auto* group = new QActionGroup(menu);
    const model::Language chosen = savedLanguage().value_or(model::currentLanguage());
    // Each language is named in its own words, so that a reader of either finds it.
    const std::pair<model::Language, QString> entries[] = {
        {model::Language::Chinese, QStringLiteral("中文")},
        {model::Language::English, QStringLiteral("English")}};
    for (const auto& [language, name] : entries) {
        QAction* action = menu->addAction(name);
        action->setObjectName(QStringLiteral("Language_") + model::languageCode(language));
        action->setCheckable(true);
        action->setChecked(language == chosen);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] { chooseLanguage(language); });
    }
    button->setMenu(menu);
    m_tabs->setCornerWidget(button, Qt::TopRightCorner);
}

void Form1::chooseLanguage(model::Language language) {
    if (!saveLanguage(language)) {
        m_prompts.warn(QCoreApplication::translate("saed::app::Form1", "无法保存语言设置：\n") +
                           QDir::toNativeSeparators(settingsPath()),
                       QString());
        return;
    }
    if (language == model::currentLanguage()) return;
    const QString name = language == model::Language::English ? QStringLiteral("English") : QStringLiteral("中文");
    m_prompts.warn(QCoreApplication::translate("saed::app::Form1", "界面语言将在下次启动程序时改为%1。").arg(name),
                   QCoreApplication::translate("saed::app::Form1", "语言"));
}

QWidget* Form1::buildMeasurementTab() {
    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);

    m_frame6 = new QFrame;
    m_frame6->setObjectName(QStringLiteral("Frame6"));
    m_frame6->setFrameShape(QFrame::StyledPanel);
    m_frame6->setMinimumSize(measure::pixelsFromTwips(11535) / 2, measure::pixelsFromTwips(7935) / 2);
    m_frame6->setLayout(new QVBoxLayout);
    m_frame6->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_frame6, 1);

    m_frame5 = new QGroupBox(QCoreApplication::translate("saed::app::Form1", "工具栏"));
    m_frame5->setObjectName(QStringLiteral("Frame5"));
    auto* tools = new QVBoxLayout(m_frame5);
    m_command2 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "打开"));
    m_command3 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "放大"));
    m_command7 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "缩小"));
    m_command8 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "还原"));
    m_command9 = new QPushButton(m_model.caption(Caption::Command9));
    m_command14 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "清屏"));
    for (QPushButton* button : {m_command2, m_command3, m_command7, m_command8, m_command9, m_command14})
        tools->addWidget(button);
    m_overlaySwitch =
        new QCheckBox(QCoreApplication::translate("saed::app::Form1", "叠加模拟斑点"));
    m_overlaySwitch->setObjectName(QStringLiteral("OverlaySwitch"));
    m_overlaySwitch->setChecked(true);
    m_overlaySwitch->setToolTip(QCoreApplication::translate(
        "saed::app::Form1", "把所选行的模拟斑点画在图像上（g1 在 R1 上，g2 在 R2 上）"));
    tools->addWidget(m_overlaySwitch);
    tools->addStretch(1);
    layout->addWidget(m_frame5);
    return tab;
}

QWidget* Form1::buildIndexingTab() {
    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);

    auto* left = new QVBoxLayout;
    left->addWidget(buildLatticePanel());
    left->addWidget(buildImageMeasurementPanel());
    m_command6 = new QPushButton(m_model.caption(Caption::Command6));
    m_command6->setObjectName(QStringLiteral("Command6"));
    m_command6->setMinimumHeight(28);
    left->addWidget(m_command6);
    left->addWidget(buildCalculatorPanel());
    left->addWidget(buildPatternPanel(), 1);
    left->setSpacing(4);
    // The left column keeps to the width its fields need; the result table takes the rest.
    auto* leftPane = new QWidget;
    leftPane->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftPane->setMaximumWidth(500);
    layout->addWidget(leftPane);

    auto* right = new QVBoxLayout;
    right->addWidget(buildTolerancePanel());
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(makeLabel(
        QCoreApplication::translate("saed::app::Form1", "从数据库中筛选如下")));  // Label11
    m_label22 = new ClickableLabel(m_model.caption(Caption::Label22));
    m_label22->setObjectName(QStringLiteral("Label22"));
    m_label22->setCursor(Qt::PointingHandCursor);
    m_label22->setToolTip(QCoreApplication::translate("saed::app::Form1", "单击恢复默认误差"));
    countRow->addWidget(m_label22);
    countRow->addStretch(1);
    right->addLayout(countRow);
    right->addWidget(buildLibraryPanel());

    m_listView1 = new QTableView;
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setModel(m_model.resultTable());
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setShowGrid(true);
    m_listView1->verticalHeader()->hide();
    m_listView1->verticalHeader()->setDefaultSectionSize(20);
    m_listView1->horizontalHeader()->setSectionsClickable(true);
    m_listView1->horizontalHeader()->setHighlightSections(false);
    m_listView1->setContextMenuPolicy(Qt::CustomContextMenu);
    m_jisuandaizhou2 =
        new QAction(QCoreApplication::translate("saed::app::Form1", "计算晶带轴"), this);
    m_jisuandaizhou2->setObjectName(QStringLiteral("jisuandaizhou2"));
    m_daochujieguo3 =
        new QAction(QCoreApplication::translate("saed::app::Form1", "导出标定结果"), this);
    m_daochujieguo3->setObjectName(QStringLiteral("daochujieguo3"));
    // The column widths are set once, when the first run adds the columns; later resets (new
    // runs, sorting) keep what the user has dragged them to.
    connect(m_model.resultTable(), &QAbstractItemModel::modelReset, this, [this] {
        if (m_columnWidthsSet || m_model.resultTable()->columnCount() == 0) return;
        for (int c = 0; c < m_model.resultTable()->columnCount(); ++c)
            m_listView1->setColumnWidth(c, measure::pixelsFromTwips(ResultTableModel::columnWidthTwips(c)) + 4);
        m_columnWidthsSet = true;
    });
    m_familySwitch = new QCheckBox(QCoreApplication::translate("saed::app::Form1", "按解族显示"));
    m_familySwitch->setObjectName(QStringLiteral("FamilySwitch"));
    m_familySwitch->setToolTip(QCoreApplication::translate(
        "saed::app::Form1",
        "每个解族一行：按对称性等价的晶带轴与 {hkl} 相同的各行；展开可见其各行"));
    right->addWidget(m_familySwitch);
    right->addWidget(m_listView1, 1);
    m_familyTree = new QTreeWidget;
    m_familyTree->setObjectName(QStringLiteral("FamilyTree"));
    m_familyTree->hide();
    right->addWidget(m_familyTree, 1);
    layout->addLayout(right, 1);
    // Narrow panel margins: with them every control fits a 1024 x 768 screen.
    for (QGroupBox* panel : {m_frame1, m_frame3, m_frame2, m_frame11}) panel->layout()->setContentsMargins(6, 4, 6, 4);

    for (int i = 0; i < 6; ++i) text1(Field::A, i)->setMaximumWidth(120);
    for (Field f : {Field::Range, Field::ScaleReading, Field::ScaleLength}) text1(f)->setMaximumWidth(130);
    for (int i = 0; i < 9; ++i) text1(Field::H1, i)->setMaximumWidth(44);
    for (int i = 0; i < 3; ++i) {
        text1(Field::SegmentsR1, i)->setMaximumWidth(44);
        text1(Field::LengthR1, i)->setMinimumWidth(90);
        text1(Field::AngleR1R2, i)->setMinimumWidth(90);
    }
    for (Field first : {Field::TolD1, Field::TolAngle12}) {
        for (int i = 0; i < 3; ++i) {
            text1(first, i)->setMaximumWidth(64);
            text1(first, i)->setMinimumWidth(40);
        }
    }
    // A measured value may be longer than its field shows: its tooltip holds it whole.
    for (Field f : {Field::ScaleReading, Field::ScaleLength, Field::LengthR1, Field::LengthR2, Field::LengthR3,
                    Field::SegmentsR1, Field::SegmentsR2, Field::SegmentsR3, Field::AngleR1R2, Field::AngleR2R3,
                    Field::AngleR1R3}) {
        QLineEdit* field = text1(f);
        connect(field, &QLineEdit::textChanged, field, [field](const QString& text) { field->setToolTip(text); });
    }

    // Label21 is never shown: it measures the phase name so that Text6 can grow with it.
    m_label21 = new QLabel(tab);
    m_label21->hide();
    return tab;
}

QWidget* Form1::buildSimulationTab() {
    m_simulation = new SimulationPanel(m_prompts);
    return m_simulation;
}

QLineEdit* Form1::makeField(Field first, int offset) {
    const int n = fieldNumber(first, offset);
    auto* field = new QLineEdit(m_model.Text1(n));
    field->setObjectName(QStringLiteral("Text1_%1").arg(n));
    field->setMinimumWidth(48);
    m_text1[static_cast<std::size_t>(n)] = field;
    return field;
}

QGroupBox* Form1::buildLatticePanel() {
    m_frame1 = new QGroupBox(m_model.caption(Caption::Frame1));
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(m_frame1);
    grid->setVerticalSpacing(3);

    m_label20 = new ClickableLabel(QCoreApplication::translate("saed::app::Form1", "点阵参数□"));
    m_label20->setObjectName(QStringLiteral("Label20"));
    m_label20->setCursor(Qt::PointingHandCursor);
    m_text6 = new QLineEdit(m_model.Text6());
    m_text6->setObjectName(QStringLiteral("Text6"));
    m_label10 = new ClickableLabel(QCoreApplication::translate("saed::app::Form1", "点阵库"));
    m_label10->setObjectName(QStringLiteral("Label10"));
    m_label10->setCursor(Qt::PointingHandCursor);
    m_label10->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); text-decoration: underline;"));
    auto* head = new QHBoxLayout;
    head->addWidget(m_label20);
    head->addWidget(m_text6);
    head->addStretch(1);
    // The phase's space group beside its name; it yields its width first, so a long group
    // never widens the panel: a cut text ends in "…", the whole of it is in the tooltip.
    m_spaceGroupLabel = new ElidedLabel(QString(), 160);
    m_spaceGroupLabel->setObjectName(QStringLiteral("SpaceGroupLabel"));
    m_spaceGroupLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    head->addWidget(m_spaceGroupLabel, 2);
    head->addWidget(m_label10);
    grid->addLayout(head, 0, 0, 1, 6);

    const char16_t* edgeLabels[3] = {u"a=", u"b=", u"c=", };
    const char16_t* angleLabels[3] = {u"nm  α=", u"nm  β=", u"nm  γ="};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(makeLabel(QString::fromUtf16(edgeLabels[i])), i + 1, 0, Qt::AlignRight);
        grid->addWidget(makeField(Field::A, i), i + 1, 1);
        grid->addWidget(makeLabel(QString::fromUtf16(angleLabels[i])), i + 1, 2, Qt::AlignRight);
        grid->addWidget(makeField(Field::Alpha, i), i + 1, 3);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 4);
    }
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "指数范围")), 4, 0,
                    Qt::AlignRight);
    grid->addWidget(makeField(Field::Range), 4, 1);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "点阵类型")), 4, 2,
                    Qt::AlignRight);
    m_combo1 = new QComboBox;
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    grid->addWidget(m_combo1, 4, 3, 1, 2);
    m_doubleDiffraction =
        new QCheckBox(QCoreApplication::translate("saed::app::Form1", "二次衍射"));
    m_doubleDiffraction->setObjectName(QStringLiteral("DoubleDiffraction"));
    m_doubleDiffraction->setToolTip(QCoreApplication::translate(
        "saed::app::Form1",
        "也允许运动学禁止、但等于同一晶带中两个允许衍射之和的衍射（二次衍射）；"
        "用到它们的行在结果表中标有 ※"));
    grid->addWidget(m_doubleDiffraction, 4, 5);
    return m_frame1;
}

QGroupBox* Form1::buildImageMeasurementPanel() {
    m_frame3 = new QGroupBox(QCoreApplication::translate("saed::app::Form1", "图片测量"));
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    m_frame3->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* grid = new QGridLayout(m_frame3);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(4);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "实际测量长度")), 0,
                    1, 1, 2);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "段数")), 0, 3);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "实际测量角度")), 0,
                    4, 1, 3);
    const char16_t* rowNames[3] = {u"R1", u"R2", u"R3"};
    const char16_t* angleNames[3] = {u"<R1,R2>=", u"<R2,R3>=", u"<R1,R3>="};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(makeLabel(QString::fromUtf16(rowNames[i])), i + 1, 0);
        grid->addWidget(makeField(Field::LengthR1, i), i + 1, 1);
        grid->addWidget(makeLabel(QStringLiteral("px")), i + 1, 2);
        grid->addWidget(makeField(Field::SegmentsR1, i), i + 1, 3);
        grid->addWidget(makeLabel(QString::fromUtf16(angleNames[i])), i + 1, 4, Qt::AlignRight);
        grid->addWidget(makeField(Field::AngleR1R2, i), i + 1, 5);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 6);
    }
    // The scale bar's reading and its measured length share one row, so the window fits a
    // 1024 x 768 screen.
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "标尺示数")), 4, 0);
    grid->addWidget(makeField(Field::ScaleReading), 4, 1);
    grid->addWidget(makeLabel(QStringLiteral("1/nm")), 4, 2, 1, 2);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "标尺测量")), 4, 4,
                    Qt::AlignRight);
    grid->addWidget(makeField(Field::ScaleLength), 4, 5);
    grid->addWidget(makeLabel(QStringLiteral("px")), 4, 6);
    return m_frame3;
}

QGroupBox* Form1::buildTolerancePanel() {
    m_frame11 = new QGroupBox;
    m_frame11->setObjectName(QStringLiteral("Frame11"));
    auto* grid = new QGridLayout(m_frame11);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "调节误差")), 0, 0);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "比对误差")), 1, 0);
    const Field fields[6] = {Field::TolD1, Field::TolD2, Field::TolD3, Field::TolAngle12, Field::TolAngle23,
                             Field::TolAngle13};
    for (int k = 1; k <= 6; ++k) {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QStringLiteral("Slider%1").arg(k));
        slider->setRange(0, 100);
        slider->setSingleStep(1);
        slider->setPageStep(5);
        slider->setTickPosition(QSlider::NoTicks);
        slider->setValue(m_model.slider(k));
        slider->setMinimumWidth(56);
        m_sliders[static_cast<std::size_t>(k - 1)] = slider;
        grid->addWidget(slider, 0, 2 * k - 1, 1, 2);
        grid->addWidget(makeField(fields[k - 1]), 1, 2 * k - 1);
        grid->addWidget(makeLabel(k <= 3 ? QStringLiteral("nm") : QStringLiteral("deg.")), 1, 2 * k);
    }
    auto* heading = makeLabel(model::label7Text());  // Label7
    grid->addWidget(heading, 2, 1, 1, 12);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "图片计算")), 3,
                    0);  // Label1(54)
    m_label5 = new ElidedLabel(m_model.caption(Caption::Label5), 560);
    m_label5->setObjectName(QStringLiteral("Label5"));
    grid->addWidget(m_label5, 3, 1, 1, 12);
    return m_frame11;
}

QGroupBox* Form1::buildCalculatorPanel() {
    m_frame2 = new QGroupBox(QCoreApplication::translate("saed::app::Form1", "夹角带轴计算"));
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(m_frame2);
    grid->setVerticalSpacing(3);
    const char16_t* rowNames[3] = {u"R1", u"R2", u"R3"};
    const char16_t* angleNames[3] = {u"<R1,R2>=", u"<R2,R3>=", u"<R1,R3>="};
    grid->addWidget(makeLabel(QStringLiteral("h")), 0, 1, Qt::AlignCenter);
    grid->addWidget(makeLabel(QStringLiteral("k")), 0, 2, Qt::AlignCenter);
    grid->addWidget(makeLabel(QStringLiteral("l")), 0, 3, Qt::AlignCenter);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(makeLabel(QString::fromUtf16(rowNames[i])), i + 1, 0);
        grid->addWidget(makeField(Field::H1, i), i + 1, 1);
        grid->addWidget(makeField(Field::K1, i), i + 1, 2);
        grid->addWidget(makeField(Field::L1, i), i + 1, 3);
        grid->addWidget(makeLabel(QString::fromUtf16(angleNames[i])), i + 1, 4, Qt::AlignRight);
        grid->addWidget(makeField(Field::CalcAngle12, i), i + 1, 5);
        grid->addWidget(makeLabel(QStringLiteral("deg.")), i + 1, 6);
    }
    // The three spacings stand on one line under the grid, each followed by its unit.
    auto* spacings = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* spacing = new ElidedLabel(model::spacingLabelIdleText(i + 1), 140);
        spacing->setObjectName(QStringLiteral("Label1_%1").arg(47 + i));
        m_spacingLabels[static_cast<std::size_t>(i)] = spacing;
        spacings->addWidget(spacing);
        spacings->addWidget(makeLabel(QStringLiteral("nm")));
        spacings->addSpacing(8);
    }
    spacings->addStretch(1);
    grid->addLayout(spacings, 5, 0, 1, 7);
    grid->addWidget(makeLabel(QCoreApplication::translate("saed::app::Form1", "晶带轴指数")), 4, 0,
                    1, 2);
    auto* axis = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) axis->addWidget(makeField(Field::ZoneU, i));
    for (int i = 0; i < 3; ++i) text1(Field::ZoneU, i)->setMaximumWidth(64);
    grid->addLayout(axis, 4, 2, 1, 5);
    m_command5 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "计算"));
    m_command5->setObjectName(QStringLiteral("Command5"));
    m_command15 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "清除"));
    m_command15->setObjectName(QStringLiteral("Command15"));
    axis->addStretch(1);
    axis->addWidget(m_command5);
    axis->addWidget(m_command15);
    // The six outputs are only shown: blue text, not editable by typing.
    for (int i = 0; i < 6; ++i) {
        QLineEdit* output = text1(Field::CalcAngle12, i);
        output->setReadOnly(true);
        output->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
        output->setFocusPolicy(Qt::ClickFocus);
    }
    return m_frame2;
}

QFrame* Form1::buildPatternPanel() {
    auto* picture = new calculator::PatternSchematic;
    m_frame9 = picture;
    m_frame9->setObjectName(QStringLiteral("Frame9"));
    m_label14 = new ElidedLabel(m_model.caption(Caption::Label14), 300);
    m_label15 = new ElidedLabel(m_model.caption(Caption::Label15), 300);
    m_label16 = new ElidedLabel(m_model.caption(Caption::Label16), 300);
    m_label17 = new ElidedLabel(m_model.caption(Caption::Label17), 300);
    m_label14->setObjectName(QStringLiteral("Label14"));
    m_label15->setObjectName(QStringLiteral("Label15"));
    m_label16->setObjectName(QStringLiteral("Label16"));
    m_label17->setObjectName(QStringLiteral("Label17"));
    // Label16 names the plane of R1, Label15 that of R2, Label14 that of R3.
    picture->setLabels(m_label16, m_label15, m_label14, m_label17);
    return m_frame9;
}

QGroupBox* Form1::buildLibraryPanel() {
    m_frame7 = new QGroupBox(QCoreApplication::translate("saed::app::Form1", "点阵库"));
    m_frame7->setObjectName(QStringLiteral("Frame7"));
    auto* layout = new QVBoxLayout(m_frame7);
    m_treeView1 = new QTreeWidget;
    m_treeView1->setObjectName(QStringLiteral("TreeView1"));
    m_treeView1->setHeaderHidden(true);
    m_treeView1->setColumnCount(1);
    m_treeView1->setRootIsDecorated(true);
    m_treeView1->setMinimumHeight(130);
    // Parameter nodes are long: the column takes their width and the tree scrolls sideways.
    m_treeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_treeView1->header()->setStretchLastSection(false);
    layout->addWidget(m_treeView1, 1);
    auto* options = new QHBoxLayout;
    m_libraryModes[0] = new QRadioButton(QCoreApplication::translate("saed::app::Form1", "单选"));
    m_libraryModes[0]->setObjectName(QStringLiteral("Option1_0"));
    m_libraryModes[1] = new QRadioButton(QCoreApplication::translate("saed::app::Form1", "多选"));
    m_libraryModes[1]->setObjectName(QStringLiteral("Option1_1"));
    m_libraryModes[0]->setChecked(true);
    auto* importCif = new QPushButton(QCoreApplication::translate("saed::app::Form1", "导入CIF"));
    importCif->setObjectName(QStringLiteral("ImportCif"));
    importCif->setToolTip(QCoreApplication::translate(
        "saed::app::Form1",
        "从CIF文件或文件夹导入物相（含空间群和原子位置），导入的物相会保存下来"));
    auto* importMenu = new QMenu(importCif);
    importMenu->setObjectName(QStringLiteral("ImportCifMenu"));
    QAction* importFiles =
        importMenu->addAction(QCoreApplication::translate("saed::app::Form1", "CIF文件…"));
    importFiles->setObjectName(QStringLiteral("ImportCifFiles"));
    QAction* importFolder =
        importMenu->addAction(QCoreApplication::translate("saed::app::Form1", "CIF文件夹…"));
    importFolder->setObjectName(QStringLiteral("ImportCifFolder"));
    importCif->setMenu(importMenu);
    connect(importFiles, &QAction::triggered, this, [this] { library::importCifFiles(m_model, m_prompts); });
    connect(importFolder, &QAction::triggered, this, [this] { library::importCifFolder(m_model, m_prompts); });
    options->addWidget(importCif);
    m_command13 = new QPushButton(m_model.caption(Caption::Command13));
    m_command13->setObjectName(QStringLiteral("Command13"));
    m_command1 = new QPushButton(QCoreApplication::translate("saed::app::Form1", "取消"));
    m_command1->setObjectName(QStringLiteral("Command1"));
    options->addWidget(m_libraryModes[0]);
    options->addWidget(m_libraryModes[1]);
    options->addStretch(1);
    options->addWidget(m_command13);
    options->addWidget(m_command1);
    layout->addLayout(options);
    auto* info =
        makeLabel(QCoreApplication::translate("saed::app::Form1",
                                              "数据库版本2016.11.29\n"
                                              "勾选物相或其点阵参数，再按“计算选中项”逐个标定。\n"
                                              "单选：只保留最后勾选的一项；多选：可勾选多项。"));
    info->setObjectName(QStringLiteral("Frame7Info"));
    info->setWordWrap(true);
    layout->addWidget(info);
    m_frame7->setVisible(m_model.flag(Flag::Frame7Visible));
    return m_frame7;
}

// Two-way binding: what the user types goes to the model; what the model changes shows here.
void Form1::bindModel() {
    for (int n = 0; n < MainModel::kText1Count; ++n) {
        QLineEdit* field = text1(n);
        connect(field, &QLineEdit::textEdited, this, [this, n](const QString& text) { m_model.setText1(n, text); });
    }
    connect(&m_model, &MainModel::text1Changed, this, [this](int n) {
        QLineEdit* field = text1(n);
        if (field->text() == m_model.Text1(n)) return;
        field->setText(m_model.Text1(n));
        // A value written by an operation shows from its first digit, not scrolled to its end.
        if (!field->hasFocus()) field->setCursorPosition(0);
    });
    connect(&m_model, &MainModel::focusRequested, this, [this](int n) {
        QLineEdit* field = text1(n);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    });

    connect(m_text6, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.setText6(text); });
    connect(&m_model, &MainModel::text6Changed, this, [this] {
        if (m_text6->text() != shownText6()) {
            m_text6->setText(shownText6());
            // A label longer than the field shows its beginning, the phase's name.
            if (!m_text6->hasFocus()) m_text6->setCursorPosition(0);
        }
        fitNameField();
    });
    fitNameField();

    auto showCombo = [this] {
        const QSignalBlocker blocker(m_combo1);
        if (m_combo1->count() != m_model.Combo1Items().size()) {
            m_combo1->clear();
            m_combo1->addItems(model::translatedTexts(m_model.Combo1Items()));
            for (int i = 0; i < m_combo1->count(); ++i)
                if (const QString tip = model::latticeTypeTip(i); !tip.isEmpty())
                    m_combo1->setItemData(i, model::translatedText(tip), Qt::ToolTipRole);
        }
        m_combo1->setCurrentIndex(m_model.Combo1());
    };
    connect(&m_model, &MainModel::combo1Changed, this, showCombo);
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this](int index) { m_model.setCombo1(index); });
    showCombo();

    // Programmatic positions are shown with signals blocked, so valueChanged of a slider widget
    // reports only what the user did.
    connect(&m_model, &MainModel::sliderChanged, this, [this](int which) {
        QSlider* s = slider(which);
        const QSignalBlocker blocker(s);
        s->setValue(m_model.slider(which));
    });

    connect(&m_model, &MainModel::captionChanged, this, [this](Caption which) { showCaption(static_cast<int>(which)); });
    connect(&m_model, &MainModel::flagChanged, this, [this](Flag which) { showFlag(static_cast<int>(which)); });
    for (int i = 0; i < model::kCaptionCount; ++i) showCaption(i);
    for (int i = 0; i < model::kFlagCount; ++i) showFlag(i);
}

void Form1::showCaption(int which) {
    const auto c = static_cast<Caption>(which);
    // Number texts pass through unchanged; the fixed captions show in the reader's language.
    const QString text = model::translatedText(m_model.caption(c));
    switch (c) {
    case Caption::Label5: m_label5->setFullText(text); break;
    case Caption::Label22: m_label22->setText(text); break;
    case Caption::Label14: m_label14->setFullText(text); break;
    case Caption::Label15: m_label15->setFullText(text); break;
    case Caption::Label16: m_label16->setFullText(text); break;
    case Caption::Label17: m_label17->setFullText(text); break;
    case Caption::Label1_47: m_spacingLabels[0]->setFullText(text); break;
    case Caption::Label1_48: m_spacingLabels[1]->setFullText(text); break;
    case Caption::Label1_49: m_spacingLabels[2]->setFullText(text); break;
    case Caption::Frame1: m_frame1->setTitle(text); break;
    case Caption::Command6: m_command6->setText(text); break;
    case Caption::Command9: m_command9->setText(text); break;
    case Caption::Command13: m_command13->setText(text); break;
    }
}

void Form1::showFlag(int which) {
    const auto f = static_cast<Flag>(which);
    const bool on = m_model.flag(f);
    switch (f) {
    case Flag::LatticeLocked:
        m_text6->setEnabled(!on);
        m_text6->setFrame(!on);
        m_text6->setText(shownText6());
        m_text6->setCursorPosition(0);
        fitNameField();
        for (int i = 0; i < 6; ++i) text1(Field::A, i)->setEnabled(!on);
        break;
    case Flag::LatticeTextRed: {
        const QString style = on ? QStringLiteral("color: rgb(255, 0, 0);") : QString();
        m_text6->setStyleSheet(style);
        for (int i = 0; i < 6; ++i) text1(Field::A, i)->setStyleSheet(style);
        break;
    }
    case Flag::Command3Enabled: m_command3->setEnabled(on); break;
    case Flag::Command7Enabled: m_command7->setEnabled(on); break;
    case Flag::Frame7Visible: m_frame7->setVisible(on); break;
    case Flag::DoubleDiffraction: {
        const QSignalBlocker blocker(m_doubleDiffraction);
        m_doubleDiffraction->setChecked(on);
        break;
    }
    case Flag::MultipleChoice: {
        const QSignalBlocker b0(m_libraryModes[0]);
        const QSignalBlocker b1(m_libraryModes[1]);
        m_libraryModes[on ? 1 : 0]->setChecked(true);
        break;
    }
    }
}

// A locked name is a library phase's label, shown in the reader's language; an editable one is the
// user's own text, shown as the model holds it so that an edit never changes what it does not touch,
// but for the request to type a name.
QString Form1::shownText6() const {
    const QString& name = m_model.Text6();
    if (m_model.flag(Flag::LatticeLocked)) return model::translatedPhaseLabel(name);
    return name == model::phaseNameRequest() ? model::translatedText(name) : name;
}

// Text6 is as wide as its text (measured by Label21) plus 200 twips, up to a limit.
void Form1::fitNameField() {
    m_label21->setFont(m_text6->font());
    m_label21->setText(shownText6());
    m_label21->adjustSize();
    const int frame = 2 * m_text6->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    // Up to a limit, so that a long phase label never widens the window past a 1024-pixel screen;
    // the tooltip then holds the whole label.
    const int wanted = m_label21->sizeHint().width() + frame + measure::pixelsFromTwips(200);
    const int limit = measure::pixelsFromTwips(4200);
    m_text6->setFixedWidth(std::min(wanted, limit));
    m_text6->setToolTip(wanted > limit ? m_label21->text() : QString());
}

}  // namespace saed::app
