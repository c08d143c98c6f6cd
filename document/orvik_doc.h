// One open image: its blocks, its brushes, its zoom, its floating image and its file. The pixel and
// file work lives in the core and in the codec library; the document shows the dialogs and
// messages that go with it and tells its views when the image changed.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "app/command_target.h"
#include "document/colour_adjust.h"
#include "document/colour_reduction.h"
#include "document/file_types.h"
#include "document/colour_reduction.h"
#include "document/image_buffer.h"
#include "document/image_ops.h"
#include "document/palette_file.h"
#include "document/pixel_routines.h"
#include "document/undo_history.h"

class CChildFrame;
class COrvikView;
struct FileFormat;
struct RecoveryImage;
struct SaveSubject;
class COrvikView2;

struct SaveDialogStart;

class COrvikDoc : public QObject, public CCommandTarget {
    Q_OBJECT

public:
    COrvikDoc();
    ~COrvikDoc() override;

    // Life cycle, driven by the application's document management.
    bool OnNewDocument();
    bool OnOpenDocument(const QString& path);
    // Asks whether to save a modified document; false when the user cancels the close.
    bool SaveModified();

    // The title shown in the frame captions, with the zoom appended: "name [6:1]", "name [1:4]".
    void SetTitle(const QString& title);
    const QString& GetTitle() const { return m_strTitle; }
    // Stores the path, retitles the document with its file name and adds it to the recent files.
    void SetPathName(const QString& path, bool addToRecentFiles = true);
    const QString& GetPathName() const { return m_strPathName; }
    // Whether the document has changes its file does not hold. The editing operations mark it as
    // they change what a save writes (true); false says the document as it is now is what its file
    // holds (after a save, or when changes were given up). Undo and Redo set it from the history:
    // back at the saved state the document is not modified.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);
    // The title for the window captions, with Qt's mark of unsaved changes ("[*]") after the name.
    QString WindowTitle() const;

    // Repaints every view of the document except `sender`.
    void UpdateAllViews(const void* sender = nullptr);
    // Repaints what every view shows of `changed` (image pixels), where the image's pixels are all
    // that changed since the views were last brought up to date.
    void UpdateAllViewsOver(const RECT& changed);
    // Every write into the image's pixels is announced first: `area` (image coordinates, y from
    // the top, right and bottom exclusive) is where pixels are about to change; it lies inside the
    // image. The open step of the history keeps the pixels there as they are, and the editing
    // view's reduced copies will redo them.
    void Touch(const RECT& area);
    // The fill tool at image pixel (x, y) with palette entry `index`: the area of equal pixels
    // there takes that colour, as a step of its own that keeps only which pixels it painted.
    void FloodFillAt(int x, int y, int index);
    // The image was changed as a whole from outside the editing view (a new size, depth or
    // palette): all of it counts as changed, the tools forget their remembered points and end any
    // line or rectangle drag without painting, and every view repaints.
    void ImageReplaced();

    // Writes the image to `path` through the codec library in the format its extension names (lossy
    // where the format has a lossy variant and `lossy` is set). Whatever the format cannot keep is
    // asked about first. False (after a message) when nothing was written.
    bool SaveToFile(const QString& path, bool lossy = false);
    void OnFileSave();
    void OnFileSaveAs();
    // Where Save As starts: a saved picture in its own folder with its file name (`withName`) and
    // the filter of its type (the lossy one after a lossy save); an untitled one, or one whose
    // folder is gone, in the folder last saved to with the first filter.
    SaveDialogStart SaveAsStart(bool withName = true) const;

    // Recovery of unsaved work (orvik_doc_recovery.cpp). Copies the image, its zoom and path for a
    // recovery file; false when memory is short.
    bool CopyForRecovery(RecoveryImage* copy) const;
    // The new-document step of a recovered document: the image, zoom and path of a recovery file,
    // modified. False (after a message) when the image is none the program can hold.
    bool OnRecoverDocument(RecoveryImage& recovered);

    // Fits the child frame to the zoomed image, within the main window.
    void SizeFrameToImage();
    void MakeBrushes();

