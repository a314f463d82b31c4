#pragma once
// The boxes that datagrams can open. Every box runs a nested event loop in
// which further datagrams are handled, and each of those may open a box of
// its own: a flood of requests, disconnects, moves or failing answers would
// otherwise stack boxes, and nested event loops on the thread's stack,
// without end. These records say which of them are open now, so that the
// handlers open each kind of box a bounded number of times at once.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

struct Program;

struct OpenBoxes {
    // Request questions open at once, each for another player: a few
    // players may well ask at the same moment, a flood of them is refused.
    static constexpr std::size_t kMaxRequestQuestions = 8;
    // Error boxes open at once, each with another text (the same text twice
    // at once tells the player nothing new).
    static constexpr std::size_t kMaxErrorBoxes = 4;

    struct Request {
        std::string sender;
        std::int32_t seq = 0; // the latest request of this player, answered when the question closes
    };
    std::vector<Request> requests;
    std::vector<std::string> errors;
    bool disconnectNotice = false; // "相手が接続を終了しました"
    bool passNotice = false;       // "コマが置けないのでパスします" after the opponent's move
};

// The error box with this text, unless the same text is open already or
// kMaxErrorBoxes are; then nothing is shown.
void showErrorBox(Program& program, const std::string& text);

// Marks a flag for as long as a box is open.
class BoxOpen {
public:
    explicit BoxOpen(bool& flag) : flag_(flag) { flag_ = true; }
    ~BoxOpen() { flag_ = false; }
    BoxOpen(const BoxOpen&) = delete;
    BoxOpen& operator=(const BoxOpen&) = delete;

private:
    bool& flag_;
};

} // namespace kestrel
