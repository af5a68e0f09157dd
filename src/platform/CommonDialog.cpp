#include "platform/CommonDialog.h"

#include "platform/ColorValue.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QTreeView>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

bool hasWildcard(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Qt's save dialog gives the proposed name a filter's suffix, or takes a
// typed pattern for a name; a name with a wildcard is never what the user
// meant to create, so the dialog stays open.
class FileDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (acceptMode() == AcceptSave && std::any_of(files.begin(), files.end(), hasWildcard))
            return;
        QFileDialog::accept();
    }
};

// The family's own style nearest to the weight and slant. The font dialog
// finds a style by name, and where a name such as "Normal" is not the
// family's it takes the first one listed, which may be Italic.
QFont styledFont(const QString &family, double pointSize, int weight, bool italic)
{
    QFont font(family);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    int bestScore = std::numeric_limits<int>::max();
    for (const QString &style : QFontDatabase::styles(family)) {
        const QFont face = QFontDatabase::font(family, style, 10);
        const int score = (face.italic() != italic ? 10000 : 0) + qAbs(face.weight() - weight)
                          + qAbs(face.stretch() - QFont::Unstretched);
        if (score < bestScore) {
            bestScore = score;
            font.setStyleName(style);
        }
    }
    return font;
}

// Another family keeps the weight and slant the user had, not the style
// name Qt looks for.
void keepStyleAcrossFamilies(QFontDialog &dialog, const QFont &initial)
{
    auto kept = std::make_shared<QFont>(initial);
    QObject::connect(&dialog, &QFontDialog::currentFontChanged, &dialog,
                     [&dialog, kept](const QFont &font) {
                         const QString family = font.family();
                         if (family == kept->family()) {
                             *kept = font;
                             return;
                         }
                         const QFont styled = styledFont(family, font.pointSizeF(),
                                                         kept->weight(), kept->italic());
                         *kept = styled;
                         if (styled.styleName() != font.styleName())
                             dialog.setCurrentFont(styled);
                     });
}

} // namespace

QStringList NameFiltersFromFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" wants a dot here, yet means every file.
        for (QString &pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        // Qt reads the patterns from the last parentheses and, with
        // HideNameFilterDetails, shows only what stands before them.
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                           + QLatin1Char(')');
    }
    return filters;
}

namespace {

// Qt sizes the detail columns for short English texts ("128.88 GB"); the
// French ones ("264 octets", "Dernière modification") would be cut.
void FitDetailColumns(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QTreeView *>();
    if (!view)
        return;
    QHeaderView *header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    const QFontMetrics metrics(dialog.font());
    const QSize roomy(metrics.averageCharWidth() * 130, metrics.lineSpacing() * 28);
    dialog.resize(dialog.size().expandedTo(roomy));
}

} // namespace

QtCommonDialog::QtCommonDialog(QWidget *parent) : m_parent(parent) {}

QtCommonDialog::~QtCommonDialog() = default;

QWidget *QtCommonDialog::owner() const
{
    return m_parent ? m_parent : QApplication::activeWindow();
}

bool QtCommonDialog::showFileDialog(bool save)
{
    FileDialog dialog(owner());
    // setOptions() replaces every option: without DontConfirmOverwrite, Qt
    // asks before the program's own overwrite question.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails
                      | QFileDialog::DontConfirmOverwrite);
    FitDetailColumns(dialog);
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
    // The stored face may be missing here: open on the one the editor draws.
    const QString drawn = QFontInfo(RichTextBox::withFontName(QFont(), FontName)).family();
    const QFont initial = styledFont(drawn, FontSize, FontBold ? QFont::Bold : QFont::Normal,
                                     FontItalic);
    QFontDialog dialog(initial, owner());
    keepStyleAcrossFamilies(dialog, initial);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    if (chosen.family() != drawn)
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
