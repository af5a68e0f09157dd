#include "eval/Evaluator.h"

#include <QProcess>
#include <QTest>

#include <stdexcept>

namespace {

const QLocale Comma(QLocale::French, QLocale::France);
const QLocale Point = QLocale::c();

QString repeated(const char *unit, int count)
{
    return QString::fromLatin1(unit).repeated(count);
}

QString nested(const QString &open, const QString &inner, int depth)
{
    return open.repeated(depth) + inner + QStringLiteral(")").repeated(depth);
}

} // namespace

class TestEvaluator : public QObject
{
    Q_OBJECT

private slots:
    void newObject();
    void setExpressionOnlyNormalises();
    void evaluate_data();
    void evaluate();
    void decimalPoint_data();
    void decimalPoint();
    void successAfterFailure();
    void replaceText_data();
    void replaceText();
    void rnd();
    void rndAcrossProcesses();
    void callOverflow_data();
    void callOverflow();
    void tool_data();
    void tool();
    void toolHelp();
};

void TestEvaluator::newObject()
{
    Evaluator e;
    QCOMPARE(e.Expression(), QString());
    QCOMPARE(e.Error(), 0);
    QCOMPARE(e.Assigned(), false);
    QCOMPARE(e.result(), 0.0);
    QCOMPARE(e.Error(), 2);
    QCOMPARE(e.Assigned(), false);
    QCOMPARE(e.Evaluate(QStringLiteral("   "), Comma), QStringLiteral("Erreur: Erreur de syntaxe !"));
}

void TestEvaluator::setExpressionOnlyNormalises()
{
    Evaluator e;
    e.Evaluate(QStringLiteral("1/0"), Comma);
    e.setExpression(QStringLiteral(" sin(0.5) + 2 "));
    QCOMPARE(e.Expression(), QStringLiteral("SIN(0,5)+2"));
    QCOMPARE(e.Error(), 16);
    // Only U+0020 is a space to remove.
    e.setExpression(QStringLiteral("1\t+\u00A02"));
    QCOMPARE(e.Expression(), QStringLiteral("1\t+\u00A02"));
}

void TestEvaluator::evaluate_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("value");

    const QString syntax = QStringLiteral("Erreur: Erreur de syntaxe !");
    const QString sign = QStringLiteral("Erreur: Signe ou parenthèse mal placé !");
    const QString paren = QStringLiteral("Erreur: Parenthèse mal placée !");
    const QString arith = QStringLiteral("Erreur");
    const auto row = [](const char *name, const QString &expr, const QString &text, int code,
                        double value) { QTest::newRow(name) << expr << text << code << value; };
    const auto ok = [&row](const char *expr, const char *text, double value) {
        row(expr, QString::fromUtf8(expr), QString::fromUtf8(text), 0, value);
    };
    const auto bad = [&row](const char *expr, const QString &text, int code, double value) {
        row(expr, QString::fromUtf8(expr), text, code, value);
    };

    // Precedence, associativity and signs.
    ok("2+3*4", "14", 14);
    ok("8/4/2", "1", 1);
    ok("2-3-4", "-5", -5);
    ok("-2^2", "-4", -4);
    ok("-3^2+1", "-8", -8);
    ok("2*3^2", "18", 18);
    ok("(2^3)^2", "64", 64);
    ok("2^(3^2)", "512", 512);
    ok("2^(-1)", "0,5", 0.5);
    ok("2*(-3)", "-6", -6);
    ok("3-(-2)", "5", 5);
    ok("*3", "0", 0);
    bad("2^2^3", syntax, 2, 4);
    bad("2^-1", syntax, 2, 1);
    bad("2*-3", syntax, 2, 0);
    bad("5-", syntax, 2, 5);
    // Numbers and the number-to-text conversion.
    ok("1/4", "0,25", 0.25);
    ok("1/3", "0,333333333333333", 1.0 / 3);
    ok("1.5+1,5", "3", 3);
    ok("12,", "12", 12);
    ok("1 000", "1000", 1000);
    ok("-0", "0", 0);
    ok("10^20", "1E+20", 1e20);
    ok("1/10^20", "1E-20", 1e-20);
    ok("0,0001", "0,0001", 0.0001);
    ok("123456789012345678", "1,23456789012346E+17", 123456789012345678.0);
    bad("1,5,2", sign, 4, 0);
    bad(",5", sign, 4, 0);
    // Parentheses and syntax; the order in which codes overwrite each other.
    bad("(2+3", syntax, 2, 0);
    bad("3*(2", sign, 4, 0);
    bad("4/(2", arith, 16, 0);
    bad("4/FOO(1)/3", arith, 16, 0);
    bad("4*FOO(1)/3", syntax, 2, 0);
    bad("4/2^2^3*5", arith, 16, 0);
    bad("2)", paren, 8, 0);
    bad("(2+3))", paren, 8, 0);
    bad("()", syntax, 2, 0);
    bad("2(3)", syntax, 2, 0);
    bad("2X", sign, 4, 0);
    bad("PI", syntax, 2, 0);
    bad("FOO(1)", syntax, 2, 0);
    bad("5+FOO(1)+3", syntax, 2, 5);
    bad("SIN()", syntax, 2, 0);
    bad("SIN1", syntax, 2, 0);
    // Functions.
    ok("sin(0)", "0", 0);
    ok("sIn(0.5)", "0,479425538604203", std::sin(0.5));
    ok("SIN(1)^2", "0,708073418273571", std::pow(std::sin(1.0), 2));
    ok("2^SIN(1)", "1,79187622382792", std::pow(2.0, std::sin(1.0)));
    ok("FIX(-2,5)", "-2", -2);
    ok("INT(-2,5)", "-3", -3);
    ok("ARCCOTAN(1)", "2,35619449019234", std::atan(1.0) + 2 * std::atan(1.0));
    ok("ARCCOSEC(-2)", "-3,99866460143992", std::atan(-2 / std::sqrt(3.0)) - 4 * std::atan(1.0));
    // Arithmetic failures.
    bad("1/0", arith, 16, 0);
    bad("0/0", arith, 16, 0);
    bad("/0", arith, 16, 0);
    bad("(-8)^(1/3)", arith, 16, 0);
    bad("(10^308+10^308)", arith, 16, 0);
    bad("SQR(-1)", arith, 16, 0);
    bad("LOG(0)", arith, 16, 0);
    bad("ARCSIN(1)", arith, 16, 0);
    bad("HARCTAN(1)", arith, 16, 0);
    bad("EXP(710)", arith, 16, 0);
    bad("HSEC(800)", arith, 16, 0);
    row("huge literal", QStringLiteral("1") + repeated("0", 400), arith, 16, 0);
    // The deepest nesting that fits is evaluated, and fails, like any other.
    row("deepest groups", nested(QStringLiteral("("), QStringLiteral("1"), 16383), QStringLiteral("1"),
        0, 1);
    row("deepest negations", nested(QStringLiteral("-("), QStringLiteral("1"), 10922),
        QStringLiteral("1"), 0, 1);
    row("deepest calls", nested(QStringLiteral("ABS("), QStringLiteral("2"), 6553), QStringLiteral("2"),
        0, 2);
    row("deep failure", nested(QStringLiteral("("), QStringLiteral("1/0"), 16382), arith, 16, 0);
    row("only open groups", repeated("(", 32767), syntax, 2, 0);
}

