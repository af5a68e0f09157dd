#include "eval/Evaluator.h"

#include <QStringView>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>

namespace {

// Raised by any step whose value is not finite; caught where the evaluation
// turns it into code 16, or turned into a failure of the call at the top.
struct ArithmeticFailure
{
};

double checked(double value)
{
    if (!std::isfinite(value))
        throw ArithmeticFailure();
    return value;
}

[[noreturn]] void throwOverflow()
{
    throw std::overflow_error("Dépassement de capacité");
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

double sgn(double x)
{
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

// One sequence for the whole process, never seeded from the clock, so that
// every run draws the same numbers. A negative argument restarts it from its
// own bits, 0 repeats the last number (draws the first when none was drawn
// yet), a positive one draws the next.
class RndSequence
{
public:
    double draw(double x)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (x < 0) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &x, sizeof bits);
            m_state = mix(bits);
        } else if (x == 0 && m_drawn) {
            return m_last;
        }
        m_state += Increment;
        m_last = double(mix(m_state) >> 11) * 0x1.0p-53;
        m_drawn = true;
        return m_last;
    }

private:
    static constexpr std::uint64_t Increment = 0x9E3779B97F4A7C15ull;

    static std::uint64_t mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::mutex m_mutex;
    std::uint64_t m_state = 0x51A7E5EEDull;
    double m_last = 0;
    bool m_drawn = false;
};

RndSequence &rndSequence()
{
    static RndSequence sequence;
    return sequence;
}

} // namespace

void Evaluator::setExpression(QString NewExpr)
{
    QString text = RemoveSpaces(NewExpr).toUpper();
    m_Expression = ReplaceText(text, QStringLiteral("."), QStringLiteral(","));
}

double Evaluator::result()
{
    m_Error = 0;
    // Lengths and positions are 16-bit quantities of the evaluation.
    if (m_Expression.size() > MaxLength)
        throwOverflow();
    const int length = int(m_Expression.size());
    m_text = m_Expression.constData();

    m_match.assign(size_t(length), -1);
    std::vector<int> open;
    for (int i = 0; i < length; ++i) {
        if (m_text[i] == QLatin1Char('(')) {
            open.push_back(i);
        } else if (m_text[i] == QLatin1Char(')') && !open.empty()) {
            m_match[size_t(open.back())] = i;
            open.pop_back();
        }
    }

    double value = 0;
    try {
        value = SumTerms({0, length});
    } catch (const std::overflow_error &) {
        // A term may have stored a code before the outermost sum overflowed;
        // the failed call reports none.
        m_Error = 0;
        throw;
    }
    m_result = value;
    m_Assigned = m_Error == 0;
    return value;
}

QString Evaluator::Evaluate(QString Expressn, const QLocale &locale)
{
    setExpression(Expressn);
    result();
    switch (m_Error) {
    case 0:
        return NumberToText(m_result, locale);
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

QString Evaluator::ReplaceText(QString SourceText, QString StrToReplace, QString StrToInsert)
{
    if (StrToReplace.isEmpty() || StrToInsert == StrToReplace)
        return SourceText;
    const qsizetype lenR = StrToReplace.size();

    if (StrToInsert.contains(StrToReplace)) {
        QString out;
        qsizetype from = 0;
        for (qsizetype p; (p = SourceText.indexOf(StrToReplace, from)) >= 0; from = p + lenR) {
            if (out.size() + (p - from) + 1 > MaxLength)
                throwOverflow();
            out += QStringView(SourceText).mid(from, p - from);
            out += StrToInsert;
        }
        out += QStringView(SourceText).mid(from);
        return out;
    }

    // The restarting search, without rescanning: `out` never holds an
    // occurrence, so the first occurrence of the working text is the first
    // time `out` ends with one; the inserted text then goes back in front of
    // the unread input, where it is searched again together with what follows.
    constexpr qsizetype GrowthLimit = qsizetype(1) << 24;
    const bool neverShorter = StrToInsert.size() >= lenR;
    const QChar lastOfR = StrToReplace.back();
    QString out;
    out.reserve(SourceText.size());
    QString pending; // reversed: the next character is at the back
    qsizetype read = 0;
    qsizetype replacements = 0;
    for (;;) {
        QChar c;
        if (!pending.isEmpty()) {
            c = pending.back();
            pending.chop(1);
        } else if (read < SourceText.size()) {
            c = SourceText.at(read++);
        } else {
            break;
        }
        out.append(c);
        if (c != lastOfR || out.size() < lenR || !QStringView(out).endsWith(StrToReplace))
            continue;
        if (out.size() - lenR + 1 > MaxLength)
            throwOverflow();
        if (neverShorter
            && (++replacements > GrowthLimit
                || out.size() + pending.size() + (SourceText.size() - read)
                       > SourceText.size() + GrowthLimit)) {
            throwOverflow();
        }
        out.chop(lenR);
        for (qsizetype k = StrToInsert.size() - 1; k >= 0; --k)
            pending.append(StrToInsert.at(k));
    }
    return out;
}

QString Evaluator::NumberToText(double value, const QLocale &locale)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, 14);
    const std::string text(buffer, written.ptr);
    const size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < e; ++i) {
        if (text[i] != '.')
            digits += text[i];
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::stoi(text.substr(e + 1));

    const QString point = locale.decimalPoint();
    QString out;
    if (negative)
        out += QLatin1Char('-');
    const QString all = QString::fromLatin1(digits.data(), qsizetype(digits.size()));
    if (exponent < -4 || exponent >= 15) {
        out += all.front();
        if (all.size() > 1)
            out += point + all.mid(1);
        out += QLatin1Char('E');
        out += exponent < 0 ? QLatin1Char('-') : QLatin1Char('+');
        out += QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    } else if (exponent >= 0) {
        const int integerDigits = exponent + 1;
        out += all.left(integerDigits);
        if (all.size() < integerDigits)
            out += QString(integerDigits - all.size(), QLatin1Char('0'));
        else if (all.size() > integerDigits)
            out += point + all.mid(integerDigits);
    } else {
        out += QLatin1Char('0') + point + QString(-exponent - 1, QLatin1Char('0')) + all;
    }
    return out;
}

