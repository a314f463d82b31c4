// A real match over real UDP: the main window (offscreen, driven by clicks
// as a player would) against the headless peer's bot in another network
// namespace. window_match_test.sh builds the LAN and runs this program
// inside the window's namespace; the program starts the peers (and the
// flooding host) in theirs with `ip netns exec`.
//
// The player here is patient where the protocol repeats nothing: it presses
// "決定" again when no answer came, and connects again after a refusal or
// silence. Resend questions are answered Yes.
#include "tests/support/running_program.h"

#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <fstream>
#include <regex>

#include "engine/board.h"
#include "engine/transcript.h"
#include "session/control_ids.h"
#include "session/dialogs/dialog_ids.h"
#include "tests/support/board_builder.h"
#include "text/cp932.h"
#include "tools/peer/peer_options.h"
#include "ui/dialogs/connect_window.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {
namespace {

using testing::BoxAnswerer;
using testing::click;
using testing::waitFor;

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// What window_match_test.sh tells this program about the LAN.
struct Lan {
    std::string peer = env("KESTREL_LAN_PEER");      // kestrel-peer
    std::string probe = env("KESTREL_LAN_PROBE");    // kestrel-probe
    std::string peerNs = env("KESTREL_LAN_PEER_NS"); // the bot's namespace
    std::string floodNs = env("KESTREL_LAN_FLOOD_NS");
    std::string address = env("KESTREL_LAN_ADDRESS"); // the window's address
    std::string logs = env("KESTREL_LAN_LOGS");
    bool complete() const { return !peer.empty() && !peerNs.empty() && !address.empty() && !logs.empty(); }
};

// A process in another namespace whose output lines are kept (and logged).
class NamespaceProcess {
public:
    NamespaceProcess(const std::string& ns, const std::string& log, QStringList command)
        : log_(log, std::ios::trunc)
    {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QStringLiteral("ip"),
                       QStringList{"netns", "exec", QString::fromStdString(ns)} + command);
    }
    ~NamespaceProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }

    std::vector<std::string> lines;

    std::vector<std::string> linesMatching(const std::string& pattern, std::size_t from = 0) const
    {
        const std::regex re(pattern);
        std::vector<std::string> out;
        for (std::size_t i = from; i < lines.size(); ++i)
            if (std::regex_search(lines[i], re))
                out.push_back(lines[i]);
        return out;
    }
    // Waits for a line matching `pattern`; returns it, or "" after `ms`.
    std::string waitForLine(const std::string& pattern, int ms = 10000, std::size_t from = 0)
    {
        waitFor([&] { return !linesMatching(pattern, from).empty(); }, ms);
        const std::vector<std::string> found = linesMatching(pattern, from);
        return found.empty() ? "" : found.front();
    }
    void terminate() { process_.terminate(); }
    // The exit code, or -1 when it has not ended within `ms`.
    int waitForExit(int ms = 10000)
    {
        waitFor([this] { return process_.state() == QProcess::NotRunning; }, ms);
        return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::NormalExit
                   ? process_.exitCode()
                   : -1;
    }

private:
    void readLines()
    {
        partial_ += process_.readAllStandardOutput().toStdString();
        for (std::size_t end; (end = partial_.find('\n')) != std::string::npos; partial_.erase(0, end + 1)) {
            lines.push_back(partial_.substr(0, end));
            log_ << lines.back() << '\n' << std::flush;
        }
    }

    QProcess process_;
    std::ofstream log_;
    std::string partial_;
};

// The bot: kestrel-peer --bot in the peer's namespace, its lines logged.
std::unique_ptr<NamespaceProcess> startBot(const Lan& lan, const std::string& name, QStringList options)
{
    options =
        QStringList{
            "env",    "KESTREL_PEER_IN_NAMESPACE=1", QString::fromStdString(lan.peer), "--log", "--bot",
            "--name", QString::fromStdString(name)} +
        options;
    auto bot = std::make_unique<NamespaceProcess>(lan.peerNs, lan.logs + "/" + name + ".log", options);
    EXPECT_NE(bot->waitForLine("^READY "), "") << name << " did not start";
    return bot;
}

// The window, started as "taro" on port 20000. Retry questions come after
// 5000 / retryDivisor ms. Every datagram it sends is counted by type, and
// every board click posted by the test is timed up to its handler.
struct Window : testing::RunningProgram {
    std::map<int, int> sent;            // datagrams sent, by type
    std::vector<double> clickLatencyMs; // posted click to its handler
    QElapsedTimer clock;
    qint64 postedAt = -1;

