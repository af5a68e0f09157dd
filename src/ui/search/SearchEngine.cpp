#include "ui/search/SearchEngine.h"

#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "ui/search/Search.h"
#include "ui/search/SearchState.h"

#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QList>
#include <QRadioButton>
#include <QTextCursor>

#include <algorithm>

using Globals::search;

namespace SearchEngine {

namespace {

void buildOptions(const Search &dialog)
{
    search.SearchFindOptions = 0;
    if (CheckBoxValue(*dialog.chkWholeWord) == 1)
        search.SearchFindOptions += RichTextBox::WholeWord;
    if (CheckBoxValue(*dialog.chkCase) == 1)
        search.SearchFindOptions += RichTextBox::MatchCase;
}

// Find's arguments for a step from SearchPos, with the options rebuilt.
struct Step
{
    int start;
    int end;
    int options;
};

Step nextStep(const Search &dialog)
{
    buildOptions(dialog);
    const int end = dialog.optSelection->isChecked()
                            ? search.SearchRangeStart + search.SearchRangeLength
                            : -1;
    return {search.SearchPos, end, search.SearchFindOptions};
}

// A message box ends the work of a button that shows the hourglass: the box
// itself gets the ordinary pointer.
void informWithoutHourglass(const Search &dialog, const QString &text)
{
    QList<QCursor> lifted;
    while (const QCursor *cursor = QGuiApplication::overrideCursor()) {
        lifted.prepend(*cursor);
        QGuiApplication::restoreOverrideCursor();
    }
    dialog.env().messageBox->inform(text, Globals::ProductTitle);
    for (const QCursor &cursor : std::as_const(lifted))
        QGuiApplication::setOverrideCursor(cursor);
}

QString withSpaces(QString text)
{
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    return text;
}

// Where a position lands once [start, start + removed) has become inserted
// characters: before the edit it stays, after it it shifts, inside it it
// moves past the new text.
int followEdit(int position, int start, int removed, int inserted)
{
    if (position <= start)
        return position;
    if (position >= start + removed)
        return position + inserted - removed;
    return start + inserted;
}

} // namespace

void FindNext(Search &dialog)
{
    const QString text = dialog.txtSearch->text();
    const Step step = nextStep(dialog);
    const int p = dialog.editor().Find(text, step.start, step.end, step.options);
    search.SearchPos = p;
    if (p == -1) {
        informWithoutHourglass(dialog, MissMessage(text));
        search.SearchPos = 0;
        return;
    }
    search.SearchSelecting = true;
    dialog.editor().setSelStart(p);
    dialog.editor().setSelLength(text.size());
    search.SearchSelecting = false;
    search.SearchPos = p + text.size();
}

bool FindNextForReplaceAll(Search &dialog, QTextCursor &selection)
{
    const Step step = nextStep(dialog);
    const QTextCursor hit =
            dialog.editor().FindCursor(dialog.txtSearch->text(), step.start, step.end, step.options);
    const int p = hit.isNull() ? -1 : hit.selectionStart();
    search.SearchPos = p;
    if (p == -1) {
        search.SearchPos = 0;
        return false;
    }
    selection = hit;
    search.SearchPos = p + dialog.txtReplace->text().size();
    return true;
}

void CloseSearchDialog(Search &dialog)
{
    dialog.hide();
    if (QWidget *window = dialog.parentWidget())
        window->activateWindow();
    dialog.editor().setFocus();
}

QString MissMessage(const QString &text)
{
    return QStringLiteral("Impossible de trouver \"") + text + QLatin1Char('"');
}

bool SelectionIs(const QTextCursor &selection, const QString &text, bool matchCase)
{
    if (text.isEmpty())
        return false;
    // Upper case at most triples a length: texts further apart differ, and
    // a selection of the whole document is never copied for nothing.
    const qsizetype length = selection.selectionEnd() - selection.selectionStart();
    if (length > 3 * text.size() || text.size() > 3 * length)
        return false;
    QString selected = selection.selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    selected = withSpaces(selected);
    if (matchCase)
        return selected == withSpaces(text);
    return selected.toUpper() == withSpaces(text).toUpper();
}

void ReplaceSelection(QTextCursor &selection, const QString &replacement, bool followSearchPos)
{
    const int start = selection.selectionStart();
    const int removed = selection.selectionEnd() - start;
    const int inserted = int(replacement.size());
    selection.insertText(replacement);

    const int rangeEnd = search.SearchRangeStart + search.SearchRangeLength;
    search.SearchRangeStart = followEdit(search.SearchRangeStart, start, removed, inserted);
    search.SearchRangeLength =
            std::max(0, followEdit(rangeEnd, start, removed, inserted) - search.SearchRangeStart);
    if (followSearchPos)
        search.SearchPos = followEdit(search.SearchPos, start, removed, inserted);
}

} // namespace SearchEngine
