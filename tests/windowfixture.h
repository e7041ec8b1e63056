// SPDX-License-Identifier: BSD-3-Clause
// The main window over its own working data and scripted prompts, for the window tests.
#pragma once

#include <QApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "model/mainmodel.h"
#include "model/scriptedprompts.h"
#include "tests/indexing/indexingtestdata.h"

namespace saed::testdata {

struct MainWindow {
    model::MainModel model;
    model::ScriptedPrompts prompts;
    app::Form1 window{model, prompts};

    // Shows the window on `tab` and lets it lay out.
    void showOn(int tab) {
        window.show();
        window.tabs()->setCurrentIndex(tab);
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }
    // Shows the indexing tab with the cubic example typed in and the lattice open.
    void showCubicExample() {
        showOn(1);
        fillCubicExample(model);
        model.setFlag(model::Flag::LatticeLocked, false);
    }
};

// A window test with the window at hand as members.
class MainWindowTest : public ::testing::Test, protected MainWindow {};

}  // namespace saed::testdata
