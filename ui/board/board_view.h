#pragma once
// The board of the main window: 64 picture cells, the frame around them,
// the opponent's line, the counts and the status line, with the placing and
// flip animations and their sounds.
//
// Every control of the main window is a child widget whose objectName is
// its decimal id ("1084"). The view creates the cells (1001-1064), the frame
// (1067), the opponent's line (1079) and the announcer for screen readers in
// the window's client widget when they are not there yet, and finds the
// status line and the counts by name. The cells follow the game-end button
// (1093) in the tab order; BoardKeys plays them with the keyboard.

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "engine/game_view.h"
#include "engine/match_state.h"
#include "ui/board/board_keys.h"
#include "ui/board/move_report.h"
#include "ui/board/sound_player.h"
#include "ui/resources.h"

class QWidget;

namespace kestrel {

class BoardView final : public GameView {
public:
    // client: the widget whose coordinates cellAt and layoutBoard use.
    explicit BoardView(QWidget* client);
    ~BoardView() override;
    BoardView(const BoardView&) = delete;
    BoardView& operator=(const BoardView&) = delete;

    void layoutBoard() override;
    void showCell(int cell, int state) override;
    void showFlip(int cell, int side) override;
    void showCounts(int black, int white) override;
    void setStatus(const std::string& text) override;
    void showNotice(const std::string& text) override;
    void playSound(Sound sound) override;
    int cellAt(int x, int y) const override;
    void pause(int ms) override;
    void showHintMark(int cell) override;
    void announce(const std::string& text) override;
    void showPosition(const Board& board) override;
    void showMoveMarks(const MoveMarks& marks) override;

    // Puts one picture on cell k and paints it at once (no pause, no sound).
    void showPicture(int cell, Picture picture);
    Picture pictureAt(int cell) const { return shown_[static_cast<std::size_t>(cell)]; }
    QLabel* cellLabel(int cell) const { return cells_[static_cast<std::size_t>(cell)]; }
    // The picture at scale 1 (34x34) or 2 (68x68, device pixel ratio 2),
    // the latter loaded the first time a screen of that density needs it.
    const QPixmap& picture(Picture p, int scale = 1) const;
    // Gives every cell and both piece symbols the pictures drawn for the
    // density of the screen they are on now; run again when the window
    // moves to a screen of another density.
    void refreshPictures();

    // Keyboard play: the marked cell, and Enter or Space on it.
    BoardKeys& keys() { return *keys_; }
    // Draws the keyboard mark over cell k's picture (-1: over none).
    void showMark(int cell);
    int shownMark() const { return mark_; }
    int shownHintMark() const { return hint_; }
    const MoveMarks& shownMoveMarks() const { return moveMarks_; }
    // The middle of cell k in the client's coordinates.
    QPoint cellMiddle(int cell) const;

    // Replaces a sound's WAVE image; an empty one makes that sound silent.
    void setSound(Sound sound, const QByteArray& wave);
    // The player of the view's sounds, for what it has played.
    const SoundPlayer& soundPlayer() const { return player_; }
    // Replaces the thread sleep of the animations (tests keep a virtual clock).
    void setPauseFunction(std::function<void(int ms)> pause);

    // Observers: each picture the moment it is shown, each sound as it starts.
    std::function<void(int cell, Picture picture)> onPicture;
    std::function<void(Sound sound)> onSound;

private:
    // A sound's WAVE image, read from the resources when first played.
    const QByteArray& wave(Sound sound);
    void createMissingControls();
    // Puts picture p on a picture control in the size drawn for its screen;
    // on cell k (-1: no cell) with the marks over it that it carries.
    void setPictureOn(QLabel* label, Picture p, int cell = -1) const;
    // Shows cell k's picture again, as the marks over it have changed.
    void redrawCell(int cell, bool paintNow);
    // The samples of a black and a white piece beside the counts.
    void showSymbols();
    void animate(int cell, Picture first, Sound sound, Picture second, Picture last);
    // Says the move the animations since the last call have shown, if any.
    void sayMove();
    QLabel* label(int id) const;

    QPointer<QWidget> client_;
    std::array<QPointer<QLabel>, kCellCount> cells_{};
    std::array<Picture, kCellCount> shown_{};
    mutable std::array<std::array<QPixmap, kPictureCount>, kPictureScales> pictures_;
    std::array<std::optional<QByteArray>, kSoundCount> sounds_; // none until first played
    std::function<void(int)> pause_;
    SoundPlayer player_;
    std::unique_ptr<QObject> screenWatcher_;
    std::unique_ptr<BoardKeys> keys_;
    int mark_ = -1;
    int hint_ = -1;
    MoveMarks moveMarks_;
    MoveReport report_;
};

} // namespace kestrel
