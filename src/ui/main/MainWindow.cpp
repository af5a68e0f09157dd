#include "ui/main/MainWindow.h"

#include "app/Surroundings.h"

#include <QPlainTextEdit>

MainWindow::MainWindow(Surroundings &env, QWidget *parent) : QMainWindow(parent), m_env(env)
{
    setWindowTitle(QStringLiteral("Mon application"));
    txt = new QPlainTextEdit(this);
    setCentralWidget(txt);
}