    Window(int retryDivisor, BoxAnswerer::Decide decide) : RunningProgram(20000, kAnyIpv4, std::move(decide))
    {
        main->timers().setIntervalDivisor(retryDivisor);
        main->socket().onSent = [this](Ipv4, std::string_view bytes) {
            ParsedDatagram parsed;
            ++sent[parseDatagram(bytes, parsed) ? parsed.type : 0];
        };
        auto press = main->window().onBoardPress;
        main->window().onBoardPress = [this, press](int x, int y) {
            if (postedAt >= 0)
                clickLatencyMs.push_back(double(clock.nsecsElapsed() - postedAt) / 1e6);
            postedAt = -1;
            press(x, y);
        };
        clock.start();
        EXPECT_TRUE(main->start("taro"));
    }
    MatchState& match() { return main->program().match; }
    std::string status() { return window().text(ids::kStatus); }
    int boxesContaining(const char* utf8) const
    {
        return static_cast<int>(boxes.texts.filter(QString::fromUtf8(utf8)).size());
    }

    // A click on cell k posted to the event queue, behind whatever waits there.
    void postClickOnCell(int k)
    {
        QWidget* client = window().client();
        const QPointF at(10 + 34 * (k % 8) + 17, 25 + 34 * (k / 8) + 17);
        const QPointF global = client->mapToGlobal(at);
        postedAt = clock.nsecsElapsed();
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                client, new QMouseEvent(type, at, global, Qt::LeftButton,
                                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                        Qt::NoModifier));
    }
    // The connect dialog, and `action` in it once it is on screen.
    void inConnectDialog(const std::function<void(ConnectWindow&)>& action)
    {
        inNextDialog([action](DialogWindow& open) { action(static_cast<ConnectWindow&>(open)); });
        clickMenu(ids::kMenuConnect);
    }
};

bool hasTurn(const MatchState& m)
{
    return m.myTurn == 1 && !(m.moveAwaitingAck && *m.moveAwaitingAck == m.board);
}

// A player of one game in the window against the bot, acting on what the
// window shows until the game is over.
struct Player {
    Window& w;
    std::string opponent; // the bot's name
    bool asks;            // this side sends the request; else it is asked
    Side side;
    int patienceMs;       // how long to wait for an answer the protocol never repeats
    int connectAgain = 0; // requests repeated after a refusal or silence
    int decideAgain = 0;  // "決定" pressed again
    int clicks = 0;
    bool chatted = false;
    bool replied = false; // the bot's answer to our chat line was shown
    int asked = 0;        // request questions seen

    bool gameOver()
    {
        MatchState& m = w.match();
        if (m.orderDecided == 0 || m.connected == 0)
            return false;
        MatchState copy = m;
        return !hasLegalMove(copy, kBlack) && !hasLegalMove(copy, kWhite) &&
               w.status() == resultText(resultOf(m.blackCount, m.whiteCount));
    }

    // Plays until the game is over on this side; false after `ms`.
    bool play(int ms)
    {
        QDeadlineTimer deadline(ms);
        MatchState& m = w.match();
        while (!deadline.hasExpired()) {
            if (gameOver())
                return true;
            // The opponent asking again while connected (it lost our
            // acceptance) is asked about, and Yes makes a new connection
            // without a moment unconnected.
            if (const int questions = w.boxesContaining("からの申し込みがきています"); questions != asked) {
                asked = questions;
                chatted = false;
            }
            if (m.connected == 0) {
                chatted = false;
                asks ? request() : void(waitFor([&] { return m.connected == 1; }, patienceMs));
            } else if (m.connectRequestSeq != 0)
                awaitAnswer();
            else if (m.orderDecided == 0)
                chatThenDecide();
            else if (side == kBlack && w.control(ids::kGameStart)->isEnabled())
                startGame();
            else if (hasTurn(m))
                move();
            else
                waitFor([&] { return hasTurn(m) || gameOver() || m.orderDecided == 0; }, patienceMs);
        }
        return false;
    }

    // The connect dialog: wait for the bot in the list (asking everyone
    // again when it is missing), choose it, OK.
    void request()
    {
        w.inConnectDialog([this](ConnectWindow& dialog) {
            auto* list = qobject_cast<QListWidget*>(dialog.control(dlg::kPeerList));
            const QString name = QString::fromStdString(opponent);
            for (int i = 0; i < 20 && list->findItems(name, Qt::MatchExactly).isEmpty(); ++i) {
                if (!waitFor([&] { return !list->findItems(name, Qt::MatchExactly).isEmpty(); }, patienceMs))
                    click(dialog.control(dlg::kRefresh));
            }
            const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
            if (items.isEmpty()) {
                dialog.reject();
                return;
            }
            click(list->viewport(), list->visualItemRect(items.front()).center());
            click(dialog.control(dlg::kOk));
        });
    }

