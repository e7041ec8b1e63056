// SPDX-License-Identifier: BSD-3-Clause
#include "model/scriptedprompts.h"

namespace saed::model {

namespace {

std::optional<QString> takeAnswer(std::deque<ScriptedPrompts::Answer>& queue) {
    if (queue.empty()) return std::nullopt;
    const ScriptedPrompts::Answer answer = queue.front();
    queue.pop_front();
    if (!answer.given) return std::nullopt;
    return answer.text;
}

}  // namespace

void ScriptedPrompts::warn(const QString& text, const QString& title) {
    m_questions.push_back({Kind::Warn, text, title, {}});
}

bool ScriptedPrompts::confirm(const QString& text, const QString& title) {
    m_questions.push_back({Kind::Confirm, text, title, {}});
    if (m_confirms.empty()) return false;
    const bool ok = m_confirms.front();
    m_confirms.pop_front();
    return ok;
}

std::optional<QString> ScriptedPrompts::askText(const QString& prompt, const QString& title,
                                                const QString&) {
    m_questions.push_back({Kind::AskText, prompt, title, {}});
    return takeAnswer(m_texts);
}

std::optional<QString> ScriptedPrompts::openImagePath(const QString& filterList) {
    m_questions.push_back({Kind::OpenImage, filterList, QString(), {}});
    return takeAnswer(m_paths);
}

std::optional<QString> ScriptedPrompts::saveFilePath(const QString& title, const QString& suggestedName,
                                                    const QString&) {
    m_questions.push_back({Kind::SaveFile, suggestedName, title, {}});
    return takeAnswer(m_savePaths);
}

QStringList ScriptedPrompts::openFilePaths(const QString& title, const QString& filterList) {
    m_questions.push_back({Kind::OpenFiles, filterList, title, {}});
    if (m_filePaths.empty()) return {};
    QStringList paths = m_filePaths.front();
    m_filePaths.pop_front();
    return paths;
}

std::optional<QString> ScriptedPrompts::openFolderPath(const QString& title) {
    m_questions.push_back({Kind::OpenFolder, QString(), title, {}});
    return takeAnswer(m_folders);
}

std::optional<std::vector<bool>> ScriptedPrompts::chooseItems(const QString& prompt, const QString& title,
                                                              const QStringList& items) {
    m_questions.push_back({Kind::ChooseItems, prompt, title, items});
    if (m_choices.empty()) return std::nullopt;
    std::optional<std::vector<bool>> ticks = m_choices.front();
    m_choices.pop_front();
    return ticks;
}

}  // namespace saed::model
