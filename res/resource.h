// Command, string, cursor and control ids of the program. The numbers are stable: menus,
// toolbars, accelerators and the command routing all refer to them.
#pragma once

// Menus, toolbars, icons and dialog templates.
constexpr int IDR_MAINFRAME = 128;     // main menu, icon, accelerators, title
constexpr int IDR_ORVIKTYPE = 129;     // document menu and icon
constexpr int IDR_TOOL_PALETTE = 137;  // the "Tool Palette" toolbar
constexpr int IDB_ABOUT = 135;         // the about-box picture
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_NEW_IMAGE = 131;
constexpr int IDD_COLOR_PALETTE = 136;
constexpr int IDD_COLOR_EDIT = 143;
constexpr int IDD_DECREASE_DEPTH = 145;
constexpr int IDD_CANVAS_SIZE = 147;
constexpr int IDD_RESIZE_IMAGE = 149;
constexpr int IDD_SETUP = 150;

// Standard commands.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FILE1 = 57616;
constexpr int ID_FILE_MRU_LAST = 57631;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;  // Paste As New Image
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_REDO = 57644;
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;

// The program's own commands.
constexpr int ID_TOOL_ZOOM = 32771;
constexpr int ID_TOOL_BRUSH = 32772;
constexpr int ID_TOOL_SELECT = 32773;
constexpr int ID_EDIT_PASTE_SELECTION = 32776;
constexpr int ID_COLORS_DECREASE = 32778;
constexpr int ID_COLORS_INCREASE = 32779;
constexpr int ID_COLORS_REMAP = 33200;  // Colors > Remap to Palette (8-bit images)
constexpr int ID_IMAGE_CANVAS = 32780;
constexpr int ID_TOOL_LINE = 32781;
constexpr int ID_IMAGE_RESIZE = 32782;
constexpr int ID_MISC_TRANSLUCENT = 32784;
constexpr int ID_MISC_OPTION = 32785;
constexpr int ID_TOOL_RECT = 32786;
constexpr int ID_TOOL_FILL = 32787;
constexpr int ID_VIEW_COLOR_PALETTE = 32788;
constexpr int ID_VIEW_TOOL_PALETTE = 32789;
constexpr int ID_IMAGE_CLEAR = 32790;
constexpr int ID_VIEW_ZOOM_IN = 32791;
constexpr int ID_VIEW_ZOOM_OUT = 32792;
constexpr int ID_VIEW_FIT_WINDOW = 32793;
constexpr int ID_VIEW_ACTUAL_PIXELS = 32794;

// The drawing tools beyond the six, their options and the commands that go with them.
constexpr int ID_TOOL_ERASER = 33000;
constexpr int ID_TOOL_PICKER = 33001;
constexpr int ID_TOOL_ELLIPSE = 33002;
constexpr int ID_TOOL_POLYGON = 33003;
constexpr int ID_TOOL_SPRAY = 33004;
constexpr int ID_TOOL_TEXT = 33005;
constexpr int ID_TOOL_REPLACE = 33006;
constexpr int ID_IMAGE_REPLACE_COLOR = 33010;
constexpr int ID_EDIT_SELECT_ALL = 33011;
constexpr int ID_EDIT_SELECT_NONE = 33012;
constexpr int ID_VIEW_PIXEL_GRID = 33013;
constexpr int ID_VIEW_TOOL_OPTIONS = 33014;
constexpr int ID_BRUSH_SMALLER = 33015;
constexpr int ID_BRUSH_LARGER = 33016;
constexpr int ID_BRUSH_ROUND = 33020;
constexpr int ID_BRUSH_SQUARE = 33021;
constexpr int ID_BRUSH_PIXEL_PERFECT = 33022;
constexpr int ID_FILL_OUTLINED = 33023;
constexpr int ID_FILL_FILLED = 33024;
constexpr int ID_FILL_WITHOUT_OUTLINE = 33025;
constexpr int ID_TEXT_FONT = 33026;
constexpr int ID_TEXT_SMOOTH = 33027;
constexpr int IDC_BRUSH_SIZE = 33030;

// Image and palette commands (33400-33499).
constexpr int ID_IMAGE_FLIP_HORIZONTAL = 33400;
constexpr int ID_IMAGE_FLIP_VERTICAL = 33401;
constexpr int ID_IMAGE_ROTATE_CW = 33402;
constexpr int ID_IMAGE_ROTATE_CCW = 33403;
constexpr int ID_IMAGE_ROTATE_180 = 33404;
constexpr int ID_IMAGE_CROP = 33405;
constexpr int ID_IMAGE_AUTOCROP = 33406;
constexpr int ID_COLORS_INVERT = 33410;
constexpr int ID_COLORS_GREYSCALE = 33411;
constexpr int ID_COLORS_BRIGHTNESS_CONTRAST = 33412;
constexpr int ID_COLORS_POSTERIZE = 33413;
constexpr int ID_COLORS_LOAD_PALETTE = 33420;
constexpr int ID_COLORS_SAVE_PALETTE = 33421;
constexpr int ID_COLORS_SORT_HUE = 33422;
constexpr int ID_COLORS_SORT_BRIGHTNESS = 33423;
constexpr int ID_COLORS_SORT_USE = 33424;
constexpr int ID_COLORS_MERGE_DUPLICATES = 33425;
constexpr int ID_COLORS_REMOVE_UNUSED = 33426;
constexpr int ID_FILE_EXPORT_SCALED = 33430;

