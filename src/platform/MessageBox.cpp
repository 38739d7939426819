#include "platform/MessageBox.h"

#include <QMessageBox>

namespace MessageBox {

namespace {

Handler& testHandler() {
    static Handler handler;
    return handler;
}

bool& testAnswer() {
    static bool answer = false;
    return answer;
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

QWidget* notify(const QString& text) {
    if (testHandler())
        testHandler()(text);
    auto* box = new QMessageBox(QMessageBox::Information, kTitle, text, QMessageBox::Ok);
    // A message box is application modal unless told otherwise, and would keep
    // the user from moving or editing notes while it is open.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!testHandler())
        box->show();
    return box;
}

bool ask(const QString& text, QWidget* parent) {
    if (testHandler()) {
        testHandler()(text);
        return testAnswer();
    }
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void setHandlerForTesting(Handler handler, bool answer) {
    testHandler() = std::move(handler);
    testAnswer() = answer;
}

} // namespace MessageBox
