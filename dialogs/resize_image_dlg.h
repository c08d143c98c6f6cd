// Image > Resize Image: a new size in pixels or in percent of the current one, optionally keeping
// a width-to-height ratio; OK rescales the image by nearest neighbour, or (24-bit images) smoothly.
#pragma once

#include <QDialog>

#include <cstdint>

class COrvikDoc;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CResizeImageDlg : public QDialog {
    Q_OBJECT

public:
    CResizeImageDlg(COrvikDoc* doc, QWidget* parent = nullptr);

    QRadioButton* m_pixelRadio;      // "Pixel Size"
    QRadioButton* m_percentRadio;    // "Percentage of Original"
    QLineEdit* m_widthEdit;          // new width in pixels
    QLineEdit* m_heightEdit;         // new height in pixels
    QLineEdit* m_widthPercentEdit;   // new width in percent
    QLineEdit* m_heightPercentEdit;  // new height in percent
    QLabel* m_currentWidth;
    QLabel* m_currentHeight;
    QCheckBox* m_aspectCheck;  // "Matain aspect ratio of"
    QLineEdit* m_ratioEdit;    // width-to-height ratio
    QLabel* m_ratioLabel;      // "to 1"
    QComboBox* m_method;       // "Nearest" (index 0) or "Smooth"; Nearest only for 8-bit images

public slots:
    // Rescales the document's image to the pixel edits' size (in either mode); a size it cannot
    // take is refused with a message and the dialog stays open.
    void accept() override;

private:
    // Enables the edits of one mode and disables those of the other.
    void ApplyMode(bool pixels);

    // Change handlers. They run for the user's edits only: the dialog's own writes are made with
    // the edits' notifications blocked.
    void OnChangeWidth();
    void OnChangeHeight();
    void OnChangeWidthPercent();
    void OnChangeHeightPercent();
    void OnChangeRatio();
    void OnAspectClicked();

    COrvikDoc* m_pDocument;
    int64_t m_nWidth0;   // the image's current width
    int64_t m_nHeight0;  // and height
    QButtonGroup* m_modeGroup;
};