// Status bar indicators and strings.
constexpr int ID_SEPARATOR = 0;
constexpr int ID_INDICATOR_PROGRESS = 59394;  // pane 1: 35 spaces wide, hosts the progress bar
constexpr int ID_INDICATOR_IMAGE = 57347;     // pane 2: "Image : None"
constexpr int AFX_IDS_IDLEMESSAGE = 57345;

// Cursors.
constexpr int IDC_MOVE = 142;
constexpr int IDC_BRUSH = 139;
constexpr int IDC_ZOOM = 148;
constexpr int IDC_LINE = 151;
constexpr int IDC_RECT = 152;
constexpr int IDC_SELECT = 153;
constexpr int IDC_FILL = 155;

// Control ids of dialog templates.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_WIDTH = 1000;
constexpr int IDC_HEIGHT = 1001;
constexpr int IDC_BACKGROUND = 1002;
constexpr int IDC_IMAGE_TYPE = 1003;
constexpr int IDC_PALETTE_GRID = 1005;
constexpr int IDC_FORE_SWATCH = 1006;
constexpr int IDC_BACK_SWATCH = 1007;

// Change Canvas Size, Resize Image, Decrease Color Depth and Setup.
constexpr int IDC_WIDTH_PERCENT = 1002;
constexpr int IDC_HEIGHT_PERCENT = 1003;
constexpr int IDC_OCTREE = 1017;
constexpr int IDC_MEDIAN_CUT = 1018;
constexpr int IDC_STANDARD_PALETTE = 1019;
constexpr int IDC_NEAREST_COLOR = 1020;
constexpr int IDC_ORDERED_DITHER = 1021;
constexpr int IDC_ERROR_DIFFUSION = 1022;
// Decrease Color Depth and Remap to Palette: the controls after the template's.
constexpr int IDD_REMAP_PALETTE = 33201;
constexpr int IDC_COLOUR_COUNT = 33202;
constexpr int IDC_PALETTE_SOURCE = 33203;
constexpr int IDC_LOAD_PALETTE = 33204;
constexpr int IDC_PALETTE_FILE_NAME = 33205;
constexpr int IDC_PREVIEW = 33206;
constexpr int IDC_PREVIEW_ZOOM = 33207;
constexpr int IDC_PREVIEW_PSNR = 33208;
constexpr int IDC_PREVIEW_TILES = 33209;
constexpr int IDC_NEW_WIDTH = 1021;
constexpr int IDC_NEW_HEIGHT = 1022;
constexpr int IDC_CURRENT_WIDTH = 1023;
constexpr int IDC_CURRENT_HEIGHT = 1024;
constexpr int IDC_PIXEL_SIZE = 1028;
constexpr int IDC_PERCENTAGE = 1029;
constexpr int IDC_ASPECT = 1033;
constexpr int IDC_RATIO = 1034;
constexpr int IDC_RATIO_LABEL = 1035;
constexpr int IDC_TRANSLUCENT = 1038;
constexpr int IDC_FILL_STYLE = 1039;
constexpr int IDC_COLOR_FIELD = 1008;
constexpr int IDC_BLUE_BAR = 1011;
constexpr int IDC_RED = 1012;
constexpr int IDC_GREEN = 1013;
constexpr int IDC_BLUE = 1014;
constexpr int IDC_CURRENT_COLOR = 1015;
constexpr int IDC_OLD_COLOR = 1016;

// Resize Canvas's anchor, Resize Image's method and the colour and export dialogs (33440-33499).
constexpr int IDD_BRIGHTNESS_CONTRAST = 33440;
constexpr int IDD_POSTERIZE = 33441;
constexpr int IDD_EXPORT_SCALED = 33442;
constexpr int IDC_ANCHOR_FIRST = 33450;  // the nine anchor buttons, top-left to bottom-right
constexpr int IDC_RESIZE_METHOD = 33460;
constexpr int IDC_BRIGHTNESS = 33461;
constexpr int IDC_CONTRAST = 33462;
constexpr int IDC_LEVELS = 33463;
constexpr int IDC_SCALE = 33464;
constexpr int IDC_SCALED_SIZE = 33465;

// Recovery of unsaved work: the dialog offered at start, and its settings in Setup.
constexpr int IDD_RECOVERY = 33500;
constexpr int IDC_RECOVERY_LIST = 33501;
constexpr int IDC_RECOVER = 33502;
constexpr int IDC_DISCARD = 33503;
constexpr int IDC_KEEP_FOR_LATER = 33504;
constexpr int IDC_RECOVERY_ON = 33505;
constexpr int IDC_RECOVERY_INTERVAL = 33506;

// Transparency (33700-33799).
constexpr int IDC_TRANSPARENT_ENTRY = 33700;  // the colour dialog's "Transparent" check box

// Desktop (33600-33699).
constexpr int ID_HELP_GUIDE = 33600;
