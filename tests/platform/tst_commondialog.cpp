#include "platform/CommonDialog.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs step on the modal widget once it is up: the real dialog, driven as a
// user would, without anyone at the keyboard.
void whenModal(const std::function<void(QWidget *)> &step)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, step] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            step(modal);
        }
    });
    poll->start(10);
}

QStringList listed(QFileDialog *dialog)
{
    const auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

void chooseFilter(QFileDialog *dialog, int index)
{
    auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

const QString TextAndAll = QStringLiteral("Fichiers texte (*.txt)|*.txt|Tous (*.*)|*.*");

} // namespace

class TestCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void saveOverExistingAsksNothing();
    void allFilesListsNamesWithoutDot();
    void saveNeverGivesWildcardName_data();
    void saveNeverGivesWildcardName();
    void fontDialogOpensOnFaceInUse();
    void fontStyleKeptAcrossFamilies();
};

void TestCommonDialog::saveOverExistingAsksNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QtCommonDialog comDlg;
    comDlg.Filter = TextAndAll;
    comDlg.InitDir = dir.path();
    comDlg.FileName = path;

    auto questions = std::make_shared<QStringList>();
    whenModal([questions](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        // Whatever Qt would ask of its own is recorded and turned down.
        whenModal([questions, dialog](QWidget *inner) {
            if (auto *box = qobject_cast<QMessageBox *>(inner)) {
                *questions << box->text();
                box->reject();
            }
        });
        static_cast<QDialog *>(dialog)->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
    const bool chosen = comDlg.ShowSave();
    QCOMPARE(*questions, QStringList());
    QVERIFY(chosen);
    QCOMPARE(comDlg.FileName, path);
    QTest::qWait(50); // let the inner watch end while nothing is modal
}

void TestCommonDialog::allFilesListsNamesWithoutDot()
{
    QTemporaryDir dir;
    for (const char *name : {"README", "a.txt", "b.md"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QtCommonDialog comDlg;
    comDlg.Filter = TextAndAll;
    comDlg.InitDir = dir.path();

    QStringList seen;
    whenModal([&seen](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        chooseFilter(dialog, 1);
        (void)QTest::qWaitFor([&] { return listed(dialog).size() >= 3; }, 2000);
        seen = listed(dialog);
        dialog->reject();
    });
    QVERIFY(!comDlg.ShowOpen());
    QCOMPARE(seen, (QStringList{"README", "a.txt", "b.md"}));
}

void TestCommonDialog::saveNeverGivesWildcardName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("\"Tous\" chosen") << QString();
    QTest::newRow("pattern typed") << QStringLiteral("Sans titre.*");
}

void TestCommonDialog::saveNeverGivesWildcardName()
{
    QFETCH(QString, typed);
    QTemporaryDir dir;
    QtCommonDialog comDlg;
    comDlg.Filter = TextAndAll;
    comDlg.InitDir = dir.path();
    comDlg.FileName = dir.filePath(QStringLiteral("Sans titre.txt"));

    whenModal([typed](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        chooseFilter(dialog, 1);
        if (!typed.isEmpty())
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
        static_cast<QDialog *>(dialog)->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
    if (comDlg.ShowSave())
        QVERIFY2(!comDlg.FileName.contains(QLatin1Char('*')), qPrintable(comDlg.FileName));
}

void TestCommonDialog::fontDialogOpensOnFaceInUse()
{
    RichTextBox editor;
    editor.setFontName(QStringLiteral("Lucida Console"));
    const QString drawn = QFontInfo(editor.font()).family();
    QtCommonDialog comDlg;
    comDlg.FontName = QStringLiteral("Lucida Console");
    comDlg.FontSize = 12;
    comDlg.FontBold = true;
    comDlg.FontItalic = false;

    QFont shown;
    whenModal([&shown](QWidget *modal) {
        auto *dialog = qobject_cast<QFontDialog *>(modal);
        shown = dialog->currentFont();
        static_cast<QDialog *>(dialog)->accept();
    });
    QVERIFY(comDlg.ShowFont());
    QCOMPARE(QFontInfo(shown).family(), drawn);
    QCOMPARE(shown.pointSize(), 12);
    QVERIFY(shown.bold());
    QVERIFY(!shown.italic());
    // OK without another family keeps the stored name.
    QCOMPARE(comDlg.FontName, QStringLiteral("Lucida Console"));
    QCOMPARE(comDlg.FontSize, 12.0);
    QVERIFY(comDlg.FontBold);
    QVERIFY(!comDlg.FontItalic);
}

void TestCommonDialog::fontStyleKeptAcrossFamilies()
{
    QtCommonDialog comDlg;
    comDlg.FontName = QStringLiteral("DejaVu Sans Mono");
    comDlg.FontSize = 10;

    QFont shown;
    whenModal([&shown](QWidget *modal) {
        auto *dialog = qobject_cast<QFontDialog *>(modal);
        auto *families = dialog->findChildren<QListView *>().constFirst();
        const QModelIndex other =
                families->model()->match(families->model()->index(0, 0), Qt::DisplayRole,
                                         QStringLiteral("Liberation Serif"), 1, Qt::MatchExactly)
                        .value(0);
        families->setCurrentIndex(other);
        shown = dialog->currentFont();
        static_cast<QDialog *>(dialog)->accept();
    });
    QVERIFY(comDlg.ShowFont());
    QCOMPARE(comDlg.FontName, QStringLiteral("Liberation Serif"));
    QCOMPARE(shown.italic(), false);
    QCOMPARE(comDlg.FontItalic, shown.italic());
    QCOMPARE(comDlg.FontBold, shown.bold());
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
