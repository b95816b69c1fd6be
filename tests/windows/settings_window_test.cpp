// The settings window as a whole: how it opens and what its pages share.

#include "settings_test.h"

#include "main_menu/form1.h"
#include "platform/widgets/data_grid.h"
#include "registration/form5.h"
#include "registration/form_zj.h"
#include "settings/form_sz.h"
#include "window_focus.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace {

using SettingsWindow = SettingsTest;

// Whatever page was left current, the window opens on "科室设置" in mode 0,
// and the record list was read at the first showing.
TEST_F(SettingsWindow, OpensOnTheDepartmentPage)
{
    addRecord(2006030501);
    TForm_sz *f = Form_sz;
    const struct {
        QWidget *page;
        QPushButton *exit;
    } leaving[] = {{f->TabSheet5, f->Button27}, {f->TabSheet2, f->Button12}, {f->TabSheet4, f->Button24},
                   {f->TabSheet3, f->Button15}, {f->TabSheet1, f->Button6}};
    for (const auto &left : leaving) {
        openSettings();
        EXPECT_EQ(f->PageControl1->currentWidget(), f->TabSheet1);
        EXPECT_EQ(f->PageControl1->tabText(0), "科室设置");
        EXPECT_EQ(SettingsEditMode, 0);
        EXPECT_FALSE(f->Edit1->isEnabled() || f->Edit2->isEnabled() || f->Button1->isEnabled() ||
                     f->Button2->isEnabled());
        EXPECT_EQ(f->DBGrid5->model()->rowCount(), 1);
        click(f->Button3);
        EXPECT_EQ(SettingsEditMode, 1);
        showPage(left.page);
        click(left.exit);
        EXPECT_FALSE(f->isVisible());
        EXPECT_TRUE(Form1->isVisible());
    }
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

// Switching pages asks nothing: the entry begun on the other page is
// abandoned, its text left in its fields, disabled.
TEST_F(SettingsWindow, PageSwitchAbandonsAnEntry)
{
    TForm_sz *f = Form_sz;
    openSettings();
    click(f->Button3);
    f->Edit1->setText("外科");
    showPage(f->TabSheet3);
    EXPECT_EQ(SettingsEditMode, 0);
    showPage(f->TabSheet1);
    EXPECT_EQ(f->Edit1->text(), "外科");
    EXPECT_FALSE(f->Edit1->isEnabled());
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
}

// A department added here is offered by the picker at its next showing.
TEST_F(SettingsWindow, PickerOffersAnAddedDepartment)
{
    addDepartment("内科", "nk");
    openSettings();
    click(Form_sz->Button3);
    Form_sz->Edit1->setText("外科");
    Form_sz->Edit2->setText("wk");
    dialogs.confirmAnswers << true;
    click(Form_sz->Button1);
    click(Form_sz->Button6);
    openRegistration();
    ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
    Form_zj->Edit6->setFocus();
    press(Qt::Key_Return);
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(shown(Form5->DBGrid1), (QStringList{"内科|nk", "外科|wk"}));
}

// The two pictures are real JPEGs of their own size, stretched to their boxes;
// each is decoded when its page is first shown, not at start-up.
TEST_F(SettingsWindow, DecorationPictures)
{
    const struct {
        QWidget *page;
        QLabel *image;
        QSize picture;
        QRect box;
    } pictures[] = {{Form_sz->TabSheet1, Form_sz->Image1, {578, 850}, {408, 16, 129, 305}},
                    {Form_sz->TabSheet3, Form_sz->Image2, {600, 450}, {184, 128, 353, 193}}};
    for (const auto &p : pictures)
        EXPECT_TRUE(p.image->pixmap().isNull());
    openSettings();
    for (const auto &p : pictures) {
        showPage(p.page);
        EXPECT_EQ(p.image->pixmap().size(), p.picture);
        EXPECT_TRUE(p.image->hasScaledContents());
        EXPECT_EQ(p.image->geometry(), p.box);
    }
}

} // namespace
