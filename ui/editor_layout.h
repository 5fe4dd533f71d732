// Where the hotkey editor puts its remote buttons on the picture of the
// remote, and which of them no remote button reaches. The editor and the
// preview program both draw from this one table; at another DPI than 96 the
// editor scales the picture and the buttons together from it.
#pragma once

namespace k7 {

// One button per slot of a profile.
constexpr int kEditorButtonCount = 34;

struct ButtonRect {
  int left, top, right, bottom;
};

// Client-pixel rectangle of each slot's button.
inline constexpr ButtonRect kEditorButtonRects[kEditorButtonCount] = {
    {32, 36, 45, 49},    {91, 36, 104, 49},   {32, 57, 45, 70},    {62, 57, 75, 70},
    {91, 57, 104, 70},   {32, 78, 45, 91},    {62, 78, 75, 91},    {91, 78, 104, 91},
    {32, 99, 45, 112},   {62, 99, 75, 112},   {91, 99, 104, 112},  {32, 120, 45, 133},
    {62, 120, 75, 133},  {91, 120, 104, 133}, {32, 141, 45, 153},  {91, 141, 104, 153},
    {50, 152, 87, 164},  {37, 162, 52, 191},  {56, 168, 80, 183},  {84, 161, 99, 190},
    {50, 187, 86, 200},  {32, 197, 45, 210},  {91, 197, 104, 210}, {36, 225, 50, 235},
    {61, 225, 75, 235},  {87, 225, 101, 235}, {36, 243, 50, 253},  {61, 243, 75, 253},
    {87, 243, 101, 253}, {36, 261, 50, 271},  {61, 261, 75, 271},  {87, 261, 101, 271},
    {49, 283, 63, 293},  {74, 283, 88, 293},
};

// Client-pixel rectangle of the picture of the remote (104 x 350): the
// buttons' images were drawn with the picture there.
inline constexpr ButtonRect kRemotePictureRect = {16, 14, 120, 364};
// Where the remote's body ends in the client area; the picture below it is
// the dialog's ground, and may be cut.
constexpr int kRemoteBodyBottom = 360;

// The DPIs the picture and the button images were drawn for; the set for
// kPictureDpis[k] has the 96 DPI bitmap ids plus k * kBitmapSetStep.
inline constexpr int kPictureDpis[] = {96, 120, 144, 192};
constexpr int kBitmapSetStep = 1000;

// The editor's remote at one DPI: the picture's and the buttons' client
// rectangles, each edge scaled by dpi / 96 and rounded half up (so buttons
// that meet still meet), and the set of images to draw them from.
struct EditorRemoteLayout {
  ButtonRect picture;
  ButtonRect buttons[kEditorButtonCount];
  // Added to a 96 DPI bitmap id: the nearest set's id.
  int bitmapOffset;
  // The set was drawn for this DPI: its images fit without stretching.
  bool exactSet;
  // The client area must reach this far down to show the whole remote
  // (the template's height does at 96 DPI, not above: dialog units grow
  // more slowly than the DPI).
  int minClientBottom;
};

// An unusable DPI (0 or less, or absurdly large) is taken as 96.
EditorRemoteLayout EditorRemoteLayoutForDpi(int dpi);

// Slots whose buttons stay disabled: no remote button reaches them.
inline constexpr int kDisabledSlots[] = {0, 2, 5, 8, 11, 12};

}  // namespace k7
