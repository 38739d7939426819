#pragma once

#include <QString>
#include <Qt>

#include <functional>

class QWidget;

// The program's plain message boxes: an OK button, titled ピノラ. Tests replace
// what showing does, so that no modal box waits for a click.
namespace MessageBox {

// The window hints of the program's dialogs: a title and a close button, neither
// minimised nor maximised.
inline constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

void show(const QString& text, QWidget* parent = nullptr);

// Shown without waiting for the OK, for notices that must not hold up the program.
// The box lives until the user closes it. Under a test handler it is made but not
// shown; a test closes it as the user would.
QWidget* notify(const QString& text);

// A yes/no question, no the default; true for yes. Under a test handler the text
// goes to the handler and the answer is the one set for testing.
bool ask(const QString& text, QWidget* parent = nullptr);

using Handler = std::function<void(const QString& text)>;
void setHandlerForTesting(Handler handler, bool answer = false);

} // namespace MessageBox
