#include "ui/search/SearchEngine.h"

#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "ui/main/MainWindow.h"
#include "ui/search/Search.h"
#include "ui/search/SearchState.h"

#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QList>
#include <QRadioButton>

#include <algorithm>

using Globals::search;

namespace SearchEngine {

namespace {

void buildOptions(const Search &dialog)
{
    search.SearchFindOptions = 0;
    if (Search::Value(dialog.chkWholeWord) == 1)
        search.SearchFindOptions += RichTextBox::WholeWord;
    if (Search::Value(dialog.chkCase) == 1)
        search.SearchFindOptions += RichTextBox::MatchCase;
}

int findFromSearchPos(MainWindow &window, const QString &text)
{
    const Search &dialog = window.SearchDialog();
    buildOptions(dialog);
    const int end = dialog.optSelection->isChecked()
                            ? search.SearchRangeStart + search.SearchRangeLength
                            : -1;
    return window.txt->Find(text, search.SearchPos, end, search.SearchFindOptions);
}

// A message box ends the work of a button that shows the hourglass: the box
// itself gets the ordinary pointer.
void informWithoutHourglass(MainWindow &window, const QString &text)
{
    QList<QCursor> lifted;
    while (const QCursor *cursor = QGuiApplication::overrideCursor()) {
        lifted.prepend(*cursor);
        QGuiApplication::restoreOverrideCursor();
    }
    window.env().messageBox->inform(text, Globals::ProductTitle);
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

void FindNext(MainWindow &window)
{
    const QString text = window.SearchDialog().txtSearch->text();
    const int p = findFromSearchPos(window, text);
    search.SearchPos = p;
    if (p == -1) {
        informWithoutHourglass(window, MissMessage(text));
        search.SearchPos = 0;
        return;
    }
    search.SearchSelecting = true;
    window.txt->setSelStart(p);
    window.txt->setSelLength(text.size());
    search.SearchSelecting = false;
    search.SearchPos = p + text.size();
}

bool FindNextForReplaceAll(MainWindow &window)
{
    const Search &dialog = window.SearchDialog();
    const int p = findFromSearchPos(window, dialog.txtSearch->text());
    search.SearchPos = p;
    if (p == -1) {
        search.SearchPos = 0;
        return false;
    }
    search.SearchPos = p + dialog.txtReplace->text().size();
    return true;
}

void CloseSearchDialog(MainWindow &window)
{
    if (Search *dialog = window.existingSearchDialog())
        dialog->hide();
    window.activateWindow();
    window.txt->setFocus();
}

QString MissMessage(const QString &text)
{
    return QStringLiteral("Impossible de trouver \"") + text + QLatin1Char('"');
}

bool SelectionIs(const RichTextBox &txt, const QString &text, bool matchCase)
{
    if (text.isEmpty())
        return false;
    // Upper case at most triples a length: texts further apart differ, and
    // a selection of the whole document is never copied for nothing.
    const qsizetype length = txt.SelLength();
    if (length > 3 * text.size() || text.size() > 3 * length)
        return false;
    const QString selected = withSpaces(txt.SelText());
    if (matchCase)
        return selected == withSpaces(text);
    return selected.toUpper() == withSpaces(text).toUpper();
}

void ReplaceSelection(RichTextBox &txt, const QString &replacement, bool followSearchPos)
{
    const int start = txt.SelStart();
    const int removed = txt.SelLength();
    const int inserted = int(replacement.size());

    search.SearchSelecting = true;
    txt.setSelText(replacement);
    search.SearchSelecting = false;

    const int rangeEnd = search.SearchRangeStart + search.SearchRangeLength;
    search.SearchRangeStart = followEdit(search.SearchRangeStart, start, removed, inserted);
    search.SearchRangeLength =
            std::max(0, followEdit(rangeEnd, start, removed, inserted) - search.SearchRangeStart);
    if (followSearchPos)
        search.SearchPos = followEdit(search.SearchPos, start, removed, inserted);
}

} // namespace SearchEngine
