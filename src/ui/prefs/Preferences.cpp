#include "ui/prefs/Preferences.h"

#include "app/Conversion.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "controls/button/PropertyBag.h"
#include "controls/button/Qorvikcmd.h"
#include "platform/CommonDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/prefs/ColorSwatch.h"
#include "ui/prefs/OpacityText.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

using Globals::settings;

namespace {

const QString DesignFamily = QStringLiteral("Verdana");

} // namespace

Preferences::Preferences(MainWindow &window, Surroundings &env)
    : Form(&window, QStringLiteral("Preferences"), QStringLiteral("Préférences"))
    , ComDlg(env.newCommonDialog())
    , m_window(window)
{
    setClientSize(4335, 3780);

    lblTextColor = label(QStringLiteral("lblTextColor"), QStringLiteral("Couleur du texte :"), 8.25,
                         twips(270, 360, 1575, 195), Qt::AlignRight);
    cmdTextColor = new ColorSwatch(this);
    cmdTextColor->setObjectName(QStringLiteral("cmdTextColor"));
    cmdTextColor->setGeometry(twips(2760, 240, 735, 495));

    lblTextBackgroundColor = label(QStringLiteral("lblTextBackgroundColor"),
                                   QStringLiteral("Couleur de fond du texte :"), 8.25,
                                   twips(255, 960, 2280, 195), Qt::AlignRight);
    cmdTextBackgroundColor = new ColorSwatch(this);
    cmdTextBackgroundColor->setObjectName(QStringLiteral("cmdTextBackgroundColor"));
    cmdTextBackgroundColor->setGeometry(twips(2730, 840, 735, 495));

    lblFileFilter = label(QStringLiteral("lblFileFilter"), QStringLiteral("Filtre de fichiers :"), 8.25,
                          twips(75, 1605, 1455, 255), Qt::AlignRight);
    txtFileFilter = textBox(QStringLiteral("txtFileFilter"), twips(1537, 1560, 2775, 315));

    chkTransparency = checkBox(QStringLiteral("chkTransparency"),
                               QStringLiteral("Transparence activée     =>"), twips(240, 2280, 2415, 255));
    txtTransparency = textBox(QStringLiteral("txtTransparency"), twips(2730, 2280, 615, 285));
    lblTransparency = label(QStringLiteral("lblTransparency"), QStringLiteral("( 0 à 255 )"), 6.75,
                            twips(3450, 2310, 855, 255), Qt::AlignLeft);

    chkAlwaysVisible = checkBox(QStringLiteral("chkAlwaysVisible"),
                                QStringLiteral("Bloc-notes toujours visible"), twips(240, 2640, 2415, 255));

    const QFont buttonFont = Qorvikcmd::DesignFont(DesignFamily, 8.25);
    cmdOk = loadButton(QStringLiteral("cmdOk"), QStringLiteral("&OK"), buttonFont,
                       QRect(480, 3240, 1335, 375));
    cmdCancel = loadButton(QStringLiteral("cmdCancel"), QStringLiteral("&Annuler"), buttonFont,
                           QRect(2520, 3240, 1455, 375));

    setTabOrder(cmdTextColor, cmdTextBackgroundColor);
    setTabOrder(cmdTextBackgroundColor, txtFileFilter);
    setTabOrder(txtFileFilter, chkTransparency);
    setTabOrder(chkTransparency, txtTransparency);
    setTabOrder(txtTransparency, chkAlwaysVisible);
    setTabOrder(chkAlwaysVisible, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    connect(cmdTextColor, &QPushButton::clicked, this, &Preferences::cmdTextColor_Click);
    connect(cmdTextBackgroundColor, &QPushButton::clicked, this,
            &Preferences::cmdTextBackgroundColor_Click);
    connect(chkTransparency, &QCheckBox::stateChanged, this, &Preferences::chkTransparency_Click);
    txtTransparency->installEventFilter(this);
    connect(cmdOk, &Qorvikcmd::Click, this, &Preferences::cmdOk_Click);
    connect(cmdCancel, &Qorvikcmd::Click, this, &Preferences::cmdCancel_Click);

    Form_Load();
    cmdTextColor->setFocus();
}

Preferences::~Preferences() = default;

void Preferences::Form_Load()
{
    cmdTextColor->setBackColor(settings.TextColor);
    cmdTextBackgroundColor->setBackColor(settings.TextBackColor);
    txtFileFilter->setText(settings.FileFilter);
    SetCheckBoxValue(*chkTransparency, BoolToCheckValue(settings.TransparencyOn));
    SetCheckBoxValue(*chkAlwaysVisible, BoolToCheckValue(settings.AlwaysOnTop));
    txtTransparency->setEnabled(settings.TransparencyOn);
    txtTransparency->setText(QString::number(settings.TransparencyLevel));
}

void Preferences::cmdTextColor_Click()
{
    pickColor(*cmdTextColor);
}

void Preferences::cmdTextBackgroundColor_Click()
{
    pickColor(*cmdTextBackgroundColor);
}

void Preferences::pickColor(ColorSwatch &swatch)
{
    // A cancelled dialog leaves the swatch as it was.
    if (ComDlg->ShowColor())
        swatch.setBackColor(ComDlg->Color);
}

void Preferences::chkTransparency_Click()
{
    txtTransparency->setEnabled(CheckBoxValue(*chkTransparency) == 1);
}

void Preferences::txtTransparency_Validate()
{
    const QString clamped = OpacityText::Clamped(txtTransparency->text());
    if (clamped != txtTransparency->text())
        txtTransparency->setText(clamped);
}

void Preferences::cmdOk_Click()
{
    settings.TextColor = cmdTextColor->BackColor();
    settings.TextBackColor = cmdTextBackgroundColor->BackColor();
    settings.FileFilter = txtFileFilter->text();
    settings.TransparencyOn = CheckValueToBool(CheckBoxValue(*chkTransparency));
    settings.AlwaysOnTop = CheckValueToBool(CheckBoxValue(*chkAlwaysVisible));
    settings.TransparencyLevel = OpacityText::Level(txtTransparency->text());

    m_window.ApplySettings();
    accept();
}

void Preferences::cmdCancel_Click()
{
    reject();
}

bool Preferences::eventFilter(QObject *watched, QEvent *event)
{
    // The focus leaving for another control of the form; not the window
    // losing the focus to another window or a menu.
    if (watched == txtTransparency && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtTransparency_Validate();
    }
    return QDialog::eventFilter(watched, event);
}

QLabel *Preferences::label(const QString &name, const QString &text, qreal points, const QRect &area,
                           Qt::Alignment alignment)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(name);
    l->setFont(Qorvikcmd::DesignFont(DesignFamily, points));
    l->setAlignment(alignment | Qt::AlignTop);
    QRect placed = area;
    // A wider face than the design's grows a right-aligned label leftwards,
    // so its text still ends beside its control.
    const int needed = l->sizeHint().width();
    if (alignment & Qt::AlignRight && needed > placed.width())
        placed.setLeft(placed.right() + 1 - needed);
    else if (needed > placed.width())
        placed.setWidth(needed);
    placed.setHeight(std::max(placed.height(), l->sizeHint().height()));
    l->setGeometry(placed);
    return l;
}

QCheckBox *Preferences::checkBox(const QString &name, const QString &text, const QRect &area)
{
    auto *box = new QCheckBox(text, this);
    box->setObjectName(name);
    box->setFont(Qorvikcmd::DesignFont(DesignFamily, 6.75));
    box->setGeometry(area);
    return box;
}

QLineEdit *Preferences::textBox(const QString &name, const QRect &area)
{
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setFont(Qorvikcmd::DesignFont(DesignFamily, 8.25));
    box->setGeometry(area);
    return box;
}

