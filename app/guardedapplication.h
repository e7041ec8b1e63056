// SPDX-License-Identifier: BSD-3-Clause
// The window program's application object: an exception that reaches the event loop is told in
// a message box instead of ending the program with everything unsaved.
#pragma once

#include <functional>

#include <QApplication>
#include <QString>

#include "model/prompts.h"

namespace saed::app {

// Runs `deliver` and returns its result; an exception it throws is told through `prompts`
// (out of memory named as such) and false is returned.
bool deliverGuarded(const std::function<bool()>& deliver, model::Prompts& prompts);

class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    // The prompts that tell an exception; set once the main window exists.
    void setPrompts(model::Prompts* prompts) { m_prompts = prompts; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    model::Prompts* m_prompts = nullptr;
};

}  // namespace saed::app
