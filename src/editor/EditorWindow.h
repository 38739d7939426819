#pragma once

#include <QColor>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

struct AppState;
class NoteWindow;
class InputMethod;
class ApplyQuestion;
class QMimeData;
class QAction;
class QComboBox;
class QMenu;
class QToolBar;
class RichTextBox;

// The one editor in which notes are written. It is created once, then only shown
// and hidden; closing it hides it (asking first when it holds changes).
class EditorWindow : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        // The colour dialog: the chosen colour, or nothing when cancelled.
        std::function<std::optional<QColor>(const QColor& current, QWidget* parent)> chooseColor;
        InputMethod* inputMethod = nullptr; // nothing: no input method
    };

    EditorWindow(AppState& state, Services services);
    ~EditorWindow() override;

    // Menus and controls, by the names the program uses for them.
    QMenu* mFile = nullptr;
    QAction* mCreate = nullptr;
    QAction* mEnd = nullptr;
    QMenu* mEdit = nullptr;
    QAction *mCut = nullptr, *mCopy = nullptr, *mPast = nullptr, *mDel = nullptr, *mUndo = nullptr;
    QMenu* mFormat = nullptr;
    QAction *mBold = nullptr, *mItalic = nullptr, *mUnder = nullptr;
    QAction *mYellow = nullptr, *mGreen = nullptr, *mBlue = nullptr, *mRed = nullptr, *mPurple = nullptr,
            *mWhite = nullptr;
    QWidget* CoolBar1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    RichTextBox* textBox() const { return m_textBox; }

    // Toolbar1's buttons by their 1-based index (separators are null); the key is
    // each button's text and tool tip.
    QAction* toolbar1Button(int index) const;
    QAction* toolbar2Button(int index) const;

    // The editor's state.
    qint32 EditorDirty = 0;
    bool ChangeTrackingArmed = false;
    qint32 SavedImeOpen = 0;
    // Whether SavedImeOpen holds the status from before this editing session; the
    // text box switches the input method on, so a later focus gain must not save.
    bool ImeStatusSaved = false;
    QComboBox* DroppedDownCombo = nullptr;
    QColor dialogColour;

    // Lifecycle.
    void ResetEditor();
    void ShowEditor();
    void CommitEditor();
    void SyncEditorColourMenu(const NoteWindow& note);
    void SetEditorDirty(qint32 value) { EditorDirty = value; }
    void TrackEditorChange(qint32 value);
    qint32 IsEditorDirty() const { return EditorDirty; }

    // The ways the editor is opened. Opening a note while the editor holds work not
    // yet applied asks first (適用, 破棄 or キャンセル); キャンセル keeps the work.
    void openForEdit(NoteWindow& note);
    void openForNewNote(bool fromNoteMenu); // tray double-click, or the note menu
    void openFromTrayMenu(const std::function<void(QWidget&)>& centre);

    // Commands.
    void EditorCut();
    void EditorCopy();
    void EditorPaste();
    void EditorDelete();
    void EditorUndo();
    void SetEditorBackColour(qint32 colour);
    void UpdateSelectionCommands();
    void UpdateUndoCommand();
    void RestoreImeState();

    // The apply question, shown without waiting (closing the dirty editor) or as
    // the exit's question, which waits; the exit's answer is in ExitConfirmed.
    ApplyQuestion* msgForm() const;
    void askToApply(bool forExit);
    // Open with changes, or with the apply question already asked.
    bool holdsUnappliedWork() const;
    // Asks, and waits, when the open editor holds work not yet applied: applied or
    // discarded as answered; false when the user cancelled and the work stays.
    bool settleUnappliedWork();

    // 付箋紙作成 and 終了.
    void mCreate_Click();

signals:
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbars();
    void connectTextBox();
    void Toolbar1_ButtonClick(const QString& key);
    void Toolbar2_ButtonClick(const QString& key);
    void toggleFromMenu(QAction* item, int button, std::optional<bool> (RichTextBox::*get)() const,
                        void (RichTextBox::*set)(bool));
    void Combo1_Click();
    void Combo2_Click();
    void Rich1_SelChange();
    void Rich1_GotFocus();
    void Rich1_LostFocus();
    void Rich1_Drop(const QMimeData* data);
    void Command_Click(int button);
    void checkColourItem(QAction* item);
    // The six colour items of the format menu with their note colours, in menu order.
    std::array<std::pair<qint32, QAction*>, 6> colourItems() const;

    AppState& m_state;
    Services m_services;
    RichTextBox* m_textBox = nullptr;
    QPointer<ApplyQuestion> m_msgForm;
    int m_answer = 0;           // the button that last answered the question
    QList<QAction*> m_toolbar1; // index 0 is button 1
    QList<QAction*> m_toolbar2;
};
