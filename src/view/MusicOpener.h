#pragma once
#include <QString>

// What the turntable view needs of its controller: a way to hand over a
// dropped file. The application controller implements it.
namespace gx {

class MusicOpener {
public:
    virtual ~MusicOpener() = default;
    virtual void openMusic(const QString& path) = 0;
};

} // namespace gx
