// SPDX-License-Identifier: BSD-3-Clause
// Options of the saedindex-cli subcommands: "--name value" or "--name=value", and
// comma-separated lists such as "--cell 0.5,0.5,0.5,90,90,90".
#pragma once

#include <optional>

#include <QMap>
#include <QString>
#include <QStringList>

class QTextStream;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::library {
class PhaseTree;
}  // namespace saed::library

namespace saed::cli {

class Options {
public:
    // Reads `args`. Every option must be named in `withValue` (takes one value) or in `flags`
    // (takes none); names are given without the leading "--". Returns false, with error() set,
    // for an unknown or repeated option, a missing value or a stray argument.
    bool parse(const QStringList& args, const QStringList& withValue, const QStringList& flags);
    QString error() const { return m_error; }
    // "unknown option --X" when `word` is an option named in neither list, empty otherwise: a
    // command that expects a file or name where `word` stands says this rather than that the
    // file is missing.
    static QString unknownOption(const QString& word, const QStringList& withValue, const QStringList& flags);
    // Sets the message a later check of a value gives.
    void setError(const QString& error) { m_error = error; }

    bool has(const QString& name) const { return m_values.contains(name); }
    // The value of `name` as given, or `fallback` when the option is absent.
    QString value(const QString& name, const QString& fallback = QString()) const {
        return m_values.value(name, fallback);
    }
    // The value of `name` split at commas into exactly `count` texts with their blanks trimmed;
    // no value, with error() set, when the count differs. The texts are not checked for being
    // numbers: the operation that reads them does that and says which field is wrong.
    std::optional<QStringList> list(const QString& name, int count);

private:
    QMap<QString, QString> m_values;
    QString m_error;
};

// The options that give a measured pattern and its tolerances, shared by index and screen.
QStringList patternOptionNames();

// Empty when --angles and either --d or --scale with --r1, --r2 and --r3 are given; otherwise
// what is missing or doubled.
QString patternOptionsProblem(const Options& options);

// Writes the pattern options into the main window's fields. With --d the spacings stand as
// segment counts over unit lengths and a unit scale bar, so that dn = Nn * (1 / 1) / 1 reads
// exactly the given number. False, with options.error() naming the option and value, for a list
// of the wrong length, a value that is not a number, a spacing, scale, length or count not above
// 0, a negative tolerance, an angle outside 0 to 180 degrees, or a range that is not a whole
// number from 0 to 99.
bool fillPatternFields(Options& options, model::MainModel& model);

// Builds `tree` from the library file at `path` (the built-in library when `path` is empty),
// decoded as the window decodes one: UTF-8 when the bytes are valid UTF-8, otherwise GBK.
// False, told on `err` after `command` (such as "saedindex-cli screen"), when the file cannot
// be read, has an incomplete record (named; the file is not used) or holds no record.
bool buildLibraryTree(const QString& path, library::PhaseTree& tree, const char* command, QTextStream& err);

enum class OutputFormat { Text, Tsv, Json };

// "text", "tsv" or "json"; no value for anything else.
std::optional<OutputFormat> parseOutputFormat(const QString& text);

}  // namespace saed::cli
