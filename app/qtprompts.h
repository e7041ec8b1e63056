// SPDX-License-Identifier: BSD-3-Clause
// Prompts shown as Qt dialogs over a parent window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "model/prompts.h"

namespace saed::app {

class QtPrompts : public model::Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void warn(const QString& text, const QString& title) override;
    void inform(const QString& text, const QString& title) override;
    bool confirm(const QString& text, const QString& title) override;
    std::optional<QString> askText(const QString& prompt, const QString& title,
                                   const QString& defaultText) override;
    std::optional<QString> openImagePath(const QString& filterList) override;
    std::optional<QString> saveFilePath(const QString& title, const QString& suggestedName,
                                        const QString& filterList) override;
    QStringList openFilePaths(const QString& title, const QString& filterList) override;
    std::optional<QString> openFolderPath(const QString& title) override;
    std::optional<std::vector<bool>> chooseItems(const QString& prompt, const QString& title,
                                                 const QStringList& items) override;

    // Turns "desc|patterns|desc|patterns" into Qt's "desc (patterns);;..." filters.
    static QStringList qtFilters(const QString& filterList);

private:
    QPointer<QWidget> m_parent;
};

}  // namespace saed::app
