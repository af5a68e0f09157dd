#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <vector>

// Checks and evaluates one arithmetic expression in double precision: the
// four operators, "^", parentheses, decimal numbers with "," or "." and 32
// named functions. Problems in the expression end with a non-zero Error()
// and a French message from Evaluate(); a failure of the call itself (the
// outermost sum overflowing, an expression over 32,767 characters, a
// replacement position past 32,767) throws std::overflow_error, leaving
// Error() at 0 and result()/Assigned() as they were.
//
// Evaluation keeps its own stack of pending work instead of recursing, so
// the deepest nesting that fits in 32,767 characters is evaluated like any
// other expression.
class Evaluator
{
public:
    static constexpr int MaxLength = 32767;

    // Stores the text without spaces (U+0020 only), in upper case, with "."
    // turned into ",". Does not evaluate.
    void setExpression(QString NewExpr);
    QString Expression() const { return m_Expression; }

    // 0 none, 1 misplaced separator, 2 syntax, 4 misplaced sign or
    // parenthesis, 8 unbalanced parenthesis, 16 arithmetic failure.
    qint32 Error() const { return m_Error; }

    // Evaluates the stored expression on every read (RND(1) read twice gives
    // two numbers); the value is kept even when Error() is not 0.
    double result();

    bool Assigned() const { return m_Assigned; }

    // Sets the expression, evaluates it and returns the value written with
    // the locale's decimal separator, or the message of the error code.
    QString Evaluate(QString Expressn, const QLocale &locale = QLocale());

    // Replaces StrToReplace by StrToInsert, starting the search again from
    // the front after each replacement, so that text produced by a
    // replacement is searched too ("--" by "-" turns "a----b" into "a-b").
    // Case-sensitive; an empty StrToReplace, or StrToInsert equal to it,
    // returns SourceText unchanged.
    // When StrToInsert contains StrToReplace the restarting search could
    // never end: every occurrence of the source is then replaced once, from
    // left to right, and inserted text is not searched again.
    // Throws std::overflow_error when an occurrence is met past position
    // 32,767, and, for a replacement that never shortens the text, after
    // 2^24 replacements or 2^24 characters of growth, so that no pattern can
    // make it run away.
    static QString ReplaceText(QString SourceText, QString StrToReplace, QString StrToInsert);

    // The number-to-text conversion of Evaluate(): at most 15 significant
    // digits, no grouping, exponent form (1E+20, 1,5E-07) for magnitudes
    // from 1E+15 up and below 0,0001.
    static QString NumberToText(double value, const QLocale &locale);

private:
    struct Span
    {
        int begin = 0;
        int end = 0;
        bool isEmpty() const { return begin >= end; }
    };

    // One pending call of SumTerms, EvaluateTerm, EvaluateFactor or
    // EvaluateFunction, waiting for the value of the call it started.
    struct Frame
    {
        enum Kind : quint8 { Sum, Term, Factor, Function };
        Kind kind = Sum;
        quint8 stage = 0;
        bool negate = false;
        QChar op;           // Term: the combining operator of its factors
        QChar postfix;      // Factor: the character after the base
        int partsBegin = 0; // Sum, Term: their parts in m_parts
        int partsEnd = 0;
        int next = 0;
        Span text;          // Factor: the working text; Function: the name
        double value = 0;   // Sum: total; Term: accumulator; Factor: base
    };

    static QString RemoveSpaces(const QString &text);
    double SumTerms(Span text);
    void SplitAtOperators(Span text, QChar a, QChar b);
    int FindOperator(Span text, QChar a, QChar b);
    void EvaluateTerm(Span text);
    void EvaluateFactor(Span text);
    double ReadNumber(Span &text);
    Span ExtractGroup(Span &text);
    Span SplitFunctionCall(Span &text, Span &argument);
    void EvaluateFunction(Span name, Span argument);

    enum class Operand { Number, Group, Call };
    static Operand operandKind(Span text, const QChar *chars);

    bool step();
    void unwind();
    void startSum(Span text);
    void pushSplit(Frame::Kind kind, Span text, QChar a, QChar b);
    void startOperand(Operand kind);
    void resumeFactor(double value);
    double functionValue(Span name, double x);
    void pop();
    void deliver(double value);

    bool m_Assigned = false;
    QString m_Expression;
    double m_result = 0;
    qint32 m_Error = 0;

    // Scratch state of one evaluation.
    const QChar *m_text = nullptr;
    std::vector<int> m_match;   // index of the ")" closing each "(", or -1
    std::vector<Span> m_parts;  // parts of the pending sums and terms
    std::vector<Frame> m_frames;
    double m_returned = 0;
    bool m_hasReturned = false;
};
