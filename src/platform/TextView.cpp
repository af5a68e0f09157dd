#include "platform/TextView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLine>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

QString withLineFeeds(QString text)
{
    // A '\r' in the text would come back from its file as a line break.
    if (text.contains(u'\r')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
    }
    return text;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

// The caret's moves and the keys that make them, without and with Shift.
enum Move { Next, Previous, NextWord, PreviousWord, RowStart, RowEnd, Down, Up, PageDown, PageUp,
            Start, End };
struct Binding
{
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    Move what;
};
const Binding bindings[] = {
    {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Next},
    {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Previous},
    {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, NextWord},
    {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, PreviousWord},
    {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, RowStart},
    {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, RowEnd},
    {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Down},
    {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Up},
    {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, PageDown},
    {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, PageUp},
    {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Start},
    {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, End},
};

} // namespace

// Edits inside raise textChanged once, at the end.
class TextViewBatch
{
public:
    explicit TextViewBatch(TextView &view) : m_view(view) { ++m_view.m_batch; }
    ~TextViewBatch()
    {
        if (--m_view.m_batch == 0 && m_view.m_changed)
            m_view.edited();
    }
    TextViewBatch(const TextViewBatch &) = delete;
    TextViewBatch &operator=(const TextViewBatch &) = delete;

private:
    TextView &m_view;
};

// What a screen reader reads: the text, the caret and the selection.
class TextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TextViewAccessible(TextView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && view()->hasSelection()) {
            *start = int(view()->selectionStart());
            *end = int(view()->selectionEnd());
        }
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override
    {
        view()->setSelection(view()->position(), view()->position());
    }
    void setSelection(int, int start, int end) override { view()->setSelection(start, end); }
    int cursorPosition() const override { return int(view()->position()); }
    void setCursorPosition(int position) override { view()->setSelection(position, position); }
    QString text(int start, int end) const override
    {
        return view()->store().mid(start, end - start);
    }
    int characterCount() const override { return int(view()->store().length()); }
    QRect characterRect(int offset) const override
    {
        TextView *v = view();
        const qsizetype anchor = v->anchor();
        const qsizetype position = v->position();
        // The caret's rectangle at offset, without moving what the user sees.
        v->m_anchor = v->m_position = std::clamp<qsizetype>(offset, 0, v->store().length());
        QRect r = v->caretRect();
        v->m_anchor = anchor;
        v->m_position = position;
        r.setWidth(std::max(r.width(), v->fontMetrics().averageCharWidth()));
        return QRect(v->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return int(view()->positionAt(view()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override
    {
        TextView *v = view();
        const qsizetype anchor = v->anchor();
        const qsizetype position = v->position();
        v->m_position = std::clamp<qsizetype>(start, 0, v->store().length());
        v->ensureCaretVisible();
        v->m_anchor = anchor;
        v->m_position = position;
    }
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return QString();
    }

private:
    TextView *view() const { return static_cast<TextView *>(object()); }
};

namespace {

QAccessibleInterface *accessibleTextView(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<TextView *>(object))
        return new TextViewAccessible(view);
    return nullptr;
}

} // namespace

TextView::TextView(QWidget *parent) : QAbstractScrollArea(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleTextView), true);
    Q_UNUSED(factoryInstalled);
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    // A scroll bar that comes and goes would narrow the page and wrap every
    // visible line again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_store.setChangeListener([this](const TextStore::Change &change) { onStoreChange(change); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (m_settingBar)
            return;
        m_top = Row{std::min<qsizetype>(value, paragraphCount() - 1), 0};
        viewport()->update();
    });
    updateScrollBar();
}

TextView::~TextView() = default;

// --- Paragraphs -----------------------------------------------------------

qsizetype TextView::extraBefore(qsizetype line) const
{
    const auto hit = std::lower_bound(m_longLines.begin(), m_longLines.end(), line,
                                      [](const LongLine &l, qsizetype n) { return l.line < n; });
    if (hit == m_longLines.end())
        return m_longLines.empty() ? 0 : m_longLines.back().before + m_longLines.back().extra;
    return hit->before;
}

qsizetype TextView::paragraphCount() const
{
    return m_store.lineCount() + extraBefore(m_store.lineCount());
}

qsizetype TextView::paragraphOfLine(qsizetype line) const
{
    return line + extraBefore(line);
}

