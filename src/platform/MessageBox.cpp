#include "platform/MessageBox.h"

#include <QMessageBox>

namespace MessageBox {

namespace {

Handler& testHandler() {
    static Handler handler;
    return handler;
}

const QString kTitle = QStringLiteral("ピノラ");

} // namespace

void show(const QString& text, QWidget* parent) {
    if (testHandler()) {
        testHandler()(text);
        return;
    }
    QMessageBox::information(parent, kTitle, text, QMessageBox::Ok);
}

void notify(const QString& text) {
    if (testHandler()) {
        testHandler()(text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, kTitle, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void setHandlerForTesting(Handler handler) {
    testHandler() = std::move(handler);
}

} // namespace MessageBox
