// The editing tools. Each tool is one class that knows what its presses, moves and releases do. It
// works behind the narrow environment the editing view gives it (CToolHost): the document, the
// current colours, the selection with the rubber-band drag, and the view's coordinate mapping; it
// never reaches the main window. What a tool shows while it works is drawn in the view's one
// overlay pass (COverlay), the same at every zoom level. Tools are described, made and listed in
// views/tool_table.h.
#pragma once

#include <QFont>
#include <QPoint>

#include "document/image_buffer.h"
#include "document/paint_routines.h"

class COrvikDoc;
class COverlay;
class QKeyEvent;
struct CToolInfo;

// The options the tool-options bar sets for the tools that have them; the fill style of the
// shapes is g_fillStyle, which the Setup dialog shows too.
struct CToolSettings {
    int brushSize = 1;
    BrushShape brushShape = BrushShape::Round;
    bool pixelPerfect = false;  // a one-pixel brush stroke drops the corners of its L-shaped turns
    QFont font;                 // the text tool's
    bool smooth = true;         // the text tool antialiases on a 24-bit image
};

// The fill styles of rectangles, ellipses and polygons, as g_fillStyle holds them: the outline in
// the colour of the button drawn with; inside it, the other colour; the whole shape in the other
// colour.
enum FillStyle : uint8_t { kOutlined = 0, kFilled = 1, kFilledWithoutOutline = 2 };

// What the tools of one view share with it and with the document's commands (which read the
// selection): the selection, the rubber-band drag and the last point the pointer passed.
struct CToolState {
    QPoint m_ptLast;                 // the brush's last point; the grab point of a selection move
    bool m_bHaveLast = false;        // m_ptLast is a point of the current image
    bool m_bSelection = false;       // a selection rectangle is established
    bool m_bDragging = false;        // a rubber band is dragged: the view scrolls toward the pointer
    bool m_bMoving = false;          // the selection is being moved
    RECT m_rcSelection{0, 0, 0, 0};  // corners in any order, right and bottom exclusive
    RECT m_rcDrag{0, 0, 0, 0};       // a drag's start (left, top) and end; a move's selection at its start
};

// A tool's cursor in the artwork (res/cursors/name.xpm and name@2x.xpm) with its hot spot.
struct CCursorArt {
    const char* name;
    int hotX;
    int hotY;
};

// A mouse event as a tool sees it.
struct CToolEvent {
    QPoint point;                           // the image pixel drawn under the pointer, clamped into the image
    Qt::MouseButton button = Qt::NoButton;  // the button pressed or released; none for a move
    Qt::MouseButtons buttons;               // the buttons held
    Qt::KeyboardModifiers modifiers;

    bool Left() const { return button == Qt::LeftButton; }
};

// The environment of a view's tools.
class CToolHost {
public:
    virtual COrvikDoc* Document() const = 0;
    virtual CToolState& State() = 0;
    // The current foreground (true) or background palette index, within 0..255; choosing another
    // one; setting the colour of the current one's palette entry, as the palette bar's editing
    // does (one step of the history).
    virtual int CurrentColour(bool fore) const = 0;
    virtual void ChooseColour(bool fore, int index) = 0;
    virtual void SetColourEntry(bool fore, uint8_t red, uint8_t green, uint8_t blue) = 0;
    // The brush and the other options of the tool-options bar.
    virtual const CToolSettings& Settings() const = 0;

    // The selection: strictly inside it (its first column and row count as outside); its pixels
    // lifted into the floating image, false when nothing lies over the image or memory is short;
    // the floating image dropped into the image.
    virtual bool HitSelection(int x, int y) const = 0;
    virtual bool LiftSelection() = 0;
    virtual void DropSelection() = 0;

    // The view: repaint it alone, show a cursor, zoom one level in or out around an image point.
    virtual void Repaint() = 0;
    virtual void ShowCursor(const CCursorArt& cursor) = 0;
    virtual void ZoomIn(int x, int y) = 0;
    virtual void ZoomOut(int x, int y) = 0;

protected:
    ~CToolHost() = default;
};

class CTool {
public:
    CTool(CToolHost& host, const CToolInfo& info) : m_host(host), m_info(info) {}
    virtual ~CTool() = default;
    CTool(const CTool&) = delete;
    CTool& operator=(const CTool&) = delete;

    const CToolInfo& Info() const { return m_info; }

    // A press of the left or right button, a move (buttons held or not), the release of the button
    // whose press the view still holds, the second press of a double click (which for the tools
    // of the described program does nothing).
    virtual void Press(const CToolEvent&) {}
    virtual void Move(const CToolEvent&) {}
    virtual void Release(const CToolEvent&) {}
    virtual void DoubleClick(const CToolEvent&) {}
    // A key pressed in the view; true when the tool took it. WantsKey: the tool takes the key before
    // any shortcut of the menus does (a text being typed).
    virtual bool KeyPress(QKeyEvent*) { return false; }
    virtual bool WantsKey(const QKeyEvent*) const { return false; }
    // Another tool becomes the current one: whatever this one holds open is finished.
    virtual void Deactivate() {}
    // The view lost the buttons before their release (a dialog, a menu or another window took it):
    // the gesture ends where it is.
    virtual void LoseButtons() {}
    // The image changed from outside the tool: a gesture in progress ends without writing
    // anything; true when one did.
    virtual bool Forget() { return false; }
    // What the tool shows over the picture while it works.
    virtual void DrawOverlay(COverlay&) const {}
    // The cursor over the picture; null leaves the one shown.
    virtual const CCursorArt* Cursor() const;
    // The rectangle status pane 0 shows while the tool drags ("(l , t) -> (r , b) = (w , h)");
    // false when it shows the pointer's position.
    virtual bool StatusRect(RECT* rect) const;

protected:
    CToolState& State() const { return m_host.State(); }
    COrvikDoc* Document() const { return m_host.Document(); }

    CToolHost& m_host;
    const CToolInfo& m_info;
};
