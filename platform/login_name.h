#pragma once
// The login name of the account that runs the program.

#include <string>
#include <string_view>

namespace kestrel {

// The account's login name as Shift-JIS bytes: from the user database for
// the effective user, else $USER, else $LOGNAME. Empty when none is found or
// when it does not fit 63 bytes (which counts as not obtained).
std::string loginUserName();

// A login name held in UTF-8 as the program keeps it: Shift-JIS, or empty
// when it is empty or longer than 63 bytes in Shift-JIS.
std::string fitLoginName(std::string_view utf8);

} // namespace kestrel
