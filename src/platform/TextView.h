#pragma once

#include "platform/TextStore.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QTextLayout>
#include <algorithm>

#include <memory>
#include <unordered_map>
#include <vector>

class QMimeData;
class QPainter;
class QPrinter;

// A plain-text editor over a TextStore that lays out only what is on
// screen: one QTextLayout per line, wrapped at the window's width. A line
// longer than a segment is laid out segment by segment, so that a line of
// megabytes costs what its visible part costs. The vertical scroll bar
// counts these paragraphs (lines, or segments of long lines), which needs no
// layout to be known. The whole text has one format: the widget's font and
// palette.
class TextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TextView(QWidget *parent = nullptr);
    ~TextView() override;

    TextStore &store() { return m_store; }
    const TextStore &store() const { return m_store; }

    qsizetype anchor() const { return m_anchor; }
    qsizetype position() const { return m_position; }
    qsizetype selectionStart() const { return std::min(m_anchor, m_position); }
    qsizetype selectionEnd() const { return std::max(m_anchor, m_position); }
    bool hasSelection() const { return m_anchor != m_position; }
    QString selectedText() const;
    // Clamped to the text; the caret (position) is scrolled into view.
    void setSelection(qsizetype anchor, qsizetype position);

    // The selection replaced by text (inserted at the caret when there is
    // none), as one undoable edit unless it is typing.
    void insert(const QString &text, TextStore::EditKind kind = TextStore::EditKind::Command);
    // The whole text, as one undoable edit.
    void replaceAll(const QString &text);
    // The whole text as loaded from a file: no undo history, caret at 0.
    void load(QString text, TextStore::LineEnd usualEnd);


    void ensureCaretVisible();
    // The caret's rectangle in viewport coordinates (empty when off screen).
    QRect caretRect() const;
    // The text position at a viewport point.
    qsizetype positionAt(const QPoint &point) const;

    // Paints the whole text onto pages of the printer.
    void print(QPrinter *printer) const;

public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void selectAll();
    // Empties the text and its history.
    void clear();

signals:
    // After each edit, once per operation.
    void textChanged();
    // The caret or the selection moved.
    void selectionChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void timerEvent(QTimerEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // The selection moved or copied to at, as one undo step, then selected;
    // false when at lies inside it.
    bool dropSelection(qsizetype at, bool move);

    virtual bool canInsertFromMimeData(const QMimeData *source) const;
    virtual void insertFromMimeData(const QMimeData *source);
    // Whether the key is one the editor handles itself (it claims it over
    // the window's shortcuts).
    virtual bool isEditorKey(const QKeyEvent *event) const;

private:
    // Lines longer than this are laid out in pieces of this size.
    static constexpr qsizetype Segment = 4096;

    struct Paragraph
    {
        qsizetype line = 0;
        qsizetype start = 0; // in the text
        qsizetype length = 0;
    };
    struct Laid
    {
        Paragraph where;
        QTextLayout layout;
        qreal height = 0;
    };
    struct LongLine
    {
        qsizetype line;
        qsizetype extra;  // segments beyond the first
        qsizetype before; // extra segments of the long lines above
    };
    // A row of the display: a paragraph and one of its wrapped lines.
    struct Row
    {
        qsizetype paragraph = 0;
        int line = 0;
    };

    // Paragraphs: lines, and the segments of long lines.
    qsizetype paragraphCount() const;
    qsizetype paragraphOfLine(qsizetype line) const;
    qsizetype extraBefore(qsizetype line) const;
    Paragraph paragraph(qsizetype index) const;
    qsizetype paragraphAt(qsizetype position) const;
    void noteLongLines(qsizetype first, qsizetype last);
    void renumberLongLines();

    Laid &laidOut(qsizetype paragraph) const;
    void forgetLayouts() const;
    void dropFarLayouts() const;
    QTextOption textOption() const;
    qreal rowTop(const Laid &laid, int line) const;

    bool nextRow(Row &row) const;
    bool previousRow(Row &row) const;
    Row rowOf(qsizetype position) const;
    void scrollRows(int rows);
    void setTop(Row top);
    int visibleRows() const;
    void updateScrollBar();

    void onStoreChange(const TextStore::Change &change);
    void setCaret(qsizetype anchor, qsizetype position, bool keepGoal = false);
    void edited();
    void removeSelection(TextStore::EditKind kind);
    qsizetype verticalMove(qsizetype position, int rows);
    qsizetype nextCursor(qsizetype position, QTextLayout::CursorMode mode, bool forward) const;
    bool navigate(QKeyEvent *event);
    void restartBlink();
    void startDrag();
    QRect rectOfRow(const Row &row) const;
    void paintParagraph(QPainter &painter, const Laid &laid, const QPointF &at) const;

    TextStore m_store;
    qsizetype m_anchor = 0;
    qsizetype m_position = 0;
    qreal m_goalX = -1; // kept over Up and Down

    std::vector<LongLine> m_longLines;
    mutable std::unordered_map<qsizetype, std::unique_ptr<Laid>> m_laid;
    mutable qreal m_width = -1;
    Row m_top;
    bool m_settingBar = false;
    int m_batch = 0;
    bool m_changed = false;
    int m_margin = 4;

    QBasicTimer m_blink;
    bool m_caretShown = true;
    QString m_preedit;
    qsizetype m_dropCaret = -1;

    QPoint m_pressPoint;
    bool m_maybeDrag = false;
    bool m_selecting = false;
    QBasicTimer m_tripleClick;
    QPoint m_tripleClickPoint;

    friend class TextViewAccessible;
    friend class TextViewBatch;
};
