#include "note/NoteWindow.h"

#include "note/AppState.h"
#include "note/NoteArrange.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteHost.h"
#include "note/NoteLayout.h"
#include "note/NoteSurface.h"
#include "platform/ColorValue.h"
#include "platform/DeskWindow.h"
#include "platform/MenuItems.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "store/Tag.h"

#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

using namespace MenuItems;

namespace {

// How far in from the window's border a press resizes instead of moving.
constexpr int kEdgeGrip = 4;
// Smaller than this, a note can no longer be found, taken or opened: neither the
// user nor the window manager makes it smaller, and none is saved smaller.
constexpr QSize kMinimumSize(40, 20);

Qt::CursorShape cursorFor(Qt::Edges edges) {
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge))
        return Qt::SizeBDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    if (edges & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace

NoteWindow::NoteWindow(AppState& state)
    : QWidget(nullptr, DeskWindow::kFlags)
    , m_state(state) {
    setObjectName(QStringLiteral("NoteWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QString());

    m_mouseSurface = new NoteSurface(this);
    m_mouseSurface->setObjectName(QStringLiteral("mouseSurface"));
    m_mouseSurface->setAcceptDrops(true);
    m_mouseSurface->setGeometry(Twips::toPixelsX(45), Twips::toPixelsY(30), Twips::toPixelsX(105),
                                Twips::toPixelsY(195));

    m_textBox = new RichTextBox(this);
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setDisplayOnly(true);
    m_textBox->document()->setDefaultFont(NoteFont(QStringLiteral("ＭＳ ゴシック"), 9.75));
    m_textBox->document()->setDocumentMargin(1);
    m_textBox->setBackColor(kNoteWindowBackground);
    m_textBox->setGeometry(0, 0, Twips::toPixelsX(3375), Twips::toPixelsY(165));
    m_textBox->raise(); // above the mouse surface, which still gets every event

    m_peelTimer = new QTimer(this);
    m_peelTimer->setObjectName(QStringLiteral("peelTimer"));
    m_peelTimer->setSingleShot(false);
    m_peelTimer->setInterval(0);

    setMinimumSize(kMinimumSize);
    resize(Twips::toPixelsX(3885), Twips::toPixelsY(375));

    connect(m_mouseSurface, &NoteSurface::pressed, this, &NoteWindow::surfacePressed);
    connect(m_mouseSurface, &NoteSurface::moved, this, &NoteWindow::surfaceMoved);
    connect(m_mouseSurface, &NoteSurface::released, this, &NoteWindow::surfaceReleased);
    connect(m_mouseSurface, &NoteSurface::doubleClicked, this, &NoteWindow::surfaceDoubleClicked);
    connect(m_mouseSurface, &NoteSurface::dropped, this, &NoteWindow::takeDrop);
    connect(m_textBox, &RichTextBox::dragStarting, this, &NoteWindow::fillDragData);
    connect(m_textBox, &RichTextBox::dragCompleted, this, &NoteWindow::dragFinished);
    connect(m_peelTimer, &QTimer::timeout, this, &NoteWindow::peelAfterDrag);
    connect(m_textBox, &RichTextBox::backColorChanged, this, [this] { update(); });
}

QMenu* NoteWindow::menu() {
    if (!m_menu)
        buildMenu();
    return m_menu;
}

void NoteWindow::buildMenu() {
    m_menu = new QMenu(QStringLiteral("付箋紙メニュー"), this);
    m_menu->setObjectName(QStringLiteral("noteMenu"));
    QMenu* fDelTop = addSubmenu(m_menu, "peelMenu", QStringLiteral("はがす"));
    connect(addItem(fDelTop, "peel", QStringLiteral("はがす")), &QAction::triggered, this, &NoteWindow::peelWithLog);
    connect(addItem(fDelTop, "peelWithoutLog", QStringLiteral("ログに出力しないではがす")), &QAction::triggered, this,
            &NoteWindow::peelWithoutLog);
    addSeparator(fDelTop, "peelSeparator");
    connect(addItem(fDelTop, "hideForNow", QStringLiteral("一時的に非表示")), &QAction::triggered, this,
            &NoteWindow::hideForNow);
    connect(addItem(fDelTop, "hide", QStringLiteral("非表示")), &QAction::triggered, this,
            &NoteWindow::hideUntilShownAgain);
    QMenu* fBack = addSubmenu(m_menu, "colourMenu", QStringLiteral("背景色"));
    const std::pair<const char*, std::pair<QString, qint32>> colours[] = {
        {"yellow", {QStringLiteral("黄"), NoteColor::Yellow}}, {"green", {QStringLiteral("緑"), NoteColor::Green}},
        {"blue", {QStringLiteral("青"), NoteColor::Blue}},     {"red", {QStringLiteral("赤"), NoteColor::Red}},
        {"purple", {QStringLiteral("紫"), NoteColor::Purple}}, {"white", {QStringLiteral("白"), NoteColor::White}}};
    for (const auto& [name, item] : colours) {
        const qint32 colour = item.second;
        connect(addItem(fBack, name, item.first), &QAction::triggered, this, [this, colour] { recolour(colour); });
    }
    connect(addItem(m_menu, "edit", QStringLiteral("編集")), &QAction::triggered, this, [this] {
        if (m_state.host)
            m_state.host->editNote(*this);
    });
    connect(addItem(m_menu, "newNote", QStringLiteral("新規作成")), &QAction::triggered, this, [this] {
        if (m_state.host)
            m_state.host->newNote();
    });
    connect(addItem(m_menu, "duplicate", QStringLiteral("複製")), &QAction::triggered, this, &NoteWindow::duplicate);
    addSeparator(m_menu, "editSeparator");
    QMenu* fArrenge = addSubmenu(m_menu, "arrangeMenu", QStringLiteral("整列"));
    connect(addItem(fArrenge, "arrangeLeft", QStringLiteral("左に揃える")), &QAction::triggered, this,
            [this] { NoteArrange::ArrangeLeft(m_state, *this); });
    connect(addItem(fArrenge, "arrangeTop", QStringLiteral("上に揃える")), &QAction::triggered, this,
            [this] { NoteArrange::ArrangeTop(m_state, *this); });
    addSeparator(m_menu, "sendSeparator");
    connect(addItem(m_menu, "send", QStringLiteral("送信")), &QAction::triggered, this, &NoteWindow::send);
}

void NoteWindow::peelWithLog() {
    if (!PeelNoteWithLog(m_state, *this))
        MessageBox::show(QStringLiteral("ログ出力に失敗しました"));
}

void NoteWindow::peelWithoutLog() {
    if (!KeepPeeledNote(m_state, *this))
        return;
    UnloadNote(*this);
    SaveAllNotes(m_state);
}

void NoteWindow::hideForNow() {
    hide();
}

void NoteWindow::hideUntilShownAgain() {
    hide();
    Tag::SetTagFlag(m_tag, Tag::kVisibleFlag, false);
    SaveAllNotes(m_state);
}

void NoteWindow::recolour(qint32 colour) {
    m_textBox->setBackColor(colour);
    SaveAllNotes(m_state);
}

void NoteWindow::duplicate() {
    DuplicateNote(m_state, *this);
}

void NoteWindow::send() {
    m_state.noteToSend = this;
    if (m_state.host)
        m_state.host->sendNote();
}

QRectF NoteWindow::geometryTwips() const {
    const QRect g = geometry();
    return QRectF(Twips::fromPixelsX(g.x()), Twips::fromPixelsY(g.y()), Twips::fromPixelsX(g.width()),
                  Twips::fromPixelsY(g.height()));
}

QRectF NoteWindow::savedGeometryTwips() const {
    QRectF box = geometryTwips();
    if (m_savedPlace)
        box.moveTopLeft(*m_savedPlace);
    if (m_chosenSize.isValid())
        box.setSize(QSizeF(Twips::fromPixelsX(m_chosenSize.width()), Twips::fromPixelsY(m_chosenSize.height())));
    box.setWidth(std::max(box.width(), Twips::fromPixelsX(kMinimumSize.width())));
    box.setHeight(std::max(box.height(), Twips::fromPixelsY(kMinimumSize.height())));
    return box;
}

void NoteWindow::moveTwips(double left, double top, double width, double height) {
    m_savedPlace.reset();
    setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width), Twips::toPixelsY(height));
    m_chosenSize = size();
}

void NoteWindow::moveTwips(double left, double top) {
    m_savedPlace.reset();
    move(Twips::toPixelsX(left), Twips::toPixelsY(top));
}

qint32 NoteWindow::backColor() const {
    return m_textBox->backColor();
}

QByteArray NoteWindow::textRtf() const {
    return m_textBox->textRTF();
}

QString NoteWindow::plainText() const {
    return m_textBox->text();
}

void NoteWindow::setVisible(bool visible) {
    if (visible && !isVisible())
        DeskWindow::prepareToShow(*this);
    QWidget::setVisible(visible);
}

void NoteWindow::paintEvent(QPaintEvent* /*event*/) {
    // A fitting leaves the window taller than the text box; the strip beneath it is
    // part of the note and has its colour.
    QPainter(this).fillRect(rect(), ColorValue::toQColor(m_textBox->backColor()));
}

void NoteWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A size the window system gave the note by itself (a window manager placing the
    // notes as they are restored, a screen too small for it) is shown, but the data
    // file keeps the size that the user or the program gave it.
    const bool imposed = event->spontaneous() && m_gesture != Gesture::Resizing;
    if (!imposed)
        m_chosenSize = event->size();
    if (m_state.loading || m_state.fitting)
        return;
    StretchTextBox(*this);
    StretchMouseSurface(*this);
    m_textBox->update();
    update();
    // While an edge is being dragged, the release saves once.
    if (!m_resizing && !imposed)
        SaveAllNotes(m_state);
}

Qt::Edges NoteWindow::edgesAt(const QPoint& position) const {
    Qt::Edges edges;
    if (position.x() < kEdgeGrip)
        edges |= Qt::LeftEdge;
    if (position.x() >= width() - kEdgeGrip)
        edges |= Qt::RightEdge;
    if (position.y() < kEdgeGrip)
        edges |= Qt::TopEdge;
    if (position.y() >= height() - kEdgeGrip)
        edges |= Qt::BottomEdge;
    return edges;
}

bool NoteWindow::beginEdgeResize(QMouseEvent* event) {
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || event->modifiers() != Qt::NoModifier || !edges)
        return false;
    m_gesture = Gesture::Resizing;
    m_savedPlace.reset(); // the user places the note from where it shows
    // The window manager does it best; without one, follow the pointer by hand.
    if (windowHandle() && windowHandle()->startSystemResize(edges))
        return true;
    m_resizing = edges;
    m_resizeStartGeometry = geometry();
    m_resizeStartPointer = event->globalPosition().toPoint();
    return true;
}

