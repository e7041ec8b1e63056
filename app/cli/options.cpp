#include "app/cli/options.h"

namespace saed::cli {

bool Options::parse(const QStringList& args, const QStringList& withValue, const QStringList& flags) {
    m_values.clear();
    m_error.clear();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QStringLiteral("--")) || arg.size() == 2) {
            m_error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return false;
        }
        QString name = arg.mid(2);
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (m_values.contains(name)) {
            m_error = QStringLiteral("option --%1 given twice").arg(name);
            return false;
        }
        if (flags.contains(name)) {
            if (value) {
                m_error = QStringLiteral("option --%1 takes no value").arg(name);
                return false;
            }
            m_values.insert(name, QString());
        } else if (withValue.contains(name)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    m_error = QStringLiteral("option --%1 needs a value").arg(name);
                    return false;
                }
                value = args[++i];
            }
            m_values.insert(name, *value);
        } else {
            m_error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
    }
    return true;
}

std::optional<QStringList> Options::list(const QString& name, int count) {
    QStringList parts = value(name).split(u',');
    for (QString& part : parts) part = part.trimmed();
    if (parts.size() != count) {
        m_error = QStringLiteral("option --%1 needs %2 comma-separated values, got %3")
                      .arg(name)
                      .arg(count)
                      .arg(parts.size());
        return std::nullopt;
    }
    return parts;
}

std::optional<OutputFormat> parseOutputFormat(const QString& text) {
    if (text == QStringLiteral("text")) return OutputFormat::Text;
    if (text == QStringLiteral("tsv")) return OutputFormat::Tsv;
    if (text == QStringLiteral("json")) return OutputFormat::Json;
    return std::nullopt;
}

}  // namespace saed::cli
