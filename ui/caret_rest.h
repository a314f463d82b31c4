#pragma once
// The text caret stops blinking once the player has given no input for a
// while (10 s, as on the GNOME desktop) and blinks again at the next key,
// click or input-method composition. A program left open with the focus in
// the chat input then wakes up no more at all.

#include <QObject>
#include <QTimer>

namespace kestrel {

class CaretRest final : public QObject {
public:
    static constexpr int kIdleMs = 10000;

    // Watches the input of the whole application from now on.
    explicit CaretRest(int idleMs = kIdleMs, QObject* parent = nullptr);
    ~CaretRest() override;

    // True while the caret stands still because of the rest.
    bool resting() const { return resting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rest();
    void wake();

    QTimer idle_;
    int flashTime_;
    bool resting_ = false;
};

} // namespace kestrel