    // No answer within patience: connect again.
    void awaitAnswer()
    {
        MatchState& m = w.match();
        const std::int32_t seq = m.connectRequestSeq;
        if (!waitFor([&] { return m.connectRequestSeq != seq || m.connected == 0; }, patienceMs)) {
            ++connectAgain;
            request();
        }
    }

    void chatThenDecide()
    {
        MatchState& m = w.match();
        if (!chatted) {
            // Once per connection: a lost acceptance may have made this one
            // for this side only, and the bot answers nobody then.
            chatted = true;
            // Typed as an input method commits Japanese text.
            QInputMethodEvent typed;
            typed.setCommitString(QString::fromUtf8("よろしく"));
            QApplication::sendEvent(w.control(ids::kChatInput), &typed);
            // The bot's answer, under whichever name the window lists its
            // address by (see playTwoMatches); counted, as earlier games'
            // answers stay in the log.
            const auto replies = [&] {
                const std::string log = w.window().text(ids::kChatLog);
                const std::string reply = SJ("】\r\nre: よろしく");
                std::size_t count = 0;
                for (std::size_t at = log.find(reply); at != std::string::npos; at = log.find(reply, at + 1))
                    ++count;
                return count;
            };
            const std::size_t before = replies();
            const int questions = w.boxesContaining("からの申し込みがきています");
            click(w.control(ids::kSend));
            waitFor(
                [&] {
                    replied = replied || replies() > before;
                    return replied || m.connected == 0;
                },
                20000);
            // The bot asked again meanwhile (it lost our acceptance and
            // ignored the line) and Yes renewed the connection: chat anew.
            if (!replied && w.boxesContaining("からの申し込みがきています") != questions)
                return;
        }
        const std::int32_t before = m.nextSeq;
        click(w.control(side == kBlack ? ids::kFirstBlack : ids::kSecondWhite));
        click(w.control(ids::kDecide));
        if (m.nextSeq == before)
            return; // nothing was sent: the connection has gone meanwhile
        if (!waitFor([&] { return m.orderDecided == 1 || m.connected == 0; }, patienceMs))
            ++decideAgain;
    }

    void startGame()
    {
        MatchState& m = w.match();
        click(w.control(ids::kGameStart));
        waitFor([&] { return m.myTurn == 1 || m.orderDecided == 0; }, 20000);
    }

    void move()
    {
        MatchState& m = w.match();
        MatchState copy = m;
        const std::vector<int> cells = testing::legalCells(copy, m.mySide);
        if (cells.empty())
            return;
        const Board before = m.board;
        ++clicks;
        w.postClickOnCell(cells.front());
        waitFor([&] { return m.board != before || !hasTurn(m); }, 5000);
    }
};

// After a game: the bot's result and final board agree with the window's.
void expectSameEnd(Window& w, NamespaceProcess& bot, const Player& player)
{
    const MatchState& m = w.match();
    const std::string result = bot.waitForLine("^RESULT ", 20000);
    ASSERT_NE(result, "") << "the bot saw no result";
    EXPECT_EQ(result, "RESULT " + fromCp932(w.status()) + " " + std::to_string(m.blackCount) + " " +
                          std::to_string(m.whiteCount));
    // ... and showed it in its status line, as the window does.
    EXPECT_EQ(bot.linesMatching("^STATUS ").back(), "STATUS " + fromCp932(w.status()));
    std::vector<std::string> boards = bot.linesMatching("^BOARD ");
    ASSERT_FALSE(boards.empty());
    std::string botBoard = boards.back().substr(6, 64);
    std::reverse(botBoard.begin(), botBoard.end());
    std::string picture;
    for (CellState cell : m.board)
        picture += cell == kBlack ? 'x' : cell == kWhite ? 'o' : '.';
    EXPECT_EQ(botBoard, picture) << "the bot's board, turned by 180 degrees, and the window's";
    // Each side's record is the same game seen from its own side of the board.
    const std::vector<std::string> records = bot.linesMatching("^RECORD ");
    ASSERT_FALSE(records.empty());
    std::vector<int> turned;
    for (const WrittenMove& move : findTranscript(records.back().substr(7)))
        turned.push_back(kCellCount - 1 - move.cell);
    EXPECT_EQ(turned, w.main->program().kept.record.moves);
    EXPECT_EQ(turned.size(), static_cast<std::size_t>(m.blackCount + m.whiteCount - 4));
    const auto botMoves = bot.linesMatching("^BOT MOVE ").size();
    EXPECT_EQ(static_cast<int>(botMoves) + player.clicks, m.blackCount + m.whiteCount - 4)
        << "every piece was placed by a click or by the bot";
}

