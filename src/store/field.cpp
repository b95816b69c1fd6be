#include "store/field.h"

#include "platform/core/convert.h"
#include "platform/core/failure.h"
#include "store/data_set.h"

namespace {

[[noreturn]] void cannotConvert(const QString &from, const QString &to)
{
    throw Failure(QStringLiteral("Could not convert variant of type (%1) into type (%2)").arg(from, to));
}

} // namespace

QVariant Field::value() const
{
    return dataSet_->fieldValue(index_);
}

QString Field::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        cannotConvert(QStringLiteral("Null"), QStringLiteral("String"));
    if (v.typeId() == QMetaType::QDateTime)
        return Convert::dateTimeToStr(v.toDateTime());
    return v.toString();
}

int Field::asInteger() const
{
    const QVariant v = value();
    if (v.isNull())
        cannotConvert(QStringLiteral("Null"), QStringLiteral("Integer"));
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const int number = v.toString().trimmed().toInt(&ok);
        if (!ok)
            cannotConvert(QStringLiteral("String"), QStringLiteral("Integer"));
        return number;
    }
    // A stored number beyond 32 bits is refused, never handed out wrapped.
    const qlonglong number = v.toLongLong();
    if (number != qint32(number))
        throw Failure(QStringLiteral("%1 超出了 32 位整数的范围，不能作为整数使用。").arg(number));
    return int(number);
}

void Field::setValue(const QVariant &value)
{
    dataSet_->setFieldValue(index_, value);
}