TextView::Paragraph TextView::paragraph(qsizetype index) const
{
    // The last long line whose first paragraph is at or before index.
    const auto after = std::upper_bound(m_longLines.begin(), m_longLines.end(), index,
                                        [](qsizetype p, const LongLine &l) { return p < l.line + l.before; });
    qsizetype line = index;
    qsizetype segment = 0;
    if (after != m_longLines.begin()) {
        const LongLine &l = *(after - 1);
        const qsizetype first = l.line + l.before;
        if (index <= first + l.extra) {
            line = l.line;
            segment = index - first;
        } else {
            line = index - l.before - l.extra;
        }
    }
    line = std::clamp<qsizetype>(line, 0, m_store.lineCount() - 1);
    const qsizetype lineStart = m_store.lineStart(line);
    const qsizetype lineLength = m_store.lineLength(line);
    // Segments never split a surrogate pair.
    const auto segmentStart = [&](qsizetype k) {
        if (k == 0)
            return qsizetype(0);
        if (k * Segment >= lineLength)
            return lineLength;
        return k * Segment + (m_store.at(lineStart + k * Segment).isLowSurrogate() ? 1 : 0);
    };
    const bool last = lineLength <= Segment || segment >= (lineLength - 1) / Segment;
    const qsizetype from = segmentStart(segment);
    const qsizetype to = last ? lineLength : segmentStart(segment + 1);
    return Paragraph{line, lineStart + from, to - from};
}

qsizetype TextView::paragraphAt(qsizetype position) const
{
    const qsizetype line = m_store.lineOf(position);
    const qsizetype first = paragraphOfLine(line);
    const qsizetype length = m_store.lineLength(line);
    if (length <= Segment)
        return first;
    const qsizetype segments = (length - 1) / Segment + 1;
    qsizetype segment = std::min((position - m_store.lineStart(line)) / Segment, segments - 1);
    if (paragraph(first + segment).start > position)
        --segment;
    return first + segment;
}

void TextView::noteLongLines(qsizetype first, qsizetype last)
{
    std::vector<LongLine> found;
    for (qsizetype line = first; line <= last; ++line) {
        const qsizetype length = m_store.lineLength(line);
        if (length > Segment)
            found.push_back(LongLine{line, (length - 1) / Segment, 0});
    }
    const auto at = std::lower_bound(m_longLines.begin(), m_longLines.end(), first,
                                     [](const LongLine &l, qsizetype n) { return l.line < n; });
    m_longLines.insert(at, found.begin(), found.end());
}

void TextView::renumberLongLines()
{
    qsizetype before = 0;
    for (LongLine &l : m_longLines) {
        l.before = before;
        before += l.extra;
    }
}

// --- Layout ---------------------------------------------------------------

QTextOption TextView::textOption() const
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(Qt::LayoutDirectionAuto);
    option.setTabStopDistance(80);
    return option;
}

