#pragma once
#include <QString>

// What the turntable view needs of its controller: a way to hand over a
// dropped file. The application controller implements it.
class GXMusicOpener {
public:
    virtual ~GXMusicOpener() = default;
    virtual void openMusic(const QString& path) = 0;
};
