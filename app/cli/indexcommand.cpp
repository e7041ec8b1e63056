// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli index: the indexing run of the window on a pattern given as options.
#include <algorithm>  // for stable_sort
#include <cmath>      // for isnan, lround

#include <QCoreApplication>
#include <QDir>
#include <QStandardItemModel>

#include "analysis/imagepipeline.h"
#include "analysis/netfit.h"
#include "analysis/runmatch.h"
#include "app/cli/cliprompts.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/commands.h"
#include "app/cli/imageread.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"
#include "core/resultcells.h"
#include "indexing/indexingoperations.h"
#include "indexing/resultexport.h"
#include "measure/imagefile.h"
#include "library/phasetexts.h"
#include "library/spacegroup.h"
#include "store/calibrationstore.h"
#include "store/reports.h"

namespace saed::cli {

namespace {

struct Index {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Index)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Index",
    "用法：saedindex-cli index (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]\n"
    "                           | --cif FILE) --angles a12,a23,a13\n"
    "                          (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)\n"
    "                          [--double] [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]\n"
    "                          [--format text|tsv|json|csv] [--report [--out DIR]] [--max-rows M]\n"
    "      saedindex-cli index --cell ... --image FILE --auto [--scale S,Lbar] [其余选项同上]\n"
    "                          [--families] [--image FILE --centre X,Y --r1-end X,Y --r2-end X,Y]\n"
    "\n"
    "找出所有满足 g1 + g2 = g3、且晶面间距和夹角与三个实测衍射斑点 R1、R2、R3（R3 = R1 + R2）\n"
    "相符的晶面组合，与窗口中的“标定计算”完全相同。\n"
    "\n"
    "选项：\n"
    "  --cell a,b,c,alpha,beta,gamma  点阵参数：棱长单位 nm，夹角单位度\n"
    "  --type T           点阵类型：simple、base、body、face、rhombic，或 0 到 4（默认 simple）\n"
    "  --spacegroup SG    代替 --type 给出空间群（\"P 63/m m c\"、\"F d -3 m\" 或编号）：\n"
    "                     只有未被该空间群消光的晶面参与标定\n"
    "  --cif FILE         代替 --cell：取 CIF 第一个数据块的晶胞、空间群和原子位置；有原子时，\n"
    "                     |F| 为零的晶面也被排除\n"
    "  --double           也纳入本身禁止、但等于该行晶带中两个允许晶面之和的晶面（二次衍射）；\n"
    "                     这样的行标记“※”（json 中为 \"double\": true）\n"
    "  --range N          指数范围：h、k、l 各取 -N..N，0 <= N <= 99（默认 5）\n"
    "  --scale S,Lbar     标尺：读数 S（1/nm）及其实测长度 Lbar（px）\n"
    "  --r1 L,N           斑点 R1：实测长度 L（px），跨 N 个斑点间距\n"
    "  --r2 L,N           斑点 R2，同 --r1\n"
    "  --r3 L,N           斑点 R3，同 --r1；于是 dn = N * (Lbar / S) / L\n"
    "  --d d1,d2,d3       实测晶面间距（nm），代替 --scale 和 --r1 至 --r3\n"
    "  --image FILE --auto  从衍射图像测量花样：检出斑点，找出透射斑中心，取最短的两个点阵\n"
    "                     矢量为 R1、R2，R3 = R1 + R2（各跨一个间距），并测出其夹角；标尺取自\n"
    "                     文件的标定（10 1/nm 对应的像素数），文件没有标定时取自 --scale\n"
    "                     （两者都有时以 --scale 为准）\n"
    "  --calibration NAME 保存的标定（saedindex-cli calibrate --save）：代替 --scale 给出标尺；\n"
    "                     与 --image --auto 同用时，R1、R2、R3 先去除其椭圆畸变再标定\n"
    "  --angles a12,a23,a13  实测夹角 <R1,R2>、<R2,R3>、<R1,R3>（度）\n"
    "  --tol-d t1,t2,t3   晶面间距容差（nm，默认 0.008,0.008,0.008）；间距差恰等于容差时\n"
    "                     算作吻合\n"
    "  --tol-angle t1,t2,t3  夹角容差（度，默认 2,2,2）；夹角差恰等于容差时算作不吻合\n"
    "  --format F         text（默认）：为终端对齐的表格、表头和行数；tsv：每行为窗口所显示的\n"
    "                     二十个单元格文本，以制表符分隔，无表头；json：输入、实测的 d1、d2、\n"
    "                     d3、各行的数值及其晶带轴 [u,v,w] 和解族，以及从优到劣的各解族\n"
    "                     （docs/index-json.md）；csv：供电子表格使用，UTF-8 带字节序标记、\n"
    "                     CR LF，一行列标题，然后每行为二十个单元格文本、晶带轴、失配度、\n"
    "                     二次衍射标记和解族\n"
    "  --report           同时写出窗口中“导出标定结果”的结果报告：文件\n"
    "                     标定结果YYYY-MM-DD HHNNSS.txt（GB18030，CR LF）；其路径输出到 stderr\n"
    "  --out DIR          报告所在的文件夹（默认：当前文件夹）\n"
    "  --max-rows M       结果达到 M 行时停止，1 <= M <= 5000000（默认 5000000）\n"
    "  --families         每个解族一行，而不是每个结果一行：在点阵对称性和 Friedel 对意义下\n"
    "                     为同一解的各行（晶带轴 <uvw> 及 g1、g2、g3 的 {hkl} 都相同），从优\n"
    "                     到劣排列，附代表行（解族中失配度最小的行）和行数\n"
    "  --image FILE       花样的图像：每个解族得到匹配度，即其预测斑点在图像上有检出的比例\n"
    "                     与图像上检出斑点被预测的比例的调和平均（0..1），解族先按匹配度、\n"
    "                     再按失配度排序\n"
    "  --centre X,Y       透射斑在图像上的位置，单位为图像像素（x 向右，y 向下）\n"
    "  --r1-end X,Y       R1 在图像上的端点；R1 跨 --r1 给出的 N 个斑点间距\n"
    "  --r2-end X,Y       R2 的端点，同 --r1-end（用 --d 时各跨一个间距）\n"
    "  --help             本说明\n"
    "\n"
    "失配度 = sqrt( ( sum_n ((DTn - dn) / td_n)^2 + sum_n ((An - Mn) / ta_n)^2 ) / 6 )，n = 1..3：\n"
    "该行晶面间距 DTn 和夹角 An 与实测 dn、Mn 之差，各以其容差为单位；0 为完全吻合，六项都\n"
    "在容差内的行至多为 1。\n"
    "\n"
    "输入有误时在 stderr 上说明，退出状态为 2；无解时输出空表，退出状态为 0。\n"
    "结果将超过 --max-rows 行（容差或指数范围对真实花样而言过宽）时在该处停止：在 stderr 上\n"
    "说明，退出状态为 2，不输出表格。\n"
    "\n"
    "示例（立方晶胞，各跨一个斑点间距，标尺 2 1/nm 对应 100 px）：\n"
    "  saedindex-cli index --cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 \\\n"
    "      --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45\n"
    "\n"
    "示例（samples/al-114.png：两个解族的晶面间距和夹角相同，由图像判定为 <4 1 1>）：\n"
    "  saedindex-cli index --cell 0.40495,0.40495,0.40495,90,90,90 --type face --scale 10,140 \\\n"
    "      --r1 115.52,1 --r2 114.56,1 --r3 98.08,1 --angles 128.83,64.58,64.25 --families \\\n"
    "      --image samples/al-114.png --centre 400.3,300.6 --r1-end 410.8,186.4 --r2-end 481.7,381.3\n"
    "\n"
    "示例（alpha-Ti 沿 [2 -1 -1 0]，(0 0 0 1) 由二次衍射出现）：\n"
    "  saedindex-cli index --cell 0.29506,0.29506,0.46835,90,90,120 --spacegroup \"P 63/m m c\" \\\n"
    "      --double --range 3 --d 0.46835,0.25551,0.22135 --angles 90,30.04,59.96\n");

const QStringList kValueOptions = patternOptionNames() + QStringList{
    QStringLiteral("cell"), QStringLiteral("type"), QStringLiteral("format"), QStringLiteral("out"),
    QStringLiteral("max-rows"), QStringLiteral("image"), QStringLiteral("centre"), QStringLiteral("r1-end"),
    QStringLiteral("r2-end"), QStringLiteral("spacegroup"), QStringLiteral("cif"), QStringLiteral("calibration")};

}  // namespace

