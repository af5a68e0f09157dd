#include "app/Main.h"
#include "app/Surroundings.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qorvik Note Pad"));
    QApplication::setDesktopFileName(QStringLiteral("com.qorvik.NotePad"));
    Q_INIT_RESOURCE(qorvik);
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/app-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    // Standard buttons in French ("Oui", "Non", "Annuler"), whatever the locale.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtMessageBox messageBox;
    QtCommonDialog comDlg;
    Surroundings env = RealSurroundings();
    env.messageBox = &messageBox;
    env.comDlg = &comDlg;
    std::unique_ptr<MainWindow> window = Main(env);
    messageBox.setParent(window.get());
    comDlg.setParent(window.get());
    return app.exec();
}