TextView::Laid &TextView::laidOut(qsizetype index) const
{
    auto &slot = m_laid[index];
    if (slot)
        return *slot;
    slot = std::make_unique<Laid>();
    Laid &laid = *slot;
    laid.where = paragraph(index);
    const qreal width = std::max<qreal>(viewport()->width() - 2 * m_margin, 1);
    m_width = width;
    laid.layout.setText(m_store.mid(laid.where.start, laid.where.length));
    laid.layout.setFont(font());
    // The direction is settled here, so that a right-to-left line also
    // aligns to the right.
    QTextOption option = textOption();
    const bool rtl = laid.layout.text().isRightToLeft();
    option.setTextDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment((rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute);
    laid.layout.setTextOption(option);
    laid.layout.setCacheEnabled(true);
    if (!m_preedit.isEmpty() && m_position >= laid.where.start
        && m_position <= laid.where.start + laid.where.length && paragraphAt(m_position) == index)
        laid.layout.setPreeditArea(int(m_position - laid.where.start), m_preedit);
    laid.layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = laid.layout.createLine(); line.isValid(); line = laid.layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    laid.layout.endLayout();
    laid.height = y;
    return laid;
}

void TextView::forgetLayouts() const
{
    m_laid.clear();
}

void TextView::dropFarLayouts() const
{
    // Keeps what is around the screen, so memory stays that of a few pages.
    const qsizetype keep = 4 * visibleRows() + 16;
    if (qsizetype(m_laid.size()) <= 2 * keep)
        return;
    for (auto it = m_laid.begin(); it != m_laid.end();) {
        if (it->first < m_top.paragraph - keep || it->first > m_top.paragraph + 2 * keep)
            it = m_laid.erase(it);
        else
            ++it;
    }
}

qreal TextView::rowTop(const Laid &laid, int line) const
{
    return laid.layout.lineCount() > 0 ? laid.layout.lineAt(std::min(line, laid.layout.lineCount() - 1)).y() : 0;
}

// --- Rows and scrolling -----------------------------------------------------

bool TextView::nextRow(Row &row) const
{
    if (row.line + 1 < laidOut(row.paragraph).layout.lineCount()) {
        ++row.line;
        return true;
    }
    if (row.paragraph + 1 >= paragraphCount())
        return false;
    row = Row{row.paragraph + 1, 0};
    return true;
}

bool TextView::previousRow(Row &row) const
{
    if (row.line > 0) {
        --row.line;
        return true;
    }
    if (row.paragraph == 0)
        return false;
    row.paragraph -= 1;
    row.line = std::max(laidOut(row.paragraph).layout.lineCount() - 1, 0);
    return true;
}

TextView::Row TextView::rowOf(qsizetype position) const
{
    const qsizetype index = paragraphAt(position);
    const Laid &laid = laidOut(index);
    const QTextLine line = laid.layout.lineForTextPosition(int(position - laid.where.start));
    return Row{index, line.isValid() ? line.lineNumber() : 0};
}

int TextView::visibleRows() const
{
    const int spacing = std::max(fontMetrics().lineSpacing(), 1);
    return std::max((viewport()->height() - m_margin) / spacing, 1);
}

void TextView::setTop(Row top)
{
    m_top = top;
    updateScrollBar();
    viewport()->update();
}

void TextView::scrollRows(int rows)
{
    Row top = m_top;
    if (rows < 0) {
        for (int i = 0; i > rows && previousRow(top); --i) {
        }
    } else if (rows > 0) {
        // Not beyond the point where the last row reaches the bottom.
        Row bottom = top;
        int n = 0;
        for (; n < visibleRows() - 1 && nextRow(bottom); ++n) {
        }
        for (int i = 0; i < rows && n == visibleRows() - 1 && nextRow(bottom); ++i)
            nextRow(top);
    }
    setTop(top);
}

void TextView::updateScrollBar()
{
    m_settingBar = true;
    QScrollBar *bar = verticalScrollBar();
    const qsizetype count = paragraphCount();
    const int rows = visibleRows();
    bar->setRange(0, int(std::clamp<qsizetype>(count - rows, 0, INT_MAX)));
    bar->setPageStep(rows);
    bar->setSingleStep(1);
    bar->setValue(int(std::min<qsizetype>(m_top.paragraph, INT_MAX)));
    m_settingBar = false;
}

QRect TextView::rectOfRow(const Row &row) const
{
    // Rows from the top of the screen until the row or the bottom.
    qreal y = m_margin - rowTop(laidOut(m_top.paragraph), m_top.line);
    for (qsizetype p = m_top.paragraph; p <= row.paragraph; ++p) {
        const Laid &laid = laidOut(p);
        if (p == row.paragraph) {
            const QTextLine line = laid.layout.lineAt(std::min(row.line, laid.layout.lineCount() - 1));
            return QRectF(m_margin, y + line.y(), line.width(), line.height()).toAlignedRect();
        }
        y += laid.height;
        if (y > viewport()->height())
            break;
    }
    return QRect();
}

void TextView::ensureCaretVisible()
{
    const Row caret = rowOf(m_position);
    if (caret.paragraph < m_top.paragraph
        || (caret.paragraph == m_top.paragraph && caret.line < m_top.line)) {
        setTop(caret);
        return;
    }
    const int rows = visibleRows();
    if (caret.paragraph - m_top.paragraph <= rows) {
        const QRect r = rectOfRow(caret);
        if (!r.isNull() && r.bottom() < viewport()->height())
            return;
    }
    Row top = caret;
    for (int i = 0; i < rows - 1 && previousRow(top); ++i) {
    }
    setTop(top);
}

QRect TextView::caretRect() const
{
    const qsizetype index = paragraphAt(m_position);
    const Row row = rowOf(m_position);
    const QRect r = rectOfRow(row);
    if (r.isNull())
        return QRect();
    const Laid &laid = laidOut(index);
    const QTextLine line = laid.layout.lineAt(row.line);
    const qreal x = line.cursorToX(int(m_position - laid.where.start));
    return QRect(int(m_margin + x) - 1, r.top(), 3, r.height());
}

qsizetype TextView::positionAt(const QPoint &point) const
{
    qreal y = m_margin - rowTop(laidOut(m_top.paragraph), m_top.line);
    const qsizetype count = paragraphCount();
    for (qsizetype p = m_top.paragraph; p < count; ++p) {
        const Laid &laid = laidOut(p);
        if (point.y() < y + laid.height || p + 1 == count || y + laid.height > viewport()->height()) {
            int n = 0;
            while (n + 1 < laid.layout.lineCount()
                   && point.y() >= y + laid.layout.lineAt(n).y() + laid.layout.lineAt(n).height())
                ++n;
            const QTextLine line = laid.layout.lineAt(n);
            return laid.where.start + line.xToCursor(point.x() - m_margin);
        }
        y += laid.height;
    }
    return m_store.length();
}

// --- Text and selection -----------------------------------------------------

void TextView::onStoreChange(const TextStore::Change &change)
{
    // The store has changed already: the count of paragraphs before is the
    // lines before and the segments the table still holds.
    const qsizetype oldExtra = extraBefore(std::numeric_limits<qsizetype>::max());
    const qsizetype firstParagraph = paragraphOfLine(change.firstLine);
    const qsizetype last = change.firstLine + change.linesRemoved;
    const auto from = std::lower_bound(m_longLines.begin(), m_longLines.end(), change.firstLine,
                                       [](const LongLine &l, qsizetype n) { return l.line < n; });
    auto to = from;
    while (to != m_longLines.end() && to->line <= last)
        ++to;
    for (auto it = to; it != m_longLines.end(); ++it)
        it->line += change.linesInserted - change.linesRemoved;
    m_longLines.erase(from, to);
    noteLongLines(change.firstLine, change.firstLine + change.linesInserted);
    renumberLongLines();

    // Layouts below the edit keep their paragraph numbers only when the
    // count did not change.
    const bool sameCount = change.linesInserted == change.linesRemoved
            && extraBefore(std::numeric_limits<qsizetype>::max()) == oldExtra;
    const qsizetype lastParagraph = sameCount
            ? paragraphOfLine(change.firstLine + change.linesInserted + 1)
            : std::numeric_limits<qsizetype>::max();
    for (auto it = m_laid.begin(); it != m_laid.end();) {
        if (it->first >= firstParagraph && it->first < lastParagraph)
            it = m_laid.erase(it);
        else
            ++it;
    }
    m_anchor = std::min(m_anchor, m_store.length());
    m_position = std::min(m_position, m_store.length());
    if (m_top.paragraph >= paragraphCount())
        m_top = Row{paragraphCount() - 1, 0};
    else if (m_top.paragraph >= firstParagraph)
        m_top.line = 0;
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, int(change.position), QString(),
                                         m_store.mid(change.position, std::min<qsizetype>(change.inserted, 4096)));
        QAccessible::updateAccessibility(&event);
    }
    m_changed = true;
    if (m_batch == 0)
        edited();
}

