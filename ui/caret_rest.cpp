#include "ui/caret_rest.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace kestrel {
namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

} // namespace

CaretRest::CaretRest(int idleMs, QObject* parent)
    : QObject(parent), flashTime_(QGuiApplication::styleHints()->cursorFlashTime())
{
    idle_.setSingleShot(true);
    idle_.setInterval(idleMs);
    connect(&idle_, &QTimer::timeout, this, [this] { rest(); });
    // A desktop that does not blink the caret at all needs no rest.
    if (flashTime_ <= 0)
        return;
    QCoreApplication::instance()->installEventFilter(this);
    idle_.start();
}

CaretRest::~CaretRest()
{
    if (resting_)
        wake();
}

bool CaretRest::eventFilter(QObject* watched, QEvent* event)
{
    if (isInput(event->type())) {
        if (resting_)
            wake();
        idle_.start();
    }
    return QObject::eventFilter(watched, event);
}

void CaretRest::rest()
{
    // A flash time of 0 shows the caret steadily; text widgets stop their
    // blink timer when the time changes.
    resting_ = true;
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CaretRest::wake()
{
    resting_ = false;
    QGuiApplication::styleHints()->setCursorFlashTime(flashTime_);
}

} // namespace kestrel