// "ゲーム終了" and then "切断", both from the window; the bot is told.
void endAndDisconnect(Window& w, NamespaceProcess& bot, bool lossy)
{
    const std::size_t from = bot.lines.size();
    click(w.control(ids::kGameEnd));
    EXPECT_TRUE(waitFor(
        [&] {
            return w.status() == SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい");
        },
        20000));
    EXPECT_NE(bot.waitForLine("^STATUS ゲームが終了しました　再開する場合は、先攻後攻の決定から行って下さい",
                              10000, from),
              "");
    w.clickMenu(ids::kMenuDisconnect);
    EXPECT_EQ(w.match().connected, 0);
    // A lost MSG_DISCONNECT is not repeated: over a lossy link the bot may miss it.
    const std::string told =
        bot.waitForLine("^INFORMATION 相手が接続を終了しました", lossy ? 1000 : 10000, from);
    if (!lossy) {
        EXPECT_NE(told, "");
    }
}

// What the link cost: datagrams, resends, repeats and the slowest click.
void printSummary(const char* title, Window& w, int repeats, const std::vector<NamespaceProcess*>& bots)
{
    int sent = 0;
    for (auto [type, count] : w.sent)
        sent += count;
    std::size_t botSent = 0, botResends = 0;
    for (NamespaceProcess* bot : bots) {
        botSent += bot->linesMatching("^SEND ").size();
        botResends += bot->linesMatching("^QUESTION .*再送しますか -> yes").size();
    }
    std::printf(
        "%s: window sent %d datagrams, bots %zu; resends: window %d, bots %zu; repeated by the player %d;"
        " slowest click %.2f ms\n",
        title, sent, botSent, w.boxesContaining("再送しますか"), botResends, repeats,
        w.clickLatencyMs.empty() ? 0.0 : *std::max_element(w.clickLatencyMs.begin(), w.clickLatencyMs.end()));
}

// The checks that keep this program off the machine's network.
bool readyToRun(const Lan& lan)
{
    if (!lan.complete()) {
        ADD_FAILURE() << "run by window_match_test.sh, which builds the LAN";
        return false;
    }
    if (!peer::inSeparateNetworkNamespace()) {
        ADD_FAILURE() << "refusing to open a socket in the machine's own network namespace";
        return false;
    }
    return true;
}

// Two games: the window asks the bot and plays black; then another bot asks
// the window, which says Yes and plays white. Over a lossy link every
// message may need repeating; resends and repeats are counted.
void playTwoMatches(bool lossy)
{
    const Lan lan;
    if (!readyToRun(lan))
        return;
    const int divisor = lossy ? 10 : 1;
    const int patience = lossy ? 400 : 5000;
    const int gameMs = lossy ? 90000 : 30000;
    QStringList nudging;
    if (lossy)
        nudging = {"--time-divisor", "10", "--nudge", "400"};
    Window w(divisor, {});

    auto hanako = startBot(lan, "hanako", QStringList{"--order", "wait", "--chat-reply", "re: %s"} + nudging);
    Player first{w, "hanako", true, kBlack, patience};
    ASSERT_TRUE(first.play(gameMs)) << "the first game did not end";
    EXPECT_TRUE(first.replied) << "no chat line came back";
    EXPECT_NE(hanako->waitForLine("^QUESTION （taro）からの申し込みがきています。"), "");
    EXPECT_NE(hanako->waitForLine("^APPEND 1081 【[^】]+】\\\\r\\\\nよろしく"), "");
    EXPECT_EQ(hanako->linesMatching("^BOT SIDE ").back(), "BOT SIDE white");
    expectSameEnd(w, *hanako, first);
    endAndDisconnect(w, *hanako, lossy);
    hanako->terminate();
    EXPECT_EQ(hanako->waitForExit(), 0);

    auto jiro = startBot(lan, "jiro",
                         QStringList{"--request", QString::fromStdString(lan.address), "--order", "wait",
                                     "--retry", "--chat-reply", "re: %s"} +
                             nudging);
    Player second{w, "jiro", false, kWhite, patience};
    ASSERT_TRUE(second.play(gameMs)) << "the second game did not end";
    EXPECT_TRUE(second.replied) << "no chat line came back";
    // Both bots run at the bot namespace's one address: the window names the
    // asker by the player it lists there, which is still hanako when her
    // goodbye was lost on the lossy link (it is never repeated).
    EXPECT_GE(w.boxesContaining("）からの申し込みがきています。"), 1);
    // Under the name jiro knows the window by: its address, when no
    // announcement of the window reached it before it asked.
    EXPECT_NE(jiro->waitForLine("^APPEND 1081 【[^】]+】\\\\r\\\\nよろしく"), "");
    EXPECT_EQ(jiro->linesMatching("^BOT SIDE ").back(), "BOT SIDE black");
    expectSameEnd(w, *jiro, second);
    endAndDisconnect(w, *jiro, lossy);
    if (!lossy) {
        EXPECT_EQ(jiro->waitForExit(), 0) << "jiro ends once disconnected";
        EXPECT_NE(jiro->waitForLine("^BOT DONE"), "");
    }
    jiro->terminate();
    jiro->waitForExit();
    w.main->exit();

    EXPECT_EQ(w.boxes.captions.count(QString::fromUtf8("エラー")), 0)
        << w.boxes.texts.join("; ").toStdString();
    const int repeats = first.connectAgain + first.decideAgain + second.connectAgain + second.decideAgain;
    if (!lossy) {
        EXPECT_EQ(w.boxesContaining("再送しますか"), 0);
        EXPECT_EQ(repeats, 0);
    }
    printSummary(lossy ? "lossy link" : "plain link", w, repeats, {hanako.get(), jiro.get()});
}

