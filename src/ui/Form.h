#pragma once

#include <QDialog>

class QCheckBox;
class Qorvikcmd;

// Check boxes as the forms hold them: 0 unticked, 1 ticked, 2 greyed.
quint8 CheckBoxValue(const QCheckBox &box);
void SetCheckBoxValue(QCheckBox &box, quint8 value);

// A dialog of the program, laid out in twips as its forms were designed:
// a fixed size, a title with a close box only, the forms' beige background,
// and buttons loaded from their stored data.
class Form : public QDialog
{
    Q_OBJECT

protected:
    Form(QWidget *parent, const QString &name, const QString &caption);

    // Twips of the form's design to pixels of this screen.
    int px(int twips) const;
    QRect twips(int left, int top, int width, int height) const;
    void setClientSize(int widthTwips, int heightTwips);
    // A Qorvikcmd at its place, from the data a form stores for it.
    Qorvikcmd *loadButton(const QString &name, const QString &caption, const QFont &font,
                          const QRect &placeTwips);
};
