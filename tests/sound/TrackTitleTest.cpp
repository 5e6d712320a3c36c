#include "sound/TrackTitle.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

TEST(TrackTitle, LeadingDigitsHyphensAndOneSpaceGoAndSoDoesTheFirstAcceptedType)
{
    const QStringList types = gx::titleTypes();
    const std::pair<const char*, const char*> examples[] = {{"01 Evening Walk.mp3", "Evening Walk"},
        {"03-Intro.aiff", "Intro"}, {"2-03 Song.wav", "Song"}, {"12 - Finale.m4a", "- Finale"},
        {"01  Song.mp3", " Song"}, {" Song.aif", "Song"}, {"Up-Tempo.mp3", "Up-Tempo"}, {"(01) Song.mp3", "(01) Song"},
        {"1.5 Song.mp3", ".5 Song"}, {"Side A.mov.mp3", "Side A.mov"}, {"a.wav.mp3", "a"}, {"Song.mp3x", "Song"},
        {"Song.MP3", "Song"}, {"Song.Mp3", "Song.Mp3"}, {"Song.M4A", "Song.M4A"}, {"1979.mp3", ""}, {"12-3 ", ""},
        {"-", ""}, {"01 Song", "Song"}, {"١٢ Song.mp3", "١٢ Song"}, {"– Song.mp3", "– Song"},
        // The hand-over's types come after the sixteen and cut the same way.
        {"03 oggsong.ogg", "oggsong"}, {"Song.FLAC", "Song"}, {"Song.opus", "Song"}, {"Song.OPUS", "Song"},
        {"Song.Flac", "Song.Flac"}, {"Song.flac.mp3", "Song.flac"}, {"Song.ogg.flac", "Song.ogg"},
        {"Song.oga", "Song.oga"}};
    for (const auto& [name, expected] : examples)
        EXPECT_EQ(gx::trackTitle(QString::fromUtf8(name), types), QString::fromUtf8(expected)) << name;
    EXPECT_EQ(gx::trackTitleOfPath("/Music/01 Album.mp3/02 Track.wav"), "Track"); // the file name only
    EXPECT_EQ(gx::trackTitleOfPath("/Music/07 Tune.OGG"), "Tune");
    // The drop and the Open dialog keep their sixteen.
    EXPECT_EQ(gx::Sound::acceptedTypes().size(), 16U);
}