QString Evaluator::RemoveSpaces(const QString &text)
{
    return ReplaceText(text, QStringLiteral(" "), QString());
}

// Runs the evaluation of a whole expression: the calls that would recurse
// (a group's or an argument's sum, its terms and factors) become frames on
// m_frames, each resumed with the value of the call it started.
double Evaluator::SumTerms(Span text)
{
    m_frames.clear();
    m_parts.clear();
    m_hasReturned = false;
    startSum(text);
    for (;;) {
        try {
            if (step())
                return m_returned;
        } catch (const ArithmeticFailure &) {
            unwind();
        }
    }
}

// Processes the top frame once; true when the outermost sum has its value.
bool Evaluator::step()
{
    Frame &f = m_frames.back();
    const bool resumed = m_hasReturned;
    m_hasReturned = false;
    switch (f.kind) {
    case Frame::Sum:
        if (resumed)
            f.value = checked(f.value + m_returned);
        if (f.next < f.partsEnd) {
            EvaluateTerm(m_parts[size_t(f.next++)]);
            return false;
        }
        break;
    case Frame::Term:
        if (resumed) {
            if (f.op == QLatin1Char('+'))
                f.value = checked(f.value + m_returned);
            else if (f.op == QLatin1Char('*'))
                f.value = checked(f.value * m_returned);
            else if (f.op == QLatin1Char('/'))
                f.value = checked(f.value / m_returned);
        }
        if (f.next < f.partsEnd) {
            EvaluateFactor(m_parts[size_t(f.next++)]);
            return false;
        }
        break;
    case Frame::Factor:
        resumeFactor(m_returned);
        return false;
    case Frame::Function:
        f.value = functionValue(f.text, m_returned);
        break;
    }
    const double value = m_frames.back().value;
    pop();
    deliver(value);
    return m_frames.empty();
}

// An arithmetic failure in the top frame: terms and function calls catch it
// as code 16 and give 0; sums and factors pass it to their caller, and past
// the outermost sum it fails the call.
void Evaluator::unwind()
{
    m_hasReturned = false;
    for (;;) {
        const Frame::Kind kind = m_frames.back().kind;
        pop();
        if (kind == Frame::Term || kind == Frame::Function) {
            m_Error = 16;
            deliver(0);
            return;
        }
        if (m_frames.empty())
            throwOverflow();
    }
}

void Evaluator::startSum(Span text)
{
    pushSplit(Frame::Sum, text, QLatin1Char('+'), QLatin1Char('-'));
}

// A sum or a term: a frame over the parts of text between its operators.
void Evaluator::pushSplit(Frame::Kind kind, Span text, QChar a, QChar b)
{
    Frame frame;
    frame.kind = kind;
    frame.partsBegin = int(m_parts.size());
    m_frames.push_back(frame);
    SplitAtOperators(text, a, b);
    Frame &split = m_frames.back();
    split.next = split.partsBegin;
    split.partsEnd = int(m_parts.size());
}

