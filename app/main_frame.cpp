#include "app/main_frame.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <cstring>

#include "app/child_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/tool_options_bar.h"
#include "views/tool_table.h"

namespace {

// `text` as a menu shows it: without its access key ("&B", or "(&B)" after a Korean text), "&&" as "&".
QString WithoutAccessKey(QString text) {
    static const QRegularExpression korean(QStringLiteral("\\(&[^&]\\)"));
    text.remove(korean);
    static const QRegularExpression key(QStringLiteral("&(.)"));
    return text.replace(key, QStringLiteral("\\1"));
}

// Every command the menus, toolbars and accelerators offer. The menu text may carry the keys after
// a tab; the prompt is the status-bar text, then after "\n" the tool tip.
struct CommandInfo {
    int id;
    const char* text;
    const char* keys;  // ';'-separated
    const char* icon;
    const char* prompt;
    bool checkable;
};

const CommandInfo kCommands[] = {
    {ID_FILE_NEW, QT_TRANSLATE_NOOP("CMainFrame", "새 파일(&N)\tCtrl+N"), "Ctrl+N", ":/toolbar/new.xpm",
     QT_TRANSLATE_NOOP("CMainFrame", "새 문서를 작성합니다\n새 파일"), false},
    {ID_FILE_OPEN, QT_TRANSLATE_NOOP("CMainFrame", "열기(&O)...\tCtrl+O"), "Ctrl+O", ":/toolbar/open.xpm",
     QT_TRANSLATE_NOOP("CMainFrame", "기존 문서를 엽니다\n열기"), false},
    {ID_FILE_CLOSE, QT_TRANSLATE_NOOP("CMainFrame", "닫기(&C)"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "활성 문서를 닫습니다\n닫기"), false},
    {ID_FILE_SAVE, QT_TRANSLATE_NOOP("CMainFrame", "저장(&S)\tCtrl+S"), "Ctrl+S", ":/toolbar/save.xpm",
     QT_TRANSLATE_NOOP("CMainFrame", "활성 문서를 저장합니다\n저장"), false},
    {ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("CMainFrame", "다른 이름으로 저장(&A)..."), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "활성 문서를 새 이름으로 저장합니다\n다른 이름으로 저장"), false},
    {ID_FILE_PRINT, QT_TRANSLATE_NOOP("CMainFrame", "인쇄(&P)...\tCtrl+P"), "Ctrl+P", ":/toolbar/print.xpm",
     QT_TRANSLATE_NOOP("CMainFrame", "활성 문서를 인쇄합니다\n인쇄"), false},
    {ID_FILE_PRINT_PREVIEW, QT_TRANSLATE_NOOP("CMainFrame", "인쇄 미리 보기(&V)"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "전체 페이지를 표시합니다\n인쇄 미리 보기"), false},
    {ID_FILE_PRINT_SETUP, QT_TRANSLATE_NOOP("CMainFrame", "인쇄 설정(&R)..."), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "프린터 및 인쇄 옵션을 변경합니다\n인쇄 설정"), false},
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("CMainFrame", "종료(&X)"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "문서를 저장할지 묻고 응용 프로그램을 끝냅니다\n끝내기"), false},
    {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("CMainFrame", "취소(&U)\tCtrl+Z"), "Ctrl+Z;Alt+Backspace", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "마지막 작업을 취소합니다\n실행 취소"), false},
    {ID_EDIT_REDO, QT_TRANSLATE_NOOP("CMainFrame", "Redo(&R)\tCtrl+Y"), "Ctrl+Y;Ctrl+Shift+Z", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Redo the last undone action\nRedo"), false},
    {ID_EDIT_CUT, QT_TRANSLATE_NOOP("CMainFrame", "Cut(&T)\tCtrl+X"), "Ctrl+X;Shift+Del", ":/toolbar/cut.xpm",
     QT_TRANSLATE_NOOP("CMainFrame", "선택 영역을 잘라내어 클립보드에 넣습니다\n잘라내기"), false},
    {ID_EDIT_COPY, QT_TRANSLATE_NOOP("CMainFrame", "Copy(&C)\tCtrl+C"), "Ctrl+C;Ctrl+Ins",
     ":/toolbar/copy.xpm", QT_TRANSLATE_NOOP("CMainFrame", "선택 영역을 복사하여 클립보드에 넣습니다\n복사"),
     false},
    {ID_EDIT_PASTE, QT_TRANSLATE_NOOP("CMainFrame", "As New Image\tCtrl+V"), "Ctrl+V;Shift+Ins",
     ":/toolbar/paste.xpm", QT_TRANSLATE_NOOP("CMainFrame", "Paste As New Image"), false},
    {ID_EDIT_PASTE_SELECTION, QT_TRANSLATE_NOOP("CMainFrame", "As New Selection...\tCtrl+E"), "Ctrl+E",
     nullptr, QT_TRANSLATE_NOOP("CMainFrame", "Paste As New Selection"), false},
    {ID_IMAGE_CLEAR, QT_TRANSLATE_NOOP("CMainFrame", "Clear\tDel"), "Del", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Clear Image"), false},
    {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("CMainFrame", "Standard Toolbar"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "도구 모음을 표시하거나 숨깁니다\n도구 모음 전환"), true},
    {ID_VIEW_TOOL_PALETTE, QT_TRANSLATE_NOOP("CMainFrame", "Tool Palette"), "", nullptr, "", true},
    {ID_VIEW_COLOR_PALETTE, QT_TRANSLATE_NOOP("CMainFrame", "Color Palette"), "", nullptr, "", true},
    {ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("CMainFrame", "Status Bar"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "상태 표시줄을 표시하거나 숨깁니다\n상태 표시줄 전환"), true},
    {ID_VIEW_ZOOM_IN, QT_TRANSLATE_NOOP("CMainFrame", "Zoom In\tCtrl++"), "Ctrl++;Ctrl+=", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show the image one step larger\nZoom In"), false},
    {ID_VIEW_ZOOM_OUT, QT_TRANSLATE_NOOP("CMainFrame", "Zoom Out\tCtrl+-"), "Ctrl+-", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show the image one step smaller\nZoom Out"), false},
    {ID_VIEW_FIT_WINDOW, QT_TRANSLATE_NOOP("CMainFrame", "Fit in Window\tCtrl+0"), "Ctrl+0", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show the whole image as large as the window allows\nFit in Window"),
     false},
    {ID_VIEW_ACTUAL_PIXELS, QT_TRANSLATE_NOOP("CMainFrame", "Actual Pixels\tCtrl+1"), "Ctrl+1", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show one image pixel on each screen pixel\nActual Pixels"), false},
    {ID_IMAGE_CANVAS, QT_TRANSLATE_NOOP("CMainFrame", "Resize Canvas"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Resize the drawing canvas"), false},
    {ID_IMAGE_RESIZE, QT_TRANSLATE_NOOP("CMainFrame", "Resize Image"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Change the size of Image.(Scale)"), false},
    {ID_COLORS_DECREASE, QT_TRANSLATE_NOOP("CMainFrame", "256 Colors (8 Bit)"), "", nullptr, "", false},
    {ID_COLORS_INCREASE, QT_TRANSLATE_NOOP("CMainFrame", "16 Million (24Bit)"), "", nullptr, "", false},
    {ID_COLORS_REMAP, QT_TRANSLATE_NOOP("CMainFrame", "Remap to Palette..."), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Map the colours of an 8-bit image onto another palette"), false},
    {ID_MISC_TRANSLUCENT, QT_TRANSLATE_NOOP("CMainFrame", "Translucent"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Turn On/Off Translucent Effect."), true},
    {ID_MISC_OPTION, QT_TRANSLATE_NOOP("CMainFrame", "Option"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Change Options."), false},
    {ID_IMAGE_FLIP_HORIZONTAL, QT_TRANSLATE_NOOP("CMainFrame", "Flip Horizontal"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Mirror the picture or the floating selection left to right"), false},
    {ID_IMAGE_FLIP_VERTICAL, QT_TRANSLATE_NOOP("CMainFrame", "Flip Vertical"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Mirror the picture or the floating selection top to bottom"), false},
    {ID_IMAGE_ROTATE_CW, QT_TRANSLATE_NOOP("CMainFrame", "Rotate 90° Clockwise"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Turn the picture or the floating selection a quarter turn clockwise"), false},
    {ID_IMAGE_ROTATE_CCW, QT_TRANSLATE_NOOP("CMainFrame", "Rotate 90° Counter-clockwise"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Turn the picture or the floating selection a quarter turn counter-clockwise"),
     false},
    {ID_IMAGE_ROTATE_180, QT_TRANSLATE_NOOP("CMainFrame", "Rotate 180°"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Turn the picture or the floating selection half a turn"), false},
    {ID_IMAGE_CROP, QT_TRANSLATE_NOOP("CMainFrame", "Crop to Selection\tCtrl+Shift+X"), "Ctrl+Shift+X", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Keep only the selected part of the picture"), false},
    {ID_IMAGE_AUTOCROP, QT_TRANSLATE_NOOP("CMainFrame", "Autocrop"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Remove the border of one colour, or of transparent pixels, around the picture"),
     false},
    {ID_COLORS_INVERT, QT_TRANSLATE_NOOP("CMainFrame", "Invert"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Turn every colour of the selection or the picture into its opposite"), false},
    {ID_COLORS_GREYSCALE, QT_TRANSLATE_NOOP("CMainFrame", "Greyscale"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Turn the colours of the selection or the picture into greys"), false},
    {ID_COLORS_BRIGHTNESS_CONTRAST, QT_TRANSLATE_NOOP("CMainFrame", "Brightness / Contrast…"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Make the selection or the picture lighter or darker, softer or harder"), false},
    {ID_COLORS_POSTERIZE, QT_TRANSLATE_NOOP("CMainFrame", "Posterize…"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Reduce each colour channel of the selection or the picture to a few levels"),
     false},
    {ID_COLORS_LOAD_PALETTE, QT_TRANSLATE_NOOP("CMainFrame", "Load Palette…"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Replace the palette's colours with those of a palette file"), false},
    {ID_COLORS_SAVE_PALETTE, QT_TRANSLATE_NOOP("CMainFrame", "Save Palette As…"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Write the palette to a GIMP, JASC, Photoshop or hex palette file"), false},
    {ID_COLORS_SORT_HUE, QT_TRANSLATE_NOOP("CMainFrame", "By Hue"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Order the palette by hue, greys first; the picture stays as it is"), false},
    {ID_COLORS_SORT_BRIGHTNESS, QT_TRANSLATE_NOOP("CMainFrame", "By Brightness"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Order the palette from dark to light; the picture stays as it is"), false},
    {ID_COLORS_SORT_USE, QT_TRANSLATE_NOOP("CMainFrame", "By Use Count"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Order the palette by how many pixels use each colour; the picture stays as it is"),
     false},
    {ID_COLORS_MERGE_DUPLICATES, QT_TRANSLATE_NOOP("CMainFrame", "Merge Duplicate Entries"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Keep each colour of the palette once; the picture stays as it is"), false},
    {ID_COLORS_REMOVE_UNUSED, QT_TRANSLATE_NOOP("CMainFrame", "Remove Unused Entries"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Move the entries in use (by the picture and as the current colours) to the front and clear the others"), false},
    {ID_FILE_EXPORT_SCALED, QT_TRANSLATE_NOOP("CMainFrame", "Export Scaled…"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Write a copy of the picture magnified 2 to 16 times"), false},
    {ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("CMainFrame", "계단식(&C)"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "창이 겹치도록 계단식으로 정렬합니다\n계단식 창 배열"), false},
    {ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("CMainFrame", "바둑판식(&T)"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "창이 겹치지 않도록 바둑판식으로 정렬합니다\n바둑판식 창 배열"), false},
    {ID_WINDOW_ARRANGE, QT_TRANSLATE_NOOP("CMainFrame", "아이콘 정렬(&A)"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "창의 아래쪽에 아이콘을 정렬합니다\n아이콘 정렬"), false},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CMainFrame", "Orvik 정보(&A)..."), "", ":/toolbar/about.xpm",
     QT_TRANSLATE_NOOP("CMainFrame", "프로그램 정보, 버전 번호, 저작권을 표시합니다\n정보"), false},
    {ID_HELP_GUIDE, QT_TRANSLATE_NOOP("CMainFrame", "&User Guide\tF1"), "F1", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show the user guide\nUser Guide"), false},
    {ID_NEXT_PANE, "", "F6", nullptr, QT_TRANSLATE_NOOP("CMainFrame", "다음 창으로 전환합니다\n다음 창"),
     false},
    {ID_PREV_PANE, "", "Shift+F6", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "이전 창으로 전환합니다\n이전 창"), false},
    // Beyond the described commands: selecting, the pixel grid, colour replacement and the tools'
    // options.
    {ID_EDIT_SELECT_ALL, QT_TRANSLATE_NOOP("CMainFrame", "Select All\tCtrl+A"), "Ctrl+A", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Select the whole image\nSelect All"), false},
    {ID_EDIT_SELECT_NONE, QT_TRANSLATE_NOOP("CMainFrame", "Select None\tCtrl+Shift+A"), "Ctrl+Shift+A",
     nullptr, QT_TRANSLATE_NOOP("CMainFrame", "Drop the selection and select nothing\nSelect None"), false},
    {ID_VIEW_TOOL_OPTIONS, QT_TRANSLATE_NOOP("CMainFrame", "Tool Options"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show or hide the bar of the current tool's options\nTool Options"),
     true},
    {ID_VIEW_PIXEL_GRID, QT_TRANSLATE_NOOP("CMainFrame", "Pixel Grid\tCtrl+'"), "Ctrl+'", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show a line between the image pixels from 6:1 on\nPixel Grid"), true},
    {ID_IMAGE_REPLACE_COLOR, QT_TRANSLATE_NOOP("CMainFrame", "Replace Color"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Paint every pixel of the background color, in the selection or the whole image, "
                       "with the foreground color\nReplace Color"),
     false},
    {ID_BRUSH_SMALLER, QT_TRANSLATE_NOOP("CMainFrame", "Smaller Brush\t["), "[", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Make the brush one pixel smaller\nSmaller Brush"), false},
    {ID_BRUSH_LARGER, QT_TRANSLATE_NOOP("CMainFrame", "Larger Brush\t]"), "]", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Make the brush one pixel larger\nLarger Brush"), false},
    {ID_BRUSH_ROUND, QT_TRANSLATE_NOOP("CMainFrame", "Round"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "A round brush\nRound"), true},
    {ID_BRUSH_SQUARE, QT_TRANSLATE_NOOP("CMainFrame", "Square"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "A square brush\nSquare"), true},
    {ID_BRUSH_PIXEL_PERFECT, QT_TRANSLATE_NOOP("CMainFrame", "Pixel Perfect"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Strokes of one pixel without L-shaped corners\nPixel Perfect"), true},
    {ID_FILL_OUTLINED, QT_TRANSLATE_NOOP("CMainFrame", "Outlined"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Shapes drawn as their outline\nOutlined"), true},
    {ID_FILL_FILLED, QT_TRANSLATE_NOOP("CMainFrame", "Filled"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Shapes filled with the other color inside their outline\nFilled"),
     true},
    {ID_FILL_WITHOUT_OUTLINE, QT_TRANSLATE_NOOP("CMainFrame", "Filled without Outline"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Shapes filled with the other color, without an outline\nFilled without Outline"),
     true},
    {ID_TEXT_FONT, QT_TRANSLATE_NOOP("CMainFrame", "Font..."), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Choose the text's font, size and style\nFont"), false},
    {ID_TEXT_SMOOTH, QT_TRANSLATE_NOOP("CMainFrame", "Smooth"), "", nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Smooth the text's edges on a 16 Million color image\nSmooth"), true},
};

constexpr int kPaneWidthSpaces = 35;

// A button's picture from the artwork, with its drawing for screens of twice the pixels
// ("name@2x.xpm" beside "name.xpm").
QIcon ArtIcon(const char* path) {
    const QString file = QLatin1String(path);
    QIcon icon(file);
    icon.addFile(QString(file).insert(file.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x")));
    return icon;
}

// A name shown in a menu as it is: an '&' in it is not a mnemonic.
QString EscapeMnemonics(QString text) {
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

CMainFrame::CMainFrame() : m_currentTool(ID_TOOL_BRUSH) {
    setWindowTitle(QStringLiteral("Orvik"));
    setAcceptDrops(true);
    RestorePlacement();

    // The off-screen surface starts at the size of the screen.
    const QSize screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize(1024, 768);
    m_backDC = QImage(screen, QImage::Format_RGB32);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (auto* frame = qobject_cast<CChildFrame*>(window)) {
            frame->OnSetFocus();
            if (frame->EditingView()) frame->EditingView()->OnUpdate();
        }
        OnUpdateFrameTitle();
        UpdateCommandUI();
    });

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    CreateColorBar();
    OnDocumentsChanged();

    // Item states are brought up to date whenever the program waits for input, and before a menu opens.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::UpdateCommandUI);

    OnCommand(ID_APP_EXIT, [this] { close(); });
    // The bar toggles: checked while the bar is shown (also while the main window is minimised).
    const std::pair<int, QWidget*> bars[] = {{ID_VIEW_TOOL_PALETTE, m_wndToolPalette},
                                             {ID_VIEW_TOOLBAR, m_wndToolBar},
                                             {ID_VIEW_STATUS_BAR, m_wndStatusBar},
                                             {ID_VIEW_TOOL_OPTIONS, m_wndToolOptions}};
    for (const auto& entry : bars) {
        QWidget* bar = entry.second;
        OnUpdate(entry.first, [bar](CCmdUI& ui) {
            ui.Enable();
            ui.SetCheck(!bar->isHidden());
        });
        OnCommand(entry.first, [bar] { bar->setVisible(bar->isHidden()); });
    }
    OnCommand(ID_WINDOW_CASCADE, [this] { m_mdiArea->cascadeSubWindows(); });
    OnCommand(ID_WINDOW_TILE_HORZ, [this] { m_mdiArea->tileSubWindows(); });
    OnCommand(ID_WINDOW_ARRANGE, [this] { ArrangeIcons(); });
}

CMainFrame::~CMainFrame() {
    disconnect(QAbstractEventDispatcher::instance(), nullptr, this, nullptr);
    delete m_wndProgress;
}

namespace {

QImage& GrowSurface(QImage& surface, int width, int height) {
    if (width > surface.width() || height > surface.height())
        surface = QImage(std::max(width, surface.width()), std::max(height, surface.height()),
                         QImage::Format_RGB32);
    return surface;
}

}  // namespace

QImage& CMainFrame::BackBuffer(int width, int height) {
    return GrowSurface(m_backDC, width, height);
}

QImage& CMainFrame::PresentBuffer(int width, int height) {
    return GrowSurface(m_presentDC, width, height);
}

// --- Placement ---------------------------------------------------------------------------------

void CMainFrame::RestorePlacement() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Frame"));
    int values[5];
    const char* keys[5] = {"Status", "Top", "Left", "Bottom", "Right"};
    for (int i = 0; i < 5; ++i) {
        values[i] = settings.value(QLatin1String(keys[i]), -1).toInt();
        if (values[i] == -1) return;  // no saved placement
    }
    const auto [status, top, left, bottom, right] = values;
    theApp->m_nCmdShow = status;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    constexpr int kIconSize = 32;
    int x = left + work.left();
    int y = top + work.top();
    // Only the upper bound is applied: a window never starts beyond the screen's far edges.
    x = std::min(x, size.width() - kIconSize);
    y = std::min(y, size.height() - kIconSize);
    setGeometry(x, y, std::max(right - left, 1), std::max(bottom - top, 1));
    m_normalGeometry = geometry();
}

void CMainFrame::SavePlacement() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Frame"));
    const int status = isMinimized() ? 2 : isMaximized() ? 3 : 1;
    const QRect normal = status == 1 || !m_normalGeometry.isValid() ? geometry() : m_normalGeometry;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    settings.setValue(QStringLiteral("Status"), status);
    settings.setValue(QStringLiteral("Top"), normal.top() - work.top());
    settings.setValue(QStringLiteral("Left"), normal.left() - work.left());
    settings.setValue(QStringLiteral("Bottom"), normal.bottom() + 1 - work.top());
    settings.setValue(QStringLiteral("Right"), normal.right() + 1 - work.left());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SavePlacement();
    // Every modified document is asked about first; one Cancel keeps everything open.
    for (COrvikDoc* doc : std::vector<COrvikDoc*>(theApp->Documents())) {
        if (!doc->SaveModified()) {
            event->ignore();
            return;
        }
    }
    for (COrvikDoc* doc : std::vector<COrvikDoc*>(theApp->Documents()))
        doc->SetModifiedFlag(false);
    m_mdiArea->closeAllSubWindows();
    event->accept();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        m_normalGeometry = geometry();
    FitToStatusPane(m_wndProgress);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        m_normalGeometry = geometry();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    }
    event->acceptProposedAction();
    // Opened once the drop has returned, so a message or a long decode never holds up the program
    // the files came from.
    QTimer::singleShot(0, this, [paths] {
        for (const QString& path : paths) {
            if (theApp) theApp->OpenDocumentFile(path);
        }
    });
}

// --- Commands ----------------------------------------------------------------------------------

void CMainFrame::CreateActions() {
    const auto add = [this](int id, const char* text, const char* keys, const char* icon, const char* prompt,
                            bool checkable) {
        auto* action = new QAction(tr(text), this);
        // A prompt of the same text as the item shows without the item's access key.
        const QString status = !*prompt                 ? QString()
                               : std::strcmp(prompt, text) == 0 ? WithoutAccessKey(tr(prompt))
                                                               : tr(prompt);
        const int newline = status.indexOf('\n');
        action->setStatusTip(newline >= 0 ? status.left(newline) : status);
        if (newline >= 0) action->setToolTip(status.mid(newline + 1));
        QList<QKeySequence> sequences;
        for (const QString& key : QString::fromLatin1(keys).split(';', Qt::SkipEmptyParts))
            sequences.append(QKeySequence(key));
        action->setShortcuts(sequences);
        if (icon) action->setIcon(ArtIcon(icon));
        action->setCheckable(checkable);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
        addAction(action);  // keys work whichever menu is shown
        m_actions[id] = action;
    };
    for (const CommandInfo& c : kCommands)
        add(c.id, c.text, c.keys, c.icon, c.prompt, c.checkable);
    for (const CToolInfo& tool : ToolTable()) {
        add(tool.id, tool.text, tool.keys, tool.icon, tool.prompt, true);
        // The tool tip names the tool's key.
        QAction* action = Action(tool.id);
        if (*tool.keys)
            action->setToolTip(QStringLiteral("%1 (%2)").arg(
                action->toolTip().isEmpty() ? action->text() : action->toolTip(),
                QKeySequence(QLatin1String(tool.keys)).toString(QKeySequence::NativeText)));
    }
    for (int i = 0; i < COrvikApp::kRecentFiles; ++i) {
        const int id = ID_FILE_MRU_FILE1 + i;
        auto* action = new QAction(this);
        action->setStatusTip(tr("이 문서를 엽니다"));
        action->setData(id);
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
        m_actions[id] = action;
    }
    m_recentPlaceholder = new QAction(tr("최근 파일"), this);
    m_recentPlaceholder->setEnabled(false);
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

std::vector<CCommandTarget*> CMainFrame::CommandRoute() const {
    std::vector<CCommandTarget*> route;
    CChildFrame* frame = ActiveChildFrame();
    if (frame && frame->GetActiveDocument()) {
        if (auto* view = dynamic_cast<CCommandTarget*>(frame->GetActiveView())) route.push_back(view);
        route.push_back(frame->GetActiveDocument());
        route.push_back(frame);
    }
    route.push_back(const_cast<CMainFrame*>(this));
    if (m_wndToolOptions) route.push_back(m_wndToolOptions);
    route.push_back(theApp);
    return route;
}

namespace {

CCmdUI UpdateState(const std::vector<CCommandTarget*>& route, int id) {
    CCmdUI ui(id);
    for (CCommandTarget* target : route) {
        if (target->DoUpdate(ui)) break;
    }
    if (!ui.m_bEnableChanged) {
        for (CCommandTarget* target : route)
            ui.m_bEnabled = ui.m_bEnabled || target->HasCommand(id);
    }
    return ui;
}

}  // namespace

bool CMainFrame::RouteCommand(int id) {
    const auto route = CommandRoute();
    if (!UpdateState(route, id).m_bEnabled) return false;
    for (CCommandTarget* target : route) {
        if (target->DoCommand(id)) {
            if (theApp && theApp->m_mainFrame) theApp->m_mainFrame->UpdateCommandUI();
            return true;
        }
    }
    return false;
}

void CMainFrame::UpdateCommandUI() {
    if (m_wndToolOptions) m_wndToolOptions->ShowOptionsOf(FindTool(m_currentTool));
    const auto route = CommandRoute();
    for (const auto& [id, action] : m_actions) {
        const CCmdUI ui = UpdateState(route, id);
        action->setEnabled(ui.m_bEnabled);
        if (action->isCheckable()) action->setChecked(ui.m_nCheck != 0);
    }
}

// --- Menus and bars ----------------------------------------------------------------------------

QMenu* CMainFrame::NewMenu(const QString& title, std::initializer_list<int> ids) {
    auto* menu = new QMenu(title, this);
    AddItems(menu, ids);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    return menu;
}

void CMainFrame::AddItems(QMenu* menu, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (id == ID_SEPARATOR)
            menu->addSeparator();
        else if (id == ID_FILE_MRU_FILE1) {
            menu->addAction(m_recentPlaceholder);
            for (int i = 0; i < COrvikApp::kRecentFiles; ++i)
                menu->addAction(Action(ID_FILE_MRU_FILE1 + i));
        } else
            menu->addAction(Action(id));
    }
}

void CMainFrame::CreateMenus() {
    const auto viewMenu = [this](const QString& title) {
        return NewMenu(title, {ID_VIEW_TOOLBAR, ID_VIEW_TOOL_PALETTE, ID_VIEW_COLOR_PALETTE, ID_SEPARATOR,
                               ID_VIEW_STATUS_BAR});
    };
    m_menuNoDocument = {
        NewMenu(tr("&File"), {ID_FILE_NEW, ID_FILE_OPEN, ID_SEPARATOR, ID_FILE_PRINT_SETUP, ID_SEPARATOR,
                              ID_FILE_MRU_FILE1, ID_SEPARATOR, ID_APP_EXIT}),
        NewMenu(tr("&Edit"), {ID_EDIT_PASTE}),
        viewMenu(tr("&View")),
        NewMenu(tr("&Help"), {ID_APP_ABOUT, ID_SEPARATOR, ID_HELP_GUIDE}),
    };

    QMenu* edit =
        NewMenu(tr("Edit(&E)"), {ID_EDIT_UNDO, ID_EDIT_REDO, ID_SEPARATOR, ID_EDIT_CUT, ID_EDIT_COPY});
    edit->addMenu(NewMenu(tr("Paste"), {ID_EDIT_PASTE, ID_EDIT_PASTE_SELECTION}));
    edit->addAction(Action(ID_IMAGE_CLEAR));
    edit->addSeparator();
    edit->addActions({Action(ID_EDIT_SELECT_ALL), Action(ID_EDIT_SELECT_NONE)});
    QMenu* colors = new QMenu(tr("Colors", "menu"), this);
    colors->addMenu(NewMenu(tr("Decrease Color Depth"), {ID_COLORS_DECREASE}));
    colors->addMenu(NewMenu(tr("Increase Color Depth"), {ID_COLORS_INCREASE}));
    colors->addSeparator();
    colors->addAction(Action(ID_COLORS_REMAP));
    connect(colors, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    AddItems(colors, {ID_SEPARATOR, ID_COLORS_INVERT, ID_COLORS_GREYSCALE, ID_COLORS_BRIGHTNESS_CONTRAST,
                      ID_COLORS_POSTERIZE, ID_SEPARATOR, ID_COLORS_LOAD_PALETTE, ID_COLORS_SAVE_PALETTE});
    colors->addMenu(NewMenu(tr("Sort Palette"), {ID_COLORS_SORT_HUE, ID_COLORS_SORT_BRIGHTNESS, ID_COLORS_SORT_USE}));
    AddItems(colors, {ID_COLORS_MERGE_DUPLICATES, ID_COLORS_REMOVE_UNUSED});
    QMenu* view = viewMenu(tr("&View"));
    view->addSeparator();
    for (int id : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_FIT_WINDOW, ID_VIEW_ACTUAL_PIXELS})
        view->addAction(Action(id));
    view->addSeparator();
    view->addActions({Action(ID_VIEW_TOOL_OPTIONS), Action(ID_VIEW_PIXEL_GRID)});
    // The tools with their keys, after the described menus.
    QMenu* tools = new QMenu(tr("&Tools"), this);
    for (const CToolInfo& tool : ToolTable())
        tools->addAction(Action(tool.id));
    tools->addSeparator();
    tools->addActions({Action(ID_BRUSH_SMALLER), Action(ID_BRUSH_LARGER)});
    connect(tools, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    QMenu* window = NewMenu(tr("Window(&W)"), {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE});
    connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowMenu(window); });
    // The image commands come after the described items of their menus.
    QMenu* image = NewMenu(tr("&Image"), {ID_IMAGE_CANVAS, ID_IMAGE_RESIZE});
    AddItems(image, {ID_SEPARATOR, ID_IMAGE_FLIP_HORIZONTAL, ID_IMAGE_FLIP_VERTICAL, ID_IMAGE_ROTATE_CW,
                     ID_IMAGE_ROTATE_CCW, ID_IMAGE_ROTATE_180, ID_SEPARATOR, ID_IMAGE_CROP, ID_IMAGE_AUTOCROP,
                     ID_SEPARATOR, ID_IMAGE_REPLACE_COLOR});
    m_menuDocument = {
        NewMenu(tr("File(&F)"), {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS,
                                 ID_SEPARATOR, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP,
                                 ID_SEPARATOR, ID_FILE_MRU_FILE1, ID_SEPARATOR, ID_APP_EXIT}),
        edit,
        view,
        image,
        colors,
        NewMenu(tr("Misc."), {ID_MISC_TRANSLUCENT, ID_SEPARATOR, ID_MISC_OPTION}),
        tools,
        window,
        NewMenu(tr("Help(&H)"), {ID_APP_ABOUT, ID_SEPARATOR, ID_HELP_GUIDE}),
    };
    AddItems(m_menuDocument.front(), {ID_SEPARATOR, ID_FILE_EXPORT_SCALED});
}

void CMainFrame::FillWindowMenu(QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    for (int i = 3; i < actions.size(); ++i) {  // after the three arrangement commands
        menu->removeAction(actions[i]);
        if (actions[i]->parent() == menu) delete actions[i];
    }
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    if (!windows.isEmpty()) menu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        if (!window->isVisible()) continue;
        // The caption as shown: with an asterisk where Qt's mark of unsaved changes stands.
        const QString caption =
            window->windowTitle().replace(QLatin1String("[*]"), window->isWindowModified() ? "*" : "");
        QAction* action =
            menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(EscapeMnemonics(caption)));
        action->setCheckable(true);
        action->setChecked(window == m_mdiArea->currentSubWindow());
        connect(action, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
    UpdateCommandUI();
}

void CMainFrame::ArrangeIcons() {
    int x = 0;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized()) continue;
        window->move(x, m_mdiArea->viewport()->height() - window->height());
        x += window->width();
    }
}

void CMainFrame::OnDocumentsChanged() {
    bool anyDocument = false;
    for (COrvikDoc* doc : theApp->Documents())
        anyDocument = anyDocument || (doc->m_pChildFrame && !doc->m_pChildFrame->isHidden());
    if (anyDocument != m_documentMenuShown || menuBar()->actions().isEmpty()) {
        m_documentMenuShown = anyDocument;
        menuBar()->clear();
        for (QMenu* menu : anyDocument ? m_menuDocument : m_menuNoDocument)
            menuBar()->addMenu(menu);
    }
    OnUpdateFrameTitle();
    UpdateCommandUI();
}

void CMainFrame::OnUpdateFrameTitle() {
    COrvikDoc* doc = theApp->GetActiveChildDocument();
    m_strTitle = doc ? QStringLiteral("Orvik - %1").arg(doc->WindowTitle()) : QStringLiteral("Orvik");
    setWindowTitle(m_strTitle);
    setWindowModified(doc && doc->IsModified());
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised document window appends its own caption to the main window's; the caption
    // already names the document, so it keeps its own text.
    if (event->type() == QEvent::WindowTitleChange && !m_strTitle.isEmpty() && windowTitle() != m_strTitle)
        setWindowTitle(m_strTitle);
}

void CMainFrame::UpdateRecentFileMenu() {
    const QStringList& files = theApp->RecentFiles();
    for (int i = 0; i < COrvikApp::kRecentFiles; ++i) {
        QAction* action = Action(ID_FILE_MRU_FILE1 + i);
        action->setVisible(i < files.size());
        if (i < files.size())
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(EscapeMnemonics(files.at(i))));
    }
    m_recentPlaceholder->setVisible(files.isEmpty());
}

void CMainFrame::CreateToolBars() {
    m_wndToolBar = addToolBar(tr("Standard"));
    m_wndToolBar->setObjectName(QStringLiteral("Standard"));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR, ID_EDIT_CUT, ID_EDIT_COPY,
                   ID_EDIT_PASTE, ID_SEPARATOR, ID_FILE_PRINT, ID_SEPARATOR, ID_APP_ABOUT}) {
        if (id == ID_SEPARATOR)
            m_wndToolBar->addSeparator();
        else
            m_wndToolBar->addAction(Action(id));
    }
    m_wndToolPalette = addToolBar(tr("Tool Palette"));
    m_wndToolPalette->setObjectName(QStringLiteral("Tool Palette"));
    for (const CToolInfo& tool : ToolTable())
        m_wndToolPalette->addAction(Action(tool.id));
    for (QToolBar* bar : {m_wndToolBar, m_wndToolPalette}) {
        bar->setIconSize(QSize(16, 15));
        bar->setMovable(true);
        bar->setFloatable(true);
    }
    // The current tool's options on a row of their own, below the bars.
    m_wndToolOptions = new CToolOptionsBar(this);
    addToolBarBreak();
    addToolBar(m_wndToolOptions);
}

void CMainFrame::CreateStatusBar() {
    m_wndStatusBar = statusBar();
    m_panes[0] = new QLabel(tr("준비"));
    m_panes[1] = new QLabel(QString(kPaneWidthSpaces, ' '));
    m_panes[2] = new QLabel(tr("Image : None"));
    m_panes[1]->setFixedWidth(m_panes[1]->fontMetrics().horizontalAdvance(QString(kPaneWidthSpaces, ' ')));
    m_panes[2]->setMinimumWidth(m_panes[2]->fontMetrics().horizontalAdvance(m_panes[2]->text()));
    m_wndStatusBar->addWidget(m_panes[0], 1);
    m_wndStatusBar->addPermanentWidget(m_panes[1]);
    m_wndStatusBar->addPermanentWidget(m_panes[2]);
}

void CMainFrame::CreateColorBar() {
    m_wndPaletteDlg = new CColorPaletteDlg;
    m_wndColorBar = new CDockDialogBar(this);
    m_wndColorBar->setObjectName(QStringLiteral("Colors"));
    m_wndColorBar->Create(this, m_wndPaletteDlg, tr("Colors"),
                          Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::LeftDockWidgetArea, m_wndColorBar);
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
    return m_mdiArea ? qobject_cast<CChildFrame*>(m_mdiArea->currentSubWindow()) : nullptr;
}

// --- Status bar ----------------------------------------------------------------------------------

void CMainFrame::SetPaneText(int pane, const QString& text) {
    m_panes[pane]->setText(text);
    m_panes[pane]->repaint();
}

QString CMainFrame::PaneText(int pane) const {
    return m_panes[pane]->text();
}

void CMainFrame::SetPaneWidth(int pane, int width) {
    m_panes[pane]->setMinimumWidth(0);
    m_panes[pane]->setFixedWidth(width);
}

void CMainFrame::SetImagePaneText(const QString& text) {
    if (m_panes[2]->text() == text) return;
    const int needed = m_panes[2]->fontMetrics().horizontalAdvance(text) + 2 * m_panes[2]->margin() + 4;
    SetPaneWidth(2, std::max(6 * static_cast<int>(text.size()), needed));
    SetPaneText(2, text);
}

void CMainFrame::BeginProgress() {
    delete m_wndProgress;
    m_wndProgress = new CStatusProgressCtrl;
    m_wndProgress->Create(m_wndStatusBar, ID_INDICATOR_PROGRESS);
    m_wndProgress->setRange(0, 100);
    m_wndProgress->setValue(0);
    m_wndProgress->setTextVisible(false);
    m_wndProgress->show();
}

void CMainFrame::EndProgress() {
    delete m_wndProgress;
    m_wndProgress = nullptr;
}

namespace {

int PaneIndex(int paneId) {
    switch (paneId) {
        case ID_SEPARATOR:
            return 0;
        case ID_INDICATOR_PROGRESS:
            return 1;
        case ID_INDICATOR_IMAGE:
            return 2;
        default:
            return -1;
    }
}

}  // namespace

bool GetStatusPaneRect(QStatusBar* bar, int paneId, QRect* rect) {
    const int index = PaneIndex(paneId);
    CMainFrame* main = theApp->m_mainFrame;
    QLabel* pane = index >= 0 ? main->Pane(index) : nullptr;
    if (pane) pane->setText(QString());
    if (pane && bar->isVisible() && pane->isVisible() && !pane->geometry().isEmpty()) {
        *rect = pane->geometry();
        return true;
    }
    // A hidden status bar has no panes: just right of it, where nothing shows.
    const QRect outside = bar->geometry();
    *rect = QRect(outside.width() + 1, 0, 1, outside.height());
    return false;
}

bool CStatusProgressCtrl::Create(QStatusBar* bar, int paneId) {
    m_paneId = paneId;
    setParent(bar);
    QRect rect;
    GetStatusPaneRect(bar, paneId, &rect);
    setGeometry(rect);
    return true;
}

void FitToStatusPane(CStatusProgressCtrl* control) {
    if (!control) return;
    auto* bar = qobject_cast<QStatusBar*>(control->parentWidget());
    if (!bar) return;
    QRect rect;
    GetStatusPaneRect(bar, control->PaneId(), &rect);
    control->setGeometry(rect);
    control->raise();
}

int ProgressCallback(int percent) {
    CStatusProgressCtrl* progress =
        theApp && theApp->m_mainFrame ? theApp->m_mainFrame->m_wndProgress : nullptr;
    if (!progress) return 0;
    const int previous = progress->value();
    progress->setValue(percent);
    progress->repaint();
    return previous;
}
