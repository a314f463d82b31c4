#pragma once
// A computer player for network matches. It waits to be asked or asks a
// player itself, agrees the order of play, starts and ends games, answers
// every turn with the computer player's move at a level of its options, and
// can answer chat lines.
// Plain logic over one program record: the headless peer calls act() after
// every event its program handled, and tests do the same on the in-memory LAN.

#include <functional>
#include <string>

#include "engine/match_state.h"

namespace kestrel {

struct Program;

struct BotOptions {
    enum class Order { Black, White, Wait };
    enum class Then { Quit, Disconnect };

    std::string request;        // dotted address of the player to ask; empty: wait to be asked
    bool acceptRequests = true; // the answer to a request's question
    bool resend = true;         // the answer to a retry question
    Order order = Order::Black; // the side asked for with "決定"; Wait: the opponent decides
    int games = 0;              // games to play, then `then`; 0: no limit
    Then then = Then::Quit;
    bool restart = false;  // presses "ゲーム終了" after each result
    int endAfterMoves = 0; // presses "ゲーム終了" after this many own moves of a game; 0: never
    std::string chatReply; // answers each chat line with this ("%s": the line); empty: none
    // Asks again at the next nudge when refused, or when the connection ends
    // before a game was played (an acceptance or a request lost on the way).
    bool retry = false;
    // The computer's level its moves are chosen at (0: the program's own player).
    int level = 0;
};

class Bot {
public:
    // One line per thing a test may follow; Shift-JIS where texts are quoted.
    using Log = std::function<void(const std::string& line)>;

    Bot(Program& program, BotOptions options, Log log);

    // Looks at the program's state and does what the player would: called
    // once at the start and after every event the program has handled.
    void act();
    // Called when nothing has happened for a while: asks again for what may
    // have been lost (a request or its answer, the order or its answer).
    void nudge();
    // The answer to a question box: requests and resends as the options say.
    bool answer(const std::string& question) const;

    bool finished() const { return finished_; }
    int gamesPlayed() const { return gamesPlayed_; }

private:
    // What the bot has done in the game being set up or played.
    struct Round {
        bool orderPressed = false;
        bool decided = false;
        bool startPressed = false;
        bool ending = false; // "ゲーム終了" pressed during the game
        bool over = false;   // the result is in
        int ownMoves = 0;
    };

    void actUnconnected();
    void actInGame();
    void request();
    void pressDecide();
    void playMove();
    void gameDone(bool endedEarly);
    void leave();
    void replyToChat();
    void logBoard();
    bool gameOver() const;

    Program& program_;
    BotOptions options_;
    Log log_;
    Round round_;
    bool requested_ = false;
    bool connected_ = false;
    bool finished_ = false;
    bool retryOnNudge_ = false;
    bool playedAGame_ = false;
    int gamesPlayed_ = 0;
    std::size_t chatSeen_ = 0;
    Board lastBoard_{};
};

} // namespace kestrel