void Evaluator::SplitAtOperators(Span text, QChar a, QChar b)
{
    Span rest = text;
    for (int p; (p = FindOperator(rest, a, b)) >= 0; rest.begin = p)
        m_parts.push_back({rest.begin, p});
    m_parts.push_back(rest);
}

// Groups are skipped whole through m_match, which keeps every level's scan
// to its own characters.
int Evaluator::FindOperator(Span text, QChar a, QChar b)
{
    for (int i = text.begin; i < text.end; ++i) {
        const QChar c = m_text[i];
        if (c == a || c == b) {
            if (i > text.begin)
                return i;
        } else if (c == QLatin1Char('(')) {
            const int close = m_match[size_t(i)];
            if (close < 0 || close >= text.end)
                return -1; // still open at the end: nothing more at depth 0
            i = close;
        } else if (c == QLatin1Char(')')) {
            m_Error = 8;
            return -1;
        }
    }
    return -1;
}

void Evaluator::EvaluateTerm(Span text)
{
    if (m_Error != 0) {
        deliver(0);
        return;
    }
    pushSplit(Frame::Term, text, QLatin1Char('*'), QLatin1Char('/'));
}

Evaluator::Operand Evaluator::operandKind(Span text, const QChar *chars)
{
    if (text.isEmpty())
        return Operand::Call;
    if (chars[text.begin] == QLatin1Char('('))
        return Operand::Group;
    return isDigit(chars[text.begin]) ? Operand::Number : Operand::Call;
}

// Always called with the enclosing term on top; a factor that returns at
// once leaves the term's operator as it was.
void Evaluator::EvaluateFactor(Span text)
{
    if (m_Error != 0) {
        deliver(0);
        return;
    }
    QChar &op = m_frames.back().op;
    op = QLatin1Char('+');
    Frame frame;
    frame.kind = Frame::Factor;
    frame.text = text;
    Operand kind = operandKind(text, m_text);
    if (!text.isEmpty()) {
        const QChar c = m_text[text.begin];
        if (c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('*')
            || c == QLatin1Char('/')) {
            if (c == QLatin1Char('-'))
                frame.negate = true;
            else
                op = c;
            ++frame.text.begin;
            kind = operandKind(frame.text, m_text);
        }
    }
    m_frames.push_back(frame);
    startOperand(kind);
}

// Starts the operand at the front of the top factor's working text.
void Evaluator::startOperand(Operand kind)
{
    Span &text = m_frames.back().text;
    switch (kind) {
    case Operand::Number:
        deliver(ReadNumber(text));
        break;
    case Operand::Group:
        startSum(ExtractGroup(text));
        break;
    case Operand::Call: {
        Span argument;
        const Span name = SplitFunctionCall(text, argument);
        EvaluateFunction(name, argument);
        break;
    }
    }
}

void Evaluator::resumeFactor(double value)
{
    Frame &f = m_frames.back();
    if (f.stage == 0) {
        f.value = value;
        if (!f.text.isEmpty()) {
            f.postfix = m_text[f.text.begin++];
            f.stage = 1;
            startOperand(operandKind(f.text, m_text));
            return;
        }
    } else {
        if (f.postfix == QLatin1Char('^')) {
            const double power = std::pow(f.value, value);
            if (!std::isfinite(power)) {
                m_Error = 16;
                pop();
                deliver(0);
                return;
            }
            f.value = power;
        } else {
            m_Error = 4;
            f.value = 0;
        }
        if (!f.text.isEmpty())
            m_Error = 2;
    }
    const double result = f.negate ? -f.value : f.value;
    pop();
    deliver(result);
}

double Evaluator::ReadNumber(Span &text)
{
    std::string number;
    bool separatorSeen = false;
    int i = text.begin;
    for (; i < text.end; ++i) {
        const QChar c = m_text[i];
        if (isDigit(c)) {
            number += char(c.unicode());
        } else if (c == QLatin1Char(',')) {
            if (separatorSeen) {
                m_Error = 1;
                break;
            }
            separatorSeen = true;
            number += '.';
        } else {
            break;
        }
    }
    text.begin = i;

    double value = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Too large is a failure; too small is only an underflow.
        const size_t point = number.find('.');
        const std::string whole = number.substr(0, point);
        if (whole.find_first_not_of('0') != std::string::npos)
            throw ArithmeticFailure();
        return 0;
    }
    return value;
}

Evaluator::Span Evaluator::ExtractGroup(Span &text)
{
    const int close = m_match[size_t(text.begin)];
    if (close < 0 || close >= text.end) {
        m_Error = 8;
        return {text.begin, text.begin};
    }
    const Span inner{text.begin + 1, close};
    text.begin = close + 1;
    return inner;
}

