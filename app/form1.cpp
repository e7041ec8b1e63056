// SPDX-License-Identifier: BSD-3-Clause
#include "app/form1.h"

#include <algorithm>  // for min
#include <utility>    // for pair

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>  // for translate
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/calculatorpanel.h"
#include "app/imagepage.h"
#include "app/latticepanel.h"
#include "app/librarypanel.h"
#include "app/measurewindows.h"
#include "app/measurementpanel.h"
#include "app/programmenu.h"
#include "app/resultspanel.h"
#include "app/runpanel.h"
#include "app/identifypanel.h"
#include "app/simulationpanel.h"
#include "app/translations.h"
#include "indexing/indexingoperations.h"
#include "measure/imagemeasurement.h"
#include "model/texts.h"

namespace saed::app {

Form1::Form1(model::MainModel& model, model::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_prompts(prompts) {
    setWindowTitle(tr("saedindex 电子衍射花样标定"));
    setAcceptDrops(true);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_imagePage = new ImagePage(m_model, m_prompts, this);
    m_tabs->addTab(m_imagePage, tr("斑点测量"));
    m_tabs->addTab(buildIndexingTab(), tr("标定计算"));
    m_simulation = new SimulationPanel(m_prompts);
    m_tabs->addTab(m_simulation, tr("衍射模拟"));
    m_tabs->addTab(buildOrientationTab(), tr("倾转与取向"));
    buildLanguageMenu();
    setCentralWidget(m_tabs);
    statusBar()->addPermanentWidget(m_imagePage->pointerStatus());
    routeSignals();

    // What happens once when the window opens. A library text that stops the tree leaves the
    // panel as it is; the selector is still filled, so that indexing does not depend on the
    // library. The image starts in move mode with no measurement line shown.
    m_library->loadLibrary();
    m_model.setCombo1Items(model::latticeTypeNames());
    m_model.setCombo1(core::LatticeType::Simple);
    imageMeasurement()->startUp();

    // As large as the table wants, but never beyond the screen, its title bar and frame included.
    const QRect available = screen()->availableGeometry();
    resize(std::min(1360, available.width() - 8), std::min(860, available.height() - 40));
}

// A screening still going stops first, while every widget and the run it reaches are there; its
// report goes back to how it was.
Form1::~Form1() { delete m_library; }

QWidget* Form1::buildIndexingTab() {
    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);

    m_lattice = new LatticePanel(m_model);
    m_measurementPanel = new MeasurementPanel(m_model, m_prompts, *imageMeasurement());
    m_run = new RunPanel(m_model, m_prompts);
    m_calculator = new CalculatorPanel(m_model, m_prompts);
    m_results = new ResultsPanel(m_model, m_prompts, *indexingOperations(), *imageMeasurement());
    m_library = new LibraryPanel(m_model, m_prompts, *indexingOperations());

    auto* left = new QVBoxLayout;
    left->addWidget(m_lattice);
    left->addWidget(m_measurementPanel);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(m_measurementPanel->calibrationRow());
    runRow->addWidget(m_run->runButton(), 1);
    left->addLayout(runRow);
    left->addWidget(m_calculator, 1);
    left->setSpacing(4);
    // The left column keeps to the width its fields need; the result table takes the rest.
    auto* leftPane = new QWidget;
    leftPane->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftPane->setMaximumWidth(500);
    layout->addWidget(leftPane);

    auto* right = new QVBoxLayout;
    right->addWidget(m_run);
    right->addWidget(m_library);
    right->addWidget(m_results, 1);
    layout->addLayout(right, 1);
    return tab;
}

void Form1::routeSignals() {
    indexing::IndexingOperations* run = indexingOperations();
    connect(&m_model, &model::MainModel::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text); });

    // A run or a screening unloads the magnifier; the window's exit closes the secondary windows.
    connect(m_run, &RunPanel::magnifierCloseRequested, this, &Form1::magnifierCloseRequested);
    connect(m_library, &LibraryPanel::magnifierCloseRequested, this, &Form1::magnifierCloseRequested);
    MeasureWindows* windows = m_imagePage->measureWindows();
    connect(this, &Form1::magnifierCloseRequested, windows, &MeasureWindows::unloadMagnifier);
    connect(this, &Form1::measureDialogCloseRequested, windows, &MeasureWindows::closeMeasureDialog);
    connect(this, &Form1::secondaryWindowsCloseRequested, windows, &MeasureWindows::closeAll);
    m_imagePage->watchWindow(this, m_tabs);

    // A run and a screening wait for each other.
    connect(run, &indexing::IndexingOperations::runStarted, m_library, [this] { m_library->setScreeningEnabled(false); });
    connect(run, &indexing::IndexingOperations::runFinished, m_library, [this] { m_library->setScreeningEnabled(true); });
    connect(m_library, &LibraryPanel::screeningStarted, m_run, [this] { m_run->runButton()->setEnabled(false); });
    connect(m_library, &LibraryPanel::screeningEnded, this, [this] {
        m_run->runButton()->setEnabled(true);
        // The table holds the last phase's rows: the families view follows them.
        m_results->rebuildFamilies();
    });

    // The row shown goes to the simulation tab and over the image; a new image or new lines
    // match the rows again.
    connect(m_results, &ResultsPanel::zoneShown, m_simulation,
            [this](const core::Uvw& zone, const core::Hkl& g1, const core::Hkl& g2) {
                if (m_simulation->showsLibraryPhase()) m_simulation->showModelPhase(m_model);
                m_simulation->showZone(zone, g1, g2);
            });
    connect(m_results, &ResultsPanel::overlayChanged, m_imagePage, &ImagePage::setOverlay);
    connect(m_results, &ResultsPanel::noteChanged, m_simulation, &SimulationPanel::setNote);
    // An identification candidate goes to the simulation tab as the image shows it.
    connect(m_imagePage->identifyPanel(), &IdentifyPanel::candidateChosen, m_simulation,
            [this](int record, const core::Uvw& zone, const core::Hkl& g1, const core::Hkl& g2, double turn) {
                if (!m_simulation->showLibraryPhase(m_model, record)) return;
                m_simulation->showZone(zone, g1, g2);
                m_simulation->setTurn(turn);
            });
    connect(m_imagePage->identifyPanel(), &IdentifyPanel::simulationRequested, this,
            [this] { m_tabs->setCurrentWidget(m_simulation); });
    connect(m_imagePage, &ImagePage::overlayShownChanged, m_results, &ResultsPanel::setOverlayShown);
    connect(imageMeasurement(), &measure::ImageMeasurement::measureDialogFinished, m_results,
            &ResultsPanel::imageChanged);

    // The phase, space group and lattice type of the simulation follow the window's, except while
    // it shows a phase from the ranking list; a change in the window or a row shown takes it back.
    const auto showWindowPhase = [this] { m_simulation->showModelPhase(m_model); };
    connect(&m_model, &model::MainModel::text1Changed, m_simulation, [showWindowPhase](int n) {
        if (n >= fieldNumber(model::Field::A) && n <= fieldNumber(model::Field::Gamma)) showWindowPhase();
    });
    connect(&m_model, &model::MainModel::text6Changed, m_simulation, showWindowPhase);
    connect(&m_model, &model::MainModel::spaceGroupChanged, m_simulation, showWindowPhase);
    connect(&m_model, &model::MainModel::combo1Changed, m_simulation, showWindowPhase);
    showWindowPhase();
    connect(m_library, &LibraryPanel::phaseSimulationRequested, this, &Form1::phaseSimulationRequested);
    connect(this, &Form1::phaseSimulationRequested, this, &Form1::simulateLibraryPhase);
}

