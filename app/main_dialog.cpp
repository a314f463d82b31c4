#include "app/main_dialog.h"

#include <cstdio>

#include "engine/turn_flow.h"
#include "session/board_menu.h"
#include "session/commands.h"
#include "session/control_ids.h"
#include "session/hint.h"
#include "session/initialisation.h"
#include "session/marks.h"
#include "session/pending.h"
#include "settings/paths.h"
#include "text/cp932.h"
#include "ui/board/board_menu.h"

namespace kestrel {
namespace {

// The replay's command for a key of the board, or 0.
int replayCommandOf(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return ids::kMenuReplayBack;
    case Qt::Key_Right:
        return ids::kMenuReplayForward;
    case Qt::Key_Home:
        return ids::kMenuReplayFirst;
    case Qt::Key_End:
        return ids::kMenuReplayLast;
    case Qt::Key_Escape:
        return ids::kMenuReplayLeave;
    default:
        return 0;
    }
}

} // namespace

MainDialog::MainDialog(const std::string& exePath, Ipv4 bindAddress, QObject* parent)
    : QObject(parent), view_(window_.client()), timers_([this](int id) { onTimer(id); }),
      program_(view_, window_, socket_, timers_), dialogs_(program_, window_.client()),
      bindAddress_(bindAddress)
{
    fillPaths(program_.settings, exePath);
    program_.note = [](const std::string& line) {
        std::fprintf(stderr, "corvidae: %s\n", fromCp932(line).c_str());
    };
    window_.onCommand = [this](int id) { command(id); };
    window_.onClose = [this] { exit(); };
    // A click on the board, or Enter on the cell with the keyboard mark: one
    // way in. Clicks and commands come from the event loop, and one may have
    // been queued before the Exit command ran: after it they do nothing.
    window_.onBoardPress = [this](int x, int y) {
        if (exited_)
            return;
        Game game = program_.game();
        onBoardClick(game, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
        updateMarks(program_);
    };
    view_.keys().onPress = [this](int x, int y) { window_.pressBoard(x, y); };
    // The board's context menu: its items' states as it opens; its commands
    // come through onCommand.
    view_.keys().onMenu = [this](QPoint global) { window_.openBoardMenu(global); };
    // While a record is replayed the board's keys step through it, as the
    // menu's replay items do.
    view_.keys().onReplayKey = [this](int key) {
        const int id = replayCommandOf(key);
        if (exited_ || !program_.replay || id == 0)
            return false;
        window_.command(id);
        return true;
    };
    window_.boardMenu().onOpen = [this] {
        if (!exited_)
            updateBoardMenu(program_);
    };
}

MainDialog::~MainDialog() = default;

bool MainDialog::start(const std::string& loginName)
{
    InitialisationHooks hooks;
    hooks.loginName = loginName;
    hooks.openSocket = [this] {
        switch (socket_.open(program_, bindAddress_)) {
        case SocketSetup::Ok:
            return SocketOpenResult::Ok;
        case SocketSetup::BindFailed:
            return SocketOpenResult::PortFailed;
        default:
            return SocketOpenResult::OtherFailed;
        }
    };
    hooks.command = [this](int id) { command(id); };
    // An error box during the start runs events: a termination signal may
    // have run the Exit command meanwhile.
    if (!initialiseMainDialog(program_, hooks) || exited_)
        return false;
    window_.show();
    window_.activateWindow();
    window_.focus(ids::kChatInput);
    return true;
}

void MainDialog::exit()
{
    if (exited_)
        return;
    exited_ = true;
    // A dialog that is open ends as by its close box; none opens after this.
    dialogs_.closeForExit();
    exitCommand(program_, [this] { socket_.shutDown(); });
    // The computer's thread ends before the window goes.
    timers_.stop(kHintTimer);
    program_.computer.cancel();
    window_.boardMenu().close();
    window_.onClose = nullptr;
    window_.hide();
    if (onExited)
        onExited();
}

void MainDialog::onTimer(int id)
{
    if (id != kHintTimer)
        onRetryTimer(program_, id);
    else if (!exited_)
        onHintTimer(program_);
}

void MainDialog::command(int id)
{
    if (exited_)
        return;
    const bool replaying = program_.replay.has_value();
    runCommand(program_, dialogs_, id, [this] { exit(); });
    // A replay that begins takes the keyboard to the board, where the arrows step.
    if (!exited_ && !replaying && program_.replay)
        view_.keys().focusMarked();
}

} // namespace kestrel
