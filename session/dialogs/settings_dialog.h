#pragma once
// The settings dialog's decisions: the values it starts with, the address
// list kept in text order, and OK in its order (name, port, files, shortcut,
// announcement). The Qt dialog around it only forwards clicks.

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/desktop_shortcut.h"
#include "settings/settings.h"

namespace kestrel {

struct Program;
class DialogControls;

// How much of the port box is read.
constexpr std::size_t kPortBoxChars = 7;

// The name OK stores: at most 63 bytes, never ending in half a double-byte
// character. An empty box gives the login name, or "No Name" without one.
std::string nameFromBox(const std::string& boxText, const std::string& loginName);

// The port OK reads: the first seven characters taken like atoi (blanks,
// a sign, digits up to the first other character; none gives 0).
std::int32_t portFromBox(std::string_view boxText);

// The address list's text order: case ignored for ASCII letters, otherwise
// byte order, so "10.0.0.10" comes before "10.0.0.2".
bool addressBefore(std::string_view a, std::string_view b);

class SettingsDialog final {
public:
    SettingsDialog(Program& program, DialogControls& controls, Shortcut shortcut);
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Fills the controls from the settings and looks for the shortcut.
    void initialise();
    void onStandardPort();  // "標準に戻す"
    void onAddAddress();    // "追加->>"
    void onDeleteAddress(); // "削除<<-"
    void onOk();            // OK, and Enter
    void onCancel();        // Cancel and the close box

    const Shortcut& shortcut() const { return shortcut_; }

private:
    // Inserts behind the entries that sort before it or equal it.
    void insertSorted(const std::string& address);
    // Stops at the first failure, after its warning; true when all went well.
    bool saveFiles();

    Program& program_;
    DialogControls& controls_;
    Shortcut shortcut_;
};

} // namespace kestrel
