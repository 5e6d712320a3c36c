#pragma once
// The player on the session bus as org.mpris.MediaPlayer2.gramolux, so media
// keys and the desktop's sound applets can work the switch and show the song.
// Without a session bus nothing is registered and the player runs as before.
#include <QObject>
#include <QString>
#include <QVariantMap>

class GramoluxWindowLayout;
class MprisPlayerAdaptor;

class MprisService : public QObject {
    Q_OBJECT
public:
    static inline const QString serviceName = QStringLiteral("org.mpris.MediaPlayer2.gramolux");
    static inline const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");

    explicit MprisService(GramoluxWindowLayout& layout, QObject* parent = nullptr);
    ~MprisService() override;

    // Registers on the session bus; false when there is none.
    bool registerOnSessionBus();
    bool isRegistered() const { return registered_; }

    // What the adaptors answer and do.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    qlonglong position() const;
    bool canPlay() const;
    void play();
    void pause();
    void playPause();
    void raise();
    void quit();

private:
    void announceChanges();

    GramoluxWindowLayout& layout_;
    QObject* exported_;
    bool registered_ = false;
    QString lastStatus_;
    QVariantMap lastMetadata_;
    quint64 track_ = 0;
};
