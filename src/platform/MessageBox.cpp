#include "platform/MessageBox.h"

#include <QMessageBox>
#include <QPointer>

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

QMessageBox* makeBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                     QWidget* parent) {
    return new QMessageBox(icon, kTitle, text, buttons, parent, kDialogFlags);
}

} // namespace

void show(const QString& text, QWidget* parent) {
    if (testHandler()) {
        testHandler()(text);
        return;
    }
    QPointer<QMessageBox> box = makeBox(QMessageBox::Information, text, QMessageBox::Ok, parent);
    box->exec();
    delete box; // unless its parent went during the wait and took it along
}

QWidget* notify(const QString& text) {
    if (testHandler())
        testHandler()(text);
    QMessageBox* box = makeBox(QMessageBox::Information, text, QMessageBox::Ok, nullptr);
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
    QPointer<QMessageBox> box = makeBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    const bool yes = box->exec() == QMessageBox::Yes;
    delete box;
    return yes;
}

void setHandlerForTesting(Handler handler, bool answer) {
    testHandler() = std::move(handler);
    testAnswer() = answer;
}

} // namespace MessageBox
