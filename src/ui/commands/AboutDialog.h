#pragma once

#include <QDialog>

class QLabel;
class Qorvikcmd;

// The about box: a picture framed in blue, the version, a few words on the
// program, an engraved separator, the credit line and "&OK". Created anew
// for each showing, modal over the main window.
class AboutDialog : public QDialog
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

private:
    // Twips of the form's design to pixels of this screen.
    int px(int twips) const;
    QRect rect(int left, int top, int width, int height) const;
};
