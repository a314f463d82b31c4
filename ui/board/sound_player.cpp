#include "ui/board/sound_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>

#include "ui/board/wave_file.h"

namespace kestrel {
namespace {

constexpr char kModuleName[] = "kestrelbay-sound.so";

QString& moduleDirectoryForTests()
{
    static QString directory;
    return directory;
}

// Loads the module once for the process and keeps it loaded: the multimedia
// back end's process-wide objects live until the end. Null when it is not
// there or cannot be loaded.
CreateAudioOutput soundModule()
{
    static const CreateAudioOutput create = [] {
        QStringList candidates = soundModuleCandidates(QCoreApplication::applicationDirPath());
        if (!moduleDirectoryForTests().isEmpty())
            candidates.prepend(QDir(moduleDirectoryForTests()).filePath(QLatin1String(kModuleName)));
        QString why = QStringLiteral("not found");
        for (const QString& path : candidates) {
            if (!QFileInfo::exists(path))
                continue;
            QLibrary library(path);
            if (auto entry = reinterpret_cast<CreateAudioOutput>(library.resolve(kCreateAudioOutputSymbol)))
                return entry;
            why = library.errorString();
        }
        std::fprintf(stderr, "corvidae: no sound: the sound module %s: %s\n", kModuleName, qPrintable(why));
        return CreateAudioOutput{};
    }();
    return create;
}

} // namespace

QStringList soundModuleCandidates(const QString& programDirectory)
{
    const QDir program(programDirectory);
    QStringList candidates{
        program.filePath(QLatin1String(kModuleName)),
        QDir::cleanPath(program.filePath(QStringLiteral(KESTREL_SOUND_MODULE_FROM_PROGRAM "/") +
                                         QLatin1String(kModuleName))),
        QStringLiteral(KESTREL_SOUND_MODULE_DIR "/") + QLatin1String(kModuleName)};
    candidates.removeDuplicates();
    return candidates;
}

void setSoundModuleDirectory(const QString& directory)
{
    moduleDirectoryForTests() = directory;
}

SoundPlayer::SoundPlayer() = default;

bool SoundPlayer::open()
{
    if (output_ != nullptr)
        return true;
    const CreateAudioOutput create = soundModule();
    output_ = create ? create() : nullptr;
    if (output_ == nullptr)
        return false;
    thread_.setObjectName(QStringLiteral("sound"));
    output_->moveToThread(&thread_);
    thread_.start();
    return true;
}

SoundPlayer::~SoundPlayer()
{
    if (output_ == nullptr)
        return;
    AudioOutput* output = output_;
    QMetaObject::invokeMethod(
        output,
        [output] {
            output->close();
            delete output;
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

bool SoundPlayer::play(const QByteArray& wave)
{
    const std::optional<WaveClip> clip =
        parseWave(std::string_view(wave.constData(), static_cast<std::size_t>(wave.size())));
    if (!clip || !open())
        return false;
    const SoundSamples samples{
        clip->sampleRate, clip->channels, clip->format,
        wave.mid(static_cast<qsizetype>(clip->dataOffset), static_cast<qsizetype>(clip->dataSize))};
    AudioOutput* output = output_;
    QMetaObject::invokeMethod(
        output, [output, samples] { output->play(samples); }, Qt::QueuedConnection);
    return true;
}

void SoundPlayer::stop()
{
    if (output_ == nullptr)
        return; // nothing has played
    AudioOutput* output = output_;
    QMetaObject::invokeMethod(
        output, [output] { output->cutOff(); }, Qt::QueuedConnection);
}

SoundPlayer::Status SoundPlayer::status() const
{
    // Queued behind every earlier play() and stop(), so it sees their effect.
    Status status;
    if (output_ == nullptr)
        return status;
    AudioOutput* output = output_;
    QMetaObject::invokeMethod(
        output, [output, &status] { status = output->status(); }, Qt::BlockingQueuedConnection);
    return status;
}

} // namespace kestrel
