#include "editor/EditorWindow.h"

#include "editor/ApplyQuestion.h"
#include "note/AppState.h"
#include "note/NoteColor.h"
#include "platform/MenuItems.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>

using MenuItems::addItem;

namespace {

QIcon editorIcon(const char* imageKey) {
    return QIcon(QStringLiteral(":/editor/%1.svg").arg(QLatin1String(imageKey)));
}

// A combo box that tells when its list opens and when it loses the focus.
class EditorCombo : public QComboBox {
public:
    std::function<void()> onDropDown;
    std::function<void()> onLostFocus;
    using QComboBox::QComboBox;

protected:
    void showPopup() override {
        if (onDropDown)
            onDropDown();
        QComboBox::showPopup();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QComboBox::focusOutEvent(event);
        if (onLostFocus)
            onLostFocus();
    }
};

std::optional<QColor> chooseWithDialog(const QColor& current, QWidget* parent) {
    QColorDialog dialog(current, parent);
    dialog.setWindowFlags(MessageBox::kDialogFlags);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return dialog.selectedColor();
}

} // namespace

EditorWindow::EditorWindow(AppState& state, Services services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint)
    , m_state(state)
    , m_services(std::move(services)) {
    setObjectName(QStringLiteral("EditorWindow"));
    setWindowTitle(QStringLiteral("ピノラ"));
    if (!m_services.chooseColor)
        m_services.chooseColor = chooseWithDialog;

    buildMenus();
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    CoolBar1 = new QWidget(client);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setGeometry(Twips::toPixels(30, 15, 5265, 750));
    buildToolbars();

    m_textBox = new RichTextBox(client);
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setGeometry(Twips::toPixels(45, 840, 5265, 3390));
    m_textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connectTextBox();

    const QSize clientSize(Twips::toPixelsX(5340), Twips::toPixelsY(4305));
    client->setFixedSize(clientSize);
    setFixedSize(clientSize.width(), clientSize.height() + menuBar()->sizeHint().height());
    ResetEditor();
}

EditorWindow::~EditorWindow() = default;

ApplyQuestion* EditorWindow::msgForm() const {
    return m_msgForm;
}

