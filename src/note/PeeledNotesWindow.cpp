#include "note/PeeledNotesWindow.h"

#include "note/AppState.h"
#include "note/ColorSwatch.h"
#include "note/NoteBuilder.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "platform/WindowKeys.h"
#include "rtf/RtfPlainText.h"
#include "rtf/RtfReader.h"
#include "text/CodePage.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

QString firstLine(const QByteArray& rtf) {
    QTextDocument document;
    RtfReader::read(rtf, document);
    const QString line = RtfPlainText::lines(document).section(QLatin1Char('\n'), 0, 0).trimmed();
    return line.isEmpty() ? QStringLiteral("（空の付箋紙）") : line;
}

} // namespace

PeeledNotesWindow::PeeledNotesWindow(AppState& state)
    : QWidget(nullptr, Qt::Window)
    , m_state(state) {
    setObjectName(QStringLiteral("PeeledNotesWindow"));
    setWindowTitle(QStringLiteral("ピノラ：はがした付箋紙"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Preview = new QTextBrowser(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    RestoreButton = new QPushButton(QStringLiteral("元に戻す"), this);
    RestoreButton->setObjectName(QStringLiteral("RestoreButton"));
    DeleteButton = new QPushButton(QStringLiteral("完全に削除"), this);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);

    auto* lists = new QHBoxLayout;
    lists->addWidget(List1, 3);
    lists->addWidget(Preview, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RestoreButton);
    buttons->addWidget(DeleteButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);
    resize(640, 360);
    WindowKeys::closeOnEscape(*this);

    // The file is written anew each time, under a new name renamed over the old one:
    // its folder tells.
    m_watcher = new QFileSystemWatcher(this);
    m_watcher->addPath(QFileInfo(m_state.peeledNotesPath()).path());
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &PeeledNotesWindow::refreshWhenChanged);

    connect(List1, &QListWidget::itemSelectionChanged, this, &PeeledNotesWindow::showChosen);
    connect(List1, &QListWidget::itemDoubleClicked, this, &PeeledNotesWindow::restoreChosen);
    connect(RestoreButton, &QPushButton::clicked, this, &PeeledNotesWindow::restoreChosen);
    connect(DeleteButton, &QPushButton::clicked, this, &PeeledNotesWindow::deleteChosen);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void PeeledNotesWindow::showPeeledNotes() {
    refresh();
    Twips::showCentredInFront(*this);
}

void PeeledNotesWindow::refreshWhenChanged() {
    const QFileInfo file(m_state.peeledNotesPath());
    if (std::pair(file.lastModified(), file.size()) != m_read)
        refresh();
}

void PeeledNotesWindow::refresh() {
    const QList<PeeledNote> wasChosen = chosen();
    const QFileInfo file(m_state.peeledNotesPath());
    m_read = {file.lastModified(), file.size()};
    m_notes = PeeledNotes::load(m_state.peeledNotesPath(), m_state.Now()).notes;
    const QSignalBlocker quiet(List1);
    List1->clear();
    for (qsizetype i = m_notes.size() - 1; i >= 0; --i) {
        const PeeledNote& note = m_notes.at(i);
        const QString text = QStringLiteral("%1\n作成 %2　はがした日時 %3")
                                 .arg(firstLine(note.record.TextRTF), CodePage::decodeCp932(note.record.CreatedAt),
                                      note.peeledAt.toString(QStringLiteral("yy/MM/dd HH:mm:ss")));
        auto* item = new QListWidgetItem(ColorSwatch(note.record.BackColor), text, List1);
        item->setData(Qt::UserRole, qlonglong(i));
        if (wasChosen.contains(note)) {
            item->setSelected(true);
            List1->setCurrentItem(item, QItemSelectionModel::Current);
        }
    }
    if (List1->selectedItems().isEmpty() && List1->count() > 0)
        List1->setCurrentRow(0);
    showChosen();
}

void PeeledNotesWindow::showChosen() {
    const QList<PeeledNote> notes = chosen();
    RestoreButton->setEnabled(!notes.isEmpty());
    DeleteButton->setEnabled(!notes.isEmpty());
    Preview->clear();
    Preview->setPalette(QPalette());
    if (notes.isEmpty())
        return;
    const NoteRecord& record = notes.constFirst().record;
    QPalette palette = Preview->palette();
    palette.setColor(QPalette::Base, ColorValue::toQColor(record.BackColor));
    Preview->setPalette(palette);
    RtfReader::read(record.TextRTF, *Preview->document());
}

QList<PeeledNote> PeeledNotesWindow::chosen() const {
    // In the order of the list, newest first.
    QList<PeeledNote> notes;
    for (int row = 0; row < List1->count(); ++row)
        if (const QListWidgetItem* item = List1->item(row); item->isSelected())
            notes << m_notes.at(qsizetype(item->data(Qt::UserRole).toLongLong()));
    return notes;
}

void PeeledNotesWindow::restoreChosen() {
    const QList<PeeledNote> notes = chosen();
    if (notes.isEmpty())
        return;
    // Back on the desktop and saved first; only then out of the peeled notes.
    for (const PeeledNote& note : notes)
        BringBackPeeledNote(m_state, note.record);
    if (!SaveAllNotes(m_state))
        return; // told; still among the peeled notes as well
    if (!PeeledNotes::remove(m_state.peeledNotesPath(), notes, m_state.Now()))
        MessageBox::show(QStringLiteral("元に戻した付箋紙を、はがした付箋紙の一覧から消せませんでした。"), this);
    refresh();
}

void PeeledNotesWindow::deleteChosen() {
    const QList<PeeledNote> notes = chosen();
    if (notes.isEmpty())
        return;
    if (!MessageBox::ask(QStringLiteral("選んだ %1 枚の付箋紙を完全に削除します。元に戻すことはできません。"
                                        "よろしいですか？")
                             .arg(notes.size()),
                         this))
        return;
    if (!PeeledNotes::remove(m_state.peeledNotesPath(), notes, m_state.Now()))
        MessageBox::show(QStringLiteral("はがした付箋紙を削除できませんでした。"), this);
    refresh();
}
