// Prompts answered from a script, recording every question; for tests and batch runs.
#pragma once

#include <deque>
#include <vector>

#include "app/prompts.h"

namespace saed::app {

class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Warn, Confirm, AskText, OpenImage };
    struct Question {
        Kind kind;
        QString text;   // message, prompt or filter list
        QString title;
    };

    // Queued answers; a question without a queued answer gets Cancel (confirm: false).
    void queueConfirm(bool ok) { m_confirms.push_back(ok); }
    void queueText(std::optional<QString> text) { m_texts.push_back(std::move(text)); }
    void queueImagePath(std::optional<QString> path) { m_paths.push_back(std::move(path)); }

    const std::vector<Question>& questions() const { return m_questions; }
    void clearQuestions() { m_questions.clear(); }

    void warn(const QString& text, const QString& title) override {
        m_questions.push_back({Kind::Warn, text, title});
    }
    bool confirm(const QString& text, const QString& title) override {
        m_questions.push_back({Kind::Confirm, text, title});
        return take(m_confirms).value_or(false);
    }
    std::optional<QString> askText(const QString& prompt, const QString& title,
                                   const QString&) override {
        m_questions.push_back({Kind::AskText, prompt, title});
        return take(m_texts).value_or(std::nullopt);
    }
    std::optional<QString> openImagePath(const QString& filterList) override {
        m_questions.push_back({Kind::OpenImage, filterList, QString()});
        return take(m_paths).value_or(std::nullopt);
    }

private:
    template <typename T>
    static std::optional<T> take(std::deque<T>& queue) {
        if (queue.empty()) return std::nullopt;
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }

    std::deque<bool> m_confirms;
    std::deque<std::optional<QString>> m_texts;
    std::deque<std::optional<QString>> m_paths;
    std::vector<Question> m_questions;
};

}  // namespace saed::app