void EditorWindow::buildMenus() {
    mFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mFile->setObjectName(QStringLiteral("mFile"));
    mCreate = addItem(mFile, "mCreate", QStringLiteral("付箋紙作成(&N)"));
    mCreate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mEnd = addItem(mFile, "mEnd", QStringLiteral("終了(&X)"));
    mEnd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    mEdit->setObjectName(QStringLiteral("mEdit"));
    mCut = addItem(mEdit, "mCut", QStringLiteral("切り取り(&T)  Ctrl+X"));
    mCopy = addItem(mEdit, "mCopy", QStringLiteral("コピー(&C)     Ctrl+C"));
    mPast = addItem(mEdit, "mPast", QStringLiteral("貼り付け(&P)  Ctrl+V"));
    mDel = addItem(mEdit, "mDel", QStringLiteral("削除(&D)      Del"));
    mEdit->addSeparator()->setObjectName(QStringLiteral("mSpace1"));
    mUndo = addItem(mEdit, "mUndo", QStringLiteral("アンドゥ(&U)   Ctrl+Z"));

    mFormat = menuBar()->addMenu(QStringLiteral("書式(&O)"));
    mFormat->setObjectName(QStringLiteral("mFormat"));
    mBold = addItem(mFormat, "mBold", QStringLiteral("太字"));
    mItalic = addItem(mFormat, "mItalic", QStringLiteral("斜体"));
    mUnder = addItem(mFormat, "mUnder", QStringLiteral("下線"));
    mFormat->addSeparator()->setObjectName(QStringLiteral("mSpace2"));
    mYellow = addItem(mFormat, "mYellow", QStringLiteral("背景色－黄"));
    mGreen = addItem(mFormat, "mGreen", QStringLiteral("背景色－緑"));
    mBlue = addItem(mFormat, "mBlue", QStringLiteral("背景色－青"));
    mRed = addItem(mFormat, "mRed", QStringLiteral("背景色－赤"));
    mPurple = addItem(mFormat, "mPurple", QStringLiteral("背景色－紫"));
    mWhite = addItem(mFormat, "mWhite", QStringLiteral("背景色－白"));
    for (QAction* a : {mBold, mItalic, mUnder, mYellow, mGreen, mBlue, mRed, mPurple, mWhite})
        a->setCheckable(true);

    connect(mCreate, &QAction::triggered, this, &EditorWindow::mCreate_Click);
    connect(mEnd, &QAction::triggered, this, &EditorWindow::exitRequested);
    connect(mCut, &QAction::triggered, this, &EditorWindow::EditorCut);
    connect(mCopy, &QAction::triggered, this, &EditorWindow::EditorCopy);
    connect(mPast, &QAction::triggered, this, &EditorWindow::EditorPaste);
    connect(mDel, &QAction::triggered, this, &EditorWindow::EditorDelete);
    connect(mUndo, &QAction::triggered, this, &EditorWindow::EditorUndo);
    connect(mBold, &QAction::triggered, this,
            [this] { toggleFromMenu(mBold, 2, &RichTextBox::selBold, &RichTextBox::setSelBold); });
    connect(mItalic, &QAction::triggered, this,
            [this] { toggleFromMenu(mItalic, 3, &RichTextBox::selItalic, &RichTextBox::setSelItalic); });
    connect(mUnder, &QAction::triggered, this,
            [this] { toggleFromMenu(mUnder, 4, &RichTextBox::selUnderline, &RichTextBox::setSelUnderline); });
    const std::pair<QAction*, qint32> colours[] = {{mYellow, NoteColor::Yellow}, {mGreen, NoteColor::Green},
                                                   {mBlue, NoteColor::Blue},     {mRed, NoteColor::Red},
                                                   {mPurple, NoteColor::Purple}, {mWhite, NoteColor::White}};
    for (const auto& [item, colour] : colours)
        connect(item, &QAction::triggered, this, [this, c = colour] { SetEditorBackColour(c); });
}

