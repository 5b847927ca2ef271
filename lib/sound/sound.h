#ifndef VEXLO_SOUND_SOUND_H
#define VEXLO_SOUND_SOUND_H

#include <windows.h>

#include "../Vexlo.h"

int InitSound();
int EndSound();
// Tops up the streaming sound buffers (run by ProcessMessage).
int RefillAllStreams();

// Music: MIDI through MCI and stream-played music.
int ReleaseStreamMusic();
int UpdateMusicStates();
int PauseStreamMusic();
int ResumeStreamMusic();
void OnMidiNotify(WPARAM wParam, LPARAM lParam);
void OnStreamMusicEvent();

#endif
