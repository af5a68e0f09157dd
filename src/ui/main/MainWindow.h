#pragma once

#include <QMainWindow>

class QPlainTextEdit;
struct Surroundings;

// The editor's one window.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Surroundings &env, QWidget *parent = nullptr);

    QPlainTextEdit *txt = nullptr;

private:
    Surroundings &m_env;
};
