// SPDX-License-Identifier: BSD-3-Clause
#include "app/programmenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QToolButton>
#include <QtGlobal>  // for qVersion

#include <gemmi/version.hpp>  // for GEMMI_VERSION

#include "app/settingsfile.h"
#include "core/raster.h"
#include "model/prompts.h"

namespace saed::app {

namespace {

const QString kRecentKey = QStringLiteral("recentImages");
const QString kReportFolderKey = QStringLiteral("reportFolder");
const QString kExportFolderKey = QStringLiteral("exportFolder");

bool writeSetting(const QString& settings, const QString& key, const QVariant& value) {
    return writeSettings(settings, {{key, value}});
}

}  // namespace

QStringList recentImages(const QString& settings) {
    QStringList paths = QSettings(settings, QSettings::IniFormat).value(kRecentKey).toStringList();
    paths.removeAll(QString());
    while (paths.size() > kRecentImages) paths.removeLast();
    return paths;
}

bool addRecentImage(const QString& path, const QString& settings) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = recentImages(settings);
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > kRecentImages) paths.removeLast();
    return writeSetting(settings, kRecentKey, paths);
}

QString chosenReportFolder(const QString& settings) {
    return QSettings(settings, QSettings::IniFormat).value(kReportFolderKey).toString();
}

bool saveReportFolder(const QString& folder, const QString& settings) {
    return writeSetting(settings, kReportFolderKey, folder);
}

QString exportFolder(const QString& settings) {
    const QString kept = QSettings(settings, QSettings::IniFormat).value(kExportFolderKey).toString();
    if (!kept.isEmpty() && QDir(kept).exists()) return kept;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir().mkpath(documents)) return documents;
    return QDir::homePath();
}

bool saveExportFolder(const QString& folder, const QString& settings) {
    return writeSetting(settings, kExportFolderKey, folder);
}

ProgramMenu::ProgramMenu(model::Prompts& prompts, const QString& settings, QWidget* parent)
    : QWidget(parent), m_prompts(prompts), m_settings(settings) {
    setObjectName(QStringLiteral("ProgramMenu"));
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);

    // Small buttons beside the tabs, so that the menus cost the window no height.
    const auto menuButton = [this](const QString& text, const QString& name) {
        auto* button = new QToolButton;
        button->setObjectName(name);
        button->setText(text);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setAutoRaise(true);
        auto* menu = new QMenu(button);
        menu->setToolTipsVisible(true);
        button->setMenu(menu);
        m_row->addWidget(button);
        return menu;
    };
    m_fileMenu = menuButton(tr("文件"), QStringLiteral("FileButton"));
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    QMenu* help = menuButton(tr("帮助"), QStringLiteral("HelpButton"));
    help->setObjectName(QStringLiteral("HelpMenu"));

    // The shortcuts belong to the window, so that they work whatever has the focus in it.
    const auto addAction = [this](QMenu* menu, const QString& text, const QString& name, const QKeySequence& key) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            action->setShortcutVisibleInContextMenu(true);  // the menu says which key it is
            if (parentWidget() != nullptr) parentWidget()->addAction(action);
        }
        return action;
    };
    QAction* open = addAction(m_fileMenu, tr("打开图像…"), QStringLiteral("OpenImage"), QKeySequence::Open);
    connect(open, &QAction::triggered, this, &ProgramMenu::openImageRequested);
    m_recentMenu = m_fileMenu->addMenu(tr("最近打开的图像"));
    m_recentMenu->setObjectName(QStringLiteral("RecentImages"));
    QAction* save = addAction(m_fileMenu, tr("导出标定结果"), QStringLiteral("SaveReport"), QKeySequence::Save);
    save->setToolTip(tr("把结果表写成标定结果文件，放在报告文件夹中"));
    connect(save, &QAction::triggered, this, &ProgramMenu::saveReportRequested);
    QAction* folder = addAction(m_fileMenu, tr("报告文件夹…"), QStringLiteral("ReportFolder"), {});
    connect(folder, &QAction::triggered, this, &ProgramMenu::chooseReportFolder);
    m_fileMenu->addSeparator();
    QAction* quit = addAction(m_fileMenu, tr("退出"), QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &ProgramMenu::quitRequested);
    QAction* about = addAction(help, tr("关于 saedindex"), QStringLiteral("About"), {});
    connect(about, &QAction::triggered, this, [this] { m_prompts.inform(aboutText(), tr("关于 saedindex")); });

    fillRecentMenu();
}

void ProgramMenu::addButton(QWidget* button) { m_row->addWidget(button); }

void ProgramMenu::imageOpened(const QString& path) {
    if (!addRecentImage(path, m_settings))
        if (const QString notice = settingsFailureNotice(m_settings); !notice.isEmpty()) emit statusRequested(notice);
    fillRecentMenu();
}

void ProgramMenu::fillRecentMenu() {
    m_recentMenu->clear();
    const QStringList paths = recentImages(m_settings);
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        // &1 .. &8 pick an entry from the keyboard.
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1  %2").arg(i + 1).arg(QFileInfo(path).fileName().replace(u'&', QStringLiteral("&&"))));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { emit openImagePathRequested(path); });
    }
    m_recentMenu->setEnabled(!paths.isEmpty());
}

void ProgramMenu::chooseReportFolder() {
    const std::optional<QString> folder = m_prompts.openFolderPath(tr("选择报告文件夹"));
    if (!folder || folder->isEmpty()) return;
    if (!saveReportFolder(*folder, m_settings)) {
        m_prompts.warn(tr("无法保存报告文件夹设置：\n%1").arg(QDir::toNativeSeparators(m_settings)), QString());
        return;
    }
    emit statusRequested(tr("标定结果文件将写入：%1").arg(QDir::toNativeSeparators(*folder)));
}

QString ProgramMenu::aboutText() {
    return tr("saedindex %1\n选区电子衍射花样标定\n\n许可证：BSD-3-Clause\n版权所有 © The saedindex developers\n\n"
              "使用的库：\nQt %2\ngemmi %3\n%4")
        .arg(QStringLiteral(SAED_VERSION), QString::fromLatin1(qVersion()), QStringLiteral(GEMMI_VERSION),
             QString::fromStdString(core::tiffLibraryVersion()));
}

}  // namespace saed::app
