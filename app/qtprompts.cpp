// SPDX-License-Identifier: BSD-3-Clause
#include "app/qtprompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/programmenu.h"
#include "app/settingsfile.h"
#include "app/translations.h"

namespace saed::app {

void QtPrompts::warn(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtPrompts::inform(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, m_parent);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

bool QtPrompts::confirm(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::askText(const QString& prompt, const QString& title,
                                          const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QStringList QtPrompts::qtFilters(const QString& filterList) {
    const QStringList parts = filterList.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The description may already name its patterns; Qt reads the last parenthesis.
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

std::optional<QString> QtPrompts::openImagePath(const QString& filterList) {
    QFileDialog dialog(m_parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = qtFilters(filterList);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPrompts::saveFilePath(const QString& title, const QString& suggestedName,
                                               const QString& filterList) {
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = qtFilters(filterList);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    // A name typed without an extension gets the one of the suggested name.
    const QString suffix = QFileInfo(suggestedName).suffix();
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    // Every export starts in one folder: the one last exported to, else the documents folder.
    const QString settings = settingsPath();
    dialog.selectFile(QFileInfo(suggestedName).isAbsolute() ? suggestedName
                                                            : QDir(exportFolder(settings)).filePath(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    if (!saveExportFolder(QFileInfo(chosen).absolutePath(), settings)) {
        // The export goes on; the folder is not remembered, which the status bar says once.
        auto* window = qobject_cast<QMainWindow*>(m_parent.data());
        const QString notice = settingsFailureNotice(settings);
        if (window != nullptr && !notice.isEmpty()) window->statusBar()->showMessage(notice);
    }
    return chosen;
}

QStringList QtPrompts::openFilePaths(const QString& title, const QString& filterList) {
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = qtFilters(filterList);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

std::optional<QString> QtPrompts::openFolderPath(const QString& title) {
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<std::vector<bool>> QtPrompts::chooseItems(const QString& prompt, const QString& title,
                                                        const QStringList& items) {
    QDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt));
    auto* list = new QListWidget;
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(list, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(520, 360);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<bool> ticks;
    for (int i = 0; i < list->count(); ++i) ticks.push_back(list->item(i)->checkState() == Qt::Checked);
    return ticks;
}

}  // namespace saed::app
