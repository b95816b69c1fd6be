#pragma once

#include "platform/widgets/form.h"
#include "store/connection.h"

class QPushButton;

// The main menu. Owns the program's one database connection.
class TForm1 : public Form {
    Q_OBJECT
public:
    explicit TForm1(const QString &programDirectory);

    // Builds the connection string from the program's directory and opens it.
    void FormCreate();

    Connection ADOConnection1;
    QPushButton *Button1;  // "   增加病人   "
    QPushButton *Button2;  // "  查询病历  "
    QPushButton *Button3;  // "   退出程序   "
    QPushButton *Button4;  // "  系统设置  "

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    QString programDirectory_;
};

extern TForm1 *Form1;
