#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

void MessageBox::warn(const QString &text, const QString &title)
{
    show(text, Buttons::Ok, Icon::Exclamation, title, Answer::Ok);
}

void MessageBox::inform(const QString &text, const QString &title)
{
    show(text, Buttons::Ok, Icon::Information, title, Answer::Ok);
}

static QMessageBox::StandardButton toStandard(MessageBox::Answer answer)
{
    switch (answer) {
    case MessageBox::Answer::Ok: return QMessageBox::Ok;
    case MessageBox::Answer::Cancel: return QMessageBox::Cancel;
    case MessageBox::Answer::Yes: return QMessageBox::Yes;
    case MessageBox::Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

MessageBox::Answer QtMessageBox::show(const QString &text, Buttons buttons, Icon icon,
                                      const QString &title, Answer defaultButton)
{
    QMessageBox::StandardButtons standard;
    switch (buttons) {
    case Buttons::Ok: standard = QMessageBox::Ok; break;
    case Buttons::OkCancel: standard = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: standard = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel:
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None: break;
    case Icon::Information: qtIcon = QMessageBox::Information; break;
    case Icon::Exclamation: qtIcon = QMessageBox::Warning; break;
    case Icon::Question: qtIcon = QMessageBox::Question; break;
    case Icon::Critical: qtIcon = QMessageBox::Critical; break;
    }
    QWidget *parent = owner() ? owner() : m_parent ? m_parent : QApplication::activeWindow();
    QMessageBox box(qtIcon, title, text, standard, parent);
    box.setDefaultButton(toStandard(defaultButton));
    // Closing by the title bar answers like Escape: Cancel, or No without it.
    if (buttons == Buttons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}