TEST(WindowMatch, TwoGamesAgainstTheBot)
{
    playTwoMatches(false);
}

TEST(WindowMatch, TwoGamesOverALossyLink)
{
    playTwoMatches(true);
}

// One game while a third host floods the window with announcements,
// requests, chat lines and malformed datagrams. Requests are refused at once
// (no question is asked), and posted clicks reach their handler quickly.
TEST(WindowMatch, GameUnderAFlood)
{
    const Lan lan;
    if (!readyToRun(lan))
        return;
    ASSERT_FALSE(lan.floodNs.empty());
    const int rate =
        std::stoi(env("KESTREL_LAN_FLOOD_RATE").empty() ? "4000" : env("KESTREL_LAN_FLOOD_RATE"));
    // A request could be asked about only if it came from the flood: No to
    // it (it is counted); Yes to resending, OK to the rest.
    Window w(10, [](const QMessageBox& box) {
        if (box.button(QMessageBox::No) == nullptr)
            return QMessageBox::Ok;
        return box.text().contains(QString::fromUtf8("申し込みを受けますか")) ? QMessageBox::No
                                                                              : QMessageBox::Yes;
    });
    auto hanako =
        startBot(lan, "hanako", {"--order", "wait", "--chat-reply", "re: %s", "--time-divisor", "10"});
    Player player{w, "hanako", true, kBlack, 5000};
    MatchState& m = w.match();
    player.request();
    ASSERT_TRUE(waitFor([&] { return m.connected == 1 && m.connectRequestSeq == 0; }, 10000));

    NamespaceProcess flood(lan.floodNs, lan.logs + "/flood.log",
                           {QString::fromStdString(lan.probe), "flood", QString::fromStdString(lan.address),
                            "20000", QString::number(rate), "10"});
    ASSERT_TRUE(waitFor([&] { return w.sent[MSG_CONNECT_REFUSE] > 0; }, 5000)) << "the flood does not arrive";
    ASSERT_TRUE(player.play(60000)) << "the game did not end";
    expectSameEnd(w, *hanako, player);
    const std::string flooded = flood.waitForLine("^FLOOD ", 20000);
    ASSERT_NE(flooded, "") << "the flood did not end";
    endAndDisconnect(w, *hanako, false);
    hanako->terminate();
    EXPECT_EQ(hanako->waitForExit(), 0);
    w.main->exit();

    EXPECT_EQ(w.boxesContaining("申し込みを受けますか"), 0) << "every request came while connected";
    EXPECT_EQ(w.boxes.captions.count(QString::fromUtf8("エラー")), 0);
    ASSERT_FALSE(w.clickLatencyMs.empty());
    for (double ms : w.clickLatencyMs)
        EXPECT_LT(ms, 100.0) << "a click waited too long for its handler";
    std::printf(
        "flood: %s (sent, failed, ms, per second); window refused %d requests, answered %d chat lines\n",
        flooded.c_str(), w.sent[MSG_CONNECT_REFUSE], w.sent[MSG_CHAT_ACK]);
    printSummary("flooded", w, player.connectAgain + player.decideAgain, {hanako.get()});
}

} // namespace
} // namespace kestrel