Evaluator::Span Evaluator::SplitFunctionCall(Span &text, Span &argument)
{
    int open = text.begin;
    while (open < text.end && m_text[open] != QLatin1Char('('))
        ++open;
    if (open == text.end) {
        m_Error = 2;
        return {text.begin, text.begin};
    }
    const Span name{text.begin, open};
    Span rest{open, text.end};
    argument = ExtractGroup(rest);
    text = rest;
    return name;
}

void Evaluator::EvaluateFunction(Span name, Span argument)
{
    if (m_Error != 0) {
        deliver(0);
        return;
    }
    Frame frame;
    frame.kind = Frame::Function;
    frame.text = name;
    m_frames.push_back(frame);
    startSum(argument);
}

// The formulas are kept as written: each step is checked, so a function
// fails wherever one of its steps leaves the finite numbers.
double Evaluator::functionValue(Span name, double x)
{
    const QStringView n(m_text + name.begin, name.end - name.begin);
    const auto is = [&n](const char *s) { return n == QLatin1String(s); };
    const auto sqrtOf = [](double v) { return checked(std::sqrt(v)); };
    const auto lnOf = [](double v) { return checked(std::log(v)); };
    const auto div = [](double a, double b) { return checked(a / b); };
    const auto expOf = [](double v) { return checked(std::exp(v)); };
    const double halfPi = 2 * std::atan(1.0);

    if (is("ABS"))
        return std::fabs(x);
    if (is("ATN"))
        return std::atan(x);
    if (is("COS"))
        return checked(std::cos(x));
    if (is("EXP"))
        return expOf(x);
    if (is("FIX"))
        return std::trunc(x);
    if (is("INT"))
        return std::floor(x);
    if (is("LOG"))
        return lnOf(x);
    if (is("RND"))
        return rndSequence().draw(x);
    if (is("SGN"))
        return sgn(x);
    if (is("SIN"))
        return checked(std::sin(x));
    if (is("SQR"))
        return sqrtOf(x);
    if (is("TAN"))
        return checked(std::tan(x));
    if (is("SEC"))
        return div(1, checked(std::cos(x)));
    if (is("COSEC"))
        return div(1, checked(std::sin(x)));
    if (is("COTAN"))
        return div(1, checked(std::tan(x)));
    if (is("ARCSIN"))
        return std::atan(div(x, sqrtOf(checked(-x * x) + 1)));
    if (is("ARCCOS"))
        return checked(std::atan(div(-x, sqrtOf(checked(-x * x) + 1))) + halfPi);
    if (is("ARCSEC"))
        return checked(std::atan(div(x, sqrtOf(checked(x * x) - 1))) + sgn(x - 1) * halfPi);
    if (is("ARCCOSEC"))
        return checked(std::atan(div(x, sqrtOf(checked(x * x) - 1))) + (sgn(x) - 1) * halfPi);
    if (is("ARCCOTAN"))
        return std::atan(x) + halfPi;
    if (is("HSIN"))
        return div(checked(expOf(x) - expOf(-x)), 2);
    if (is("HCOS"))
        return div(checked(expOf(x) + expOf(-x)), 2);
    if (is("HTAN"))
        return div(checked(expOf(x) - expOf(-x)), checked(expOf(x) + expOf(-x)));
    if (is("HSEC"))
        return div(2, checked(expOf(x) + expOf(-x)));
    if (is("HCOSEC"))
        return div(2, checked(expOf(x) - expOf(-x)));
    if (is("HCOTAN"))
        return div(checked(expOf(x) + expOf(-x)), checked(expOf(x) - expOf(-x)));
    if (is("HARCSIN"))
        return lnOf(checked(x + sqrtOf(checked(x * x) + 1)));
    if (is("HARCCOS"))
        return lnOf(checked(x + sqrtOf(checked(x * x) - 1)));
    if (is("HARCTAN"))
        return lnOf(div(1 + x, 1 - x)) / 2;
    if (is("HARCSEC"))
        return lnOf(div(sqrtOf(checked(-x * x) + 1) + 1, x));
    if (is("HARCCOSEC"))
        return lnOf(div(checked(sgn(x) * sqrtOf(checked(x * x) + 1)) + 1, x));
    if (is("HARCCOTAN"))
        return lnOf(div(checked(x + 1), checked(x - 1))) / 2;
    m_Error = 2;
    return 0;
}

void Evaluator::pop()
{
    const Frame &f = m_frames.back();
    if (f.kind == Frame::Sum || f.kind == Frame::Term)
        m_parts.resize(size_t(f.partsBegin));
    m_frames.pop_back();
}

void Evaluator::deliver(double value)
{
    m_returned = value;
    m_hasReturned = true;
}
