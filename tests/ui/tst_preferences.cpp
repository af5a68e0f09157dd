#include "app/Globals.h"
#include "controls/button/Qorvikcmd.h"
#include "platform/RichTextBox.h"
#include "platform/WindowEffects.h"
#include "support/TestEnv.h"
#include "ui/commands/MenuCommands.h"
#include "ui/main/MainWindow.h"
#include "ui/prefs/ColorSwatch.h"
#include "ui/prefs/OpacityText.h"
#include "ui/prefs/Preferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <functional>

using Globals::settings;

namespace {

// A loaded main window; open() runs the menu command with the user's
// actions done on the dialog while it is shown.
struct Fixture
{
    Fixture()
    {
        window = std::make_unique<MainWindow>(t.env);
        window->Form_Load();
    }

    // Returns the dialog's result.
    int open(const std::function<void(Preferences &)> &user)
    {
        int result = -1;
        t.env.runModal = [&](QDialog &dialog) {
            auto *prefs = qobject_cast<Preferences *>(&dialog);
            if (!prefs) {
                QTest::qFail("not the preferences dialog", __FILE__, __LINE__);
                return int(QDialog::Rejected);
            }
            prefs->show();
            QApplication::setActiveWindow(prefs);
            if (!QTest::qWaitForWindowActive(prefs))
                QTest::qFail("dialog not active", __FILE__, __LINE__);
            topmostWhileShown = WindowEffects::IsTopmost(*window);
            user(*prefs);
            result = prefs->result();
            return result;
        };
        window->commands().FormatPreferences();
        return result;
    }

    TestEnv t;
    std::unique_ptr<MainWindow> window;
    bool topmostWhileShown = false;
};

FakeCommonDialog &colorDialog(Preferences &prefs)
{
    return static_cast<FakeCommonDialog &>(*prefs.ComDlg);
}

void scriptColor(Preferences &prefs, quint32 color)
{
    colorDialog(prefs).script([color](CommonDialog &dialog) {
        dialog.Color = color;
        return true;
    });
}

void typeOpacity(Preferences &prefs, const QString &text)
{
    QTest::mouseClick(prefs.txtTransparency, Qt::LeftButton);
    prefs.txtTransparency->clear();
    typeText(prefs.txtTransparency, text);
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void opacityValidation_data();
    void opacityValidation();
    void layout();
    void okAppliesColoursAndFilter();
    void unchangedOkKeepsSystemColours();
    void nothingStoredWithoutOk_data();
    void nothingStoredWithoutOk();
    void transparencyBoxTogglesOpacityBox();
    void transparency_data();
    void transparency();
    void translucencyUnavailable();
    void stayOnTop_data();
    void stayOnTop();
};

void TestPreferences::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plus sign") << "+8" << 8.0;
    QTest::newRow("blanks before") << "  9" << 9.0;
    QTest::newRow("fraction only") << ".5" << 0.5;
    QTest::newRow("point without fraction") << "5." << 5.0;
    QTest::newRow("trailing text") << "12abc" << 12.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("exponent without digits") << "3e" << 3.0;
    QTest::newRow("comma is not a point") << "12,7" << 12.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("double sign") << "--1" << 0.0;
    QTest::newRow("blank inside sign") << "- 3" << 0.0;
}

void TestPreferences::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(OpacityText::LeadingNumber(text), value);
}

void TestPreferences::opacityValidation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterLeaving");
    QTest::addColumn<int>("stored");
    QTest::newRow("above 255") << "300" << "255" << 255;
    QTest::newRow("below 0") << "-5" << "0" << 0;
    QTest::newRow("fraction above 255") << "255.4" << "255" << 255;
    QTest::newRow("fraction below 0") << "-0.3" << "0" << 0;
    QTest::newRow("half to even, down") << "12.5" << "12.5" << 12;
    QTest::newRow("half to even, up") << "13.5" << "13.5" << 14;
    QTest::newRow("fraction near the top") << "254.6" << "254.6" << 255;
    QTest::newRow("no number") << "abc" << "abc" << 0;
    QTest::newRow("exponent") << "1e2" << "1e2" << 100;
    QTest::newRow("exponent above 255") << "3e3" << "255" << 255;
    QTest::newRow("overflowing exponent") << "1e999" << "255" << 255;
    QTest::newRow("trailing text kept") << "42 %" << "42 %" << 42;
    QTest::newRow("zero") << "0" << "0" << 0;
}

