#ifndef VEXLO_FONT_FONT_H
#define VEXLO_FONT_FONT_H

int CreateFontToHandle(const char *faceName, int size, int thickness, int fontType,
                       int charSetIndex, int slot, int keepCheck);
int DeleteFontToHandle(int fontHandle);
// The int is set to 1 when the font is deleted.
int SetFontDeletedFlag(int fontHandle, int *deletedFlag);
int DrawStringToHandle(int x, int y, const char *text, int colour, int fontHandle, int edgeColour);

#endif
