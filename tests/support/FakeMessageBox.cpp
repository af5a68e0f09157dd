#include "support/FakeMessageBox.h"

#include <QTest>

MessageBox::Answer FakeMessageBox::show(const QString &text, Buttons buttons, Icon icon,
                                        const QString &title, Answer defaultButton)
{
    shown.append({text, buttons, icon, title, defaultButton, owner()});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__,
                     __LINE__);
        return Answer::Cancel;
    }
    return m_answers.dequeue();
}
