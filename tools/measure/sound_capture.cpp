// Helper of tests/ui/board/sound_capture_test.sh, which runs it against a
// private sound server.
//   sound_capture play           places a black piece on a board, turns another, then
//                                starts the winning phrase and cuts it off with a click
//   sound_capture check <file>   finds those sounds in the captured output
//                                (raw signed 16-bit little-endian, stereo, 44100 Hz)
// "check" exits 0 when the capture holds the placing click and then the flip click,
// each complete, starting about 200 ms apart, and then the winning phrase cut off
// 300 ms in by one more placing click.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "ui/board/board_view.h"
#include "ui/board/wave_file.h"
#include "ui/resources.h"

namespace {

using kestrel::Sound;

constexpr int kRate = 44100;
constexpr int kThreshold = 40;           // about -58 dBFS: far below any part of a click
constexpr int kGapSamples = kRate / 100; // quieter than that for 10 ms ends a burst

struct Burst {
    std::size_t start = 0;
    std::size_t end = 0; // one past the last loud sample
    double seconds() const { return static_cast<double>(end - start) / kRate; }
};

// Left channel of interleaved stereo 16-bit samples.
std::vector<int> leftChannel(const char* bytes, std::size_t size)
{
    std::vector<int> out;
    for (std::size_t i = 0; i + 4 <= size; i += 4)
        out.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return out;
}

std::vector<Burst> findBursts(const std::vector<int>& s)
{
    std::vector<Burst> bursts;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::abs(s[i]) <= kThreshold)
            continue;
        if (!bursts.empty() && i - bursts.back().end < static_cast<std::size_t>(kGapSamples))
            bursts.back().end = i + 1;
        else
            bursts.push_back({i, i + 1});
    }
    return bursts;
}

std::vector<int> referenceSamples(Sound sound)
{
    const QByteArray wave = kestrel::loadSound(sound);
    const auto clip =
        kestrel::parseWave(std::string_view(wave.constData(), static_cast<std::size_t>(wave.size())));
    if (!clip || clip->channels != 2 || clip->bitsPerSample != 16 || clip->sampleRate != kRate) {
        std::fprintf(stderr, "the built-in sound %d is not 16-bit stereo 44100 Hz\n",
                     static_cast<int>(sound));
        std::exit(2);
    }
    return leftChannel(wave.constData() + clip->dataOffset, clip->dataSize);
}

// Best normalised correlation of the reference with the capture near a position
// where the reference's own first loud sample is expected.
double similarity(const std::vector<int>& capture, std::size_t at, const std::vector<int>& reference)
{
    const Burst own = findBursts(reference).front();
    double best = 0;
    for (int lag = -64; lag <= 64; ++lag) {
        const long long offset = static_cast<long long>(at) - static_cast<long long>(own.start) + lag;
        double dot = 0, a2 = 0, b2 = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            const long long j = offset + static_cast<long long>(i);
            const double a = j >= 0 && j < static_cast<long long>(capture.size())
                                 ? capture[static_cast<std::size_t>(j)]
                                 : 0;
            const double b = reference[i];
            dot += a * b;
            a2 += a * a;
            b2 += b * b;
        }
        if (a2 > 0 && b2 > 0)
            best = std::max(best, dot / std::sqrt(a2 * b2));
    }
    return best;
}

