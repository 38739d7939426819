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
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_preview = new QTextBrowser(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_restoreButton = new QPushButton(QStringLiteral("元に戻す"), this);
    m_restoreButton->setObjectName(QStringLiteral("restoreButton"));
    m_deleteButton = new QPushButton(QStringLiteral("完全に削除"), this);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_list, 3);
    lists->addWidget(m_preview, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_restoreButton);
    buttons->addWidget(m_deleteButton);
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

    connect(m_list, &QListWidget::itemSelectionChanged, this, &PeeledNotesWindow::showChosen);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PeeledNotesWindow::restoreChosen);
    connect(m_restoreButton, &QPushButton::clicked, this, &PeeledNotesWindow::restoreChosen);
    connect(m_deleteButton, &QPushButton::clicked, this, &PeeledNotesWindow::deleteChosen);
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
    m_notes = PeeledNotes::load(m_state.peeledNotesPath(), m_state.now()).notes;
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (qsizetype i = m_notes.size() - 1; i >= 0; --i) {
        const PeeledNote& note = m_notes.at(i);
        const QString text = QStringLiteral("%1\n作成 %2　はがした日時 %3")
                                 .arg(firstLine(note.record.textRtf), CodePage::decodeCp932(note.record.createdAt),
                                      note.peeledAt.toString(QStringLiteral("yy/MM/dd HH:mm:ss")));
        auto* item = new QListWidgetItem(ColorSwatch(note.record.backColor), text, m_list);
        item->setData(Qt::UserRole, qlonglong(i));
        if (wasChosen.contains(note)) {
            item->setSelected(true);
            m_list->setCurrentItem(item, QItemSelectionModel::Current);
        }
    }
    if (m_list->selectedItems().isEmpty() && m_list->count() > 0)
        m_list->setCurrentRow(0);
    showChosen();
}

void PeeledNotesWindow::showChosen() {
    const QList<PeeledNote> notes = chosen();
    m_restoreButton->setEnabled(!notes.isEmpty());
    m_deleteButton->setEnabled(!notes.isEmpty());
    m_preview->clear();
    m_preview->setPalette(QPalette());
    if (notes.isEmpty())
        return;
    const NoteRecord& record = notes.constFirst().record;
    QPalette palette = m_preview->palette();
    palette.setColor(QPalette::Base, ColorValue::toQColor(record.backColor));
    m_preview->setPalette(palette);
    RtfReader::read(record.textRtf, *m_preview->document());
}

QList<PeeledNote> PeeledNotesWindow::chosen() const {
    // In the order of the list, newest first.
    QList<PeeledNote> notes;
    for (int row = 0; row < m_list->count(); ++row)
        if (const QListWidgetItem* item = m_list->item(row); item->isSelected())
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
    if (!PeeledNotes::remove(m_state.peeledNotesPath(), notes, m_state.now()))
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
    if (!PeeledNotes::remove(m_state.peeledNotesPath(), notes, m_state.now()))
        MessageBox::show(QStringLiteral("はがした付箋紙を削除できませんでした。"), this);
    refresh();
}