void EditorWindow::buildToolbars() {
    Toolbar1 = new QToolBar(CoolBar1);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setGeometry(Twips::toPixels(165, 30, 5010, 330));
    const std::pair<const char*, const char*> buttons1[] = {
        {"付箋紙生成", "Create"}, {nullptr, nullptr},     {"切り取り", "Cut"},    {"コピー", "Copy"},
        {"貼り付け", "Past"},     {"削除", "Delete"},     {"アンドゥ", "Undo"},   {nullptr, nullptr},
        {"背景色黄", "Fusen1"},   {"背景色緑", "Fusen2"}, {"背景色青", "Fusen3"}, {"背景色赤", "Fusen4"},
        {"背景色紫", "Fusen5"},   {"背景色白", "Fusen6"}};
    for (const auto& [key, image] : buttons1) {
        if (!key) {
            Toolbar1->addSeparator();
            m_toolbar1.append(nullptr);
            continue;
        }
        const QString k = QString::fromUtf8(key);
        QAction* a = Toolbar1->addAction(editorIcon(image), k);
        a->setObjectName(QLatin1String(image));
        a->setToolTip(k);
        connect(a, &QAction::triggered, this, [this, k] { Toolbar1_ButtonClick(k); });
        m_toolbar1.append(a);
    }

    Combo1 = new EditorCombo(CoolBar1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setGeometry(Twips::toPixels(210, 405, 2115, 330));
    Combo2 = new EditorCombo(CoolBar1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    Combo2->setGeometry(Twips::toPixels(2400, 405, 810, 330));
    for (QComboBox* combo : {Combo1, Combo2}) {
        auto* c = static_cast<EditorCombo*>(combo);
        c->onDropDown = [this, combo] {
            DroppedDownCombo = combo;
            combo->setFocusPolicy(Qt::StrongFocus);
        };
        c->onLostFocus = [this] { DroppedDownCombo = nullptr; };
    }
    connect(Combo1, &QComboBox::activated, this, &EditorWindow::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &EditorWindow::Combo2_Click);

    Toolbar2 = new QToolBar(CoolBar1);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    Toolbar2->setIconSize(QSize(16, 16));
    Toolbar2->setGeometry(Twips::toPixels(3285, 390, 1770, 330));
    const std::pair<const char*, const char*> buttons2[] = {
        {"太字", "Bold"}, {"斜体", "Italic"}, {"下線", "Under"}, {"文字色", "Color"}};
    // Index 1 of this bar is a button without a key or an icon; it is not shown.
    m_toolbar2.append(nullptr);
    for (const auto& [key, image] : buttons2) {
        const QString k = QString::fromUtf8(key);
        QAction* a = Toolbar2->addAction(editorIcon(image), k);
        a->setObjectName(QLatin1String(image));
        a->setToolTip(k);
        a->setCheckable(k != QStringLiteral("文字色"));
        connect(a, &QAction::triggered, this, [this, k] { Toolbar2_ButtonClick(k); });
        m_toolbar2.append(a);
    }
}

QAction* EditorWindow::toolbar1Button(int index) const {
    return m_toolbar1.value(index - 1);
}

QAction* EditorWindow::toolbar2Button(int index) const {
    return m_toolbar2.value(index - 1);
}

void EditorWindow::connectTextBox() {
    connect(m_textBox, &RichTextBox::changed, this, [this] {
        UpdateUndoCommand();
        TrackEditorChange(1);
    });
    connect(m_textBox, &RichTextBox::keyUp, this, [this] { UpdateSelectionCommands(); });
    connect(m_textBox, &RichTextBox::mouseUp, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint at) {
        if (button == Qt::RightButton)
            mEdit->exec(m_textBox->viewport()->mapToGlobal(at));
        UpdateSelectionCommands();
    });
    connect(m_textBox, &RichTextBox::selChange, this, &EditorWindow::Rich1_SelChange);
    connect(m_textBox, &RichTextBox::gotFocus, this, &EditorWindow::Rich1_GotFocus);
    connect(m_textBox, &RichTextBox::lostFocus, this, &EditorWindow::Rich1_LostFocus);
    connect(m_textBox, &RichTextBox::dropped, this, &EditorWindow::Rich1_Drop);
    // The right button opens the editing menu on release, not the box's own menu.
    m_textBox->setContextMenuPolicy(Qt::NoContextMenu);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    event->ignore(); // the editor is never destroyed while the program runs
    if (m_state.ShuttingDown)
        return;
    if (IsEditorDirty() != 0) {
        askToApply(false);
        return;
    }
    hide();
    RestoreImeState();
}

void EditorWindow::askToApply(bool forExit) {
    if (!m_msgForm) {
        m_msgForm = new ApplyQuestion(this);
        m_msgForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_msgForm->Command1, &QPushButton::clicked, this, [this] { Command_Click(1); });
        connect(m_msgForm->Command2, &QPushButton::clicked, this, [this] { Command_Click(2); });
        connect(m_msgForm->Command3, &QPushButton::clicked, this, [this] { Command_Click(3); });
    }
    m_msgForm->setWindowTitle(QStringLiteral("ピノラ") + QStringLiteral("：") + QStringLiteral("動作確認"));
    if (forExit) {
        // An open question from closing the editor becomes the exit's question.
        m_msgForm->hide();
        m_msgForm->setWindowModality(Qt::ApplicationModal);
        m_msgForm->exec();
    } else {
        m_msgForm->show();
        m_msgForm->raise();
    }
}

void EditorWindow::Command_Click(int button) {
    m_answer = button;
    QPointer<ApplyQuestion> dialog = m_msgForm;
    auto unloadDialog = [&] {
        if (dialog) {
            dialog->done(0);
            dialog->close();
        }
    };
    if (button == 3) {
        m_state.ExitConfirmed = false;
        unloadDialog();
        return;
    }
    if (m_state.ExitRequested) {
        m_state.ExitConfirmed = true;
        RestoreImeState();
        unloadDialog();
        hide();
        if (button == 1)
            CommitEditor();
        return;
    }
    RestoreImeState();
    hide();
    if (button == 1)
        CommitEditor();
    unloadDialog();
}
