// The graph table: one slot record per graph handle, kept in a handle table
// of 30000 slots, and the settings new graphs take their flags from.
// Platform-free: the pieces behind a graph (surfaces or textures) are made
// and released by graph management, which calls these functions around it.
#ifndef VEXLO_GRAPH_GRAPH_TABLE_H
#define VEXLO_GRAPH_GRAPH_TABLE_H

#include <cstdint>

const int GRAPH_TABLE_CAPACITY = 30000;
const int GRAPH_PIECE_LIMIT = 64;
const int GRAPH_FILE_NAME_SIZE = 60;
const int GRAPH_DIRECTORY_SIZE = 257;

struct GraphSlot {
    int checkNumber;
    int *deletedFlag;       // set to 1 when the graph is deleted
    uint8_t texture;        // pieces are Direct3D textures, else DirectDraw surfaces
    uint8_t alphaChannel;
    uint8_t drawValid;
    uint8_t systemMemory;
    uint8_t alphaTest;
    uint8_t colourBitDepth;
    uint8_t reloadMirror;   // mirror left to right when reloaded
    int pieces[GRAPH_PIECE_LIMIT]; // BMP-data or texture-data handles
    uint8_t pieceCount;
    char fileName[GRAPH_FILE_NAME_SIZE];  // "" when unknown
    char directory[GRAPH_DIRECTORY_SIZE]; // current directory when filled
    short srcX, srcY;       // the graph's top-left pixel in its source image
    uint16_t width, height;
    int movie;              // movie playing into the graph, -1 for none
    uint8_t needsRestore;
};

// The creation settings: zero when graph management starts, then use3D and
// alphaTest 1.
struct GraphCreationSettings {
    int colourDepth;   // bits of new graphs; 0: the screen's (32 with alpha)
    int use3D;         // new graphs may become textures
    int drawValid;     // new graphs may be draw targets
    int alphaChannel;  // blank graphs get alpha
    int alphaTest;
    int systemMemory;  // new surfaces go to system memory
    uint32_t transColour; // colour key of new surfaces, 0x00RRGGBB
};

// Results of AddGraphSlot besides a handle.
const int GRAPH_TABLE_FULL = -1;
const int GRAPH_NO_MEMORY = -2;

// Makes a zero-filled slot for a graph of the size: its handle, or
// GRAPH_TABLE_FULL / GRAPH_NO_MEMORY. texture is the decided piece kind.
int AddGraphSlot(int width, int height, int texture, int alphaChannel, const GraphCreationSettings &settings,
                 int screenBits, GraphSlot **slot);
// The slot of a live graph handle, else null.
GraphSlot *GetGraphSlot(int graph);
// The handle of a stored slot record, -1 when it is not in the table.
int GetGraphHandleOfSlot(const GraphSlot *slot);
// The handle of the graph in slot index, -1 for a free slot.
int GetGraphHandleAt(int index);
// Takes the graph out of the table, stores 1 through its deleted flag and
// frees the record. The caller released its pieces first. 0, or -1 for an
// invalid handle.
int FreeGraphSlot(int graph);
// Forgets every slot without freeing (graph management frees them first)
// and restarts the check numbers at 0.
void ResetGraphTable();
int GetGraphsInUse();
int GetGraphHighWater();

// The six flag bytes a graph's pieces are made with: texture, alpha channel,
// draw valid, system memory, alpha test, colour bit depth.
void GetGraphPieceFlags(const GraphSlot *slot, uint8_t flags[6]);
// Records the file name and directory a graph was filled from. A name that
// does not fit is not recorded (both stay empty: the graph is not
// reloaded); -1 then.
int SetGraphSource(GraphSlot *slot, const char *fileName, const char *directory);

#endif