void TextView::edited()
{
    m_changed = false;
    updateScrollBar();
    viewport()->update();
    emit textChanged();
}

QString TextView::selectedText() const
{
    return m_store.mid(selectionStart(), selectionEnd() - selectionStart());
}

void TextView::setSelection(qsizetype anchor, qsizetype position)
{
    m_store.closeTyping();
    setCaret(anchor, position);
}

void TextView::setCaret(qsizetype anchor, qsizetype position, bool keepGoal)
{
    anchor = std::clamp<qsizetype>(anchor, 0, m_store.length());
    position = std::clamp<qsizetype>(position, 0, m_store.length());
    if (!keepGoal)
        m_goalX = -1;
    const bool moved = anchor != m_anchor || position != m_position;
    m_anchor = anchor;
    m_position = position;
    restartBlink();
    ensureCaretVisible();
    viewport()->update();
    if (!moved)
        return;
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, int(position));
        QAccessible::updateAccessibility(&event);
    }
    emit selectionChanged();
}

void TextView::insert(const QString &text, TextStore::EditKind kind)
{
    const QString clean = withLineFeeds(text);
    const qsizetype start = selectionStart();
    TextViewBatch batch(*this);
    m_store.replace(start, selectionEnd() - start, clean, kind);
    setCaret(start + clean.size(), start + clean.size());
}

void TextView::removeSelection(TextStore::EditKind kind)
{
    if (hasSelection())
        insert(QString(), kind);
}

