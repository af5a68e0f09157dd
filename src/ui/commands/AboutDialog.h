#pragma once

#include "ui/Form.h"

class QLabel;
class Qorvikcmd;

// The about box: a picture framed in blue, the version, a few words on the
// program, an engraved separator, the credit line and "&OK". Created anew
// for each showing, modal over the main window.
class AboutDialog : public Form
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    void cmdOk_Click();

    QLabel *Image1 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCommentary = nullptr;
    QLabel *lblAuthor = nullptr;
    Qorvikcmd *cmdOk = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
};
