// The entry point of the sound library (libvexobingo-sound.so) that LoadedWavePlayer loads.
#include "components/media/mediawaveplayer.h"

extern "C" Q_DECL_EXPORT WavePlayer* vexobingo_make_wave_player()
{
    return new MediaWavePlayer;
}
