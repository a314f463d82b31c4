#include "tools/peer/console.h"

#include <QAbstractEventDispatcher>
#include <cstdio>
#include <ctime>

#include "text/cp932.h"

namespace kestrel::peer {

std::string printable(std::string_view cp932)
{
    const std::string utf8 = fromCp932(cp932);
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else
            out += c;
    }
    return out;
}

namespace {
bool withClock = false;
bool flushWhenIdle = false;
} // namespace

void flushLinesWhenIdle()
{
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    flushWhenIdle = true;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     [] { std::fflush(stdout); });
}

void beginLinesWithClock()
{
    withClock = true;
}

void printLine(const std::string& line)
{
    if (withClock) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::fprintf(stdout, "%lld ", static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    if (!flushWhenIdle)
        std::fflush(stdout);
}

void TextView::showCell(int cell, int state)
{
    printLine("CELL " + std::to_string(cell) + " " + std::to_string(state));
}

void TextView::showFlip(int cell, int side)
{
    printLine("FLIP " + std::to_string(cell) + " " + std::to_string(side));
}

void TextView::showCounts(int black, int white)
{
    printLine("COUNTS " + std::to_string(black) + " " + std::to_string(white));
}

void TextView::setStatus(const std::string& text)
{
    printLine("STATUS " + printable(text));
}

void TextView::showNotice(const std::string& text)
{
    printLine("NOTICE " + printable(text));
}

bool ScriptedDialog::isChecked(int id) const
{
    auto it = checked_.find(id);
    return it != checked_.end() && it->second;
}

void ScriptedDialog::setText(int id, const std::string& text)
{
    texts_[id] = text;
    printLine("TEXT " + std::to_string(id) + " " + printable(text));
}

std::string ScriptedDialog::text(int id) const
{
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
}

void ScriptedDialog::appendText(int id, const std::string& text)
{
    texts_[id] += text;
    printLine("APPEND " + std::to_string(id) + " " + printable(text));
}

void ScriptedDialog::showError(const std::string& text)
{
    printLine("ERROR " + printable(text));
}

bool ScriptedDialog::askYesNo(const std::string& text)
{
    bool yes = false;
    if (answerQuestion) {
        yes = answerQuestion(text);
    } else if (!answers_.empty()) {
        yes = answers_.front();
        answers_.pop_front();
    }
    printLine("QUESTION " + printable(text) + (yes ? " -> yes" : " -> no"));
    return yes;
}

void ScriptedDialog::showInformation(const std::string& text)
{
    printLine("INFORMATION " + printable(text));
}

} // namespace kestrel::peer
