// The open exports of the result table's menu: the table as CSV for spreadsheets and the run as
// JSON, each written where the user chooses, beside the text report of 导出标定结果.
#include "app/form1.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include "indexing/indexingoperations.h"
#include "indexing/resultexport.h"
#include "model/resulttablemodel.h"
#include "store/reports.h"
#include "store/textfile.h"

namespace saed::app {

void Form1::connectExports() {
    m_exportCsv = new QAction(tr("导出为CSV表格…"), this);
    m_exportCsv->setObjectName(QStringLiteral("exportCsv"));
    m_exportCsv->setToolTip(tr("结果表的每一行，UTF-8，可用电子表格打开"));
    m_exportJson = new QAction(tr("导出为JSON…"), this);
    m_exportJson->setObjectName(QStringLiteral("exportJson"));
    m_exportJson->setToolTip(tr("输入、测量值、每一行与解族，格式与命令行 --format json 相同"));
    connect(m_exportCsv, &QAction::triggered, this, [this] { exportResults(false); });
    connect(m_exportJson, &QAction::triggered, this, [this] { exportResults(true); });
}

bool Form1::exportResults(bool json) {
    // Proposed: the report's name with the export's extension, in the documents folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    QString suggested = store::reportPath(folder, QDateTime::currentDateTime());
    suggested.chop(3);
    suggested += json ? QStringLiteral("json") : QStringLiteral("csv");
    const std::optional<QString> path =
        json ? m_prompts.saveFilePath(tr("导出JSON"), suggested, tr("JSON 文件") + QStringLiteral("|*.json"))
             : m_prompts.saveFilePath(tr("导出CSV"), suggested, tr("CSV 表格") + QStringLiteral("|*.csv"));
    if (!path || path->isEmpty()) return false;

    QByteArray bytes;
    if (json) {
        // With an image the families go by match, as the families view shows them.
        const std::vector<indexing::RankedFamily> families =
            indexing::rankFamilies(m_indexing->lastFamilies(), familyMatches());
        bytes = indexing::jsonBytes(
            indexing::resultJson(m_model, *m_indexing, indexing::PatternInput::ScaleBar, families));
    } else {
        bytes = indexing::resultCsv(*m_model.resultTable()).toUtf8();
    }
    const QString shown = QDir::toNativeSeparators(*path);
    QString error;
    if (!store::writeFileAtomic(*path, bytes, &error)) {
        m_prompts.warn(tr("无法写入文件：\n%1\n%2").arg(shown, error), QString());
        return false;
    }
    m_model.showStatus(tr("已导出：%1").arg(shown));
    return true;
}

}  // namespace saed::app
