#include "settings/PreferenceController.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <utility>

using gx::localizedString;
using gx::NotificationCenter;
using gx::UserDefaults;
namespace keys = gx::keys;

PreferenceController::PreferenceController(MusicVolumeWriter setMusicVolume, QWidget* parentWindow)
    : setMusicVolume_(std::move(setMusicVolume))
{
    preferencePanel = new QDialog(parentWindow, Qt::Tool);
    preferencePanel->setWindowTitle(localizedString("Preferences"));
    auto* form = new QFormLayout(preferencePanel);
    const auto addPair = [&](const char* label, QSlider*& slider, QLabel*& field) {
        slider = new QSlider(Qt::Horizontal, preferencePanel);
        slider->setRange(0, 100);
        slider->setMinimumWidth(200);
        field = new QLabel(preferencePanel);
        field->setMinimumWidth(32);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* row = new QHBoxLayout;
        row->addWidget(slider);
        row->addWidget(field);
        form->addRow(localizedString(label), row);
        QSlider* s = slider;
        connect(slider, &QSlider::valueChanged, this, [this, s] { changed(s); });
    };
    addPair("Music volume", musicVolSlider, musicVolField);
    addPair("Effects volume", effectsVolSlider, effectsVolField);
    addPair("Distortion", distortionSlider, distortionField);
    addPair("Skip", skipSlider, skipField);
    addPair("Noise", noiseSlider, noiseField);
    loudnessChoice = new QComboBox(preferencePanel);
    loudnessChoice->addItem(localizedString("Off"), QStringLiteral("off"));
    loudnessChoice->addItem(localizedString("Track"), QStringLiteral("track"));
    loudnessChoice->addItem(localizedString("Album"), QStringLiteral("album"));
    form->addRow(localizedString("Loudness"), loudnessChoice);
    connect(loudnessChoice, &QComboBox::currentIndexChanged, this, [this] { changed(loudnessChoice); });
}

std::array<PreferenceController::Pair, 5> PreferenceController::pairs() const
{
    return {{{musicVolSlider, musicVolField, keys::musicVolume},
        {effectsVolSlider, effectsVolField, keys::effectsVolume}, {distortionSlider, distortionField, keys::distortion},
        {skipSlider, skipField, keys::skip}, {noiseSlider, noiseField, keys::noise}}};
}

void PreferenceController::showPanel()
{
    setDefault();
    preferencePanel->show();
    preferencePanel->raise();
    preferencePanel->activateWindow();
}

void PreferenceController::changed(QObject* sender)
{
    for (const Pair& p : pairs()) {
        if (sender != p.slider)
            continue;
        const int value = p.slider->value();
        const auto level = static_cast<float>(value / 100.0);
        p.field->setNum(value);
        if (p.key == keys::musicVolume) {
            writingMusicVolume_ = true;
            setMusicVolume_(level);
            writingMusicVolume_ = false;
            return;
        }
        UserDefaults::standardUserDefaults().setFloat(level, p.key);
    }
    if (sender == loudnessChoice)
        UserDefaults::standardUserDefaults().setString(loudnessChoice->currentData().toString(), keys::loudness);
    NotificationCenter::defaultCenter().postNotificationName(gx::names::preferenceChanged, this);
}

void PreferenceController::setDefault()
{
    for (const Pair& p : pairs()) {
        const float stored = UserDefaults::standardUserDefaults().floatForKey(p.key);
        const float scaled = stored * 100.0f;
        // Loading the controls is not a user's change: no store write, no notice.
        const QSignalBlocker quiet(p.slider);
        p.slider->setValue(std::isfinite(scaled) ? static_cast<int>(std::clamp(scaled, -1e9f, 1e9f)) : 0);
        p.field->setNum(p.slider->value());
    }
    // An unknown value shows as Off, as the engine reads it.
    const QSignalBlocker quiet(loudnessChoice);
    const int stored = loudnessChoice->findData(UserDefaults::standardUserDefaults().objectForKey(keys::loudness));
    loudnessChoice->setCurrentIndex(std::max(stored, 0));
}

void PreferenceController::musicVolumeChanged()
{
    if (!writingMusicVolume_)
        setDefault();
}
