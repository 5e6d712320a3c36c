#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/PreferenceController.h"
#include "settings/SettingsKeys.h"

#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <gtest/gtest.h>

namespace keys = gx::keys;

namespace {

class PreferenceControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keys::registerDefaults();
        gx::NotificationCenter::defaultCenter().addObserver(
            this, [this](const gx::Notification& n) { posted.push_back(n.name); }, gx::names::preferenceChanged);
        prefs.awakeFromNib();
    }
    void TearDown() override { gx::NotificationCenter::defaultCenter().removeObserver(this); }
    static gx::UserDefaults& store() { return gx::UserDefaults::standardUserDefaults(); }

    PreferenceController prefs;
    std::vector<std::string> posted;
};

} // namespace

TEST_F(PreferenceControllerTest, OpensShowingTheStoredLevels)
{
    prefs.showPreferencePanel();
    EXPECT_TRUE(prefs.preferencePanel->isVisible());
    EXPECT_EQ(prefs.musicVolSlider->value(), 80);
    EXPECT_EQ(prefs.effectsVolSlider->value(), 60);
    EXPECT_EQ(prefs.distortionSlider->value(), 40);
    EXPECT_EQ(prefs.skipSlider->value(), 40);
    EXPECT_EQ(prefs.noiseSlider->value(), 60);
    EXPECT_EQ(prefs.noiseField->text(), "60");
    EXPECT_TRUE(posted.empty()); // loading the controls is no change
    prefs.showPreferencePanel();
    EXPECT_EQ(prefs.musicVolSlider->value(), 80);
    EXPECT_EQ(prefs.musicVolField->text(), "80");
}

TEST_F(PreferenceControllerTest, MovingASliderStoresThatLevelOnlyAndTellsTheRest)
{
    prefs.showPreferencePanel();
    prefs.musicVolSlider->setValue(25);
    EXPECT_EQ(prefs.musicVolField->text(), "25");
    EXPECT_EQ(store().floatForKey(keys::musicVolume), 0.25f);
    ASSERT_EQ(posted.size(), 1u);

    prefs.skipSlider->setValue(0);
    EXPECT_EQ(store().floatForKey(keys::skip), 0.0f);
    EXPECT_EQ(store().floatForKey(keys::noise), 0.6f);
    EXPECT_EQ(posted.size(), 2u);

    prefs.distortionSlider->setValue(37); // the float nearest 0.37, after a restart too
    store().reload();
    EXPECT_EQ(store().floatForKey(keys::distortion), 0.37f);

    QObject stranger; // not one of the sliders: nothing stored, still posted
    prefs.changed(&stranger);
    EXPECT_EQ(posted.size(), 4u);
}

TEST_F(PreferenceControllerTest, FollowsMusicVolumeChangesFromTheKeyboard)
{
    prefs.showPreferencePanel();
    store().setFloat(1.0f, keys::musicVolume);
    gx::NotificationCenter::defaultCenter().postNotificationName(gx::names::musicVolChanged, nullptr);
    EXPECT_EQ(prefs.musicVolSlider->value(), 100);
    EXPECT_EQ(prefs.musicVolField->text(), "100");
    EXPECT_EQ(prefs.effectsVolSlider->value(), 60);
    EXPECT_TRUE(posted.empty());
}

TEST_F(PreferenceControllerTest, LevelsOutsideTheSlidersShowTheSlidersBound)
{
    store().setFloat(1.7f, keys::noise);
    store().setFloat(-0.2f, keys::skip);
    prefs.showPreferencePanel();
    EXPECT_EQ(prefs.noiseField->text(), "100");
    EXPECT_EQ(prefs.skipField->text(), "0");
    EXPECT_EQ(store().floatForKey(keys::noise), 1.7f); // showing writes nothing
}
