// Graph management: the creation settings, graph creation, filling and
// deletion on top of the graph table, and the loaders over the file-access
// layer. Windows side; the display starts and ends it with every screen mode.
#ifndef VEXLO_GRAPH_GRAPH_MANAGE_H
#define VEXLO_GRAPH_GRAPH_MANAGE_H

#include <windows.h>

#include "graph_image.h"
#include "graph_table.h"
#include "image_loader.h"

GraphCreationSettings &GraphSettings();

// Ends the program when the table is full or memory runs out.
int CreateGraphSlot(int width, int height, int textureWish, int alphaChannel, GraphSlot **slot);
// CreateGraph with the alpha-channel setting: for caches drawn through graphs.
int CreateBlankGraph(int width, int height);

int LoadGraphEx(const char *fileName, int textureWish, int mirror);
int CreateGraphFromImage(GraphImage *image, GraphImage *alphaImage, int textureWish, int mirror, int mirrorBack);
// Records where the pixels came from in the slot, then fills every piece.
int FillGraph(int graph, const GraphImage *image, const GraphImage *alphaImage, int srcX, int srcY,
              const char *fileName, int reloadMirror);
// 1 when a piece of the graph had lost its surface memory (it is restored).
int RestoreGraphPiecesIfLost(int graph);

// Image files through the installed file-access table.
const ImageOpener *FileImageOpener();
int LoadFileImagePair(const char *fileName, GraphImage *image, GraphImage *alphaImage, int mirror);

#endif