void NoteWindow::surfacePressed(QMouseEvent* event) {
    m_gesture = Gesture::None;
    m_resizing = {};
    if (beginEdgeResize(event))
        return;
    const QPointer<NoteWindow> self(this);
    if (event->button() == Qt::RightButton) {
        ForceForeground(*this);
        menu()->exec(QCursor::pos());
        if (!self || tag().isEmpty())
            return; // the command peeled this note
    }
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        // A press with a modifier drags the note's content instead of the note. A
        // format the program does not know (a hand-edited setting) drags nothing.
        if (m_state.dragDataFormat == DragData::RichText || m_state.dragDataFormat == DragData::PlainText)
            m_textBox->startDrag();
        return;
    }
    m_gesture = Gesture::Moving;
    m_state.dragAnchor = event->globalPosition().toPoint();
}

void NoteWindow::fillDragData(QMimeData* data) {
    if (m_state.dragDataFormat == DragData::RichText)
        data->setData(QStringLiteral("text/rtf"), m_textBox->textRTF());
    else if (m_state.dragDataFormat == DragData::PlainText)
        data->setText(
            m_textBox->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n"))); // LF, as on the clipboard
}

void NoteWindow::dragFinished(int effect) {
    if (effect == 0 || m_state.dragMode == 2)
        return;
    hide();
    m_peelTimer->setInterval(1000);
    m_peelTimer->start();
}

void NoteWindow::peelAfterDrag() {
    m_peelTimer->stop();
    // The mode is read again: a change within that second counts.
    if (m_state.dragMode == 1)
        peelWithLog();
    else if (m_state.dragMode == 3)
        peelWithoutLog();
}

void NoteWindow::takeDrop(const QMimeData* data) {
    m_textBox->setSelStart(m_textBox->textLength());
    m_textBox->setSelLength(0);
    m_textBox->insertMimeData(data);
    ShowDroppedOnNote(m_state, *this);
}

void NoteWindow::surfaceMoved(QMouseEvent* event) {
    if (m_resizing) {
        const QPoint travel = event->globalPosition().toPoint() - m_resizeStartPointer;
        QRect g = m_resizeStartGeometry;
        const QSize least = minimumSize() - QSize(1, 1);
        if (m_resizing & Qt::LeftEdge)
            g.setLeft(std::min(g.left() + travel.x(), g.right() - least.width()));
        if (m_resizing & Qt::RightEdge)
            g.setRight(std::max(g.right() + travel.x(), g.left() + least.width()));
        if (m_resizing & Qt::TopEdge)
            g.setTop(std::min(g.top() + travel.y(), g.bottom() - least.height()));
        if (m_resizing & Qt::BottomEdge)
            g.setBottom(std::max(g.bottom() + travel.y(), g.top() + least.height()));
        setGeometry(g);
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        m_mouseSurface->setCursor(cursorFor(edgesAt(event->position().toPoint())));
        return;
    }
    // The window manager resizes with the pointer grabbed, and the release of that
    // press may never reach the note: a move follows only a press that moves.
    if (m_gesture != Gesture::Moving || event->buttons() != Qt::LeftButton)
        return;
    const QPoint p = event->globalPosition().toPoint();
    const QPoint travel = p - m_state.dragAnchor;
    if (travel.isNull())
        return;
    m_savedPlace.reset();
    move(pos() + travel);
    m_state.dragAnchor = p;
}

void NoteWindow::surfaceReleased(QMouseEvent* /*event*/) {
    m_gesture = Gesture::None;
    m_resizing = {};
    SaveAllNotes(m_state);
}

void NoteWindow::surfaceDoubleClicked(QMouseEvent* /*event*/) {
    if (m_state.host)
        m_state.host->editNote(*this);
}

void NoteWindow::setOrigin(const QString& text) {
    m_mouseSurface->setToolTip(text);
}

QString NoteWindow::origin() const {
    return m_mouseSurface->toolTip();
}
