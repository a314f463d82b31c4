#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "records/recent_games.h"
#include "tests/support/temp_dir.h"
#include "tests/support/transcript_cases.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

// Game number n of a long evening: the number stands in the opponent's name.
GameRecord game(int n)
{
    GameRecord record;
    record.date = {2024, 5, 1 + n / 1440, n / 60 % 24, n % 60};
    record.playerName = toCp932("太郎");
    record.opponentName = std::to_string(n);
    record.playerSide = n % 2 == 0 ? kBlack : kWhite;
    record.vsComputer = n % 3 == 0;
    record.moves = readTranscript(n % 2 == 0 ? testing::kWipeOut : testing::kPassGame).cells;
    record.resultText = toCp932(n % 2 == 0 ? "黒の勝ちです" : "白の勝ちです");
    record.blackCount = n % 2 == 0 ? 13 : 35;
    record.whiteCount = n % 2 == 0 ? 0 : 28;
    return record;
}

std::vector<GameRecord> games(int first, int last)
{
    std::vector<GameRecord> list;
    for (int n = first; n <= last; ++n)
        list.push_back(game(n));
    return list;
}

// The numbers of the games a list holds, oldest first.
std::vector<int> numbersOf(const std::vector<GameRecord>& list)
{
    std::vector<int> numbers;
    for (const GameRecord& g : list)
        numbers.push_back(std::stoi(g.opponentName));
    return numbers;
}

std::vector<int> range(int first, int last)
{
    std::vector<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

TEST(RecentGames, FileHoldsTheLastHundredGamesNewestListedFirst)
{
    TempDir dir;
    const std::string folder = dir / "config";
    EXPECT_TRUE(loadRecentGames(folder).games.empty());
    ASSERT_EQ(addRecentGame(folder, game(0)).result, SaveResult::Ok); // makes the folder
    EXPECT_EQ(readBytes(recentGamesPath(folder)), "kestrelbay 最近の対局 1\n"
                                                  "\n"
                                                  "日時: 2024-05-01 00:00\n"
                                                  "対局: コンピュータ\n"
                                                  "黒: 太郎\n"
                                                  "白: 0\n"
                                                  "自分: 黒\n"
                                                  "結果: 黒の勝ちです\n"
                                                  "石数: 黒 13 白 0\n"
                                                  "棋譜: d3c3b3e3f3f4f5b2a1\n"
                                                  "\n"
                                                  "以上\n");

    writeBytes(recentGamesPath(folder), recentGamesBytes(games(1, 100)));
    ASSERT_EQ(addRecentGame(folder, game(101)).result, SaveResult::Ok);
    ASSERT_EQ(addRecentGame(folder, game(102)).result, SaveResult::Ok);
    const RecentGames recent = loadRecentGames(folder);
    EXPECT_EQ(recent.notice, "");
    EXPECT_EQ(numbersOf(recent.games), range(3, 102));
    EXPECT_EQ(recent.games.back(), game(102));

    const std::vector<RecentGameEntry> entries = recentGameEntries(recent.games);
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_EQ(entries[0].index, 99u);
    EXPECT_EQ(entries[0].label, toCp932("2024-05-01 01:42  102  黒の勝ちです 13-0"));
    EXPECT_EQ(entries[99].label, toCp932("2024-05-01 00:03  3  白の勝ちです 35-28"));

    // A record that would not read back is refused, and the file stays.
    GameRecord broken = game(103);
    broken.moves.push_back(0);
    EXPECT_EQ(addRecentGame(folder, broken).result, SaveResult::WriteFailed);
    broken = game(103);
    broken.date.month = 13;
    EXPECT_EQ(addRecentGame(folder, broken).result, SaveResult::WriteFailed);
    EXPECT_EQ(numbersOf(loadRecentGames(folder).games), range(3, 102));
}

// A copy of the program killed at any moment of its save leaves the old list
// or the new one, never a torn file.
TEST(RecentGames, KillDuringSaveLeavesTheOldOrTheNewList)
{
    TempDir dir;
    const std::string path = recentGamesPath(dir.path());
    writeBytes(path, recentGamesBytes(games(0, 99)));
    int saved = 99; // the newest game the file is known to hold
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int done[2];
        ASSERT_EQ(::pipe(done), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(done[0]);
            for (int n = saved + 1;; ++n) {
                if (addRecentGame(dir.path(), game(n)).result != SaveResult::Ok)
                    ::_exit(1);
                const char byte = 1;
                if (::write(done[1], &byte, 1) != 1)
                    ::_exit(1);
            }
        }
        ::close(done[1]);
        // Kill after one to three saves, a varying way into the next one.
        char byte = 0;
        for (int k = 0; k <= round % 3; ++k)
            ASSERT_EQ(::read(done[0], &byte, 1), 1);
        for (int spin = 0; spin < (round * 7919) % 200000; ++spin)
            asm volatile("" ::: "memory"); // a busy wait the compiler keeps
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        int reported = 1 + round % 3;
        while (::read(done[0], &byte, 1) == 1)
            ++reported;
        ::close(done[0]);

        const RecentGames recent = loadRecentGames(dir.path());
        ASSERT_EQ(recent.notice, "");
        ASSERT_EQ(recent.games.size(), 100u);
        const int newest = std::stoi(recent.games.back().opponentName);
        EXPECT_TRUE(newest == saved + reported || newest == saved + reported + 1) << newest;
        EXPECT_EQ(numbersOf(recent.games), range(newest - 99, newest));
        saved = newest;
    }
}

