// Prompts answered from a script, recording every question; for tests and batch runs.
#pragma once

#include <deque>
#include <vector>

#include "model/prompts.h"

namespace saed::model {

class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Warn, Confirm, AskText, OpenImage, SaveFile };
    struct Question {
        Kind kind;
        QString text;   // message, prompt, filter list, or the suggested name of a save
        QString title;
    };

    // Queued answers; a question without a queued answer gets Cancel (confirm: false).
    void queueConfirm(bool ok) { m_confirms.push_back(ok); }
    void queueText(const std::optional<QString>& text) { m_texts.push_back(Answer::of(text)); }
    void queueImagePath(const std::optional<QString>& path) { m_paths.push_back(Answer::of(path)); }
    void queueSavePath(const std::optional<QString>& path) { m_savePaths.push_back(Answer::of(path)); }

    const std::vector<Question>& questions() const { return m_questions; }
    void clearQuestions() { m_questions.clear(); }

    void warn(const QString& text, const QString& title) override;
    bool confirm(const QString& text, const QString& title) override;
    std::optional<QString> askText(const QString& prompt, const QString& title,
                                   const QString& defaultText) override;
    std::optional<QString> openImagePath(const QString& filterList) override;
    std::optional<QString> saveFilePath(const QString& title, const QString& suggestedName,
                                        const QString& filterList) override;

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
    std::vector<Question> m_questions;
};

}  // namespace saed::model
