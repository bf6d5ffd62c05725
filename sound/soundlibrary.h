#pragma once

// The sound library the game calls: a small C-style interface with opaque
// handles and a last-error code, played through SDL2_mixer. Samples play on
// the mixer's channels; songs and streams share its single music channel, so
// a song and a stream never play at the same time: starting one stops the
// other.
//
// Handles belong to the library. FSOUND_Sample_Free, FMUSIC_FreeSong and
// FSOUND_Stream_Close give one back; FSOUND_Close gives back all that remain.
// A handle that was given back (or never issued) is refused with
// FMOD_ERR_INVALID_PARAM, so a stale handle is never followed.

// Opaque handles.
struct FSOUND_SAMPLE;
struct FSOUND_STREAM;
struct FMUSIC_MODULE;

// The channel argument that lets the library pick any free channel.
constexpr int FSOUND_FREE = -1;

// Mode flags for FSOUND_Stream_OpenFile and FSOUND_Stream_SetMode; 0 is the
// same as FSOUND_LOOP_OFF. Samples take 0 or FSOUND_LOOP_OFF only.
constexpr unsigned int FSOUND_LOOP_OFF = 0x1;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x2;

// The codes FSOUND_GetError reports.
enum FMOD_ERRORS : int {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY = 1,          // FSOUND_Init while initialised
    FMOD_ERR_UNINITIALIZED = 2, // any call before FSOUND_Init
    FMOD_ERR_INIT = 3,          // no audio device could be opened
    FMOD_ERR_ALLOCATED = 4,
    FMOD_ERR_PLAY = 5, // the mixer refused to play
    FMOD_ERR_OUTPUT_FORMAT = 6,
    FMOD_ERR_COOPERATIVELEVEL = 7,
    FMOD_ERR_CREATEBUFFER = 8,
    FMOD_ERR_FILE_NOTFOUND = 9, // the file cannot be opened
    FMOD_ERR_FILE_FORMAT = 10,  // the file is of no format the mixer reads
    FMOD_ERR_FILE_BAD = 11,     // a damaged WAV file
    FMOD_ERR_MEMORY = 12,
    FMOD_ERR_VERSION = 13,
    FMOD_ERR_INVALID_PARAM = 14, // null or stale handle, bad channel, mode or size
    FMOD_ERR_NO_EAX = 15,
    FMOD_ERR_CHANNEL_ALLOC = 16, // every channel is busy
    FMOD_ERR_RECORD = 17,
    FMOD_ERR_MEDIAPLAYER = 18,
};

// Opens SDL's audio subsystem (only that: the window belongs to GLUT) and an
// output device with mixRate Hz, 16-bit stereo, and maxChannels sample
// channels. flags must be 0. SDL_AUDIODRIVER chooses the device driver.
bool FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);
// Stops everything, gives back every handle and closes the device.
void FSOUND_Close();
// The code of the last failed call; every call clears it first.
int FSOUND_GetError();

constexpr int FSOUND_MAX_VOLUME = 255;
// Scales everything played, samples, songs and streams, from 0 (silent) to
// FSOUND_MAX_VOLUME (as recorded, where FSOUND_Init leaves it); takes effect
// on what plays already.
bool FSOUND_SetMasterVolume(int volume);

// Loads a WAV file (or any sample format SDL2_mixer reads). index must be
// FSOUND_FREE: the library keeps no numbered sample slots. length only
// matters for loading from memory, which this library does not offer.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int length);
// Stops the channels still playing the sample, then frees it.
bool FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
// Plays the sample once on the given channel or, with FSOUND_FREE, on any
// free one. Returns the channel, or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
// Whether a sample channel is still playing.
bool FSOUND_IsPlaying(int channel);

// Songs: any music file SDL2_mixer reads, played once from the start.
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
bool FMUSIC_PlaySong(FMUSIC_MODULE* module);
bool FMUSIC_IsPlaying(FMUSIC_MODULE* module);
bool FMUSIC_FreeSong(FMUSIC_MODULE* module);

// Streams: an uncompressed WAV file (8-, 16-, 32-bit or float PCM) read and
// decoded while it plays. length must be 0 (memory streams are not offered).
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* fileName, unsigned int mode, int length);
// channel must be FSOUND_FREE: a stream always takes the music channel.
// Returns the music channel's number (one past the sample channels), or -1.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Stops the stream and rewinds it to its start.
bool FSOUND_Stream_Stop(FSOUND_STREAM* stream);
bool FSOUND_Stream_Close(FSOUND_STREAM* stream);
// 0 when the length is unknown (with FMOD_ERR_FILE_FORMAT).
int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream);
// The playing position; a stream that is not playing reports where its next
// play starts.
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream);
bool FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms);
// Takes effect at the next FSOUND_Stream_Play.
bool FSOUND_Stream_SetMode(FSOUND_STREAM* stream, unsigned int mode);
