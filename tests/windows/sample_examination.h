#pragma once

#include "reporting/form_dy.h"

#include <QLabel>

// One examination in the report window after registration's hand-over: the
// patient's labels (the record number and date are registration's own) and
// the composed findings and opinion. Shared by the tests and print_bench.
inline void fillReportWindow(const QString &findings, const QString &opinion)
{
    Form_dy->Label6->setText(QStringLiteral("张三"));
    Form_dy->Label7->setText(QStringLiteral("男"));
    Form_dy->Label10->setText(QStringLiteral("45"));
    Form_dy->Label12->setText(QStringLiteral("内科"));
    Form_dy->Label16->setText(QStringLiteral("胸部正位"));
    Form_dy->Label19->setText(QStringLiteral("咳嗽待查"));
    Form_dy->Label23->setText(QStringLiteral("12"));
    Form_dy->Memo2->setText(findings);
    Form_dy->Memo3->setText(opinion);
}
