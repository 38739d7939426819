#pragma once

#include "store/NoteView.h"

#include <QFont>
#include <QWidget>

#include <optional>

struct AppState;
class NoteSurface;
class QMenu;
class QMimeData;
class QTimer;
class RichTextBox;

// One note on the desktop: a frameless window, resizable by its edges, without a
// taskbar entry (see DeskWindow). The text box shows the note and lets the mouse
// through to the mouse surface, which covers the window and moves it.
class NoteWindow : public QWidget, public NoteView {
    Q_OBJECT

public:
    explicit NoteWindow(AppState& state);

    RichTextBox* textBox() const { return m_textBox; }
    NoteSurface* mouseSurface() const { return m_mouseSurface; }
    // Peels the note a second after its content was dragged away.
    QTimer* peelTimer() const { return m_peelTimer; }
    // The note's right-click menu, built the first time it is needed: hundreds of
    // notes are restored at start-up, and few of them are ever right-clicked.
    QMenu* menu();

    void setTag(const QString& tag) { m_tag = tag; }

    // Geometry in twips. The saved geometry is what the data file keeps: it differs
    // from the window's where the note stands away from a place that no screen shows
    // (savedPlace), where the window system alone changed its size, and where the
    // note is smaller than a note can usefully be.
    QRectF geometryTwips() const override;
    QRectF savedGeometryTwips() const override;
    void moveTwips(double left, double top, double width, double height);
    void moveTwips(double left, double top);

    // A note whose saved place no screen shows stands elsewhere meanwhile; the data
    // file keeps the saved place until the note is moved or resized, by the user or
    // by the program (moveTwips).
    std::optional<QPointF> savedPlace() const { return m_savedPlace; }
    void keepSavedPlace(const QPointF& twips) { m_savedPlace = twips; }
    void forgetSavedPlace() { m_savedPlace.reset(); }

    // Where a note from the network came from, shown when the pointer rests on it; kept
    // while the program runs, not in the data file.
    void setOrigin(const QString& text);
    QString origin() const;

    // NoteView
    QString tag() const override { return m_tag; }
    qint32 backColor() const override;
    QByteArray textRtf() const override;
    QString plainText() const override;

    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenu();
    void peelWithLog();
    void peelWithoutLog();
    void hideForNow();
    void hideUntilShownAgain();
    void recolour(qint32 colour);
    void duplicate();
    void send();
    void fillDragData(QMimeData* data);
    void dragFinished(int effect);
    void peelAfterDrag();
    void takeDrop(const QMimeData* data);
    void surfacePressed(QMouseEvent* event);
    void surfaceMoved(QMouseEvent* event);
    void surfaceReleased(QMouseEvent* event);
    void surfaceDoubleClicked(QMouseEvent* event);
    Qt::Edges edgesAt(const QPoint& position) const;
    bool beginEdgeResize(QMouseEvent* event);

    AppState& m_state;
    RichTextBox* m_textBox = nullptr;
    NoteSurface* m_mouseSurface = nullptr;
    QTimer* m_peelTimer = nullptr;
    QMenu* m_menu = nullptr;
    QString m_tag;
    std::optional<QPointF> m_savedPlace;
    // The size the user or the program gave the note last, which the data file keeps
    // while the window system shows it at another.
    QSize m_chosenSize;
    // What the press that is down on the note started. Nothing of one gesture
    // reaches the next: a move needs a press that began moving.
    enum class Gesture { None, Moving, Resizing };
    Gesture m_gesture = Gesture::None;
    // Set while the edges are dragged by hand, where the window system cannot.
    Qt::Edges m_resizing;
    QRect m_resizeStartGeometry;
    QPoint m_resizeStartPointer;
};
