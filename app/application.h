#pragma once
// The program's application object. The program takes no command line: the
// window system library is shown the program's name alone, so its own
// options (-reverse, -style, -stylesheet, ...) change nothing.

#include <QApplication>
#include <memory>

namespace kestrel {

// Exit code of a start that cannot open its display.
inline constexpr int kNoDisplayExitCode = 1;

// The application object, or nullptr when the display cannot be opened;
// the reason is then on stderr, one line beginning with "corvidae: ".
// The library's own abort on a display it cannot open never happens.
std::unique_ptr<QApplication> startApplication(int argc, char** argv);

} // namespace kestrel