void TestPreferences::opacityValidation()
{
    QFETCH(QString, typed);
    QFETCH(QString, afterLeaving);
    QFETCH(int, stored);
    Fixture f;
    settings.TransparencyOn = true;
    const quint8 before = settings.TransparencyLevel;

    // Tab out of the box, then leave by Annuler.
    f.open([&](Preferences &p) {
        typeOpacity(p, typed);
        QCOMPARE(p.txtTransparency->text(), typed);
        QTest::keyClick(p.txtTransparency, Qt::Key_Tab);
        QCOMPARE(p.txtTransparency->text(), afterLeaving);
        QTest::mouseClick(p.cmdCancel, Qt::LeftButton);
    });
    QCOMPARE(settings.TransparencyLevel, before);

    // A click on OK takes the focus from the box first.
    QString leftInBox;
    QCOMPARE(f.open([&](Preferences &p) {
        typeOpacity(p, typed);
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
        leftInBox = p.txtTransparency->text();
    }), int(QDialog::Accepted));
    QCOMPARE(leftInBox, afterLeaving);
    QCOMPARE(int(settings.TransparencyLevel), stored);
    QCOMPARE(f.window->windowOpacity(), stored / 255.0);

    // Alt+O leaves the focus in the box: no validation, the same level.
    settings.TransparencyLevel = 77;
    QCOMPARE(f.open([&](Preferences &p) {
        typeOpacity(p, typed);
        QTest::keyClick(p.txtTransparency, Qt::Key_O, Qt::AltModifier);
        leftInBox = p.txtTransparency->text();
    }), int(QDialog::Accepted));
    QCOMPARE(leftInBox, typed);
    QCOMPARE(int(settings.TransparencyLevel), stored);
}

void TestPreferences::layout()
{
    Fixture f;
    Preferences p(*f.window, f.t.env);
    QCOMPARE(p.windowTitle(), QStringLiteral("Préférences"));
    QCOMPARE(p.size(), QSize(289, 252));
    QCOMPARE(p.palette().color(QPalette::Window), QColor(239, 231, 206));
    QCOMPARE(p.lblTextColor->text(), QStringLiteral("Couleur du texte :"));
    QCOMPARE(p.lblTextBackgroundColor->text(), QStringLiteral("Couleur de fond du texte :"));
    QCOMPARE(p.lblFileFilter->text(), QStringLiteral("Filtre de fichiers :"));
    QCOMPARE(p.chkTransparency->text(), QStringLiteral("Transparence activée     =>"));
    QCOMPARE(p.lblTransparency->text(), QStringLiteral("( 0 à 255 )"));
    QCOMPARE(p.chkAlwaysVisible->text(), QStringLiteral("Bloc-notes toujours visible"));
    QCOMPARE(p.cmdOk->Caption(), QStringLiteral("&OK"));
    QCOMPARE(p.cmdCancel->Caption(), QStringLiteral("&Annuler"));
    QCOMPARE(p.cmdOk->geometry(), QRect(32, 216, 89, 25));
    QCOMPARE(p.cmdTextColor->geometry(), QRect(184, 16, 49, 33));
    QCOMPARE(p.txtFileFilter->geometry(), QRect(102, 104, 185, 21));
    QCOMPARE(p.chkTransparency->font().pointSizeF(), 6.75);
    QCOMPARE(p.lblFileFilter->font().pointSizeF(), 8.25);
    // Right-aligned labels end where their design box ends.
    QCOMPARE(p.lblTextBackgroundColor->geometry().right(), 17 + 152 - 1);

    QList<QWidget *> order;
    QWidget *w = p.cmdTextColor;
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w;
        w = w->nextInFocusChain();
    } while (w != p.cmdTextColor);
    const QList<QWidget *> expected = {p.cmdTextColor, p.cmdTextBackgroundColor, p.txtFileFilter,
                                       p.chkTransparency, p.txtTransparency, p.chkAlwaysVisible,
                                       p.cmdOk, p.cmdCancel};
    QCOMPARE(order, expected);
}

