// SPDX-License-Identifier: BSD-3-Clause
// The command line's dispatch: the language first, then one guard around every command, so that
// nothing aborts.
#include <exception>
#include <new>  // for bad_alloc

#include <QCoreApplication>

#include "app/cli/commands.h"

namespace saed::cli {

namespace {

struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::CommandLine)
};

// The command list keeps its descriptions in one column: a command name and its blanks fill
// nine columns (reflections, the longest, is followed by two blanks).
const char kUsage[] = QT_TRANSLATE_NOOP("saed::cli::CommandLine",
    "用法：saedindex-cli 命令 [选项] [--lang zh|en]\n"
    "\n"
    "命令：\n"
    "  index    用一个物相标定实测的衍射斑点花样\n"
    "  calc     三个晶面的晶面间距、夹角和晶带轴\n"
    "  library  列出物相库文本或 CIF 文件中的物相\n"
    "  reflections  一个物相的各衍射：晶面间距、消光、|F|、二次衍射\n"
    "  screen   用物相库中的每个物相标定实测花样\n"
    "  image    读取显微图像：尺寸、标定、斑点中心、检出的斑点\n"
    "  simulate 一个晶带轴的斑点花样，输出 JSON、SVG 或 PNG\n"
    "  tilt     两张相差一个倾转角的花样：哪些解对得上\n"
    "  orient   一个解的晶体取向、欧拉角、极射赤面投影和到邻近晶带轴的倾转\n"
    "  rings    多晶衍射环花样：中心、椭圆畸变、径向强度分布、物相和各环的 (hkl)\n"
    "  calibrate  用标样的衍射环求相机常数和椭圆畸变，可保存为标定\n"
    "  calibrations  保存的标定：列出、显示、删除\n"
    "  identify 从衍射图像识别物相和晶带轴（拟合全部斑点的倒易网，遍历物相库）\n"
    "\n"
    "saedindex-cli 命令 --help 列出该命令的选项；saedindex-cli --version 给出版本。\n"
    "\n"
    "--lang zh|en 选择帮助和消息的语言（放在命令行任意位置）；未给出时随系统的 LANGUAGE、\n"
    "LC_ALL、LC_MESSAGES 或 LANG，都不是中文或英文时为中文。tsv 和 json 输出、报告和写出的\n"
    "文件在两种语言下逐字节相同。\n");

}  // namespace

int runGuarded(const std::function<int()>& command, QTextStream& err, const QString& name) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
        err << name << ": " << CommandLine::tr("内存不足；请收窄容差或指数范围") << '\n';
    } catch (const std::exception& e) {
        err << name << ": " << CommandLine::tr("内部错误：%1").arg(QString::fromLocal8Bit(e.what())) << '\n';
    } catch (...) {
        err << name << ": " << CommandLine::tr("内部错误") << '\n';
    }
    err.flush();
    return 2;
}

int runCommandLine(QStringList args, QTextStream& out, QTextStream& err) {
    // Without a command the usage is an error message: on stderr, with status 2.
    if (args.isEmpty()) {
        err << CommandLine::tr(kUsage);
        return 2;
    }
    if (args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << CommandLine::tr(kUsage);
        return 0;
    }
    if (args.first() == QStringLiteral("--version")) {
        out << "saedindex-cli " << QStringLiteral(SAED_VERSION) << '\n';
        return 0;
    }
    const QString command = args.takeFirst();
    return runGuarded([&]() -> int {
        if (command == QStringLiteral("index")) return runIndexCommand(args, out, err);
        if (command == QStringLiteral("calc")) return runCalcCommand(args, out, err);
        if (command == QStringLiteral("library")) return runLibraryCommand(args, out, err);
        if (command == QStringLiteral("screen")) return runScreenCommand(args, out, err);
        if (command == QStringLiteral("reflections")) return runReflectionsCommand(args, out, err);
        if (command == QStringLiteral("image")) return runImageCommand(args, out, err);
        if (command == QStringLiteral("simulate")) return runSimulateCommand(args, out, err);
        if (command == QStringLiteral("tilt")) return runTiltCommand(args, out, err);
        if (command == QStringLiteral("orient")) return runOrientCommand(args, out, err);
        if (command == QStringLiteral("rings")) return runRingsCommand(args, out, err);
        if (command == QStringLiteral("calibrate")) return runCalibrateCommand(args, out, err);
        if (command == QStringLiteral("calibrations")) return runCalibrationsCommand(args, out, err);
        if (command == QStringLiteral("identify")) return runIdentifyCommand(args, out, err);
        err << "saedindex-cli: " << CommandLine::tr("未知命令“%1”").arg(command) << "\n\n" << CommandLine::tr(kUsage);
        return 2;
    }, err, QStringLiteral("saedindex-cli ") + command);
}

int runProgram(QStringList args, model::Language fallback, QTextStream& out, QTextStream& err) {
    // Without an application object no catalogue can be installed: the texts stay Chinese.
    QCoreApplication* app = QCoreApplication::instance();
    // The fallback speaks first, so that a bad --lang is told in it.
    if (app != nullptr) model::installProgramTranslations(*app, fallback);
    QString error;
    const std::optional<model::Language> chosen = model::takeLanguageOption(args, &error);
    if (!error.isEmpty()) {
        err << "saedindex-cli: " << error << '\n';
        err.flush();
        return 2;
    }
    if (app != nullptr && chosen && *chosen != fallback) model::installProgramTranslations(*app, *chosen);
    return runCommandLine(std::move(args), out, err);
}

}  // namespace saed::cli