    // Makes the blank image the New Image dialog asks for; on failure nothing changes.
    ImageStatus CreateBlankImage(int width, int height, int type);

    // Image operations, carried out by the OK steps of their dialogs. On success the document is
    // marked modified and its views are brought up to date; on failure nothing changes.
    // The old picture sits where `anchor` says on the new canvas.
    ImageStatus ResizeCanvas(int64_t width, int64_t height, CanvasAnchor anchor = CanvasAnchor::BottomLeft);
    // Nearest neighbour, or with `smooth` (24-bit images only) the smooth rescale.
    ImageStatus ResizeImage(int64_t width, int64_t height, bool smooth = false);

    // The Image menu's moves and crops (orvik_doc_transform.cpp), each one step; false (after a
    // message where something went wrong) when nothing changed. A flip or rotation works on the
    // floating image when there is one, turning it about its centre, otherwise on the whole image,
    // whose selection turns with it; a rotation by 90 degrees fits the window as Resize Image does.
    bool TurnImage(Turn turn);
    // Keeps the selection's part (the floating image dropped into it); the selection ends.
    bool CropToSelection();
    bool CanCropToSelection() const;
    // Cuts the border of one colour (or of transparent pixels); the selection and the floating
    // image stay over the same pixels.
    bool Autocrop();
    // Writes the picture magnified `factor` times (2 to 16) to `path`, leaving the image alone.
    bool ExportScaled(const QString& path, int factor);

    // The Colors menu (orvik_doc_colours.cpp). An adjustment changes the floating image when there
    // is one, else the selection, else the whole picture: on a 24-bit image its pixels, on an 8-bit
    // one the palette (for the whole picture) or the part's indices, each to the entry nearest its
    // new colour.
    bool AdjustColours(const ColourAdjustment& adjustment);
    // Replaces the first entries of the palette with a file's colours (its first 256); false after
    // a message saying why when the file cannot be read.
    bool LoadPalette(const QString& path);
    bool SavePalette(const QString& path, PaletteFormat format);
    // A new order of the palette, or its entries merged or compacted; the indices of an 8-bit image
    // (and its floating image) and the current colours follow, so nothing changes colour.
    void RearrangePalette(int command);
    // The part the Colors commands change, and how many bytes its pixels have.
    enum class ColourPart { Float, Selection, Image };
    ColourPart ColourTarget(RECT* area) const;
    // Reduces a 24-bit image to 256 colours through libquantz.so, with the progress bar running;
    // any problem is reported and leaves the image as it was. True when the image was reduced.
    bool ReduceColorDepth(int paletteMethod, int ditherMethod);
    // The same for any choice (a count, a given palette), through ReduceColours, for a 24-bit image
    // (`command` ID_COLORS_DECREASE) or an 8-bit one (ID_COLORS_REMAP).
    bool ReduceColours(const ReductionChoice& choice, int command);
    // Decrease Color Depth (ID_COLORS_DECREASE, a 24-bit image) or Remap to Palette
    // (ID_COLORS_REMAP, an 8-bit one): the dialog, then what its OK chose.
    void RunReductionDialog(int command);
    // Takes a reduction of this image made beforehand (the Decrease Color Depth dialog's preview) as
    // the image, as one step of the history; false, after a message, when it cannot.
    bool ApplyReduction(CReducedImage result, int command);

    bool HasImage() const { return m_pHeader != nullptr && m_pBits != nullptr; }
    int Width() const { return m_pHeader->biWidth; }
    int Height() const { return m_pHeader->biHeight; }
    int BitCount() const { return m_pHeader->biBitCount; }
    int Stride() const { return m_pHeader->biXPelsPerMeter; }
    // Transparency: a 32-bit image (the 24-bit depth with an alpha channel), or an 8-bit one with an
    // entry that is less than opaque.
    bool HasAlpha() const { return BitCount() == 32 || (BitCount() == 8 && !EntriesOpaque(m_pEntryAlpha)); }
    // The image as the pixel routines paint it.
    PaintTarget Target() const { return PaintTarget{m_pHeader, m_pPalette, m_pEntryAlpha, m_pBits}; }
    // Gives entry `index` of an 8-bit image the opacity `alpha` (0 transparent .. 255 opaque), making
    // the entry alpha block when it is first needed; the caller has kept the palette for undo. False
    // (nothing changed) when memory is short.
    bool WriteEntryAlpha(int index, int alpha);
    // The floating image: a lifted or pasted block waiting to be dropped.
    bool HasFloat() const { return m_pFloatHeader != nullptr; }
    void FreeFloat();