void TextView::replaceAll(const QString &text)
{
    const QString clean = withLineFeeds(text);
    TextViewBatch batch(*this);
    m_store.replace(0, m_store.length(), clean);
    setCaret(clean.size(), clean.size());
}

void TextView::load(QString text, TextStore::LineEnd usualEnd)
{
    TextViewBatch batch(*this);
    m_top = Row{};
    m_anchor = m_position = 0;
    m_store.load(std::move(text), usualEnd);
    forgetLayouts();
    m_anchor = m_position = -1; // so that the caret at 0 counts as a move
    setCaret(0, 0);
}

void TextView::clear()
{
    load(QString(), m_store.usualLineEnd());
}

void TextView::undo()
{
    TextViewBatch batch(*this);
    const qsizetype caret = m_store.undo();
    if (caret >= 0)
        setCaret(caret, caret);
}

void TextView::redo()
{
    TextViewBatch batch(*this);
    const qsizetype caret = m_store.redo();
    if (caret >= 0)
        setCaret(caret, caret);
}

void TextView::cut()
{
    if (!hasSelection())
        return;
    copy();
    removeSelection(TextStore::EditKind::Command);
}

void TextView::copy()
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextView::paste()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (canInsertFromMimeData(data))
        insertFromMimeData(data);
}

void TextView::selectAll()
{
    setSelection(0, m_store.length());
}

bool TextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void TextView::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText())
        insert(source->text());
}

// --- Keyboard -----------------------------------------------------------------

qsizetype TextView::nextCursor(qsizetype position, QTextLayout::CursorMode mode, bool forward) const
{
    const qsizetype length = m_store.length();
    if (forward) {
        if (position >= length)
            return length;
        if (m_store.at(position) == u'\n')
            return position + 1;
        const Laid &laid = laidOut(paragraphAt(position));
        return laid.where.start
                + laid.layout.nextCursorPosition(int(position - laid.where.start), mode);
    }
    if (position <= 0)
        return 0;
    if (m_store.at(position - 1) == u'\n')
        return position - 1;
    const Laid &laid = laidOut(paragraphAt(position - 1));
    return laid.where.start
            + laid.layout.previousCursorPosition(int(position - laid.where.start), mode);
}

qsizetype TextView::verticalMove(qsizetype position, int rows)
{
    const qsizetype index = paragraphAt(position);
    Row row = rowOf(position);
    {
        const Laid &laid = laidOut(index);
        if (m_goalX < 0)
            m_goalX = laid.layout.lineAt(row.line).cursorToX(int(position - laid.where.start));
    }
    bool moved = false;
    for (int i = 0; i < std::abs(rows); ++i)
        moved = (rows > 0 ? nextRow(row) : previousRow(row)) || moved;
    if (!moved)
        return position;
    const Laid &laid = laidOut(row.paragraph);
    const QTextLine line = laid.layout.lineAt(row.line);
    qsizetype target = laid.where.start + line.xToCursor(m_goalX);
    // The end of a wrapped row shows at the start of the next one.
    if (row.line + 1 < laid.layout.lineCount() && target >= laid.where.start + line.textStart() + line.textLength())
        target = nextCursor(target, QTextLayout::SkipCharacters, false);
    return target;
}

bool TextView::navigate(QKeyEvent *event)
{
    for (const Binding &b : bindings) {
        const bool extend = event->matches(b.select);
        if (!extend && !event->matches(b.move))
            continue;
        qsizetype to = m_position;
        bool keepGoal = false;
        const Laid &laid = laidOut(paragraphAt(m_position));
        // In a right-to-left paragraph the arrows go the other way.
        const bool rtl = laid.layout.text().isRightToLeft();
        switch (b.what) {
        case Next:
        case Previous: {
            const bool forward = (b.what == Next) != rtl;
            if (hasSelection() && !extend)
                to = forward ? selectionEnd() : selectionStart();
            else
                to = nextCursor(m_position, QTextLayout::SkipCharacters, forward);
            break;
        }
        case NextWord:
        case PreviousWord:
            to = nextCursor(m_position, QTextLayout::SkipWords, (b.what == NextWord) != rtl);
            break;
        case RowStart:
        case RowEnd: {
            const Row row = rowOf(m_position);
            const QTextLine line = laid.layout.lineAt(row.line);
            to = laid.where.start + line.textStart();
            if (b.what == RowEnd) {
                to += line.textLength();
                if (row.line + 1 < laid.layout.lineCount())
                    to = nextCursor(to, QTextLayout::SkipCharacters, false);
            }
            break;
        }
        case Down:
        case Up:
            to = verticalMove(m_position, b.what == Down ? 1 : -1);
            keepGoal = true;
            break;
        case PageDown:
        case PageUp: {
            const int rows = std::max(visibleRows() - 1, 1) * (b.what == PageDown ? 1 : -1);
            to = verticalMove(m_position, rows);
            scrollRows(rows);
            keepGoal = true;
            break;
        }
        case Start:
            to = 0;
            break;
        case End:
            to = m_store.length();
            break;
        }
        m_store.closeTyping();
        setCaret(extend ? m_anchor : to, to, keepGoal);
        return true;
    }
    return false;
}

