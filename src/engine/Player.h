#pragma once
// What the player does, as every road asks for it: the turntable's pointer
// and keys (through its model, whose open and volume hooks lead here), the
// menus, the preferences panel, MPRIS and the hand-over. Each operation is
// written once; the signals tell who follows the player what changed, so
// nobody needs to look again and again.
//
// Threads: main thread only; the engine posts what its loops see.
#include "sound/Decoder.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace gx {

class Jukebox;
class Sound;
class TurntableModel;
class UserDefaults;

class Player : public QObject {
    Q_OBJECT
public:
    // Where an open comes from. What each does to the queue is stated once,
    // in open().
    enum class Road { drop, openDialog, recentMenu, handOver };

    // Takes over the model's hooks for a dropped file and the digit keys.
    Player(Jukebox& jukebox, TurntableModel& turntable, UserDefaults& store, QObject* parent = nullptr);
    ~Player() override;

    // --- Songs
    void open(const QString& path, Road road);
    // Songs after the first of a folder or playlist handed over.
    void enqueue(const QStringList& paths);
    // The first queued song, at once; nothing while none is queued.
    void next();
    // The song before when less than kRestartSeconds have played (or this one
    // gives no sound), this one going back to the front of the queue;
    // otherwise the start of this song.
    void previous();
    bool canGoPrevious() const;
    static constexpr double kRestartSeconds = 3.0;

    // --- The queue, as its window works it. Indices into queue().
    void playQueued(int index);
    void removeQueued(int index);
    void moveQueued(int from, int to);
    void clearQueue();

    // --- The switch and the arm
    void pressSwitch();
    // Switches on; a song that has played out starts again from its beginning.
    void play();
    // Switches off: the record runs down as after a click on the button.
    void pause();
    void playPause();
    // The arm laid down at that place, as a drag lays it.
    void seekTo(double seconds);
    // From where the song stands; past its end, the next song.
    void seekBy(double seconds);

    // --- Levels
    float musicVolume() const;
    // The one writer of the music volume.
    void setMusicVolume(float volume);
    float speed() const;
    // As a turn of the dial by the hand.
    void setSpeed(float rate);

    // --- The keys' steps: the music volume by tenths, the dial by 0.05
    // within the dial's floor and the offered top. Each can() says whether
    // the step would change anything.
    void stepMusicVolume(int tenths);
    bool canStepMusicVolume(int tenths) const;
    void stepSpeed(int steps);
    bool canStepSpeed(int steps) const;
    // What the dial's double-click does.
    void normalSpeed();
    bool canNormalSpeed() const;

    // --- What is on the turntable
    // A song that plays is on the turntable: play, pause, seek, previous.
    bool canPlay() const;
    bool isRunning() const;
    bool playedOut() const;
    std::shared_ptr<Sound> song() const;
    QString songPath() const;
    // The window's title of the song, from its file name.
    QString songTitle() const;
    // Why the current song gives no sound, or empty.
    QString failureNotice() const;
    // The loudness gain the song plays at, in dB, when Loudness is on and known.
    std::optional<double> loudnessGainDb() const;
    double lengthSeconds() const;
    // The song's, or while switched off where the arm rests.
    double positionSeconds() const;
    QStringList queue() const;

signals:
    // A file became the current song; `notice` says why it gives no sound.
    void songOpened(const QString& path, const QString& notice);
    // The switch, the song, its end or the queue changed.
    void stateChanged();
    void positionJumped();
    void musicVolumeChanged(float volume);
    void speedChanged(float rate);
    // The song's own tags, as the record's label read them.
    void tagsRead(const QString& path, const gx::TrackTags& tags);

private:
    float steppedMusicVolume(int tenths) const;
    float steppedSpeed(int steps) const;

    Jukebox& jukebox_;
    TurntableModel& turntable_;
    UserDefaults& store_;
    // The songs opened before this one, the last most recent; kept short.
    QStringList history_;
    QString current_;
    bool goingBack_ = false;
};

} // namespace gx
