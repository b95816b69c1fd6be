#pragma once

#include "platform/widgets/form.h"

class QPushButton;
class QTabWidget;
class QWidget;

// The settings window: five pages for the dictionaries and the records.
class TForm_sz : public Form {
    Q_OBJECT
public:
    TForm_sz();

    QTabWidget *PageControl1;
    QWidget *TabSheet1;  // "科室设置"
    QWidget *TabSheet2;  // "检查部位设置"
    QWidget *TabSheet3;  // "标题设置"
    QWidget *TabSheet4;  // "内容设置"
    QWidget *TabSheet5;  // "病历管理"
    QPushButton *Button6;   // "退出" on each page
    QPushButton *Button12;
    QPushButton *Button15;
    QPushButton *Button24;
    QPushButton *Button27;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void exitClick();
};

extern TForm_sz *Form_sz;