void TestPreferences::okAppliesColoursAndFilter()
{
    Fixture f;
    editorOf(*f.window)->setText(QStringLiteral("Bonjour\ntout le monde"));
    QCOMPARE(f.open([](Preferences &p) {
        scriptColor(p, 0x000000FF);
        QTest::mouseClick(p.cmdTextColor, Qt::LeftButton);
        QCOMPARE(p.cmdTextColor->BackColor(), 0x000000FFu);
        // A cancelled dialog leaves its swatch alone.
        colorDialog(p).scriptCancel();
        QTest::mouseClick(p.cmdTextBackgroundColor, Qt::LeftButton);
        QCOMPARE(p.cmdTextBackgroundColor->BackColor(), Globals::SystemColorWindow);
        scriptColor(p, 0x00C0FFC0);
        QTest::mouseClick(p.cmdTextBackgroundColor, Qt::LeftButton);
        QCOMPARE(colorDialog(p).shown.size(), 3);
        QVERIFY(colorDialog(p).allAnswersUsed());
        p.txtFileFilter->setText(QStringLiteral("*.csv;*.tsv"));
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    }), int(QDialog::Accepted));

    QCOMPARE(settings.TextColor, 0x000000FFu);
    QCOMPARE(settings.TextBackColor, 0x00C0FFC0u);
    QCOMPARE(editorOf(*f.window)->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(editorOf(*f.window)->palette().color(QPalette::Base), QColor(192, 255, 192));
    QCOMPARE(editorOf(*f.window)->Text(), QStringLiteral("Bonjour\ntout le monde"));

    f.t.comDlg.scriptCancel();
    f.window->commands().FileOpen();
    QCOMPARE(f.t.comDlg.shown.size(), 1);
    QCOMPARE(f.t.comDlg.shown.first().filter,
             QStringLiteral("Fichiers texte (*.csv;*.tsv)|*.csv;*.tsv|Tous (*.*)|*.*"));
}

void TestPreferences::unchangedOkKeepsSystemColours()
{
    Fixture f;
    const Settings before = settings;
    f.open([](Preferences &p) { QTest::mouseClick(p.cmdOk, Qt::LeftButton); });
    QCOMPARE(settings.TextColor, Globals::SystemColorWindowText);
    QCOMPARE(settings.TextBackColor, Globals::SystemColorWindow);
    QCOMPARE(settings.FileFilter, before.FileFilter);
    QCOMPARE(settings.TransparencyLevel, before.TransparencyLevel);
}

void TestPreferences::nothingStoredWithoutOk_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Annuler") << 0;
    QTest::newRow("title bar") << 1;
    QTest::newRow("Escape") << 2;
}

