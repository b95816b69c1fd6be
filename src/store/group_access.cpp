#include "store/group_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString accountName()
{
    const passwd *account = ::getpwuid(::geteuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString::number(::geteuid());
}

// `wanted` is the access (R_OK, W_OK, X_OK bits) this account lacks on `path`.
// Empty unless the group's own bits would grant it.
QString groupThatWouldGrant(const QString &path, int wanted)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || info.st_uid == ::geteuid())
        return {};
    const mode_t groupBits = ((wanted & R_OK) ? S_IRGRP : 0) | ((wanted & W_OK) ? S_IWGRP : 0) | ((wanted & X_OK) ? S_IXGRP : 0);
    if ((info.st_mode & groupBits) != groupBits)
        return {};
    const group *owners = ::getgrgid(info.st_gid);
    return owners ? QString::fromLocal8Bit(owners->gr_name) : QString::number(info.st_gid);
}

QString lacking(const QString &path, int wanted)
{
    return ::access(QFile::encodeName(path).constData(), wanted) == 0 ? QString() : groupThatWouldGrant(path, wanted);
}

} // namespace

QString GroupAccess::refusal(const QString &path)
{
    const QFileInfo file(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    // Each folder on the way must let us through; the last one must also be
    // writable, for the journal every save writes beside the file.
    QStringList folders;
    for (QDir folder = file.absoluteDir();; folder.cdUp()) {
        folders.prepend(folder.absolutePath());
        if (folder.isRoot())
            break;
    }
    QString group;
    for (const QString &folder : folders) {
        struct stat info {};
        if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
            return {};
        const int wanted = folder == folders.last() ? (X_OK | W_OK) : X_OK;
        group = lacking(folder, wanted);
        if (!group.isEmpty())
            break;
        if (::access(QFile::encodeName(folder).constData(), X_OK) != 0)
            return {};
    }
    if (group.isEmpty() && file.exists())
        group = lacking(file.absoluteFilePath(), R_OK | W_OK);
    if (group.isEmpty())
        return {};
    const QString user = accountName();
    return QStringLiteral("您的账户“%1”不能使用病历数据库“%2”：病历只对“%3”组的成员开放。"
                          "请系统管理员运行 adduser %1 %3 把您加入该组，然后注销并重新登录。")
        .arg(user, file.absoluteFilePath(), group);
}
