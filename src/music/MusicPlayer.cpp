// The music player's calls on the backend, in the order the demo makes them.
#include "music/MusicPlayer.h"

#include "platform/audio/AudioBackend.h"
#include "platform/audio/MusicPosition.h"

#include <cassert>

MusicPlayer musicPlayer;

void resetMusicPlayer()
{
    musicPlayer = MusicPlayer {};
}

int MusicPlayer::init()
{
    assert(backend_ && "setBackend before init");
    positionScaler = 12;
    if (!backend_->openDevice(44100))
        return -1;
    backend_->setVolume(100);
    playing = 0;
    return 0;
}

uint32_t MusicPlayer::loadModule(const char* fileName)
{
    const uint32_t handle = backend_->loadModule(fileName);
    if (handle != 0) {
        musicHandle = handle;
        backend_->play(musicHandle);
    }
    return handle;
}

void MusicPlayer::start()
{
    backend_->startOutput();
    backend_->setPositionScaler(musicHandle, positionScaler);
    backend_->playFrom(musicHandle, 0, true);
    playing = 1;
}

int MusicPlayer::playModule()
{
    backend_->play(musicHandle);
    return 0;
}

int MusicPlayer::setPosition(int order, int row)
{
    // The plain row in the high half, sign-extended to 64 bits.
    const int32_t position = static_cast<int32_t>(platform::packPosition(order, row));
    return backend_->setPosition(musicHandle, static_cast<uint64_t>(static_cast<int64_t>(position)));
}

void MusicPlayer::update()
{
    backend_->update();
    const uint32_t position = static_cast<uint32_t>(backend_->position(musicHandle));
    order_ = static_cast<uint16_t>(platform::orderOf(position));
    if (positionScaler > 0)
        row_ = static_cast<uint16_t>(platform::rowOf(position, positionScaler));
    ended_ = backend_->ended(musicHandle);
}

float MusicPlayer::spectrumLevel()
{
    float magnitudes[512] = {};
    backend_->spectrum(musicHandle, magnitudes);
    return magnitudes[0];
}

void MusicPlayer::setLeadTime(double seconds)
{
    backend_->setLeadTime(seconds);
}

int MusicPlayer::shutdown()
{
    backend_->closeDevice();
    return 0;
}
