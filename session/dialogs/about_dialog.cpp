#include "session/dialogs/about_dialog.h"

#include "session/dialogs/dialog_controls.h"
#include "session/ports.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

// Lower case for the ASCII letters, as a mail link wants it; the bytes of
// other characters stay as they are.
std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

const std::string& aboutTitleText()
{
    return SJ("ケストレルベイ  Ver 1.0");
}

const std::string& makerNoticeText()
{
    return SJ("ケストレルベイ制作室\r\n無料でお使いいただけます");
}

std::string mailButtonText()
{
    return SJ("ご意見・ご要望はこのメールアドレスへ\r\n") + kFeedbackAddress;
}

std::string feedbackMailLink()
{
    return lowerAscii(std::string("mailto:") + kFeedbackAddress);
}

void onMailButton(Dialog& dialog, DialogControls& controls,
                  const std::function<bool(const std::string& link)>& openLink)
{
    if (!openLink || !openLink(feedbackMailLink()))
        dialog.showError(SJ("メーラーを起動できませんでした"));
    controls.close();
}

} // namespace kestrel
