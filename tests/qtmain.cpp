// SPDX-License-Identifier: BSD-3-Clause
// GoogleTest entry point for tests that need a QApplication (one per binary).
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Tests never need a real display, also when CTest lists them at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each test process has a home of its own: CTest runs tests side by side, and two of them
    // must never share the settings, stores, documents folder or recent images of one home.
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("saedindex-tests"));
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