    // Undo and Redo (orvik_doc_undo.cpp). A step is one user action: what it changes is recorded
    // into the open step of the history as it happens (Touch, KeepFloat, KeepPalette, the image
    // operations), and the step ends with the action (EndStep).
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    const CUndoHistory& History() const { return m_history; }
    // Take back the latest step, or bring back the one last taken back. While a mouse button is
    // held in the editing view they wait until every button is up.
    void OnEditUndo();
    void OnEditRedo();
    // Ends the open step, so what is recorded next belongs to a new one. A step too large for the
    // memory budget empties the history, and the status bar says so.
    void EndStep();
    // Every mouse button is up again: the tool's step ends, and an Undo or Redo that waited runs.
    void EndToolStep();
    // The floating image and its place are about to change: the open step takes the floating
    // image (the document is left without one) and notes the selection that places it.
    void KeepFloat();
    // The floating image's pixels are about to change where it is: the open step keeps a copy of
    // them. False, with nothing kept, when memory is short.
    bool KeepFloatPixels();
    // The palette (with its entries' opacities) is about to change: the open step keeps it as it is.
    void KeepPalette();
    // One command as one step: whatever step is open ends first, and the command's own ends with
    // the scope.
    class CCommandStep {
    public:
        explicit CCommandStep(COrvikDoc* doc) : m_pDocument(doc) { doc->EndStep(); }
        ~CCommandStep() { m_pDocument->EndStep(); }
        CCommandStep(const CCommandStep&) = delete;
        CCommandStep& operator=(const CCommandStep&) = delete;

    private:
        COrvikDoc* m_pDocument;
    };

    // Converts an 8-bit image to 24 bits through its palette, which it keeps for painting; false
    // (after a message when memory is short) when nothing changed.
    bool IncreaseColorDepth();

    // Edit commands (orvik_doc_clipboard.cpp). Copy places the floating image whole, otherwise the
    // selection clipped to the image (nothing selected: a 0 x 0 image); false when nothing was placed.
    bool OnEditCopy();
    void OnEditCut();
    void OnEditPasteSelection();
    void OnImageClear();
    // Reads the clipboard's picture, with its transparency, into new blocks (made with malloc, for
    // the caller): a picture with transparent pixels is 32-bit, an 8-bit one's entry opacities go
    // to `entryAlpha` (null when all are opaque). False when there was none, or (after a message
    // saying why) when it could not be read.
    static bool ReadClipboardImage(BITMAPINFOHEADER** header, uint8_t** bits, uint8_t** entryAlpha);
    // Whether the clipboard offers a picture at all.
    static bool ClipboardHasImage();

