#include "session/initialisation.h"

#include "engine/board.h"
#include "session/board_menu.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/peers.h"
#include "session/program.h"
#include "settings/settings_files.h"
#include "wire/message_type.h"

namespace kestrel {

bool initialiseMainDialog(Program& program, const InitialisationHooks& hooks)
{
    applyInitialControlStates(program);

    program.settings.loginUserName = hooks.loginName;
    loadSettings(program.settings);
    loadPreferences(program);

    Game game = program.game();
    layoutBoard(game);
    updateCounts(game);

    // Emptied in place: a fresh list is 70 KB, too much for a temporary.
    program.peers.rows.fill(PeerEntry{});
    program.peers.count = 0;
    program.match.nextSeq = 0;
    program.match.socketFailed = 0;
    program.match.connected = 0;

    SocketOpenResult opened = hooks.openSocket();
    if (opened == SocketOpenResult::Ok) {
        sendToAll(program, MSG_HELLO, announcementPayload(program.settings));
        program.dialog.enable(ids::kSend, false);
        program.dialog.focus(ids::kChatInput);
        return true;
    }

    program.match.socketFailed = 1;
    if (opened == SocketOpenResult::PortFailed)
        hooks.command(ids::kMenuSettings);
    hooks.command(ids::kMenuExit);
    return false;
}

} // namespace kestrel