void Form1::simulateLibraryPhase(int record) {
    if (!m_simulation->showLibraryPhase(m_model, record)) return;
    // The tab now shows a library phase, not a row of the table.
    m_results->clearShownGroup();
    if (const std::optional<core::Uvw> zone = m_library->rankedZone(record)) m_simulation->showZone(*zone);
    m_tabs->setCurrentWidget(m_simulation);
    raise();
    activateWindow();
}

QLineEdit* Form1::text1(int n) const { return findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(n)); }
QLineEdit* Form1::text6() const { return m_lattice->text6(); }
QComboBox* Form1::combo1() const { return m_lattice->combo1(); }
QSlider* Form1::slider(int k) const { return m_run->slider(k); }
QTableView* Form1::listView1() const { return m_results->listView1(); }
indexing::IndexingOperations* Form1::indexingOperations() const { return m_run->indexingOperations(); }
measure::ImageMeasurement* Form1::imageMeasurement() const { return m_imagePage->imageMeasurement(); }

// Every close of the main window asks first; Cancel changes nothing. On OK the magnifier and
// the Measure dialog close before this window.
void Form1::closeEvent(QCloseEvent* event) {
    if (!m_prompts.confirm(tr("                你真的要退出吗? "), tr("提示"))) {
        event->ignore();
        return;
    }
    emit secondaryWindowsCloseRequested();
    m_library->closeRanking();
    event->accept();
}

// An image file dropped on the window opens as with 打开.
void Form1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    m_tabs->setCurrentWidget(m_imagePage);
    imageMeasurement()->openPath(urls.first().toLocalFile());
}

void Form1::buildProgramMenu(QToolButton* languageButton) {
    m_programMenu = new ProgramMenu(m_prompts, settingsPath(), this);
    m_programMenu->addButton(languageButton);
    m_tabs->setCornerWidget(m_programMenu, Qt::TopRightCorner);
    measure::ImageMeasurement* measurement = imageMeasurement();
    connect(m_programMenu, &ProgramMenu::openImageRequested, this, [this, measurement] {
        m_tabs->setCurrentWidget(m_imagePage);
        measurement->Open();
    });
    connect(m_programMenu, &ProgramMenu::openImagePathRequested, this, [this, measurement](const QString& path) {
        m_tabs->setCurrentWidget(m_imagePage);
        measurement->openPath(path);
    });
    connect(m_programMenu, &ProgramMenu::saveReportRequested, m_results, &ResultsPanel::exportReport);
    connect(m_programMenu, &ProgramMenu::quitRequested, this, &QWidget::close);
    connect(m_programMenu, &ProgramMenu::statusRequested, this, [this](const QString& text) { statusBar()->showMessage(text); });
    // The title names the open image; the recent images keep it.
    connect(measurement, &measure::ImageMeasurement::imageOpened, this, [this](const QString& path) {
        setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" — ") + tr("saedindex 电子衍射花样标定"));
        setWindowFilePath(path);
        m_programMenu->imageOpened(path);
    });
}

void Form1::buildLanguageMenu() {
    // A small button beside the tabs, so the choice costs the window no height.
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("LanguageButton"));
    button->setText(tr("语言"));
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
    buildProgramMenu(button);
}

void Form1::chooseLanguage(model::Language language) {
    if (!saveLanguage(language)) {
        m_prompts.warn(tr("无法保存语言设置：\n") +
                           QDir::toNativeSeparators(settingsPath()),
                       QString());
        return;
    }
    if (language == model::currentLanguage()) return;
    const QString name = language == model::Language::English ? QStringLiteral("English") : QStringLiteral("中文");
    m_prompts.warn(tr("界面语言将在下次启动程序时改为%1。").arg(name),
                   tr("语言"));
}

}  // namespace saed::app
