#ifndef VEXLO_GRAPH_GRAPH_RESTORE_H
#define VEXLO_GRAPH_GRAPH_RESTORE_H

#include <windows.h>

// Installs the function that reloads graphs after their surfaces were lost.
void InstallDefaultGraphRestore();
// The function run after every graph was marked for restoring; null puts
// back the default, which reloads each graph from its file.
int SetRestoreCallback(void (*function)());
// After the display was rebuilt: rebuilds the fonts and reloads the graphs.
int MarkGraphsForRestore();
// Restores lost screens and graph surfaces.
int ReloadAllGraphs();
// Loads an image file into a GDI DIB section; null when it cannot.
HBITMAP CreateDIBGraph(const char *fileName);

#endif
