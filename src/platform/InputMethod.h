#pragma once

#include <QDBusConnection>
#include <QTimer>

#include <memory>
#include <optional>

// The input method's open status, the one thing the editor asks of the input method:
// whether typing goes through it (open) or straight into the text (closed).
class InputMethod {
public:
    virtual ~InputMethod() = default;

    // fcitx5 when its controller is on the given bus (by default the session bus),
    // otherwise an input method that does nothing. Decided once, at the call.
    static std::unique_ptr<InputMethod> create();
    static std::unique_ptr<InputMethod> create(const QDBusConnection& bus);

    virtual bool available() const = 0;
    // Empty when there is no input method to ask or it gave no usable answer.
    virtual std::optional<bool> openStatus() const = 0;
    // Failures are ignored: the status simply stays as it was.
    virtual void setOpenStatus(bool open) = 0;
};

// No input method: nothing to read, nothing to switch.
class NoInputMethod final : public InputMethod {
public:
    bool available() const override { return false; }
    std::optional<bool> openStatus() const override { return std::nullopt; }
    void setOpenStatus(bool) override {}
};

// fcitx5 through its controller object on D-Bus. Open means fcitx5's state is
// "active"; "inactive" and "closed" both read as not open. Every call waits at most
// a fifth of a second, so a stuck fcitx5 cannot freeze the user interface, and an
// error or a timeout reads as no input method. fcitx5 is never started by a call.
class Fcitx5InputMethod final : public InputMethod {
public:
    explicit Fcitx5InputMethod(const QDBusConnection& bus);

    // Whether fcitx5's controller service has an owner on the bus right now.
    static bool isRegistered(const QDBusConnection& bus);

    bool available() const override;
    std::optional<bool> openStatus() const override;
    void setOpenStatus(bool open) override;

private:
    int state() const;

    QDBusConnection m_bus;
    // fcitx5 switches the input context that has the focus. A window just shown gets
    // its context created and focused over the toolkit's own connection, which can
    // reach fcitx5 after the call that switches it on: until fcitx5 reports a
    // focused context, switching on is tried again for a moment.
    QTimer m_retry;
    int m_retries = 0;
};
