#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class QPrinter;
class QWidget;

// The open, save, font, colour and printer dialogs `ComDlg`: the caller
// sets the properties, shows a dialog, then reads the user's choice back.
// Each Show method returns false when the user cancelled; the properties
// then keep the values they had.
class CommonDialog
{
public:
    // Flags of the printer dialog.
    enum PrinterFlag { NoSelection = 0x4 };

    virtual ~CommonDialog() = default;

    // Pairs of description and pattern separated by "|"; patterns of one
    // entry separated by ";".
    QString Filter;
    QString InitDir;
    QString FileName;
    long Flags = 0;
    quint32 Color = 0;
    QString FontName;
    double FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;

    virtual bool ShowOpen() = 0;
    virtual bool ShowSave() = 0;
    virtual bool ShowColor() = 0;
    virtual bool ShowFont() = 0;
    // After OK, printer() is the chosen printer.
    virtual bool ShowPrinter() = 0;
    virtual QPrinter *printer() = 0;
};

// The Filter text as the name filters of a file dialog: each entry shows its
// description as written and matches each of its patterns.
QStringList NameFiltersFromFilter(const QString &filter);

// The real dialogs, built with Qt's own widgets (never a native dialog, so
// that the filter text and the behaviour are the same everywhere).
class QtCommonDialog final : public CommonDialog
{
public:
    explicit QtCommonDialog(QWidget *parent = nullptr);
    ~QtCommonDialog() override;
    void setParent(QWidget *parent) { m_parent = parent; }

    bool ShowOpen() override;
    bool ShowSave() override;
    bool ShowColor() override;
    bool ShowFont() override;
    bool ShowPrinter() override;
    QPrinter *printer() override;

private:
    bool showFileDialog(bool save);
    QWidget *owner() const;

    QWidget *m_parent;
    std::unique_ptr<QPrinter> m_printer;
};
