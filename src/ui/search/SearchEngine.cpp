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

bool isHit(const QString &selected, const QString &text, bool matchCase)
{
    if (text.isEmpty())
        return false;
    if (matchCase)
        return withSpaces(selected) == withSpaces(text);
    return withSpaces(selected).toUpper() == withSpaces(text).toUpper();
}

} // namespace

void FindNext(MainWindow &window)
{
    const Search &dialog = window.SearchDialog();
    const QString text = dialog.txtSearch->text();
    const Step step = nextStep(dialog);
    const int p = window.txt->Find(text, step.start, step.end, step.options);
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

int ReplaceAll(MainWindow &window)
{
    const Search &dialog = window.SearchDialog();
    RichTextBox &txt = *window.txt;
    const QString text = dialog.txtSearch->text();
    const int length = int(text.size());
    // The hits are gathered in the text as it stands, then replaced at once.
    // A selection that is a hit goes first, as a single replace would.
    int selectedStart = -1;
    int selectedEnd = -1;
    int position = search.SearchPos;
    if (SelectionIs(txt, text, false)) {
        selectedStart = txt.SelStart();
        selectedEnd = selectedStart + txt.SelLength();
        if (position > selectedStart && position < selectedEnd)
            position = selectedEnd;
    }
    QList<QPair<int, int>> ranges;
    for (;;) {
        search.SearchPos = position;
        const Step step = nextStep(dialog);
        const int hit = txt.FindPosition(text, step.start, step.end, step.options);
        if (hit < 0)
            break;
        if (hit < selectedEnd && hit + length > selectedStart) {
            position = hit + 1; // its text is the selection's replacement by now
            continue;
        }
        // Find took it for a hit and the comparison did not: stepped over.
        if (isHit(txt.store().mid(hit, length), text, false))
            ranges.append({hit, length});
        position = hit + length;
    }
    if (selectedStart >= 0) {
        const auto at = std::lower_bound(ranges.begin(), ranges.end(), selectedStart,
                                         [](const QPair<int, int> &r, int s) { return r.first < s; });
        ranges.insert(at, {selectedStart, selectedEnd - selectedStart});
    }
    const QString replacement = dialog.txtReplace->text();
    txt.ReplaceRanges(ranges, replacement);
    int shift = 0;
    for (const auto &range : std::as_const(ranges)) {
        const int start = range.first + shift;
        const int rangeEnd = search.SearchRangeStart + search.SearchRangeLength;
        search.SearchRangeStart = followEdit(search.SearchRangeStart, start, range.second, int(replacement.size()));
        search.SearchRangeLength = std::max(
                0, followEdit(rangeEnd, start, range.second, int(replacement.size())) - search.SearchRangeStart);
        shift += int(replacement.size()) - range.second;
    }
    search.SearchPos = 0;
    return int(ranges.size());
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
    // Upper case at most triples a length: texts further apart differ, and
    // a selection of the whole document is never copied for nothing.
    const qsizetype length = txt.SelLength();
    if (length > 3 * text.size() || text.size() > 3 * length)
        return false;
    return isHit(txt.SelText(), text, matchCase);
}

void ReplaceSelection(RichTextBox &txt, const QString &replacement, bool followSearchPos)
{
    const int start = txt.SelStart();
    const int removed = txt.SelLength();
    const int inserted = int(replacement.size());
    txt.setSelText(replacement);

    const int rangeEnd = search.SearchRangeStart + search.SearchRangeLength;
    search.SearchRangeStart = followEdit(search.SearchRangeStart, start, removed, inserted);
    search.SearchRangeLength =
            std::max(0, followEdit(rangeEnd, start, removed, inserted) - search.SearchRangeStart);
    if (followSearchPos)
        search.SearchPos = followEdit(search.SearchPos, start, removed, inserted);
}

} // namespace SearchEngine
