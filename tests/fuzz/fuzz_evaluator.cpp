// The evaluator, fed any text up to and past its 32,767 characters: Evaluate
// returns a number or the message of its error code, or throws only its
// overflow failure, which leaves the previous outcome; libFuzzer's -timeout
// bounds the time of each input. Text holding two U+0001 separators also
// drives ReplaceText, which returns text without the replaced string, or
// throws the overflow failure.
#include "eval/Evaluator.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

QString messageOf(qint32 error)
{
    switch (error) {
    case 1:
        return QStringLiteral("Erreur: Séparateur décimal mal placé !");
    case 2:
        return QStringLiteral("Erreur: Erreur de syntaxe !");
    case 4:
        return QStringLiteral("Erreur: Signe ou parenthèse mal placé !");
    case 8:
        return QStringLiteral("Erreur: Parenthèse mal placée !");
    default:
        return QStringLiteral("Erreur");
    }
}

// At most 15 significant digits, the locale's separator, no grouping,
// exponent form with a sign and at least two digits.
bool isNumberText(const QString &text, QChar point)
{
    static const QRegularExpression shape(
            QStringLiteral("^-?([0-9]+)(?:[.,]([0-9]+))?(?:E[+-][0-9]{2,3})?$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return false;
    if (match.capturedLength(2) > 0 && !text.contains(point))
        return false;
    QString digits = match.captured(1) + match.captured(2);
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return digits.size() <= 15 && (!digits.isEmpty() || text == QLatin1String("0"));
}

void checkEvaluate(const QString &input, const QLocale &locale)
{
    Evaluator evaluator;
    evaluator.Evaluate(QStringLiteral("1"), locale);
    require(evaluator.Assigned(), "setup");
    QString text;
    try {
        text = evaluator.Evaluate(input, locale);
    } catch (const std::overflow_error &) {
        require(evaluator.Error() == 0 && evaluator.Assigned(),
                "an overflow failure leaves the previous outcome");
        return;
    }
    if (evaluator.Assigned()) {
        require(evaluator.Error() == 0, "a number comes with no error");
        require(isNumberText(text, locale.decimalPoint().front()), "a number is written as one");
    } else {
        require(evaluator.Error() != 0, "an error has a code");
        require(text == messageOf(evaluator.Error()), "an error gives the message of its code");
    }
}

void checkReplaceText(const QString &source, const QString &from, const QString &to)
{
    QString out;
    try {
        out = Evaluator::ReplaceText(source, from, to);
    } catch (const std::overflow_error &) {
        return;
    }
    if (from.isEmpty() || from == to)
        require(out == source, "nothing to replace leaves the text");
    else if (!to.contains(from))
        require(!out.contains(from), "every occurrence is replaced, made ones included");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QLocale comma(QLocale::French, QLocale::France);
    const QString input =
            QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkEvaluate(input, size % 2 == 0 ? QLocale::c() : comma);
    const QStringList parts = input.split(QChar(1));
    if (parts.size() == 3)
        checkReplaceText(parts[0], parts[1], parts[2]);
    return 0;
}
