#include "session/peers.h"

#include <vector>

#include "session/program.h"
#include "session/send.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {

namespace {

// A received announcement, split on "$" the way strtok splits it.
struct Announcement {
    bool hasName = false;
    std::string name;
    std::int32_t dialUp = 0;
};

Announcement readAnnouncement(const std::string& payload)
{
    Announcement result;
    std::size_t start = payload.find_first_not_of('$');
    if (start == std::string::npos)
        return result;
    std::size_t end = payload.find('$', start);
    result.hasName = true;
    // A name longer than the field is cut on a character boundary.
    result.name = cutCp932(std::string_view(payload).substr(start, end - start), kMaxNameBytes);
    if (end != std::string::npos)
        result.dialUp = decimalValue(std::string_view(payload).substr(end + 1));
    return result;
}

void emptyRow(PeerEntry& row)
{
    row.address.clear();
    row.name.clear();
    row.dialUp = 0;
}

// Keeps an open connect dialog's list box in step with a new or renamed row.
void mirrorRow(PeerListView& view, int row, bool existed, const std::string& name)
{
    bool selected = false;
    if (existed) {
        selected = view.isSelected(row);
        view.deleteItem(row);
    }
    view.insertItem(row, name);
    if (selected)
        view.select(row);
}

} // namespace

std::string announcementPayload(const Settings& settings)
{
    return settings.playerName + "$" + std::to_string(settings.dialUp);
}

int findPeer(const PeerList& peers, const std::string& address)
{
    for (int i = 0; i < peers.count; ++i) {
        if (peers.rows[static_cast<std::size_t>(i)].address == address)
            return i;
    }
    return -1;
}

void sendToAll(Program& program, int type, const std::string& payload)
{
    // Copies: an error box runs a nested loop, in which the lists may change.
    const std::string broadcast = program.match.broadcastAddress;
    sendDatagram(program, broadcast, type, payload);
    // Players on the host's other networks as well, when it is on several.
    const std::vector<std::string> others = program.match.otherBroadcastAddresses;
    for (const std::string& address : others)
        sendDatagram(program, address, type, payload);
    const std::vector<std::string> extra = program.settings.extraAddresses;
    for (const std::string& address : extra) {
        // An empty row names no destination: handed to sendDatagram, "" would
        // only bring up a look-up failure box.
        if (!address.empty())
            sendDatagram(program, address, type, payload);
    }
    std::vector<std::string> dialUpPeers;
    for (int i = 0; i < program.peers.count; ++i) {
        const PeerEntry& row = program.peers.rows[static_cast<std::size_t>(i)];
        if (row.dialUp == 1)
            dialUpPeers.push_back(row.address);
    }
    for (const std::string& address : dialUpPeers)
        sendDatagram(program, address, type, payload);
}

void onHello(Program& program, int type, const std::string& sender, const std::string& payload)
{
    PeerList& peers = program.peers;
    int index = findPeer(peers, sender);
    const bool existed = index >= 0;
    if (!existed) {
        if (peers.count >= PeerList::kRows)
            return; // a full list takes no one new and answers no one new
        index = peers.count++;
    }
    PeerEntry& row = peers.rows[static_cast<std::size_t>(index)];
    row.address = sender;

    Announcement announced = readAnnouncement(payload);
    bool changed = !existed;
    if (!announced.hasName) {
        row.name = "No Name";
        row.dialUp = 0;
    } else {
        if (existed && row.name != announced.name)
            changed = true;
        row.name = announced.name;
        row.dialUp = announced.dialUp;
    }

    if (program.openConnectDialog != nullptr && changed)
        mirrorRow(*program.openConnectDialog, index, existed, row.name);

    if (type == MSG_HELLO)
        sendDatagram(program, sender, MSG_HELLO_REPLY, announcementPayload(program.settings));
}

void onBye(Program& program, const std::string& sender)
{
    PeerList& peers = program.peers;
    int index = findPeer(peers, sender);
    if (index < 0)
        return;
    for (int i = index; i + 1 < peers.count; ++i)
        peers.rows[static_cast<std::size_t>(i)] = peers.rows[static_cast<std::size_t>(i) + 1];
    --peers.count;
    emptyRow(peers.rows[static_cast<std::size_t>(peers.count)]);
    if (program.openConnectDialog != nullptr)
        program.openConnectDialog->deleteItem(index);
}

} // namespace kestrel