TEST(RecentGames, DamagedOrForeignFileIsSetAsideAndNotTrusted)
{
    // What makes a list not one of ours.
    const std::string good = recentGamesBytes(games(0, 1));
    auto replaced = [&](std::string_view from, std::string_view to) {
        std::string bytes = good;
        return bytes.replace(bytes.find(from), from.size(), to);
    };
    const std::pair<const char*, std::string> damaged[] = {
        {"cut short", good.substr(0, good.size() - 8)},
        {"foreign", "[settings]\nport=20000\n"},
        {"other version", replaced("対局 1", "対局 2")},
        {"move that cannot be played", replaced("棋譜: d3c3", "棋譜: d3d3")},
        {"unknown field", replaced("自分: 黒", "自分: 黒\nメモ: x")},
        {"field twice", replaced("自分: 黒", "自分: 黒\n自分: 白")},
        {"missing field", replaced("自分: 黒\n", "")},
        {"bad count", replaced("黒 13 白 0", "黒 13 白 65")},
        {"more than 100 games", recentGamesBytes(games(0, 100))},
    };
    for (const auto& [name, bytes] : damaged)
        EXPECT_FALSE(readRecentGamesBytes(bytes)) << name;
    ASSERT_TRUE(readRecentGamesBytes(good));

    TempDir dir;
    const std::string path = recentGamesPath(dir.path());
    writeBytes(path, "[settings]\nport=20000\n");
    const RecentGames foreign = loadRecentGames(dir.path());
    EXPECT_TRUE(foreign.games.empty());
    EXPECT_TRUE(foreign.writable);
    EXPECT_EQ(foreign.notice, toCp932("最近の対局のファイル " + path + " は読めない内容のため " + path +
                                      ".damaged に移しました"));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(readBytes(path + ".damaged"), "[settings]\nport=20000\n");

    // The next game starts a new list; a list damaged later goes aside under
    // the next free name, and neither file set aside is touched.
    ASSERT_EQ(addRecentGame(dir.path(), game(1)).result, SaveResult::Ok);
    const std::string cut = readBytes(path).substr(0, 40);
    writeBytes(path, cut);
    const RecentGameSave save = addRecentGame(dir.path(), game(2));
    EXPECT_EQ(save.result, SaveResult::Ok);
    EXPECT_NE(save.notice.find(toCp932(path + ".damaged-2")), std::string::npos);
    EXPECT_EQ(readBytes(path + ".damaged-2"), cut);
    EXPECT_EQ(readBytes(path + ".damaged"), "[settings]\nport=20000\n");
    EXPECT_EQ(numbersOf(loadRecentGames(dir.path()).games), std::vector<int>{2});

    // Something that is no file at all in its place is moved aside as well.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(addRecentGame(dir.path(), game(3)).result, SaveResult::Ok);
    EXPECT_TRUE(std::filesystem::is_directory(path + ".damaged-3"));
    EXPECT_EQ(numbersOf(loadRecentGames(dir.path()).games), std::vector<int>{3});
}

} // namespace
} // namespace kestrel
