#include "platform/widgets/picture.h"

#include <QPixmap>

Picture::Picture(QWidget *parent, const QString &file, const char *format)
    : QLabel(parent), file_(file), format_(format)
{
    setScaledContents(true);
}

void Picture::showEvent(QShowEvent *event)
{
    if (pixmap().isNull())
        setPixmap(QPixmap(file_, format_));
    QLabel::showEvent(event);
}
