#include "graph_table.h"

#include <cstdlib>
#include <cstring>

#include "handle_table.h"

namespace {

HandleTable &Graphs()
{
    static HandleTable table(HANDLE_KIND_GRAPH, GRAPH_TABLE_CAPACITY);
    return table;
}

uint8_t NewGraphBitDepth(int alphaChannel, const GraphCreationSettings &settings, int screenBits)
{
    if (settings.colourDepth != 0) return static_cast<uint8_t>(settings.colourDepth);
    return static_cast<uint8_t>(alphaChannel == 1 ? 32 : screenBits);
}

} // namespace

int AddGraphSlot(int width, int height, int texture, int alphaChannel, const GraphCreationSettings &settings,
                 int screenBits, GraphSlot **slot)
{
    HandleTable &table = Graphs();
    if (table.InUse() >= table.Capacity()) return GRAPH_TABLE_FULL;
    auto *record = static_cast<GraphSlot *>(std::calloc(1, sizeof(GraphSlot)));
    if (!record) return GRAPH_NO_MEMORY;
    record->width = static_cast<uint16_t>(width);
    record->height = static_cast<uint16_t>(height);
    record->movie = -1;
    record->texture = texture ? 1 : 0;
    record->alphaChannel = static_cast<uint8_t>(alphaChannel);
    record->drawValid = static_cast<uint8_t>(settings.drawValid);
    record->systemMemory = static_cast<uint8_t>(settings.systemMemory);
    record->alphaTest = static_cast<uint8_t>(settings.alphaTest);
    record->colourBitDepth = NewGraphBitDepth(alphaChannel, settings, screenBits);
    int handle = table.Add(record);
    if (handle < 0) {
        std::free(record);
        return GRAPH_NO_MEMORY; // the slot array itself could not be allocated
    }
    record->checkNumber = HandleCheckOf(handle);
    if (slot) *slot = record;
    return handle;
}

GraphSlot *GetGraphSlot(int graph) { return static_cast<GraphSlot *>(Graphs().Find(graph)); }

int GetGraphHandleOfSlot(const GraphSlot *slot) { return Graphs().HandleOfRecord(slot); }

int GetGraphHandleAt(int index) { return Graphs().HandleAt(index); }

int FreeGraphSlot(int graph)
{
    auto *slot = static_cast<GraphSlot *>(Graphs().Remove(graph));
    if (!slot) return -1;
    if (slot->deletedFlag) *slot->deletedFlag = 1;
    std::free(slot);
    return 0;
}

void ResetGraphTable() { Graphs().Reset(); }
int GetGraphsInUse() { return Graphs().InUse(); }
int GetGraphHighWater() { return Graphs().HighWater(); }

void GetGraphPieceFlags(const GraphSlot *slot, uint8_t flags[6])
{
    flags[0] = slot->texture;
    flags[1] = slot->alphaChannel;
    flags[2] = slot->drawValid;
    flags[3] = slot->systemMemory;
    flags[4] = slot->alphaTest;
    flags[5] = slot->colourBitDepth;
}

int SetGraphSource(GraphSlot *slot, const char *fileName, const char *directory)
{
    if (!fileName) fileName = "";
    if (!directory) directory = "";
    slot->fileName[0] = '\0';
    slot->directory[0] = '\0';
    size_t nameLength = std::strlen(fileName), dirLength = std::strlen(directory);
    if (nameLength >= sizeof slot->fileName || dirLength >= sizeof slot->directory) return -1;
    std::memcpy(slot->fileName, fileName, nameLength + 1);
    std::memcpy(slot->directory, directory, dirLength + 1);
    return 0;
}
