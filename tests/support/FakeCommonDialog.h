#pragma once

#include "platform/CommonDialog.h"

#include <QList>
#include <QQueue>

#include <functional>
#include <memory>

// Records every dialog shown with the properties set before it; each Show
// takes the next scripted answer, and a dialog nobody scripted fails the test.
class FakeCommonDialog final : public CommonDialog
{
public:
    enum class Kind { Open, Save, Color, Font, Printer };
    struct Shown
    {
        Kind kind;
        QString filter;
        QString initDir;
        QString fileName;
        long flags;
    };
    // Returns false for a cancel; may set the properties as the user's choice.
    using Answer = std::function<bool(CommonDialog &)>;

    FakeCommonDialog();
    ~FakeCommonDialog() override;

    void script(Answer answer) { m_answers.enqueue(std::move(answer)); }
    void scriptFile(const QString &path);
    void scriptCancel();

    bool ShowOpen() override { return answer(Kind::Open); }
    bool ShowSave() override { return answer(Kind::Save); }
    bool ShowColor() override { return answer(Kind::Color); }
    bool ShowFont() override { return answer(Kind::Font); }
    bool ShowPrinter() override { return answer(Kind::Printer); }
    QPrinter *printer() override;

    QList<Shown> shown;
    bool allAnswersUsed() const { return m_answers.isEmpty(); }

private:
    bool answer(Kind kind);

    QQueue<Answer> m_answers;
    std::unique_ptr<QPrinter> m_printer;
};
