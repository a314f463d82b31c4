#pragma once
// Recording fakes of the dialog controls, the timers and the datagram
// transport. Questions are answered from a script.

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "session/ports.h"

namespace kestrel::testing {

class FakeDialog : public Dialog {
public:
    struct Box {
        std::string kind; // "error", "question", "information"
        std::string text; // Shift-JIS
    };
    std::map<int, bool> enabled;
    std::map<int, bool> checked;
    std::map<int, std::string> texts;
    std::vector<Box> boxes;
    std::deque<bool> answers; // answers to questions, front first; empty answers No
    int focused = 0;
    int restoreCount = 0;
    int bringToFrontCount = 0;
    // Runs while a box is open (before it returns), so tests can deliver events meanwhile.
    std::function<void(const Box&)> whileOpen;
    // When set, answers every question instead of `answers` (a bot's policy).
    std::function<bool(const std::string&)> answerQuestion;
    std::vector<std::string> copied; // texts put on the clipboard
    int openNow = 0;                 // boxes open now (whileOpen runs inside them)

    void enable(int id, bool on) override { enabled[id] = on; }
    void setChecked(int id, bool on) override { checked[id] = on; }
    bool isChecked(int id) const override
    {
        auto it = checked.find(id);
        return it != checked.end() && it->second;
    }
    void setText(int id, const std::string& text) override { texts[id] = text; }
    std::string text(int id) const override
    {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void appendText(int id, const std::string& text) override { texts[id] += text; }
    void focus(int id) override { focused = id; }
    void restoreIfMinimised() override { ++restoreCount; }
    void bringToFront() override { ++bringToFrontCount; }
    void showError(const std::string& text) override { open({"error", text}); }
    bool askYesNo(const std::string& text) override
    {
        bool yes = false;
        if (answerQuestion) {
            yes = answerQuestion(text);
        } else if (!answers.empty()) {
            yes = answers.front();
            answers.pop_front();
        }
        open({"question", text});
        return yes;
    }
    void showInformation(const std::string& text) override { open({"information", text}); }
    bool boxOpen() const override { return openNow > 0; }
    void copyText(const std::string& text) override { copied.push_back(text); }

    bool isEnabled(int id) const
    {
        auto it = enabled.find(id);
        return it != enabled.end() && it->second;
    }

private:
    void open(const Box& box)
    {
        boxes.push_back(box);
        ++openNow;
        if (whileOpen)
            whileOpen(box);
        --openNow;
    }
};

class FakeTimers : public Timers {
public:
    std::set<int> running;
    std::vector<std::pair<int, int>> started; // (id, ms) in order
    void start(int id, int ms) override
    {
        running.insert(id);
        started.emplace_back(id, ms);
    }
    void stop(int id) override { running.erase(id); }
    bool isRunning(int id) const { return running.count(id) != 0; }
};

class FakeTransport : public Transport {
public:
    struct Sent {
        Ipv4 address;
        std::uint16_t port;
        std::string bytes;
    };
    std::vector<Sent> sent;
    std::map<std::string, Ipv4> hosts; // names that resolve
    std::vector<std::string> lookedUp; // every name asked for, in order
    std::set<Ipv4> failing;            // destinations whose send fails
    int failCode = 10065;
    // Called for every datagram the socket took (the in-memory network hooks in here).
    std::function<void(const Sent&)> onSend;

    int sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes) override
    {
        if (failing.count(address))
            return failCode;
        sent.push_back({address, port, std::string(bytes)});
        if (onSend)
            onSend(sent.back());
        return 0;
    }
    bool resolve(const std::string& hostName, Ipv4& address) override
    {
        lookedUp.push_back(hostName);
        auto it = hosts.find(hostName);
        if (it == hosts.end())
            return false;
        address = it->second;
        return true;
    }
};

// The modal dialogs: each run is recorded, and a test decides what the
// player does in it.
class FakeSecondaryDialogs : public SecondaryDialogs {
public:
    std::vector<std::string> opened; // "connect", "settings", "help", "about", "save", "open"
    std::function<void()> onConnect;
    std::function<void()> onSettings;
    // The paths the player chooses in the file dialogs (empty: cancelled),
    // and the name the save dialog last suggested.
    std::function<std::string()> onSaveRecord;
    std::function<std::string()> onOpenRecord;
    std::string suggestedName;

    int raised = 0; // commands that found a dialog open and raised it

    void runConnectDialog() override { run("connect", onConnect); }
    void runSettingsDialog() override { run("settings", onSettings); }
    void runHelpDialog() override { run("help", nullptr); }
    void runAboutDialog() override { run("about", nullptr); }
    std::string runSaveRecordDialog(const std::string& suggested) override
    {
        suggestedName = suggested;
        return runFile("save", onSaveRecord);
    }
    std::string runOpenRecordDialog() override { return runFile("open", onOpenRecord); }
    bool raiseOpenDialog() override
    {
        if (depth_ == 0)
            return false;
        ++raised;
        return true;
    }

private:
    std::string runFile(const char* name, const std::function<std::string()>& player)
    {
        std::string path;
        run(name, [&] { path = player ? player() : std::string(); });
        return path;
    }
    void run(const char* name, const std::function<void()>& player)
    {
        opened.push_back(name);
        ++depth_;
        if (player)
            player();
        --depth_;
    }
    int depth_ = 0; // dialogs open now (the player's actions run inside one)
};

constexpr Ipv4 ip(unsigned a, unsigned b, unsigned c, unsigned d)
{
    return (a << 24) | (b << 16) | (c << 8) | d;
}

} // namespace kestrel::testing