void TestEvaluator::evaluate()
{
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(double, value);

    Evaluator e;
    QCOMPARE(e.Evaluate(expression, Comma), text);
    QCOMPARE(e.Error(), code);
    QCOMPARE(e.Assigned(), code == 0);
    QCOMPARE(e.result(), value);
}

void TestEvaluator::decimalPoint_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    QTest::newRow("quarter") << "1/4" << "0.25";
    QTest::newRow("third") << "1/3" << "0.333333333333333";
    QTest::newRow("comma input") << "-2,5" << "-2.5";
    QTest::newRow("large") << "123456789012345678" << "1.23456789012346E+17";
    QTest::newRow("small") << "1,5/10^7" << "1.5E-07";
    QTest::newRow("integer") << "999999999999999" << "999999999999999";
}

void TestEvaluator::decimalPoint()
{
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QCOMPARE(Evaluator().Evaluate(expression, Point), text);
}

void TestEvaluator::successAfterFailure()
{
    Evaluator e;
    e.Evaluate(QStringLiteral("2X"), Comma);
    QCOMPARE(e.Assigned(), false);
    QCOMPARE(e.Evaluate(QStringLiteral("2+3"), Comma), QStringLiteral("5"));
    QCOMPARE(e.Error(), 0);
    QCOMPARE(e.Assigned(), true);
}

void TestEvaluator::replaceText_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("expected");
    QTest::newRow("run collapses") << "a----b" << "--" << "-" << "a-b";
    QTest::newRow("rescans the front") << "aab" << "ab" << "b" << "b";
    QTest::newRow("case matters") << "Abc" << "a" << "x" << "Abc";
    QTest::newRow("empty pattern") << "abc" << "" << "x" << "abc";
    QTest::newRow("same text") << "abc" << "b" << "b" << "abc";
    QTest::newRow("grows") << "xax" << "a" << "bcd" << "xbcdx";
    QTest::newRow("insert holds pattern") << "a-b-" << "-" << "--" << "a--b--";
    QTest::newRow("insert wraps pattern") << "aa" << "a" << "(a)" << "(a)(a)";
}

void TestEvaluator::replaceText()
{
    QFETCH(QString, source);
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(QString, expected);
    QCOMPARE(Evaluator::ReplaceText(source, what, with), expected);
}

