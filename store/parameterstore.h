// SPDX-License-Identifier: BSD-3-Clause
// The parameter-set store on disk: the menu captions, saving the fields and importing a slot.
#pragma once

#include <QString>
#include <QStringList>

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::store {

class ParameterStore {
public:
    // The store file at `path`.
    explicit ParameterStore(QString path);

    // Store.ini in the program's configuration folder.
    static QString defaultPath();
    const QString& path() const { return m_path; }

    // Opening the menu: creates the folder and an empty store when the file is absent, and gives
    // the captions of the four import entries ("导入" + name + "图测量数据"). A store that cannot
    // be created or read gives the captions of empty slots.
    QStringList menuCaptions() const;

    // Asks for a name and saves the fields in front as slot 1; false when cancelled, when the
    // name is empty or when the store cannot be read or rewritten (the last two told in a message).
    bool save(model::MainModel& model, model::Prompts& prompts) const;

    // Writes slot k (1..4) into the fields in its order; false when the lattice-type line is not
    // a valid list index (the fields then hold the slot's texts and nothing more changes) or when
    // the store cannot be read (told in a message, nothing changed).
    bool importSlot(model::MainModel& model, model::Prompts& prompts, int k) const;

private:
    QString m_path;
};

}  // namespace saed::store
