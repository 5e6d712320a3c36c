#include "settings/PreferenceController.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "support/NotificationLog.h"
#include "support/TestSupport.h"

#include <QDialog>
#include <QLabel>
#include <QSlider>

namespace keys = gx::keys;

namespace {

class PreferenceControllerTest : public ::testing::Test {
protected:
    void SetUp() override { keys::registerDefaults(); }
    static gx::UserDefaults& store() { return gx::UserDefaults::standardUserDefaults(); }

    gx::test::NotificationLog log; // what the panel tells
    // As the player does: stores the volume and tells whoever follows it,
    // the panel among them.
    PreferenceController prefs {[this](float volume) {
        store().setFloat(volume, keys::musicVolume);
        prefs.musicVolumeChanged();
    }};
};

} // namespace

TEST_F(PreferenceControllerTest, ShowsTheStoredLevelsFollowsTheKeyboardAndASliderStoresItsLevelOnly)
{
    store().setFloat(1.7f, keys::noise);
    store().setFloat(-0.2f, keys::skip);
    prefs.showPanel();
    EXPECT_TRUE(prefs.preferencePanel->isVisible());
    const std::pair<QSlider*, int> shown[] = {{prefs.musicVolSlider, 80}, {prefs.effectsVolSlider, 60},
        {prefs.distortionSlider, 40}, {prefs.skipSlider, 0}, {prefs.noiseSlider, 100}};
    for (const auto& [slider, value] : shown)
        EXPECT_EQ(slider->value(), value);
    EXPECT_EQ(prefs.noiseField->text(), "100");
    EXPECT_EQ(store().floatForKey(keys::noise), 1.7f); // showing writes nothing
    EXPECT_TRUE(log.names().empty());                  // nor tells anyone
    store().setFloat(1.0f, keys::musicVolume);         // a key or the bus
    prefs.musicVolumeChanged();
    EXPECT_EQ(prefs.musicVolField->text(), "100");
    EXPECT_TRUE(log.names().empty());

    // The music slider hands its level to the player and keeps its place: a
    // reload would read 53 back as 52.
    prefs.musicVolSlider->setValue(53);
    EXPECT_EQ(prefs.musicVolSlider->value(), 53);
    EXPECT_EQ(prefs.musicVolField->text(), "53");
    EXPECT_EQ(store().floatForKey(keys::musicVolume), 0.53f);
    EXPECT_EQ(store().floatForKey(keys::noise), 1.7f);
    prefs.noiseSlider->setValue(25); // the other levels tell the rest
    EXPECT_EQ(store().floatForKey(keys::noise), 0.25f);
    EXPECT_EQ(log.names().size(), 1u);
    prefs.distortionSlider->setValue(37); // the float nearest 0.37, after a restart too
    store().reload();
    EXPECT_EQ(store().floatForKey(keys::distortion), 0.37f);
}
