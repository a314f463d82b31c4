#include "ui/dialogs/connect_window.h"

#include "session/dialogs/dialog_ids.h"

namespace kestrel {

ConnectWindow::ConnectWindow(Program& program)
    : DialogWindow({"接続（相手を決める）", 155, 121, /*minimiseBox=*/true}),
      timers_([this](int id) { logic_.onRefreshTimer(id); }, QtTimers::Mode::SingleShot),
      logic_(program, *this, timers_)
{
    addButton(dlg::kOk, {116, 84, 38, 14}, "OK", [this] { logic_.onOk(); });
    addButton(dlg::kCancel, {116, 68, 38, 14}, "ｷｬﾝｾﾙ", [this] { logic_.onCancel(); });
    addList(dlg::kPeerList, {2, 2, 110, 96}, "対戦できる相手");
    addLabel({116, 2, 38, 12}, "ポート番号");
    addLabel({116, 16, 38, 12}, "", Qt::AlignLeft, /*sunken=*/true, dlg::kPortLabel);
    addButton(dlg::kRefresh, {116, 30, 38, 34}, "リスト更新", [this] { logic_.onRefresh(); });
    addButton(dlg::kComputer, {2, 104, 152, 16}, "コンピュータと対戦する", [this] { logic_.onComputer(); });
    onCloseBox = [this] { logic_.onCancel(); };
    logic_.initialise();
}

ConnectWindow::~ConnectWindow() = default;

} // namespace kestrel