void TestEvaluator::rnd()
{
    Evaluator e;
    double lowest = 1;
    double highest = 0;
    const auto value = [&](const char *expr) {
        e.setExpression(QString::fromLatin1(expr));
        const double v = e.result();
        lowest = qMin(lowest, v);
        highest = qMax(highest, v);
        return v;
    };
    const double seeded = value("RND(-3)");
    const double next = value("RND(1)");
    QCOMPARE(value("RND(0)"), next);
    QVERIFY(value("RND(1)") != next);
    QCOMPARE(value("RND(-3)"), seeded);
    QCOMPARE(value("RND(1)"), next);
    QVERIFY(value("RND(-4)") != seeded);

    // Reading result again draws again.
    e.setExpression(QStringLiteral("RND(1)"));
    QVERIFY(e.result() != e.result());
    for (int i = 0; i < 10000; ++i)
        value("RND(1)");
    QVERIFY(lowest >= 0 && lowest < 0.01);
    QVERIFY(highest < 1 && highest > 0.99);
}

void TestEvaluator::rndAcrossProcesses()
{
    const QStringList draws{"RND(1)", "RND(1)", "RND(0)", "RND(-2)", "RND(1)"};
    QByteArray first;
    for (int run = 0; run < 2; ++run) {
        QProcess process;
        process.start(QStringLiteral(QORVIK_EVAL_BIN), draws);
        QVERIFY(process.waitForFinished(10000));
        const QByteArray output = process.readAllStandardOutput();
        QCOMPARE(output.count('\n'), draws.size());
        if (run == 0)
            first = output;
        else
            QCOMPARE(output, first);
    }
    const QList<QByteArray> lines = first.split('\n');
    QVERIFY(lines[0] != lines[1]);
    QCOMPARE(lines[2], lines[1]);
}

void TestEvaluator::callOverflow_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("inSetter");
    QTest::newRow("outermost sum") << "10^308+10^308" << false;
    QTest::newRow("outermost difference") << "-10^308-10^308" << false;
    QTest::newRow("after a term with a syntax error") << "10^308+10^308A" << false;
    QTest::newRow("after a deep group")
        << nested(QStringLiteral("("), QStringLiteral("10^308"), 16000) + QStringLiteral("+10^308")
        << false;
    QTest::newRow("too long") << repeated("1+", 16383) + "11" << false;
    QTest::newRow("space past the limit") << repeated("1", 32767) + " " << true;
}

void TestEvaluator::callOverflow()
{
    QFETCH(QString, expression);
    QFETCH(bool, inSetter);

    for (const bool before : {true, false}) {
        Evaluator e;
        e.Evaluate(before ? QStringLiteral("2+3") : QStringLiteral("1/0"), Comma);
        const QString previous = e.Expression();
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, e.Evaluate(expression, Comma));
        QCOMPARE(e.Assigned(), before);
        QCOMPARE(e.Error(), inSetter && !before ? 16 : 0);
        if (inSetter)
            QCOMPARE(e.Expression(), previous);
    }

    // Just inside the limits both calls succeed.
    Evaluator e;
    const QString longest = repeated("1+", 16383) + QStringLiteral("1");
    QCOMPARE(e.Evaluate(longest, Comma), QStringLiteral("16384"));
    e.setExpression(repeated("1", 32766) + " ");
    QCOMPARE(e.Expression(), repeated("1", 32766));
}

void TestEvaluator::tool_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("arguments, comma locale")
        << "fr_FR.UTF-8" << QStringList{"1/4", "10^308+10^308", "2X"} << QByteArray()
        << QByteArray("0,25\nDépassement de capacité\nErreur: Signe ou parenthèse mal placé !\n")
        << 1;
    QTest::newRow("standard input, point locale")
        << "C" << QStringList() << QByteArray("1/4\r\n2 + 2\n") << QByteArray("0.25\n4\n") << 0;
    QTest::newRow("empty line") << "C" << QStringList() << QByteArray("1\n\n")
                                << QByteArray("1\nErreur: Erreur de syntaxe !\n") << 1;
}

void TestEvaluator::tool()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    QFETCH(int, exitCode);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QORVIK_EVAL_BIN), arguments);
    process.write(input);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.readAllStandardOutput(), output);
    QCOMPARE(process.exitCode(), exitCode);
}

void TestEvaluator::toolHelp()
{
    for (const QString &option : {QStringLiteral("-h"), QStringLiteral("--help")}) {
        QProcess process;
        process.start(QStringLiteral(QORVIK_EVAL_BIN), {option, QStringLiteral("1+1")});
        QVERIFY(process.waitForFinished(10000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(output.startsWith(QStringLiteral("Utilisation : qorvik-eval")), qPrintable(output));
        QVERIFY(!output.contains(QStringLiteral("Erreur")) && !output.contains(QLatin1Char('2')));
        QCOMPARE(process.exitCode(), 0);
    }
}

QTEST_GUILESS_MAIN(TestEvaluator)
#include "tst_evaluator.moc"
