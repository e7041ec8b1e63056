// SPDX-License-Identifier: BSD-3-Clause
// The window's two small menus beside the tabs, 文件 and 帮助, and the places the program
// keeps for the user: recent images, the reports folder and the export folder.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QHBoxLayout;
class QMenu;

namespace saed::model {
class Prompts;
}  // namespace saed::model

namespace saed::app {

// The images opened last, newest first, as kept in `settings` (the window's settings file).
QStringList recentImages(const QString& settings);
// Puts `path` first among the recent images (at most kRecentImages, no repeats); false when the
// settings file cannot be written.
bool addRecentImage(const QString& path, const QString& settings);
inline constexpr int kRecentImages = 8;

// The folder the user chose for reports; empty when none is chosen.
QString chosenReportFolder(const QString& settings);
bool saveReportFolder(const QString& folder, const QString& settings);

// The folder every export (CSV, JSON, PNG, SVG) starts in: the one last exported to, else the
// documents folder (created when missing), else the home folder.
QString exportFolder(const QString& settings);
bool saveExportFolder(const QString& folder, const QString& settings);

// The menus. The window routes their requests; shortcuts Ctrl+O, Ctrl+S and Ctrl+Q work
// wherever the focus is in the window.
class ProgramMenu : public QWidget {
    Q_OBJECT

public:
    ProgramMenu(model::Prompts& prompts, const QString& settings, QWidget* parent = nullptr);

    // Adds a button (the language switch) after the menus.
    void addButton(QWidget* button);
    // Shows `path` first among the recent images and keeps it.
    void imageOpened(const QString& path);
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* recentMenu() const { return m_recentMenu; }

    // The About text: version, licence, and the libraries with their versions.
    static QString aboutText();

signals:
    void openImageRequested();
    void openImagePathRequested(const QString& path);
    void saveReportRequested();
    void quitRequested();
    void statusRequested(const QString& text);

private:
    void fillRecentMenu();
    void chooseReportFolder();

    model::Prompts& m_prompts;
    QString m_settings;
    QHBoxLayout* m_row = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
};

}  // namespace saed::app
