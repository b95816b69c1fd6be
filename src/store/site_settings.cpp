#include "store/site_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

// INI values holding commas come back as lists (a libpq host list, a path
// with a comma): put them back together as written.
QString textValue(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).trimmed();
    return value.toString().trimmed();
}

} // namespace

QString SiteSettings::systemFile()
{
    return QStringLiteral("/etc/ruvured/ruvured.ini");
}

SiteSettings SiteSettings::load(const QString &programDirectory, const QString &systemIni)
{
    SiteSettings result;
    const QDir programDir(programDirectory);
    result.databaseFile_ = programDir.absoluteFilePath(QStringLiteral("ruvured.mdb"));

    const QString besideProgram = programDir.absoluteFilePath(QStringLiteral("ruvured.ini"));
    if (QFileInfo::exists(besideProgram))
        result.iniFile_ = besideProgram;
    else if (!systemIni.isEmpty() && QFileInfo::exists(systemIni))
        result.iniFile_ = systemIni;
    if (result.iniFile_.isEmpty())
        return result;

    const QFileInfo ini(result.iniFile_);
    if (!ini.isFile() || !ini.isReadable()) {
        result.problem_ = QStringLiteral("无法读取配置文件“%1”。").arg(result.iniFile_);
        return result;
    }
    QSettings settings(result.iniFile_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        result.problem_ = QStringLiteral("配置文件“%1”的格式有误。").arg(result.iniFile_);
        return result;
    }
    const QString file = textValue(settings, QStringLiteral("database/file"));
    const QString server = textValue(settings, QStringLiteral("database/server"));
    if (!file.isEmpty() && !server.isEmpty()) {
        // Which of the two the site meant cannot be guessed; saving into the
        // wrong one would split the records.
        result.problem_ = QStringLiteral("配置文件“%1”同时指定了数据库文件（file）和数据库服务器（server），只能指定其中一个。")
                              .arg(result.iniFile_);
        return result;
    }
    if (!file.isEmpty())
        result.databaseFile_ = QDir::cleanPath(ini.absoluteDir().absoluteFilePath(file));
    result.server_ = server;
    return result;
}