bool TextView::isEditorKey(const QKeyEvent *event) const
{
    static const QKeySequence::StandardKey keys[] = {
        QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy,
        QKeySequence::Paste, QKeySequence::SelectAll, QKeySequence::Delete,
        QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
    };
    for (const Binding &b : bindings) {
        if (event->matches(b.move) || event->matches(b.select))
            return true;
    }
    for (const QKeySequence::StandardKey key : keys) {
        if (event->matches(key))
            return true;
    }
    // Typing; Alt with a letter stays a menu's.
    const QString text = event->text();
    const Qt::KeyboardModifiers typing = Qt::ShiftModifier | Qt::KeypadModifier;
    return !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & ~typing);
}

bool TextView::focusNextPrevChild(bool)
{
    // Tab is typed into the text, not used to leave it.
    return false;
}

void TextView::keyPressEvent(QKeyEvent *event)
{
    if (navigate(event))
        return;
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    using Kind = TextStore::EditKind;
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteEndOfWord)) {
        if (!hasSelection()) {
            const bool word = event->matches(QKeySequence::DeleteEndOfWord);
            m_anchor = nextCursor(m_position, word ? QTextLayout::SkipWords : QTextLayout::SkipCharacters, true);
        }
        removeSelection(Kind::Typing);
    } else if (event->key() == Qt::Key_Backspace || event->matches(QKeySequence::DeleteStartOfWord)) {
        if (!hasSelection() && event->matches(QKeySequence::DeleteStartOfWord)) {
            m_anchor = nextCursor(m_position, QTextLayout::SkipWords, false);
        } else if (!hasSelection() && m_position > 0) {
            // One character back: a whole surrogate pair, but only the last
            // mark of a letter, so that an accent can be typed again.
            m_anchor = m_position - 1;
            if (m_anchor > 0 && m_store.at(m_anchor).isLowSurrogate()
                && m_store.at(m_anchor - 1).isHighSurrogate())
                --m_anchor;
        }
        removeSelection(Kind::Typing);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        insert(QStringLiteral("\n"), Kind::Typing);
    } else if (event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ControlModifier)) {
        insert(QStringLiteral("\t"), Kind::Typing);
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()
               && ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0
                   || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
                           == (Qt::ControlModifier | Qt::AltModifier))) { // AltGr on Windows
        insert(event->text(), Kind::Typing);
    } else {
        event->ignore();
    }
}

bool TextView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (isEditorKey(key)) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

// --- Painting -----------------------------------------------------------------

void TextView::paintParagraph(QPainter &painter, const Laid &laid, const QPointF &at) const
{
    QList<QTextLayout::FormatRange> selections;
    const qsizetype start = laid.where.start;
    const qsizetype end = start + laid.where.length;
    if (hasSelection() && selectionStart() <= end && selectionEnd() > start) {
        QTextLayout::FormatRange range;
        range.start = int(std::max(selectionStart(), start) - start);
        range.length = int(std::min(selectionEnd(), end) - start) - range.start;
        range.format.setBackground(palette().brush(QPalette::Highlight));
        range.format.setForeground(palette().brush(QPalette::HighlightedText));
        selections.append(range);
    }
    laid.layout.draw(&painter, at, selections, QRectF(QPointF(0, 0), viewport()->size()));
    const auto drawCaret = [&](qsizetype position, bool shown) {
        if (!shown || position < start || position > end || paragraphAt(position) != paragraphAt(start))
            return;
        int cursor = int(position - start);
        if (!m_preedit.isEmpty() && position == m_position)
            cursor += m_preedit.size();
        laid.layout.drawCursor(&painter, at, cursor, 1);
    };
    drawCaret(m_position, hasFocus() && m_caretShown);
    drawCaret(m_dropCaret, m_dropCaret >= 0);
}

