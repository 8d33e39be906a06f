// One named settings set: every conversion option. Copied as a whole; holds
// no pointers.
#pragma once
#include <cstdint>

#include "common/gdi/types.h"

namespace tsl {

constexpr int kPenTableSize = 257;  // pens 0..256
constexpr int kConfiguredPens = 17; // pens 0..16 are stored

// The flag word, bit 0 first.
enum SettingsFlag : uint32_t {
  AutoCopy = 1u << 0,
  NoAutoClose = 1u << 1,
  NoNOPWarnings = 1u << 2,
  NoInfoMessages = 1u << 3,
  CompatibilityMode = 1u << 4,
  AssumeIN = 1u << 5,
  Rotate = 1u << 6,
  MirrorX = 1u << 7,
  MirrorY = 1u << 8,
  OEMConvert = 1u << 9,
  LJMode = 1u << 10,
  DrawChars = 1u << 11,
  MultiplePages = 1u << 12,
  HighResolution = 1u << 13,
  Normalize = 1u << 14,
  Unattended = 1u << 15,
  PurgeLogs = 1u << 16,
  MeasureOnly = 1u << 17,
  DdeRequest = 1u << 18,
  PrinterChosen = 1u << 19,
  Quiet = 1u << 20,
  ForceDefaults = 1u << 21,
  WriteColorFile = 1u << 22,
  IgnorePC = 1u << 23,
  IgnoreLT = 1u << 24,
  PurgeEMF = 1u << 25,
  NoWarnings = 1u << 26,
  AutoEMZ = 1u << 27,
};

// AutoPrint bits.
enum : uint16_t { AutoPrintAfterConvert = 1, AutoPrintMetafiles = 2, AutoPrintDefault = 4 };
// AutoExport bits.
enum : uint8_t { AutoExportBMP = 1, AutoExportPNG = 2, AutoExportJPEG = 4 };

struct SettingsSet {
  char Name[48] = {};
  gdi::COLORREF PenColor[kPenTableSize] = {};
  int16_t PenWidth[kPenTableSize] = {};
  int16_t FramePicture = 0;
  int16_t PageWidth = 0;
  int16_t PageHeight = 0;
  uint16_t Rotation = 0;
  uint32_t InitialCmdBuffer = 0;
  uint32_t ExportSize = 0;
  uint16_t AutoPrint = 0;
  uint8_t AutoExport = 0;
  uint32_t Flags = 0;
  float ScalePercent = 0;
  uint32_t Reserved = 0;
  gdi::LogFont Font;

  bool Has(SettingsFlag f) const { return (Flags & f) != 0; }
  void Set(SettingsFlag f, bool on) { Flags = on ? (Flags | f) : (Flags & ~static_cast<uint32_t>(f)); }
};

// The default colour of pens 0..16.
gdi::COLORREF DefaultPenColor(unsigned pen);

// A set with every default, named `name`: what ReadIniFile gives over an
// empty store.
SettingsSet DefaultSettings(const char* name = "Default");

}  // namespace tsl
