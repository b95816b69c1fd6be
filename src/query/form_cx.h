#pragma once

#include "platform/widgets/form.h"
#include "store/query.h"

class QLineEdit;
class QPushButton;

// The record query window: finds stored examinations and hands one to the
// report window for reprinting. Not kept on top, opened at its stored place.
class TForm_cx : public Form {
    Q_OBJECT
public:
    TForm_cx();

    QLineEdit *Edit2;      // department name
    QPushButton *Button2;  // "退出"

    Query ADOQuery2;  // department list for the picker

protected:
    void FormClose() override;

private:
    void Button2Click();
};

extern TForm_cx *Form_cx;
