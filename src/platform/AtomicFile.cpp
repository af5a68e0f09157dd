#include "platform/AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

bool WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    QSaveFile file(info.isSymLink() ? info.symLinkTarget() : path);
    // Unbuffered: a buffered flush that fails (disk full, size limit) is not
    // seen by commit(), which would then rename a truncated file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError)
        return false; // the temporary file is discarded, the old one stays
    return file.commit();
}
