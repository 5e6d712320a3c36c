#pragma once
// The engine: the current song and its transport, the runs of the jukebox
// and hiss loops, the effect sounds, the answers to the turntable's gestures
// and the play queue with its once-a-second end-of-song check. It takes all
// it works with through its constructor, so a test drives it with a model, a
// private notification centre and settings store, and a clock it steps.
//
// Threads: everything public runs on the main thread, the answers to the
// turntable's notifications included. The jukebox and hiss loops
// (gx::TickLoop) read the rates, the flag and the effect sounds; the fields
// say what guards them.
#include "engine/JukeboxTick.h"
#include "platform/TickLoop.h"
#include "sound/LoudnessTags.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace gx {

class Sound;
struct EffectSounds;
class LoudnessLeveller;
class NotificationCenter;
class TurntableModel;
class UserDefaults;

class Jukebox : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Makes the song for a path; a file that does not open still gives one,
    // of length 0, that says why.
    using SongOpener = std::function<std::shared_ptr<Sound>(const QString& path)>;
    static std::shared_ptr<Sound> openSongFile(const QString& path);

    // Answers the turntable's notifications in `centre` from now on; the
    // sounds are kept for the jukebox's life.
    Jukebox(TurntableModel& turntable, std::shared_ptr<EffectSounds> sounds, UserDefaults& store,
        NotificationCenter& centre, Clock clock = std::chrono::steady_clock::now, SongOpener openSong = openSongFile,
        QObject* parent = nullptr);
    ~Jukebox() override;

    // Makes the file the current song and starts it. A file that does not
    // open still becomes the song (of length 0, so a queue moves past it);
    // songOpened says why it gives no sound.
    void openSong(const QString& path);
    void start();
    // Never waits for a loop: the loops are told to stop, and joined by the
    // next start or open.
    void stop();
    // The two volume settings onto the song and the eleven effect sounds.
    void applyVolumes();

    // The play queue. A request within 0.5 s of the last one waits its turn;
    // one on its own empties the queue and plays.
    bool openOrQueue(const QString& path);
    void clearQueue();
    // The queue as a whole, as its window rearranges it.
    void setQueue(const QStringList& paths);
    void checkSongEnd();
    // Opens the first queued file as the end-of-song check does.
    void playNext();
    // Puts songs at the end of the queue as part of the burst under way:
    // the songs after the first of a folder or playlist handed over.
    void queueFiles(const QStringList& paths);

    bool isPlaying() const { return isPlaying_.load(); }
    float defaultRate() const { return rates_.defaultRate.load(); }
    QStringList queue() const { return queue_; }
    std::shared_ptr<Sound> song() const { return song_; }
    QString songPath() const { return currentPath_; }
    // Why the current song gives no sound, as the turntable said it; empty
    // when it plays.
    QString failureNotice() const { return failureNotice_; }
    // The loudness gain the song plays at, in dB; none while Loudness is off
    // or the song's loudness is not known yet.
    std::optional<double> loudnessGainDb() const { return loudnessGainDb_; }

signals:
    // A file became the current song; `notice` says why it gives no sound,
    // or is empty. Comes before the song starts.
    void songOpened(const QString& path, const QString& notice);
    // The song, the queue or the engine's state changed.
    void playbackChanged();
    // The song's position jumped rather than ran: a new song, the arm laid
    // down, the needle falling back.
    void positionJumped();
    // The song has played to its end.
    void songEnded();

private:
    // The answers to the turntable's gestures.
    void playButtonClicked();
    void armDragStarted();
    void armDragEnded();
    void recordStopped();
    void dialDragged();
    // The song's loudness gain under the `loudness` setting; asks for the
    // song's loudness when it is not known yet. Whether the gain in dB changed.
    bool levelLoudness();

    // The jukebox loop: every 0.03 s the arm follows the song,
    // the rate glides and the effects may sound.
    void startJukeboxLoop(std::shared_ptr<Sound> song);
    // The hiss loop: every 4 s the hiss starts over.
    void startHissLoop();
    void joinWorkers();
    void stopSongEndTimer();
    void startSongEndTimer();

    TurntableModel& turntable_;
    UserDefaults& store_;
    NotificationCenter& centre_;
    const Clock clock_;
    const SongOpener openSong_;
    // Never null; the loops play them, so they outlive every run.
    std::shared_ptr<EffectSounds> sounds_;

    // Shared with the jukebox and hiss loops, which end once it is false;
    // written on the main thread only.
    std::atomic<bool> isPlaying_ {false};
    JukeboxRates rates_;

    // Started, told to stop and joined on the main thread.
    TickLoop jukeboxLoop_ {"gx-jukebox"};
    TickLoop hissLoop_ {"gx-hiss"};

    // Main thread only; a run's loop keeps its own share of its song.
    std::shared_ptr<Sound> song_;
    QStringList queue_;
    QString currentPath_;
    QString failureNotice_;
    // What is known of the song's loudness, and who finds it (made when
    // Loudness is first on).
    std::optional<SongLoudness> loudness_;
    std::unique_ptr<LoudnessLeveller> leveller_;
    std::optional<double> loudnessGainDb_;
    // Empty until the first open request: start-up is not a request, so the
    // first file handed over at launch plays at once.
    std::optional<std::chrono::steady_clock::time_point> lastPlayTime_;
    QTimer* songEndTimer_ = nullptr;
    // Counts the runs, so that what a run's loop posts is dropped once
    // another run began.
    std::uint64_t runs_ = 0;
};

} // namespace gx
