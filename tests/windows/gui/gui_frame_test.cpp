// The frame as the user meets it: menu, accelerators, toolbar with its
// tooltips, and the welcome picture with the version written into it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "gui_actions.h"
#include "gui_pictures.h"

namespace gui {
namespace {

struct Expected {
  const char* menu;
  const char* text;
  unsigned id;
};

// The program's menu as the users' documentation gives it.
const Expected kMenu[] = {
    {"&File", "&Open HP-GL...\tCtrl+O", 1001},
    {"&File", "Ope&n HP-GL Special...\tCtrl+H", 10001},
    {"&File", "Open &Metafile...\tCtrl+M", 1002},
    {"&File", "&View Log...\tCtrl+L", 1003},
    {"&File", "Vie&w Source...\tCtrl+W", 1004},
    {"&File", "&Save As EMF...\tCtrl+S", 1010},
    {"&File", "Save As EM&Z...\tCtrl+Shift+S", 1012},
    {"&File", "Export &As...", 1011},
    {"&File", "Page Se&tup...", 1022},
    {"&File", "&Print\tCtrl+P", 1020},
    {"&File", "Printe&r Setup...", 1021},
    {"&File", "Pre&ferences...", 1025},
    {"&File", "E&xit\tAlt+X", 1030},
    {"&Edit", "&Copy\tCtrl+C", 1101},
    {"&Edit", "&Paste\tCtrl+V", 1102},
    {"&Edit", "C&lear\tDel", 1105},
    {"&Edit", "&Options...", 1110},
    {"&Edit", "E&xport Settings...", 10004},
    {"&Edit", "&Import Settings...", 10005},
    {"&View", "Fit to &Window\tF9", 1300},
    {"&View", "&Shrink Wrap", 1350},
    {"&View", "&Normal Viewing (1:1)\tF5", 1301},
    {"&View|Zoom &In", "&2:1", 1312},
    {"&View|Zoom &In", "&3:1", 1313},
    {"&View|Zoom &In", "&4:1", 1314},
    {"&View|Zoom &In", "&5:1", 1315},
    {"&View|Zoom &In", "&6:1", 1316},
    {"&View|Zoom &In", "&7:1", 1317},
    {"&View|Zoom &In", "&8:1", 1318},
    {"&View|Zoom &Out", "1:&2", 1322},
    {"&View|Zoom &Out", "1:&3", 1323},
    {"&View|Zoom &Out", "1:&4", 1324},
    {"&View|Zoom &Out", "1:&5", 1325},
    {"&View|Zoom &Out", "1:&6", 1326},
    {"&View|Zoom &Out", "1:&7", 1327},
    {"&View|Zoom &Out", "1:&8", 1328},
    {"&Help", "&Contents\tF1", 1201},
    {"&Help", "&Search for Help on...", 1202},
    {"&Help", "Chec&k for Updates...", 10006},
    {"&Help", "&About Tessella...", 1249},
};

TEST(Frame, TheMenuHoldsEveryItemWithItsTextAndId) {
  std::vector<MenuItem> items = ReadMenuResource(Where().exe, "TSL");
  ASSERT_FALSE(items.empty()) << "no menu TSL in " << Where().exe;
  std::map<unsigned, std::string> byId;
  for (const MenuItem& m : items)
    if (m.id) byId[m.id] = m.path;
  for (const Expected& e : kMenu) {
    auto it = byId.find(e.id);
    ASSERT_NE(it, byId.end()) << "no item " << e.id << " (" << e.text << ")";
    EXPECT_EQ(it->second, std::string(e.menu) + "|" + e.text) << e.id;
    byId.erase(it);
  }
  for (const auto& rest : byId) ADD_FAILURE() << "unexpected item " << rest.first << " " << rest.second;
}

TEST(Frame, TheAcceleratorsSendTheirCommands) {
  using Key = std::tuple<int, int, int>;  // flags, key, command
  const int V = FVIRTKEY, C = FVIRTKEY | FCONTROL, S = FVIRTKEY | FCONTROL | FSHIFT, A = FVIRTKEY | FALT;
  std::set<Key> expected = {
      {C, 'O', 1001},      {C, 'H', 10001},     {C, 'M', 1002},       {C, 'L', 1003},       {C, 'W', 1004},
      {C, 'S', 1010},      {S, 'S', 1012},      {C, 'P', 1020},       {A, 'X', 1030},       {C, 'C', 1101},
      {C, 'V', 1102},      {V, VK_DELETE, 1105}, {V, VK_F9, 1300},    {V, VK_F5, 1301},     {0, '+', 1311},
      {0, '-', 1321},      {A, 'I', 1249},      {V, VK_PRIOR, 1401},  {V, VK_NEXT, 1400},   {V, VK_UP, 1405},
      {V, VK_DOWN, 1406},  {C, VK_UP, 1401},    {C, VK_DOWN, 1400},   {V, VK_LEFT, 1415},   {V, VK_RIGHT, 1416},
      {C, VK_LEFT, 1410},  {C, VK_RIGHT, 1411},
  };
  std::set<Key> actual;
  for (const ACCEL& a : ReadAccelerators(Where().exe, 45)) actual.insert(Key{a.fVirt & ~0x80, a.key, a.cmd});
  EXPECT_EQ(actual, expected);
}

TEST(Frame, ToolbarButtonsImagesAndTooltips) {
  ResetSettings();
  App app("");
  ASSERT_TRUE(app.frame());
  // Nothing on the command line: the Open dialog comes up over the
  // welcome picture.
  ASSERT_TRUE(DriveFileDialog(app.pid(), "Open Plot File", ""));
  EXPECT_EQ(app.Caption(), "Tessella 5.4.1110 - HP-GL Plot file conversion utility");

  const ToolButton kButtons[] = {{0, 0, true},     {0, 1001, false},  {1, 1003, false}, {0, 0, true},
                                 {2, 1020, false}, {0, 0, true},      {3, 1101, false}, {4, 1102, false},
                                 {0, 0, true},     {5, 1110, false},  {0, 0, true},     {6, 1301, false},
                                 {10, 1300, false}, {7, 1311, false}, {8, 1321, false}, {0, 0, true},
                                 {9, 1201, false}};
  std::vector<ToolButton> buttons = ReadToolbar(app);
  ASSERT_EQ(buttons.size(), 17u);
  std::vector<uint32_t> commands;
  for (size_t i = 0; i < 17; ++i) {
    EXPECT_EQ(buttons[i].separator, kButtons[i].separator) << i;
    if (kButtons[i].separator) continue;
    EXPECT_EQ(buttons[i].command, kButtons[i].command) << i;
    EXPECT_EQ(buttons[i].image, kButtons[i].image) << i;
    commands.push_back(static_cast<uint32_t>(kButtons[i].command));
  }
  const std::vector<std::string> kTips = {"Open HP-GL", "View Log",           "Print",         "Copy",
                                          "Paste",      "Options",            "Normal View (100%)", "Fit to Window",
                                          "Zoom In",    "Zoom Out",           "Help Contents"};
  EXPECT_EQ(app.ToolTips(commands), kTips);

  // Every button shows a picture of its own: none is blank or a copy.
  Repaint(app.frame());
  Picture bar = GrabClient(app.Toolbar());
  SaveShot(bar, "toolbar");
  std::vector<Picture> images = ButtonImages(app, bar);
  ASSERT_EQ(images.size(), 11u);
  for (size_t i = 0; i < images.size(); ++i) {
    EXPECT_GT(CountDiffering(images[i], bar.At(1, 1)), 20) << "button " << i << " shows no picture";
    for (size_t j = 0; j < i; ++j) EXPECT_NE(images[i].pixels, images[j].pixels) << i << " and " << j;
  }

  // The welcome picture, fitted, with the version written in.
  Picture welcome = GrabWindow(app.frame());
  SaveShot(welcome, "welcome");
  Picture client = GrabClient(app.Client());
  EXPECT_TRUE(HasHatch(client)) << "the hatch around the fitted picture";
  Box2 ink = InkBox(client, kWhite);
  EXPECT_GT(ink.Width(), client.width / 2);
}

}  // namespace
}  // namespace gui
