#include "ui/input_method.h"

#include <QWidget>

namespace kestrel {

void enableJapaneseInput(QWidget* edit)
{
    constexpr Qt::InputMethodHints kLatinOrDigits =
        Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhDigitsOnly | Qt::ImhFormattedNumbersOnly |
        Qt::ImhPreferNumbers | Qt::ImhEmailCharactersOnly | Qt::ImhUrlCharactersOnly |
        Qt::ImhDialableCharactersOnly | Qt::ImhSensitiveData | Qt::ImhHiddenText;
    edit->setAttribute(Qt::WA_InputMethodEnabled, true);
    edit->setInputMethodHints(edit->inputMethodHints() & ~kLatinOrDigits);
}

} // namespace kestrel
