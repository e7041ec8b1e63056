// SPDX-License-Identifier: BSD-3-Clause
#include "app/guardedapplication.h"

#include <cstdio>
#include <exception>
#include <new>  // for bad_alloc

#include <QCoreApplication>  // for translate

namespace saed::app {

bool deliverGuarded(const std::function<bool()>& deliver, model::Prompts& prompts) {
    QString message;
    try {
        return deliver();
    } catch (const std::bad_alloc&) {
        message = QCoreApplication::translate(
            "saed::app::GuardedApplication",
            "内存不足，该操作已停止。窗口中的数据未受影响，请保存参数或导出结果。");
    } catch (const std::exception& e) {
        message =
            QCoreApplication::translate("saed::app::GuardedApplication",
                                        "程序内部错误：%1\n该操作已停止，窗口中的数据未受影响。")
                .arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        message =
            QCoreApplication::translate("saed::app::GuardedApplication",
                                        "程序内部错误。\n该操作已停止，窗口中的数据未受影响。");
    }
    prompts.warn(message, QCoreApplication::translate("saed::app::GuardedApplication", "错误"));
    return false;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    if (m_prompts == nullptr) return QApplication::notify(receiver, event);
    return deliverGuarded([&] { return QApplication::notify(receiver, event); }, *m_prompts);
}

}  // namespace saed::app
