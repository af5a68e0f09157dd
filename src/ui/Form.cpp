#include "ui/Form.h"

#include "app/Conversion.h"
#include "controls/button/PropertyBag.h"
#include "controls/button/Qorvikcmd.h"

#include <QCheckBox>

Form::Form(QWidget *parent, const QString &name, const QString &caption) : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(239, 231, 206));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
}

int Form::px(int twips) const
{
    return Conversion::TwipsToPixels(twips, logicalDpiX());
}

QRect Form::twips(int left, int top, int width, int height) const
{
    return QRect(px(left), px(top), px(width), px(height));
}

void Form::setClientSize(int widthTwips, int heightTwips)
{
    setFixedSize(px(widthTwips), px(heightTwips));
}

Qorvikcmd *Form::loadButton(const QString &name, const QString &caption, const QFont &font,
                            const QRect &placeTwips)
{
    Qorvikcmd *button = Qorvikcmd::Load(
            this, name,
            {{QStringLiteral("_extentx"), Qorvikcmd::HimetricFromTwips(placeTwips.width())},
             {QStringLiteral("_extenty"), Qorvikcmd::HimetricFromTwips(placeTwips.height())},
             {QStringLiteral("caption"), caption},
             {QStringLiteral("font"), font}});
    button->move(px(placeTwips.left()), px(placeTwips.top()));
    return button;
}

quint8 CheckBoxValue(const QCheckBox &box)
{
    switch (box.checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void SetCheckBoxValue(QCheckBox &box, quint8 value)
{
    box.setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}
