// SPDX-License-Identifier: BSD-3-Clause
#include "app/cli/tablewriter.h"

#include <algorithm>  // for max
#include <vector>

#include <QJsonDocument>

#include "model/resulttablemodel.h"

namespace saed::cli {

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

QString cellText(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

Qt::Alignment horizontalAlignment(const QAbstractItemModel& model, int column) {
    const QVariant v = model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
    if (!v.isValid() && model.rowCount() > 0) {
        const QVariant cell = model.data(model.index(0, column), Qt::TextAlignmentRole);
        return cell.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    }
    return v.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
}

QString padded(const QString& text, int width, Qt::Alignment alignment) {
    const int room = std::max(0, width - displayWidth(text));
    if (alignment & Qt::AlignRight) return QString(room, u' ') + text;
    if (alignment & Qt::AlignHCenter) return QString(room / 2, u' ') + text + QString(room - room / 2, u' ');
    return text + QString(room, u' ');
}

}  // namespace

int displayWidth(const QString& text) {
    int width = 0;
    for (char32_t c : text.toUcs4()) width += isWide(c) ? 2 : 1;
    return width;
}

void writeAlignedTable(QTextStream& out, const QAbstractItemModel& model, int columns) {
    if (columns < 0 || columns > model.columnCount()) columns = model.columnCount();
    const int rows = model.rowCount();
    std::vector<int> widths(static_cast<std::size_t>(columns), 0);
    std::vector<Qt::Alignment> alignments(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const auto i = static_cast<std::size_t>(c);
        widths[i] = displayWidth(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int r = 0; r < rows; ++r) widths[i] = std::max(widths[i], displayWidth(cellText(model, r, c)));
        alignments[i] = horizontalAlignment(model, c);
    }
    auto writeLine = [&](auto textOf) {
        QString line;
        for (int c = 0; c < columns; ++c) {
            const auto i = static_cast<std::size_t>(c);
            if (c > 0) line += u' ';
            line += padded(textOf(c), widths[i], alignments[i]);
        }
        while (line.endsWith(u' ')) line.chop(1);
        out << line << '\n';
    };
    writeLine([&](int c) { return model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(); });
    for (int r = 0; r < rows; ++r) writeLine([&](int c) { return cellText(model, r, c); });
}

void writeTsv(QTextStream& out, const QAbstractItemModel& model, int columns) {
    if (columns < 0 || columns > model.columnCount()) columns = model.columnCount();
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) out << '\t';
            // The result table's cells as files carry them: the same in either language.
            const QVariant fileText = model.data(model.index(r, c), model::ResultTableModel::kFileTextRole);
            out << (fileText.isValid() ? fileText.toString() : cellText(model, r, c));
        }
        out << '\n';
    }
}

void writeJson(QTextStream& out, const QJsonObject& object) {
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

}  // namespace saed::cli
