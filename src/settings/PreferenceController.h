#pragma once
// The preferences panel: a slider and a read-only field for each of the five
// levels. The settings store is the only truth; the controls show it.
#include <QObject>
#include <QString>
#include <array>

class QComboBox;
class QDialog;
class QLabel;
class QSlider;
class QWidget;

class PreferenceController : public QObject {
    Q_OBJECT
public:
    // Builds the panel (hidden) as a tool window of the given parent.
    explicit PreferenceController(QWidget* parentWindow = nullptr);
    ~PreferenceController() override;

    void setUp();
    void showPanel();
    void changed(QObject* sender);
    void setDefault();
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
};
