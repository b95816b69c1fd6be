#include "store/file_modes.h"

#include "platform/core/failure.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void FileModes::createEmpty(const QString &path, mode_t mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        throw Failure(errno == EEXIST ? QStringLiteral("“%1”已存在，不会覆盖。").arg(path)
                                      : QStringLiteral("无法创建文件“%1”：%2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    // open() applies the umask; the mode is set again so that it holds as given.
    const int changed = ::fchmod(fd, mode);
    const int error = errno;
    ::close(fd);
    if (changed != 0) {
        ::unlink(QFile::encodeName(path).constData());
        throw Failure(QStringLiteral("无法设置文件“%1”的权限：%2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
}
