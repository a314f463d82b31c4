#pragma once
// The about dialog's texts and its mail button.

#include <functional>
#include <string>

namespace kestrel {

class Dialog;
class DialogControls;

// The maker's feedback address, as the mail button shows it.
inline constexpr const char* kFeedbackAddress = "KestrelBay-Feedback@example.jp";

// Shift-JIS texts of the dialog: the title with the version, the maker's
// notice, and the two lines of the mail button.
const std::string& aboutTitleText();
const std::string& makerNoticeText();
std::string mailButtonText();

// "mailto:" and the feedback address, all in lower case.
std::string feedbackMailLink();

// The mail button: hands the link to the desktop (openLink, true when a
// program took it), warns in the program's warning box when none did, and
// closes the dialog either way.
void onMailButton(Dialog& dialog, DialogControls& controls,
                  const std::function<bool(const std::string& link)>& openLink);

} // namespace kestrel
