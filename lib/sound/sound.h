#ifndef VEXLO_SOUND_SOUND_H
#define VEXLO_SOUND_SOUND_H

int InitSound();
int EndSound();
int ReleaseStreamMusic();
int StopMusic();

#endif
