#include "store/examination_record.h"

#include "platform/core/convert.h"
#include "store/data_set.h"

RecordNumber::Stored ExaminationRecord::appendTo(DataSet &records) const
{
    if (!records.active())
        records.Open();
    records.Append();
    try {
        auto set = [&](const char *column, const QVariant &value) {
            records.fieldByName(QLatin1String(column)).setValue(value);
        };
        const qint32 wanted = Convert::strToInt(Convert::trim(recordNumber));
        set("jcjlh", wanted);
        set("xm", Convert::trim(name));
        set("xb", Convert::trim(sex));
        set("nl", Convert::strToInt(Convert::trim(age)));
        set("jcks", Convert::trim(department));
        set("jcbw", Convert::trim(site));
        set("lczd", Convert::trim(diagnosis));
        set("jcrq", Convert::strToDate(Convert::trim(date)));
        set("jtzz", Convert::trim(bed));
        set("jcsj", findings);
        set("zdyj", opinion);
        return RecordNumber::store(*records.connection(), wanted, [&](qint32 number) {
            set("jcjlh", number);
            records.Post();
        });
    } catch (...) {
        // A pending row would be posted by the next append, half filled.
        records.Cancel();
        throw;
    }
}
