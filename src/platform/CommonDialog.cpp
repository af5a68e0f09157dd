#include "platform/CommonDialog.h"

#include "platform/ColorValue.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>

QStringList NameFiltersFromFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // Qt reads the patterns from the last parentheses and, with
        // HideNameFilterDetails, shows only what stands before them.
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                           + QLatin1Char(')');
    }
    return filters;
}

QtCommonDialog::QtCommonDialog(QWidget *parent) : m_parent(parent) {}

QtCommonDialog::~QtCommonDialog() = default;

QWidget *QtCommonDialog::owner() const
{
    return m_parent ? m_parent : QApplication::activeWindow();
}

bool QtCommonDialog::showFileDialog(bool save)
{
    QFileDialog dialog(owner());
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog takes a name that does not exist; the load then fails
    // with its own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFiltersFromFilter(Filter));
    dialog.setDirectory(InitDir);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return true;
}

bool QtCommonDialog::ShowOpen()
{
    return showFileDialog(false);
}

bool QtCommonDialog::ShowSave()
{
    return showFileDialog(true);
}

bool QtCommonDialog::ShowColor()
{
    QColorDialog dialog(Conversion::ColorFromValue(Color), owner());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Color = Conversion::ValueFromColor(dialog.selectedColor());
    return true;
}

bool QtCommonDialog::ShowFont()
{
    QFont initial(FontName);
    if (FontSize > 0)
        initial.setPointSizeF(FontSize);
    initial.setBold(FontBold);
    initial.setItalic(FontItalic);
    QFontDialog dialog(initial, owner());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    FontName = chosen.family();
    FontSize = chosen.pointSizeF();
    FontBold = chosen.bold();
    FontItalic = chosen.italic();
    return true;
}

bool QtCommonDialog::ShowPrinter()
{
    QPrintDialog dialog(printer(), owner());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, !(Flags & NoSelection));
    return dialog.exec() == QDialog::Accepted;
}

QPrinter *QtCommonDialog::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}
