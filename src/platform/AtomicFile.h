#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path with bytes, or leaves it as it was. The bytes go
// to a temporary file beside it, renamed over the old one only once all of
// them are written, when that keeps everything the file had: its owner and
// group, its permissions, its single identity for every hard link. Otherwise
// (another owner that cannot be given back, several hard links, a folder
// where no new file can be made) the file itself is overwritten, its old
// bytes kept in memory first and put back when the write fails. A symbolic
// link stays a link and its target is written.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes);
