#include "store/schema.h"

QStringList Schema::createStatements()
{
    // Dates are ISO text, "YYYY-MM-DD" for whole days and "YYYY-MM-DD HH:MM:SS"
    // otherwise: they sort and compare correctly as text. No key and no
    // uniqueness anywhere: duplicates are legal in every table. The indexes only
    // keep the record-number, date and department lookups fast.
    return {
        "CREATE TABLE hzzl (jcjlh INTEGER, xm VARCHAR(50), xb VARCHAR(50), nl INTEGER, "
        "jcrq DATETIME, jcbw VARCHAR(50), jcks VARCHAR(50), lczd VARCHAR(50), "
        "jcsj MEMO, zdyj MEMO, jtzz VARCHAR(50))",
        "CREATE INDEX hzzl_jcjlh ON hzzl (jcjlh)",
        "CREATE INDEX hzzl_jcrq ON hzzl (jcrq)",
        "CREATE INDEX hzzl_jcks ON hzzl (jcks)",
        "CREATE TABLE ks (ksmc VARCHAR(50), kspym VARCHAR(50))",
        "CREATE TABLE bwmc (bwmc VARCHAR(50), bwpym VARCHAR(50))",
        "CREATE TABLE bt (bt VARCHAR(50))",
        "CREATE TABLE nr (bt VARCHAR(50), nr VARCHAR(255))",
    };
}
