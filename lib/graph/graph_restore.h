#ifndef VEXLO_GRAPH_GRAPH_RESTORE_H
#define VEXLO_GRAPH_GRAPH_RESTORE_H

// Installs the function that reloads graphs after their surfaces were lost.
void InstallDefaultGraphRestore();

#endif
