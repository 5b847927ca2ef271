// Operations of subsystems that are not built yet. Each answers as a part
// that has not started: starts fail the way their real failure goes, ends do
// nothing, draws and queries return -1. Each subsystem removes its entries
// here when it is built.
#include <windows.h>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/char_buffer.h"
#include "core/clock.h"
#include "core/core_state.h"
#include "core/main_window.h"
#include "core/system_report.h"
#include "display/display.h"
#include "display/display_needs.h"
#include "font/font.h"
#include "d3d/d3d.h"
#include "movie/movie.h"
#include "net/network.h"
#include "sound/sound.h"
#include "soft/draw_state.h"

// ---- Text input and the IME -------------------------------------------------

int StartCharBuffer() { return 0; }
int IsCharBufferFull() { return 0; }
int PushCharCode(unsigned char) { return -1; }
void HandleImeMessage(HWND, UINT, WPARAM, LPARAM) {}
int ProcessKeyInput() { return 0; }
int DeleteAllKeyInputs() { return 0; }


// ---- Direct3D (called by the display and graph management) ----------------------

int StartDirect3D() { return -1; }
int EndDirect3D() { return 0; }
int IsDirect3DInUse() { return 0; }
int EndScene3D() { return 0; }
int SelectDrawScreen3D(int) { return -1; }
int ClearDrawScreen3D() { return -1; }
int ReleaseDirect3D() { return 0; }
int ReacquireDirect3D() { return -1; }

// ---- Graphs, drawing, fonts ---------------------------------------------------

int ReleaseMovieSurfaces() { return 0; }
int RestoreMovieSurfaces() { return 0; }
int PlayAllMovies() { return 0; }
int PauseAllMovies() { return 0; }

// ---- Sound and network ------------------------------------------------------------

int InitSound() { return -1; }
int EndSound() { return 0; }
int ReleaseStreamMusic() { return 0; }
int RefillAllStreams() { return 0; }
int UpdateMusicStates() { return 0; }
int PauseStreamMusic() { return 0; }
int ResumeStreamMusic() { return 0; }
void OnMidiNotify(WPARAM, LPARAM) {}
void OnStreamMusicEvent() {}
extern "C" int StopMusic(void) { return 0; }
int EndNetwork() { return 0; }
LRESULT OnSocketEvent(HWND, UINT, WPARAM, LPARAM) { return 0; }
int PumpNetworkMessages(int) { return 0; }
int ProcessDownloads() { return 0; }
int ResetDownloads() { return 0; }
int EndAllDownloads() { return 0; }
