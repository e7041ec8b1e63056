// SPDX-License-Identifier: BSD-3-Clause
// Prompts answered from a script, recording every question; for tests and batch runs.
#pragma once

#include <deque>
#include <vector>

#include "model/prompts.h"

namespace saed::model {

class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Warn, Confirm, AskText, OpenImage, SaveFile, OpenFiles, OpenFolder, ChooseItems };
    struct Question {
        Kind kind;
        QString text;   // message, prompt, filter list, or the suggested name of a save
        QString title;
        QStringList items;  // the items offered by chooseItems
    };

    // Queued answers; a question without a queued answer gets Cancel (confirm: false).
    void queueConfirm(bool ok) { m_confirms.push_back(ok); }
    void queueText(const std::optional<QString>& text) { m_texts.push_back(Answer::of(text)); }
    void queueImagePath(const std::optional<QString>& path) { m_paths.push_back(Answer::of(path)); }
    void queueSavePath(const std::optional<QString>& path) { m_savePaths.push_back(Answer::of(path)); }
    // Files chosen in an open-file dialog; an empty list stands for Cancel.
    void queueFilePaths(const QStringList& paths) { m_filePaths.push_back(paths); }
    void queueFolderPath(const std::optional<QString>& path) { m_folders.push_back(Answer::of(path)); }
    // The ticks a list of items is left with; no value stands for Cancel. Without a queued
    // answer the list is cancelled.
    void queueChoice(const std::optional<std::vector<bool>>& ticks) { m_choices.push_back(ticks); }

    const std::vector<Question>& questions() const { return m_questions; }
    void clearQuestions() { m_questions.clear(); }

    void warn(const QString& text, const QString& title) override;
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

    // A queued text answer; `given` false stands for Cancel.
    struct Answer {
        bool given = false;
        QString text;
        static Answer of(const std::optional<QString>& value) {
            return value ? Answer{true, *value} : Answer{};
        }
    };

private:
    std::deque<bool> m_confirms;
    std::deque<Answer> m_texts;
    std::deque<Answer> m_paths;
    std::deque<Answer> m_savePaths;
    std::deque<QStringList> m_filePaths;
    std::deque<Answer> m_folders;
    std::deque<std::optional<std::vector<bool>>> m_choices;
    std::vector<Question> m_questions;
};

}  // namespace saed::model
