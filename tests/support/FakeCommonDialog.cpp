#include "support/FakeCommonDialog.h"

#include <QPrinter>
#include <QTest>

FakeCommonDialog::FakeCommonDialog() = default;
FakeCommonDialog::~FakeCommonDialog() = default;

void FakeCommonDialog::scriptFile(const QString &path)
{
    script([path](CommonDialog &dialog) {
        dialog.FileName = path;
        return true;
    });
}

void FakeCommonDialog::scriptCancel()
{
    script([](CommonDialog &) { return false; });
}

bool FakeCommonDialog::answer(Kind kind)
{
    shown.append({kind, Filter, InitDir, FileName, Flags});
    if (m_answers.isEmpty()) {
        QTest::qFail("unscripted dialog", __FILE__, __LINE__);
        return false;
    }
    return m_answers.dequeue()(*this);
}

QPrinter *FakeCommonDialog::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return m_printer.get();
}
