#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

struct AppState;
class NoteWindow;

// Lining notes up under or beside an anchor note: the geometry as functions on
// rectangles in twips, and the two commands of the note menu.
namespace NoteArrange {

// A note as arranging sees it: its place in twips and its Tag.
struct Box {
    QRectF twips;
    QString tag;
};

// p lies lower than q and one of p's vertical edges falls within q's columns
// (ends included); never a note below itself.
bool LiesBelow(const Box& p, const Box& q);
// p lies further right than q and one of p's horizontal edges falls within q's rows.
bool LiesRightOf(const Box& p, const Box& q);

struct PlacementEntry {
    qint16 key = 0; // the note's top (左に揃える) or left (上に揃える), twips
    qint32 noteId = 0;
};

// Sorts entries low to high by Key with one particular quicksort: notes with equal
// keys end in the order its partitioning leaves them, which is part of the result.
void SortPlacementList(QList<PlacementEntry>& list, qint16 low, qint16 high);

// Where each chosen note goes: its NoteId and its new top-left corner in twips.
struct Move {
    qint32 noteId = 0;
    double left = 0;
    double top = 0;

    bool operator==(const Move&) const = default;
};

// The notes by slot (index 0 unused; std::nullopt for the dead, the hidden and the
// placeholder) and the anchor: the moves of 左に揃える, in order. A column that
// would reach past 32767 twips stops before the note that would cross it.
QList<Move> PlanArrangeLeft(const QList<std::optional<Box>>& notes, const Box& anchor);
// The same for 上に揃える.
QList<Move> PlanArrangeTop(const QList<std::optional<Box>>& notes, const Box& anchor);

// The commands: move the notes and save when one moved.
void ArrangeLeft(AppState& state, const NoteWindow& anchor);
void ArrangeTop(AppState& state, const NoteWindow& anchor);

} // namespace NoteArrange
