#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX

enum class InPlace { Written, Failed, Unavailable };

bool writeAt(int fd, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0;
}

bool readAt(int fd, qint64 size, QByteArray *bytes)
{
    bytes->resize(size);
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::pread(fd, bytes->data() + done, size_t(size - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Overwrites the file itself, so that it keeps its owner, group, permissions
// and every hard link. Its old bytes are read first and written back when
// the new ones cannot all be written.
InPlace writeInPlace(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return InPlace::Unavailable;
    struct stat status = {};
    QByteArray old;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !readAt(fd, status.st_size, &old)) {
        ::close(fd);
        return InPlace::Unavailable;
    }
    bool written = writeAt(fd, bytes);
    if (!written)
        writeAt(fd, old);
    if (::close(fd) != 0)
        written = false;
    return written ? InPlace::Written : InPlace::Failed;
}

// Gives the new file the old one's owner and group, where the system lets us.
bool takeOwner(int fd, const struct stat &old)
{
    struct stat fresh = {};
    if (::fstat(fd, &fresh) != 0)
        return false;
    return (fresh.st_uid == old.st_uid && fresh.st_gid == old.st_gid)
           || ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

#endif

} // namespace

bool WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
#ifdef Q_OS_UNIX
    struct stat old = {};
    const bool exists = ::stat(QFile::encodeName(target).constData(), &old) == 0
                        && S_ISREG(old.st_mode);
    // A new file renamed over one of its names would leave the others the old text.
    if (exists && old.st_nlink > 1) {
        const InPlace result = writeInPlace(target, bytes);
        if (result != InPlace::Unavailable)
            return result == InPlace::Written;
    }
#endif
    QSaveFile file(target);
    // Unbuffered: a buffered flush that fails (disk full, size limit) is not
    // seen by commit(), which would then rename a truncated file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
#ifdef Q_OS_UNIX
        // A folder that refuses new files may still let its files be written.
        return exists && writeInPlace(target, bytes) == InPlace::Written;
#else
        return false;
#endif
    }
#ifdef Q_OS_UNIX
    // The unsaved temporary file goes with file.
    if (exists && !takeOwner(file.handle(), old)) {
        const InPlace result = writeInPlace(target, bytes);
        if (result != InPlace::Unavailable)
            return result == InPlace::Written;
    }
#endif
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError)
        return false; // the temporary file is discarded, the old one stays
    return file.commit();
}
