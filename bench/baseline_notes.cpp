// The bare toolkit's desktop full of notes, the baseline of the start-up benchmark:
//   baseline_notes DATAFILE [--raise]
// One frameless tool window per saved note with a read-only text box holding the
// note's text (read with the program's RTF reader), at the note's place and size,
// shown in one pass. Nothing else: no tray, no menus, no fitting, no raising; with
// --raise one pass that raises every window in order and activates the last, as
// the program does once its notes are shown.
#include "platform/Twips.h"
#include "rtf/RtfReader.h"
#include "store/NoteFile.h"

#include <QApplication>
#include <QFile>
#include <QTextEdit>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QFile file(app.arguments().value(1));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const std::optional<NoteFile::Contents> contents = NoteFile::decode(file.readAll());
    if (!contents)
        return 2;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (qint32 i = 0; i < contents->count; ++i) {
        const NoteRecord& r = contents->records.at(i);
        auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
        auto* text = new QTextEdit(window.get());
        text->setReadOnly(true);
        text->setFrameShape(QFrame::NoFrame);
        RtfReader::read(r.textRtf, *text->document());
        window->setGeometry(Twips::toPixels(r.left, r.top, r.width, r.height));
        text->setGeometry(window->rect());
        window->show();
        windows.push_back(std::move(window));
    }
    if (app.arguments().contains(QLatin1String("--raise")) && !windows.empty()) {
        for (const auto& window : windows)
            window->raise();
        windows.back()->activateWindow();
    }
    return app.exec();
}
