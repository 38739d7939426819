#include "app/ReadingWindow.h"

#include "platform/WindowKeys.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

ReadingWindow::ReadingWindow(const QString& caption)
    : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("ReadingWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    FileLine = new QLabel(this);
    FileLine->setObjectName(QStringLiteral("FileLine"));
    FileLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FileLine->setWordWrap(true);
    FileLine->hide();
    Text = new QTextBrowser(this);
    Text->setObjectName(QStringLiteral("Text"));
    Text->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FileLine);
    layout->addWidget(Text);
    resize(640, 520);
    WindowKeys::closeOnEscape(*this);
}

ReadingWindow* ReadingWindow::help() {
    auto* form = new ReadingWindow(QStringLiteral("ピノラ：ヘルプ"));
    form->Text->setSource(QUrl(QStringLiteral("qrc:/Pinora.html")));
    return form;
}

ReadingWindow* ReadingWindow::textFile(const QString& caption, const QString& path) {
    auto* form = new ReadingWindow(caption);
    form->FileLine->setText(QStringLiteral("ファイル: %1").arg(QDir::toNativeSeparators(path)));
    form->FileLine->show();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) // a log brought over from Windows is Shift-JIS
        form->Text->setPlainText(CodePage::decodeUtf8OrCp932(file.readAll()));
    else
        form->Text->setPlainText(QStringLiteral("このファイルを読めませんでした: %1").arg(file.errorString()));
    return form;
}
