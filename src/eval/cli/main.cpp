// qorvik-eval: evaluates each argument as one expression, or, without
// arguments, each line of standard input, and prints one result a line in
// the user's locale. Exits 1 when any expression did not give a number.
// -h or --help prints how to call it.
#include "eval/Evaluator.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <stdexcept>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    Evaluator evaluator;
    bool allNumbers = true;

    const auto evaluate = [&](const QString &expression) {
        try {
            out << evaluator.Evaluate(expression) << '\n';
            allNumbers = allNumbers && evaluator.Assigned();
        } catch (const std::overflow_error &) {
            out << QStringLiteral("Dépassement de capacité") << '\n';
            allNumbers = false;
        }
        out.flush();
    };

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("-h")) || arguments.contains(QStringLiteral("--help"))) {
        out << QStringLiteral("Utilisation : qorvik-eval [EXPRESSION]...\n"
                              "Évalue chaque EXPRESSION, ou sans argument chaque ligne de l'entrée "
                              "standard, et écrit un résultat par ligne.\n");
        return 0;
    }
    if (!arguments.isEmpty()) {
        for (const QString &expression : arguments)
            evaluate(expression);
    } else {
        QTextStream in(stdin);
        QString line;
        while (in.readLineInto(&line)) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            evaluate(line);
        }
    }
    return allNumbers ? 0 : 1;
}
