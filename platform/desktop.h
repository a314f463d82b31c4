#pragma once
// Hand-offs to the desktop: links to the program that handles their scheme,
// and the trust mark a desktop asks of a launcher before it starts it.

#include <string>

namespace kestrel {

// Opens a link with the desktop's handler for its scheme; true when a program took it.
bool openWithDesktop(const std::string& link);

// GNOME starts a launcher on the desktop only once it is marked trusted.
// Elsewhere (or without gio) this does nothing; a failure says nothing.
void markTrusted(const std::string& path);

} // namespace kestrel
