#include "colour/color_palette_dlg.h"

CColorPaletteDlg::CColorPaletteDlg(QWidget* parent) : QWidget(parent) { setFixedSize(88, 380); }

void CColorPaletteDlg::Refresh() { repaint(); }
