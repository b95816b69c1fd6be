#include "platform/core/convert.h"

#include "platform/core/failure.h"

#include <QLocale>
#include <QRegularExpression>

int Convert::strToInt(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^ *[+-]?[0-9]+$"));
    bool ok = false;
    int value = 0;
    if (pattern.match(text).hasMatch())
        value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw Failure(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QString Convert::intToStr(qint64 value)
{
    return QString::number(value);
}

QString Convert::shortDateFormat()
{
    // A machine with no locale configured gets the Chinese short date, not the
    // C locale's English month names: every other text of the program is Chinese.
    const QLocale system = QLocale::system();
    const QLocale locale = system.language() == QLocale::C ? QLocale(QLocale::Chinese, QLocale::China) : system;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString Convert::dateToStr(const QDate &date)
{
    return QLocale::c().toString(date, shortDateFormat());
}

QString Convert::dateTimeToStr(const QDateTime &moment)
{
    const QString date = dateToStr(moment.date());
    if (moment.time() == QTime(0, 0))
        return date;
    return date + ' ' + moment.time().toString(QStringLiteral("HH:mm:ss"));
}

QDate Convert::strToDate(const QString &text)
{
    const QDate date = QLocale::c().toDate(trim(text), shortDateFormat());
    if (!date.isValid())
        throw Failure(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

QString Convert::trim(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}
