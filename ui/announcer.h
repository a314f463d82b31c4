#pragma once
// Short texts said to screen readers without moving the keyboard focus: the
// moves on the board and each new status text.
//
// Qt 6.4 has no announcement event, so each text becomes an accessible
// object of its own, a notification that appears ("showing") among the
// announcer's children: readers speak a notification as it is shown, and
// one read late still holds its own text, not a later one. The last few are
// kept; older ones go. The announcer and its notifications are never drawn.
// A text is not said twice in a row: the status line that is set again to
// the text it shows, with nothing said in between, is heard once.

#include <QStringList>
#include <QWidget>

namespace kestrel {

class Announcer final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kKept = 8;

    explicit Announcer(QWidget* parent);

    // Says the text, unless it is empty or (unless evenIfSaidLast) the text said last.
    void announce(const QString& text, bool evenIfSaidLast = false);
    // The texts still kept, oldest first.
    QStringList texts() const;
};

// Announces through the announcer of the widget's window; nothing when it has none.
void announceIn(const QWidget* inWindow, const QString& text, bool evenIfSaidLast = false);

} // namespace kestrel
