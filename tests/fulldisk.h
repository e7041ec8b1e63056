// SPDX-License-Identifier: BSD-3-Clause
// A tiny file system filled to its last byte, for the tests of writes that must fail whole.
#pragma once

#include <sys/mount.h>  // for mount, umount2 (Linux)

#include <cerrno>
#include <cstring>  // for strerror

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace saed::testdata {

class FullDisk {
public:
    // Mounts a 64 KiB tmpfs; problem() says why not when mounting is not allowed here.
    FullDisk() {
        if (!m_dir.isValid()) {
            m_problem = QStringLiteral("no temporary folder");
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=64k") != 0) {
            m_problem = QStringLiteral("cannot mount a tmpfs to test a full disk (%1); run the tests as root")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
    }
    ~FullDisk() {
        if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    const QString& problem() const { return m_problem; }
    QString filePath(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    // Fills what is left of the disk, so that no new file gets a byte; `sparePages` small files
    // (a lock file each) still fit.
    void fill(int sparePages = 0) const {
        QFile spare(filePath(QStringLiteral("spare")));
        if (!spare.open(QIODevice::WriteOnly)) return;
        spare.write(QByteArray(4096 * sparePages, 'x'));
        spare.close();
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
        spare.remove();
    }

private:
    QTemporaryDir m_dir;
    QString m_problem;
    bool m_mounted = false;
};

}  // namespace saed::testdata
