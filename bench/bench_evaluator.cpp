// Time per evaluation of flat sums and deep nestings at a few lengths up to
// the longest expression accepted; the time should grow about linearly.
#include "eval/Evaluator.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>

namespace {

double msPerEvaluation(const QString &expression, const QString &expected)
{
    const QLocale locale = QLocale::c();
    Evaluator evaluator;
    if (evaluator.Evaluate(expression, locale) != expected)
        return -1;
    int rounds = 0;
    QElapsedTimer timer;
    timer.start();
    do {
        evaluator.Evaluate(expression, locale);
        ++rounds;
    } while (timer.elapsed() < 500);
    return double(timer.nsecsElapsed()) / rounds / 1e6;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    int status = 0;
    const auto report = [&](const char *what, const QString &expression, const QString &expected) {
        const double ms = msPerEvaluation(expression, expected);
        if (ms < 0)
            status = 1;
        out << what << ", " << expression.size() << " characters: " << ms << " ms per evaluation\n";
    };
    for (const int terms : {1024, 4096, 16384}) {
        const QString sum = QStringLiteral("1+").repeated(terms - 1) + QStringLiteral("1");
        report("flat sum", sum, QString::number(terms));
    }
    for (const int terms : {1024, 8192}) {
        // Half spaces: the normalisation removes them before the evaluation.
        const QString spaced = QStringLiteral("1 + ").repeated(terms - 1) + QStringLiteral("1");
        report("spaced sum", spaced, QString::number(terms));
    }
    for (const int depth : {1000, 4000, 16383}) {
        const QString nest = QStringLiteral("(").repeated(depth) + QStringLiteral("1")
            + QStringLiteral(")").repeated(depth);
        report("nested groups", nest, QStringLiteral("1"));
    }
    for (const int depth : {1000, 6553}) {
        const QString calls = QStringLiteral("ABS(").repeated(depth) + QStringLiteral("1")
            + QStringLiteral(")").repeated(depth);
        report("nested calls", calls, QStringLiteral("1"));
    }
    return status;
}