    int m_bBrushesMade = 0;
    QColor m_hBrush[kPaletteEntries];
    int m_nZoom = 1;
    int m_nShrink = 1;  // below 1:1 each window pixel shows m_nShrink x m_nShrink image pixels (zoom_level.h)
    uint8_t* m_pBits = nullptr;
    RGBQUAD* m_pPalette = nullptr;  // inside the header block for 8 bit, a block of its own for 24 bit
    BITMAPINFOHEADER* m_pHeader = nullptr;
    // An 8-bit image's opacity per palette entry (256 bytes, 255 opaque), or null when every entry
    // is opaque; always null for 24 and 32 bits. Owned.
    uint8_t* m_pEntryAlpha = nullptr;
    uint8_t* m_pFloatBits = nullptr;
    BITMAPINFOHEADER* m_pFloatHeader = nullptr;
    int m_cxFrameExtra = 0;  // width of the child frame's borders
    int m_cyFrameExtra = 0;  // height of its caption and borders
    COrvikView* m_pView = nullptr;
    COrvikView2* m_pView2 = nullptr;
    CChildFrame* m_pChildFrame = nullptr;

private:
    // Command handlers by topic, each in its own file.
    void RegisterToolCommands();
    void RegisterImageCommands();
    void RegisterClipboardCommands();
    void RegisterUndoCommands();
    void RegisterTransformCommands();
    void RegisterColourCommands();
    // The floating image replaced by new blocks at `place`, in the open step; the history takes
    // the old one.
    void ReplaceFloat(BITMAPINFOHEADER* header, uint8_t* bits, const RECT& place);
    // The selection moved to `place` in the open step (a floating image goes with it); false when
    // memory is short.
    bool PlaceSelection(const RECT& place);
    // Writes blocks of an image to `path` through the codec library; false (after a message) when
    // nothing was written.
    // Asks first when the format would lose something of the picture.
    bool WriteImageFile(const QString& path, const BITMAPINFOHEADER& header, const RGBQUAD* palette,
                        const uint8_t* bits, bool lossy = false);
    // Brings a floating block read from the clipboard to the image's depth, an 8-bit one onto the
    // image's palette and opacities; `ownAlpha` are the block's own entries' (may be null). False
    // when memory is short.
    bool FitFloatToImage(const uint8_t* ownAlpha);
    // The new-document step of Paste As New Image: the clipboard's picture becomes the image.
    bool TakeClipboardImage();
    // The selection rectangle normalised and clipped to the image; empty with nothing selected.
    RECT SelectionArea() const;

    // Replaces the image blocks, releasing the old ones.
    void SetImage(BITMAPINFOHEADER* header, RGBQUAD* palette, uint8_t* bits, uint8_t* entryAlpha = nullptr);
    // Runs an operation of the core that keeps the old rows on the image (header changed in place,
    // new rows); the open step takes the image as it was, as the step of `command`.
    using RowsOperation = std::function<ImageStatus(BITMAPINFOHEADER*, uint8_t**)>;
    ImageStatus ReplaceRows(const RowsOperation& operation, int command);
    // Replaces the image blocks as the command `command`; the open step takes the old ones.
    void ReplaceImage(BITMAPINFOHEADER* header, RGBQUAD* palette, uint8_t* bits, int command,
                      uint8_t* entryAlpha = nullptr);
    // Makes a reduced image (blocks the document takes, a floating block put onto its palette; its
    // entries' opacities `entryAlpha`, malloc'd and taken too, or null when all are opaque) the
    // image, as step `command`; on failure releases them, says so and changes nothing.
    bool TakeReducedImage(BITMAPINFOHEADER* header, uint8_t* bits, int command, uint8_t* entryAlpha = nullptr);
    // Undo (true) or Redo (false) applied now.
    void ApplyStep(bool undo);
    // The blocks, floating image and selection the history exchanges steps with, and back.
    UndoTarget UndoState() const;
    void SetUndoState(const UndoTarget& state);
    void FreeImage();
    void MeasureFrameExtra();
    // Takes the modified state to `modified`: the window captions follow, and a document without
    // unsaved changes keeps no recovery file.
    void UpdateModified(bool modified);

    // Save As wrote the picture to `path`: the document's file from now on.
    void SavedAs(const QString& path, bool lossy);
    // True when `path` names the file the picture was read from or last saved to.
    bool IsSourceFile(const QString& path) const;
    // Asks once about everything saving in the format would lose; false when the user declines.
    // `reduce` tells whether the file gets a copy reduced to 256 colours.
    bool AskBeforeLosing(const FileFormat& format, const SaveSubject& subject, bool* reduce);

    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
    // The file the picture came from: what of it was not opened, so that saving over it asks first.
    FileType m_fileType = FileType::Unknown;
    int m_nFileFrames = 1;
    bool m_bFileReducedDepth = false;
    bool m_bSaveLossy = false;  // Save As chose the lossy variant of the format
    CUndoHistory m_history;
    std::vector<bool> m_waitingSteps;  // Undo (true) and Redo (false) waiting for the mouse buttons
};

// The document whose child frame last received the focus; null once that document is destroyed.
extern COrvikDoc* g_activeDoc;
