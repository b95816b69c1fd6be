#include "platform/core/convert.h"
#include "failure_text.h"
#include "platform/core/failure.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(Conversions, IntegersParseOrFailWithTheTextQuoted)
{
    const QList<QPair<QString, int>> good = {{"42", 42}, {"-7", -7}, {"  15", 15}, {"+3", 3}, {"2147483647", 2147483647}};
    for (const auto &[text, value] : good)
        EXPECT_EQ(Convert::strToInt(text), value) << text.toStdString();
    for (const QString &bad : {QString(""), QString("4x"), QString("12 "), QString("2147483648"), QString("1.5")})
        EXPECT_EQ(failureOf([&] { Convert::strToInt(bad); }), "'" + bad + "' is not a valid integer value");
}

TEST(Conversions, ShortDatesKeepFourDigitYearsBothWays)
{
    EXPECT_TRUE(Convert::shortDateFormat().contains("yyyy"));
    for (const QDate date : {QDate(1925, 7, 4), QDate(2006, 3, 5), QDate(2031, 12, 31)}) {
        const QString text = Convert::dateToStr(date);
        EXPECT_TRUE(text.contains(QString::number(date.year()))) << text.toStdString();
        EXPECT_EQ(Convert::strToDate(text), date);
    }
    EXPECT_EQ(failureOf([] { Convert::strToDate("yesterday"); }), "'yesterday' is not a valid date");
    EXPECT_EQ(failureOf([] { Convert::strToDate(""); }), "'' is not a valid date");
    EXPECT_EQ(Convert::dateTimeToStr(QDate(2006, 3, 5).startOfDay()), Convert::dateToStr(QDate(2006, 3, 5)));
}

TEST(Conversions, TrimRemovesBlanksAndControlCharactersOnly)
{
    EXPECT_EQ(Convert::trim(QString(" \t\r\n内科 \x01")), "内科");
    EXPECT_EQ(Convert::trim(QStringLiteral("　内科")), QStringLiteral("　内科"));  // ideographic space is text
    EXPECT_EQ(Convert::trim("   "), "");
}