void TextView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    dropFarLayouts();
    const int height = viewport()->height();
    qreal y = m_margin - rowTop(laidOut(m_top.paragraph), m_top.line);
    const qsizetype count = paragraphCount();
    for (qsizetype p = m_top.paragraph; p < count && y < height; ++p) {
        const Laid &laid = laidOut(p);
        paintParagraph(painter, laid, QPointF(m_margin, y));
        y += laid.height;
    }
}

void TextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (std::max<qreal>(viewport()->width() - 2 * m_margin, 1) != m_width) {
        forgetLayouts();
        m_top.line = 0;
    }
    updateScrollBar();
}

void TextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        forgetLayouts();
        m_top.line = 0;
        updateScrollBar();
        viewport()->update();
    } else if (event->type() == QEvent::PaletteChange) {
        viewport()->update();
    }
}

void TextView::print(QPrinter *printer) const
{
    QPainter painter(printer);
    if (!painter.isActive())
        return;
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QFont printed(font(), printer);
    painter.setFont(printed);
    painter.setPen(Qt::black); // paper is white whatever the screen's colours
    qreal y = 0;
    for (qsizetype line = 0; line < m_store.lineCount(); ++line) {
        QTextLayout layout(m_store.lineText(line), printed, printer);
        layout.setTextOption(textOption());
        layout.beginLayout();
        qreal height = 0;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(page.width());
            row.setPosition(QPointF(0, height));
            height += row.height();
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine row = layout.lineAt(i);
            if (y + row.height() > page.height() && y > 0) {
                printer->newPage();
                y = 0;
            }
            row.draw(&painter, QPointF(0, y - row.y()));
            y += row.height();
        }
    }
}

// --- Mouse, focus, caret --------------------------------------------------------

void TextView::mousePressEvent(QMouseEvent *event)
{
    m_store.closeTyping();
    const qsizetype at = positionAt(event->position().toPoint());
    if (event->button() == Qt::MiddleButton) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection()) {
            setCaret(at, at);
            const QMimeData *data = clipboard->mimeData(QClipboard::Selection);
            if (canInsertFromMimeData(data))
                insertFromMimeData(data);
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_tripleClick.isActive()
        && (event->position().toPoint() - m_tripleClickPoint).manhattanLength()
                < QApplication::startDragDistance()) {
        m_tripleClick.stop();
        const qsizetype line = m_store.lineOf(at);
        setCaret(m_store.lineStart(line), m_store.lineStart(line) + m_store.lineLength(line));
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (!shift && hasSelection() && at >= selectionStart() && at < selectionEnd()) {
        m_maybeDrag = true;
        m_pressPoint = event->position().toPoint();
        return;
    }
    m_selecting = true;
    setCaret(shift ? m_anchor : at, at);
}

void TextView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (m_maybeDrag) {
        if ((point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            m_maybeDrag = false;
            startDrag();
        }
        return;
    }
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    if (point.y() < 0)
        scrollRows(-1);
    else if (point.y() > viewport()->height())
        scrollRows(1);
    setCaret(m_anchor, positionAt(point));
}

void TextView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_maybeDrag) {
        const qsizetype at = positionAt(event->position().toPoint());
        setCaret(at, at);
    }
    m_maybeDrag = false;
    m_selecting = false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void TextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype at = positionAt(event->position().toPoint());
    qsizetype from = at;
    qsizetype to = at;
    const qsizetype length = m_store.length();
    while (from > 0 && isWordChar(m_store.at(from - 1)))
        --from;
    while (to < length && isWordChar(m_store.at(to)))
        ++to;
    if (from == to && to < length && m_store.at(to) != u'\n')
        to = nextCursor(to, QTextLayout::SkipCharacters, true);
    m_selecting = false;
    setCaret(from, to);
    m_tripleClickPoint = event->position().toPoint();
    m_tripleClick.start(QApplication::doubleClickInterval(), this);
}

void TextView::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y();
    if (steps == 0) {
        event->ignore();
        return;
    }
    const int rows = -steps * QApplication::wheelScrollLines() / 120;
    scrollRows(rows != 0 ? rows : (steps > 0 ? -1 : 1));
    event->accept();
}

void TextView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    viewport()->update();
}

