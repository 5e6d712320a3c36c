#include "controller/AppController.h"
#include "controller/TrackTitle.h"
#include "sound/GXQTMusic.h"

#include <gtest/gtest.h>

namespace {

QString title(const QString& displayName)
{
    QStringList types;
    for (const std::string& t : GXQTMusic::musicFileType())
        types << QString::fromStdString(t);
    return gx::trackTitle(displayName, types);
}

} // namespace

TEST(TrackTitle, WorkedExamples)
{
    const std::pair<const char*, const char*> examples[] = {
        {"01 Evening Walk.mp3", "Evening Walk"},
        {"03-Intro.aiff", "Intro"},
        {"2-03 Song.wav", "Song"},
        {"12 - Finale.m4a", "- Finale"},
        {"01  Song.mp3", " Song"},
        {" Song.aif", "Song"},
        {"-Song.mp3", "Song"},
        {"Up-Tempo.mp3", "Up-Tempo"},
        {"(01) Song.mp3", "(01) Song"},
        {"1.5 Song.mp3", ".5 Song"},
        {"Side A.mov.mp3", "Side A.mov"},
        {"a.wav.mp3", "a"},
        {"Song.mp3x", "Song"},
        {"Song.MP3", "Song"},
        {"Song.Mp3", "Song.Mp3"},
        {"1979.mp3", ""},
        {"01 Song", "Song"},
    };
    for (const auto& [name, expected] : examples)
        EXPECT_EQ(title(QString::fromUtf8(name)), QString::fromUtf8(expected)) << name;
}

TEST(TrackTitle, EdgeCases)
{
    EXPECT_EQ(title("12-3 "), ""); // digits, hyphens and one space only
    EXPECT_EQ(title("1979"), "");  // used up: stops at the end of the name
    EXPECT_EQ(title("-"), "");
    EXPECT_EQ(title(""), "");
    EXPECT_EQ(title("Plain name, no type"), "Plain name, no type");
    EXPECT_EQ(title("Song.M4A"), "Song.M4A");
    EXPECT_EQ(title("Film.MOV"), "Film.MOV");
    // Only ASCII digits and the plain hyphen are stripped.
    EXPECT_EQ(title(QString::fromUtf8("١٢ Song.mp3")), QString::fromUtf8("١٢ Song"));
    EXPECT_EQ(title(QString::fromUtf8("– Song.mp3")), QString::fromUtf8("– Song"));
}

TEST(TrackTitle, UsesOnlyTheFileNameOfAPath)
{
    EXPECT_EQ(AppController::musicName("/Music/01 Album.mp3/02 Track.wav"), "Track");
    EXPECT_EQ(AppController::musicName("/Music/A/01 Song.mp3"), AppController::musicName("/Music/B/01 Song.mp3"));
}