int check(const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 2;
    }
    const QByteArray raw = file.readAll();
    const std::vector<int> capture = leftChannel(raw.constData(), static_cast<std::size_t>(raw.size()));
    std::printf("captured %.3f s\n", static_cast<double>(capture.size()) / kRate);
    const std::vector<Burst> bursts = findBursts(capture);
    for (const Burst& b : bursts)
        std::printf("sound at %.3f s, %.3f s long\n", static_cast<double>(b.start) / kRate, b.seconds());
    if (bursts.size() != 4) {
        std::fprintf(stderr,
                     "FAIL: expected four sounds (placing, turning, the cut phrase, placing), found %zu\n",
                     bursts.size());
        return 1;
    }
    const std::vector<int> place = referenceSamples(Sound::Place);
    const std::vector<int> flip = referenceSamples(Sound::Flip);
    const double placeLength = findBursts(place).front().seconds();
    const double flipLength = findBursts(flip).front().seconds();
    bool ok = true;
    auto expect = [&](bool condition, const char* what) {
        if (!condition) {
            std::fprintf(stderr, "FAIL: %s\n", what);
            ok = false;
        }
    };
    expect(std::abs(bursts[0].seconds() - placeLength) < 0.005,
           "the first sound is not as long as the placing click");
    expect(std::abs(bursts[1].seconds() - flipLength) < 0.005,
           "the second sound is not as long as the flip click");
    const double apart = static_cast<double>(bursts[1].start - bursts[0].start) / kRate;
    std::printf("the sounds start %.3f s apart\n", apart);
    expect(std::abs(apart - 0.200) < 0.040, "the clicks do not start about 200 ms apart");
    const double firstIsPlace = similarity(capture, bursts[0].start, place);
    const double secondIsFlip = similarity(capture, bursts[1].start, flip);
    std::printf("likeness: first/place %.4f, second/flip %.4f\n", firstIsPlace, secondIsFlip);
    expect(firstIsPlace > 0.98, "the first sound is not the placing click");
    expect(secondIsFlip > 0.98, "the second sound is not the flip click");

    // The phrase (2.2 s) stops when the next click starts, 300 ms in; that
    // click is heard alone and whole.
    const double phraseToClick = static_cast<double>(bursts[3].start - bursts[2].start) / kRate;
    std::printf("the phrase lasts %.3f s, the click follows %.3f s after its start\n", bursts[2].seconds(),
                phraseToClick);
    expect(std::abs(phraseToClick - 0.300) < 0.040, "the last click does not start 300 ms into the phrase");
    expect(bursts[2].seconds() <= phraseToClick, "the phrase plays on under the next click");
    expect(bursts[2].seconds() > phraseToClick - 0.050, "the phrase stops long before the next click");
    const double lastIsPlaceAlone = similarity(capture, bursts[3].start, place);
    std::printf("likeness: last click/place %.4f\n", lastIsPlaceAlone);
    expect(lastIsPlaceAlone > 0.98, "the last click is not heard alone");
    expect(std::abs(bursts[3].seconds() - placeLength) < 0.005, "the last click is not whole");
    return ok ? 0 : 1;
}

int play(int argc, char** argv)
{
    QApplication app(argc, argv);
    kestrel::setSoundModuleDirectory(QStringLiteral(KESTREL_SOUND_MODULE_BUILD_DIR));
    QWidget window;
    window.resize(523, 340);
    kestrel::BoardView view(&window);
    view.layoutBoard();
    window.show();
    QApplication::processEvents();
    // The sound output (its module loaded) is opened by the first animation, before its first picture.
    QElapsedTimer clock;
    double picture = -1, click = -1;
    view.onPicture = [&](int, kestrel::Picture) {
        picture = picture < 0 ? clock.nsecsElapsed() / 1e6 : picture;
    };
    view.onSound = [&](Sound) { click = click < 0 ? clock.nsecsElapsed() / 1e6 : click; };
    clock.start();
    view.showCell(19, 1); // placing click 100 ms in
    std::printf(
        "the first animation opened the sound output in %.1f ms; its click came %.1f ms after its first "
        "picture\n",
        picture, click - picture);
    view.showFlip(27, 1); // flip click 100 ms into the turn, 200 ms after the first
    view.pause(200);
    view.playSound(Sound::Win);
    view.pause(300);
    view.playSound(Sound::Place); // cuts off the phrase
    // Let the flip click play out before the player is destroyed.
    QTimer::singleShot(600, &app, &QApplication::quit);
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "play") == 0)
        return play(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "check") == 0) {
        kestrel::initResources();
        return check(argv[2]);
    }
    std::fprintf(stderr, "usage: view_sound_capture play | check <capture.raw>\n");
    return 2;
}