void TextView::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void TextView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(caretRect());
    } else if (event->timerId() == m_tripleClick.timerId()) {
        m_tripleClick.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void TextView::contextMenuEvent(QContextMenuEvent *event)
{
    // Qt's own texts, which its French translation turns into the usual ones.
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("QWidgetTextControl", text);
    };
    QMenu menu(this);
    const auto add = [&](const char *text, QKeySequence::StandardKey key, bool enabled,
                         void (TextView::*slot)()) {
        QAction *action = menu.addAction(tr(text), this, slot);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    add("&Undo", QKeySequence::Undo, m_store.canUndo(), &TextView::undo);
    add("&Redo", QKeySequence::Redo, m_store.canRedo(), &TextView::redo);
    menu.addSeparator();
    add("Cu&t", QKeySequence::Cut, hasSelection(), &TextView::cut);
    add("&Copy", QKeySequence::Copy, hasSelection(), &TextView::copy);
    add("&Paste", QKeySequence::Paste,
        canInsertFromMimeData(QGuiApplication::clipboard()->mimeData()), &TextView::paste);
    QAction *remove = menu.addAction(tr("Delete"), this,
                                     [this] { removeSelection(TextStore::EditKind::Command); });
    remove->setEnabled(hasSelection());
    menu.addSeparator();
    add("Select All", QKeySequence::SelectAll, m_store.length() > 0, &TextView::selectAll);
    menu.exec(event->globalPos());
}

// --- Input methods ---------------------------------------------------------------

void TextView::inputMethodEvent(QInputMethodEvent *event)
{
    TextViewBatch batch(*this);
    if (event->replacementLength() > 0) {
        const qsizetype from = std::clamp<qsizetype>(m_position + event->replacementStart(), 0, m_store.length());
        m_anchor = from;
        m_position = std::min(from + event->replacementLength(), m_store.length());
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0)
        insert(event->commitString(), TextStore::EditKind::Typing);
    const qsizetype index = paragraphAt(m_position);
    m_preedit = event->preeditString();
    m_laid.erase(index);
    viewport()->update();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const Laid &laid = laidOut(paragraphAt(m_position));
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return caretRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return int(m_position - laid.where.start);
    case Qt::ImAnchorPosition:
        return int(std::clamp(m_anchor - laid.where.start, qsizetype(0), laid.where.length));
    case Qt::ImSurroundingText:
        return laid.layout.text();
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// --- Drag and drop ------------------------------------------------------------------

void TextView::startDrag()
{
    auto *data = new QMimeData;
    data->setText(selectedText());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    m_dropCaret = -1;
    const qsizetype start = selectionStart();
    const qsizetype end = selectionEnd();
    const qsizetype length = m_store.length();
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Moved out to another window: the text leaves us (a move within is
    // the drop's own business).
    const bool movedOut = action == Qt::MoveAction && drag->target() != viewport()
            && drag->target() != this;
    if (movedOut && m_store.length() == length) {
        m_anchor = start;
        m_position = end;
        removeSelection(TextStore::EditKind::Command);
    }
}

void TextView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    m_dropCaret = positionAt(event->position().toPoint());
    const bool own = event->source() == this || event->source() == viewport();
    if (own && !(event->modifiers() & Qt::ControlModifier)
        && (event->possibleActions() & Qt::MoveAction)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
    viewport()->update();
}

void TextView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_dropCaret = -1;
    viewport()->update();
}

bool TextView::dropSelection(qsizetype at, bool move)
{
    const qsizetype start = selectionStart();
    const qsizetype length = selectionEnd() - start;
    if (at >= start && at <= start + length)
        return false; // onto itself: nothing changes
    const QString text = selectedText();
    TextViewBatch batch(*this);
    m_store.beginStep();
    if (move) {
        m_store.replace(start, length, QString());
        if (at > start)
            at -= length;
    }
    m_store.replace(at, 0, text);
    m_store.endStep();
    setCaret(at, at + text.size());
    return true;
}

void TextView::dropEvent(QDropEvent *event)
{
    m_dropCaret = -1;
    viewport()->update();
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    const qsizetype at = positionAt(event->position().toPoint());
    const bool own = event->source() == this || event->source() == viewport();
    if (own) {
        const bool move = !(event->modifiers() & Qt::ControlModifier);
        event->setDropAction(dropSelection(at, move) && move ? Qt::MoveAction : Qt::CopyAction);
    } else {
        setCaret(at, at);
        const qsizetype start = m_position;
        insert(event->mimeData()->text());
        setCaret(start, m_position);
        event->setDropAction(Qt::CopyAction);
    }
    event->accept();
}
