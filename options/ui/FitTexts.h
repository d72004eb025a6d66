#pragma once

class QWidget;

// Template rectangles were laid out for narrower faces than this system's: a
// label, check box or radio button of the page whose text needs more room than
// its rectangle is widened to fit (never past the page's right edge), so that no
// caption wraps into a cut-off second line or loses its end.
void FitTexts(QWidget& page);
