#pragma once
// Broken, mislabelled and hostile files, made at test time in a folder.
#include <QString>
#include <QStringList>
#include <vector>

namespace gx::test {

struct HostileFile {
    QString name; // what it stands for, for messages
    QString path;
};

// Makes every case in dir; `good` is a playable WAV used as raw material.
std::vector<HostileFile> makeHostileFiles(const QString& dir, const QString& good);

// Encodes a WAV with the ffmpeg command-line tool; empty when unavailable.
QString encodeWithFfmpeg(const QString& wav, const QString& out, const QStringList& args = {});

} // namespace gx::test
