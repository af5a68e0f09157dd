#pragma once

#include "platform/MessageBox.h"

#include <QList>
#include <QQueue>

// Records every box shown. A box with only OK answers by itself; any other
// question takes the next scripted answer, and one nobody scripted fails the
// test.
class FakeMessageBox final : public MessageBox
{
public:
    struct Shown
    {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title;
        Answer defaultButton;
        QWidget *owner;
    };

    void script(Answer answer) { m_answers.enqueue(answer); }

    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title,
                Answer defaultButton) override;

    QList<Shown> shown;
    bool allAnswersUsed() const { return m_answers.isEmpty(); }

private:
    QQueue<Answer> m_answers;
};
