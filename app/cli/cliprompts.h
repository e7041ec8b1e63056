// SPDX-License-Identifier: BSD-3-Clause
// Prompts of the command line: messages go to stderr after the command's name, and every
// question is answered "no".
#pragma once

#include <QTextStream>

#include "model/prompts.h"

namespace saed::cli {

class CliPrompts : public model::Prompts {
public:
    // `command` is the name every message starts with, such as "saedindex-cli index".
    CliPrompts(QTextStream& err, const char* command) : m_err(err), m_command(command) {}

    void warn(const QString& text, const QString& title) override {
        m_err << m_command << ": ";
        if (!title.isEmpty()) m_err << title << ": ";
        m_err << text << '\n';
        m_err.flush();
    }
    bool confirm(const QString& text, const QString& title) override {
        warn(text, title);
        return false;
    }
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString&) override {
        warn(prompt, title);
        return std::nullopt;
    }
    std::optional<QString> openImagePath(const QString&) override { return std::nullopt; }

private:
    QTextStream& m_err;
    const char* m_command;
};

}  // namespace saed::cli
