#pragma once
// Japanese input in the boxes where the player types names and chat lines.
// Qt cannot switch an input method on and off when a box gains or loses the
// focus; what it can do is let the box take composed input and give the
// input method no hint that would hold it to Latin letters or digits.

class QWidget;

namespace kestrel {

// Input-method composition on, and every Latin-only or digits-only hint off.
void enableJapaneseInput(QWidget* edit);

} // namespace kestrel
