// SPDX-License-Identifier: BSD-3-Clause
// Every modal question the program asks, behind one interface so that tests can answer them.
#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace saed::model {

class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box with only an OK button.
    virtual void warn(const QString& text, const QString& title) = 0;
    // A message box that informs (no warning sign), with only an OK button.
    virtual void inform(const QString& text, const QString& title) { warn(text, title); }
    // A message box with OK and Cancel; true for OK.
    virtual bool confirm(const QString& text, const QString& title) = 0;
    // A text prompt; no value when cancelled.
    virtual std::optional<QString> askText(const QString& prompt, const QString& title,
                                           const QString& defaultText) = 0;
    // An open-file dialog with a filter list "description|patterns|..." whose first entry is
    // preselected; no value when cancelled.
    virtual std::optional<QString> openImagePath(const QString& filterList) = 0;
    // A save-file dialog titled `title`, proposing `suggestedName`, with a filter list as above;
    // the chosen path, or no value when cancelled. Prompts that cannot ask answer Cancel.
    virtual std::optional<QString> saveFilePath(const QString& title, const QString& suggestedName,
                                                const QString& filterList) {
        (void)title;
        (void)suggestedName;
        (void)filterList;
        return std::nullopt;
    }
    // An open-file dialog titled `title` that takes several existing files, with a filter list
    // as above; none when cancelled.
    virtual QStringList openFilePaths(const QString& title, const QString& filterList) {
        (void)title;
        (void)filterList;
        return {};
    }
    // A folder dialog titled `title`; no value when cancelled.
    virtual std::optional<QString> openFolderPath(const QString& title) {
        (void)title;
        return std::nullopt;
    }
    // A list of `items`, each with a tick box, all ticked at first, under `prompt`; the ticks as
    // the user left them, or no value when cancelled.
    virtual std::optional<std::vector<bool>> chooseItems(const QString& prompt, const QString& title,
                                                         const QStringList& items) {
        (void)prompt;
        (void)title;
        (void)items;
        return std::nullopt;
    }
};

}  // namespace saed::model