namespace {

using model::Field;
using model::fieldNumber;

// The option (and the place in its list) that filled field Text1(n).
QString optionOfField(int n, bool spacingsGiven) {
    const auto nth = [](const char* option, int i) {
        static const char* const ordinals[] = {
            QT_TRANSLATE_NOOP("saed::cli::Index", "--%1 的第一个值"), QT_TRANSLATE_NOOP("saed::cli::Index", "--%1 的第二个值"),
            QT_TRANSLATE_NOOP("saed::cli::Index", "--%1 的第三个值"), QT_TRANSLATE_NOOP("saed::cli::Index", "--%1 的第四个值"),
            QT_TRANSLATE_NOOP("saed::cli::Index", "--%1 的第五个值"), QT_TRANSLATE_NOOP("saed::cli::Index", "--%1 的第六个值")};
        return Index::tr(ordinals[i]).arg(QString::fromLatin1(option));
    };
    // Place of field n in the run of fields that starts at `first` and holds `count` of them.
    const auto place = [n](Field first, int count) {
        const int i = n - fieldNumber(first);
        return i >= 0 && i < count ? i : -1;
    };
    static const char* const lengths[] = {"r1", "r2", "r3"};
    if (const int i = place(Field::A, 6); i >= 0) return nth("cell", i);
    if (n == fieldNumber(Field::Range)) return QStringLiteral("--range");
    if (const int i = place(Field::SegmentsR1, 3); spacingsGiven && i >= 0) return nth("d", i);
    if (const int i = place(Field::ScaleReading, 2); i >= 0) return nth("scale", i);
    if (const int i = place(Field::LengthR1, 3); i >= 0) return nth(lengths[i], 0);
    if (const int i = place(Field::SegmentsR1, 3); i >= 0) return nth(lengths[i], 1);
    if (const int i = place(Field::TolD1, 3); i >= 0) return nth("tol-d", i);
    if (const int i = place(Field::AngleR1R2, 3); i >= 0) return nth("angles", i);
    if (const int i = place(Field::TolAngle12, 3); i >= 0) return nth("tol-angle", i);
    return QString();
}

// The families in the order to show, with their match against the image.
using FamilyLine = indexing::RankedFamily;

// One line per family: its id, the representative row, the zone family, the {hkl} of g1, g2, g3,
// the number of rows, the misfit and, with an image, the match.
void fillFamilyTable(QStandardItemModel& table, const std::vector<FamilyLine>& families, bool withMatch) {
    QStringList headers{Index::tr("解族"), Index::tr("代表行"), Index::tr("晶带轴族"),
                        QStringLiteral("{hkl}1"), QStringLiteral("{hkl}2"), QStringLiteral("{hkl}3"),
                        Index::tr("行数"), Index::tr("失配度")};
    if (withMatch) headers << Index::tr("匹配度");
    table.setColumnCount(static_cast<int>(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    const auto triple = [](QChar open, const auto& v, QChar close) {
        return open + QStringLiteral("%1 %2 %3").arg(v[0]).arg(v[1]).arg(v[2]) + close;
    };
    const auto number = [](double v) {
        return std::isfinite(v) ? QString::fromStdString(core::formatFixed(v, 3, false)) : QStringLiteral("-");
    };
    for (const FamilyLine& line : families) {
        const indexing::SolutionFamily& f = line.family;
        QList<QStandardItem*> items{
            new QStandardItem(QString::number(f.id)),
            new QStandardItem(QString::fromStdString(core::groupLabel(static_cast<long long>(f.representative) + 1))),
            new QStandardItem(triple(u'<', f.zone, u'>')),
            new QStandardItem(triple(u'{', f.forms[0], u'}')),
            new QStandardItem(triple(u'{', f.forms[1], u'}')),
            new QStandardItem(triple(u'{', f.forms[2], u'}')),
            new QStandardItem(QString::number(static_cast<qulonglong>(f.rowCount))),
            new QStandardItem(number(f.misfit))};
        if (withMatch) items << new QStandardItem(line.match ? number(*line.match) : QStringLiteral("-"));
        for (QStandardItem* item : items) item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        table.appendRow(items);
    }
}

// A point "X,Y" of an option, in image pixels.
std::optional<simulation::PixelPoint> pointOption(Options& options, const QString& name) {
    const std::optional<QStringList> xy = options.list(name, 2);
    if (!xy) return std::nullopt;
    bool okX = false, okY = false;
    const double x = (*xy)[0].toDouble(&okX), y = (*xy)[1].toDouble(&okY);
    if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    return simulation::PixelPoint{x, y};
}

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli index: " << message << '\n' << Index::tr("用法见 saedindex-cli index --help。") << '\n';
    return 2;
}

// --report: the window's export of the table just built, into --out or the current folder.
int writeReportIfAsked(const Options& options, model::MainModel& model, model::Prompts& prompts, QTextStream& err) {
    if (!options.has(QStringLiteral("report"))) return 0;
    store::ReportTarget target;
    target.folders = {options.value(QStringLiteral("out"), QDir::currentPath())};
    target.stamp = QDateTime::currentDateTime();
    const std::optional<QString> path = store::exportResultReport(model, prompts, target);
    if (!path) return 2;
    err << "saedindex-cli index: " << Index::tr("报告已写入 %1").arg(QDir::toNativeSeparators(*path)) << '\n';
    err.flush();
    return 0;
}

// --image FILE --auto: the spots of the image as R1, R2, R3, and the scale bar from its calibration
// unless --scale gave one. False, with the reason on stderr, when the image gives no pattern.
std::optional<measure::AutoPattern> measureImage(const Options& options, const std::optional<store::SavedCalibration>& saved,
                                                 model::MainModel& model, QTextStream& err, int& widthPx, int& heightPx) {
    const QString path = options.value(QStringLiteral("image"));
    const measure::LoadedImage image = measure::loadImage(path);
    if (!image.raster) {
        err << "saedindex-cli index: "
            << (image.tooLarge && image.error.isEmpty() ? Index::tr("%1 太大，内存容纳不下。").arg(path) : image.error) << '\n';
        return std::nullopt;
    }
    const auto& calibration = image.raster->calibration;
    if (saved) {
        core::Calibration c;
        c.perPixel = saved->perPixel;
        c.reciprocal = true;
        measure::writeCalibration(model, c);
        // The file's own calibration beside the saved one; a large disagreement is told.
        if (calibration && calibration->reciprocal && calibration->perPixel > 0) {
            const double off = calibration->perPixel / saved->perPixel - 1;
            err << "saedindex-cli index: "
                << Index::tr("文件自带的标定 %1 1/nm 每像素，与标定“%2”相差 %3 %")
                       .arg(QString::number(calibration->perPixel, 'g', 8), QString::fromStdString(saved->name),
                            QString::number(100 * off, 'f', 2))
                << '\n';
            if (std::abs(off) > measure::kLargeCalibrationDifference)
                err << "saedindex-cli index: " << Index::tr("注意：两者相差较大，请核对所选标定是否属于这一相机长度和像素合并") << '\n';
        }
    } else if (!options.has(QStringLiteral("scale"))) {
        if (!calibration || !measure::writeCalibration(model, *calibration)) {
            err << "saedindex-cli index: "
                << (calibration ? Index::tr("%1 带的是实空间标尺，不是衍射标定；请给出 --scale S,Lbar")
                                : Index::tr("%1 没有标定；请给出 --scale S,Lbar"))
                       .arg(path)
                << '\n';
            return std::nullopt;
        }
    }
    widthPx = image.raster->width();
    heightPx = image.raster->height();
    std::string error;
    // The direct beam: the one given, else the lattice point about which the spots of the net
    // fitted to them all pair up best (started from the beam's plateau).
    std::optional<core::PixelPoint> centre;
    if (options.has(QStringLiteral("centre"))) {
        const QStringList xy = options.value(QStringLiteral("centre")).split(QLatin1Char(','));
        bool okX = false, okY = false;
        const double x = xy.size() == 2 ? xy[0].trimmed().toDouble(&okX) : 0, y = xy.size() == 2 ? xy[1].trimmed().toDouble(&okY) : 0;
        if (okX && okY && std::isfinite(x) && std::isfinite(y)) centre = core::PixelPoint{x, y};
        if (!centre) {
            err << "saedindex-cli index: " << Index::tr("--centre 须为 X,Y 两个数") << '\n';
            return std::nullopt;
        }
    } else {
        centre = analysis::netCentre(*image.raster);
    }
    const std::optional<measure::AutoPattern> pattern = measure::measurePattern(*image.raster, centre, error);
    if (!pattern) {
        err << "saedindex-cli index: " << path << ": " << QString::fromStdString(error) << '\n';
        return std::nullopt;
    }
    // The fields take the vectors without the saved distortion; the image keeps its own.
    std::optional<measure::AutoPattern> fields = pattern;
    if (saved && !saved->distortion.none()) {
        fields = measure::withoutDistortion(*pattern, saved->distortion);
        if (!fields) {
            err << "saedindex-cli index: " << path << ": "
                << Index::tr("去除畸变后的点阵矢量给不出一致的夹角") << '\n';
            return std::nullopt;
        }
    }
    measure::writeAutoPattern(model, *fields);
    err << "saedindex-cli index: "
        << Index::tr("%1 个斑点，中心 %2,%3；R1 %4 px，R2 %5 px，R3 %6 px；夹角 %7、%8、%9")
               .arg(QString::number(fields->spots.size()), QString::number(fields->vectors.centre.x),
                    QString::number(fields->vectors.centre.y), QString::number(fields->lengthsPx[0]),
                    QString::number(fields->lengthsPx[1]), QString::number(fields->lengthsPx[2]), model.Text1(model::Field::AngleR1R2),
                    model.Text1(model::Field::AngleR2R3), model.Text1(model::Field::AngleR1R3))
        << '\n';
    if (saved && !saved->distortion.none())
        err << "saedindex-cli index: "
            << Index::tr("已按标定“%1”去除椭圆畸变（轴比 %2，长轴 %3°）")
                   .arg(QString::fromStdString(saved->name), QString::number(saved->distortion.ratio, 'f', 4),
                        QString::number(saved->distortion.angleDeg, 'f', 1))
            << '\n';
    err.flush();
    return pattern;
}

}  // namespace

int runIndexCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options options;
    if (!options.parse(args, kValueOptions,
                       {QStringLiteral("help"), QStringLiteral("report"), QStringLiteral("auto"), QStringLiteral("families"),
                        QStringLiteral("double")}))
        return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << Index::tr(kHelp);
        return 0;
    }

    if (options.has(QStringLiteral("out")) && !options.has(QStringLiteral("report")))
        return usageError(err, Index::tr("--out 指定 --report 的文件夹，须与 --report 同用"));
    const bool spacingsGiven = options.has(QStringLiteral("d"));
    const bool fromCif = options.has(QStringLiteral("cif"));
    if (options.has(QStringLiteral("cell")) == fromCif)
        return usageError(err, Index::tr("--cell 与 --cif 须给出且只给出其一"));
    if (options.has(QStringLiteral("type")) && (fromCif || options.has(QStringLiteral("spacegroup"))))
        return usageError(err, Index::tr("--type 只与 --cell 同用，不能与 --spacegroup 或 --cif 同用"));
    if (fromCif && options.has(QStringLiteral("spacegroup")))
        return usageError(err, Index::tr("--cif 自带空间群；请去掉 --spacegroup"));
    const bool autoMeasure = options.has(QStringLiteral("auto"));
    if (autoMeasure && !options.has(QStringLiteral("image")))
        return usageError(err, Index::tr("--auto 测量图像中的花样；请给出 --image FILE"));
    if (autoMeasure) {
        for (const char* measured : {"d", "r1", "r2", "r3", "angles"})
            if (options.has(QString::fromLatin1(measured)))
                return usageError(err, Index::tr("--image --auto 自行测量花样；请去掉 --%1")
                                           .arg(QString::fromLatin1(measured)));
    } else if (options.has(QStringLiteral("calibration"))) {
        // The calibration stands for --scale.
        for (const char* needed : {"r1", "r2", "r3", "angles"})
            if (!options.has(QString::fromLatin1(needed)))
                return usageError(err, Index::tr("用 --calibration 时须给出 --r1、--r2、--r3 和 --angles（或 --image FILE --auto）"));
    } else if (const QString problem = patternOptionsProblem(options); !problem.isEmpty()) {
        return usageError(err, problem);
    }
    std::optional<store::SavedCalibration> saved;
    if (options.has(QStringLiteral("calibration"))) {
        if (options.has(QStringLiteral("scale")) || spacingsGiven)
            return usageError(err, Index::tr("--calibration 代替 --scale；不能与 --scale 或 --d 同用"));
        QString error;
        saved = store::CalibrationStore(store::CalibrationStore::defaultPath()).find(options.value(QStringLiteral("calibration")), &error);
        if (!saved) {
            err << "saedindex-cli index: " << error << '\n';
            return 2;
        }
    }

    // csv is the index command's own: the table for spreadsheets.
    const QString formatName = options.value(QStringLiteral("format"), QStringLiteral("text"));
    const bool csv = formatName == QStringLiteral("csv");
    const std::optional<OutputFormat> format = csv ? OutputFormat::Text : parseOutputFormat(formatName);
    if (!format) return usageError(err, Index::tr("--format 须为 text、tsv、json 或 csv"));
    if (csv && options.has(QStringLiteral("families")))
        return usageError(err, Index::tr("--format csv 输出各行；--families 只能与 text 或 tsv 同用"));
    const auto type = latticeTypeOption(options.value(QStringLiteral("type"), QStringLiteral("simple")));
    if (!type) return usageError(err, Index::tr("--type 须为 simple、base、body、face、rhombic 或 0 到 4"));

    bool limitOk = true;
    const qulonglong maxRows = options.has(QStringLiteral("max-rows"))
                                   ? options.value(QStringLiteral("max-rows")).trimmed().toULongLong(&limitOk)
                                   : indexing::kRowLimit;
    if (!limitOk || maxRows < 1 || maxRows > indexing::kRowLimit)
        return usageError(err, Index::tr("--max-rows 须为 1 到 %1 的整数").arg(indexing::kRowLimit));

    model::MainModel model;
    model.setCombo1Items(model::latticeTypeNames());
    model.setCombo1(*type);
    model.setFlag(model::Flag::DoubleDiffraction, options.has(QStringLiteral("double")));

    std::optional<library::CrystalPhase> phase;
    if (fromCif) {
        const auto phases = loadCifPhases({options.value(QStringLiteral("cif"))}, QStringLiteral("index"), err);
        if (!phases) return 2;
        if (phases->size() > 1)
            err << "saedindex-cli index: "
                << Index::tr("%1 含 %2 个物相；用第一个（%3）标定")
                       .arg(options.value(QStringLiteral("cif")), QString::number(phases->size()),
                            QString::fromStdString(phases->front().name))
                << '\n';
        phase = phases->front();
        const core::Cell& c = phase->cell;
        const double values[6] = {c.aNm, c.bNm, c.cNm, c.alphaDeg, c.betaDeg, c.gammaDeg};
        for (int n = 0; n < 6; ++n)
            model.setText1(model::fieldNumber(model::Field::A, n),
                          QString::fromStdString(library::formatNumberWithSu(values[n], 0)));
    } else {
        const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
        if (!cell) return usageError(err, options.error());
        if (QString error; !cellFromTexts(*cell, error)) return usageError(err, error);
        for (int n = 0; n < 6; ++n) model.setText1(model::fieldNumber(model::Field::A, n), (*cell)[n]);
        if (options.has(QStringLiteral("spacegroup"))) {
            QString error;
            phase = phaseFromCell(*cell, options.value(QStringLiteral("spacegroup")), error);
            if (!phase) return usageError(err, error);
        }
    }
    if (phase) {
        model.setSpaceGroup(QString::fromStdString(library::spaceGroupLabel(*phase)), library::phaseRule(*phase));
        model.setCombo1(core::LatticeType::SpaceGroup);
    }
    if (!fillPatternFields(options, model)) return usageError(err, options.error());
    if (saved && !autoMeasure) {
        core::Calibration c;
        c.perPixel = saved->perPixel;
        c.reciprocal = true;
        measure::writeCalibration(model, c);
        // Typed lengths carry no direction: only the camera constant applies to them.
        if (!saved->distortion.none())
            err << "saedindex-cli index: "
                << Index::tr("只用了标定“%1”的相机常数；去除椭圆畸变须用 --image FILE --auto")
                       .arg(QString::fromStdString(saved->name))
                << '\n';
    }
    if (saved)
        model.setCalibrationNote(
            measure::calibrationNote(QString::fromStdString(saved->name), saved->perPixel, saved->distortion));
    std::optional<measure::AutoPattern> autoPattern;
    int imageWidthPx = 0, imageHeightPx = 0;
    if (autoMeasure) {
        autoPattern = measureImage(options, saved, model, err, imageWidthPx, imageHeightPx);
        if (!autoPattern) return 2;
    }

    // The image and where the pattern lies on it, read before the run so that a bad file costs
    // no search.
    std::optional<simulation::ImageFrame> frame;
    std::vector<simulation::PixelPoint> detected;
    const QStringList imageOptions{QStringLiteral("image"), QStringLiteral("centre"), QStringLiteral("r1-end"),
                                   QStringLiteral("r2-end")};
    const auto given = std::count_if(imageOptions.begin(), imageOptions.end(), [&options](const QString& o) { return options.has(o); });
    if (autoPattern) {
        // The detected pattern places itself: R1 and R2 from the centre, one spacing each.
        if (options.has(QStringLiteral("r1-end")) || options.has(QStringLiteral("r2-end")))
            return usageError(err, Index::tr("--image --auto 自行找出 R1、R2；请去掉 --r1-end 和 --r2-end"));
        frame = analysis::imageFrame(*autoPattern, imageWidthPx, imageHeightPx);
        detected = analysis::toPixelPoints(autoPattern->spots);
    } else if (given != 0 && given != imageOptions.size()) {
        return usageError(err, Index::tr("--image、--centre、--r1-end 和 --r2-end 须一起给出"));
    } else if (given != 0) {
        const auto centre = pointOption(options, QStringLiteral("centre"));
        const auto r1End = pointOption(options, QStringLiteral("r1-end"));
        const auto r2End = pointOption(options, QStringLiteral("r2-end"));
        if (!centre || !r1End || !r2End)
            return usageError(err, Index::tr("--centre、--r1-end 和 --r2-end 各取两个数 X,Y"));
        const double n1 = spacingsGiven ? 1 : model.value(model::Field::SegmentsR1);
        const double n2 = spacingsGiven ? 1 : model.value(model::Field::SegmentsR2);
        if (!analysis::segmentCount(n1) || !analysis::segmentCount(n2))
            return usageError(err, Index::tr("用 --image 时，--r1 和 --r2 的斑点间距数 N 须为不小于 1 的整数"));
        const core::ReadResult read = readAnyImage(options.value(QStringLiteral("image")));
        if (!read.raster) {
            err << "saedindex-cli index: " << QString::fromStdString(read.error) << '\n';
            return 2;
        }
        frame = analysis::imageFrame(*centre, *r1End, n1, *r2End, n2, read.raster->width(), read.raster->height());
        detected = analysis::detectedSpots(*read.raster);
    }

    CliPrompts prompts(err, "saedindex-cli index");
    indexing::IndexingOperations operations(model, prompts);
    operations.setRowLimit(static_cast<std::size_t>(maxRows));
    operations.setCutRowsShown(false);
    QObject::connect(&model, &model::MainModel::focusRequested, [&err, spacingsGiven](int n) {
        const QString option = optionOfField(n, spacingsGiven);
        if (!option.isEmpty()) err << "  (" << option << ")\n";
    });
    operations.RunIndexing();
    if (operations.InputRejected() != 0) return 2;
    // The message went to stderr through the prompts; a cut table is not a result.
    if (operations.lastEnd() == indexing::RunEnd::RowLimit) return 2;

    // The match of the families against the image's detected spots, as the window computes it.
    std::optional<std::vector<std::optional<double>>> matchOfId;
    if (frame) matchOfId = analysis::matchLastRun(operations, *frame, detected).familyMatch;
    const std::vector<FamilyLine> families = indexing::rankFamilies(operations.lastFamilies(), matchOfId);

    const model::ResultTableModel& table = *model.resultTable();
    QStandardItemModel familyTable;
    if (options.has(QStringLiteral("families"))) fillFamilyTable(familyTable, families, frame.has_value());
    if (csv) {
        out << indexing::resultCsv(table);
        out.flush();
        return writeReportIfAsked(options, model, prompts, err);
    }
    switch (*format) {
    case OutputFormat::Text: {
        if (options.has(QStringLiteral("families"))) {
            writeAlignedTable(out, familyTable);
            out << Index::tr("解族：%1，行：%2").arg(familyTable.rowCount()).arg(table.rowCount()) << '\n';
        } else {
            // The rows' match is the window's (its image and lines); here families carry it.
            writeAlignedTable(out, table, model::ResultTableModel::kMisfitColumn + 1);
            out << Index::tr("行数：%1").arg(table.rowCount()) << '\n';
        }
        int marked = 0;
        for (int r = 0; r < table.rowCount(); ++r) marked += table.usesDoubleDiffraction(r) ? 1 : 0;
        if (marked > 0)
            out << Index::tr("※ %n 行用到了由二次衍射出现的禁止衍射", nullptr, marked) << '\n';
        break;
    }
    case OutputFormat::Tsv:
        // The row lines keep the twenty texts of the window's table.
        if (options.has(QStringLiteral("families")))
            writeTsv(out, familyTable);
        else
            writeTsv(out, table, model::ResultTableModel::kColumns);
        break;
    case OutputFormat::Json:
        writeJson(out, indexing::resultJson(model, operations,
                                            spacingsGiven ? indexing::PatternInput::Spacings : indexing::PatternInput::ScaleBar,
                                            families));
        break;
    }
    out.flush();
    return writeReportIfAsked(options, model, prompts, err);
}

}  // namespace saed::cli
