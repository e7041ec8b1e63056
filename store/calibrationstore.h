// SPDX-License-Identifier: BSD-3-Clause
// The calibration store on disk: Calibrations.ini beside Store.ini, read whole and rewritten
// atomically under a lock, so that two running programs never lose each other's calibrations.
#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "store/calibrationlines.h"

namespace saed::store {

class CalibrationStore {
public:
    // The store file at `path`; a save or removal waits up to `lockWaitMs` for another
    // program's lock.
    explicit CalibrationStore(QString path, int lockWaitMs = 10000);  // kLockWaitMs of filelock.h

    // Calibrations.ini in the program's configuration folder.
    static QString defaultPath();
    const QString& path() const { return m_path; }

    // Every calibration in store order; an absent store holds none. No value, with `error` saying
    // why, when the file cannot be read or a line of it is not understood.
    std::optional<std::vector<SavedCalibration>> list(QString* error = nullptr) const;

    // The calibration of that name; no value, with `error` set, when there is none or the store
    // cannot be read.
    std::optional<SavedCalibration> find(const QString& name, QString* error = nullptr) const;

    // Adds the calibration, or replaces the one of its name when `replace`; false, with `error`
    // set and the file unchanged, for a bad name, a name taken (without `replace`), a store that
    // cannot be read, locked or written.
    bool save(const SavedCalibration& calibration, bool replace, QString* error = nullptr) const;

    // Removes the calibration of that name; false, with `error` set and the file unchanged, when
    // there is none or the store cannot be read, locked or written.
    bool remove(const QString& name, QString* error = nullptr) const;

private:
    QString m_path;
    int m_lockWaitMs;
};

}  // namespace saed::store
