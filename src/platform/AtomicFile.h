#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path with bytes, or leaves it as it was: the bytes go
// to a temporary file beside it, renamed over the old one only once all of
// them are written. A symbolic link stays a link and its target is written;
// an existing file keeps its permissions.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes);
