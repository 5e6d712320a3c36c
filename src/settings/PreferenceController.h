#pragma once
// The preferences panel: a slider and a read-only field for each of the five
// levels. The settings store is the only truth; the controls show it. The
// music volume is not written here but handed to the player, its one writer.
#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QComboBox;
class QDialog;
class QLabel;
class QSlider;
class QWidget;

class PreferenceController : public QObject {
    Q_OBJECT
public:
    using MusicVolumeWriter = std::function<void(float)>;
    // Builds the panel (hidden) as a tool window of the given parent; the
    // music slider's moves go to setMusicVolume.
    PreferenceController(MusicVolumeWriter setMusicVolume, QWidget* parentWindow = nullptr);

    void showPanel();
    void changed(QObject* sender);
    void setDefault();
    // The music volume changed by another road (a key, the bus): the panel
    // shows it. Its own slider's change is not read back: a reload truncates,
    // so a slider set to 53 would read back 52.
    void musicVolumeChanged();

    // The controls, in the panel's order: music, effects, distortion, skip, noise.
    QSlider* musicVolSlider = nullptr;
    QLabel* musicVolField = nullptr;
    QSlider* effectsVolSlider = nullptr;
    QLabel* effectsVolField = nullptr;
    QSlider* distortionSlider = nullptr;
    QLabel* distortionField = nullptr;
    QSlider* skipSlider = nullptr;
    QLabel* skipField = nullptr;
    QSlider* noiseSlider = nullptr;
    QLabel* noiseField = nullptr;
    // Off, Track, Album: the `loudness` setting.
    QComboBox* loudnessChoice = nullptr;
    QDialog* preferencePanel = nullptr;

private:
    struct Pair {
        QSlider* slider;
        QLabel* field;
        QString key;
    };
    std::array<Pair, 5> pairs() const;

    const MusicVolumeWriter setMusicVolume_;
    bool writingMusicVolume_ = false;
};
