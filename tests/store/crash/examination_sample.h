#pragma once

#include "store/examination_record.h"

// The examination that the crash writer saves as its n-th record: every column
// differs from record to record, and the findings span several database pages,
// so a kill can land in the middle of writing them.
inline ExaminationRecord examinationSample(int n)
{
    ExaminationRecord record;
    const QString tag = QString::number(n);
    record.recordNumber = QString::number(2006030500 + n);
    record.name = QStringLiteral("患者") + tag;
    record.sex = n % 2 ? QStringLiteral("男") : QStringLiteral("女");
    record.age = QString::number(n % 100);
    record.department = QStringLiteral("内科") + tag;
    record.site = QStringLiteral("胸部") + tag;
    record.diagnosis = QStringLiteral("肺炎") + tag;
    record.date = QStringLiteral("2006/3/5");
    record.bed = tag;
    record.findings = QStringLiteral("两肺纹理增粗。") .repeated(400 + n % 50) + tag + QChar(13);
    record.opinion = QStringLiteral("考虑支气管炎") + tag + QChar(13);
    return record;
}
