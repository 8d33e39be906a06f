// What the GUI driver asks of the probe it places in Tessella.exe, and the
// shared block the answers come back in. Menus, scroll bars and GDI handles
// cannot be read from another process under Wine, and a dropped-files handle
// must be made by the process that receives it: the probe does these inside
// the program, on its user-interface thread.
#pragma once
#include <cstdint>

namespace gui {

constexpr char kProbeMessage[] = "Tessella.GuiProbe";   // registered message posted to the frame
constexpr char kProbeMapping[] = "TessellaGuiProbeBlock";
constexpr char kProbeDone[] = "TessellaGuiProbeDone";  // event set when the answer is there
constexpr char kProbeHookName[] = "ProbeHook";

enum ProbeQuery : uint32_t {
  kQueryMenuStates = 1,  // ids[] -> states[] after the menu's initialisation
  kQueryScroll = 2,      // the client's scroll bars and size
  kQueryDrop = 3,        // files[] dropped on the frame (GlobalAlloc'd DROPFILES)
  kQueryObjects = 4,     // GDI and USER objects of the process
  kQueryToolTips = 5,    // ids[] -> the frame's tooltip texts in files[]
};

struct ProbeBlock {
  uint32_t query;
  uint32_t count;            // entries of ids[]
  uint32_t ids[128];
  uint32_t states[128];      // GetMenuState, 0xFFFFFFFF for an ID not in the menu
  int32_t scroll[2][4];      // [SB_HORZ, SB_VERT][min, max, page, pos]
  int32_t clientWidth, clientHeight;
  uint32_t horzVisible, vertVisible;
  uint32_t gdiObjects;       // GetGuiResources, or Wine's GDI handle table
  uint32_t userObjects;      // GetGuiResources, or 0 where it is not implemented
  uint32_t windows;          // windows of the process, children included
  uint32_t gdiFromTable;     // 1 when gdiObjects was counted in the handle table
  char files[4096];          // NUL after each name, one more at the end
  uint32_t done;             // 1 once the probe answered
};

}  // namespace gui
