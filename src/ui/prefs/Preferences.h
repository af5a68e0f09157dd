#pragma once

#include "ui/Form.h"

#include <memory>

class ColorSwatch;
class CommonDialog;
class MainWindow;
class QCheckBox;
class QLabel;
class QLineEdit;
class Qorvikcmd;
struct Surroundings;

// The preferences: text and background colours, the file dialogs' filter,
// the main window's translucency with its opacity, and stay-on-top. Filled
// from the settings when created; OK stores them and applies them to the
// main window at once, any other way out stores nothing. Created anew for
// each showing, modal over the main window.
class Preferences : public Form
{
    Q_OBJECT

public:
    Preferences(MainWindow &window, Surroundings &env);
    ~Preferences() override;

    void Form_Load();
    void cmdTextColor_Click();
    void cmdTextBackgroundColor_Click();
    void chkTransparency_Click();
    void txtTransparency_Validate();
    void cmdOk_Click();
    void cmdCancel_Click();

    QLabel *lblTextColor = nullptr;
    ColorSwatch *cmdTextColor = nullptr;
    QLabel *lblTextBackgroundColor = nullptr;
    ColorSwatch *cmdTextBackgroundColor = nullptr;
    QLabel *lblFileFilter = nullptr;
    QLineEdit *txtFileFilter = nullptr;
    QCheckBox *chkTransparency = nullptr;
    QLineEdit *txtTransparency = nullptr;
    QLabel *lblTransparency = nullptr;
    QCheckBox *chkAlwaysVisible = nullptr;
    Qorvikcmd *cmdOk = nullptr;
    Qorvikcmd *cmdCancel = nullptr;
    // The colour dialog, the form's own.
    std::unique_ptr<CommonDialog> ComDlg;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pickColor(ColorSwatch &swatch);
    QLabel *label(const QString &name, const QString &text, qreal points, const QRect &area,
                  Qt::Alignment alignment);
    QCheckBox *checkBox(const QString &name, const QString &text, const QRect &area);
    QLineEdit *textBox(const QString &name, const QRect &area);

    MainWindow &m_window;
};