void TestPreferences::nothingStoredWithoutOk()
{
    QFETCH(int, way);
    Fixture f;
    settings.TextColor = 0x00112233;
    const QColor background = editorOf(*f.window)->palette().color(QPalette::Base);
    const int result = f.open([&](Preferences &p) {
        scriptColor(p, 0x000000FF);
        QTest::mouseClick(p.cmdTextColor, Qt::LeftButton);
        scriptColor(p, 0x0000FF00);
        QTest::mouseClick(p.cmdTextBackgroundColor, Qt::LeftButton);
        p.txtFileFilter->setText(QStringLiteral("*.x"));
        p.chkTransparency->setChecked(true);
        p.chkAlwaysVisible->setChecked(true);
        if (way == 0)
            QTest::mouseClick(p.cmdCancel, Qt::LeftButton);
        else if (way == 1)
            p.close();
        else
            QTest::keyClick(p.txtFileFilter, Qt::Key_Escape);
        QVERIFY(!p.isVisible());
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(settings.TextColor, 0x00112233u);
    QCOMPARE(settings.TextBackColor, Globals::SystemColorWindow);
    QVERIFY(settings.FileFilter != QStringLiteral("*.x"));
    QVERIFY(!settings.TransparencyOn);
    QVERIFY(!settings.AlwaysOnTop);
    QCOMPARE(editorOf(*f.window)->palette().color(QPalette::Base), background);
    QVERIFY(!WindowEffects::IsLayered(*f.window));
    QVERIFY(!WindowEffects::IsTopmost(*f.window));
}

void TestPreferences::transparencyBoxTogglesOpacityBox()
{
    Fixture f;
    settings.TransparencyOn = true;
    settings.TransparencyLevel = 180;
    f.open([](Preferences &p) {
        QVERIFY(p.txtTransparency->isEnabled());
        QTest::keyClick(p.chkTransparency, Qt::Key_Space);
        QVERIFY(!p.chkTransparency->isChecked());
        QVERIFY(!p.txtTransparency->isEnabled());
        QCOMPARE(p.txtTransparency->text(), QStringLiteral("180"));
        QTest::keyClick(p.chkTransparency, Qt::Key_Space);
        QVERIFY(p.txtTransparency->isEnabled());
        QCOMPARE(p.txtTransparency->text(), QStringLiteral("180"));
        typeOpacity(p, QStringLiteral("90"));
        QTest::keyClick(p.chkTransparency, Qt::Key_Space);
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    });
    // Unticked, the box's value is stored all the same.
    QVERIFY(!settings.TransparencyOn);
    QCOMPARE(settings.TransparencyLevel, quint8(90));
}

void TestPreferences::transparency_data()
{
    QTest::addColumn<bool>("wasOn");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("opacity");
    QTest::addColumn<bool>("layered");
    QTest::addColumn<qreal>("windowOpacity");
    QTest::newRow("turned on") << false << true << "128" << true << 128 / 255.0;
    QTest::newRow("new opacity") << true << true << "60" << true << 60 / 255.0;
    QTest::newRow("fully transparent") << false << true << "abc" << true << 0.0;
    QTest::newRow("fully opaque stays layered") << false << true << "255" << true << 1.0;
    QTest::newRow("turned off") << true << false << "60" << false << 1.0;
    QTest::newRow("stays off") << false << false << "60" << false << 1.0;
}

void TestPreferences::transparency()
{
    QFETCH(bool, wasOn);
    QFETCH(bool, tick);
    QFETCH(QString, opacity);
    QFETCH(bool, layered);
    QFETCH(qreal, windowOpacity);
    Fixture f;
    settings.TransparencyOn = wasOn;
    settings.TransparencyLevel = 200;
    if (wasOn)
        ApplyTransparency(*f.window, 200);
    f.open([&](Preferences &p) {
        p.chkTransparency->setChecked(true);
        typeOpacity(p, opacity);
        p.chkTransparency->setChecked(tick);
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    });
    QCOMPARE(settings.TransparencyOn, tick);
    QCOMPARE(WindowEffects::IsLayered(*f.window), layered);
    QCOMPARE(f.window->windowOpacity(), windowOpacity);
    QVERIFY(f.t.messageBox.shown.isEmpty());
}

void TestPreferences::translucencyUnavailable()
{
    Fixture f;
    f.t.env.translucencySupported = [] { return false; };
    f.open([](Preferences &p) {
        p.chkTransparency->setChecked(true);
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    });
    QCOMPARE(f.t.messageBox.shown.size(), 1);
    QCOMPARE(f.t.messageBox.shown.first().text,
             QStringLiteral("Impossible d'appliquer la transparence à la fenêtre.\n"
                            "Cette fonction est réservée à Windows 2000/XP."));
    QCOMPARE(f.t.messageBox.shown.first().icon, MessageBox::Icon::Exclamation);
    QVERIFY(!settings.TransparencyOn);
    QCOMPARE(f.window->windowOpacity(), 1.0);

    // The refusal shows at the next opening, and OK there warns no more.
    bool ticked = true;
    f.open([&](Preferences &p) {
        ticked = p.chkTransparency->isChecked();
        QVERIFY(!p.txtTransparency->isEnabled());
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    });
    QVERIFY(!ticked);
    QCOMPARE(f.t.messageBox.shown.size(), 1);
}

void TestPreferences::stayOnTop_data()
{
    QTest::addColumn<bool>("wasOn");
    QTest::addColumn<bool>("tick");
    QTest::newRow("set") << false << true;
    QTest::newRow("kept") << true << true;
    QTest::newRow("cleared") << true << false;
    QTest::newRow("never set") << false << false;
}

void TestPreferences::stayOnTop()
{
    QFETCH(bool, wasOn);
    QFETCH(bool, tick);
    Fixture f;
    settings.AlwaysOnTop = wasOn;
    SetMainWindowTopmost(*f.window, wasOn);
    f.open([&](Preferences &p) {
        QCOMPARE(p.chkAlwaysVisible->isChecked(), wasOn);
        p.chkAlwaysVisible->setChecked(tick);
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    });
    QVERIFY(!f.topmostWhileShown);
    QCOMPARE(settings.AlwaysOnTop, tick);
    QCOMPARE(WindowEffects::IsTopmost(*f.window), tick);
}

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
